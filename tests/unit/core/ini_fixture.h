// The configuration-file tests' fixture: a scratch directory of the test's
// own and helpers to write, read and change files in it.
#ifndef PLUMET_TESTS_CORE_INI_FIXTURE_H
#define PLUMET_TESTS_CORE_INI_FIXTURE_H

#include "core/ini.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace inifx {

namespace fs = std::filesystem;

// A scratch directory of its own for every test (several builds may run the
// suites at the same time).
class IniTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("plumet-ini-" + std::to_string(std::random_device{}()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    iniShutdown();
    plTestSetModuleFileName("");
    fs::remove_all(dir_);
  }
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
  // The file's text after one iniSet on it, with the set's answer.
  std::string afterSet(const std::string& before, const char* section, const char* key, const char* value,
                       bool* answer = nullptr) {
    write("t.ini", before);
    iniFile ini(path("t.ini").c_str());
    const bool written = iniSet(&ini, section, key, value);
    if (answer) *answer = written;
    return read("t.ini");
  }
  std::string get(const iniFile& ini, const char* section, const char* key) const {
    std::string value;
    return iniGetString(&ini, section, key, &value) ? value : "<none>";
  }

  fs::path dir_;
};

}  // namespace inifx

#endif
