#include "platform/print_fixture.h"

#include <cstring>
#include <string>

namespace {

using PlatformPrintDialog = PrintTest;

PRINTDLGA dialogFor(int minPage, int maxPage, DWORD flags) {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = flags;
  pd.nMinPage = pd.nFromPage = static_cast<WORD>(minPage);
  pd.nMaxPage = pd.nToPage = static_cast<WORD>(maxPage);
  pd.nCopies = 1;
  return pd;
}

DEVMODEA lockedMode(HGLOBAL h) {
  DEVMODEA dm{};
  EXPECT_EQ(GlobalSize(h), sizeof dm);
  std::memcpy(&dm, GlobalLock(h), sizeof dm);
  GlobalUnlock(h);
  return dm;
}

std::string deviceNames(HGLOBAL h) {
  const char* bytes = static_cast<const char*>(GlobalLock(h));
  DEVNAMES dn;
  std::memcpy(&dn, bytes, sizeof dn);
  std::string all = std::string(bytes + dn.wDeviceOffset) + "," + (bytes + dn.wDriverOffset) + "," +
                    (bytes + dn.wOutputOffset) + (dn.wDefault & DN_DEFAULTPRN ? " (default)" : "");
  GlobalUnlock(h);
  return all;
}

void freeBlocks(PRINTDLGA& pd) {
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (pd.hDC) DeleteDC(pd.hDC);
  pd.hDevMode = pd.hDevNames = nullptr;
  pd.hDC = nullptr;
}

TEST_F(PlatformPrintDialog, AQueuedAcceptSetsRangeCopiesPaperAndResolution) {
  PlPrintAnswer answer;
  answer.fromPage = 2;
  answer.toPage = 3;
  answer.copies = 2;
  answer.paper = DMPAPER_A4;
  answer.dpi = 50;
  plTestQueuePrintAnswer(answer);
  PRINTDLGA pd = dialogFor(1, 6, PD_RETURNDC | PD_NOSELECTION);
  ASSERT_TRUE(PrintDlgA(&pd));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(pd.nFromPage, 2);
  EXPECT_EQ(pd.nToPage, 3);
  EXPECT_EQ(pd.nCopies, 2);
  EXPECT_TRUE(pd.Flags & PD_PAGENUMS);
  EXPECT_EQ(deviceNames(pd.hDevNames), "Image Printer,pngprint,FILE: (default)");
  const DEVMODEA dm = lockedMode(pd.hDevMode);
  EXPECT_EQ(dm.dmSize, sizeof(DEVMODEA));
  EXPECT_EQ(dm.dmDriverExtra, 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(dm.dmDeviceName), "Image Printer");
  EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(dm.dmPrintQuality, 50);
  ASSERT_NE(pd.hDC, nullptr);
  EXPECT_EQ(GetDeviceCaps(pd.hDC, LOGPIXELSX), 50);
  EXPECT_EQ(GetDeviceCaps(pd.hDC, HORZRES), 413);  // A4 at 50 dpi
  EXPECT_EQ(plTestPrintDialogsShown(), 1);
  freeBlocks(pd);
}

TEST_F(PlatformPrintDialog, WithoutAnAnswerItAcceptsWhatItShows) {
  // The caller's blocks come back as fresh ones holding the same settings.
  PRINTDLGA pd = dialogFor(1, 4, PD_RETURNDC);
  DEVMODEA mine{};
  mine.dmSize = sizeof mine;
  mine.dmFields = DM_ORIENTATION | DM_PRINTQUALITY;
  mine.dmOrientation = DMORIENT_LANDSCAPE;
  mine.dmPrintQuality = 75;
  pd.hDevMode = GlobalAlloc(GHND, sizeof mine);
  std::memcpy(GlobalLock(pd.hDevMode), &mine, sizeof mine);
  GlobalUnlock(pd.hDevMode);
  HGLOBAL old = pd.hDevMode;
  ASSERT_TRUE(PrintDlgA(&pd));
  EXPECT_EQ(pd.nFromPage, 1);
  EXPECT_EQ(pd.nToPage, 4);
  EXPECT_FALSE(pd.Flags & PD_PAGENUMS);
  EXPECT_EQ(pd.nCopies, 1);
  EXPECT_EQ(GlobalSize(old), 0u);  // the caller's block was freed
  EXPECT_EQ(lockedMode(pd.hDevMode).dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(GetDeviceCaps(pd.hDC, HORZRES), 825);  // 11 inches at 75 dpi
  EXPECT_EQ(GetDeviceCaps(pd.hDC, VERTRES), 638);
  freeBlocks(pd);
}

TEST_F(PlatformPrintDialog, CancelAndFailureAnswerFalseWithTheirReasons) {
  PlPrintAnswer cancel;
  cancel.kind = PlPrintAnswer::Cancel;
  PlPrintAnswer fail;
  fail.kind = PlPrintAnswer::Fail;
  fail.error = PDERR_PRINTERNOTFOUND;
  plTestQueuePrintAnswer(cancel);
  plTestQueuePrintAnswer(fail);
  PRINTDLGA pd = dialogFor(1, 1, PD_RETURNDC);
  EXPECT_FALSE(PrintDlgA(&pd));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(pd.hDC, nullptr);
  EXPECT_FALSE(PrintDlgA(&pd));
  EXPECT_EQ(CommDlgExtendedError(), 4107u);
  EXPECT_TRUE(PrintDlgA(&pd));  // the queue is empty again: accepted
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(plTestPrintDialogsShown(), 3);
  freeBlocks(pd);
}

TEST_F(PlatformPrintDialog, ReturnDefaultTakesNoAnswerAndWantsNoBlocks) {
  PlPrintAnswer cancel;
  cancel.kind = PlPrintAnswer::Cancel;
  plTestQueuePrintAnswer(cancel);
  PRINTDLGA pd = dialogFor(1, 1, PD_RETURNDEFAULT);
  ASSERT_TRUE(PrintDlgA(&pd));
  EXPECT_EQ(plTestPrintDialogsShown(), 0);
  EXPECT_EQ(lockedMode(pd.hDevMode).dmPaperSize, DMPAPER_LETTER);
  EXPECT_EQ(deviceNames(pd.hDevNames), "Image Printer,pngprint,FILE: (default)");
  // Asking again with the blocks still in place fails.
  EXPECT_FALSE(PrintDlgA(&pd));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(PDERR_RETDEFFAILURE));
  freeBlocks(pd);
  pd.Flags = 0;
  EXPECT_FALSE(PrintDlgA(&pd));  // the queued cancel is still there
}

TEST_F(PlatformPrintDialog, BlocksNamingAnotherPrinterAreNotFound) {
  // Device names of a printer this system does not have, and ones whose
  // offsets pass the block's end: not found, before anything is shown.
  const char other[] = "\x08\x00\x0f\x00\x17\x00\x00\x00winspl\0Plotter\0LPT1:";
  const unsigned char broken[] = {8, 0, 200, 0, 9, 0, 0, 0, 'a', 0};
  for (const auto& [bytes, size] : {std::pair<const void*, size_t>{other, sizeof other},
                                    std::pair<const void*, size_t>{broken, sizeof broken}}) {
    PRINTDLGA pd = dialogFor(1, 1, PD_RETURNDC);
    pd.hDevNames = GlobalAlloc(GHND, size);
    std::memcpy(GlobalLock(pd.hDevNames), bytes, size);
    GlobalUnlock(pd.hDevNames);
    EXPECT_FALSE(PrintDlgA(&pd));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(PDERR_PRINTERNOTFOUND));
    EXPECT_EQ(pd.hDC, nullptr);
    freeBlocks(pd);
  }
  EXPECT_EQ(plTestPrintDialogsShown(), 0);
  PRINTDLGA wrongSize = dialogFor(1, 1, 0);
  wrongSize.lStructSize = 12;
  EXPECT_FALSE(PrintDlgA(&wrongSize));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

using PlatformColorDialog = PlatformTest;

TEST_F(PlatformColorDialog, AnswersTheQueuedColourOrAcceptsTheOneShown) {
  COLORREF custom[16] = {};
  custom[3] = RGB(1, 2, 3);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.lpCustColors = custom;
  cc.rgbResult = RGB(10, 20, 30);
  cc.Flags = CC_RGBINIT;
  plTestQueueColorAnswer(true, RGB(200, 100, 50));
  plTestQueueColorAnswer(false);
  EXPECT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(200, 100, 50));
  EXPECT_FALSE(ChooseColorA(&cc));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(cc.rgbResult, RGB(200, 100, 50));  // a cancel changes nothing
  EXPECT_TRUE(ChooseColorA(&cc));              // nothing queued: as shown
  EXPECT_EQ(cc.rgbResult, RGB(200, 100, 50));
  cc.Flags = 0;
  EXPECT_TRUE(ChooseColorA(&cc));  // without CC_RGBINIT the dialog starts at black
  EXPECT_EQ(cc.rgbResult, RGB(0, 0, 0));
  EXPECT_EQ(custom[3], RGB(1, 2, 3));
  EXPECT_EQ(plTestColorDialogsShown(), 4);
  cc.lpCustColors = nullptr;
  EXPECT_FALSE(ChooseColorA(&cc));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_INITIALIZATION));
}

}  // namespace
