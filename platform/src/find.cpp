// Finding files by name pattern: FindFirstFileA, FindNextFileA, FindClose.
//
// The directory is read once, when the search starts; the search handle then
// hands out the matching entries one by one. Names match without regard to
// case (ASCII letters), as on the program's home system, so that a file named
// in upper case by the program is found when the disk holds it in another
// case. An entry whose name equals the pattern exactly comes first; the rest
// follow in byte order, so that a search answers the same on every run.
#include "layer.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct FindEntry {
  std::string name;
  WIN32_FIND_DATAA data;
};

struct FindSearch {
  std::vector<FindEntry> entries;
  size_t next = 0;
};

// Searches in progress; a handle not in this set is refused.
std::set<FindSearch*>& liveSearches() {
  static std::set<FindSearch*> searches;
  return searches;
}

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

// Wildcard match without case: "*" any run of characters, "?" one character.
bool matches(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || (*pattern && foldCase(*pattern) == foldCase(*name))) {
      ++pattern;
      ++name;
    } else if (starPattern) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == 0;
}

// 100-nanosecond intervals since 1601-01-01, the Windows file time.
FILETIME fileTime(const struct timespec& t) {
  constexpr uint64_t kEpochDifference = 116444736000000000ULL;  // 1601 to 1970
  const uint64_t ticks = kEpochDifference + static_cast<uint64_t>(t.tv_sec) * 10000000ULL +
                         static_cast<uint64_t>(t.tv_nsec) / 100;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

WIN32_FIND_DATAA findData(const std::string& name, const struct stat& st) {
  WIN32_FIND_DATAA data;
  std::memset(&data, 0, sizeof data);
  DWORD attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  data.dwFileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
  data.ftCreationTime = fileTime(st.st_mtim);
  data.ftLastAccessTime = fileTime(st.st_atim);
  data.ftLastWriteTime = fileTime(st.st_mtim);
  const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  pl::copyTruncated(name, data.cFileName, sizeof data.cFileName);
  return data;
}

}  // namespace

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  if (!lpFileName || !lpFindFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string path(lpFileName);
  std::replace(path.begin(), path.end(), '\\', '/');
  const size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = path.empty() ? nullptr : opendir(directory.c_str());
  if (!dir) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (pattern.empty()) {  // a directory name alone names no entry
    closedir(dir);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (pattern == "*.*") pattern = "*";  // every name, with or without an extension

  auto search = std::make_unique<FindSearch>();
  while (const dirent* entry = readdir(dir)) {
    if (!matches(pattern.c_str(), entry->d_name)) continue;
    const std::string name = entry->d_name;
    if (name.size() >= MAX_PATH) continue;  // cannot be answered whole
    struct stat st;
    if (stat((directory + "/" + name).c_str(), &st) != 0) continue;  // a dangling link
    search->entries.push_back({name, findData(name, st)});
  }
  closedir(dir);

  std::sort(search->entries.begin(), search->entries.end(), [&pattern](const FindEntry& a, const FindEntry& b) {
    const bool exactA = a.name == pattern;
    const bool exactB = b.name == pattern;
    if (exactA != exactB) return exactA;
    return a.name < b.name;
  });
  if (search->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *lpFindFileData = search->entries[0].data;
  search->next = 1;
  liveSearches().insert(search.get());
  return search.release();
}

extern "C" BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto search = static_cast<FindSearch*>(hFindFile);
  if (!liveSearches().count(search) || !lpFindFileData) {
    SetLastError(lpFindFileData ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (search->next >= search->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *lpFindFileData = search->entries[search->next++].data;
  return TRUE;
}

extern "C" BOOL WINAPI FindClose(HANDLE hFindFile) {
  auto search = static_cast<FindSearch*>(hFindFile);
  if (!liveSearches().erase(search)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete search;
  return TRUE;
}
