// Window properties (SetPropA, GetPropA, RemovePropA) and FindWindowA over
// this process's top-level windows. Property names compare without case; a
// name may also be an atom made with MAKEINTATOM.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <string>

namespace {

bool keyOf(LPCSTR name, std::string* key) {
  if (!name) return false;
  if (pl::isAtomName(name)) {
    *key = "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return true;
  }
  key->clear();
  for (const char* p = name; *p; ++p) *key += (*p >= 'a' && *p <= 'z') ? static_cast<char>(*p - 32) : *p;
  return true;
}

}  // namespace

extern "C" BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  pl::Window* w = pl::findWindow(hWnd);
  std::string key;
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!keyOf(lpString, &key)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (auto& [name, data] : w->props) {
    if (name == key) {
      data = hData;
      return TRUE;
    }
  }
  w->props.emplace_back(key, hData);
  return TRUE;
}

extern "C" HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
  pl::Window* w = pl::findWindow(hWnd);
  std::string key;
  if (!w || !keyOf(lpString, &key)) return nullptr;
  for (auto& [name, data] : w->props)
    if (name == key) return data;
  return nullptr;
}

extern "C" HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
  pl::Window* w = pl::findWindow(hWnd);
  std::string key;
  if (!w || !keyOf(lpString, &key)) return nullptr;
  for (auto it = w->props.begin(); it != w->props.end(); ++it) {
    if (it->first == key) {
      HANDLE data = it->second;
      w->props.erase(it);
      return data;
    }
  }
  return nullptr;
}

extern "C" HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  ATOM atom = 0;
  if (lpClassName) {
    pl::WindowClass* c = pl::findClass(lpClassName);
    if (!c) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    atom = c->atom;
  }
  // Only this process's windows are seen: another running copy cannot be
  // found without a display session.
  for (HWND h : pl::topLevelWindows()) {
    pl::Window* w = pl::findWindow(h);
    if (!w || w->destroying) continue;
    if (atom && w->classAtom != atom) continue;
    if (lpWindowName && !pl::equalNoCase(w->text, lpWindowName)) continue;
    return h;
  }
  return nullptr;
}
