#include "ui/filesys.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

std::string countedName(const char* name, int length) {
  if (!name || length <= 0) return std::string();
  return std::string(name, size_t(length));
}

// The result of a failed call from the error the run-time library left:
// "exists"/"not found" as 2, protection as 13, a full disk as 32, the rest
// as fallback.
int failureCode(int error, int missing, int fallback) {
  switch (error) {
    case EEXIST: return missing == EEXIST ? uiFileExists : fallback;
    case ENOENT: return missing == ENOENT ? uiFileNotFound : fallback;
    case EACCES:
    case EPERM:
    case EROFS: return uiFileLocked;
    case ENOSPC: return uiFileDiskFull;
    default: return fallback;
  }
}

int answer(int code, int* result) {
  if (result) *result = code;
  return code;
}

}  // namespace

int aCreateFile(const char* name, int length, const char*, int, const char*, int, int* result) {
  const std::string path = countedName(name, length);
  errno = 0;
  // "x": the open fails when the name exists, so nothing is replaced.
  FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wbx");
  if (!file) return answer(failureCode(errno, EEXIST, uiFileCannotCreate), result);
  const int closed = std::fclose(file);
  return answer(closed == 0 ? uiFileOk : uiFileCannotCreate, result);
}

int aDeleteFile(const char* name, int length, int* result) {
  const std::string path = countedName(name, length);
  errno = 0;
  if (!path.empty() && std::remove(path.c_str()) == 0) return answer(uiFileOk, result);
  return answer(path.empty() ? uiFileNotFound : failureCode(errno, ENOENT, uiFileCannotChange),
                result);
}

int aRenameFile(const char* oldName, int oldLength, const char* newName, int newLength,
                int* result) {
  const std::string from = countedName(oldName, oldLength);
  const std::string to = countedName(newName, newLength);
  if (from.empty()) return answer(uiFileNotFound, result);
  if (to.empty()) return answer(uiFileCannotChange, result);
  errno = 0;
  // The run-time library's rename replaces an existing target atomically.
  if (std::rename(from.c_str(), to.c_str()) == 0) return answer(uiFileOk, result);
  return answer(failureCode(errno, ENOENT, uiFileCannotChange), result);
}

uint32_t uiTimeNow() {
  return uint32_t(std::time(nullptr) - 315705600);
}
