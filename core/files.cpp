// Opening, line reading and closing (see files.h).
#include "core/files.h"

#include <cstring>

namespace {

// Names of 257 characters or more are refused.
constexpr size_t kMaxNameLength = 256;

// The stream mode for a set of the letters "r", "w" and "b", or null.
const char* streamMode(const char* mode) {
  if (!mode) return nullptr;
  int reads = 0;
  int writes = 0;
  int binary = 0;
  for (const char* p = mode; *p; ++p) {
    if (*p == 'r') ++reads;
    else if (*p == 'w') ++writes;
    else if (*p == 'b') ++binary;
    else return nullptr;
  }
  if (reads + writes != 1 || binary > 1) return nullptr;
  if (reads) return binary ? "rb" : "r";
  return binary ? "wb" : "w";
}

}  // namespace

FILE* uFileOpen(const char* name, size_t length, const char* mode) {
  const char* streamModeText = streamMode(mode);
  if (!name || !streamModeText || length > kMaxNameLength) return nullptr;
  // A zero byte inside the counted name would open a shorter name.
  if (std::memchr(name, 0, length)) return nullptr;
  char copy[kMaxNameLength + 1];
  std::memcpy(copy, name, length);
  copy[length] = 0;
  return std::fopen(copy, streamModeText);
}

char* uFileGets(char* buffer, int size, FILE* stream) {
  if (!buffer || size <= 0 || !stream) return nullptr;
  int n = 0;
  while (n < size - 1) {
    const int c = std::getc(stream);
    if (c == EOF) {
      if (n == 0) {
        buffer[0] = 0;
        return nullptr;
      }
      break;
    }
    if (c == '\r' || c == '\n') {
      // A line end; the other character right after it belongs to it.
      const int other = (c == '\r') ? '\n' : '\r';
      const int next = std::getc(stream);
      if (next != other && next != EOF) std::ungetc(next, stream);
      buffer[n++] = '\n';
      break;
    }
    buffer[n++] = static_cast<char>(c);
  }
  buffer[n] = 0;
  return buffer;
}

int uFileClose(FILE* stream) { return stream ? std::fclose(stream) : 0; }
