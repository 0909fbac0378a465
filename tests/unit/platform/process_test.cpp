// The debugger hand-off, the quit request, the last error and the reset.
#include "platform/fixture.h"

#include <platform_resources.h>

#include <string>

namespace {

using PlatformDebugger = PlatformTest;
using PlatformQuit = PlatformTest;
using PlatformReset = PlatformTest;

TEST_F(PlatformDebugger, OutputIsKeptAndShownAndBreaksAreCounted) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("first line\n");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("second");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "first line\nsecond");
  EXPECT_EQ(plTestDebugOutput(), "first line\nsecond");
  EXPECT_EQ(plTestDebugBreaks(), 0);
  DebugBreak();
  DebugBreak();  // the process carries on
  EXPECT_EQ(plTestDebugBreaks(), 2);
}

TEST_F(PlatformQuit, RecordsTheRequestAndTheLastCode) {
  int code = 42;
  EXPECT_FALSE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 42);
  PostQuitMessage(3);
  PostQuitMessage(-1);
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(plTestQuitPosted(nullptr));
  plTestClearQuit();
  EXPECT_FALSE(plTestQuitPosted(&code));
}

TEST_F(PlatformQuit, LastErrorKeepsTheLastCodeSet) {
  SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(IsWindow(nullptr));
  SendMessageA(nullptr, WM_NULL, 0, 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

int destroyMessages = 0;

LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY || msg == WM_NCDESTROY) ++destroyMessages;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(PlatformReset, RestoresTheStartState) {
  static const PlStringResource table[] = {{16, "Plumet"}};
  WNDCLASSA wc{};
  wc.lpfnWndProc = countingProc;
  wc.lpszClassName = "ResetClass";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND window = CreateWindowExA(0, "ResetClass", "w", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  destroyMessages = 0;
  SetFocus(window);
  plSetStringTable(nullptr, table, 1);
  plTestSetMessageBoxEcho(false);
  plTestQueueMessageBoxAnswer(IDNO);
  MessageBoxA(nullptr, "x", nullptr, MB_OK);
  plTestQueueMessageBoxAnswer(IDNO);
  plTestSetKeyDown(VK_SHIFT, true);
  plTestSetTickCount(7);
  PostQuitMessage(1);
  plTestSetModuleFileName("/x");
  testing::internal::CaptureStderr();
  OutputDebugStringA("d");
  testing::internal::GetCapturedStderr();
  DebugBreak();
  SetLastError(5);

  plTestReset();

  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(destroyMessages, 0);  // no messages on the way out
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_NE(RegisterClassA(&wc), 0);  // the class was dropped
  HWND fresh = CreateWindowExA(0, "ResetClass", "w", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(fresh, window);  // handles are not given out again
  WNDCLASSA info{};
  EXPECT_TRUE(GetClassInfoA(nullptr, "EDIT", &info));
  char buffer[16];
  EXPECT_EQ(LoadStringA(nullptr, 16, buffer, sizeof buffer), 0);
  EXPECT_TRUE(plTestMessageBoxes().empty());
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "y", "t", MB_YESNO), IDYES);  // nothing queued; echo is on
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[t] y\n");
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  EXPECT_NE(GetTickCount(), 7u);
  EXPECT_FALSE(plTestQuitPosted(nullptr));
  char path[4096];
  EXPECT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 2u);
  EXPECT_STRNE(path, "/x");
  EXPECT_EQ(plTestDebugOutput(), "");
  EXPECT_EQ(plTestDebugBreaks(), 0);
}

}  // namespace
