// The snap engine: turns the cursor pixel of a tracking context into a
// drawing point. It collects the objects near the cursor, then walks the
// context's snap-code string (tools/snapcodes.h); each letter proposes
// points of one kind, the nearest on screen wins, and the groups of
// letters are tried in order until one finds a point within the accept
// radius. Every interactive tool reaches it through trackSnapPoint.
//
// Letters acted on so far: e, m, c, i, B, f, o, v, p, t, z, r, R, n, b
// and H. The letters whose proposals come from the snap assistant (a, A,
// g, %) and the classes' snap parameters (q) propose nothing yet.
#ifndef PLUMET_TOOLS_SNAP_H
#define PLUMET_TOOLS_SNAP_H

#include <cstdint>

struct trackContext;

enum : int {
  snapAbandoned = -1,   // the mouse moved away during a slow snap
  snapMouseUp = -4108,  // a repeated snap found no button held
};

// Snaps the context's cursor pixel in the current view. Sets the result
// point, code, objects (each holding one use count) and parameters, shows
// the feedback and raises the snap counter. Answers 0; snapAbandoned with
// the best point found so far (or the cursor point) and the feedback
// erased; or snapMouseUp, when the context has snapped before and no
// button is held at a group end: the context's result is then left as it
// was (objects included) and the feedback as it is.
int trackSnapPoint(trackContext* context);

// The snap assistant's settings the engine reads for the current
// document: the snap mask (which letters may propose) and whether the
// assistant is on. The assistant installs its reader here; without one
// every letter is enabled and the assistant on.
typedef void (*snapAssistFn)(uint32_t* mask, bool* on);
void snapSetAssistHook(snapAssistFn fn);

#endif
