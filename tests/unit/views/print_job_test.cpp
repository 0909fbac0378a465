// aPrint end to end on the virtual printer: the pages and copies of a range
// with the sheet's lines at their places, the dialog's cancel and failure
// rounds, the C print mode's boolean, a cancel from the abort dialog, and a
// job whose abort dialog cannot be made.
#include "print_fixture.h"

#include "ui/app.h"
#include "ui/attn.h"

#include <platform_resources.h>
#include "views/print_internal.h"

namespace {

using printfx::PrintTest;

class PrintJob : public PrintTest {
protected:
  // A sheet of two Letter pages side by side at plot scale 1 (the doc
  // current), a horizontal line through the centre of page 1 and a vertical
  // one an inch right of the centre of page 2.
  void twoPages() {
    openDrawing();
    sheet->pagesAcross = 2;
    const double bounds[4] = {-8.5, 5.5, 8.5, -5.5};
    sheetPlotBoxSet(sheet, bounds);
    addLine(model, {-5.25, 0, 0}, {-3.25, 0, 0});
    addLine(model, {5.25, -1, 0}, {5.25, 1, 0});
    vwSetCurView(draft);
  }
  static bool inked(size_t job, size_t page, int x, int y) {
    const COLORREF c = plTestPrintedPixel(job, page, x, y);
    return c != CLR_INVALID && (c & 0xFFFFFF) != 0xFFFFFF;
  }
};

TEST_F(PrintJob, PreviousSettingsPrintTheRangeAndCopiesWithoutADialog) {
  twoPages();
  setUpPrinter(50);
  const int shown = plTestPrintDialogsShown();
  printDialogState()->nCopies = 2;
  EXPECT_EQ(print("/name (plan) /minpage 1 /maxpage 2 /frompage 1 /topage 2 /dlgflag 2"), "0");
  EXPECT_EQ(plTestPrintDialogsShown(), shown) << "no dialog";
  const auto& jobs = plTestPrintJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].docName, "plan");
  EXPECT_TRUE(jobs[0].ended);
  ASSERT_EQ(jobs[0].pages.size(), 4u) << "2 pages x 2 copies";
  for (const auto& page : jobs[0].pages) {
    EXPECT_EQ(page.width, 425);
    EXPECT_EQ(page.height, 550);
    EXPECT_EQ(page.dpi, 50);
  }
  EXPECT_EQ(filesWritten(), 4u);
  // Page 1: the line across its centre (212, 275), 50 pixels either side.
  EXPECT_TRUE(inked(0, 0, 212, 275));
  EXPECT_TRUE(inked(0, 0, 170, 275));
  EXPECT_FALSE(inked(0, 0, 212, 265));
  EXPECT_FALSE(inked(0, 0, 262, 275 - 40)) << "page 2's line is not on page 1";
  // Page 2: the vertical line 50 pixels right of its centre.
  EXPECT_TRUE(inked(0, 1, 262, 275));
  EXPECT_TRUE(inked(0, 1, 262, 240));
  EXPECT_FALSE(inked(0, 1, 212, 275));
  // The copy repeats the pages; the sheet is back as it was.
  EXPECT_TRUE(inked(0, 2, 212, 275));
  EXPECT_EQ(sheet->window, window);
  EXPECT_EQ(vwIsPrinting(), 0);
  EXPECT_EQ(uiBusyCount(), 0);
}

TEST_F(PrintJob, CancelledDialogPrintsNothingAndCModeSaysSo) {
  twoPages();
  PlPrintAnswer cancel;
  cancel.kind = PlPrintAnswer::Cancel;
  plTestQueuePrintAnswer(cancel);
  EXPECT_EQ(print("/name (plan)"), "0") << "no boolean outside the C print mode";
  EXPECT_EQ(eval("aSetModeCPrintTrue"), "");
  plTestQueuePrintAnswer(cancel);
  EXPECT_EQ(print("/name (plan)"), "false 0");
  EXPECT_TRUE(plTestPrintJobs().empty());
  EXPECT_EQ(filesWritten(), 0u);
  PlPrintAnswer accept;
  accept.dpi = 25;
  plTestQueuePrintAnswer(accept);
  EXPECT_EQ(print("/name (plan)"), "true 0");
  EXPECT_EQ(plTestPrintJobs().size(), 1u);
  EXPECT_EQ(eval("aSetModeCPrintFalse"), "");
  EXPECT_EQ(print("/name (plan)"), "0") << "no answer queued: the dialog accepts as shown";
  EXPECT_EQ(plTestPrintJobs().size(), 2u);
  EXPECT_EQ(eval("1 dict aPrint pop 5 aPrint"), "269") << "not a dictionary";
}

TEST_F(PrintJob, PrinterNotFoundShowsTheDialogAgain) {
  twoPages();
  PlPrintAnswer fail;
  fail.kind = PlPrintAnswer::Fail;
  fail.error = 4107;
  plTestQueuePrintAnswer(fail);
  PlPrintAnswer accept;
  accept.dpi = 25;
  plTestQueuePrintAnswer(accept);
  EXPECT_EQ(print("/name (again)"), "0");
  EXPECT_EQ(plTestPrintDialogsShown(), 2);
  EXPECT_EQ(plTestPrintJobs().size(), 1u);
  // Another failure ends without printing (reported while the print debug
  // flag is set).
  fail.error = 0x1007;
  plTestQueuePrintAnswer(fail);
  dbgSetFlags(0x1000);
  EXPECT_EQ(print("/name (again)"), "0");
  EXPECT_NE(boxes().find("PrintDlg failed [0x1007]"), std::string::npos) << boxes();
  EXPECT_EQ(plTestPrintJobs().size(), 1u);
}

TEST_F(PrintJob, CancelInTheAbortDialogDuringPageOneLeavesNoFile) {
  twoPages();
  setUpPrinter(25);
  // Cancel is pressed while page 1 is drawn; the printer's abort procedure
  // pumps the press at the end of the page.
  printSetPageProc([](windRecord* w, int32_t page, void* data, const printPageInfo* info) {
    const HWND dialog = evSetModeless(nullptr);
    evSetModeless(dialog);
    if (page == 1) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return printPage(w, page, data, info);
  });
  EXPECT_EQ(print("/name (stop) /minpage 1 /maxpage 2 /frompage 1 /topage 2 /dlgflag 2"), "0");
  ASSERT_EQ(plTestPrintJobs().size(), 1u);
  EXPECT_TRUE(plTestPrintJobs()[0].cancelled);
  EXPECT_FALSE(plTestPrintJobs()[0].ended);
  EXPECT_LE(plTestPrintJobs()[0].pages.size(), 1u) << "page 2 never starts";
  EXPECT_EQ(filesWritten(), 0u);
  EXPECT_TRUE(printAborted());
  EXPECT_TRUE(IsWindowEnabled(uiGetFrame()));
}

TEST_F(PrintJob, NoAbortDialogAbandonsTheJobAndGivesEverythingBack) {
  twoPages();
  setUpPrinter(25);
  plSetDialogTable(nullptr, nullptr, 0);
  EXPECT_EQ(print("/name (lost) /dlgflag 2"), "0");
  printint::installAbortTemplate();
  EXPECT_NE(boxes().find("NULL Abort window handle"), std::string::npos) << boxes();
  ASSERT_EQ(plTestPrintJobs().size(), 1u);
  EXPECT_TRUE(plTestPrintJobs()[0].cancelled) << "the started job is abandoned";
  EXPECT_FALSE(plTestPrintJobs()[0].ended);
  EXPECT_EQ(filesWritten(), 0u);
  EXPECT_TRUE(IsWindowEnabled(uiGetFrame()));
  EXPECT_EQ(uiBusyCount(), 0) << "the wait cursor is gone";
  // The printer is free again: the next job prints.
  EXPECT_EQ(print("/name (found) /dlgflag 2"), "0");
  ASSERT_EQ(plTestPrintJobs().size(), 2u);
  EXPECT_TRUE(plTestPrintJobs()[1].ended);
}

TEST_F(PrintJob, PageInfoOfThePrinterOrTheFallback) {
  plTestSetNoPrinter(true);
  EXPECT_EQ(eval("aPageInfo"), "[0 0 850 1100 ] 100 100");
  plTestSetNoPrinter(false);
  setUpPrinter(50);
  EXPECT_EQ(eval("aPageInfo"), "[0 0 425 550 ] 50 50");
}

}  // namespace
