// A test with a scratch directory of its own (several builds may run the
// suites at the same time), made before the test and removed after it, and
// helpers to write and read whole files in it.
#ifndef PLUMET_TESTS_SCRATCH_DIR_H
#define PLUMET_TESTS_SCRATCH_DIR_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

class ScratchDirTest : public ::testing::Test {
protected:
  explicit ScratchDirTest(const char* prefix) : prefix_(prefix) {}

  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (prefix_ + std::to_string(std::random_device{}()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path dir_;

private:
  std::string prefix_;
};

#endif
