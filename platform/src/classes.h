// The window class table shared by the window code of the layer.
#ifndef PLUMET_PLATFORM_CLASSES_H
#define PLUMET_PLATFORM_CLASSES_H

#include <windows.h>

#include <string>

namespace pl {

struct WindowClass {
  ATOM atom;
  std::string name;
  UINT style;
  WNDPROC proc;
  int clsExtra;
  int wndExtra;
  HINSTANCE instance;
  HICON icon;
  HCURSOR cursor;
  HBRUSH background;
  LPCSTR menuName;           // as registered: points into menuNameText, or an integer resource
  std::string menuNameText;
  bool builtIn;
};

// The class named by a string (compared without case) or by an atom made
// with MAKEINTATOM; null when there is none. The pointer stays valid until
// the class is unregistered or the layer is reset.
WindowClass* findClass(LPCSTR nameOrAtom);

// True when a class name argument is an atom rather than a string.
inline bool isAtomName(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) <= 0xFFFF; }

// The procedure of the built-in "EDIT" class (edit.cpp).
LRESULT CALLBACK editWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The procedure of the built-in "MDICLIENT" class (mdi.cpp).
LRESULT CALLBACK mdiClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The dialog class "#32770" (dialog.cpp) and the controls dialogs are made
// of (dialog_controls.cpp). A dialog keeps DWLP_MSGRESULT, DWLP_DLGPROC and
// DWLP_USER in its extra bytes.
LRESULT CALLBACK dialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK buttonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK staticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
constexpr int kDialogExtraBytes = DWLP_USER + sizeof(LONG_PTR);

// Whether any window of the class exists (window.cpp).
bool classHasWindows(ATOM atom);

}  // namespace pl

#endif
