#include "core/replace.h"

#include "core/ini_fixture.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The names in a folder, sorted.
std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ReplaceFile : public ScratchDirTest {
protected:
  ReplaceFile() : ScratchDirTest("plumet-replace-") {}
  void TearDown() override {
    uReplaceTestFailWrite(0);
    ScratchDirTest::TearDown();
  }
};

TEST_F(ReplaceFile, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
  const std::string original("old\0contents\r\nkept byte for byte\n", 34);
  const std::string blocks[] = {"first block\n", std::string(70000, 'x'), "last block\n"};
  // The first, a middle and the last of three writes fail in turn.
  for (int failing = 1; failing <= 3; ++failing) {
    write("target.ini", original);
    uReplaceTestFailWrite(failing);
    uReplaceFile* file = uReplaceBegin(path("target.ini").c_str());
    ASSERT_NE(file, nullptr);
    for (int i = 0; i < 3; ++i) {
      // A write after the failure fails too.
      EXPECT_EQ(uReplaceWrite(file, blocks[i].data(), blocks[i].size()), i + 1 < failing) << failing << " " << i;
    }
    EXPECT_FALSE(uReplaceCommit(file)) << failing;
    EXPECT_EQ(read("target.ini"), original) << failing;
    EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"target.ini"}) << failing;
  }

  // Given up on after a good write: the same.
  uReplaceTestFailWrite(0);
  uReplaceFile* file = uReplaceBegin(path("target.ini").c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(uReplaceWrite(file, blocks[0].data(), blocks[0].size()));
  uReplaceAbort(file);
  EXPECT_EQ(read("target.ini"), original);
  EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"target.ini"});

  // Without a failure the new contents replace the old, and a file that did
  // not exist is made; no temporary file is left either way.
  for (const char* name : {"target.ini", "new.ini"}) {
    file = uReplaceBegin(path(name).c_str());
    ASSERT_NE(file, nullptr);
    for (const std::string& block : blocks) EXPECT_TRUE(uReplaceWrite(file, block.data(), block.size()));
    EXPECT_TRUE(uReplaceCommit(file));
    EXPECT_EQ(read(name), blocks[0] + blocks[1] + blocks[2]);
  }
  EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"new.ini", "target.ini"}));

  // A folder that does not exist: nothing to start.
  EXPECT_EQ(uReplaceBegin(path("no-such-dir/x.ini").c_str()), nullptr);
}

TEST_F(ReplaceFile, ALinkedFileIsReplacedAndTheLinkKept) {
  write("real.ini", "old\n");
  fs::create_symlink(dir_ / "real.ini", dir_ / "link.ini");
  uReplaceFile* file = uReplaceBegin(path("link.ini").c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(uReplaceWrite(file, "new\n", 4));
  EXPECT_TRUE(uReplaceCommit(file));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
  EXPECT_EQ(read("real.ini"), "new\n");
  EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"link.ini", "real.ini"}));
}

class IniReplace : public inifx::IniTest {
protected:
  void TearDown() override {
    uReplaceTestFailWrite(0);
    inifx::IniTest::TearDown();
  }
};

TEST_F(IniReplace, AFailedSaveKeepsTheWholeFile) {
  std::string before = "[Defaults]\r\n";
  for (int i = 0; i < 784; ++i) before += "key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
  // The first write, and one well after it, fail.
  for (int failing : {1, 400}) {
    write("t.ini", before);
    iniFile ini(path("t.ini").c_str());
    uReplaceTestFailWrite(failing);
    EXPECT_FALSE(iniSet(&ini, "Defaults", "key5", "changed")) << failing;
    EXPECT_EQ(read("t.ini"), before) << failing;
    EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"t.ini"}) << failing;
  }
  uReplaceTestFailWrite(0);
  iniFile ini(path("t.ini").c_str());
  EXPECT_TRUE(iniSet(&ini, "Defaults", "key5", "changed"));
  std::string after = before;
  after.replace(after.find("key5=value 5"), 12, "key5=changed");
  EXPECT_EQ(read("t.ini"), after);
  EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"t.ini"});
}

}  // namespace
