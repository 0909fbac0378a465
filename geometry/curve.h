// The curve base class: the abstract parent of every one-dimensional
// drawing object (line, arc, point, ellipse, chain, ...). It fixes the
// meaning of the curve messages 304-326 and 352, answers each with a
// default, and offers one sending function per message; the rest of the
// program reaches curves only through these functions.
//
// Every curve runs from t = 0 at its start to t = 1 at its end. Messages
// are sent to the class whose id stands in the object's head (objMeth with
// the message, the object and words a, b, c). All argument records are
// caller-owned; their out fields are pointers the class writes through.
//
// The messages, their words a, b, c and the answer of class "curve" when a
// subclass passes them on:
//   304 box range      a: const double* t0, b: const double* t1, c: out box
//                      (6 doubles)                          -> 0, box untouched
//   306 extents        a: out box (6 doubles, already filled by the subclass)
//                      -> widened by the pen margin on every side, 0
//   307 point at t     a: const double* t, b: out point    -> sends 308 mode 0
//   308 evaluate       a: crvEvalRec*                      -> 0
//   309 foot point     a: crvFootRec*                      -> 0
//   310 sub-curve      a: const double* t0, b: const double* t1,
//                      c: gobjRec** result slot            -> passed on
//   311 crossings      a: the crossing record of the intersection module;
//                      the answer is the count             -> subdivision search
//   314 arc length     a: crvLenRec*                       -> geomCurveLength
//   315 second length  a: const double* t0, b: const double* t1,
//                      c: double* out; sent only when 314 answers -4127
//                                                          -> 0, nothing written
//   316 set length     a: const double* length, b: gobjRec** result slot
//                                                          -> 0, unchanged
//   317 reverse        -                                   -> 0, unchanged
//   318 nearest        a: crvNearRec*                      -> -1
//   319 clip check     -                                   -> 1
//   326 is closed      -                                   -> 0
//   352 is flat        a: const double* t0, b: const double* t1,
//                      c: const double* tolerance          -> 0
#ifndef PLUMET_GEOMETRY_CURVE_H
#define PLUMET_GEOMETRY_CURVE_H

#include "objects/gobject.h"
#include "objects/nearcurve.h"  // crvNearRec, crvEvalRec, crvNearest, crvPoint

#include <cstdint>

// The names this module gives to two messages whose numbers objmsg.h
// lists under older names (msgEvaluator, msgPointAtLength).
enum crvMessage {
  msgCrossings = 311,
  msgSetLength = 316,
};

// The answer of a class that has no method for a request (the program's
// error NoMethod); crvLength falls back to message 315 on it.
constexpr int crvNoMethod = -4127;

// Message 314's argument a: the length between t0 and t1 within tolerance.
struct crvLenRec {
  double t0;
  double t1;
  double tolerance;
  double* out;  // out: the length
};

// Message 309's argument a: the foot of the perpendicular from a point.
struct crvFootRec {
  const double* point;  // 3 doubles
  uint32_t spare;
  uint32_t flags;       // bit 0: do not clamp the parameter to [0, 1]
  double* outParam;     // out: the parameter of the foot
  double* outSquared;   // out: the squared distance from the point to the foot
  double* outFoot;      // out: the foot point, 3 doubles
};

// crvFootRec flags.
constexpr uint32_t crvFootUnclamped = 0x0001;

// The crossing record of message 311; the intersection module defines it.
struct crvCrossRec;
// The curve default of message 311, in the intersection module: the
// crossings of curveA with the record's second curve found by subdivision;
// answers their count.
int crvCrossDefault(gobjRec* curveA, crvCrossRec* rec);

// The id of class "curve" (0 before crvInit).
uint16_t crvClassId();

// The curve module's set-up, called from the graphic-object set-up with the
// id of "gobject": registers "curve" under it, then the curve classes of the
// drawing under "curve" (line, point so far) and the operator aUpdateStyles.
// Answers 0, or the first failing registration's error.
int crvInit(uint16_t parentClassId);
// Undoes what crvInit built that outlives the classes (check lists).
void crvExit();

// The senders. Each takes the object first and answers the class's answer;
// a null object answers -1 and writes only the presets.

// Sets the out point to (0, 0, 0), then sends 308 {t, mode, extra, out}.
int crvPointAt(gobjRec* object, double t, int32_t mode, uint32_t extra, double* out);
// Sends 314; when the class answers -4127 sends 315 with pointers to t0, t1
// and out and answers that instead.
int crvLength(gobjRec* object, double t0, double t1, double tolerance, double* out);
// Stores the object into the slot first, then sends 316 with a pointer to
// the length and the slot.
int crvSetLength(gobjRec* object, double length, gobjRec** slot);
// Sends 309 with a crvFootRec built from the arguments.
int crvFootPoint(gobjRec* object, const double* point, uint32_t spare, uint32_t flags, double* outParam,
                 double* outSquared, double* outFoot);
// Sends 319: nonzero when the curve may touch the current clip rectangle.
int crvClipTest(gobjRec* object);
// Sends 310 for the piece between t0 and t1 into the slot's object. A slot
// holding an object other than this one is reported as an internal error
// and the message is sent all the same.
int objReParam(gobjRec* object, double t0, double t1, gobjRec** slot);
// Sends 326: 1 when the curve is closed.
int crvIsClosed(gobjRec* object);
// Sends 317: swaps start and end.
int crvReverse(gobjRec* object);
// Sends 306 with the out box (6 doubles: min x, y, z, max x, y, z).
int crvExtents(gobjRec* object, double* box);

// The margin that message 306's default adds on every side: the widest
// pen width divided by the current view's scale of kind 4 (1.0 without a
// view).
double crvPenMargin();

// A flag word of the line module: set to 1 before a box outline is drawn
// with world moves and draws, back to 0 after. Stores the value and
// answers it.
int lineSetDrawFlag(int value);
// The value lineSetDrawFlag stored last (0 at start).
int lineDrawFlag();

#endif
