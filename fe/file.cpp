// File bodies: opening, reading characters with give-back, raw bytes for the
// scanner's binary tokens, closing, and the file rows of the generic
// operations (release, copy, hash, equality, printed forms).
#include "fe/file.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/output.h"
#include "fe/scanner.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

int32_t openStreams = 0;

feFileBody* bodyOf(const feObject* file) { return file->w0.file; }

feFileBody* newBody(char mode) {
  auto* body = static_cast<feFileBody*>(uAlloc(nullptr, nullptr, 1, uint32_t(sizeof(feFileBody))));
  body->refs = 1;
  body->mode = uint16_t(mode);
  body->stream = nullptr;
  body->serial = feSerialNext();
  body->pushCount = 0;
  body->ended = false;
  return body;
}

void makeValue(feObject* out, feFileBody* body) {
  std::memset(static_cast<void*>(out), 0, sizeof *out);
  out->w0.file = body;
  out->flags = feTFile;
}

// Closes the stream. ended: the stream reached its end, so characters may
// still be given back; otherwise pending characters are dropped.
void closeStream(feFileBody* body, bool ended) {
  if (body->stream) {
    std::fclose(body->stream);
    body->stream = nullptr;
    --openStreams;
  }
  body->ended = ended;
  if (!ended) body->pushCount = 0;
}

// The error for a failed open, from the cause the library reported.
int openError(int cause) {
  switch (cause) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return feErrInvalidFileName;
    case EMFILE:
    case ENFILE:
      return feErrLimitCheck;
    default:
      return feErrInvalidFileAccess;
  }
}

// The scanner's hook: file values give and take back characters through
// their bodies, and binary tokens read raw bytes.
int scanReadChar(feObject* file, int* ch) { return feFileReadChar(file, ch); }
int scanUnreadChar(feObject* file, int ch) { return feFileUnreadChar(file, ch); }
size_t scanReadBytes(feObject* file, uint8_t* out, size_t n) { return feFileReadBytes(file, out, n); }

const feScanFileReader kScanReader = {scanReadChar, scanUnreadChar, scanReadBytes};

}  // namespace

void feFileInit() { feScanSetFileReader(&kScanReader); }

int feFileMake(feObject* out, const char* name, size_t nameLength, const char* mode, size_t modeLength) {
  if (!mode || modeLength != 1 || (mode[0] != 'r' && mode[0] != 'w')) return feErrInvalidFileAccess;
  if (!name && nameLength) return feErrInvalidFileName;
  // A zero byte inside the counted name would open a shorter name.
  if (nameLength && std::memchr(name, 0, nameLength)) return feErrInvalidFileName;
  feFileInit();
  // Both "\" and "/" separate directories.
  std::string path(name ? name : "", nameLength);
  for (char& c : path)
    if (c == '\\') c = '/';
  const char modeText[2] = {mode[0], 0};
  feFileBody* body = newBody(mode[0]);
  errno = 0;
  body->stream = std::fopen(path.c_str(), modeText);
  if (!body->stream) {
    const int cause = errno;
    uFree(&body);
    return openError(cause);
  }
  ++openStreams;
  makeValue(out, body);
  return feOk;
}

int feFileMakeClosed(feObject* out, char mode) {
  feFileInit();
  makeValue(out, newBody(mode == 'w' ? 'w' : 'r'));
  return feOk;
}

int feFileReadChar(const feObject* file, int* ch) {
  feFileBody* body = bodyOf(file);
  if (!body) return feErrEof;
  if (body->pushCount > 0) {
    *ch = int(body->pushed[--body->pushCount]);
    return feOk;
  }
  if (!body->stream) return feErrEof;
  if (body->mode != 'r') return feErrInvalidFileAccess;
  const int c = std::fgetc(body->stream);
  if (c == EOF) {
    const bool failed = std::ferror(body->stream) != 0;
    closeStream(body, !failed);
    return failed ? feErrIo : feErrEof;
  }
  *ch = c;
  return feOk;
}

int feFileUnreadChar(const feObject* file, int ch) {
  feFileBody* body = bodyOf(file);
  if (!body || (!body->stream && !body->ended)) return feErrEof;
  if (body->pushCount >= feFilePushbackMax) return feErrIo;
  body->pushed[body->pushCount++] = uint32_t(ch);
  return feOk;
}

size_t feFileReadBytes(const feObject* file, uint8_t* out, size_t n) {
  feFileBody* body = bodyOf(file);
  if (!body) return 0;
  size_t got = 0;
  while (got < n && body->pushCount > 0) out[got++] = uint8_t(body->pushed[--body->pushCount]);
  if (got < n && body->stream && body->mode == 'r') {
    const size_t read = std::fread(out + got, 1, n - got, body->stream);
    got += read;
    if (got < n) closeStream(body, std::ferror(body->stream) == 0);
  }
  return got;
}

void feFileClose(const feObject* file) {
  if (feFileBody* body = bodyOf(file)) closeStream(body, false);
}

bool feFileIsOpen(const feObject* file) {
  const feFileBody* body = bodyOf(file);
  return body && body->stream;
}

int32_t feFileOpenCount() { return openStreams; }

void feFileRelease(feObject* file) {
  feFileBody* body = bodyOf(file);
  if (!body) return;
  if (body->refs > 1) {
    --body->refs;
    return;
  }
  closeStream(body, false);
  uFree(&body);
  file->w0.file = nullptr;
}

void feFileAddRef(const feObject* file) {
  if (feFileBody* body = bodyOf(file)) ++body->refs;
}

uint32_t feFileHash(const feObject* file) {
  const feFileBody* body = bodyOf(file);
  return body ? body->serial : 0;
}

int feFileEq(const feObject* file, const feObject* other) {
  return feType(other) == feTFile && bodyOf(other) == bodyOf(file) ? int(feOk) : int(feNotEqual);
}

int feFilePrint(const feObject* file, int mode) {
  (void)file;
  if (mode == 0) fePrintf("%s", "--nostringvalue--");
  else if (mode == 1) fePrintf("%s", "-filestream-");
  return feOk;
}

extern "C" int feStrDup(char** out, const char* text, int32_t length) {
  if (!out || length < 0 || (!text && length > 0)) return feErrRangeCheck;
  // uAlloc zero-fills, so the copy is terminated.
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(length) + 1, 1));
  if (length) std::memcpy(copy, text, size_t(length));
  *out = copy;
  return feOk;
}
