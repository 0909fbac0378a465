// Drawing-file names: a path longer than the Windows limit is written and
// read whole; a name the system refuses, or one with a zero byte inside, is
// refused and never taken as a shorter name.
#include "objects/iofile.h"

#include "deep_dir.h"
#include "objects/io_detached.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class IoFileNames : public ::testing::Test {
 protected:
  void SetUp() override {
    ioDetachModules();
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override { plTestReset(); }

  static int open(const std::string& name, uint32_t flags, ioCtx** ctx) {
    return ioOpen(ctx, name.data(), int(name.size()), flags, 4, nullptr);
  }
};

TEST_F(IoFileNames, LongPathIsWrittenAndReadWhole) {
  const DeepDir deep(300);
  const std::string name = deep.file("plan.abc");
  for (uint32_t extra : {0u, uint32_t(ioFlagRaw)}) {
    ioCtx* ctx = nullptr;
    ASSERT_EQ(0, open(name, ioFlagWrite | extra, &ctx)) << extra;
    ASSERT_EQ(0, ioClose(ctx));
    ASSERT_TRUE(std::filesystem::exists(name));
    ASSERT_EQ(0, open(name, ioFlagRead, &ctx));
    EXPECT_EQ(0, ioClose(ctx));
    std::filesystem::remove(name);
  }
  EXPECT_TRUE(std::filesystem::is_empty(deep.path())) << "no temporary or cut name left";
}

TEST_F(IoFileNames, NamesThatCannotBeUsedWholeAreRefused) {
  const DeepDir deep(300);
  const std::string kept = deep.write("plan.abc", "old");
  const std::string tooLong = deep.path() + "/" + std::string(5000, 'x');
  const std::string withZero = kept + std::string(1, '\0') + "x";
  ioCtx* ctx = nullptr;
  EXPECT_EQ(ioErrCannotOpen, open(tooLong, ioFlagRead, &ctx));
  EXPECT_NE(0, open(tooLong, ioFlagWrite, &ctx));
  EXPECT_EQ(ioErrBadArg, open(withZero, ioFlagRead, &ctx));
  EXPECT_EQ(ioErrBadArg, open(withZero, ioFlagWrite, &ctx));
  EXPECT_EQ(ioErrBadArg, open(withZero, ioFlagWrite | ioFlagRaw, &ctx));
  EXPECT_EQ(nullptr, ctx);
  std::ifstream in(kept);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "old") << "the file of the shorter name is untouched";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep.path()), {}), 1);
}

}  // namespace
