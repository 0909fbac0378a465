// Libraries loaded at run time: LoadLibraryA, GetProcAddress by name and by
// ordinal, FreeLibrary, on the system's dynamic loader.
//
// A handle is the loader's own handle, known here only while this layer
// holds it: a handle the layer did not answer is refused rather than given
// to the loader. Nothing in plTestReset unloads a library: operators and
// hooks a library registered may still point into its code.
#include "layer.h"

#include <ordinals.h>

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The libraries this layer loaded, with the number of loads not yet freed.
std::map<void*, int>& loaded() {
  static std::map<void*, int> table;
  return table;
}

bool endsWithNoCase(const std::string& text, const char* tail) {
  const size_t n = std::strlen(tail);
  return text.size() >= n && pl::equalNoCase(std::string_view(text).substr(text.size() - n), tail);
}

// The file names to try for the file part of a library name: a ".dll" name
// also as ".so", a name without an extension with ".dll" and ".so" added, a
// name ending in "." without it (so that no extension is added).
std::vector<std::string> fileVariants(const std::string& file) {
  if (endsWithNoCase(file, ".dll")) return {file, file.substr(0, file.size() - 4) + ".so"};
  if (!file.empty() && file.back() == '.') return {file.substr(0, file.size() - 1)};
  if (file.find('.') == std::string::npos) return {file + ".dll", file + ".so"};
  return {file};
}

bool isFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The path of file in dir as it exists: the exact name, else the one name
// of the directory equal to it without case; empty when there is none.
std::string existingPath(const std::string& dir, const std::string& file) {
  const std::string exact = dir + "/" + file;
  if (isFile(exact)) return exact;
  DIR* d = opendir(dir.c_str());
  if (!d) return std::string();
  std::string found;
  while (const dirent* entry = readdir(d)) {
    if (pl::equalNoCase(entry->d_name, file) && isFile(dir + "/" + entry->d_name)) {
      found = dir + "/" + entry->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

// The program's directory, whole whatever its length, or empty.
std::string programDirectory() {
  std::string dir(256, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, dir.data(), static_cast<DWORD>(dir.size()));
    if (n == 0) return std::string();
    if (n < dir.size()) {
      dir.resize(n);
      break;
    }
    dir.resize(dir.size() * 2);  // cut: try a larger buffer
  }
  const size_t slash = dir.find_last_of('/');
  return slash == std::string::npos ? std::string() : dir.substr(0, slash == 0 ? 1 : slash);
}

// Opens a file found by the search. A failure is a file that is not a
// library of this system, unless the loader says a file it needs is missing.
void* openFound(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    const bool missing = why && std::strstr(why, "No such file") != nullptr;
    SetLastError(missing ? ERROR_MOD_NOT_FOUND : ERROR_BAD_EXE_FORMAT);
  }
  return handle;
}

// Loads a library by name as LoadLibraryA describes; null with the last
// error set when it cannot.
void* openLibrary(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  const size_t slash = name.find_last_of('/');
  std::vector<std::string> dirs;
  std::string file = name;
  if (slash != std::string::npos) {
    dirs.push_back(slash == 0 ? "/" : name.substr(0, slash));
    file = name.substr(slash + 1);
  } else {
    const std::string program = programDirectory();
    if (!program.empty()) dirs.push_back(program);
    dirs.push_back(".");
  }
  const std::vector<std::string> variants = fileVariants(file);
  // The first file found is the one loaded, as the search order says.
  for (const std::string& dir : dirs) {
    for (const std::string& variant : variants) {
      const std::string path = existingPath(dir, variant);
      if (!path.empty()) return openFound(path);
    }
  }
  // A bare name not found beside the program: where the system looks.
  if (slash == std::string::npos) {
    for (const std::string& variant : variants) {
      if (void* handle = dlopen(variant.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
      dlerror();
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

// Whether the symbol at address belongs to the library itself, not to one
// of the libraries it depends on (which the loader searches as well).
bool definedIn(void* handle, const void* address) {
  link_map* map = nullptr;
  Dl_info info;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return false;
  if (!dladdr(address, &info) || !info.dli_fname) return false;
  return std::strcmp(info.dli_fname, map->l_name) == 0;
}

}  // namespace

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  if (!lpLibFileName || !*lpLibFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* handle = openLibrary(lpLibFileName);
  if (!handle) return nullptr;
  ++loaded()[handle];
  return static_cast<HMODULE>(handle);
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  const uintptr_t word = reinterpret_cast<uintptr_t>(lpProcName);
  const bool byOrdinal = word <= 0xFFFF;
  if (pl::isProgramModule(hModule)) {
    // The program exports by ordinal only.
    FARPROC entry = nullptr;
    if (byOrdinal) {
      const auto* table = static_cast<const plOrdinalTable*>(dlsym(RTLD_DEFAULT, PL_PROGRAM_ORDINALS));
      entry = plOrdinalEntry(table, static_cast<uint32_t>(word));
    }
    if (!entry) SetLastError(ERROR_PROC_NOT_FOUND);
    return entry;
  }
  void* handle = static_cast<void*>(hModule);
  if (loaded().count(handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* found = nullptr;
  if (byOrdinal) {
    void* table = dlsym(handle, PL_LIBRARY_ORDINALS);
    if (table && definedIn(handle, table))
      found = reinterpret_cast<void*>(
          plOrdinalEntry(static_cast<const plOrdinalTable*>(table), static_cast<uint32_t>(word)));
  } else {
    found = dlsym(handle, lpProcName);
    if (found && !definedIn(handle, found)) found = nullptr;
  }
  if (!found) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(found);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  void* handle = static_cast<void*>(hLibModule);
  auto& table = loaded();
  auto it = handle ? table.find(handle) : table.end();
  if (it == table.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--it->second == 0) table.erase(it);
  dlclose(handle);
  return TRUE;
}
