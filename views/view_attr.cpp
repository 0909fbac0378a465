// The attribute keys of views (messages 107 and 108).
#include "views/view.h"
#include "views/view_internal.h"

#include "core/alloc.h"
#include "core/text.h"
#include "core/vec.h"
#include "ui/achk.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/vwboxes.h"
#include "views/vwinit.h"

#include <cmath>
#include <cstring>

namespace {

enum {
  kBox = 2,
  kScale = 3,
  kEye = 4,
  kCenter = 5,
  kTitle = 6,
  kModel = 9,
  kAutoFront = 14,
  kDraft = 23,
  kUpdate = 25,
  kUp = 31,
  kNormal = 32,
  kVdirName = 44,
  kCorners = 53,
  kActive = 54,
  kGrid = 107,
  kRenderMode = 113,
  kPerspective = 114,
  kPerspectiveDist = 115,
  kPerspectiveEye = 116,
  kPerspectiveAngle = 118,
};

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kBox, "box", "4I", kScale, "scale", "R", kEye, "eye", "3W", kCenter, "center", "3W", kNormal,
               "normal", "3V", kUp, "up", "3V", kTitle, "title", "S", kModel, "model", "Q", kAutoFront, "autofront",
               "B", kDraft, "draft", "B", kUpdate, "update", "B", kVdirName, "vdirname", "S", kCorners, "corners",
               "4D", kActive, "active", "B", kGrid, "grid", "B", kRenderMode, "render-mode", "I", kPerspective,
               "perspective", "B", kPerspectiveDist, "perspective-dist", "R", kPerspectiveAngle, "perspective-angle",
               "R", kPerspectiveEye, "perspective-eye", "3R", 0);
  return list;
}

bool isDraft(const viewRec* view) { return view->sheet && view->sheet->activeView == view; }

// A scale the matrices can be built and inverted with.
bool usableScale(double scale) { return scale > 1e-30 && scale < 1e30; }

// A direction of some length, made a unit vector; false for a zero (or
// not finite) vector.
bool unitVector(const double* in, double out[3]) {
  const double length = vecLen3(in);
  if (!(length > 0) || !std::isfinite(length)) return false;
  for (int k = 0; k < 3; ++k) out[k] = in[k] / length;
  return true;
}

const char* directionName(const viewRec* view) {
  const docRec* doc = view->sheet ? view->sheet->owner : nullptr;
  const viewState& s = view->states[0];
  return vdefNameOfDirection(doc, s.up, s.normal);
}

int setTitle(viewRec* view, const char* text, int32_t length) {
  char* title = uStrDup(text, uint32_t(length), nullptr);
  if (!title) return vwErrBadTitle;
  uFreeIfSet(&view->title);
  view->title = title;
  vwInvalidate(view, 1);
  return 0;
}

// The scale changes about the view's centre, which stays on the middle of
// the view's box.
int setScale(viewRec* view, double scale) {
  if (isDraft(view)) return 0;
  if (!usableScale(scale)) return vwErrBadValue;
  vwPushState(view);
  view->states[0].scale = scale;
  vwRebuild(view, 1);
  vwInvalidate(view, 0);
  return 0;
}

int setEye(viewRec* view, const double* eye) {
  if (isDraft(view)) return vwErrNoModDraftView;
  const double* centre = view->states[0].centre;
  const double direction[3] = {eye[0] - centre[0], eye[1] - centre[1], eye[2] - centre[2]};
  double normal[3];
  if (!unitVector(direction, normal)) return vwErrBadValue;
  return vwSetDirection(view, nullptr, normal, nullptr, 0);
}

int setVector(viewRec* view, const double* value, bool isUp) {
  double unit[3];
  if (!unitVector(value, unit)) return vwErrBadValue;
  return isUp ? vwSetDirection(view, nullptr, nullptr, unit, 0) : vwSetDirection(view, nullptr, unit, nullptr, 0);
}

int setCorners(viewRec* view, const double* box) {
  // Corners may come in any order (a sheet box runs from its top left).
  if (!(std::fabs((box[2] - box[0]) * (box[3] - box[1])) > 0)) return 0;  // no area: nothing
  vwSetCorners(view, box, 0);
  return vwRecompute(view, 0);
}

int setScreenBox(viewRec* view, const int32_t* box) {
  if (!view->sheet) return vwErrBadObject;
  double sheetBox[4];
  vwScreenBoxToSheet(box, view->sheet->zoom[0].sheetToWorld, sheetBox);
  vwSetCorners(view, sheetBox, 0);
  return 0;
}

int setActive(viewRec* view, int32_t on) {
  if (!on) return 0;
  if (!view->sheet) return vwErrBadObject;
  vwBringToFront(view);
  vwSetCurView(view);
  vwSetActiveView(view);
  return 0;
}

void setGrid(viewRec* view, int32_t on) {
  if (((view->flags & viewGridShown) != 0) == (on != 0)) return;
  view->flags ^= viewGridShown;
  vwInvalidate(view, 0);
}

int recomputed(viewRec* view) { return vwRecompute(view, 0); }

}  // namespace

namespace viewint {

int getAttr(viewRec* view, const feObject* key, feObject* out) {
  if (!expectView(view)) return vwErrBadObject;
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  const viewState& s = view->states[0];
  double eye[3];
  switch (code) {
    case kBox: data.data = view->screenBox; break;
    case kScale: data.real = s.scale; break;
    case kEye:
      for (int k = 0; k < 3; ++k) eye[k] = s.centre[k] + s.normal[k];
      data.data = eye;
      break;
    case kCenter: data.data = const_cast<double*>(s.centre); break;
    case kNormal: data.data = const_cast<double*>(s.normal); break;
    case kUp: data.data = const_cast<double*>(s.up); break;
    case kTitle:
      data.data = view->title;
      data.count = view->title ? int32_t(std::strlen(view->title)) : 0;
      break;
    case kModel: data.data = view->model; break;
    case kAutoFront: data.count = (view->flags & viewAutoFront) && !isDraft(view) ? 1 : 0; break;
    case kDraft: data.count = isDraft(view) ? 1 : 0; break;
    case kVdirName: {
      const char* name = directionName(view);
      data.data = const_cast<char*>(name);
      data.count = int32_t(std::strlen(name));
      break;
    }
    case kCorners: data.data = view->box; break;
    case kActive: data.count = view->sheet && view->sheet->lastActiveView == view ? 1 : 0; break;
    case kGrid: data.count = (view->flags & viewGridShown) ? 1 : 0; break;
    case kRenderMode: data.count = view->renderMode; break;
    case kPerspective: data.count = view->perspective ? 1 : 0; break;
    case kPerspectiveDist: data.real = view->perspectiveDist; break;
    case kPerspectiveAngle: data.real = view->perspectiveAngle; break;
    case kPerspectiveEye: data.data = view->perspectiveEye; break;
    default: return vwErrBadKey;  // "update" too: it cannot be read
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int setAttr(viewRec* view, const feObject* key, const feObject* value) {
  if (!expectView(view)) return vwErrBadObject;
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  const auto* reals = static_cast<const double*>(data.data);
  switch (code) {
    case 0: return data.status == 265 ? vwErrBadKey : data.status;
    case kBox: return setScreenBox(view, static_cast<const int32_t*>(data.data));
    case kScale: return setScale(view, data.real);
    case kEye: return setEye(view, reals);
    case kCenter:
      if (isDraft(view)) return vwErrNoModDraftView;
      return vwSetDirection(view, reals, nullptr, nullptr, 0);
    case kNormal: return setVector(view, reals, false);
    case kUp: return setVector(view, reals, true);
    case kTitle: return setTitle(view, static_cast<const char*>(data.data), data.count);
    case kModel: return vwShowModel(view, static_cast<modelRec*>(data.data));
    case kAutoFront:
      view->flags = data.count ? uint16_t(view->flags | viewAutoFront) : uint16_t(view->flags & ~viewAutoFront);
      return 0;
    case kUpdate: return data.count ? vwRecompute(view, 1) : 0;
    case kCorners: return setCorners(view, reals);
    case kActive: return setActive(view, data.count);
    case kGrid: setGrid(view, data.count); return 0;
    case kRenderMode:
      if (data.count < 0 || data.count > 2) return vwErrBadValue;
      view->renderMode = int16_t(data.count);
      return recomputed(view);
    case kPerspective:
      view->perspective = data.count ? 1 : 0;
      return recomputed(view);
    case kPerspectiveDist:
      view->perspectiveDist = data.real;
      return recomputed(view);
    case kPerspectiveAngle:
      view->perspectiveAngle = data.real;
      return recomputed(view);
    case kPerspectiveEye: std::memcpy(view->perspectiveEye, reals, sizeof view->perspectiveEye); return 0;
    default: return vwErrBadKey;  // "draft" and "vdirname" are read only
  }
}

}  // namespace viewint
