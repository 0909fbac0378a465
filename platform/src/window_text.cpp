// The window text calls, which go through the window's own procedure.
#include "layer.h"
#include "window_table.h"

extern "C" int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = 0;
  if (!pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LRESULT copied = SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString));
  // Never claim more than the buffer can hold, whatever the procedure said.
  if (copied < 0) return 0;
  return copied < nMaxCount ? static_cast<int>(copied) : nMaxCount - 1;
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hWnd) {
  if (!pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}
