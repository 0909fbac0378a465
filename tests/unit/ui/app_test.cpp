#include "core/alloc.h"
#include "core/ini.h"
#include "ui/app.h"
#include "ui/attn.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {
std::vector<std::pair<int, int>>& menuRuns() {
  static std::vector<std::pair<int, int>> runs;
  return runs;
}

int recordMenu(int item, int kind) {
  menuRuns().push_back({item, kind});
  return 1;
}

LRESULT CALLBACK docProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefMDIChildProcA(window, msg, wParam, lParam);
}

class AppFrame : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    evAttnReset();
    menuRuns().clear();
    dir = std::filesystem::temp_directory_path() / ("plumet_ui_app_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    appSetMenuExec(nullptr);
    appTerm();
    iniShutdown();
    plTestReset();
    std::filesystem::remove_all(dir);
  }
  std::string writeIni(const std::string& text) {
    std::string path = (dir / "TEST.INI").string();
    std::ofstream(path) << text;
    return path;
  }
  HWND start(const std::string& iniText) {
    std::string ini = writeIni(iniText);
    return appInit("", SW_SHOW, appFrameHookNone, nullptr, ini.c_str());
  }
  void registerDocuments() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = docProc;
    wc.lpszClassName = "uitestdoc";
    appRegisterClass(&wc, 1);
  }
  std::filesystem::path dir;
};

TEST_F(AppFrame, InitMakesFrameWithHiddenMdiClientAndTakesReserve) {
  HWND frame = start("[Memory]\nReserve=200000\n[Defaults]\nScreen=full\n");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(uiGetFrameWindow(0), frame);
  EXPECT_EQ(uiGetFrame(), frame);
  EXPECT_TRUE(IsWindowVisible(frame));
  HWND client = uiGetFrameWindow(1);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(GetParent(client), frame);
  EXPECT_EQ(GetWindowLongA(client, GWL_ID), appMdiClientId);
  EXPECT_FALSE(IsWindowVisible(client));
  EXPECT_EQ(uReserveSize(), 200000u);  // the reserve is taken once per process, so not checked here
  // "full" (any case) keeps the whole screen height.
  RECT box;
  GetWindowRect(frame, &box);
  EXPECT_EQ(box.bottom - box.top, GetSystemMetrics(SM_CYSCREEN));

  registerDocuments();
  EXPECT_TRUE(IsWindowVisible(client));
  appTerm();
  EXPECT_FALSE(uReserveHeld());
  EXPECT_EQ(uiGetFrameWindow(0), nullptr);
  EXPECT_FALSE(IsWindow(frame));
}

TEST_F(AppFrame, ReserveDefaultAndScreenHeightWithoutFull) {
  HWND frame = start("[Other]\nx=1\n");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(uReserveSize(), 131072u);  // 128000, raised to the smallest reserve
  RECT box;
  GetWindowRect(frame, &box);
  EXPECT_EQ(box.bottom - box.top,
            GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICON) - GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(AppFrame, MenuCommandsNeverSwitchDocuments) {
  HWND frame = start("");
  appSetMenuExec(recordMenu);
  registerDocuments();
  HWND first = appCreateChild("uitestdoc", 0, 0, "one", nullptr, 1, nullptr);
  HWND second = appCreateChild("uitestdoc", 0, 0, "two", nullptr, 1, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(appWindowKind(first), 1);
  HWND client = uiGetFrameWindow(1);
  HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
  EXPECT_EQ(active, second);
  for (WPARAM id : {WPARAM{appMdiFirstChild}, WPARAM{appMdiFirstChild + 1}, WPARAM{162}})
    SendMessageA(frame, WM_COMMAND, id, 0);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), active);
  EXPECT_EQ(menuRuns(), (std::vector<std::pair<int, int>>{{4100, 0}, {4101, 0}, {162, 0}}));

  // Closing the frame runs menu item 162 as an accelerator; the frame stays.
  menuRuns().clear();
  SendMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(menuRuns(), (std::vector<std::pair<int, int>>{{162, 1}}));
  EXPECT_TRUE(IsWindow(frame));
  EXPECT_FALSE(plTestQuitPosted(nullptr));

  // With no menus to run the close command, closing the frame ends the
  // program as quit does.
  const appMenuExec runner = appSetMenuExec(nullptr);
  SendMessageA(frame, WM_CLOSE, 0, 0);
  int code = -1;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(IsWindow(frame));
  plTestClearQuit();
  appSetMenuExec(runner);

  appDestroyChild(first);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
}

TEST_F(AppFrame, SecondCopyMessageRestoresOrActivates) {
  HWND frame = start("");
  ShowWindow(frame, SW_MINIMIZE);
  EXPECT_EQ(SendMessageA(frame, appMsgBringToFront, 0, 0), 1);
  EXPECT_FALSE(IsIconic(frame));
  EXPECT_EQ(SendMessageA(frame, appMsgBringToFront, 0, 0), 1);
  EXPECT_EQ(GetActiveWindow(), frame);
}

TEST_F(AppFrame, DestroyingTheFramePostsQuit) {
  HWND frame = start("");
  DestroyWindow(frame);
  int code = -1;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 0);
}

TEST_F(AppFrame, WindowCommands) {
  HWND frame = start("");
  HWND popup = appCreateChild("uitestpop", 0, 0, "p", nullptr, 3, nullptr);
  EXPECT_EQ(popup, nullptr);  // unknown creation kinds make no window
  RECT box{10, 20, 110, 70};
  HWND edit = appCreateControl(frame, "EDIT", WS_VISIBLE, "x", &box, 77, nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_FALSE(IsWindowVisible(edit));
  EXPECT_EQ(GetWindowLongA(edit, GWL_ID), 77);
  EXPECT_EQ(appWindowCommand(edit, appCmdShow, nullptr, 0), 0);
  EXPECT_TRUE(IsWindowVisible(edit));
  EXPECT_EQ(appWindowCommand(edit, appCmdTitle, "Titled and more", 6), 0);
  char text[32];
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "Titled");
  EXPECT_EQ(appWindowCommand(edit, WM_SETTEXT, "sent", 4), 1);
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "sent");
}

TEST(AppIniName, FromProgramPath) {
  struct Case {
    const char* module;
    const char* ini;
  } cases[] = {
      {"/opt/p/PLUMET.EXE", "/opt/p/PLUMET.INI"},
      {"/opt/p/plumet.Exe", "/opt/p/plumet.INI"},
      {"/opt/p/plumet", "/opt/p/plumet.INI"},
      {"/opt/p/exe", "/opt/p/exe.INI"},
  };
  for (const Case& c : cases) {
    plTestSetModuleFileName(c.module);
    EXPECT_EQ(appIniFromProgram(), c.ini);
  }
  plTestReset();
}
}  // namespace
