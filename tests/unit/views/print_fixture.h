// Shared by the printing tests: the view drawing fixture with the printing
// operators registered, printed files kept in a scratch folder, and the
// print jobs, the printing module's state and the attention flag reset.
#ifndef PLUMET_TESTS_VIEWS_PRINT_FIXTURE_H
#define PLUMET_TESTS_VIEWS_PRINT_FIXTURE_H

#include "view_fixture.h"

#include "ui/attn.h"
#include "views/print.h"
#include "views/print_internal.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace printfx {

class PrintTest : public viewfx::ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    if (!execfx::defined("aPrint")) printOpsInit();
    // The platform's reset forgets the program's dialog templates.
    printint::installAbortTemplate();
    printReset();
    printSetupSet(nullptr, 0);
    plTestClearPrintJobs();
    folder = std::filesystem::temp_directory_path() / ("print-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    setenv("PLUMET_PRINT_DIR", folder.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("PLUMET_PRINT_DIR");
    std::filesystem::remove_all(folder);
    printSetPageProc(nullptr);
    printReset();
    printSetupSet(nullptr, 0);
    plTestClearPrintJobs();
    evAttnReset();
    ViewDrawTest::TearDown();
  }

  // aPrint with a dictionary of the given keys and values ("/dlgflag 2 ...").
  static std::string print(const std::string& keys) {
    const std::string source =
        "10 dict begin mark " + keys + " counttomark 2 idiv { def } repeat pop currentdict end aPrint";
    return eval(source.c_str());
  }
  // Makes the printer's set-up the dialog's answer (a printer set-up that
  // shows the dialog once).
  static void setUpPrinter(int dpi) {
    PlPrintAnswer answer;
    answer.dpi = dpi;
    plTestQueuePrintAnswer(answer);
    ASSERT_EQ(printDialog(printDialogState(), PD_PRINTSETUP), 0);
  }
  size_t filesWritten() const {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file();
    return n;
  }

  std::filesystem::path folder;
};

}  // namespace printfx

#endif
