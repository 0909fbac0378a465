// A directory whose path is longer than a given number of characters (the
// Windows limit is 259), built of components that every Linux file system
// accepts (at most 255 bytes each). Made in the temporary folder on
// construction and removed with everything in it on destruction.
#ifndef PLUMET_TESTS_DEEP_DIR_H
#define PLUMET_TESTS_DEEP_DIR_H

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

class DeepDir {
 public:
  explicit DeepDir(size_t longerThan) {
    root_ = std::filesystem::temp_directory_path() / ("plumet-deep-" + std::to_string(std::random_device{}()));
    path_ = root_;
    for (char c = 'a'; path_.string().size() <= longerThan; ++c) path_ /= std::string(100, c);
    std::filesystem::create_directories(path_);
  }
  ~DeepDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  DeepDir(const DeepDir&) = delete;
  DeepDir& operator=(const DeepDir&) = delete;

  // The directory's path, without a final separator.
  std::string path() const { return path_.string(); }
  // The path of a file in it.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file in it; answers its path.
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
    return file(name);
  }

 private:
  std::filesystem::path root_;
  std::filesystem::path path_;
};

#endif
