// Script files under paths longer than the Windows limit are opened and run
// whole; a name the system refuses is reported as a bad file name, never
// opened as a shorter one.
#include "fe/file.h"

#include "core/errors.h"
#include "deep_dir.h"
#include "exec_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace execfx;

class FileLongName : public ::testing::Test {
 protected:
  void SetUp() override { start(); }
  void TearDown() override { stop(); }
};

TEST_F(FileLongName, LongPathsOpenAndRunWhole) {
  const DeepDir deep(300);
  const std::string data = deep.write("data.txt", "Q");
  feObject file{};
  ASSERT_EQ(feFileMake(&file, data.data(), data.size(), "r", 1), feOk);
  int ch = 0;
  EXPECT_EQ(feFileReadChar(&file, &ch), feOk);
  EXPECT_EQ(ch, 'Q');
  feFree(&file);

  const std::string written = deep.file("out.txt");
  ASSERT_EQ(feFileMake(&file, written.data(), written.size(), "w", 1), feOk);
  feFree(&file);
  EXPECT_TRUE(std::filesystem::exists(written));

  const std::string script = deep.write("script.fe", "6 7");
  EXPECT_EQ(feRunFile(script.c_str(), script.size()), feOk);
  EXPECT_EQ(operands(), "6 7");
}

TEST_F(FileLongName, NamesTheSystemRefusesAreBadFileNames) {
  const DeepDir deep(300);
  const std::string cases[] = {
      deep.path() + "/" + std::string(5000, 'x'),         // longer than any path
      deep.file(std::string(300, 'c') + ".txt"),          // a component too long
  };
  for (const std::string& name : cases) {
    for (const char* mode : {"r", "w"}) {
      feObject file{};
      EXPECT_EQ(feFileMake(&file, name.data(), name.size(), mode, 1), feErrInvalidFileName) << mode;
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(deep.path())) << "nothing made under a shorter name";
}

}  // namespace
