// A clean platform layer whose printed pages go to a fresh folder of their
// own, and small helpers for printing tests.
#ifndef PLUMET_TESTS_PLATFORM_PRINT_FIXTURE_H
#define PLUMET_TESTS_PLATFORM_PRINT_FIXTURE_H

#include "platform/fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class PrintTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    const char* before = std::getenv("PLUMET_PRINT_DIR");
    hadFolder_ = before != nullptr;
    if (before) savedFolder_ = before;
    folder_ = std::filesystem::temp_directory_path() /
              ("plumet_print_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    setenv("PLUMET_PRINT_DIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::remove_all(folder_);
    if (hadFolder_)
      setenv("PLUMET_PRINT_DIR", savedFolder_.c_str(), 1);
    else
      unsetenv("PLUMET_PRINT_DIR");
    PlatformTest::TearDown();
  }

  // The names of the files in the print folder, sorted.
  std::vector<std::string> printedFiles() const {
    std::vector<std::string> names;
    if (std::filesystem::exists(folder_))
      for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  // A device mode asking for a resolution (and the rest left to the printer).
  static DEVMODEA modeAt(int dpi) {
    DEVMODEA dm{};
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_PRINTQUALITY;
    dm.dmPrintQuality = static_cast<SHORT>(dpi);
    return dm;
  }

  std::filesystem::path folder_;

 private:
  bool hadFolder_ = false;
  std::string savedFolder_;
};

#endif
