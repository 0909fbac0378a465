// The scanner's entry points: one token by its first character, procedures
// assembled on the operand stack, and the operator token.
#include "fe/scanner.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/scan_binary.h"
#include "fe/scan_reader.h"
#include "fe/stack.h"

#include <cstring>

namespace {

// Internal to this file: a "{" was read.
constexpr int procOpen = -0x7000;

int execName(const char* text, feObject* out) { return feScanExecName(text, out); }

size_t rawBytes(void* context, uint8_t* out, size_t n) {
  return feScanReadRaw(static_cast<feScanReader*>(context), out, n);
}

// Skips white space and comments; 0 with the first character of a token.
int skipToToken(feScanReader* reader, int* first) {
  for (;;) {
    int c = 0;
    if (const int err = feScanRead(reader, &c)) return err;
    if (feScanIsWhite(c)) continue;
    if (c != '%') {
      *first = c;
      return feOk;
    }
    // A comment runs to the next line feed, carriage return or form feed.
    do {
      if (const int err = feScanRead(reader, &c)) return err;
    } while (c != 10 && c != 13 && c != 12);
  }
}

// Reads one token, or tells that a procedure opens ("{", procOpen) or closes
// ("}", 257).
int scanOne(feScanReader* reader, feObject* out) {
  int c = 0;
  if (const int err = skipToToken(reader, &c)) return err;
  int err = 0;
  int next = 0;
  switch (c) {
    case '(':
      return feScanStringBody(reader, 0, out);
    case ')':
      return execName("APP", out);
    case '<':
      err = feScanRead(reader, &next);
      if (err == 0 && next == '<') return execName("<<", out);
      if (err == 0) err = feScanUnread(reader, next);
      if (err && err != feErrEof) return err;
      return feScanHexString(reader, out);
    case '>':
      err = feScanRead(reader, &next);
      if (err == 0 && next == '>') return execName(">>", out);
      if (err == 0) err = feScanUnread(reader, next);
      if (err && err != feErrEof) return err;
      return feScanGreater;
    case '[':
      return execName("[", out);
    case ']':
      return execName("]", out);
    case '{':
      return procOpen;
    case '}':
      return feScanProcEnd;
    case feScanByteLoad:
      return execName("LOAD", out);
    case feScanByteMember:
      return feScanMember(reader, out);
    case feScanByteMark:
      return execName("mark", out);
    case feScanByteExec:
      return execName("exec", out);
    case feScanByteDupLoad:
      return execName("DUPLOAD", out);
    default:
      break;
  }
  if (reader->kind == feScanKindFile) {
    if (feScanIsBinaryLead(c)) {
      const feScanBytes bytes{reader, rawBytes};
      return feScanBinaryToken(c, &bytes, out);
    }
    if (c == 168) return execName("xop", out);
    if (c == 172) return execName("xmark", out);
  }
  if ((err = feScanUnread(reader, c))) return err;
  return feScanWord(reader, out);
}

// The operand-stack counts at which the open procedures began: a few inline,
// more from the allocator.
class OpenProcs {
 public:
  ~OpenProcs() {
    if (heap_) uFree(&heap_);
  }
  int push(int32_t base) {
    if (count_ >= uint32_t(feStackMaxCapacity)) return feErrLimitCheck;
    if (count_ >= 32 && count_ >= capacity_) {
      const bool first = heap_ == nullptr;
      uAlloc(&heap_, &capacity_, count_ + 32, uint32_t(sizeof(int32_t)));
      if (first) std::memcpy(heap_, inline_, sizeof inline_);
    }
    (heap_ ? heap_ : inline_)[count_++] = base;
    return feOk;
  }
  int32_t pop() { return (heap_ ? heap_ : inline_)[--count_]; }
  bool empty() const { return count_ == 0; }

 private:
  int32_t inline_[32] = {};
  int32_t* heap_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
};

// Removes and releases what a procedure being read left on the operand
// stack, also when the scan is abandoned.
struct ProcCleanup {
  int32_t base = -1;   // the count before the outermost "{"; -1: none open
  ~ProcCleanup() { drop(); }
  void drop() {
    if (base < 0) return;
    feStack* ops = *feOperandStack();
    const int32_t extra = feStackCount(ops) - base;
    if (extra > 0) feStackPopN(ops, extra);
    base = -1;
  }
};

// One token; the tokens of a procedure are pushed on the operand stack until
// its "}" and then moved into an executable array.
int scanTokenFrom(feScanReader* reader, feObject* out) {
  feStack** ops = feOperandStack();
  OpenProcs open;
  ProcCleanup cleanup;
  for (;;) {
    feObject token;
    int err = scanOne(reader, &token);
    if (err == procOpen) {
      const int32_t base = feStackCount(*ops);
      err = open.push(base);
      if (err == 0) {
        if (cleanup.base < 0) cleanup.base = base;
        continue;
      }
    } else if (err == feScanProcEnd && !open.empty()) {
      const int32_t n = feStackCount(*ops) - open.pop();
      if (n < 0) {
        err = feErrStackUnderflow;   // something took values of the procedure away
      } else if ((err = feArrayFromStack(*ops, n, &token)) == 0) {
        token.flags |= feFlagExec;
      }
    }
    if (err != 0) {
      // The end of the source inside a procedure is a syntax error.
      if (cleanup.base >= 0 && err == feErrEof) err = feErrSyntax;
      return err;
    }
    if (open.empty()) {
      cleanup.drop();   // nothing is left above the base: the array took it
      *out = token;
      return feOk;
    }
    if ((err = fePush(ops, &token))) {
      feFree(&token);
      return err;
    }
  }
}

}  // namespace

int feScanToken(feObject* source, feObject* out) {
  feScanReader reader;
  feScanReaderOpen(&reader, source);
  feObject token;
  int err = scanTokenFrom(&reader, &token);
  const int back = feScanReaderFlush(&reader);
  if (err == 0 && back != 0) {
    feFree(&token);
    err = back;
  }
  if (err == 0) *out = token;
  return err;
}

int feScanTokenChecked(feObject* source, feObject* out) {
  const int err = feScanToken(source, out);
  if (err == feScanExpression || err == feScanProcEnd || err == feScanGreater) return feErrSyntax;
  return err;
}

int feOpToken() {
  feStack** ops = feOperandStack();
  if (feStackCount(*ops) < 1) return feErrStackUnderflow;
  // Strings only; files come with the file values.
  if (feType(feStackIndex(*ops, 0)) != feTString) return feErrUnimplemented;

  feObject source;
  fePop(*ops, &source);
  feObject original;   // to put back should a push fail
  feCopyValue(&original, &source);
  feObject token;
  if (feScanTokenChecked(&source, &token) != 0) {
    feFree(&source);
    feFree(&original);
    return fePush(ops, feFalse());   // room: the string was taken off
  }
  int err = fePush(ops, &source);
  if (err == 0) {
    err = fePush(ops, &token);
    if (err == 0) {
      err = fePush(ops, feTrue());
      if (err) fePop(*ops, &token);
    }
    if (err) fePop(*ops, &source);
  }
  if (err) {
    feFree(&token);
    feFree(&source);
    fePush(ops, &original);
    return err;
  }
  feFree(&original);
  return feOk;
}
