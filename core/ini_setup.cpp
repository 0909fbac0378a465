// The configuration file's path and the program's configuration object.
#include "core/ini.h"

#include "core/modulepath.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The directory of the program's executable with "/" separators and its
// final separator, or empty when the system cannot say.
std::string programDirectory() {
  std::string dir = uModuleDirectory();
  std::replace(dir.begin(), dir.end(), '\\', '/');
  return dir;
}

// The path itself when a file of that name exists; otherwise the path of a
// file in the same directory whose name differs only in case, when there is
// one; otherwise the path unchanged.
std::string findWithoutCase(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find_first_of("*?") != std::string::npos) return path;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return path;
  FindClose(search);
  return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + data.cFileName;
}

struct Configuration {
  std::string name;
  std::unique_ptr<iniFile> file;
};

Configuration& configuration() {
  static Configuration c;
  return c;
}

}  // namespace

std::string iniPathFor(const char* name) {
  if (!name) name = "";
  std::string path(name);
  if (std::any_of(path.begin(), path.end(), isSeparator)) {
    std::replace(path.begin(), path.end(), '\\', '/');
  } else {
    const size_t dot = path.rfind('.');
    path = programDirectory() + (dot == std::string::npos ? path + ".ini" : path.substr(0, dot + 1) + "ini");
  }
  return findWithoutCase(path);
}

void uiIniSetup(const char* name, int32_t length) {
  Configuration& c = configuration();
  if (!name) name = "";
  // A counted name ends early at a zero byte.
  size_t n = std::strlen(name);
  if (length >= 0) {
    const void* zero = std::memchr(name, 0, size_t(length));
    n = zero ? size_t(static_cast<const char*>(zero) - name) : size_t(length);
  }
  c.name.assign(name, n);
  c.file.reset();
  c.file = std::make_unique<iniFile>(c.name.c_str());
}

iniFile* iniCurrent() { return configuration().file.get(); }

const char* uiIniName() { return configuration().name.c_str(); }

void iniShutdown() { configuration().file.reset(); }
