// The path calls with paths longer than the Windows limit: too small a
// buffer answers the size needed (and the module name what fits, cut and
// terminated), so that the caller can grow it and get the path whole.
#include "fixture.h"

#include "deep_dir.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using PathsLong = PlatformTest;

TEST_F(PathsLong, ModuleFileNameCutToTheBufferThenWhole) {
  for (size_t length : {300u, 5000u}) {
    SCOPED_TRACE(length);
    const std::string path = "/" + std::string(length - 8, 'd') + "/plumet";
    plTestSetModuleFileName(path);
    std::vector<char> buffer(MAX_PATH, 'x');
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), MAX_PATH), DWORD(MAX_PATH));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(buffer.data()), path.substr(0, MAX_PATH - 1)) << "cut and terminated";
    buffer.assign(length + 1, 'x');
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size())), DWORD(length));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(std::string(buffer.data()), path);
  }
}

TEST_F(PathsLong, FullPathOfALongNameAnswersTheSizeThenTheWholePath) {
  const std::string cwd = std::filesystem::current_path().string();
  for (size_t length : {300u, 5000u}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(length / 2, 'n') + "\\" + std::string(length - length / 2 - 1, 'm');
    const std::string expected = cwd + "/" + std::string(length / 2, 'n') + "/" + std::string(length - length / 2 - 1, 'm');
    std::vector<char> buffer(MAX_PATH, 'x');
    EXPECT_EQ(GetFullPathNameA(name.c_str(), MAX_PATH, buffer.data(), nullptr), DWORD(expected.size() + 1));
    buffer.assign(expected.size() + 1, 'x');
    char* part = nullptr;
    EXPECT_EQ(GetFullPathNameA(name.c_str(), DWORD(buffer.size()), buffer.data(), &part), DWORD(expected.size()));
    EXPECT_EQ(std::string(buffer.data()), expected);
    EXPECT_EQ(std::string(part), std::string(length - length / 2 - 1, 'm'));
  }
}

TEST_F(PathsLong, FullPathInsideADeepWorkingDirectory) {
  const DeepDir deep(300);
  const std::string before = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(deep.path().c_str()), 0);
  std::string full(deep.path().size() + 16, '\0');
  const DWORD n = GetFullPathNameA("plan.qdw", DWORD(full.size()), full.data(), nullptr);
  ASSERT_EQ(chdir(before.c_str()), 0);
  full.resize(n);
  EXPECT_EQ(full, std::filesystem::canonical(deep.path()).string() + "/plan.qdw");
}

}  // namespace
