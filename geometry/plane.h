// Planes: the plane record and the small routines on it that the snap
// engine, the three-point and tangent arcs and the export plug-in share:
// planes from a normal and a point, from three points or as the bisector of
// two points, a line meeting a plane, the foot of a point on a plane and the
// common point of three planes.
//
// A plane holds its normal n as given (never normalised) and d, so that
// n . p + d = 0 for every point p of the plane. Every routine writes through
// the caller's out pointers; nothing is kept between calls.
#ifndef PLUMET_GEOMETRY_PLANE_H
#define PLUMET_GEOMETRY_PLANE_H

struct planeRec {
  double n[3];  // the normal, as given
  double d;     // n . p + d = 0 on the plane
};

// n = normal, d = -(normal . point). Answers 0.
int planeFromNormal(const double* normal, const double* point, planeRec* out);
// The same plane; answers out.
planeRec* planeSetNormal(const double* normal, const double* point, planeRec* out);
// The plane through p1 with n = (p2 - p1) x (p0 - p1): a zero normal for
// collinear points. Answers 0.
int planeFrom3Pts(const double* p0, const double* p1, const double* p2, planeRec* out);
// The plane of the points equally far from p0 and p1: n = p0 - p1 through
// their midpoint. Answers 0.
int planeBisector(const double* p0, const double* p1, planeRec* out);

// Where the line through point along direction meets the plane. The out
// point starts at the given point; when the direction is parallel to the
// plane (|direction . n| < 1e-8, a zero normal included) it stays there and
// the answer is -1. Otherwise up to 8 steps along the direction refine it,
// each by the residual n . out + d over -(direction . n), until the
// residual is exactly 0 or the quotient cannot be formed; answers 0. out
// may be point.
int planeLineHit(const double* direction, const double* point, const planeRec* plane, double* out);
// The foot of the point on the plane along its normal (planeLineHit with
// the normal as direction); a point on the plane is left as it is.
int planeProjectPt(const double* point, const planeRec* plane, double* out);
// The one point the three planes share, from the 3 x 3 system of their
// rows (n, d) (matSolveN). Answers 0, or matSolveN's negative code when no
// single point exists (two planes parallel, or all three through one line);
// out is then left alone.
int planeMeet3(const planeRec* plane0, const planeRec* plane1, const planeRec* plane2, double* out);

#endif
