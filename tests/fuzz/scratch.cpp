#include "scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzfs {

namespace {

namespace fs = std::filesystem;

std::string& folder() {
  static std::string path;
  return path;
}

void removeFolder() {
  std::error_code ec;
  if (!folder().empty()) fs::remove_all(folder(), ec);
}

}  // namespace

const std::string& scratchDir() {
  std::string& path = folder();
  if (!path.empty()) return path;
  std::string pattern = (fs::temp_directory_path() / "plumet-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  path = pattern;
  std::atexit(removeFolder);
  return path;
}

std::string writeScratchFile(const char* name, const uint8_t* data, size_t size) {
  const std::string path = (fs::path(scratchDir()) / name).string();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    std::abort();
  }
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  return path;
}

bool readWholeFile(const std::string& path, std::string* out) {
  out->clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out->append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
}

}  // namespace fuzzfs
