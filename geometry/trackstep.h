// The record a tool class receives with message 401 (a tracking step of
// the tool loop), and the tracking services the classes' answers call.
//
// The tool loop (tools/ietool.h) sends 401 to a tool class with a = the
// phase (0 a new point, k >= 1 the k-th update of the last point, 2 with
// no previous point: redraw the whole feedback), b = a trkStepRec and
// c = the tool's word (for the line class, the address of the slot that
// holds the line being tracked).
//
// The tracking layer lives above the drawing classes, so what the classes
// need of it comes through hooks that the tracking layer installs at
// start-up; without them the classes skip the adjustments that need them.
#ifndef PLUMET_GEOMETRY_TRACKSTEP_H
#define PLUMET_GEOMETRY_TRACKSTEP_H

#include <cstdint>

struct gobjRec;

// One entered point of a tool: the position, the object it snapped to (one
// use count held while set), the snap letter that produced it ("n" for a
// typed point) and the trim mark of the fillet and chamfer tools.
struct ieToolPoint {
  double point[3];
  gobjRec* object;
  uint8_t code;
  uint8_t trim;
};

// Argument b of message 401.
struct trkStepRec {
  uint32_t count;               // points in buffer
  ieToolPoint* buffer;          // the tool's points, oldest first
  const ieToolPoint* previous;  // the last point before this update; null for phase 0 and redraws
  void* context;                // the shared tracking context (tools/track.h)
};

// What the classes' tracking answers call in the tracking layer.
struct trkStepHooks {
  // Moves point on object toward a tangent (code 't') or perpendicular
  // ('p') from reference; see trkNearestOnObject (tools/trkpoint.h).
  int (*nearestOnObject)(int code, gobjRec* object, double point[3], const double reference[3]);
  // The feedback label of a snap letter.
  const char* (*codesForKey)(int code);
  // XOR text 5 pixels beside a pixel in the feedback font.
  void (*drawLabel)(int x, int y, const char* text, int length, int bold);
  // When the context holds exactly one entered point, that point becomes p.
  void (*setSingleEntered)(void* context, const double p[3]);
};
void trkStepSetHooks(const trkStepHooks* hooks);  // null: none
const trkStepHooks* trkStepGetHooks();             // never null (empty entries when none)

// The 401 answers of the drawing classes (their handlers call these).
//
// The line (slot: the line being tracked, made on the first two-point
// step new and uncounted, as lineMake makes it: the caller inserts or frees
// it; a slot holding another class is refused with -1). Phases 0 and 1:
// with one point the marker of style 9 is drawn in the current draw mode
// at the previous point (when given) and at point 0; with two points,
// nothing when the previous point equals point 1, else a point 0 snapped
// with t, p, T or P is adjusted (the tangent or perpendicular search of the
// hooks), the old line is drawn (XOR: erased), set to the two points, drawn
// again, and the last-point registers take the segment. The last point
// becomes the array's last point. Phase 2 draws the marker at point 0 once
// more (removing it). Other phases and empty buffers do nothing. Answers 0.
int lineTrackStep(int phase, trkStepRec* step, gobjRec** slot);
// The point: phases 0 and 1 draw marker style 9 at the previous point (when
// given) and at the last point, which becomes the last point; phase 2
// draws it at every point. Answers 0.
int pointTrackStep(int phase, const trkStepRec* step);

#endif
