// The program's paths when it is installed under a path longer than the
// Windows limit, and full paths of long names: all answered whole.
#include "core/alloc.h"
#include "ui/app.h"
#include "ui/pgmpath.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string taken(char* text) {
  std::string s = text ? text : "(null)";
  uFreeIfSet(&text);
  return s;
}

class LongPaths : public ::testing::Test {
 protected:
  void TearDown() override { plTestReset(); }
};

TEST_F(LongPaths, ProgramPathsAreWhole) {
  for (size_t length : {300u, 5000u}) {
    SCOPED_TRACE(length);
    const std::string dir = "/" + std::string(length - 12, 'd') + "/";
    const std::string module = dir + "PLUMET.EXE";
    plTestSetModuleFileName(module);
    char* text = nullptr;
    int n = 0;
    pgmModulePath(&text, &n);
    EXPECT_EQ(size_t(n), module.size());
    EXPECT_EQ(taken(text), module);
    EXPECT_EQ(pgmPathOf("Plumet Prefs"), dir + "Plumet Prefs");
    EXPECT_EQ(appIniFromProgram(), dir + "PLUMET.INI");
  }
}

TEST_F(LongPaths, FullPathOfALongNameIsWhole) {
  const std::string cwd = std::filesystem::current_path().string();
  for (size_t length : {300u, 5000u}) {
    const std::string name = std::string(length - 4, 'p') + ".qdw";
    EXPECT_EQ(taken(pgmFullPath(name.c_str(), int(name.size()))), cwd + "/" + name) << length;
  }
  // A zero byte inside the counted name would give the path of a shorter
  // name: there is none.
  const std::string withZero("plan\0.qdw", 9);
  EXPECT_EQ(taken(pgmFullPath(withZero.data(), int(withZero.size()))), "(null)");
}

}  // namespace
