// Whole-file replacement through a temporary file and a rename (see
// replace.h).
#include "core/replace.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

// Counts down to a write made to fail; 0 when none is set.
int failCountdown = 0;

// Tried in turn when a temporary name is already taken.
unsigned nextTemporary = 0;

// The file that is replaced: a symbolic link is followed to what it names.
std::string resolvedTarget(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
  const fs::path resolved = fs::weakly_canonical(path, error);
  return error ? path : resolved.string();
}

// Whether the name holds something other than a regular file, which a rename
// cannot stand in for.
bool isSpecialFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return !error && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

// The folder part of a path, with its last separator ("" for none).
std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

struct uReplaceFile {
  std::string target;
  std::string temporary;  // empty when writing in place
  FILE* stream = nullptr;
  bool failed = false;
};

uReplaceFile* uReplaceBegin(const char* path) {
  if (!path || !*path) return nullptr;
  // Held so that a failure to allocate the names frees the record.
  std::unique_ptr<uReplaceFile> held(new uReplaceFile);
  uReplaceFile* file = held.get();
  file->target = resolvedTarget(path);
  if (isSpecialFile(file->target)) {
    file->stream = std::fopen(file->target.c_str(), "wb");
  } else {
    // A short name in the target's folder, so that the rename stays on one
    // file system and the name is no longer than any other in that folder.
    // "x" refuses a name that exists, so nothing else is overwritten.
    const std::string folder = folderOf(file->target);
    for (int attempt = 0; attempt < 1000 && !file->stream; ++attempt) {
      file->temporary = folder + ".~" + std::to_string(nextTemporary++ % 100000) + ".tmp";
      file->stream = std::fopen(file->temporary.c_str(), "wbx");
      // Any failure other than a taken name ends the search.
      std::error_code error;
      if (!file->stream && !std::filesystem::exists(file->temporary, error)) break;
    }
  }
  if (!file->stream) return nullptr;
  return held.release();
}

bool uReplaceWrite(uReplaceFile* file, const void* data, size_t size) {
  if (!file || file->failed) return false;
  if (size == 0) return true;
  if (failCountdown > 0 && --failCountdown == 0) {
    file->failed = true;
    return false;
  }
  if (!data || std::fwrite(data, 1, size, file->stream) != size) file->failed = true;
  return !file->failed;
}

bool uReplaceCommit(uReplaceFile* file) {
  if (!file) return false;
  bool ok = !file->failed && !std::ferror(file->stream) && std::fflush(file->stream) == 0;
  // A device written in place has nothing to write through.
  if (ok && !file->temporary.empty() && _commit(_fileno(file->stream)) != 0) ok = false;
  if (std::fclose(file->stream) != 0) ok = false;
  file->stream = nullptr;
  if (!file->temporary.empty()) {
    if (ok && std::rename(file->temporary.c_str(), file->target.c_str()) != 0) ok = false;
    if (!ok) std::remove(file->temporary.c_str());
  }
  delete file;
  return ok;
}

void uReplaceAbort(uReplaceFile* file) {
  if (!file) return;
  if (file->stream) std::fclose(file->stream);
  if (!file->temporary.empty()) std::remove(file->temporary.c_str());
  delete file;
}

void uReplaceTestFailWrite(int n) { failCountdown = n > 0 ? n : 0; }
