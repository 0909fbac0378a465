// The system cursors as the display's standard cursor-font shapes.
#include "x11.h"

#include <X11/cursorfont.h>

namespace pl::x11 {
namespace {

// System cursor handles are a fixed base plus the shape's resource number
// (cursor.cpp).
constexpr uintptr_t kCursorBase = 0x40000000;

unsigned int fontShape(uintptr_t id) {
  switch (id) {
    case 32512: return XC_left_ptr;            // arrow
    case 32513: return XC_xterm;               // text beam
    case 32514: return XC_watch;               // wait
    case 32515: return XC_crosshair;           // cross
    case 32516: return XC_sb_up_arrow;         // up arrow
    case 32640: case 32646: return XC_fleur;   // size, size all
    case 32642: return XC_bottom_right_corner;  // north-west to south-east
    case 32643: return XC_bottom_left_corner;   // north-east to south-west
    case 32644: return XC_sb_h_double_arrow;    // west-east
    case 32645: return XC_sb_v_double_arrow;    // north-south
    case 32648: return XC_X_cursor;             // not allowed
    case 32649: return XC_hand2;                // hand
    case 32650: return XC_watch;                // starting
    default: return XC_num_glyphs;              // none
  }
}

}  // namespace

::Cursor cursorFor(Connection& c, HCURSOR cursor) {
  const auto value = reinterpret_cast<uintptr_t>(cursor);
  if (value < kCursorBase) return None;
  const uintptr_t id = value - kCursorBase;
  const unsigned int shape = fontShape(id);
  if (shape == XC_num_glyphs) return None;
  auto it = c.cursors.find(id);
  if (it != c.cursors.end()) return it->second;
  const ::Cursor made = XCreateFontCursor(c.display, shape);
  c.cursors[id] = made;
  return made;
}

void freeCursors(Connection& c) {
  for (auto& [id, cursor] : c.cursors) XFreeCursor(c.display, cursor);
  c.cursors.clear();
}

}  // namespace pl::x11
