// The tracking context shared by the tool loop, the input engine and line
// tracking, how a context is filled for snapping, and the single snap of a
// pixel on a private context that aAuto and the tool loop use.
#include "tools/trkpoint.h"

#include "objects/docvar_sheet.h"
#include "objects/hitrad.h"
#include "tools/ietool.h"
#include "tools/snap.h"
#include "tools/snapcodes.h"
#include "tools/track.h"

#include <algorithm>
#include <cstring>

namespace {

trackContext shared{};

// The hit radius of the current document; the program-wide value (8 at
// start) while none is current.
int32_t hitRadius() {
  int32_t radius = 8;
  aHitRad(&radius);
  return radius;
}

}  // namespace

trackContext* trkSharedContext() { return &shared; }

void trkInitSnapCtx(trackContext* context) {
  if (!context) return;
  context->hitRadius = hitRadius();
  context->snapCodes = snapDefaultCodes();
  dbSheetRec* sheet = nullptr;
  sheetCurrent(&sheet);
  if (sheet && sheet->enteredCount > 0) {
    context->enteredCount = sheet->enteredCount;
    context->entered = sheet->entered;
  } else {
    context->enteredCount = 0;
    context->entered = nullptr;
  }
  std::fill(context->direction, context->direction + 3, 0.0);
  if (context->enteredCount == 0) ieSnapPointList(context);
}

void trkAutoSnap(int x, int y, const char* codes, int length, double out[3]) {
  // The codes are copied and cut into a buffer of 255 characters.
  char text[256];
  if (!codes) {
    codes = snapDefaultCodes();
    length = int(std::strlen(codes));
  }
  const size_t n = size_t(std::clamp(length, 0, 255));
  std::memcpy(text, codes, n);
  text[n] = 0;
  trackContext context{};
  context.cursorX = x;
  context.cursorY = y;
  context.hitRadius = hitRadius();
  context.snapCodes = text;
  // The context holds use counts and a direction list while it snaps: they
  // go on every path, an abort from inside the snap included.
  struct Release {
    trackContext* c;
    ~Release() { trackClearFeedback(c); }
  } release{&context};
  trackReset(&context);
  trackSnapPoint(&context);
  if (out) std::copy(context.resultPoint, context.resultPoint + 3, out);
}
