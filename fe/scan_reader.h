// Private to the scanner: the character reader over a source, the scratch
// text of one token, and the token readers the dispatcher calls.
#ifndef PLUMET_FE_SCAN_READER_H
#define PLUMET_FE_SCAN_READER_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

// The reader of one scan. Bytes given back during the scan are kept in back
// (the last one is read next); feScanReaderFlush hands what is left to the
// source when the scan ends.
struct feScanReader {
  feObject* source;
  int kind;          // feScanKind
  int count;         // bytes in back
  uint8_t back[8];
};

enum feScanKind { feScanKindString, feScanKindObject, feScanKindFile, feScanKindOther };

void feScanReaderOpen(feScanReader* reader, feObject* source);
// 0 with a character, 259 at the end of the source, or the source's error.
int feScanRead(feScanReader* reader, int* ch);
// 0, or 270 when more bytes are given back than the reader keeps (the
// scanner never gives back more than three).
int feScanUnread(feScanReader* reader, int ch);
// Hands the bytes given back to the source: 0 or the source's error.
int feScanReaderFlush(feScanReader* reader);
// File sources only: n raw bytes (the ones given back first); answers how
// many were read.
size_t feScanReadRaw(feScanReader* reader, uint8_t* out, size_t n);

// White space between tokens and at the end of a word: 0, 9, 10, 12, 13, 32
// and the comma.
inline bool feScanIsWhite(int c) {
  return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32 || c == ',';
}

// The scratch text of one token: short texts stay inline, longer ones grow
// in blocks of 128 bytes from the allocator. push answers 270 when the text
// already holds limit bytes.
class feScanText {
 public:
  explicit feScanText(uint32_t limit) : limit_(limit) {}
  ~feScanText();
  feScanText(const feScanText&) = delete;
  feScanText& operator=(const feScanText&) = delete;

  int push(uint8_t c);
  // Replaces the text; 270 past the limit (the text is then unchanged).
  int assign(const char* text, size_t length);
  const char* data() const { return reinterpret_cast<const char*>(heap_ ? heap_ : inline_); }
  uint32_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  bool full() const { return size_ >= limit_; }
  // The text followed by a terminator (not counted in size).
  const char* terminated();

 private:
  int reserve(uint32_t room);
  uint8_t inline_[128] = {};
  uint8_t* heap_ = nullptr;
  uint32_t capacity_ = 0;   // of heap_
  uint32_t size_ = 0;
  uint32_t limit_;
};

// Token readers, each entered after its opening character.
int feScanWord(feScanReader* reader, feObject* out);             // a name or a number (the first character still unread)
int feScanMember(feScanReader* reader, feObject* out);           // after byte 169
int feScanStringBody(feScanReader* reader, int mode, feObject* out);   // after "("
int feScanHexString(feScanReader* reader, feObject* out);        // after "<"
int feScanExecName(const char* text, feObject* out);

#endif
