// The program module: its handle and the path of its executable.
#include "layer.h"

#include <platform_test.h>

#include <cerrno>
#include <string>
#include <unistd.h>

namespace {

std::string fileNameOverride;

// The path of the running executable, or empty when the system cannot say.
std::string executablePath() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);  // the link may have been cut: try a larger buffer
  }
}

}  // namespace

namespace pl {

HMODULE programModule() {
  // The usual load address of a program image: any fixed non-null value does.
  return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
}

void resetModule() { fileNameOverride.clear(); }

}  // namespace pl

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return pl::programModule();
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (!pl::isProgramModule(hModule)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = fileNameOverride.empty() ? executablePath() : fileNameOverride;
  if (path.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  size_t copied = pl::copyTruncated(path, lpFilename, nSize);
  if (copied < path.size()) {
    // Too small: the path is cut to nSize characters including the
    // terminator, and the answer is nSize.
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  return static_cast<DWORD>(copied);
}

void plTestSetModuleFileName(const std::string& path) { fileNameOverride = path; }
