// The selection blink: the selected objects of the current view are drawn
// into a monochrome mask, then, a step at a time, the mask is blitted onto
// the window through a moving 8x8 pattern so that the selected pixels blink
// in a marching pattern. Each call of vwBufferRedraw does one stage:
//   0  find the screen box of the selected objects and make the mask;
//   1  clear the mask to white;
//   2  draw the selected objects into the mask (black on white);
//   3, 4  nothing (the display settles);
//   5+ at most every 25 ticks, invert the selected pixels where the pattern
//      of this stage differs from the one shown.
// The pattern of stage k is the 8 bytes at offset k AND 7 of kPatterns; as
// each blit inverts by the difference to the previous pattern, the screen
// after stage k shows pattern k over the selected pixels.
#include "views/redraw.h"
#include "views/redraw_internal.h"

#include "core/bbox.h"
#include "core/sfloat.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint8_t kPatterns[16] = {0xc0, 0x60, 0x30, 0x10, 0x03, 0x06, 0x0c, 0x08,
                                   0xc0, 0x60, 0x30, 0x10, 0x03, 0x06, 0x0c, 0x08};
constexpr DWORD kBlinkRop = 0x006A01E9;  // destination XOR (source AND pattern)
constexpr uint32_t kBlinkTicks = 25;
constexpr int kMargin = 2;
constexpr int kFirstBlink = 5;

struct Blink {
  int stage = 0;
  RECT box{};              // the mask's place on the window
  HBITMAP mask = nullptr;
  uint32_t lastTick = 0;
  uint8_t previous[8]{};   // the pattern shown (zeros: none)
};

Blink blink;
vwSelModeSource selMode = nullptr;

void freeMask() {
  if (blink.mask) DeleteObject(blink.mask);
  blink.mask = nullptr;
  blink.box = RECT{};
}

bool blinkOn() { return selMode && (selMode() & vwSelectByBlink); }

// Calls fn for each selected object of the view's model in the view (every
// selected object of the model while the sieve cannot search by view).
void forEachSelected(viewRec* view, sieveFn fn, void* context) {
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  if (!sieve) return;
  if (sieveSearch(sieve, fn, context, 0, view->screenBox, gobjSelected, gobjSelected) == -1)
    sieveForEach(sieve, fn, context);
}

int uniteSelected(gobjRec* object, void* context) {
  if ((object->flags & gobjSelected) && !(object->flags & gobjHidden))
    bboxUnion(object->box, static_cast<int16_t*>(context));
  return 0;
}

int drawSelected(gobjRec* object, void*) {
  if (object->flags & gobjSelected) objDrawIfVisible(object);
  return 0;
}

// The pixel box of a world box in the current view, within the view and the
// device, widened by the margin; false when nothing of it is left.
bool screenBoxOf(const int16_t* box, const viewRec* view, RECT* out) {
  double corners[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(box), corners);
  double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
  for (int i = 0; i < 8; ++i) {
    const double world[3] = {corners[(i & 1) ? 3 : 0], corners[(i & 2) ? 4 : 1], corners[(i & 4) ? 5 : 2]};
    double screen[3];
    vwWorldToScreen(world, screen);
    for (int k = 0; k < 2; ++k) {
      lo[k] = std::min(lo[k], screen[k]);
      hi[k] = std::max(hi[k], screen[k]);
    }
  }
  lo[0] = std::max(lo[0], double(view->screenBox[0]));
  lo[1] = std::max(lo[1], double(view->screenBox[1]));
  hi[0] = std::min(hi[0], double(view->screenBox[2]));
  hi[1] = std::min(hi[1], double(view->screenBox[3]));
  if (!(lo[0] <= hi[0] && lo[1] <= hi[1])) return false;
  out->left = std::max(LONG(0), LONG(std::floor(lo[0])) - kMargin);
  out->top = std::max(LONG(0), LONG(std::floor(lo[1])) - kMargin);
  out->right = std::min(LONG(GetDeviceCaps(gx.dc, HORZRES)), LONG(std::ceil(hi[0])) + kMargin);
  out->bottom = std::min(LONG(GetDeviceCaps(gx.dc, VERTRES)), LONG(std::ceil(hi[1])) + kMargin);
  return out->left < out->right && out->top < out->bottom;
}

void makeMask(viewRec* view) {
  int16_t united[6];
  bboxEmpty(united);
  forEachSelected(view, uniteSelected, united);
  int16_t empty[6];
  bboxEmpty(empty);
  RECT box{};
  const bool found = std::memcmp(united, empty, sizeof united) != 0;
  freeMask();
  if (!found || !gx.dc || !screenBoxOf(united, view, &box)) return;
  blink.box = box;
  blink.mask = CreateBitmap(box.right - box.left, box.bottom - box.top, 1, 1, nullptr);
}

void clearMask() {
  HDC dc = CreateCompatibleDC(gx.dc);
  HGDIOBJ old = SelectObject(dc, blink.mask);
  PatBlt(dc, 0, 0, blink.box.right - blink.box.left, blink.box.bottom - blink.box.top, WHITENESS);
  SelectObject(dc, old);
  DeleteDC(dc);
}

// The selected objects in black on the mask, through the drawing layer with
// the mask as its device and the mask's corner as the origin, so that
// objects land where they are on the window.
void drawMask(viewRec* view) {
  HDC window = gx.dc;
  HDC dc = CreateCompatibleDC(window);
  HGDIOBJ old = SelectObject(dc, blink.mask);
  SetWindowOrgEx(dc, blink.box.left, blink.box.top, nullptr);
  double dpi[3];
  gxGetDpi(dpi);
  const double resolution[2] = {dpi[0], -dpi[1]};
  gxStatePush();
  gxWindowPush(dc, resolution, &blink.box);
  gdiSetDeviceKind(dc);
  gxSetDrawMode(gxModeDraw);
  gxSetColor(255);
  gx.bgColor = 0;  // no setter: the state pop brings it back
  SetBkColor(dc, gdiColorRGB(dc, 0));
  forEachSelected(view, drawSelected, nullptr);
  gxWindowPop();
  gxStatePop();
  // The colour table follows the window again.
  gdiSetDeviceKind(window);
  SelectObject(dc, old);
  DeleteDC(dc);
}

// Inverts the selected pixels where the pattern of this stage differs from
// the one shown. The mask's black (0) pixels become the source's ones with
// white as text colour and black as background; the brush's 0 bits are white
// too, so the operation inverts where both are set.
void blinkStep() {
  uint8_t pattern[8];
  uint16_t rows[8];
  for (int i = 0; i < 8; ++i) {
    pattern[i] = kPatterns[(blink.stage & 7) + i];
    rows[i] = uint8_t(~(pattern[i] ^ blink.previous[i]));  // rows are 16-bit words
  }
  std::memcpy(blink.previous, pattern, sizeof pattern);
  HDC window = gx.dc;
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(bits);
  HDC dc = CreateCompatibleDC(window);
  HGDIOBJ oldMask = SelectObject(dc, blink.mask);
  HGDIOBJ oldBrush = SelectObject(window, brush);
  const COLORREF text = SetTextColor(window, RGB(255, 255, 255));
  const COLORREF back = SetBkColor(window, RGB(0, 0, 0));
  BitBlt(window, blink.box.left, blink.box.top, blink.box.right - blink.box.left, blink.box.bottom - blink.box.top, dc,
         0, 0, kBlinkRop);
  SetTextColor(window, text);
  SetBkColor(window, back);
  SelectObject(window, oldBrush);
  SelectObject(dc, oldMask);
  DeleteDC(dc);
  DeleteObject(brush);
  DeleteObject(bits);
}

// One stage with the clip box kept and the view prepared for drawing.
// Answers false when the stage must be tried again (a blink too early).
bool runStage(viewRec* view) {
  const bool haveMask = blink.mask && gx.dc;
  switch (blink.stage) {
    case 0:
      std::memset(blink.previous, 0, sizeof blink.previous);
      makeMask(view);
      return true;
    case 1:
      if (haveMask) clearMask();
      return true;
    case 2:
      if (haveMask) drawMask(view);
      return true;
    case 3:
    case 4: return true;
    default:
      if (!haveMask || blink.box.bottom <= blink.box.top) return true;
      if (gxTicks60() - blink.lastTick < kBlinkTicks) return false;
      blink.lastTick = gxTicks60();
      blinkStep();
      return true;
  }
}

}  // namespace

void vwSetSelModeSource(vwSelModeSource source) { selMode = source; }

void vwBufferRedraw(int reset) {
  if (reset == 1) blink.stage = 0;
  if (!blinkOn()) return;
  viewRec* view = vwCurView();
  if (!view) {
    freeMask();
    return;
  }
  // The blink shows only in the view's own window, never in whatever the
  // drawing layer drew into last.
  if (!view->sheet || !sheetHwnd(view->sheet)) return;
  gxClipPush();
  vwSetPort(view);
  const bool done = runStage(view);
  gxClipPop();
  if (!done) return;
  // The pattern offset repeats every 8 stages from the first blink on.
  if (++blink.stage >= kFirstBlink + 8) blink.stage -= 8;
}

HBITMAP vwBlinkMask(RECT* box) {
  if (box) *box = blink.box;
  return blink.mask;
}

namespace redrawint {

void resetBlink() {
  freeMask();
  blink = Blink{};
}

}  // namespace redrawint
