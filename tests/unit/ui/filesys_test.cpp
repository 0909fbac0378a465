// Files by counted name: exclusive creation, deletion, renaming over an
// existing file, and the program's clock.
#include "ui/filesys.h"

#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

namespace {

class FileSys : public ScratchDirTest {
protected:
  FileSys() : ScratchDirTest("plumet-filesys-") {}

  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

  int create(const std::string& name) {
    const std::string p = path(name);
    int result = -1;
    EXPECT_EQ(aCreateFile(p.c_str(), int(p.size()), "QTRL", 4, "QTR0", 4, &result), result);
    return result;
  }
  int remove(const std::string& name) {
    const std::string p = path(name);
    int result = -1;
    EXPECT_EQ(aDeleteFile(p.c_str(), int(p.size()), &result), result);
    return result;
  }
  int rename(const std::string& from, const std::string& to) {
    const std::string a = path(from), b = path(to);
    int result = -1;
    EXPECT_EQ(aRenameFile(a.c_str(), int(a.size()), b.c_str(), int(b.size()), &result), result);
    return result;
  }
};

TEST_F(FileSys, CreateIsExclusiveAndNeverReplacesAFile) {
  EXPECT_EQ(uiFileOk, create("plan.abc"));
  EXPECT_TRUE(exists("plan.abc"));
  EXPECT_EQ("", read("plan.abc"));

  write("taken", "user data");
  EXPECT_EQ(uiFileExists, create("taken"));
  EXPECT_EQ("user data", read("taken"));

  std::filesystem::create_directory(dir_ / "folder");
  EXPECT_EQ(uiFileExists, create("folder"));
  // A missing directory on the way is neither "exists" nor success.
  EXPECT_EQ(uiFileCannotCreate, create("nodir/plan.abc"));
}

TEST_F(FileSys, NamesAreCounted) {
  // Only the first length bytes name the file.
  const std::string p = path("plan.abcXYZ");
  int result = -1;
  aCreateFile(p.c_str(), int(p.size()) - 3, nullptr, 0, nullptr, 0, &result);
  EXPECT_EQ(uiFileOk, result);
  EXPECT_TRUE(exists("plan.abc"));
  EXPECT_FALSE(exists("plan.abcXYZ"));
  EXPECT_EQ(uiFileNotFound, aDeleteFile(p.c_str(), 0, nullptr));
  EXPECT_EQ(uiFileOk, aDeleteFile(p.c_str(), int(p.size()) - 3, nullptr));
  EXPECT_FALSE(exists("plan.abc"));
}

TEST_F(FileSys, DeleteAnswersNotFoundForAMissingFile) {
  write("old", "x");
  EXPECT_EQ(uiFileOk, remove("old"));
  EXPECT_FALSE(exists("old"));
  EXPECT_EQ(uiFileNotFound, remove("old"));
}

TEST_F(FileSys, RenameReplacesAnExistingTargetInOneStep) {
  write("new", "new data");
  write("target", "old data");
  EXPECT_EQ(uiFileOk, rename("new", "target"));
  EXPECT_EQ("new data", read("target"));
  EXPECT_FALSE(exists("new"));

  EXPECT_EQ(uiFileNotFound, rename("new", "target"));
  EXPECT_EQ("new data", read("target"));
}

TEST_F(FileSys, RenameOntoAFolderFailsAndKeepsBoth) {
  write("new", "new data");
  std::filesystem::create_directory(dir_ / "target");
  write("target/keep", "kept");
  const int result = rename("new", "target");
  EXPECT_NE(uiFileOk, result);
  EXPECT_NE(uiFileNotFound, result);
  EXPECT_EQ("new data", read("new"));
  EXPECT_EQ("kept", read("target/keep"));
}

TEST_F(FileSys, ClockCountsFrom1980) {
  const long before = long(std::time(nullptr));
  const uint32_t now = uiTimeNow();
  const long after = long(std::time(nullptr));
  EXPECT_GE(long(now), before - 315705600);
  EXPECT_LE(long(now), after - 315705600);
}

}  // namespace
