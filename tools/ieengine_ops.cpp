// The input engine's script operators, its stack of saved states and its
// redraw hook.
#include "tools/ieengine.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "draw/gx.h"
#include "fe/operator.h"
#include "tools/ieengine_internal.h"
#include "tools/ietool.h"
#include "tools/track.h"
#include "tools/trkpoint.h"
#include "views/redraw.h"

#include <windows.h>

#include <cstring>
#include <vector>

using ie::engine;

namespace {

// One saved engine state. The context copy holds no use counts and no
// direction list: they are dropped before the copy is taken.
struct iePushRec {
  uint16_t flags;
  iePosFilterFn callback;
  uintptr_t userData;
  char snapCodes[ie::codesMax + 1];
  trackContext context;
};

std::vector<iePushRec>& stack() {
  static std::vector<iePushRec> records;
  return records;
}

feArgText text(feArgs* args, int index) { return args->in[index].text; }

// "!S": the engine's snap codes.
int setStrOp(feArgs* args) {
  ieSetCodes(text(args, 0).text, text(args, 0).length);
  return 0;
}

// "!#S": a copy of the snap codes.
int getStrOp(feArgs* args) {
  const char* codes = ieCodes();
  const size_t n = std::strlen(codes);
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(n + 1), 1));
  std::memcpy(block, codes, n + 1);
  auto* out = static_cast<feArgText*>(args->out[0]);
  out->text = block;
  out->length = int32_t(n);
  return 0;
}

// One snap at the mouse, as a move would.
void stepAtMouse() {
  POINT mouse{};
  gxGetMouse(&mouse);
  ieTrackAt(mouse.x, mouse.y, 0);
}

// "!S<*>" and "!S": the codes, the engine on without a filter, one snap.
int runOp(feArgs* args) {
  setStrOp(args);
  ieStart(nullptr, 0);
  stepAtMouse();
  return 0;
}

int resetOp(feArgs*) {
  ieReset();
  return 0;
}

int runStepOp(feArgs*) {
  stepAtMouse();
  return 0;
}

int offOp(feArgs*) {
  ieOff();
  return 0;
}

// "!#AP{3D}": the snapped point; 0 when it is valid, -1 otherwise.
int getPointOp(feArgs* args) { return ieGetPoint(static_cast<double*>(args->out[0])); }

void push() {
  auto& e = engine();
  trackContext* context = trkSharedContext();
  iePushRec rec{};
  rec.flags = e.flags;
  ieOff();
  // The copy must not share the live context's counted objects and list.
  trackClearFeedback(context);
  rec.callback = e.callback;
  rec.userData = e.userData;
  rec.context = *context;
  std::memcpy(rec.snapCodes, e.snapCodes, sizeof rec.snapCodes);
  stack().push_back(rec);
}

int pop() {
  if (stack().empty()) return -1;
  auto& e = engine();
  trackContext* context = trkSharedContext();
  ieOff();
  trackClearFeedback(context);
  const iePushRec rec = stack().back();
  stack().pop_back();
  e.callback = rec.callback;
  e.userData = rec.userData;
  *context = rec.context;
  // The saved context's entered points may name a list that has moved since.
  trkInitSnapCtx(context);
  context->hitRadius = rec.context.hitRadius;
  context->snapCodes = rec.context.snapCodes;
  std::copy(rec.context.direction, rec.context.direction + 3, context->direction);
  context->plane = rec.context.plane;
  context->planeConstrained = rec.context.planeConstrained;
  e.flags = rec.flags & ieOn;
  std::memcpy(e.snapCodes, rec.snapCodes, sizeof e.snapCodes);
  ieReset();
  return 0;
}

// "!i<1>" push, "!i<2>" pop; other values do nothing. Popping an empty
// stack is refused with a rangecheck.
int pushPopOp(feArgs* args) {
  switch (args->in[0].i) {
    case 1:
      push();
      return 0;
    case 2:
      return pop() == 0 ? 0 : feErrRangeCheck;
    default:
      return 0;
  }
}

// After the views are redrawn: the engine's feedback and the acquired
// markers are drawn again.
void redrawTrack(void*) {
  if (engine().flags) trackDrawFeedback(1, 2);
  trackMarkersRedraw();
}

}  // namespace

namespace ie {

void stackClear() { stack().clear(); }
int stackDepth() { return int(stack().size()); }

}  // namespace ie

int ieInit() {
  struct Op {
    const char* name;
    feOpHandler handler;
    const char* signature;
    uintptr_t parameter;
  };
  static const Op ops[] = {
      {"aIESetStr", setStrOp, "!S", 0},   {"aIEGetStr", getStrOp, "!#S", 0},
      {"aIERun", runOp, "!S<*>", 0},      {"aIERunStr", runOp, "!S", 0},
      {"aIEReset", resetOp, "!", 0},      {"aIERunStep", runStepOp, "!", 0},
      {"aIEOff", offOp, "! ", 0},         {"aIEGetPoint", getPointOp, "!#AP{3D}", 0},
      {"aIEPush", pushPopOp, "i<1>", 0},  {"aIEPop", pushPopOp, "i<2>", 0},
  };
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  int result = 0;
  for (const Op& op : ops) {
    const int rc = feRegisterOp(op.name, op.handler, op.signature, op.parameter, instance);
    if (rc && !result) result = rc;
  }
  vwAddRedrawHook(redrawTrack, nullptr);
  return result;
}
