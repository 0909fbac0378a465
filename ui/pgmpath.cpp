#include "ui/pgmpath.h"

#include "core/text.h"

#include <windows.h>

#include <cstring>
#include <string_view>

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
  *out = uStrDup(path, n, nullptr);
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
  return uStrDup(full, n, nullptr);
}

int fileTitleOf(const char* name, char** out) {
  char title[fileTitleMax + 1] = {};
  const short answer = GetFileTitleA(name, title, fileTitleMax + 1);
  *out = uStrDup(title, answer == 0 ? uint32_t(std::strlen(title)) : 0, nullptr);
  return answer;
}
