// GetWindowLong(Ptr)A and SetWindowLong(Ptr)A: a window's extra bytes at a
// byte offset, and its fields at the negative GWL_ and GWLP_ indexes.
#include "layer.h"
#include "window_table.h"

#include <cstring>

namespace {

using pl::Window;

// Width of the value moved: 4 bytes for the LONG forms, 8 for the Ptr forms.
enum class Width { Long, Ptr };

size_t bytesOf(Width width) { return width == Width::Long ? sizeof(LONG) : sizeof(LONG_PTR); }

bool extraFits(const Window* w, int index, Width width) {
  return index >= 0 && static_cast<size_t>(index) <= w->extra.size() &&
         bytesOf(width) <= w->extra.size() - static_cast<size_t>(index);
}

LONG_PTR readExtra(const Window* w, int index, Width width) {
  const unsigned char* at = w->extra.data() + index;
  if (width == Width::Long) {
    LONG value;
    std::memcpy(&value, at, sizeof value);
    return value;
  }
  LONG_PTR value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void writeExtra(Window* w, int index, Width width, LONG_PTR value) {
  unsigned char* at = w->extra.data() + index;
  if (width == Width::Long) {
    LONG narrow = static_cast<LONG>(value);
    std::memcpy(at, &narrow, sizeof narrow);
  } else {
    std::memcpy(at, &value, sizeof value);
  }
}

// A window procedure cannot be carried in 32 bits: the LONG forms refuse
// GWL_WNDPROC rather than hand out a pointer that would crash when called.
bool indexValid(const Window* w, int index, Width width) {
  if (index >= 0) return extraFits(w, index, width);
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
    case GWLP_ID:
    case GWLP_USERDATA:
    case GWLP_HINSTANCE:
    case GWLP_HWNDPARENT:
      return true;
    case GWLP_WNDPROC:
      return width == Width::Ptr;
    default:
      return false;
  }
}

LONG_PTR readField(const Window* w, int index, Width width) {
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    default: return readExtra(w, index, width);
  }
}

LONG_PTR getLong(HWND hWnd, int index, Width width) {
  const Window* w = pl::findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!indexValid(w, index, width)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR value = readField(w, index, width);
  return width == Width::Long ? static_cast<LONG>(value) : value;
}

LONG_PTR setLong(HWND hWnd, int index, Width width, LONG_PTR value) {
  Window* w = pl::findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!indexValid(w, index, width)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (width == Width::Long) value = static_cast<LONG>(value);
  LONG_PTR old = readField(w, index, width);
  switch (index) {
    case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWLP_ID: w->id = value; break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT: {
      // Changes the owner of a top-level window; a child keeps its parent.
      HWND owner = reinterpret_cast<HWND>(value);
      if ((w->style & WS_CHILD) || (owner && !pl::findWindow(owner)) || owner == hWnd) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      w->owner = owner;
      break;
    }
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    default: writeExtra(w, index, width, value); break;
  }
  return width == Width::Long ? static_cast<LONG>(old) : old;
}

}  // namespace

extern "C" LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  return static_cast<LONG>(getLong(hWnd, nIndex, Width::Long));
}

extern "C" LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return static_cast<LONG>(setLong(hWnd, nIndex, Width::Long, dwNewLong));
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) { return getLong(hWnd, nIndex, Width::Ptr); }

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return setLong(hWnd, nIndex, Width::Ptr, dwNewLong);
}
