// Paths: the program directory with a name, the module path, full paths
// of relative names, and file titles with their errors.
#include "ui/pgmpath.h"

#include "core/alloc.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string taken(char* text) {
  std::string s = text ? text : "(null)";
  uFreeIfSet(&text);
  return s;
}

TEST(PgmPath, ProgramDirectoryAndModulePath) {
  char* module = nullptr;
  int length = 0;
  pgmModulePath(&module, &length);
  const std::string path = taken(module);
  ASSERT_EQ(size_t(length), path.size());
  const std::string dir = path.substr(0, path.find_last_of('/') + 1);
  EXPECT_EQ(dir + "Plumet Prefs", pgmPathOf("Plumet Prefs"));
  const std::string longName(400, 'x');
  EXPECT_EQ(dir + longName, pgmPathOf(longName.c_str())) << "taken whole";
  EXPECT_EQ(dir, pgmPathOf(nullptr));
}

TEST(PgmPath, FullPathsResolveAgainstTheWorkingDirectory) {
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(cwd + "/plan.qdw", taken(pgmFullPath("plan.qdw", 8)));
  EXPECT_EQ("/tmp/plan.qdw", taken(pgmFullPath("/tmp/x/../plan.qdw", 18)));
  EXPECT_EQ("/a/b/c", taken(pgmFullPath("\\a\\b\\.\\c", 8)));
  EXPECT_EQ("(null)", taken(pgmFullPath("", 0)));
}

TEST(PgmPath, FileTitles) {
  struct Case {
    const char* name;
    bool ok;
    const char* title;
  } cases[] = {
      {"/home/u/plan.qdw", true, "plan.qdw"},
      {"C:\\work\\PREFS.QDW", true, "PREFS.QDW"},
      {"a:b", false, ""},
      {"work\\plan.qdw", true, "plan.qdw"},
      {"dir/", false, ""},
      {"a*b", false, ""},
  };
  for (const Case& c : cases) {
    char* title = nullptr;
    const int answer = fileTitleOf(c.name, &title);
    EXPECT_EQ(c.ok, answer == 0) << c.name;
    EXPECT_EQ(c.title, taken(title)) << c.name;
  }
  char* title = nullptr;
  EXPECT_EQ(71, fileTitleOf(std::string(70, 'n').c_str(), &title)) << "too long: the size needed";
  EXPECT_EQ("", taken(title));
}

}  // namespace
