// The program module's path (see modulepath.h).
#include "core/modulepath.h"

#include <windows.h>

namespace {

// Far beyond the longest path a system accepts; a larger answer is an error.
constexpr size_t kLongestPath = 65536;

}  // namespace

std::string uModulePath() {
  // The call copies what fits and answers the buffer size when the path was
  // cut: the buffer grows until the whole path fits with its terminator.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= kLongestPath) return std::string();
    path.resize(path.size() * 2);
  }
}

std::string uModuleDirectory() {
  const std::string path = uModulePath();
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
