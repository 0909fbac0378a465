// The tool input loop: a press gives one new point of the tool's buffer,
// snapped through the shared tracking context; while the button is held
// the point is snapped again and the tool is called back at each change.
#include "tools/ietool.h"

#include "core/debug.h"
#include "draw/gx.h"
#include "fe/script.h"
#include "geometry/lastpt.h"
#include "objects/gobject.h"
#include "tools/ieengine.h"
#include "tools/ietool_internal.h"
#include "tools/snap.h"
#include "tools/snapkeys.h"
#include "tools/track.h"
#include "tools/trkpoint.h"
#include "ui/event.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace ietool {

toolState& state() {
  static toolState s{};
  return s;
}

void clearEntry(ieToolPoint* entry) {
  objRelease(&entry->object);
  *entry = ieToolPoint{};
}

int reportCount(uint32_t count) { return feExecf("mark %d aOnState cleartomark", int(count)); }

}  // namespace ietool

using ietool::clearEntry;
using ietool::reportCount;
using ietool::state;

namespace {

// The distance from the press beyond which holding the button is a drag.
constexpr int kDragPixels = 7;

// The context's result as an entry's object and code: the object only when
// the result stands on exactly one (one use count taken), "o" stored as "n"
// under the low mode bits 1.
void takeResult(ieToolPoint* entry, const trackContext* context) {
  objRelease(&entry->object);
  if (context->resultObjectCount == 1 && context->resultObjects[0]) {
    entry->object = context->resultObjects[0];
    objRetain(entry->object);
  }
  int code = context->resultCode;
  if (code == 'o' && (state().mode & 3) == 1) code = 'n';
  entry->code = uint8_t(code);
}

// A copy of an entry holding its own use count.
ieToolPoint copyEntry(const ieToolPoint& entry) {
  ieToolPoint copy = entry;
  if (copy.object) objRetain(copy.object);
  return copy;
}

bool samePoint(const double a[3], const double b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// What the loop sets up and must put back however it ends: the drawing
// state, the snap codes it switched off, the feedback font and the mode word.
class LoopScope {
public:
  LoopScope(trackContext* context) : context_(context) {
    gxStatePush();
    gxResetAttrs();
    gxSetDrawMode(2);
    gxSetPenStyle(1);
    ++state().tracking;
  }
  // Under mode bit 0x8 the context walks a copy of its codes with a, A and
  // b marked off (high bit set); the context's own string is not touched.
  void switchOffAlignment() {
    if (!(state().mode & ieModeNoAlign) || !context_->snapCodes || switched_) return;
    ownCodes_ = context_->snapCodes;
    codes_ = ownCodes_;
    for (char& c : codes_)
      if (c == 'a' || c == 'A' || c == 'b') c = char(uint8_t(c) | 0x80);
    context_->snapCodes = codes_.c_str();
    switched_ = true;
  }
  ~LoopScope() {
    if (switched_ && context_->snapCodes == codes_.c_str()) context_->snapCodes = ownCodes_;
    gxSetPenStyle(0);
    gxStatePop();
    state().mode &= ieModePlane;
    --state().tracking;
  }
  LoopScope(const LoopScope&) = delete;
  LoopScope& operator=(const LoopScope&) = delete;

private:
  trackContext* context_;
  const char* ownCodes_ = nullptr;
  std::string codes_;
  bool switched_ = false;
};

// Holds one entry copy (and its use count) until the scope ends.
struct EntryHold {
  ieToolPoint entry{};
  ~EntryHold() { objRelease(&entry.object); }
};

// The first press of a tool: entry 0, re-snapped at typed snap keys until
// the button is released or the mouse moves away (a drag). Answers true for
// a drag.
bool firstPoint(int x, int y, const ieToolPoint& start, iePointFn pointCb, void* userData) {
  auto& s = state();
  trackContext* context = trkSharedContext();
  ieToolPoint& first = s.buffer[0];
  clearEntry(&first);
  first = copyEntry(start);
  s.count = 1;
  if (pointCb) pointCb(s.buffer, 1, nullptr, 0, userData);
  lastPtUpdate(first.point, 1);
  bool drag = false;
  POINT mouse{};
  while (gxGetMouse(&mouse)) {
    if (std::abs(mouse.x - x) > kDragPixels || std::abs(mouse.y - y) > kDragPixels) {
      drag = true;
      break;
    }
    int key = snapKeyTyped();
    if (!key) continue;
    if (key == 'p' || key == 't') key = 'o';
    context->typedKey = char(key);
    EntryHold previous{copyEntry(first)};
    ieSnapAt(mouse.x, mouse.y, context, 1);
    std::copy(context->resultPoint, context->resultPoint + 3, first.point);
    takeResult(&first, context);
    if (pointCb) pointCb(s.buffer, 1, &previous.entry, 1, userData);
    lastPtUpdate(first.point, 1);
  }
  lastPointSet(first.point);
  reportCount(s.count);
  return drag;
}

}  // namespace

int ieToolTracking() { return state().tracking > 0 ? 1 : 0; }

int ieTrackTool(int x, int y, iePointFn pointCb, void* userData, int startMode, ieFeedbackFn feedbackCb,
                uintptr_t contextWord) {
  auto& s = state();
  trackContext* context = trkSharedContext();
  if (s.count >= ieBufferSize) {
    ieClear();
    dbgPanic("too many points in buffer");
    return -1;
  }
  s.feedback = feedbackCb;
  s.contextWord = contextWord;
  ieCursorOff();
  LoopScope scope(context);
  // A context never filled for snapping (no engine run yet) is filled now.
  if (!context->snapCodes) trkInitSnapCtx(context);

  int changed = 0;
  if (x != context->cursorX || y != context->cursorY) {
    ieSnapAt(x, y, context, 2);
    changed = 1;
  }
  // The current point, with the object and code it snapped to.
  EntryHold current;
  if (ieGetPoint(current.entry.point) == 0) {
    takeResult(&current.entry, context);
  } else {
    trkAutoSnap(x, y, nullptr, 0, current.entry.point);
    current.entry.code = 'n';
    ++changed;
  }

  bool firstDragged = false;
  if (s.count == 0 && startMode != 1) {
    if (!firstPoint(x, y, current.entry, pointCb, userData)) return 0;
    firstDragged = true;
    ieCursorDisable();
    ++changed;
  }
  if (changed) {
    ieSnapPointList(context);
    trackReset(context);
  }
  scope.switchOffAlignment();

  int result = 0;
  uint32_t updates = 0;
  ieToolPoint* tracked = &s.buffer[s.count];
  if (!firstDragged) {
    clearEntry(tracked);
    *tracked = copyEntry(current.entry);
    ++s.count;
    updates = 1;
    if (pointCb) pointCb(s.buffer, int(s.count), nullptr, 0, userData);
    lastPtUpdate(tracked->point, 1);
  }
  if (s.count >= ieBufferSize) return -1;

  POINT mouse{};
  while (gxGetMouse(&mouse)) {
    uint32_t mods = 0;
    aCurMod(&mods);
    if (updates != 0 && mouse.x == context->cursorX && mouse.y == context->cursorY && mods == s.lastMods) continue;
    context->cursorX = mouse.x;
    context->cursorY = mouse.y;
    if (trackSnapPoint(context) != 0) continue;
    if (updates == 0) ++s.count;
    EntryHold previous{*tracked};
    *tracked = ieToolPoint{};
    std::copy(context->resultPoint, context->resultPoint + 3, tracked->point);
    takeResult(tracked, context);
    const ieToolPoint& before = previous.entry;
    if (updates == 0 || !samePoint(tracked->point, before.point) || tracked->code != before.code ||
        tracked->object != before.object || mods != s.lastMods) {
      s.lastMods = mods;
      gxSetDrawMode(2);
      if (pointCb) pointCb(s.buffer, int(s.count), updates ? &before : nullptr, int(updates), userData);
      lastPtUpdate(tracked->point, 1);
    }
    ++updates;
  }
  if (updates) {
    trackFeedbackErase(1);
    lastPointSet(tracked->point);
    reportCount(s.count);
  }
  return result;
}
