#include "platform/print_fixture.h"

#include <platform_resources.h>

#include <string>
#include <vector>

namespace {

constexpr int kMessageId = 100;

// A small abort dialog: a line of text, Cancel (focused first) and a default OK.
const PlDialogControl kControls[] = {
    {"STATIC", kMessageId, "Now printing", RECT{10, 10, 190, 30}, SS_CENTER},
    {"BUTTON", IDCANCEL, "Cancel", RECT{20, 60, 90, 85}, BS_PUSHBUTTON | WS_TABSTOP},
    {"BUTTON", IDOK, "OK", RECT{110, 60, 180, 85}, BS_DEFPUSHBUTTON | WS_TABSTOP},
};
const PlDialogResource kDialogs[] = {
    {"TestAbortDlg", 0, "Printing", 200, 100, WS_VISIBLE | WS_CAPTION, kControls, 3},
    {nullptr, 7, "By number", 100, 50, 0, kControls, 1},
};

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;

INT_PTR CALLBACK recordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG || message == WM_COMMAND) {
    seen.push_back(Seen{message, wParam, lParam});
    return TRUE;
  }
  return FALSE;
}

class PlatformDialog : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    seen.clear();
    plSetDialogTable(nullptr, kDialogs, 2);
  }

  static void pump(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
  }

  // The screen point at (x, y) of a window's client area.
  static POINT screenAt(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
  }

  static std::vector<WORD> commands() {
    std::vector<WORD> ids;
    for (const Seen& s : seen)
      if (s.message == WM_COMMAND) ids.push_back(LOWORD(s.wParam));
    return ids;
  }
};

TEST_F(PlatformDialog, IsBuiltFromItsTemplateAndInitialised) {
  HWND dialog = CreateDialogParamA(nullptr, "testabortdlg", nullptr, recordingProc, 42);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(seen[0].lParam, 42);
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  EXPECT_EQ(reinterpret_cast<HWND>(seen[0].wParam), cancel);
  EXPECT_EQ(GetFocus(), cancel);  // the procedure answered TRUE
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetDlgCtrlID(cancel), IDCANCEL);
  char text[40];
  GetWindowTextA(dialog, text, sizeof text);
  EXPECT_STREQ(text, "Printing");
  EXPECT_EQ(GetDlgItemTextA(dialog, IDOK, text, sizeof text), 2u);
  EXPECT_STREQ(text, "OK");
  EXPECT_TRUE(SetDlgItemTextA(dialog, kMessageId, "Page 2"));
  GetDlgItemTextA(dialog, kMessageId, text, sizeof text);
  EXPECT_STREQ(text, "Page 2");
  EXPECT_EQ(GetDlgItem(dialog, 99), nullptr);
  RECT r;
  GetClientRect(dialog, &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 100);

  HWND numbered = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(7), nullptr, recordingProc, 0);
  ASSERT_NE(numbered, nullptr);
  EXPECT_FALSE(IsWindowVisible(numbered));  // no WS_VISIBLE: hidden
  EXPECT_EQ(CreateDialogParamA(nullptr, "NoSuchDlg", nullptr, recordingProc, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(EndDialog(dialog, 0));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_TRUE(DestroyWindow(dialog));
  EXPECT_FALSE(IsWindow(cancel));
}

TEST_F(PlatformDialog, ButtonsAndKeysReachTheProcedureAsCommands) {
  HWND dialog = CreateDialogParamA(nullptr, "TestAbortDlg", nullptr, recordingProc, 0);
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  struct Case {
    const char* what;
    void (*queue)(HWND dialog);
    std::vector<WORD> expected;
  };
  const Case cases[] = {
      {"a click on Cancel",
       [](HWND d) {
         const POINT p = screenAt(GetDlgItem(d, IDCANCEL), 10, 10);
         plTestQueueMouseButton(VK_LBUTTON, true, p.x, p.y);
         plTestQueueMouseButton(VK_LBUTTON, false, p.x, p.y);
       },
       {IDCANCEL}},
      {"a press on Cancel let go outside it",
       [](HWND d) {
         const POINT p = screenAt(GetDlgItem(d, IDCANCEL), 10, 10);
         plTestQueueMouseButton(VK_LBUTTON, true, p.x, p.y);
         plTestQueueMouseMove(p.x + 100, p.y);
         plTestQueueMouseButton(VK_LBUTTON, false, p.x + 100, p.y);
       },
       {}},
      {"a click on the text", [](HWND d) {
         const POINT p = screenAt(GetDlgItem(d, kMessageId), 5, 5);
         plTestQueueMouseButton(VK_LBUTTON, true, p.x, p.y);
         plTestQueueMouseButton(VK_LBUTTON, false, p.x, p.y);
       },
       {}},
      {"Escape", [](HWND) { plTestQueueKey(VK_ESCAPE, true); plTestQueueKey(VK_ESCAPE, false); }, {IDCANCEL}},
      {"Enter presses the default button", [](HWND) { plTestQueueKey(VK_RETURN, true); }, {IDOK}},
      {"closing is cancelling", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, {IDCANCEL}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seen.clear();
    SetFocus(cancel);
    c.queue(dialog);
    pump(dialog);
    EXPECT_EQ(commands(), c.expected);
    for (const Seen& s : seen) {
      EXPECT_EQ(HIWORD(s.wParam), BN_CLICKED);
      EXPECT_EQ(reinterpret_cast<HWND>(s.lParam), GetDlgItem(dialog, LOWORD(s.wParam)));
    }
  }
  EXPECT_EQ(GetCapture(), nullptr);
}

// The abort pattern: the owner is disabled while the job runs, and the abort
// procedure pumps the dialog at every EndPage; a click on Cancel during page
// 1 cancels the job before anything is written.
HWND abortDialog = nullptr;
bool userAborted = false;

INT_PTR CALLBACK abortDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND) {
    userAborted = true;
    return TRUE;
  }
  return FALSE;
}

BOOL CALLBACK abortProc(HDC, int) {
  MSG msg;
  while (!userAborted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    if (!IsDialogMessageA(abortDialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  return !userAborted;
}

TEST_F(PlatformDialog, CancelInTheAbortDialogDuringAPageCancelsTheJob) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "TestFrame";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND frame = CreateWindowA("TestFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                             nullptr, nullptr, nullptr);
  userAborted = false;
  const DEVMODEA mode = modeAt(25);
  HDC dc = CreateDCA("pngprint", "Image Printer", "FILE:", &mode);
  ASSERT_GT(SetAbortProc(dc, abortProc), 0);
  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = "aborted";
  ASSERT_GT(StartDocA(dc, &di), 0);
  abortDialog = CreateDialogParamA(nullptr, "TestAbortDlg", frame, abortDialogProc, 0);
  ASSERT_NE(abortDialog, nullptr);
  EnableWindow(frame, FALSE);

  ASSERT_GT(StartPage(dc), 0);
  const POINT p = screenAt(GetDlgItem(abortDialog, IDCANCEL), 5, 5);
  plTestQueueMouseButton(VK_LBUTTON, true, p.x, p.y);
  plTestQueueMouseButton(VK_LBUTTON, false, p.x, p.y);
  EXPECT_EQ(EndPage(dc), SP_APPABORT);
  EXPECT_TRUE(userAborted);

  EnableWindow(frame, TRUE);
  DestroyWindow(abortDialog);
  DeleteDC(dc);
  ASSERT_EQ(plTestPrintJobs().size(), 1u);
  EXPECT_TRUE(plTestPrintJobs()[0].cancelled);
  EXPECT_TRUE(printedFiles().empty());
}

}  // namespace
