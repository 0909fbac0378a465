// Window classes: RegisterClassA, UnregisterClassA, GetClassInfoA, and the
// built-in "EDIT", "MDICLIENT", "BUTTON", "STATIC" and dialog ("#32770")
// classes, which are always present.
//
// Class names form one name space, compared without case; the module handle
// given with a class is kept but does not separate classes of equal names.
#include "classes.h"
#include "layer.h"

#include <memory>
#include <vector>

namespace {

constexpr ATOM kFirstAtom = 0xC000;  // class atoms live in 0xC000-0xFFFF
constexpr ATOM kEditAtom = kFirstAtom;
constexpr ATOM kMdiClientAtom = kFirstAtom + 1;
constexpr ATOM kButtonAtom = kFirstAtom + 2;
constexpr ATOM kStaticAtom = kFirstAtom + 3;
constexpr ATOM kDialogAtom = 0x8002;  // WC_DIALOG, "#32770"
constexpr ATOM kFirstFreeAtom = kFirstAtom + 4;

// A built-in class: a name and a procedure, everything else empty.
std::unique_ptr<pl::WindowClass> builtIn(ATOM atom, const char* name, WNDPROC proc) {
  auto c = std::make_unique<pl::WindowClass>();
  *c = pl::WindowClass{atom, name, 0, proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, {}, true};
  return c;
}

std::vector<std::unique_ptr<pl::WindowClass>> makeBuiltIns() {
  std::vector<std::unique_ptr<pl::WindowClass>> list;
  list.push_back(builtIn(kEditAtom, "EDIT", pl::editWindowProc));
  list.push_back(builtIn(kMdiClientAtom, "MDICLIENT", pl::mdiClientProc));
  list.push_back(builtIn(kButtonAtom, "BUTTON", pl::buttonWindowProc));
  list.push_back(builtIn(kStaticAtom, "STATIC", pl::staticWindowProc));
  auto dialog = builtIn(kDialogAtom, "#32770", pl::dialogWindowProc);
  dialog->wndExtra = pl::kDialogExtraBytes;
  list.push_back(std::move(dialog));
  return list;
}

std::vector<std::unique_ptr<pl::WindowClass>>& classes() {
  static std::vector<std::unique_ptr<pl::WindowClass>> table = makeBuiltIns();
  return table;
}

ATOM nextAtom = kFirstFreeAtom;

// A free atom, searching on from the last one given so that a just-released
// atom is not handed out again at once; 0 when all are taken.
ATOM allocateAtom() {
  for (unsigned tries = 0; tries < 0x4000; ++tries) {
    ATOM candidate = nextAtom;
    nextAtom = nextAtom == 0xFFFF ? kFirstAtom : static_cast<ATOM>(nextAtom + 1);
    if (!pl::findClass(MAKEINTATOM(candidate))) return candidate;
  }
  return 0;
}

}  // namespace

namespace pl {

WindowClass* findClass(LPCSTR nameOrAtom) {
  if (!nameOrAtom) return nullptr;
  if (isAtomName(nameOrAtom)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom));
    for (auto& c : classes())
      if (c->atom == atom) return c.get();
    return nullptr;
  }
  for (auto& c : classes())
    if (equalNoCase(c->name, nameOrAtom)) return c.get();
  return nullptr;
}

void resetClasses() {
  classes() = makeBuiltIns();
  nextAtom = kFirstFreeAtom;
}

}  // namespace pl

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
      pl::isAtomName(lpWndClass->lpszClassName) || !*lpWndClass->lpszClassName || lpWndClass->cbWndExtra < 0 ||
      lpWndClass->cbClsExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (pl::findClass(lpWndClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  ATOM atom = allocateAtom();
  if (!atom) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto c = std::make_unique<pl::WindowClass>();
  c->atom = atom;
  c->name = lpWndClass->lpszClassName;
  c->style = lpWndClass->style;
  c->proc = lpWndClass->lpfnWndProc;
  c->clsExtra = lpWndClass->cbClsExtra;
  c->wndExtra = lpWndClass->cbWndExtra;
  c->instance = lpWndClass->hInstance;
  c->icon = lpWndClass->hIcon;
  c->cursor = lpWndClass->hCursor;
  c->background = lpWndClass->hbrBackground;
  c->builtIn = false;
  // A menu name is either a string, copied here, or an integer resource id.
  if (lpWndClass->lpszMenuName && !pl::isAtomName(lpWndClass->lpszMenuName)) {
    c->menuNameText = lpWndClass->lpszMenuName;
    c->menuName = c->menuNameText.c_str();
  } else {
    c->menuName = lpWndClass->lpszMenuName;
  }
  classes().push_back(std::move(c));
  return atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  pl::WindowClass* c = pl::findClass(lpClassName);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->builtIn) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (pl::classHasWindows(c->atom)) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& list = classes();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == c) {
      list.erase(it);
      break;
    }
  }
  return TRUE;
}

extern "C" BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  pl::WindowClass* c = pl::findClass(lpClassName);
  if (!c) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  lpWndClass->style = c->style;
  lpWndClass->lpfnWndProc = c->proc;
  lpWndClass->cbClsExtra = c->clsExtra;
  lpWndClass->cbWndExtra = c->wndExtra;
  lpWndClass->hInstance = c->instance;
  lpWndClass->hIcon = c->icon;
  lpWndClass->hCursor = c->cursor;
  lpWndClass->hbrBackground = c->background;
  lpWndClass->lpszMenuName = c->menuName;
  // The caller's own name argument, which outlives this call for certain.
  lpWndClass->lpszClassName = lpClassName;
  return TRUE;
}
