#include "ui/pgmpath.h"

#include "core/modulepath.h"
#include "core/text.h"

#include <windows.h>

#include <cstring>

std::string pgmPathOf(const char* name) { return uModuleDirectory() + (name ? name : ""); }

void pgmModulePath(char** out, int* length) {
  const std::string path = uModulePath();
  *out = uStrDup(path.data(), uint32_t(path.size()), nullptr);
  if (length) *length = int(path.size());
}

char* pgmFullPath(const char* text, int length) {
  if (!text || length <= 0) return nullptr;
  const std::string name(text, size_t(length));
  if (name.find('\0') != std::string::npos) return nullptr;  // would name a shorter path
  // The call answers the size it needs when the buffer is short: one more
  // call with that size gets the whole path.
  std::string full(MAX_PATH, '\0');
  DWORD n = GetFullPathNameA(name.c_str(), DWORD(full.size()), full.data(), nullptr);
  if (n >= full.size()) {
    full.resize(n);
    n = GetFullPathNameA(name.c_str(), DWORD(full.size()), full.data(), nullptr);
  }
  if (n == 0 || n >= full.size()) return nullptr;
  return uStrDup(full.data(), n, nullptr);
}

int fileTitleOf(const char* name, char** out) {
  char title[fileTitleMax + 1] = {};
  const short answer = GetFileTitleA(name, title, fileTitleMax + 1);
  *out = uStrDup(title, answer == 0 ? uint32_t(std::strlen(title)) : 0, nullptr);
  return answer;
}
