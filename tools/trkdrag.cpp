// Tracking one snapped point while a mouse button is held, for modules
// that move things with the mouse: the caller draws its own feedback
// through a callback that is told each new point and each point to erase.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "draw/gx.h"
#include "objects/docstate.h"
#include "objects/pen.h"
#include "tools/ieengine.h"
#include "tools/snap.h"
#include "tools/track.h"
#include "ui/event.h"

#include <windows.h>

#include <algorithm>

namespace {

void copy3(const double* from, double* to) { std::copy(from, from + 3, to); }

}  // namespace

int trkDragPoint(POINT* cursor, trkDragFn callback, double out[3], void* user) {
  if (!trk::sheet() || !cursor || !out) return -1;
  // The context the tool loop and the input engine share: while the
  // engine holds a valid point it is taken as it stands.
  trackContext& dragContext = *trkSharedContext();
  trk::markHide();
  gxStatePush();
  gxResetAttrs();
  gxSetDrawMode(gxModeXor);
  penSelect(gobjDefaultHead()->style);
  // The context, its feedback and the drawing state go back on every path.
  struct Restore {
    trackContext* context;
    ~Restore() {
      trackClearFeedback(context);
      gxStatePop();
    }
  } restore{&dragContext};

  if (!ieHasPoint()) {
    trackClearFeedback(&dragContext);
    dragContext = trackContext{};
    trkInitSnapCtx(&dragContext);
    trackReset(&dragContext);
  }
  dragContext.cursorX = cursor->x;
  dragContext.cursorY = cursor->y;
  trackSnapPoint(&dragContext);
  if (callback) callback(dragContext.resultPoint, 1, 1, user, &dragContext);
  copy3(dragContext.resultPoint, out);

  POINT mouse{};
  while (gxGetMouse(&mouse)) {
    *cursor = mouse;
    const bool moved = mouse.x != dragContext.cursorX || mouse.y != dragContext.cursorY;
    if (!moved && !eventKeyPending()) continue;
    dragContext.cursorX = mouse.x;
    dragContext.cursorY = mouse.y;
    if (trackSnapPoint(&dragContext) != 0) continue;
    POINT again{};
    gxGetMouse(&again);
    const int steady = again.x == dragContext.cursorX && again.y == dragContext.cursorY ? 1 : 0;
    double previous[3];
    copy3(out, previous);
    if (callback) {
      callback(dragContext.resultPoint, 1, steady, user, &dragContext);
      callback(previous, 0, steady, user, nullptr);
    }
    copy3(dragContext.resultPoint, out);
  }
  return 0;
}
