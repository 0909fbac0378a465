// The point buffer's script operators, the script position filter of
// aXTrack and the redraw hook of the tool's feedback.
#include "tools/ietool.h"

#include "fe/generic.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "objects/gobject.h"
#include "tools/ieengine.h"
#include "tools/ietool_internal.h"
#include "views/redraw.h"

#include <windows.h>

#include <algorithm>

using ietool::clearEntry;
using ietool::reportCount;
using ietool::state;

int ieClear() {
  auto& s = state();
  ieRedrawFeedback(1);
  for (int i = ieBufferSize - 1; i >= 0; --i) clearEntry(&s.buffer[i]);
  s.count = 0;
  if (s.saved) {
    // The saved entries' use counts pass back to the buffer.
    std::copy(s.savedBuffer, s.savedBuffer + ieBufferSize, s.buffer);
    std::fill(s.savedBuffer, s.savedBuffer + ieBufferSize, ieToolPoint{});
    s.count = s.savedCount;
    s.feedback = s.savedFeedback;
    s.contextWord = s.savedContextWord;
    s.savedCount = 0;
    s.savedFeedback = nullptr;
    s.savedContextWord = 0;
    s.saved = 0;
  } else {
    s.feedback = nullptr;
    s.contextWord = 0;
  }
  s.mode = 0;
  return reportCount(s.count);
}

int iePtBufCnt(int n) {
  auto& s = state();
  const int before = int(s.count);
  if (n == 0) return before;
  if (n < 0) {
    for (int i = 0; i < -int64_t(n) && s.count > 0; ++i) clearEntry(&s.buffer[--s.count]);
  } else {
    for (int i = 0; i < n && s.count < ieBufferSize; ++i) objRelease(&s.buffer[s.count++].object);
  }
  reportCount(s.count);
  return before;
}

namespace {

int clearOp(feArgs*) { return ieClear(); }

int newToolOp(feArgs*) {
  const int rc = ieClear();
  state().marks.clear();
  return rc;
}

// "IIR" (index, axis, value): -1 for an index outside the buffer, -2 for an
// axis outside the point. The entry becomes a typed point.
int ptSetOp(feArgs* args) {
  const int32_t index = args->in[0].i, axis = args->in[1].i;
  if (index < 0 || index >= ieBufferSize) return -1;
  if (axis < 0 || axis >= 3) return -2;
  ieToolPoint& entry = state().buffer[index];
  ieRedrawFeedback(1);
  entry.point[axis] = args->in[2].d;
  entry.code = 'n';
  objRelease(&entry.object);
  ieRedrawFeedback(0);
  return 0;
}

// "I# AP{3D}" (index): the entry's point; -1 for an index outside the
// buffer (the result stays zero).
int ptGetOp(feArgs* args) {
  const int32_t index = args->in[0].i;
  if (index < 0 || index >= ieBufferSize) return -1;
  std::copy(state().buffer[index].point, state().buffer[index].point + 3, static_cast<double*>(args->out[0]));
  return 0;
}

// "!I<0>#I" (n): the count before the change.
int ptBufCntOp(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = iePtBufCnt(args->in[0].i);
  return 0;
}

// The filter of aXTrack: the kept procedure answers whether the engine
// skips the position (true) or snaps it. A procedure that fails or leaves
// no boolean lets it snap.
int32_t scriptFilter(int, int, uintptr_t userData) {
  const feObject* procedure = reinterpret_cast<const feObject*>(userData);
  if (!procedure || !procedure->flags) return -1;
  feObject answer{};
  const int rc = feCallScript("exec", 4, false, procedure, 1, &answer);
  if (rc) return -1;
  const bool skip = feType(&answer) == feTBool && feGetBool(&answer);
  feFree(&answer);
  return skip ? 0 : -1;
}

// "!OS<*>" and "!OS" (procedure, codes): keeps the procedure and starts
// the engine with it as the position filter.
int xtrackOp(feArgs* args) {
  auto& s = state();
  feObject kept{};
  feCopyValue(&kept, args->in[0].value);
  if (s.xtrackProc.flags) feFree(&s.xtrackProc);
  s.xtrackProc = kept;
  ieSetCodes(args->in[1].text.text, args->in[1].text.length);
  ieStart(scriptFilter, reinterpret_cast<uintptr_t>(&s.xtrackProc));
  return 0;
}

void redrawHook(void*) {
  if (state().count > 0) ieRedrawFeedback(0);
}

}  // namespace

int ieToolInit() {
  struct Op {
    const char* name;
    feOpHandler handler;
    const char* signature;
  };
  static const Op ops[] = {
      {"aIEClear", clearOp, "!"},       {"aIENewTool", newToolOp, "!"},    {"aIEPtSet", ptSetOp, "IIR"},
      {"aIEPtGet", ptGetOp, "I# AP{3D}"}, {"aPtBufCnt", ptBufCntOp, "!I<0>#I"}, {"aXTrack", xtrackOp, "!OS<*>"},
      {"aXTrackStr", xtrackOp, "!OS"},
  };
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  int result = 0;
  for (const Op& op : ops) {
    const int rc = feRegisterOp(op.name, op.handler, op.signature, 0, instance);
    if (rc && !result) result = rc;
  }
  vwAddRedrawHook(redrawHook, nullptr);
  return result;
}
