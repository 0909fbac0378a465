// The drawing layer's clip stack (16 boxes) and state stack (12 records).
#include "core/alloc.h"
#include "core/debug.h"
#include "draw/gx.h"
#include "draw/gx_internal.h"

namespace {

enum { clipDepth = 16, stateDepth = 12 };

RECT clipBoxes[clipDepth];
uint16_t clipLevel = 0;

gxStateRec* states = nullptr;  // allocated on the first push
uint16_t stateLevel = 0;

}  // namespace

void gxClipBox(RECT* rect) {
  if (!rect) return;
  if (!gx.dc || GetClipBox(gx.dc, rect) == ERROR) *rect = RECT{0, 0, 0, 0};
}

void gxSetClip(const RECT* rect) {
  if (!gx.dc || !rect) return;
  RECT box = *rect;
  Escape(gx.dc, SET_CLIP_BOX, sizeof(box), reinterpret_cast<LPCSTR>(&box), nullptr);
  HRGN region = CreateRectRgn(box.left, box.top, box.right, box.bottom);
  SelectClipRgn(gx.dc, region);
  DeleteObject(region);
}

void gxClipPush() {
  if (clipLevel >= clipDepth) {
    dbgPanic("[gxClipPush] clip stack overflow");
    return;
  }
  gxClipBox(&clipBoxes[clipLevel]);
  clipLevel++;
}

void gxClipPop() {
  if (clipLevel == 0) {
    dbgPanic("[gxClipPop] clip stack underflow");
    return;
  }
  clipLevel--;
  gxSetClip(&clipBoxes[clipLevel]);
}

int gxClipLevel() { return clipLevel; }

void gxSwapClip(const gxClipSave* next, gxClipSave* saved) {
  if (saved) {
    gxClipBox(&saved->box);
    saved->window = gx.window;
  }
  if (next) {
    if (next->window) gxSetWindow(next->window);
    gxSetClip(&next->box);
  }
}

void gxStateGet(gxStateRec* rec) {
  if (!rec) return;
  rec->window = gx.window;
  rec->penWidth = gx.penWidth;
  rec->fillKind = gx.fillKind;
  rec->drawMode = gx.drawMode;
  rec->color = static_cast<uint8_t>(gx.color);
  rec->bgColor = static_cast<uint8_t>(gx.bgColor);
  rec->penStyle = gx.penStyle;
}

void gxStatePush() {
  if (!states) states = uAlloc<gxStateRec>(nullptr, nullptr, stateDepth, sizeof(gxStateRec));
  if (stateLevel >= stateDepth) {
    dbgPanic("gx state stack overflow");
    stateLevel = 0;  // starts again from the bottom
  }
  gxStateGet(&states[stateLevel]);
  stateLevel++;
}

void gxStatePop() {
  if (stateLevel == 0) {
    dbgPanic("gx state stack underflow");
    return;
  }
  const gxStateRec rec = states[--stateLevel];
  gxSetWindow(rec.window);
  if (rec.fillKind != gx.fillKind) gxSetFill(rec.fillKind);
  if (rec.drawMode != gx.drawMode) gxSetDrawMode(static_cast<int>(rec.drawMode));
  gx.penWidth = rec.penWidth;
  gx.color = rec.color;
  gx.bgColor = rec.bgColor;
  gx.penStyle = rec.penStyle;
  gxRealizePen();
}

int gxStateLevel() { return stateLevel; }

void gxStackTerm() {
  clipLevel = 0;
  stateLevel = 0;
  uFreeIfSet(&states);
}
