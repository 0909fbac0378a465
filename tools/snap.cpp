// trackSnapPoint: one snap from start to result, the time check that keeps
// a slow snap responsive, and the refinement of crossings.
#include "tools/snap.h"

#include "tools/snap_internal.h"
#include "tools/snapkeys.h"
#include "tools/track.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/proginfo.h"
#include "draw/csys.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "geometry/clip.h"
#include "geometry/crossings.h"
#include "geometry/curve.h"
#include "geometry/plane.h"
#include "objects/gobject.h"
#include "objects/layer.h"
#include "objects/sieve.h"
#include "ui/attn.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

snapAssistFn assistHook = nullptr;

// The mouse is still where the snap started: within 12 pixels in x and y.
bool cursorSteady(const trackContext* context) {
  POINT p{};
  gxGetMouse(&p);
  return std::abs(p.x - context->cursorX) <= 12 && std::abs(p.y - context->cursorY) <= 12;
}

// The crossing of the result's two objects nearest the cursor on screen,
// with a tolerance fine enough for the point to be exact.
void refineCrossing(snapint::Run* run, trackContext* context) {
  crvCrossRec rec{};
  rec.curveA = context->resultObjects[0];
  rec.curveB = context->resultObjects[1];
  rec.tol = 1e-7 / (run->scale > 0 ? run->scale : 1.0);
  int count = crvCrossCount(&rec);
  double bestD = 0;
  for (int i = 0; i < count; ++i) {
    double point[3] = {0, 0, 0}, screen[3];
    rec.pointAt(&rec, i, point);
    vwWorldToScreen(point, screen);
    double dx = screen[0] - run->best.cursorScreen[0], dy = screen[1] - run->best.cursorScreen[1];
    double d = dx * dx + dy * dy;
    if (i > 0 && !(d < bestD)) continue;
    bestD = d;
    std::memcpy(context->resultPoint, point, sizeof point);
    if (rec.paramsAt) rec.paramsAt(&rec, i, &context->param1, &context->param2);
  }
  rec.release(&rec);
}

// Leaves the result's objects and parameters in the context, each object
// holding one use count; the slots not filled are nulled.
void takeResult(snapint::Run* run, trackContext* context) {
  for (gobjRec*& held : context->resultObjects) objRelease(&held);
  context->resultObjectCount = run->objectCount;
  for (int i = 0; i < 2; ++i) {
    if (i < run->objectCount) {
      gobjRec* object = run->set.cands[run->objectIndex[i]].object;
      if (object && object->refCount < gobjPermanent) objRetain(object);
      context->resultObjects[i] = object;
    }
  }
  context->param1 = run->params[0];
  context->param2 = run->params[1];
}

}  // namespace

void snapSetAssistHook(snapAssistFn fn) { assistHook = fn; }

namespace snapint {

bool timeCheck(Run* run) {
  uint32_t now = uTicks();
  if (now - run->interval > 60) {
    if (!cursorSteady(run->context)) {
      run->abandoned = true;
      return false;
    }
    run->interval = now;
    if (!run->busyShown) {
      run->busyShown = true;
      uiBusyBegin();
      trackFeedbackErase(1);
    }
  }
  evProgressTick(1);
  return true;
}

}  // namespace snapint

int trackSnapPoint(trackContext* context) {
  auto* run = new snapint::Run{};
  run->context = context;
  run->started = run->interval = uTicks();
  run->mask = 0xFFFFFFFF;
  bool assistantOn = true;
  if (assistHook) assistHook(&run->mask, &assistantOn);

  // Radii, pick box and the cursor's points.
  const int32_t r = context->hitRadius;
  run->acceptRadius = r;
  run->accept2 = double(r) * r;
  const int32_t cursor[2] = {context->cursorX, context->cursorY};
  const int32_t pickBox[4] = {cursor[0] - r, cursor[1] - r, cursor[0] + r, cursor[1] + r};
  run->scale = vwCurScale();
  double world[3];
  vwPixelToWorld(cursor, world);
  if (!context->planeConstrained) {
    const planeRec& plane = context->plane;
    if (plane.n[0] != 0 || plane.n[1] != 0 || plane.n[2] != 0) {
      double normal[3], moved[3];
      wpGetAxis(2, normal);
      if (planeLineHit(normal, world, &plane, moved) == 0) std::memcpy(world, moved, sizeof world);
    }
  }
  snapBestInit(&run->best, cursor, world, r);
  run->best.context = context;
  run->best.planeConstrained = context->planeConstrained != 0;
  run->best.plane = &context->plane;
  const int construction = layerNumber("construction", 12);
  run->constructionLayer = construction >= 0 ? construction : -1;

  // Collect the candidates.
  snapCandSetInit(&run->set, pickBox);
  int32_t savedClip[4];
  clipRectGet(savedClip);
  csysPush();
  clipRectSet(pickBox);
  if (sieveRec* sieve = sieveCurrent()) sieveSearch(sieve, snapint::collect, &run->set, 0, pickBox, 0, 0);
  csysPop();
  clipRectSet(savedClip);
  snapint::collectFeedback(&run->set);

  // The string walked: a key typed while the button is held goes first.
  if (gxMouseButtonDown()) {
    int typed = snapKeyTyped();
    if (typed != 0) context->typedKey = static_cast<char>(typed);
  }
  std::string walked = assistantOn ? snapWalkString(context->snapCodes, context->typedKey) : std::string();

  // Walk the groups until one finds a point within the accept radius.
  int status = 0;
  const char* cursorAt = walked.c_str();
  snapToken token;
  for (;;) {
    if (!snapint::timeCheck(run)) break;
    snapNextToken(&cursorAt, &token);
    if (token.letter == ' ' || token.letter == 0) {
      if (context->snapCounter != 0 && !gxMouseButtonDown()) {
        status = snapMouseUp;
        break;
      }
      if (run->best.bestDistance < run->accept2) break;
      if (token.letter == ' ') continue;
      token.letter = 'n';
    }
    if (!snapint::propose(run, token)) break;
  }
  if (run->abandoned) status = snapAbandoned;

  if (status != snapMouseUp) {
    if (run->best.bestCode == 0) {
      // Abandoned before anything was found: the cursor point.
      std::memcpy(run->best.bestWorld, run->best.cursorWorld, sizeof world);
      run->best.bestCode = 'n';
      run->objectCount = 0;
    }
    std::memcpy(context->resultPoint, run->best.bestWorld, sizeof world);
    context->resultCode = run->best.bestCode;
    takeResult(run, context);

    // Feedback, and the points kept for alignment.
    if (!run->abandoned) {
      trackFeedbackUpdate(context, run->set.cands, run->objectIndex);
      ++context->snapCounter;
      if (cursorSteady(context)) {
        if (context->resultObjectCount == 1 && objInClass(context->resultObjects[0], "arc") == 1) {
          // The arc's centre is acquired once arcs answer it (arcInfo).
        } else if (std::strchr("eqvm", context->resultCode) && context->resultCode != 0) {
          trackMarkerAdd(context->resultPoint, trackMarkerPoint);
          // Replaying the log repeats the acquisition.
          if (dbgFlags() & 0x10)
            dbgPrintf("[%ld %ld] dup 16#100 aGenMouse\n", int32_t(context->cursorX), int32_t(context->cursorY));
        } else if (context->typedKey == 'a') {
          trackMarkerAdd(context->resultPoint, trackMarkerPoint);
          context->typedKey = 0;
        }
      }
    } else {
      trackFeedbackErase(1);
    }
    // An intersection made exact.
    if (context->resultCode == 'i' && context->resultObjectCount == 2) refineCrossing(run, context);
  }

  // The candidates give their counts back.
  snapCandRelease(&run->set);
  if (run->busyShown) uiBusyEnd();
  delete run;
  return status;
}
