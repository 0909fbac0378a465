#include "ui/pgmpath.h"

#include "core/alloc.h"

#include <windows.h>

#include <cstring>
#include <string_view>

namespace {

char* copyOf(const char* text, size_t length) {
  auto* out = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(length + 1), 1));
  std::memcpy(out, text, length);
  out[length] = 0;
  return out;
}

}  // namespace

char* pgmPathCopy(const char* name, char* buffer) {
  char path[pgmPathMax + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, pgmPathMax);
  if (n > pgmPathMax) n = pgmPathMax;
  path[n] = 0;
  size_t dir = 0;
  for (size_t i = 0; i < n; ++i)
    if (path[i] == '/' || path[i] == '\\') dir = i + 1;
  std::string_view rest = name ? name : "";
  size_t used = dir < pgmPathMax ? dir : pgmPathMax - 1;
  std::memcpy(buffer, path, used);
  size_t more = rest.size() < size_t(pgmPathMax - 1 - used) ? rest.size() : size_t(pgmPathMax - 1 - used);
  std::memcpy(buffer + used, rest.data(), more);
  buffer[used + more] = 0;
  return buffer;
}

void pgmModulePath(char** out, int* length) {
  char path[pgmPathMax + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, pgmPathMax);
  if (n > pgmPathMax) n = pgmPathMax;
  *out = copyOf(path, n);
  if (length) *length = int(n);
}

char* pgmFullPath(const char* text, int length) {
  if (!text || length <= 0 || length > pgmPathMax) return nullptr;
  char name[pgmPathMax + 1];
  std::memcpy(name, text, size_t(length));
  name[length] = 0;
  char full[pgmPathMax + 1];
  DWORD n = GetFullPathNameA(name, sizeof full, full, nullptr);
  if (n == 0 || n > pgmPathMax) return nullptr;
  return copyOf(full, n);
}

int fileTitleOf(const char* name, char** out) {
  char title[fileTitleMax + 1] = {};
  const short answer = GetFileTitleA(name, title, fileTitleMax + 1);
  *out = copyOf(answer == 0 ? title : "", answer == 0 ? std::strlen(title) : 0);
  return answer;
}
