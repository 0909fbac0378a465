// The translation tests' fixture: an empty table, the debug log captured,
// a scratch directory, and helpers to load pairs and ask for texts.
#ifndef PLUMET_TESTS_CORE_XLATE_FIXTURE_H
#define PLUMET_TESTS_CORE_XLATE_FIXTURE_H

#include "core/alloc.h"
#include "core/debug.h"
#include "core/xlate.h"
#include "core/xlate_internal.h"
#include "core/xlate_test.h"
#include "scratch_dir.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace xlatefx {

namespace fs = std::filesystem;

inline std::string& logText() {
  static std::string text;
  return text;
}
inline void captureLog(void*, const char* text, size_t length) { logText().append(text, length); }

// An empty translation table, the debug log captured and a scratch directory
// of the test's own.
class XlateTest : public ScratchDirTest {
protected:
  XlateTest() : ScratchDirTest("plumet-xlate-") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    xlateResetForTest();
    plTestClearMessageBoxes();
    plTestSetMessageBoxEcho(false);
    logText().clear();
    dbgSetLogHook(captureLog, nullptr);
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    plTestSetMessageBoxEcho(true);
    xlateResetForTest();
    ScratchDirTest::TearDown();
  }

  static void load(const std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const auto& [source, translation] : pairs)
      ASSERT_EQ(xlateAddPair(source.data(), uint32_t(source.size()), translation.data(), uint32_t(translation.size())),
                0);
    xlateLoaded();
  }
  // The answer of xlateStr as text, with its result code.
  static std::string ask(int direction, const char* text, int* result = nullptr) {
    const char* out = nullptr;
    const int r = xlateStr(direction, text, &out);
    if (result) *result = r;
    return out ? out : "<null>";
  }
  static std::vector<std::string> missingTexts() {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < xlateMissingCount(); ++i) {
      uint32_t length = 0;
      const char* text = xlateMissingText(i, &length);
      texts.emplace_back(text, length);
    }
    return texts;
  }
  static bool boxShown(const std::string& text) {
    for (const auto& box : plTestMessageBoxes())
      if (box.text == text) return true;
    return false;
  }
};

}  // namespace xlatefx

#endif
