// The application frame: start-up and shut-down, the frame window of class
// "mpframe" with its MDI client (id 3244), and the native windows of
// document, popup and control windows.
#ifndef PLUMET_UI_APP_H
#define PLUMET_UI_APP_H

#include <windows.h>

#include <cstdint>
#include <string>

// The frame hook sees every frame message first; a non-zero answer makes
// the frame procedure answer 0 without handling it.
typedef int (*appFrameHook)(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
int appFrameHookNone(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The menu command runner (the menus install it): item id and kind (0
// menu, 1 accelerator). The frame's WM_CLOSE runs item 162 with kind 1.
typedef int (*appMenuExec)(int item, int kind);
appMenuExec appSetMenuExec(appMenuExec exec);

enum {
  appMdiClientId = 3244,
  appMdiFirstChild = 4100,
  appMsgActivateChild = 1225,  // sent to the active document window on WM_ACTIVATE
  appMsgBringToFront = 1227,   // a second copy asks this one to come to the front
  appCmdShow = 1125,
  appCmdTitle = 1127,
  appCloseItem = 162,
};

// appInit, the start-up routine, then (when it answers 1) evMainLoop.
int appRun(int (*init)(), HINSTANCE instance, HINSTANCE previous, const char* commandLine, int show);
// Calls the routine, then appTerm.
void appCallAndExit(void (*routine)());

// Registers "mpframe", sets up the configuration file (iniName, or the
// program's name with ".INI" when null), takes the memory reserve
// ("/Memory/Reserve", default "128000") and creates the frame; answers it,
// or 0 when it cannot be created.
HWND appInit(const char* commandLine, int show, appFrameHook hook, HINSTANCE instance, const char* iniName);
// The program's module path, whole, without a final ".exe" (any case), plus
// ".INI".
std::string appIniFromProgram();
HWND appCreateFrame(const char* commandLine, int show);
HWND appCreateMdiClient(HWND frame, HINSTANCE instance);
// Destroys the windows, then frees the memory reserve.
void appTerm();
void appDestroyWindows();

// The MDI client for 1, the frame window otherwise.
HWND uiGetFrameWindow(int which);
HWND uiGetFrame();
HWND appGetFrameWindow();
HINSTANCE appInstance();

// kind 1: an MDI document window; kind 2: a popup owned by the frame;
// other kinds: none. The kind goes into the window's class extra word.
HWND appCreateChild(const char* className, DWORD style, DWORD exStyle, const char* title, const RECT* rect,
                    int kind, LPVOID param);
HWND appCreateControl(HWND parent, const char* className, DWORD style, const char* title, const RECT* rect,
                      int id, LPVOID param);
void appDestroyChild(HWND window);
// The creation kind recorded for a window made here (0 when none).
int appWindowKind(HWND window);
// 1125: show without activating (answers 0); 1127: sets the counted title
// (answers 0); other commands are sent to the window (answers 1).
int appWindowCommand(HWND window, int command, const char* text, int length);
// RegisterClass with 4 bytes of class extra; for kind 1 creates and
// destroys one MDI child of the class and shows the MDI client.
ATOM appRegisterClass(const WNDCLASSA* windowClass, int kind);

LRESULT CALLBACK DLFrameWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
