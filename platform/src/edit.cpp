// The built-in EDIT control: its text is the window text, beside it the
// control keeps the selection (an anchor and the caret, which is where the
// selection ends). Typing goes in through WM_CHAR, programs replace the
// selection with EM_REPLACESEL.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <algorithm>
#include <string>

namespace {

using pl::Window;

struct EditData : pl::ControlData {
  size_t anchor = 0;
  size_t caret = 0;
};

EditData& editData(Window* w) {
  auto* data = dynamic_cast<EditData*>(w->control.get());
  if (!data) {
    w->control = std::make_unique<EditData>();
    data = static_cast<EditData*>(w->control.get());
  }
  // The text may have changed behind the control's back (a subclass passing
  // WM_SETTEXT straight to DefWindowProcA): keep the selection inside it.
  data->anchor = std::min(data->anchor, w->text.size());
  data->caret = std::min(data->caret, w->text.size());
  return *data;
}

// Replaces the selection with text and leaves the caret after it.
void replaceSelection(Window* w, const std::string& text) {
  EditData& d = editData(w);
  size_t from = std::min(d.anchor, d.caret);
  size_t to = std::max(d.anchor, d.caret);
  w->text.replace(from, to - from, text);
  d.anchor = d.caret = from + text.size();
}

// A selection position from EM_SETSEL: -1 and every other negative value
// mean the end of the text, as do positions beyond it.
size_t position(const Window* w, INT value) {
  if (value < 0) return w->text.size();
  return std::min(static_cast<size_t>(value), w->text.size());
}

void typeCharacter(Window* w, WPARAM code) {
  if (w->style & ES_READONLY) return;
  if (code > 0xFF) return;
  bool multiline = (w->style & ES_MULTILINE) != 0;
  EditData& d = editData(w);
  switch (code) {
    case '\b':
      if (d.anchor == d.caret && d.caret > 0) {
        // Backspace removes the character before the caret; a line break
        // goes as a whole.
        size_t n = multiline && d.caret >= 2 && w->text.compare(d.caret - 2, 2, "\r\n") == 0 ? 2 : 1;
        d.anchor = d.caret - n;
      }
      replaceSelection(w, "");
      return;
    case '\r':
      if (multiline) replaceSelection(w, "\r\n");
      return;
    case '\t':
      if (multiline) replaceSelection(w, "\t");
      return;
    default:
      // Other control characters (the Ctrl+letter shortcuts) insert nothing.
      if (code < 0x20 || code == 0x7F) return;
      replaceSelection(w, std::string(1, static_cast<char>(code)));
      return;
  }
}

}  // namespace

namespace pl {

LRESULT CALLBACK editWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = findWindow(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      editData(w) = EditData{};
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      w->text = text ? text : "";
      EditData& d = editData(w);
      d.anchor = d.caret = 0;
      return TRUE;
    }
    case EM_GETSEL: {
      EditData& d = editData(w);
      DWORD from = static_cast<DWORD>(std::min(d.anchor, d.caret));
      DWORD to = static_cast<DWORD>(std::max(d.anchor, d.caret));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
      // The answer packs both positions into 16 bits each, or is -1 when
      // one does not fit.
      if (from > 0xFFFF || to > 0xFFFF) return -1;
      return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(from, to)));
    }
    case EM_SETSEL: {
      INT start = static_cast<INT>(static_cast<DWORD>(wParam));
      INT end = static_cast<INT>(static_cast<DWORD>(lParam));
      EditData& d = editData(w);
      if (start == -1) {
        d.anchor = d.caret;  // drops the selection, the caret stays
      } else {
        d.anchor = position(w, start);
        d.caret = position(w, end);
      }
      return 0;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(lParam);
      replaceSelection(w, text ? text : "");
      return 0;
    }
    case WM_CHAR:
      typeCharacter(w, wParam);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace pl
