// The line: the straight segment between two shared vertices, the class
// "line" under "curve" (geometry/curve.h), its construction functions and
// its script operators.
//
// The record is read in memory by the export plug-in as well, so it is
// declared once, here, and read by field name. The parameter t runs from
// p0 (t = 0) to p1 (t = 1): the point at t is p0 + t (p1 - p0).
//
// The handler answers, besides the curve messages, 100, 107/108 (keys
// below), 300, 302, 306, 310-314, 316-319, 321, 323, 324, 329 (a: 0, b: a
// pixel box of four integers: 1 when both ends lie inside), 330 (a: the
// point, b: mode, c: end number), 332 (a: displacement), 333 (a: matrix;
// both move only the point-selected ends), 334, 337, 346, 349, 352, 357
// (the slot is set null and -4127 answered: splines are not there yet),
// 402-406, 410, 411 and 703.
//
// Keys, in the order message 406 lists them: "pt0", "pt1", "delta",
// "length", "angle" (turns in the current work plane), "arrowhead" (0 none,
// 1 start, 2 end, 3 both), "arrowtype", "arrowsize". Also set: "endpt"
// (as "pt1"), "qangle", "qlength", "ptsel"/"ptmask", "delta.x", "delta.y",
// "delta.z" (in work-plane coordinates), "textsize"/"arrowheight" (as
// "arrowsize"). The arrow kind and size change only a line that has an
// arrowhead.
#ifndef PLUMET_GEOMETRY_LINE_H
#define PLUMET_GEOMETRY_LINE_H

#include "objects/gobject.h"

#include <cstdint>

struct vertexRec;
struct glist;

struct lineRec {
  gobjRec head;
  uint16_t ptSel;       // bit 0 the start, bit 1 the end is point-selected (head flag 0x0040 follows)
  uint16_t arrows;      // bits 0-10 line-style entry (objects/lnstyle.h), bit 14 arrow at start, 15 at end
  vertexRec* p0;        // start point, a shared vertex (objects/vertex.h)
  vertexRec* p1;        // end point
  uint8_t fontStart;    // phase code at the start: dash index * 16 + sixteenths of that dash
  uint8_t fontEnd;      // phase code at the end
  float phaseScale;     // dash scale fitting the pattern to the length (fonts above 3)
};

enum : uint16_t {
  lineArrowStart = 0x4000,
  lineArrowEnd = 0x8000,
  lineArrowIndex = 0x07FF,
};

// Registers "line" under the curve class, the line operators and the
// default arrowhead entry (kind 0, size 0.25); installs the style-word
// source of objects/lnstyle.h. Answers the class id (0 on failure).
uint16_t lineInit(uint16_t curveClassId);
// Takes back what lineInit installed (the style-word source, the check
// list); the class stays registered.
void lineExit();
// The id of "line" (0 before lineInit).
uint16_t lineClassId();

extern "C" {
// Makes or updates the line in *slot: an empty slot gets a new line (taking
// style, colour, flags 0x0060 and layer from the template when given); a
// given point replaces that end, a null one leaves it. Answers 0, or -1
// when no line could be made.
int lineSet(gobjRec** slot, const double* p0, const double* p1, const gobjRec* templ);
// A new line from p0 to p1, not inserted anywhere; null on failure.
gobjRec* lineMake(const double* p0, const double* p1);
// The two end points of an object of class "line" (subclasses do not
// count): 0, or -1 with nothing written.
int lineEndPoints(const gobjRec* object, double* p0, double* p1);
// The direction of p1 - p0 in turns in the current work plane, in
// (-0.5, 0.5]; 0.0 when its x and y in the plane are both exactly 0.
double lineWpAngle(const double* p0, const double* p1);
// lineWpAngle kept in a static double; the address stays valid, the value
// until the next call.
const double* lineWpAngleRef(const double* p0, const double* p1);
}

// The arrowhead choice of the lines (class "line" exactly) of a group: bit 0
// when most have an arrow at the start, bit 1 at the end; a tie goes by the
// current document's default ends. A null group counts as empty.
int lineGroupArrows(const glist* group);

// The phase-scaling switch: while on, patterned lines scale their dashes
// to fit their length (0 at start).
int lineGetPhaseScaling();
void lineSetPhaseScaling(int on);

// How construction lines are cut to the screen: the unbounded line through
// point along direction meets the screen box (extended to the current
// sheet's plot bounds when usePlotBox is set) between the parameters *t0
// and *t1. The tracking layer installs it at start-up; until then
// aConstrMake2 makes nothing and answers 275 (unimplemented).
typedef int (*lineClipFn)(const double* point, const double* direction, int usePlotBox, double* t0, double* t1);
// Installs the cutter (null: none) and answers the previous one.
lineClipFn lineSetClipHook(lineClipFn clip);

#endif
