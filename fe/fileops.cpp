// The file operators: opening, closing, reading and writing characters,
// strings and lines, run, and token over files.
//
// Reading and writing keep to the file's mode: writing to a read-mode file,
// or reading from a write-mode one, answers 272 (invalidfileaccess) and
// leaves the file open. Any failing write closes the file and answers 273
// (ioerror). Reads that reach the end of the file close it (the character
// reader does).
#include "fe/file.h"

#include "core/errors.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/operator.h"
#include "fe/scanner.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

bool isFile(const feObject* v) { return v && feType(v) == feTFile && v->w0.file; }
bool isString(const feObject* v) { return v && feType(v) == feTString; }

feObject* outValue(feArgs* a, int k) { return static_cast<feObject*>(a->out[k]); }
int32_t* outInt(feArgs* a, int k) { return static_cast<int32_t*>(a->out[k]); }

// The stream of a file that is to be written: 273 when closed, 272 in read mode.
int writableStream(const feObject* file, FILE** stream) {
  const feFileBody* body = file->w0.file;
  if (!body->stream) return feErrIo;
  if (body->mode != 'w') return feErrInvalidFileAccess;
  *stream = body->stream;
  return feOk;
}

// A write that failed closes the file.
int writeFailed(const feObject* file) {
  feFileClose(file);
  return feErrIo;
}

int putBytes(const feObject* file, FILE* stream, const void* bytes, size_t n) {
  if (n && std::fwrite(bytes, 1, n, stream) != n) return writeFailed(file);
  return feOk;
}

// The string's front n bytes as a value sharing its body (its own reference).
void prefixOf(const feObject* string, uint16_t n, feObject* out) {
  *out = *string;
  out->length = n;
  feDup(out);
}

int hexDigit(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The common checks of the readers: a file and a string.
int readerOperands(feArgs* a, const feObject** file, const feObject** string, uint8_t** bytes, uint16_t* room) {
  *file = a->in[0].value;
  *string = a->in[1].value;
  if (!isFile(*file) || !isString(*string)) return feErrTypeCheck;
  feStringData(*string, bytes, room);
  return feOk;
}

// Pushes the values in order; on a full stack takes back what it pushed and
// answers the error (the caller still owns the values).
int pushAll(std::initializer_list<const feObject*> values) {
  feStack** ops = feOperandStack();
  int32_t pushed = 0;
  for (const feObject* v : values) {
    if (const int rc = fePush(ops, v)) {
      for (; pushed > 0; --pushed) {
        feObject back;
        fePop(*ops, &back);
      }
      return rc;
    }
    ++pushed;
  }
  return feOk;
}

const feOpSpec kSpecs[] = {
    {"closefile", feOpCloseFile, "O"},
    {"currentfile", feOpCurrentFile, "#O"},
    {"resetfile", feOpResetFile, "O"},
    {"flushfile", feOpFlushFile, "O"},
    {"bytesavailable", feOpBytesAvailable, "O#I"},
    {"status", feOpStatus, "O#B"},
    {"write", feOpWrite, "Oi"},
    {"writestring", feOpWriteString, "OO"},
    {"writehexstring", feOpWriteHexString, "OO"},
    {"readstring", feOpReadString, "OO#OB"},
    {"readhexstring", feOpReadHexString, "OO#OB"},
    {"readline", feOpReadLine, "OO#OB"},
    {"file", feOpFile, "SS#O"},
    {"read", feOpRead, "O"},
    {"run", feOpRun, "S"},
    {"token", feStackOp<feOpFileToken>, ""},
};

}  // namespace

int feOpFile(feArgs* a) {
  const feArgText& name = a->in[0].text;
  const feArgText& mode = a->in[1].text;
  return feFileMake(outValue(a, 0), name.text, size_t(name.length), mode.text, size_t(mode.length));
}

int feOpCloseFile(feArgs* a) {
  if (!isFile(a->in[0].value)) return feErrTypeCheck;
  feFileClose(a->in[0].value);
  return feOk;
}

int feOpCurrentFile(feArgs* a) {
  const feStack* ops = *feOperandStack();
  const int32_t n = feStackCount(ops);
  for (int32_t depth = 0; depth < n; ++depth) {
    const feObject* v = feStackIndex(ops, depth);
    if (isFile(v)) {
      feCopyValue(outValue(a, 0), v);
      return feOk;
    }
  }
  return feFileMakeClosed(outValue(a, 0), 'r');
}

int feOpResetFile(feArgs* a) { return isFile(a->in[0].value) ? int(feOk) : int(feErrTypeCheck); }

int feOpFlushFile(feArgs* a) {
  const feObject* file = a->in[0].value;
  if (!isFile(file)) return feErrTypeCheck;
  const feFileBody* body = file->w0.file;
  if (!body->stream) return feOk;
  if (body->mode == 'w') {
    if (std::fflush(body->stream) != 0) return writeFailed(file);
    return feOk;
  }
  // Read mode: the rest of the file is read and dropped; the end closes it.
  for (;;) {
    int ch = 0;
    const int rc = feFileReadChar(file, &ch);
    if (rc == feErrEof) return feOk;
    if (rc) return rc;
  }
}

int feOpBytesAvailable(feArgs* a) {
  const feObject* file = a->in[0].value;
  if (!isFile(file)) return feErrTypeCheck;
  FILE* stream = file->w0.file->stream;
  if (!stream) return feErrEof;
  int32_t* out = outInt(a, 0);
  *out = -1;
  const long here = std::ftell(stream);
  if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return feOk;
  const long end = std::ftell(stream);
  std::fseek(stream, here, SEEK_SET);
  if (end >= 0) *out = end > long(INT32_MAX) ? INT32_MAX : int32_t(end);
  return feOk;
}

int feOpStatus(feArgs* a) {
  if (!isFile(a->in[0].value)) return feErrTypeCheck;
  *outInt(a, 0) = feFileIsOpen(a->in[0].value) ? 1 : 0;
  return feOk;
}

int feOpWrite(feArgs* a) {
  const feObject* file = a->in[0].value;
  if (!isFile(file)) return feErrTypeCheck;
  FILE* stream = nullptr;
  if (const int rc = writableStream(file, &stream)) return rc;
  if (std::fputc(a->in[1].i & 0xFF, stream) == EOF) return writeFailed(file);
  return feOk;
}

int feOpWriteString(feArgs* a) {
  const feObject* file = a->in[0].value;
  const feObject* string = a->in[1].value;
  if (!isFile(file) || !isString(string)) return feErrTypeCheck;
  FILE* stream = nullptr;
  if (const int rc = writableStream(file, &stream)) return rc;
  uint8_t* bytes = nullptr;
  uint16_t n = 0;
  feStringData(string, &bytes, &n);
  // Runs of ordinary bytes go out as they are; each CR or LF as one LF.
  uint32_t start = 0;
  for (uint32_t i = 0; i <= n; ++i) {
    const bool lineEnd = i < n && (bytes[i] == '\r' || bytes[i] == '\n');
    if (i < n && !lineEnd) continue;
    if (const int rc = putBytes(file, stream, bytes + start, size_t(i - start))) return rc;
    if (lineEnd && std::fputc('\n', stream) == EOF) return writeFailed(file);
    start = i + 1;
  }
  if (std::fflush(stream) != 0) return writeFailed(file);
  return feOk;
}

int feOpWriteHexString(feArgs* a) {
  const feObject* file = a->in[0].value;
  const feObject* string = a->in[1].value;
  if (!isFile(file) || !isString(string)) return feErrTypeCheck;
  FILE* stream = nullptr;
  if (const int rc = writableStream(file, &stream)) return rc;
  static const char kDigits[] = "0123456789abcdef";
  uint8_t* bytes = nullptr;
  uint16_t n = 0;
  feStringData(string, &bytes, &n);
  for (uint16_t i = 0; i < n; ++i) {
    const char pair[2] = {kDigits[bytes[i] >> 4], kDigits[bytes[i] & 15]};
    if (const int rc = putBytes(file, stream, pair, 2)) return rc;
  }
  return feOk;
}

// readstring: fills the string from the front. Nothing read (the end of the
// file): an empty part and false. A string of length 0 would read nothing
// and so close the file for no reason: it is a rangecheck.
int feOpReadString(feArgs* a) {
  const feObject *file = nullptr, *string = nullptr;
  uint8_t* bytes = nullptr;
  uint16_t room = 0;
  if (const int rc = readerOperands(a, &file, &string, &bytes, &room)) return rc;
  if (room == 0) return feErrRangeCheck;
  uint16_t n = 0;
  while (n < room) {
    int ch = 0;
    const int rc = feFileReadChar(file, &ch);
    if (rc == feErrEof) break;
    if (rc) return rc;
    bytes[n++] = uint8_t(ch);
  }
  prefixOf(string, n, outValue(a, 0));
  *outInt(a, 1) = n > 0 ? 1 : 0;
  return feOk;
}

// readhexstring: pairs of hexadecimal digits make bytes, other characters
// are skipped. True when the string is full; a half byte at the end of the
// file is dropped.
int feOpReadHexString(feArgs* a) {
  const feObject *file = nullptr, *string = nullptr;
  uint8_t* bytes = nullptr;
  uint16_t room = 0;
  if (const int rc = readerOperands(a, &file, &string, &bytes, &room)) return rc;
  uint16_t n = 0;
  int high = -1;
  while (n < room) {
    int ch = 0;
    const int rc = feFileReadChar(file, &ch);
    if (rc == feErrEof) break;
    if (rc) return rc;
    const int digit = hexDigit(ch);
    if (digit < 0) continue;
    if (high < 0) {
      high = digit;
    } else {
      bytes[n++] = uint8_t(high << 4 | digit);
      high = -1;
    }
  }
  prefixOf(string, n, outValue(a, 0));
  *outInt(a, 1) = n == room ? 1 : 0;
  return feOk;
}

// readline: up to a line feed or carriage return (consumed, not stored); the
// end of the file without one answers the part and false. A CR LF pair is
// two line ends: the second gives an empty line.
int feOpReadLine(feArgs* a) {
  const feObject *file = nullptr, *string = nullptr;
  uint8_t* bytes = nullptr;
  uint16_t room = 0;
  if (const int rc = readerOperands(a, &file, &string, &bytes, &room)) return rc;
  if (room == 0) return feErrRangeCheck;
  uint16_t n = 0;
  bool lineEnd = false;
  for (;;) {
    int ch = 0;
    const int rc = feFileReadChar(file, &ch);
    if (rc == feErrEof) break;
    if (rc) return rc;
    if (ch == '\n' || ch == '\r') {
      lineEnd = true;
      break;
    }
    if (n == room) return feErrRangeCheck;   // the line is longer than the string
    bytes[n++] = uint8_t(ch);
  }
  prefixOf(string, n, outValue(a, 0));
  *outInt(a, 1) = lineEnd ? 1 : 0;
  return feOk;
}

// read: pushes the character's code and true, or false at the end.
int feOpRead(feArgs* a) {
  const feObject* file = a->in[0].value;
  if (!isFile(file)) return feErrTypeCheck;
  int ch = 0;
  const int rc = feFileReadChar(file, &ch);
  if (rc == feErrEof) return pushAll({feFalse()});
  if (rc) return rc;
  feObject code;
  feMakeInt(&code, ch);
  const int pushed = pushAll({&code, feTrue()});
  // The stack is full: the character goes back, so that nothing is lost.
  if (pushed) feFileUnreadChar(file, ch);
  return pushed;
}

// run: the named file, executable and marked as a file being run (closed
// when the execution stack is unwound past it), takes the place of run on
// the execution stack.
int feOpRun(feArgs* a) {
  feObject file;
  if (const int rc = feFileMake(&file, a->in[0].text.text, size_t(a->in[0].text.length), "r", 1)) return rc;
  file.flags |= feFlagExec | feFlagTokenSource;
  const int rc = feExecReplaceTop({&file});
  feFree(&file);
  return rc;
}

int feOpFileToken() {
  feStack** ops = feOperandStack();
  if (feStackCount(*ops) < 1) return feErrStackUnderflow;
  if (feType(feStackIndex(*ops, 0)) != feTFile) return feOpToken();
  if (!isFile(feStackIndex(*ops, 0))) return feErrTypeCheck;
  feObject file;
  fePop(*ops, &file);
  feObject token;
  const int rc = feScanTokenChecked(&file, &token);
  if (rc == feErrEof) {
    feFree(&file);
    return fePush(ops, feFalse());   // room: the file was taken off
  }
  int err = rc;
  if (err == feOk) {
    err = pushAll({&token, feTrue()});
    if (err) feFree(&token);
  }
  if (err) {
    fePush(ops, &file);
    return err;
  }
  feFree(&file);
  return feOk;
}

int feRunFile(const char* name, size_t length) {
  feObject string;
  if (const int rc = feMakeString(&string, name, length)) return rc;
  if (const int rc = fePush(feOperandStack(), &string)) {
    feFree(&string);
    return rc;
  }
  return feRunString("run");
}

const feOpSpec* feFileOpSpec(const char* name) { return feOpSpecFind(kSpecs, name); }

void feFileInstallOps(const feObject* dict) {
  feFileInit();
  if (!dict) dict = feSystemDict();
  if (!dict) return;
  for (const feOpSpec& spec : kSpecs) {
    feObject current;
    if (feDictGetName(dict, spec.name, &current) == feOk) {
      const bool ours = feType(&current) == feTOperator &&
                        feOpEntry(int32_t(current.w0.u & 0xFFFFu)) &&
                        feOpEntry(int32_t(current.w0.u & 0xFFFFu))->handler == spec.handler;
      feFree(&current);
      if (ours) continue;
    }
    feObject op;
    if (feMakeOp(&op, spec.name, std::strlen(spec.name), spec.handler, spec.signature, 0, 0) != feOk) continue;
    op.flags |= feFlagExec;
    feDictDefName(dict, spec.name, &op);
  }
}
