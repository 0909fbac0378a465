// Tracking: the context every snapping caller hands to the snap engine, and
// the XOR feedback that shows what the cursor snaps to (a label beside the
// snapped point, a marker box on it, the construction lines behind it, the
// acquired markers and the coordinate readout).
//
// All feedback is drawn in XOR mode: drawing an item a second time erases
// it. The feedback state is shared by every tracking caller; only one
// tracking run is active at a time.
//
// Use counts: the context's result objects, the feedback items' objects and
// the port view each hold one use count while set; every function here that
// drops one of them releases the count and nulls the field.
#ifndef PLUMET_TOOLS_TRACK_H
#define PLUMET_TOOLS_TRACK_H

#include "geometry/neardirs.h"
#include "geometry/plane.h"

#include <cstdint>

struct gobjRec;

// One snap candidate: an object found near the cursor (kind 0) or a
// construction line (kind a, g, p or t: the line through point along
// direction). Also the record of a feedback item.
struct snapCand {
  int16_t kind;
  uint16_t flags;       // bit 0: matched against the feedback on screen
  gobjRec* object;      // holds one use count while set
  double point[3];
  double direction[3];
  const char* label;    // put in the "^0" of the kind's label; "" when none
};

// The tracking context. Callers own the storage and zero it before first
// use; trackClearFeedback drops what it holds.
struct trackContext {
  int32_t cursorX, cursorY;      // pixel of the current view to snap
  int32_t hitRadius;             // pick radius in pixels
  const char* snapCodes;         // the snap-code string walked (not owned)
  int32_t enteredCount;          // points entered in the current operation
  const double (*entered)[3];    // those points, oldest first (not owned)
  double direction[3];           // reference direction of the p and t snaps
  double resultPoint[3];
  int32_t resultCode;            // snap letter; n for the bare cursor, 0 after a reset
  planeRec plane;                // constraint plane
  uint8_t planeConstrained;      // 1: points off the plane by more than 0.001 are refused
  char typedKey;                 // snap letter typed during the drag, 0 when none
  int32_t resultObjectCount;     // 0, 1 or 2
  gobjRec* resultObjects[2];     // each holds one use count while set
  int32_t snapCounter;           // completed snaps since the last reset
  double param1, param2;         // parameters of the result on its objects (-1 for vertices)
  crvDirList nearDirs;           // owned: tangent/normal pairs of the curves near the last point
};

// Acquired marker kinds: an arc centre (drawn) and a snapped point (kept
// for alignment only, not drawn).
enum { trackMarkerCenter = 'c', trackMarkerPoint = 0 };

struct trackMarker {
  int32_t kind;
  double point[3];
};

enum { trackMarkerMax = 8 };

// Feedback flags.
enum : uint32_t { trackFbOn = 0x1, trackFbLabel = 0x2, trackFbBox = 0x4 };

// Clears the feedback (trackClearFeedback), allocates the marker list on
// first use, zeroes the result code, object count, snap counter and typed
// key, and, when the context holds entered points, collects the directions
// of the curves within 0.1 of the last one.
void trackReset(trackContext* context);
// Erases and empties the acquired markers, releases the result objects,
// frees the near-curve directions and erases the shown feedback.
void trackClearFeedback(trackContext* context);

// Draws (XOR: toggles) the shown feedback: label, marker box and the items
// not matched on screen, then sets the track-point marker to markerState
// (0 hide, 1 show, 2 redraw after a repaint). With ownPort the clip and
// drawing state are pushed and the feedback's own port is drawn in; without
// it the caller has set up XOR drawing. Nothing without a current view.
void trackDrawFeedback(int ownPort, int markerState);
// Erases the shown feedback, releases the items' objects and forgets it.
void trackFeedbackErase(int ownPort);
// Replaces the shown feedback by the result of the snap just completed:
// results names the candidates behind it (the context's result object count
// of them, indices into candidates). What is unchanged stays on screen.
void trackFeedbackUpdate(trackContext* context, snapCand* candidates, const int* results);
// Draws one item: its line cut to the screen, and for kinds t, p and a a
// marker and its label. Items of kind 0 or with flag bit 0 are skipped.
void trackItemDraw(const snapCand* item);
// Draws text (length bytes) 5 pixels right of and above the pixel in the
// feedback font (bold when asked), XOR. Nothing for empty text.
void trackDrawLabel(int x, int y, const char* text, int length, int bold);

// Adds an acquired marker: an equal one (same kind and point) is moved to
// the end instead; when the list is full the oldest is erased and dropped.
// Nothing before the list exists (first trackReset).
void trackMarkerAdd(const double* point, int kind);
void trackMarkerDraw(const trackMarker* marker);
// Allocates the marker list (done by the first trackReset; later calls do
// nothing). trackMarkersClear erases every marker and empties the list.
void trackMarkersAllocate();
void trackMarkersClear();
// Draws every acquired marker again (after the views were redrawn).
void trackMarkersRedraw();
// The acquired markers, oldest first (count in *count); null before the
// list exists.
const trackMarker* trackMarkers(int* count);

// Shows the point's work-plane coordinates in the coordinate rectangle.
void trackCoordReadout(const double* point);

// Settings of the feedback: font (face index, size, style bits) and the
// coordinate rectangle (left, top, right, bottom; all zero: no readout).
void trackSetFont(int face, int size, int style);
void trackGetFont(int* face, int* size, int* style);
void trackSetCoordRect(int left, int top, int right, int bottom);

// What the feedback shows now (for the snap engine and tests).
struct trackFeedbackState {
  uint32_t flags;
  int32_t code;
  double point[3];
  int32_t itemCount;
  const snapCand* items;
};
void trackFeedbackGet(trackFeedbackState* out);

// Releases the view the feedback was last drawn in (when its document
// closes); the feedback must have been erased first.
void trackFeedbackForgetPort();

// The track-point marker at the last entered point: the module that owns
// that marker installs its drawing function here (state 0 hide, 1 show,
// 2 redraw after a repaint). Null: none.
typedef void (*trackMarkFn)(int state);
void trackSetMarkHook(trackMarkFn fn);

#endif
