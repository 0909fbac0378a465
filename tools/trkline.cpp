// Line tracking (aLineTrack): from a press, a start point when the chain
// has none (a click leaves just that point; a drag from a point snapped on
// a curve tracks a tangent or perpendicular line), then the new object
// tracked in the tool loop from the last point: a line, a tangent arc or a
// point. And aTrackPoint: one point tracked in a nested tool loop.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "core/classes.h"
#include "core/debug.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "geometry/lastpt.h"
#include "geometry/line.h"
#include "geometry/point.h"
#include "objects/docvar_sheet.h"
#include "objects/grpedit.h"
#include "objects/layer.h"
#include "objects/objsend.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "tools/snapcodes.h"
#include "tools/snapkeys.h"
#include "tools/track.h"
#include "views/current.h"
#include "views/view.h"
#include "views/wplane.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDragPixels = 8;
constexpr double kPerpendicularCos = 0.5;

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

void copy3(const double* from, double* to) { std::copy(from, from + 3, to); }

// The object a tangent or perpendicular line starts from (one use count
// held while set) and the kind of line.
struct Anchor {
  gobjRec* object = nullptr;
  int kind = 0;
  Anchor() = default;
  Anchor(const Anchor&) = delete;
  Anchor& operator=(const Anchor&) = delete;
  ~Anchor() { objRelease(&object); }
};

// Which line a drag from a point snapped on a curve starts: along the
// curve's direction at the snapped parameter (as seen on screen) a
// tangent, across it (|cos| below 0.5) a perpendicular.
int lineKind(gobjRec* object, double parameter, const double at[3], POINT mouse, const trackContext& context) {
  double d[3], ahead[3], s0[3], s1[3];
  trk::derivativeAt(object, parameter, d);
  for (int k = 0; k < 3; ++k) ahead[k] = at[k] + d[k];
  vwWorldToScreen(at, s0);
  vwWorldToScreen(ahead, s1);
  double tx = s1[0] - s0[0], ty = s1[1] - s0[1];
  double mx = double(mouse.x - context.cursorX), my = double(mouse.y - context.cursorY);
  const double tl = std::hypot(tx, ty), ml = std::hypot(mx, my);
  if (tl > 0) tx /= tl, ty /= tl;
  if (ml > 0) mx /= ml, my /= ml;
  return std::fabs(tx * mx + ty * my) < kPerpendicularCos ? 'p' : 't';
}

// The first phase of aLineTrack: a start point at the input engine's point,
// re-snapped when a snap key is typed while the button is held. Answers
// false when the engine holds no valid point (nothing done); *dragged
// tells whether the mouse left the press by 8 pixels or more.
bool startPoint(int x, int y, bool* dragged, int* typed, POINT* mouse) {
  double p[3];
  if (ieGetPoint(p) != 0) return false;
  pointRec* made = pointNew(p);
  lastPtUpdate(p, 1);
  trackContext* context = trkSharedContext();
  *dragged = false;
  while (gxGetMouse(mouse)) {
    if (std::abs(mouse->x - x) >= kDragPixels || std::abs(mouse->y - y) >= kDragPixels) {
      *dragged = true;
      break;
    }
    const int key = snapKeyTyped();
    if (!key) continue;
    *typed = key;
    context->typedKey = char(key == 'p' || key == 't' ? 'o' : key);
    ieSnapAt(mouse->x, mouse->y, context, 1);
    ieGetPoint(p);
    if (made) objFree(&made->head);
    made = pointNew(p);
  }
  if (!made) return true;
  gobjRec* point = &made->head;
  layerSetByName(point, ".temp", 5, 0);
  if (objInsert(point) != 0) {
    objFree(point);
    return true;
  }
  objSelect(point, 1);
  trkAddObject(point);
  return true;
}

// The slot's object, or none: a tool run that made nothing is reported.
gobjRec* made(gobjRec* slot, const char* alert) {
  if (!slot) uAlert(0, alert, "");
  return slot;
}

// The tool loop of a class from the press; what the class's tracking
// steps leave in the slot.
gobjRec* runLine(int x, int y, int startMode, uint16_t classId, gobjRec** slot) {
  if (!classId) return nullptr;
  ieTrackDefault(x, y, startMode, classId, uintptr_t(word(slot)));
  return *slot;
}

void emptyBuffer() { ieSetPoints(0, nullptr); }

// Tool mode 5: a line from the start point on the anchor object, kept
// tangent or perpendicular to it while it is tracked.
gobjRec* trackTangentLine(int x, int y, dbSheetRec* s, const Anchor& anchor) {
  trk::AlignLettersOff lettersOff;
  ieSetPoints(1, &s->lastPoint);
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  buffer[0].code = uint8_t(anchor.kind);
  objRelease(&buffer[0].object);
  buffer[0].object = anchor.object;
  objRetain(anchor.object);
  trk::markHide();
  ieSetToolMode(ieModeNoAlign);
  gobjRec* slot = nullptr;
  s->enteredCount = 0;
  runLine(x, y, 2, lineClassId(), &slot);
  s->enteredCount = 1;
  ieGetPointBuffer(&buffer, &count);
  // A failed adjustment leaves its label beside the start: it goes now.
  if (count > 0 && (buffer[0].code == 'T' || buffer[0].code == 'P') && vwCurView()) {
    const char* label = snapCodesForKey(buffer[0].code == 'T' ? 't' : 'p');
    int32_t pixel[2];
    vwWorldToPixel(buffer[0].point, pixel);
    gxClipPush();
    gxStatePush();
    vwSetPort(vwCurView());
    gxSetDrawMode(gxModeXor);
    trackDrawLabel(pixel[0], pixel[1], label, int(std::strlen(label)), 0);
    gxStatePop();
    gxClipPop();
  }
  emptyBuffer();
  return made(slot, "TTb: obj==0");
}

int lineTrack(int x, int y, int mode) {
  dbSheetRec* s = trk::sheet();
  if (!s) return trk::errNoDoc;
  gxResetAttrs();
  gxSetDrawMode(gxModeDraw);
  Anchor anchor;
  if (s->enteredCount == 0 && mode < 3) {
    bool dragged = false;
    int typed = 0;
    POINT mouse{x, y};
    if (!startPoint(x, y, &dragged, &typed, &mouse)) {
      mode = 7;
    } else {
      if (!dragged) {
        trk::markShowLast();
        return 0;
      }
      const trackContext& context = *trkSharedContext();
      gobjRec* snapped = context.resultObjectCount == 1 ? context.resultObjects[0] : nullptr;
      if (snapped && context.resultCode == 'o' && !objOnScratchLayer(snapped)) {
        anchor.kind = typed == 'p' || typed == 't' ? typed
                                                   : lineKind(snapped, context.param1, context.resultPoint, mouse, context);
        anchor.object = snapped;
        objRetain(snapped);
        if (mode == 0) mode = 5;
      }
      ieCursorDisable();
    }
  }
  ieCursorOff();

  gobjRec* object = nullptr;
  bool ran = true;
  switch (mode) {
    case 1: {
      if (s->enteredCount < 2) {
        ran = false;
        break;
      }
      trk::markHide();
      double points[2][3];
      copy3(s->lastPoint, points[0]);
      for (int k = 0; k < 3; ++k) points[1][k] = s->lastPoint[k] + s->endDirection[k];
      ieSetPoints(2, points);
      ieSetToolMode(4);
      gobjRec* slot = nullptr;
      object = runLine(x, y, 3, objClassByName("arctan"), &slot);
      emptyBuffer();
      break;
    }
    case 5:
      if (s->enteredCount != 1 || !anchor.object) {
        ran = false;
        break;
      }
      object = trackTangentLine(x, y, s, anchor);
      break;
    case 7:
    case 8: {
      emptyBuffer();
      gobjRec* slot = nullptr;
      ieTrackDefault(x, y, 3, pointClassId(), uintptr_t(word(&slot)));
      ieToolPoint* buffer = nullptr;
      int count = 0;
      ieGetPointBuffer(&buffer, &count);
      if (count > 0) {
        if (pointRec* point = pointNew(buffer[0].point)) {
          object = &point->head;
          layerSetByName(object, ".temp", 5, 0);
          // Mode 8: line font 3 in the style's low bits.
          if (mode == 8) object->style = uint8_t((object->style & ~0x1F) | 0x03);
        }
      }
      // The entries' objects are given back; the point is made.
      emptyBuffer();
      break;
    }
    default: {
      if (s->enteredCount > 0) ieSetPoints(1, &s->lastPoint);
      else emptyBuffer();
      trk::markHide();
      gobjRec* slot = nullptr;
      object = made(runLine(x, y, 2, lineClassId(), &slot), "TTa: obj==0");
      if (object && mode < 0) layerSetByName(object, ".temp", 5, 0);
      emptyBuffer();
      break;
    }
  }
  if (ran && !object) {
    uAlert(0, "TTc: err!=0", "");
    trk::markShowLast();
    return 0;
  }
  if (object) {
    objSelect(object, 1);
    if (objInsert(object) == 0) {
      trkAddObject(object);
    } else {
      objFree(object);
      object = nullptr;
    }
  }
  if (!object) std::fill(s->endDirection, s->endDirection + 3, 0.0);
  trk::markShowLast();
  return 0;
}

}  // namespace

namespace trk {

AlignLettersOff::AlignLettersOff() {
  for (char* c = snapDefaultCodes(); *c; ++c)
    if (std::strchr("aAbB", *c)) *c = char(uint8_t(*c) | 0x80);
}

AlignLettersOff::~AlignLettersOff() {
  for (char* c = snapDefaultCodes(); *c; ++c) {
    const char plain = char(uint8_t(*c) & 0x7F);
    if ((uint8_t(*c) & 0x80) && plain && std::strchr("aAbB", plain)) *c = plain;
  }
}

// "A{II}I": press pixel and mode.
int opLineTrack(feArgs* args) {
  const auto* press = static_cast<const int32_t*>(args->in[0].block);
  return lineTrack(press[0], press[1], args->in[1].i);
}

// "!A{II}#AP{3D}": one point tracked with the point class in a nested tool
// loop; the interrupted tool's points come back afterwards.
int opTrackPoint(feArgs* args) {
  const auto* press = static_cast<const int32_t*>(args->in[0].block);
  auto* out = static_cast<double*>(args->out[0]);
  ieSetToolMode(ieModeNested);
  ieTrackDefault(press[0], press[1], 1, pointClassId(), 0);
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  if (count > 0) copy3(buffer[0].point, out);
  // The redraw, emptying, restoring and report of aIEClear.
  ieClear();
  return 0;
}

}  // namespace trk
