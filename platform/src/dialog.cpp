// A small dialog manager: dialogs built from the program's templates
// (plSetDialogTable), their default procedure, EndDialog, control lookup,
// and IsDialogMessageA's keyboard rules (Escape presses Cancel, Enter the
// default button) for modeless dialogs.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <platform_resources.h>

#include <map>

namespace {

struct Table {
  const PlDialogResource* entries;
  size_t count;
};
std::map<HINSTANCE, Table> tables;  // the program's under null

HINSTANCE keyOf(HINSTANCE module) { return pl::isProgramModule(module) ? nullptr : module; }

const PlDialogResource* findTemplate(HINSTANCE module, LPCSTR name) {
  auto found = tables.find(keyOf(module));
  if (found == tables.end() || !name) return nullptr;
  const bool byNumber = reinterpret_cast<uintptr_t>(name) <= 0xFFFF;
  for (size_t i = 0; i < found->second.count; ++i) {
    const PlDialogResource& t = found->second.entries[i];
    if (byNumber ? (t.id != 0 && t.id == static_cast<UINT>(reinterpret_cast<uintptr_t>(name)))
                 : (t.name && pl::equalNoCase(t.name, name)))
      return &t;
  }
  return nullptr;
}

bool isDialog(HWND window) {
  pl::Window* w = pl::findWindow(window);
  pl::WindowClass* cls = w ? pl::findClass(MAKEINTATOM(w->classAtom)) : nullptr;
  return cls && cls->proc == pl::dialogWindowProc;
}

DLGPROC procOf(HWND dialog) { return reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC)); }

// Where a dialog goes: centred on its owner, else on the screen.
POINT placement(HWND owner, int width, int height) {
  RECT around{0, 0, pl::screenWidth(), pl::screenHeight()};
  if (owner) GetWindowRect(owner, &around);
  return POINT{around.left + (around.right - around.left - width) / 2,
               around.top + (around.bottom - around.top - height) / 2};
}

// The id Enter presses: the default push button's, else IDOK.
int defaultId(HWND dialog) {
  if (pl::Window* w = pl::findWindow(dialog)) {
    for (HWND child : w->children) {
      pl::Window* c = pl::findWindow(child);
      pl::WindowClass* cls = c ? pl::findClass(MAKEINTATOM(c->classAtom)) : nullptr;
      if (cls && cls->proc == pl::buttonWindowProc && (c->style & 0xF) == BS_DEFPUSHBUTTON)
        return static_cast<int>(c->id);
    }
  }
  return IDOK;
}

// Whether a window is root or lies below it.
bool within(HWND window, HWND root) {
  for (pl::Window* w = pl::findWindow(window); w; w = pl::findWindow(w->parent))
    if (w->handle == root) return true;
  return false;
}

// The control the focus goes to first: the first with WS_TABSTOP, else the
// first control, else the dialog itself.
HWND firstTabStop(HWND dialog) {
  pl::Window* w = pl::findWindow(dialog);
  if (!w || w->children.empty()) return dialog;
  for (HWND child : w->children)
    if (pl::Window* c = pl::findWindow(child); c && (c->style & WS_TABSTOP)) return child;
  return w->children.front();
}

void pressId(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

namespace pl {

void resetDialogs() { tables.clear(); }

LRESULT CALLBACK dialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefDlgProcA(hwnd, msg, wParam, lParam);
}

}  // namespace pl

extern "C" void plSetDialogTable(HINSTANCE module, const PlDialogResource* table, size_t count) {
  if (!table || count == 0) {
    tables.erase(keyOf(module));
    return;
  }
  tables[keyOf(module)] = Table{table, count};
}

extern "C" LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!isDialog(hDlg)) return DefWindowProcA(hDlg, Msg, wParam, lParam);
  // The dialog procedure first; what it handles answers DWLP_MSGRESULT
  // (WM_INITDIALOG answers the procedure's own value).
  if (DLGPROC proc = procOf(hDlg)) {
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    const INT_PTR handled = proc(hDlg, Msg, wParam, lParam);
    if (Msg == WM_INITDIALOG) return handled;
    if (handled) return IsWindow(hDlg) ? GetWindowLongPtrA(hDlg, DWLP_MSGRESULT) : 0;
    if (!IsWindow(hDlg)) return 0;
  }
  switch (Msg) {
    case WM_CLOSE:
      // Closing a dialog is pressing Cancel.
      PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
      return 0;
    case WM_ACTIVATE: {
      // An active dialog keeps the focus on one of its controls: the one
      // that had it, else the first that takes it.
      if (LOWORD(wParam) == WA_INACTIVE) return 0;
      const HWND focus = GetFocus();
      if (focus && focus != hDlg && within(focus, hDlg)) return 0;
      SetFocus(firstTabStop(hDlg));
      return 0;
    }
    case DM_GETDEFID:
      return MAKELONG(defaultId(hDlg), 0x534B);  // DC_HASDEFID in the high word
    case WM_INITDIALOG:
    case WM_COMMAND:
      return 0;
    default:
      return DefWindowProcA(hDlg, Msg, wParam, lParam);
  }
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                          DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  const PlDialogResource* t = findTemplate(hInstance, lpTemplateName);
  if (!t) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  // A popup owned by the parent's top-level window, shown only when the
  // template says WS_VISIBLE, after its procedure has seen WM_INITDIALOG.
  const HWND owner = hWndParent ? pl::topLevelOf(hWndParent) : nullptr;
  const POINT at = placement(owner, t->width, t->height);
  const DWORD style = (t->style | WS_POPUP) & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, WC_DIALOG, t->caption ? t->caption : "", style, at.x, at.y,
                                t->width, t->height, owner, nullptr, hInstance, nullptr);
  if (!dialog) return nullptr;
  SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(lpDialogFunc));
  for (size_t i = 0; i < t->controlCount; ++i) {
    const PlDialogControl& c = t->controls[i];
    HWND control = CreateWindowExA(0, c.className, c.text ? c.text : "", WS_CHILD | WS_VISIBLE | c.style,
                                   c.rect.left, c.rect.top, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top,
                                   dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), hInstance, nullptr);
    if (!control) {
      DestroyWindow(dialog);
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
  }
  const HWND first = t->controlCount > 0 ? firstTabStop(dialog) : nullptr;
  // The procedure answers TRUE to have the focus put on the first control.
  if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), dwInitParam) && first && IsWindow(first))
    SetFocus(first);
  if (!IsWindow(dialog)) return nullptr;
  if (t->style & WS_VISIBLE) ShowWindow(dialog, SW_SHOW);
  return dialog;
}

extern "C" BOOL WINAPI EndDialog(HWND hDlg, INT_PTR) {
  // A modeless dialog is only hidden; its owner destroys it.
  if (!isDialog(hDlg)) return FALSE;
  ShowWindow(hDlg, SW_HIDE);
  return TRUE;
}

extern "C" HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  if (pl::Window* w = pl::findWindow(hDlg)) {
    for (HWND child : w->children)
      if (pl::Window* c = pl::findWindow(child); c && c->id == nIDDlgItem) return child;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND hWnd) {
  pl::Window* w = pl::findWindow(hWnd);
  return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SetWindowTextA(item, lpString) : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (!item) {
    if (lpString && cchMax > 0) lpString[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
  if (!lpMsg || !IsWindow(hDlg) || !within(lpMsg->hwnd, hDlg)) return FALSE;
  if (lpMsg->message == WM_KEYDOWN && lpMsg->wParam == VK_ESCAPE) {
    pressId(hDlg, IDCANCEL);
    return TRUE;
  }
  if (lpMsg->message == WM_KEYDOWN && lpMsg->wParam == VK_RETURN) {
    pressId(hDlg, defaultId(hDlg));
    return TRUE;
  }
  // The characters of those keys were taken with them.
  if (lpMsg->message == WM_CHAR && (lpMsg->wParam == 0x1B || lpMsg->wParam == '\r')) return TRUE;
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}
