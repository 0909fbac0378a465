// Opening by counted names, line reading over the three line-end styles.
#include "core/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("plumet-files-" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Every line uFileGets answers, until it answers null.
  static std::vector<std::string> lines(const std::string& path, int size) {
    std::vector<std::string> out;
    FILE* f = uFileOpen(path.c_str(), path.size(), "rb");
    EXPECT_NE(f, nullptr) << path;
    if (!f) return out;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
    while (char* line = uFileGets(buffer.data(), size, f)) {
      EXPECT_EQ(line, buffer.data());
      out.emplace_back(line);
      if (out.size() > 100) break;
    }
    EXPECT_EQ(uFileGets(buffer.data(), size, f), nullptr);  // stays at the end
    uFileClose(f);
    return out;
  }

  fs::path dir_;
};

using Lines = std::vector<std::string>;

TEST_F(FilesTest, GetsEndsLinesAtCrLfAndTheirPairs) {
  struct Case {
    std::string bytes;
    Lines expected;
  };
  const Case cases[] = {
      {"a\r\nb\n\nc", {"a\n", "b\n", "\n", "c"}},
      {"a\rb\r", {"a\n", "b\n"}},              // CR only
      {"a\n\rb", {"a\n", "b"}},                // LF-CR is one line end
      {"a\r\rb", {"a\n", "\n", "b"}},          // CR-CR is two
      {"\r\n\r\n", {"\n", "\n"}},
      {"a\r\n\rb", {"a\n", "\n", "b"}},
      {"last\r", {"last\n"}},
      {"abc", {"abc"}},
      {"", {}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = write("lines" + std::to_string(n++), c.bytes);
    EXPECT_EQ(lines(path, 64), c.expected) << testing::PrintToString(c.bytes);
  }
}

TEST_F(FilesTest, GetsSplitsLinesLongerThanTheBuffer) {
  const std::string path = write("long", "abcdef\nab\r\ncd");
  EXPECT_EQ(lines(path, 4), (Lines{"abc", "def", "\n", "ab\n", "cd"}));
  // A CR-LF pair split by the buffer's end still counts as one line end.
  EXPECT_EQ(lines(write("pair", "ab\r\ncd"), 3), (Lines{"ab", "\n", "cd"}));
}

TEST_F(FilesTest, OpenMapsModesAndRefusesOthers) {
  const std::string path = (dir_ / "modes").string();
  for (const char* mode : {"w", "wb", "bw"}) {
    FILE* f = uFileOpen(path.c_str(), path.size(), mode);
    ASSERT_NE(f, nullptr) << mode;
    EXPECT_EQ(std::fputs("xy\n", f), 1);
    EXPECT_EQ(uFileClose(f), 0);
  }
  for (const char* mode : {"r", "rb", "br"}) {
    FILE* f = uFileOpen(path.c_str(), path.size(), mode);
    ASSERT_NE(f, nullptr) << mode;
    char buffer[8];
    EXPECT_STREQ(uFileGets(buffer, sizeof buffer, f), "xy\n");
    EXPECT_EQ(std::fputc('z', f), EOF) << mode;  // opened for reading only
    uFileClose(f);
  }
  for (const char* mode : {"", "a", "r+", "rw", "rbb", "rr", "wx", "ab"}) {
    EXPECT_EQ(uFileOpen(path.c_str(), path.size(), mode), nullptr) << '"' << mode << '"';
  }
  EXPECT_EQ(uFileOpen(path.c_str(), path.size(), nullptr), nullptr);
  EXPECT_EQ(uFileOpen(nullptr, 0, "r"), nullptr);
  EXPECT_EQ(uFileOpen((dir_ / "missing").string().c_str(), (dir_ / "missing").string().size(), "r"),
            nullptr);
  EXPECT_EQ(uFileClose(nullptr), 0);
}

TEST_F(FilesTest, OpenTakesTheCountedNameUpTo256Characters) {
  const std::string base = dir_.string() + "/";
  ASSERT_LT(base.size(), 200u);
  const std::string name256 = write(std::string(256 - base.size(), 'n'), "ok");
  const std::string name257 = write(std::string(257 - base.size(), 'n'), "ok");
  ASSERT_EQ(name256.size(), 256u);
  ASSERT_TRUE(fs::exists(name257));

  FILE* f = uFileOpen(name256.c_str(), name256.size(), "r");
  EXPECT_NE(f, nullptr);
  uFileClose(f);
  EXPECT_EQ(uFileOpen(name257.c_str(), name257.size(), "r"), nullptr);

  // Only length bytes of the name count; a zero byte among them is refused.
  const std::string counted = write("short", "ok");
  const std::string padded = counted + "-and-more";
  f = uFileOpen(padded.c_str(), counted.size(), "r");
  EXPECT_NE(f, nullptr);
  uFileClose(f);
  const std::string withZero = counted + std::string(1, '\0') + "x";
  EXPECT_EQ(uFileOpen(withZero.data(), withZero.size(), "r"), nullptr);
}

}  // namespace
