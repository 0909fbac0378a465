// The tracking feedback: the label, marker box and construction lines of
// the last snap, kept on screen in XOR mode and replaced incrementally, and
// the reset and clean-up of tracking contexts.
#include "tools/track.h"

#include "tools/snapkeys.h"
#include "tools/trackclip.h"

#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "fe/value.h"
#include "geometry/marker.h"
#include "objects/gobject.h"
#include "views/current.h"
#include "views/view.h"
#include "views/wplane.h"

#include <cstring>
#include <string>

namespace {

constexpr int kMaxItems = 2;
constexpr int kLabelRoom = 32;
constexpr int kFeedbackLineFont = 2;
constexpr int kBoxMarker = 5;
constexpr int kItemMarker = 8;
constexpr double kNearDirsDistance = 0.1;

struct Feedback {
  uint32_t flags = 0;
  double point[3] = {0, 0, 0};
  int32_t code = 0;
  const char* label = nullptr;
  int32_t labelLength = 0;
  viewRec* port = nullptr;  // holds a use count
  int32_t itemCount = 0;
  snapCand items[kMaxItems] = {};
  // The items' labels are copied: the candidates they come from do not
  // outlive the snap.
  char itemLabels[kMaxItems][kLabelRoom] = {};
};

Feedback fb;
trackMarkFn markHook = nullptr;

void viewRetain(viewRec* view) {
  if (view && view->refCount != feObjPermanent) ++view->refCount;
}

void viewRelease(viewRec** slot) {
  viewRec* view = *slot;
  *slot = nullptr;
  if (!view || view->refCount == feObjPermanent || view->refCount == 0) return;
  if (--view->refCount == 0) vwFree(view);
}

bool samePoint(const double* a, const double* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

bool somethingToDraw() {
  return fb.itemCount > 0 || ((fb.flags & trackFbLabel) && fb.label && fb.labelLength) || (fb.flags & trackFbBox);
}

// XOR drawing into the view: the caller has pushed clip and state.
void beginXor(viewRec* view) {
  vwSetPort(view);
  gxSetDrawMode(gxModeXor);
  gxSetPenStyle(kFeedbackLineFont);
  gxSetPenWidth(0);
}

void releaseItems() {
  for (int i = 0; i < fb.itemCount; ++i) objRelease(&fb.items[i].object);
}

// The kind's label with "^0" replaced by the item's own label.
std::string itemLabel(const snapCand& item) {
  std::string text = snapCodesForKey(item.kind);
  const size_t at = text.find("^0");
  if (at != std::string::npos) text.replace(at, 2, item.label ? item.label : "");
  return text;
}

}  // namespace

void trackSetMarkHook(trackMarkFn fn) { markHook = fn; }

void trackItemDraw(const snapCand* item) {
  if (!item || item->kind == 0 || (item->flags & 1)) return;
  double t0 = 0, t1 = 0;
  trackClipLine(item->point, item->direction, 0, &t0, &t1);
  if (t0 <= t1) {
    double ends[2][3], screen[2][3];
    for (int k = 0; k < 3; ++k) {
      ends[0][k] = item->point[k] + t0 * item->direction[k];
      ends[1][k] = item->point[k] + t1 * item->direction[k];
    }
    vwWorldToScreen(ends[0], screen[0]);
    vwWorldToScreen(ends[1], screen[1]);
    gxSegment(0, screen[0]);
    gxSegment(1, screen[1]);
  }
  if (item->kind == 't' || item->kind == 'p' || item->kind == 'a') {
    markDraw(item->point, kItemMarker, -1);
    int32_t pixel[2];
    vwWorldToPixel(item->point, pixel);
    const std::string text = itemLabel(*item);
    trackDrawLabel(pixel[0], pixel[1], text.c_str(), int(text.size()), 0);
  }
}

void trackDrawFeedback(int ownPort, int markerState) {
  if (!vwCurView() || !fb.flags || !somethingToDraw()) return;
  if (ownPort) {
    gxClipPush();
    gxStatePush();
    beginXor(fb.port ? fb.port : vwCurView());
  }
  if ((fb.flags & trackFbLabel) && fb.label && fb.labelLength) {
    int32_t pixel[2];
    vwWorldToPixel(fb.point, pixel);
    trackDrawLabel(pixel[0], pixel[1], fb.label, fb.labelLength, fb.code != 'o');
  }
  if (fb.flags & trackFbBox) markDraw(fb.point, kBoxMarker, -1);
  for (int i = 0; i < fb.itemCount; ++i) trackItemDraw(&fb.items[i]);
  if (markHook) markHook(markerState);
  if (ownPort) {
    gxStatePop();
    gxClipPop();
  }
}

void trackFeedbackErase(int ownPort) {
  trackDrawFeedback(ownPort, 0);
  releaseItems();
  fb.flags = 0;
  fb.label = nullptr;
  fb.labelLength = 0;
  fb.itemCount = 0;
  // Nothing is shown any more, so the view it was shown in is let go: held
  // on, it would keep its document's model alive after the document closed.
  viewRelease(&fb.port);
  fb.code = 0;
}

void trackFeedbackUpdate(trackContext* context, snapCand* candidates, const int* results) {
  int count = context->resultObjectCount;
  if (count < 0) count = 0;
  if (count > kMaxItems) count = kMaxItems;
  // Two grid lines crossing make a grid point, which stands on no object.
  if (context->resultCode == 'i' && count == 2 && candidates[results[0]].kind == 'g' &&
      candidates[results[1]].kind == 'g') {
    context->resultCode = 'g';
    objRelease(&context->resultObjects[0]);
    objRelease(&context->resultObjects[1]);
    context->resultObjectCount = 0;
    count = 0;
  }

  // Construction lines already on screen stay there untouched.
  for (int r = count - 1; r >= 0; --r) {
    snapCand& cand = candidates[results[r]];
    if (cand.kind == 0) continue;
    cand.flags &= ~1u;
    for (int i = fb.itemCount - 1; i >= 0; --i) {
      snapCand& item = fb.items[i];
      if ((item.flags & 1) || item.kind != cand.kind || !samePoint(item.point, cand.point) ||
          !samePoint(item.direction, cand.direction))
        continue;
      item.flags |= 1;
      cand.flags |= 1;
      break;
    }
  }

  // So do the label and box when the result is the one they show.
  uint32_t kept = 0;
  if ((fb.flags & trackFbLabel) && fb.code == context->resultCode && samePoint(fb.point, context->resultPoint))
    kept = fb.flags & (trackFbLabel | trackFbBox);

  gxClipPush();
  gxStatePush();
  beginXor(fb.port ? fb.port : vwCurView());
  fb.flags &= ~kept;
  trackFeedbackErase(0);
  viewRec* view = vwCurView();
  if (view != fb.port) vwSetPort(view);

  for (int r = 0; r < count; ++r) {
    snapCand& item = fb.items[r];
    item = candidates[results[r]];
    objRetain(item.object);
    std::strncpy(fb.itemLabels[r], item.label ? item.label : "", kLabelRoom - 1);
    fb.itemLabels[r][kLabelRoom - 1] = 0;
    item.label = fb.itemLabels[r];
  }
  fb.itemCount = count;
  fb.label = snapCodesForKey(context->resultCode);
  fb.labelLength = int32_t(std::strlen(fb.label));
  fb.code = context->resultCode;
  for (int k = 0; k < 3; ++k) fb.point[k] = context->resultPoint[k];
  if (view != fb.port) {
    viewRetain(view);
    viewRelease(&fb.port);
    fb.port = view;
  }

  fb.flags = (trackFbOn | trackFbLabel | trackFbBox) & ~kept;
  if (context->snapCodes && std::strcmp(context->snapCodes, "n") == 0) fb.flags &= ~uint32_t(trackFbBox);

  trackDrawFeedback(0, 1);
  gxSetDrawMode(gxModeDraw);
  trackCoordReadout(context->resultPoint);
  gxStatePop();
  gxClipPop();
  for (int i = 0; i < fb.itemCount; ++i) fb.items[i].flags &= ~1u;
  for (int r = 0; r < count; ++r) candidates[results[r]].flags &= ~1u;
  fb.flags |= kept;
}

void trackFeedbackGet(trackFeedbackState* out) {
  out->flags = fb.flags;
  out->code = fb.code;
  for (int k = 0; k < 3; ++k) out->point[k] = fb.point[k];
  out->itemCount = fb.itemCount;
  out->items = fb.items;
}

void trackFeedbackForgetPort() { viewRelease(&fb.port); }

void trackReset(trackContext* context) {
  trackClearFeedback(context);
  trackMarkersAllocate();
  context->resultCode = 0;
  context->resultObjectCount = 0;
  context->snapCounter = 0;
  context->typedKey = 0;
  if (context->enteredCount > 0 && context->entered)
    crvNearDirs(context->entered[context->enteredCount - 1], &context->nearDirs, kNearDirsDistance);
}

void trackClearFeedback(trackContext* context) {
  trackMarkersClear();
  if (context) {
    objRelease(&context->resultObjects[0]);
    objRelease(&context->resultObjects[1]);
    context->resultObjectCount = 0;
    crvNearDirsFree(&context->nearDirs);
  }
  trackFeedbackErase(1);
}
