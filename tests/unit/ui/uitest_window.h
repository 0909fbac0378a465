// A plain top-level window that records the messages dispatched to it, for
// the user-interface layer's tests.
#ifndef PLUMET_TESTS_UI_UITEST_WINDOW_H
#define PLUMET_TESTS_UI_UITEST_WINDOW_H

#include <windows.h>

#include <vector>

struct uiTestSeen {
  UINT message;
  WPARAM wParam;
};

inline std::vector<uiTestSeen>& uiTestLog() {
  static std::vector<uiTestSeen> log;
  return log;
}

inline LRESULT CALLBACK uiTestProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  uiTestLog().push_back({msg, wParam});
  return DefWindowProcA(window, msg, wParam, lParam);
}

// Registers the class once per platform reset and makes a focused window.
inline HWND uiTestWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = uiTestProc;
  wc.lpszClassName = "uitestwin";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "uitestwin", "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
  SetActiveWindow(window);
  SetFocus(window);
  uiTestLog().clear();
  return window;
}

// The key-down virtual keys seen, in order.
inline std::vector<WPARAM> uiTestKeyDowns() {
  std::vector<WPARAM> keys;
  for (const uiTestSeen& s : uiTestLog())
    if (s.message == WM_KEYDOWN) keys.push_back(s.wParam);
  return keys;
}

#endif
