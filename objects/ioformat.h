// The record format interpreter: one call reads or writes a record's fields.
//
// ioFormat(ctx, "ssbbL", &a, &b, ...) reads when ctx was opened for reading
// and writes when it was opened for writing, so each class has one routine
// for both directions. Letters (each consumes its arguments in order; all are
// pointers unless said):
//   digits       repeat count for the next item
//   * or A       repeat count taken from the arguments (a value, not a pointer)
//   blank        skipped
//   b s i l      8-, 16-, 32-, 32-bit integers as compact integers
//   c            raw bytes, as many as the repeat count
//   R d E x      doubles as compact doubles (E and x need no 8-byte alignment)
//   f            floats, widened to double and coded as compact doubles
//   D            read only: a double in the older layout
//   C            (16-bit capacity/length pointer, character buffer) counted text
//   S            pointer to an allocated NUL-terminated string (or null)
//   L            pointer to a layer number (uint8_t), coded by the layer coder
//   .b .s .i .l  (mask value, pointer) one flag coded as 0 or 1
//   others       letters added with ioDefFormat
// After each letter the repeat count returns to 1.
//
// Compact integers take 1-5 bytes, compact doubles 1, 2, 3-8 or 9 bytes; the
// codings are fixed to the bit by the drawing file format.
#ifndef PLUMET_OBJECTS_IOFORMAT_H
#define PLUMET_OBJECTS_IOFORMAT_H

#include "core/alloc.h"
#include "objects/ioctx.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One argument of ioFormat: a pointer or a value, widened to a word.
typedef intptr_t ioArg;

template <typename T>
inline ioArg ioArgOf(T value) {
  if constexpr (std::is_pointer_v<T>) return reinterpret_cast<ioArg>(value);
  else if constexpr (std::is_null_pointer_v<T>) return 0;
  else return static_cast<ioArg>(value);
}

// Answers the number of file bytes that the call read or wrote, or -1 when
// the stream's error indicator is set afterwards or a read failed (reading
// past the end of the record or the file, see ioGetByte, or a count from the
// file larger than the bytes left). A failed read counts in
// ctx->readFailures and goes to ioFail with -4139; the fields the call did
// not read are left 0 (strings null).
int ioFormatArgs(ioCtx* ctx, const char* format, const ioArg* args, size_t count);

template <typename... A>
int ioFormat(ioCtx* ctx, const char* format, A... args) {
  const ioArg list[] = {ioArgOf(args)..., 0};
  return ioFormatArgs(ctx, format, list, sizeof...(A));
}

// A text read with "S" that stays with the reader across further reads:
// freed when its scope is left, also when a later failed read leaves
// through the recovery point (ioFail), unless released first.
struct ioOwnedText {
  char* text = nullptr;
  ioOwnedText() = default;
  ioOwnedText(const ioOwnedText&) = delete;
  ioOwnedText& operator=(const ioOwnedText&) = delete;
  ~ioOwnedText() { uFreeIfSet(&text); }
  char* release() {
    char* taken = text;
    text = nullptr;
    return taken;
  }
};

// A format letter's handler: takes its own arguments from *cursor
// (advancing it) and answers the number of file bytes.
typedef int (*ioFormatHandler)(ioCtx* ctx, int repeat, const ioArg** cursor);

// Adds a format letter, or replaces its handler with a log line; a null
// handler removes the letter. Letters of the built-in vocabulary above
// cannot be replaced. While reading, a handler that answers a negative
// number fails the call.
void ioDefFormat(char letter, ioFormatHandler handler);

// The coder of the letter L (the layer module sets it; until then a layer
// number is coded as a 16-bit integer).
typedef int (*ioLayerCoder)(ioCtx* ctx, uint8_t* layer);
void ioSetLayerCoder(ioLayerCoder coder);

// Compact integers: putlong writes value through ctx's byte sink and answers
// the number of bytes (1-5); getlong reads one from the context of the
// ioFormat call in progress (a format handler's own context) and answers
// the bytes read, 0 when nothing could be read (the value is then 0, and the
// call in progress fails through ioFail with -4139).
int putlong(int32_t value, ioCtx* ctx);
int getlong(int32_t* out);

// Compact doubles, as putlong/getlong.
int ioPutDouble(double value, ioCtx* ctx);
int ioGetDouble(double* out);

// Checks and cleans a double before writing and after reading a nine-byte
// value: -0.0 and denormals become 0.0, magnitudes from 2^422 (NaN and
// infinities included) become +-(about 1.083e127), with alerts and log lines.
double ioCleanDouble(double value);

// Special characters of texts in files.
int ioSpecialCode(uint8_t byte);                     // 1-5, or 0 for an ordinary byte
uint8_t ioSpecialChar(int code);                     // the byte of a code
int ioSpecialCount(const uint8_t* bytes, size_t n);  // how many of n bytes are special

#endif
