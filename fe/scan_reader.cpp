// The scanner's character reader and where the bytes it gives back go.
//
// The scanner looks one character ahead and gives it back, and for the call,
// member and expression syntax it gives back bytes of its own (171 "mark",
// 169 member prefix, 166 "LOAD", 174 "DUPLOAD", 173 "exec") that the next
// token begins with. Those bytes must never be written into a string's body:
// the body may be a literal shared with a procedure, a dictionary or another
// run, and a run of the same executable string would then scan differently.
//
// How the given-back bytes are kept:
// - During one scan they sit in the reader's own small stack (feScanReader),
//   so a scan never touches the source to look ahead.
// - When the scan ends they go back with the source value itself, not into a
//   process-wide slot. For a string: when the bytes equal the text just
//   before the value's offset (a real character looked ahead), the value
//   simply steps back; otherwise the value is replaced by a private copy
//   that begins with the given-back bytes followed by the rest of the text,
//   and the old value is released. The original body is never written.
//   Program objects get the bytes through message 102 and file values
//   through their own give-back (the file module's reader); those are the
//   objects' own state, not shared text.
// Why this way and not a table of pending bytes keyed by the body: the
// state lives in the value being scanned, so any number of nested or
// re-entrant scans (a procedure reading tokens while an executable string is
// being run, program objects whose handlers run scripts, the same string
// body scanned by two values at once) cannot see each other's bytes; nothing
// goes stale when a half-scanned string is dropped, and nothing has to be
// evicted. The value keeps its meaning for every caller: the rest of a
// string pushed by `token` begins with the same bytes as before, and an
// executable string on the execution stack is not empty while a given-back
// byte remains. The cost is one copy of the rest of a string per call or
// member syntax read from a string source, which keeps the scan linear for
// the short texts that are run as strings (script files are files).
#include "fe/scan_reader.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/scanner.h"
#include "fe/strings.h"

#include <cstring>

namespace {

const feScanFileReader* fileReader = nullptr;

// Gives k bytes back to a string value (seq: in the order they are read
// next).
int giveBackToString(feObject* s, const uint8_t* seq, uint32_t k) {
  uint8_t* body = s->w0.str ? feStringBytes(s->w0.str) : nullptr;
  if (body && s->offset >= k && std::memcmp(body + s->offset - k, seq, k) == 0) {
    s->offset = uint16_t(s->offset - k);
    s->length = uint16_t(s->length + k);
    return feOk;
  }
  const uint32_t total = k + s->length;
  feObject copy;
  if (const int err = feMakeString(&copy, nullptr, total)) return err;
  uint8_t* bytes = feStringBytes(copy.w0.str);
  std::memcpy(bytes, seq, k);
  if (s->length) std::memcpy(bytes + k, body + s->offset, s->length);
  copy.flags = s->flags;
  feFree(s);
  *s = copy;
  return feOk;
}

}  // namespace

void feScanSetFileReader(const feScanFileReader* reader) { fileReader = reader; }

void feScanReaderOpen(feScanReader* reader, feObject* source) {
  reader->source = source;
  reader->count = 0;
  switch (feType(source)) {
    case feTString:
      reader->kind = feScanKindString;
      break;
    case feTObject:
      reader->kind = feScanKindObject;
      break;
    case feTFile:
      reader->kind = feScanKindFile;
      break;
    default:
      reader->kind = feScanKindOther;
      break;
  }
}

int feScanRead(feScanReader* reader, int* ch) {
  if (reader->count > 0) {
    *ch = reader->back[--reader->count];
    return feOk;
  }
  if (reader->kind == feScanKindString) return feStringReadChar(reader->source, ch);
  if (reader->kind == feScanKindFile && fileReader && fileReader->readChar) {
    return fileReader->readChar(reader->source, ch);
  }
  return feReadChar(reader->source, ch);
}

int feScanUnread(feScanReader* reader, int ch) {
  if (reader->count >= int(sizeof reader->back)) return feErrLimitCheck;
  reader->back[reader->count++] = uint8_t(ch);
  return feOk;
}

int feScanReaderFlush(feScanReader* reader) {
  const int k = reader->count;
  if (k == 0) return feOk;
  reader->count = 0;
  if (reader->kind == feScanKindString) {
    uint8_t seq[sizeof reader->back];
    for (int j = 0; j < k; ++j) seq[j] = reader->back[k - 1 - j];
    return giveBackToString(reader->source, seq, uint32_t(k));
  }
  // The deepest byte first, so that the byte given back last is read first.
  for (int j = 0; j < k; ++j) {
    int err;
    if (reader->kind == feScanKindFile && fileReader && fileReader->unreadChar) {
      err = fileReader->unreadChar(reader->source, reader->back[j]);
    } else {
      err = feUnreadChar(reader->source, reader->back[j]);
    }
    if (err) return err;
  }
  return feOk;
}

size_t feScanReadRaw(feScanReader* reader, uint8_t* out, size_t n) {
  size_t got = 0;
  while (got < n && reader->count > 0) out[got++] = reader->back[--reader->count];
  if (got < n && reader->kind == feScanKindFile && fileReader && fileReader->readBytes) {
    got += fileReader->readBytes(reader->source, out + got, n - got);
  }
  return got;
}

int feScanReadChar(feObject* source, int* ch) {
  feScanReader reader;
  feScanReaderOpen(&reader, source);
  return feScanRead(&reader, ch);
}

int feScanUnreadChar(feObject* source, int ch) {
  feScanReader reader;
  feScanReaderOpen(&reader, source);
  feScanUnread(&reader, ch);
  return feScanReaderFlush(&reader);
}

// ---------------------------------------------------------------------------
// The scratch text.

feScanText::~feScanText() {
  if (heap_) uFree(&heap_);
}

int feScanText::reserve(uint32_t room) {
  if (room <= sizeof inline_ && !heap_) return feOk;
  if (heap_ && room <= capacity_) return feOk;
  if (room > limit_ + 1) return feErrLimitCheck;
  uint32_t want = heap_ ? capacity_ : uint32_t(sizeof inline_);
  while (want < room) want += 128;
  const bool first = heap_ == nullptr;
  uAlloc(&heap_, &capacity_, want, 1);
  if (first) std::memcpy(heap_, inline_, size_);
  return feOk;
}

int feScanText::push(uint8_t c) {
  if (size_ >= limit_) return feErrLimitCheck;
  if (const int err = reserve(size_ + 1)) return err;
  (heap_ ? heap_ : inline_)[size_++] = c;
  return feOk;
}

int feScanText::assign(const char* text, size_t length) {
  if (length > limit_) return feErrLimitCheck;
  if (const int err = reserve(uint32_t(length))) return err;
  if (length) std::memmove(heap_ ? heap_ : inline_, text, length);
  size_ = uint32_t(length);
  return feOk;
}

const char* feScanText::terminated() {
  // The limit leaves room for one more byte (reserve allows limit + 1).
  reserve(size_ + 1);
  uint8_t* bytes = heap_ ? heap_ : inline_;
  bytes[size_] = 0;
  return reinterpret_cast<const char*>(bytes);
}
