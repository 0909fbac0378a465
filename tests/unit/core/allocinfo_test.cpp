#include "core/alloc.h"
#include "core/alloc_test.h"
#include "core/debug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

class AllocInfo : public ::testing::Test {
protected:
  void SetUp() override {
    allocInfoTestReset();
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    allocInfoTestReset();
  }
};

// The report's lines with each run of blanks removed, so that the contents
// can be checked apart from the column layout.
std::vector<std::string> squeezedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != ' ') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line + "<no line end>");
  return lines;
}

TEST_F(AllocInfo, ListsCountsAndBytesAndTotalsOnlyUnmarkedTypes) {
  uint16_t vertices = 3;
  int32_t groups = 2;
  uint32_t glistBytes = 1000;
  uint16_t stacks = 0;
  int32_t symbols = 0x10005;  // only the low 16 bits count
  int32_t models = 4;
  uint32_t modelBytes = 300;
  int32_t wrapped = 0x20000;  // low 16 bits 0: not listed

  allocInfoRegister("vertex", &vertices, 34);
  allocInfoRegister("!group", &groups, 40);
  allocInfoRegisterP("glist", nullptr, &glistBytes);  // no counter: 1, bytes not multiplied
  allocInfoRegister("feStack", &stacks, 16);
  allocInfoRegister("symbol", &symbols, 10);
  allocInfoRegisterP("model", &models, &modelBytes);  // byte total as it is
  allocInfoRegister("clump", &wrapped, 8);
  allocInfoRegister("font-data", nullptr, 12);
  allocInfoReport();

  const std::vector<std::string> expected = {
      "vertex:3102", "!group:280", "glist:11000", "symbol:550", "model:4300", "font-data:112", "total:141464",
  };
  EXPECT_EQ(squeezedLines(logText), expected);

  // Counters are read when the report runs.
  vertices = 0;
  groups = 1;
  logText.clear();
  allocInfoReport();
  EXPECT_EQ(squeezedLines(logText).front(), "!group:140");
  EXPECT_EQ(squeezedLines(logText).back(), "total:111362");
}

TEST_F(AllocInfo, LinesAreRightAlignedInTheirColumns) {
  uint16_t vertices = 3;
  int32_t groups = 1200;
  allocInfoRegister("vertex", &vertices, 34);
  allocInfoRegister("!group", &groups, 40);
  allocInfoReport();
  EXPECT_EQ(logText,
            "          vertex:     3      102\n"
            "          !group:  1200    48000\n"
            "           total:     3      102\n");
}

TEST_F(AllocInfo, EmptyTablePrintsOnlyTheTotal) {
  allocInfoReport();
  EXPECT_EQ(squeezedLines(logText), std::vector<std::string>{"total:00"});
}

TEST_F(AllocInfo, TableGrowsKeepingRegistrationOrder) {
  static const char* const names[] = {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9",
                                      "b0", "b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9"};
  std::vector<std::string> expected;
  for (const char* name : names) {
    allocInfoRegister(name, nullptr, 2);
    expected.push_back(std::string(name) + ":12");
  }
  expected.push_back("total:2040");
  allocInfoReport();
  EXPECT_EQ(squeezedLines(logText), expected);
}

}  // namespace
