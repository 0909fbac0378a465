// String resources and the program module.
#include "platform/fixture.h"

#include <platform_resources.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using PlatformStrings = PlatformTest;
using PlatformModule = PlatformTest;

const PlStringResource programTable[] = {
    {16, "Plumet"},
    {20, "Version 6.1.8"},
    {21, ""},  // an empty entry counts as absent
};

TEST_F(PlatformStrings, LoadsFoundAbsentAndTruncated) {
  plSetStringTable(nullptr, programTable, 3);
  struct Case {
    UINT id;
    int size;
    int answer;
    const char* text;
  };
  const Case cases[] = {
      {20, 64, 13, "Version 6.1.8"},
      {20, 14, 13, "Version 6.1.8"},  // exactly fits with its terminator
      {20, 13, 12, "Version 6.1."},   // one short: cut, still terminated
      {20, 4, 3, "Ver"},
      {20, 1, 0, ""},
      {0x10010, 64, 6, "Plumet"},  // ids are 16 bits wide
      {18, 64, 0, ""},
      {21, 64, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " size " << c.size);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.size), c.answer);
    EXPECT_STREQ(buffer, c.text);
  }
}

TEST_F(PlatformStrings, SizeZeroAnswersZeroAndWritesNothing) {
  plSetStringTable(nullptr, programTable, 3);
  char buffer[4] = {'x', 'x', 'x', 0};
  EXPECT_EQ(LoadStringA(nullptr, 16, buffer, 0), 0);
  EXPECT_STREQ(buffer, "xxx");
  EXPECT_EQ(LoadStringA(nullptr, 16, nullptr, 10), 0);
}

TEST_F(PlatformStrings, ProgramHandleAndNullNameTheSameTableOthersTheirOwn) {
  static const PlStringResource pluginTable[] = {{16, "Plug-in"}};
  HINSTANCE plugin = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7000));
  plSetStringTable(GetModuleHandleA(nullptr), programTable, 3);
  plSetStringTable(plugin, pluginTable, 1);
  char buffer[32];
  EXPECT_EQ(LoadStringA(nullptr, 16, buffer, sizeof buffer), 6);
  EXPECT_STREQ(buffer, "Plumet");
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 16, buffer, sizeof buffer), 6);
  EXPECT_EQ(LoadStringA(plugin, 16, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "Plug-in");
  EXPECT_EQ(LoadStringA(plugin, 20, buffer, sizeof buffer), 0);  // not in the plug-in's table

  // A later table replaces the earlier one.
  static const PlStringResource other[] = {{20, "v2"}};
  plSetStringTable(nullptr, other, 1);
  EXPECT_EQ(LoadStringA(nullptr, 16, buffer, sizeof buffer), 0);
  EXPECT_EQ(LoadStringA(nullptr, 20, buffer, sizeof buffer), 2);
}

TEST_F(PlatformModule, HandleOfTheProgramIsFixedAndOthersAreUnknown) {
  HMODULE program = GetModuleHandleA(nullptr);
  EXPECT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), program);
  EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
}

TEST_F(PlatformModule, FileNameIsTheRunningExecutable) {
  char buffer[4096];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string expected = std::filesystem::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(n, expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer), n);
  HMODULE other = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7000));
  EXPECT_EQ(GetModuleFileNameA(other, buffer, sizeof buffer), 0u);
}

TEST_F(PlatformModule, FileNameTruncatesToTheBufferAndAnswersItsSize) {
  plTestSetModuleFileName("/opt/plumet/bin/plumet");  // 22 characters
  struct Case {
    DWORD size;
    DWORD answer;
    const char* text;
    DWORD error;
  };
  const Case cases[] = {
      {64, 22, "/opt/plumet/bin/plumet", 0},
      {23, 22, "/opt/plumet/bin/plumet", 0},
      {22, 22, "/opt/plumet/bin/plume", ERROR_INSUFFICIENT_BUFFER},
      {5, 5, "/opt", ERROR_INSUFFICIENT_BUFFER},
      {1, 1, "", ERROR_INSUFFICIENT_BUFFER},
      {0, 0, "unchanged", ERROR_INSUFFICIENT_BUFFER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size);
    char buffer[64] = "unchanged";
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, c.size), c.answer);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(GetLastError(), c.error);
  }
  plTestSetModuleFileName("");  // back to the real path
  char buffer[4096];
  EXPECT_EQ(std::string(buffer, GetModuleFileNameA(nullptr, buffer, sizeof buffer)),
            std::filesystem::read_symlink("/proc/self/exe").string());
}

}  // namespace
