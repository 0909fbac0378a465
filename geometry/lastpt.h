// The last-point registers and the point calculator.
//
// The drawing tools remember the last point entered and, for the last
// segment, its delta, length and angle; scripts may set a general last point
// of their own. Scripts read these for status displays and typed relative
// input. The calculator gives scripts distances and angles between points,
// points at a distance or angle, sums and differences, and points as text.
//
// All registers are program-wide and zero at start. Angles are in turns.
#ifndef PLUMET_GEOMETRY_LASTPT_H
#define PLUMET_GEOMETRY_LASTPT_H

// ---- Writing the registers ----

// last point = p.
void lastPtSet(const double p[3]);
// With notify nonzero: last point = p, then the script procedure "aUpdate"
// runs; answers the run's code. With notify 0 nothing is stored and the
// answer is 0.
int lastPtUpdate(const double p[3], int notify);
// The registers of a new segment a to b: length |b - a|, angle of a to b in
// the current work plane (exactly 0.0 for a segment of length 0), last
// point b, delta b - a. The line class calls it for each new line.
void lastPtFromSegment(const double a[3], const double b[3]);
void calcSetLastLen(double length);
void calcSetLastAng(double turns);
// general last point = p.
void lastPointSet(const double p[3]);

// ---- Reading the registers (native readers; scripts use the operators) ----

void lastPtGet(double out[3]);
void lastPtDelta(double out[3]);
double lastPtLength();
double lastPtAngle();
void lastPointGet(double out[3]);

// Zeroes every register, as at start (tests and a fresh session).
void lastPtReset();

// ---- Script operators ----

// Registers, in this order, with the program instance as context word:
// aLastPt "!i<3>P#AP{3D}", aLastDelta "!i<3>P#AV{3D}", aLastLen "!I<0>#R",
// aLastAng "!I<1>#R", aPointToString "!A{DDD}#S", aStringToPoint
// "!S#A{DDD}", aLastPoint "!i<3>P#AP{3D}", aSetLastPoint "!i<3> AP{3D} P#",
// aCalcDistance, aCalcAngle, aCalcPtDistance, aCalcPtAngle, aCalcPtDelta and
// aCalcPtSum (lastpt_ops.cpp says what each does). Answers 0 or the first
// registration's error.
int calcInit();

#endif
