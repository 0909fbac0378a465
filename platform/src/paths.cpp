// File-name calls: the title of a file name (its last component, as the
// common dialogs show it) and the full path of a name relative to the
// working directory. Both take "\" and "/" as separators.
#include "layer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The working directory, whole whatever its length; empty when the system
// cannot say.
std::string workingDirectory() {
  std::string dir(256, '\0');
  for (;;) {
    if (getcwd(dir.data(), dir.size())) {
      dir.resize(std::strlen(dir.c_str()));
      return dir;
    }
    if (errno != ERANGE || dir.size() >= 65536) return std::string();
    dir.resize(dir.size() * 2);
  }
}

}  // namespace

extern "C" short WINAPI GetFileTitleA(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize) {
  if (!lpszFile) return -1;
  const char* start = lpszFile;
  for (const char* p = lpszFile; *p; ++p)
    if (isSeparator(*p)) start = p + 1;
  const size_t length = std::strlen(start);
  // An empty title or one with characters no file name may hold is an error.
  if (length == 0 || std::strpbrk(start, "*?<>|\":") != nullptr) return -1;
  // Too small a buffer answers the size it needs, the terminator included.
  if (!lpszTitle || length + 1 > cchSize) return short(length + 1);
  std::memcpy(lpszTitle, start, length + 1);
  return 0;
}

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  if (!lpFileName || !*lpFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string full;
  if (isSeparator(lpFileName[0])) {
    full = lpFileName;
  } else {
    full = workingDirectory();
    if (full.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return 0;
    }
    if (full.empty() || full.back() != '/') full += '/';
    full += lpFileName;
  }
  for (char& c : full)
    if (c == '\\') c = '/';
  // "." and ".." components are resolved by name, as the call does: the
  // file need not exist.
  std::string out;
  size_t i = 0;
  while (i < full.size()) {
    size_t j = full.find('/', i + 1);
    if (j == std::string::npos) j = full.size();
    std::string part = full.substr(i + 1, j - i - 1);
    if (part == "..") {
      size_t cut = out.find_last_of('/');
      out.erase(cut == std::string::npos ? 0 : cut);
    } else if (!part.empty() && part != ".") {
      out += '/';
      out += part;
    }
    i = j;
  }
  if (out.empty()) out = "/";
  if (out.size() + 1 > nBufferLength) return DWORD(out.size() + 1);
  std::memcpy(lpBuffer, out.c_str(), out.size() + 1);
  if (lpFilePart) {
    char* slash = std::strrchr(lpBuffer, '/');
    *lpFilePart = slash && slash[1] ? slash + 1 : nullptr;
  }
  return DWORD(out.size());
}
