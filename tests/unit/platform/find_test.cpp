// Finding files by name pattern.
#include "platform/fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class PlatformFind : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    // Unique per run: several builds may run this suite at the same time.
    dir_ = fs::temp_directory_path() / ("plumet-find-" + std::to_string(std::random_device{}()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    PlatformTest::TearDown();
  }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // Every name a search for the pattern answers, in order; the search is
  // closed afterwards. Empty when nothing matched.
  std::vector<std::string> names(const std::string& pattern) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do found.push_back(data.cFileName);
    while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return found;
  }

  fs::path dir_;
};

using Names = std::vector<std::string>;

TEST_F(PlatformFind, ANameFoundWithoutRegardToCaseAnswersTheNameOnDisk) {
  write("plumet.ini", "[Memory]\n");
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path("PLUMET.INI").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "plumet.ini");
  EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(data.nFileSizeLow, 9u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  // The write time is a Windows file time (100 ns since 1601) near now.
  const uint64_t written = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  const int64_t unixSeconds = int64_t(written / 10000000ULL) - 11644473600LL;
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_LE(std::llabs(unixSeconds - now), 60);
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(search));
}

TEST_F(PlatformFind, AnExactMatchComesFirstThenTheOthersInByteOrder) {
  write("b.txt", "");
  write("B.TXT", "");
  write("B.txt", "");
  EXPECT_EQ(names(path("b.txt")), (Names{"b.txt", "B.TXT", "B.txt"}));
  EXPECT_EQ(names(path("B.txt")), (Names{"B.txt", "B.TXT", "b.txt"}));
  EXPECT_EQ(names(path("b.TxT")), (Names{"B.TXT", "B.txt", "b.txt"}));
}

TEST_F(PlatformFind, WildcardsAndSeparators) {
  write("plumet.ini", "");
  write("plumet.feb", "");
  write("other.ini", "");
  write("noext", "");
  fs::create_directory(dir_ / "sub");
  write("sub/inner.ini", "");
  struct Case {
    std::string pattern;
    Names expected;
  } cases[] = {
      {path("*.ini"), {"other.ini", "plumet.ini"}},
      {path("P?UMET.*"), {"plumet.feb", "plumet.ini"}},
      {path("*t*"), {"noext", "other.ini", "plumet.feb", "plumet.ini"}},
      {path("*.*"), {".", "..", "noext", "other.ini", "plumet.feb", "plumet.ini", "sub"}},
      {path("plumet.in?x"), {}},
      {path("sub\\*.INI"), {"inner.ini"}},
      {dir_.string() + "\\sub\\inner.ini", {"inner.ini"}},
  };
  for (const Case& c : cases) EXPECT_EQ(names(c.pattern), c.expected) << c.pattern;

  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path("SUB").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "sub");
  EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(FindClose(search));
}

TEST_F(PlatformFind, FailuresAnswerTheirErrors) {
  WIN32_FIND_DATAA data;
  struct Case {
    std::string pattern;
    DWORD error;
  } cases[] = {
      {path("missing.ini"), ERROR_FILE_NOT_FOUND},
      {path("nodir/x.ini"), ERROR_PATH_NOT_FOUND},
      {path("trailing/"), ERROR_PATH_NOT_FOUND},
      {dir_.string() + "/", ERROR_FILE_NOT_FOUND},
      {"", ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(FindFirstFileA(c.pattern.c_str(), &data), INVALID_HANDLE_VALUE) << c.pattern;
    EXPECT_EQ(GetLastError(), c.error) << c.pattern;
  }
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

  // A closed or made-up handle is refused, never followed.
  write("a", "");
  HANDLE search = FindFirstFileA(path("a").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindClose(search));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

}  // namespace
