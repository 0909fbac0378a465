// The configuration-file tests' fixture: a scratch directory of the test's
// own and helpers to write, read and change files in it.
#ifndef PLUMET_TESTS_CORE_INI_FIXTURE_H
#define PLUMET_TESTS_CORE_INI_FIXTURE_H

#include "core/ini.h"
#include "scratch_dir.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace inifx {

namespace fs = std::filesystem;

// Configuration files in a scratch directory of the test's own.
class IniTest : public ScratchDirTest {
protected:
  IniTest() : ScratchDirTest("plumet-ini-") {}
  void TearDown() override {
    iniShutdown();
    plTestSetModuleFileName("");
    ScratchDirTest::TearDown();
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

};

}  // namespace inifx

#endif
