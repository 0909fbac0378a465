// The input engine: snapping the mouse between presses, its feedback, and
// the hooks through which the sheet windows hand it moves and presses.
#include "tools/ieengine.h"

#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/script.h"
#include "geometry/lastpt.h"
#include "tools/ieengine_internal.h"
#include "tools/snap.h"
#include "tools/snapcodes.h"
#include "tools/track.h"
#include "tools/trkpoint.h"
#include "ui/event.h"
#include "views/vwevent.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace ie {

engineState& engine() {
  static engineState state{};
  return state;
}

}  // namespace ie

using ie::engine;

namespace {

void mouseHook(POINT where, uintptr_t) { ieTrackAt(where.x, where.y, 0); }

// A press in the sheet window: snap where it happened when the cursor moved
// on both axes since the last snap, hand the key to "onKey", restart the
// engine (the press cleared the hooks) and follow the mouse again.
void keyHook(POINT where, uintptr_t) {
  trackContext* context = trkSharedContext();
  if (where.x != context->cursorX && where.y != context->cursorY) ieTrackAt(where.x, where.y, 2);
  const int32_t depth = feOperandDepth();
  if (fePushInt(4096) == 0 && fePushString("", 0) == 0)
    feExecf("onKey");
  else
    feOperandRestore(depth);
  ieReset();
  if (engine().flags & ieOn) {
    POINT mouse{};
    gxGetMouse(&mouse);
    mouseHook(mouse, 0);
  }
}

}  // namespace

int ieStart(iePosFilterFn callback, uintptr_t userData) {
  ieOff();
  if (!vwCurViewRec()) return 0;
  auto& e = engine();
  e.callback = callback;
  e.userData = userData;
  trackContext* context = trkSharedContext();
  trkInitSnapCtx(context);
  context->snapCodes = e.snapCodes;
  trackReset(context);
  e.flags = ieOn;
  vwSetEventHooks(keyHook, mouseHook, 0);
  return 1;
}

void ieOff() {
  auto& e = engine();
  if (!e.flags) return;
  ieCursorOff();
  trackClearFeedback(trkSharedContext());
  vwSetEventHooks(nullptr, nullptr, 0);
  e.flags = 0;
}

void ieReset() {
  auto& e = engine();
  if (e.flags & ieOn) ieStart(e.callback, e.userData);
}

void ieSetCodes(const char* text, int length) {
  auto& e = engine();
  if (!text || length < 0) length = 0;
  if (length == 1) {
    if (text[0] == '*') {
      std::strncpy(e.snapCodes, snapDefaultCodes(), ie::codesMax);
      e.snapCodes[ie::codesMax] = 0;
    }
    return;
  }
  const size_t n = size_t(std::min(length, int(ie::codesMax)));
  if (n) std::memcpy(e.snapCodes, text, n);
  e.snapCodes[n] = 0;
}

const char* ieCodes() { return engine().snapCodes; }

int ieGetPoint(double out[3]) {
  const trackContext* context = trkSharedContext();
  if (out) std::copy(context->resultPoint, context->resultPoint + 3, out);
  return engine().flags & ieValid ? 0 : -1;
}

uint16_t ieFlags() { return engine().flags; }

void ieCursorOff() {
  auto& e = engine();
  if (!(e.flags & ieShown)) return;
  trackFeedbackErase(1);
  e.flags &= uint16_t(~ieShown);
}

void ieCursorDisable() {
  engine().flags &= uint16_t(~ieValid);
  ieCursorOff();
}

int ieHasPoint() { return engine().flags & ieValid ? 1 : 0; }

int ieSnapAt(int x, int y, trackContext* context, int mode) {
  auto& e = engine();
  context->cursorX = x;
  context->cursorY = y;
  // The snap counter is the context's pending-result word: a snap after an
  // earlier one ends at once when no button is held, and the engine snaps
  // between presses.
  context->snapCounter = 0;
  trackSnapPoint(context);
  if (context->snapCodes && context->snapCodes[0])
    e.flags |= ieShown;
  else
    e.flags &= uint16_t(~ieShown);
  e.flags |= ieValid;
  if (mode == 1) {
    POINT mouse{};
    gxGetMouse(&mouse);
    if (mouse.x != x || mouse.y != y) return 0;
  } else if (mode != 2) {
    return mode - 2;
  }
  return lastPtUpdate(context->resultPoint, 1);
}

int ieTrackAt(int x, int y, int mode) {
  if (!vwCurViewRec()) return 0;
  auto& e = engine();
  trackContext* context = trkSharedContext();
  // Ctrl and Shift together: one snap with the default codes.
  if ((aEventMod() & ~4u) == 1) {
    const char* own = context->snapCodes;
    struct Restore {
      trackContext* c;
      const char* codes;
      ~Restore() { c->snapCodes = codes; }
    } restore{context, own};
    context->snapCodes = snapDefaultCodes();
    return ieSnapAt(x, y, context, mode);
  }
  if (e.callback && e.callback(x, y, e.userData) == 0) {
    ieCursorDisable();
    return 0;
  }
  return ieSnapAt(x, y, context, mode);
}

void ieEngineReset() {
  ieOff();
  ie::stackClear();
  auto& e = engine();
  e.callback = nullptr;
  e.userData = 0;
  e.flags = 0;
}
