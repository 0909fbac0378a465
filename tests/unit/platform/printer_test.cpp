#include "platform/print_fixture.h"

#include <cstring>

namespace {

using PlatformPrinter = PrintTest;

HDC printerDc(const DEVMODEA* mode = nullptr) { return CreateDCA("pngprint", "Image Printer", "FILE:", mode); }

DOCINFOA docInfo(const char* name) {
  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = name;
  di.lpszDatatype = "BITMAP";
  return di;
}

// Draws a black square at (x, y) on the page in progress.
void mark(HDC dc, int x, int y) {
  RECT r{x, y, x + 10, y + 10};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST_F(PlatformPrinter, AJobWritesEachPageAcrossCopiesAsNumberedPngFiles) {
  const DEVMODEA mode = modeAt(50);
  HDC dc = printerDc(&mode);
  ASSERT_NE(dc, nullptr);
  const DOCINFOA di = docInfo("my plan/v2.qdw");
  ASSERT_GT(StartDocA(dc, &di), 0);
  // Two copies of two pages: the program prints each copy itself.
  const POINT spots[] = {{20, 30}, {200, 400}};
  for (int copy = 0; copy < 2; ++copy)
    for (const POINT& at : spots) {
      ASSERT_GT(StartPage(dc), 0);
      mark(dc, at.x, at.y);
      ASSERT_GT(EndPage(dc), 0);
    }
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_TRUE(DeleteDC(dc));

  const std::vector<std::string> expected = {"my_plan_v2.qdw-1.png", "my_plan_v2.qdw-2.png",
                                             "my_plan_v2.qdw-3.png", "my_plan_v2.qdw-4.png"};
  EXPECT_EQ(printedFiles(), expected);
  const auto& jobs = plTestPrintJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].docName, "my plan/v2.qdw");
  EXPECT_TRUE(jobs[0].ended);
  EXPECT_FALSE(jobs[0].cancelled);
  ASSERT_EQ(jobs[0].pages.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const PlPrintedPage& page = jobs[0].pages[i];
    EXPECT_EQ(page.width, 425);
    EXPECT_EQ(page.height, 550);
    EXPECT_EQ(page.dpi, 50);
    EXPECT_EQ(std::filesystem::path(page.file).filename(), expected[i]);
    // Each page holds only its own mark, in memory and in its file.
    int w = 0, h = 0;
    std::vector<COLORREF> pixels;
    ASSERT_TRUE(plTestReadPng(page.file, &w, &h, &pixels));
    ASSERT_EQ(w, 425);
    ASSERT_EQ(h, 550);
    const POINT mine = spots[i % 2];
    const POINT other = spots[1 - i % 2];
    EXPECT_EQ(pixels[static_cast<size_t>(mine.y + 5) * 425 + mine.x + 5], RGB(0, 0, 0));
    EXPECT_EQ(pixels[static_cast<size_t>(other.y + 5) * 425 + other.x + 5], RGB(255, 255, 255));
    EXPECT_EQ(plTestPrintedPixel(0, i, mine.x + 5, mine.y + 5), RGB(0, 0, 0));
  }
}

// The ways a job ends without output: each leaves the job cancelled and no
// file, even for the pages it had ended.
TEST_F(PlatformPrinter, ACancelledOrDiscardedJobWritesNothing) {
  static bool answer = true;
  static int calls = 0;
  struct Case {
    const char* how;
    void (*finish)(HDC dc);
  };
  const Case cases[] = {
      {"abort procedure answers FALSE at EndPage",
       [](HDC dc) {
         answer = false;
         ASSERT_GT(StartPage(dc), 0);
         EXPECT_EQ(EndPage(dc), SP_APPABORT);
         EXPECT_EQ(EndDoc(dc), SP_ERROR);  // the job is gone
         DeleteDC(dc);
       }},
      {"AbortDoc", [](HDC dc) {
         EXPECT_GT(AbortDoc(dc), 0);
         EXPECT_EQ(EndDoc(dc), SP_ERROR);
         DeleteDC(dc);
       }},
      {"DeleteDC before EndDoc", [](HDC dc) { EXPECT_TRUE(DeleteDC(dc)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    plTestClearPrintJobs();
    answer = true;
    calls = 0;
    const DEVMODEA mode = modeAt(25);
    HDC dc = printerDc(&mode);
    ASSERT_GT(SetAbortProc(dc,
                           [](HDC, int) -> BOOL {
                             ++calls;
                             return answer;
                           }),
              0);
    const DOCINFOA di = docInfo("gone");
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);  // one page ended before the end
    EXPECT_EQ(calls, 1);        // EndPage asks the abort procedure
    c.finish(dc);
    ASSERT_EQ(plTestPrintJobs().size(), 1u);
    EXPECT_TRUE(plTestPrintJobs()[0].cancelled);
    EXPECT_FALSE(plTestPrintJobs()[0].ended);
    EXPECT_TRUE(printedFiles().empty());
  }
}

TEST_F(PlatformPrinter, TheDeviceModeSetsPaperOrientationResolutionAndColours) {
  struct Case {
    const char* what;
    DWORD fields;
    SHORT orientation, paper, length, width, quality, yres, color;
    int horz, vert, dpiX, dpiY, colors;
  };
  const Case cases[] = {
      {"none", 0, 0, 0, 0, 0, 0, 0, 0, 850, 1100, 100, 100, -1},
      {"legal", DM_PAPERSIZE, 0, DMPAPER_LEGAL, 0, 0, 0, 0, 0, 850, 1400, 100, 100, -1},
      {"A4", DM_PAPERSIZE, 0, DMPAPER_A4, 0, 0, 0, 0, 0, 827, 1169, 100, 100, -1},
      {"A3 landscape", DM_PAPERSIZE | DM_ORIENTATION, DMORIENT_LANDSCAPE, DMPAPER_A3, 0, 0, 0, 0, 0, 1654, 1169, 100,
       100, -1},
      {"unknown paper keeps Letter", DM_PAPERSIZE, 0, 77, 0, 0, 0, 0, 0, 850, 1100, 100, 100, -1},
      {"own size in tenths of mm", DM_PAPERLENGTH | DM_PAPERWIDTH, 0, 0, 1270, 2540, 0, 0, 0, 1000, 500, 100, 100,
       -1},
      {"50 dpi", DM_PRINTQUALITY, 0, 0, 0, 0, 50, 0, 0, 425, 550, 50, 50, -1},
      {"y resolution of its own", DM_PRINTQUALITY | DM_YRESOLUTION, 0, 0, 0, 0, 50, 200, 0, 425, 2200, 50, 200, -1},
      {"dpi above 300", DM_PRINTQUALITY, 0, 0, 0, 0, 1200, 0, 0, 2550, 3300, 300, 300, -1},
      {"dpi below 25", DM_PRINTQUALITY, 0, 0, 0, 0, 10, 0, 0, 213, 275, 25, 25, -1},
      {"draft quality keeps the resolution", DM_PRINTQUALITY, 0, 0, 0, 0, DMRES_DRAFT, 0, 0, 850, 1100, 100, 100, -1},
      {"monochrome", DM_COLOR, 0, 0, 0, 0, 0, 0, DMCOLOR_MONOCHROME, 850, 1100, 100, 100, 2},
      {"fields not flagged are not read", 0, DMORIENT_LANDSCAPE, DMPAPER_A3, 0, 0, 50, 0, DMCOLOR_MONOCHROME, 850,
       1100, 100, 100, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DEVMODEA dm{};
    dm.dmSize = sizeof dm;
    dm.dmFields = c.fields;
    dm.dmOrientation = c.orientation;
    dm.dmPaperSize = c.paper;
    dm.dmPaperLength = c.length;
    dm.dmPaperWidth = c.width;
    dm.dmPrintQuality = c.quality;
    dm.dmYResolution = c.yres;
    dm.dmColor = c.color;
    for (HDC dc : {printerDc(&dm), CreateICA("pngprint", "Image Printer", "FILE:", &dm)}) {
      ASSERT_NE(dc, nullptr);
      EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.horz);
      EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.vert);
      EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), c.horz);
      EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), c.vert);
      EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);  // all printable
      EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.dpiX);
      EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), c.dpiY);
      EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), c.colors);
      EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
      DeleteDC(dc);
    }
  }
}

TEST_F(PlatformPrinter, ADeviceModeIsReadNoFurtherThanItsOwnSize) {
  // A mode whose dmSize ends after dmPaperSize: the paper is read, the
  // colour (flagged, but past the end) is not.
  DEVMODEA dm{};
  dm.dmSize = offsetof(DEVMODEA, dmPaperLength);
  dm.dmFields = DM_PAPERSIZE | DM_COLOR;
  dm.dmPaperSize = DMPAPER_LEGAL;
  dm.dmColor = DMCOLOR_MONOCHROME;
  HDC dc = printerDc(&dm);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1400);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  DeleteDC(dc);
}

TEST_F(PlatformPrinter, AMonochromePagePrintsBlackAndWhite) {
  DEVMODEA dm = modeAt(25);
  dm.dmFields |= DM_COLOR;
  dm.dmColor = DMCOLOR_MONOCHROME;
  HDC dc = printerDc(&dm);
  const DOCINFOA di = docInfo("mono");
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  HBRUSH dark = CreateSolidBrush(RGB(0, 0, 160));
  HBRUSH light = CreateSolidBrush(RGB(255, 255, 0));
  RECT a{0, 0, 10, 10}, b{20, 0, 30, 10};
  FillRect(dc, &a, dark);
  FillRect(dc, &b, light);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(plTestPrintedPixel(0, 0, 5, 5), RGB(0, 0, 0));
  EXPECT_EQ(plTestPrintedPixel(0, 0, 25, 5), RGB(255, 255, 255));
  EXPECT_TRUE(plTestPrintJobs()[0].pages[0].monochrome);
  DeleteObject(dark);
  DeleteObject(light);
  DeleteDC(dc);
}

TEST_F(PlatformPrinter, CallsOutOfOrderOrOnOtherDcsFail) {
  HDC ic = CreateICA("pngprint", "Image Printer", "FILE:", nullptr);
  HDC dc = printerDc();
  HDC mem = CreateCompatibleDC(nullptr);
  const DOCINFOA di = docInfo("x");
  EXPECT_EQ(StartDocA(ic, &di), SP_ERROR);   // an information context cannot print
  EXPECT_EQ(StartDocA(mem, &di), SP_ERROR);  // nor can a memory DC
  EXPECT_EQ(StartPage(dc), SP_ERROR);        // no document
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  ASSERT_GT(StartDocA(dc, &di), 0);
  EXPECT_EQ(StartDocA(dc, &di), SP_ERROR);  // one job at a time
  EXPECT_EQ(EndPage(dc), SP_ERROR);         // no page
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);  // a printer DC goes with DeleteDC only
  ASSERT_GT(EndDoc(dc), 0);              // ends the open page too
  EXPECT_EQ(plTestPrintJobs()[0].pages.size(), 1u);
  EXPECT_EQ(printedFiles(), std::vector<std::string>{"x-1.png"});
  EXPECT_EQ(CreateDCA("pngprint", "Other Printer", nullptr, nullptr), nullptr);
  // A new device mode applies between pages only.
  const DEVMODEA fine = modeAt(200);
  EXPECT_EQ(ResetDCA(dc, &fine), dc);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1700);
  POINT size{};
  EXPECT_GT(Escape(dc, GETPHYSPAGESIZE, 0, nullptr, &size), 0);
  EXPECT_EQ(size.x, 1700);
  EXPECT_EQ(size.y, 2200);
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_EQ(ResetDCA(dc, &fine), nullptr);
  EXPECT_GT(AbortDoc(dc), 0);
  DeleteDC(ic);
  DeleteDC(dc);
  DeleteDC(mem);
}

TEST_F(PlatformPrinter, WithoutAPrinterNothingNamesIt) {
  char device[80];
  GetProfileStringA("windows", "device", "", device, sizeof device);
  EXPECT_STREQ(device, "Image Printer,pngprint,FILE:");
  plTestSetNoPrinter(true);
  EXPECT_EQ(GetProfileStringA("windows", "device", "", device, sizeof device), 0u);
  EXPECT_EQ(printerDc(), nullptr);
  EXPECT_EQ(CreateICA(nullptr, "Image Printer", nullptr, nullptr), nullptr);
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT;
  EXPECT_FALSE(PrintDlgA(&pd));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(PDERR_NODEVICES));
}

TEST_F(PlatformPrinter, TheProfileKeepsWhatIsWritten) {
  char text[80];
  EXPECT_TRUE(WriteProfileStringA("Windows", "Device", "Plotter,hpgl,LPT1:"));
  GetProfileStringA("windows", "device", "", text, sizeof text);
  EXPECT_STREQ(text, "Plotter,hpgl,LPT1:");
  EXPECT_TRUE(WriteProfileStringA("windows", "device", nullptr));  // back to the printer's
  GetProfileStringA("windows", "device", "", text, sizeof text);
  EXPECT_STREQ(text, "Image Printer,pngprint,FILE:");
  EXPECT_EQ(GetProfileStringA("plumet", "missing", "fallback", text, 5), 4u);
  EXPECT_STREQ(text, "fall");
}

TEST_F(PlatformPrinter, GlobalBlocksLockToTheirBytesAndRefuseUnknownHandles) {
  HGLOBAL h = GlobalAlloc(GHND, 12);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 12u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(h));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[11], 0);  // zeroed
  bytes[0] = 7;
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(h))[0], 7);
  GlobalUnlock(h);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h);  // a second free fails
}

TEST_F(PlatformPrinter, LeadBytesAreThoseOfCodePage932) {
  struct Case {
    BYTE byte;
    BOOL lead;
  };
  const Case cases[] = {{0x00, FALSE}, {0x41, FALSE}, {0x80, FALSE}, {0x81, TRUE}, {0x9F, TRUE}, {0xA0, FALSE},
                        {0xA5, FALSE}, {0xDF, FALSE}, {0xE0, TRUE},  {0xFC, TRUE}, {0xFD, FALSE}, {0xFF, FALSE}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsDBCSLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
    EXPECT_EQ(IsDBCSLeadByteEx(932, c.byte), c.lead) << std::hex << int(c.byte);
  }
  EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0x82));
  EXPECT_EQ(GetACP(), 932u);
}

}  // namespace
