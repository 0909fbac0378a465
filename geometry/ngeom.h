// Small numerical routines shared by the curve classes, selection,
// dimensions and plug-ins: the foot of a point on a segment in up to eight
// dimensions, closest points and intersection of two 3-D lines, projection
// and line-plane parameters, line-circle and circle-circle intersection in
// the plane, and the length of any curve by Romberg integration of its
// speed. All work on arrays of doubles; every output is an optional pointer
// that may be null.
#ifndef PLUMET_GEOMETRY_NGEOM_H
#define PLUMET_GEOMETRY_NGEOM_H

#include "objects/gobject.h"

#include <cstdint>

enum {
  geomMaxDim = 8,          // the most dimensions geomLinePtDist takes
  geomLengthRows = 15,     // Romberg rows before geomCurveLength gives up
};

// geomLinePtDist and geomLineIntersect flags.
enum : uint32_t {
  geomUnclamped = 0x0001,  // the parameter of the first line is not held to [0, 1]
  geomFirstOnly = 0x0002,  // geomLineIntersect: the second line's range is not tested
};

// The foot of p on the segment a-b in n dimensions (n <= 8). With d = b - a
// and w = p - a: t = 0 for a degenerate segment (d . d < 1e-30); else,
// unless flags bit 0, t = 0 before a and t = 1 beyond b; else
// t = (w . d) / (d . d). Writes t, the squared distance |w - t d|^2 and the
// foot a + t d. Answers 1 when t came from the division, 0 when clamped or
// degenerate. More than 8 dimensions is reported as an internal error and
// answers 0 with nothing written.
int geomLinePtDist(int n, const double* a, const double* b, const double* p, uint32_t flags, double* tOut,
                   double* distSqOut, double* footOut);

// Closest points p1 + s d1 and p2 + t d2 of two 3-D lines. Answers -1 for
// parallel lines (outputs untouched); otherwise writes the outputs and
// answers 1 when both s and t lie in [0, 1], else 0.
int geomLineLineClosest(const double* p1, const double* d1, const double* p2, const double* d2, double* sOut,
                        double* pt1Out, double* tOut, double* pt2Out);

// Intersection of two 3-D lines within tol: at most two refinement rounds
// from the base points. Writes the outputs, then answers 0 when the two
// points are farther apart than tol, or (unless flags bit 0) s is outside
// [-tol, 1 + tol]; 1 when flags bit 1 is set; else 1 when t is within
// [-tol, 1 + tol], 0 otherwise. A refused division answers 0.
int geomLineIntersect(const double* p1, const double* d1, const double* p2, const double* d2, double tol,
                      uint32_t flags, double* sOut, double* pt1Out, double* tOut, double* pt2Out);

// out = (d . p - d . q) / (d . d) in n dimensions by safe division; answers
// the division's status (0, or -9 when refused, out untouched).
int geomProjParam(int n, const double* p, const double* q, const double* d, double* out);

// The parameter s where the line q + s d meets the hyperplane through p
// with normal nrm: (nrm . p - nrm . q) / (nrm . d) by safe division;
// answers its status.
int geomLinePlaneParam(int n, const double* p, const double* nrm, const double* q, const double* d, double* out);

// Intersection of the plane line p + s d with a circle: answers 1 when
// they miss or d is zero; otherwise writes p + s1 d and p + s2 d with
// s1 = (sqrt(disc) - b) / 2a, s2 = (-sqrt(disc) - b) / 2a and answers 0.
int geomLineCircleIsect(const double* p, const double* d, const double* centre, double radius, double* out1,
                        double* out2);

// Intersection of two circles in the plane: answers 1 when they are apart
// or one lies inside the other; otherwise writes the two points (one point
// twice for tangent circles) and answers 0.
int geomCircleCircleIsect(const double* c1, double r1, const double* c2, double r2, double* out1, double* out2);

// The length of a curve between t0 and t1: Romberg integration of the
// speed |C'(t)| (message 308, mode 1) with Richardson extrapolation.
// Answers 0 with the length in *out once two successive extrapolations
// agree within tol; 1 and 0.0 when 15 rows do not converge.
int geomCurveLength(gobjRec* curve, double t0, double t1, double tol, double* out);

#endif
