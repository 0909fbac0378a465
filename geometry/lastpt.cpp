// The last-point registers: one copy for the program, written by the tools
// and the line class, read by scripts through the operators.
#include "geometry/lastpt.h"

#include "core/vec.h"
#include "fe/script.h"
#include "geometry/line.h"
#include "geometry/lastpt_internal.h"

namespace lastpt {

double point[3];
double delta[3];
double length;
double angle;
double general[3];

}  // namespace lastpt

using namespace lastpt;

void lastPtSet(const double p[3]) { vecCopy3(p, point); }

int lastPtUpdate(const double p[3], int notify) {
  if (!notify) return 0;
  vecCopy3(p, point);
  return feExecf("aUpdate");
}

void lastPtFromSegment(const double a[3], const double b[3]) {
  // Copies first: a or b may be one of the registers.
  double from[3], to[3];
  vecCopy3(a, from);
  vecCopy3(b, to);
  length = vecDist3(from, to);
  angle = length == 0.0 ? 0.0 : lineWpAngle(from, to);
  vecCopy3(to, point);
  vecSub3(to, from, delta);
}

void calcSetLastLen(double value) { length = value; }
void calcSetLastAng(double turns) { angle = turns; }
void lastPointSet(const double p[3]) { vecCopy3(p, general); }

void lastPtGet(double out[3]) { vecCopy3(point, out); }
void lastPtDelta(double out[3]) { vecCopy3(delta, out); }
double lastPtLength() { return length; }
double lastPtAngle() { return angle; }
void lastPointGet(double out[3]) { vecCopy3(general, out); }

void lastPtReset() {
  vecZeroN(3, point);
  vecZeroN(3, delta);
  length = 0.0;
  angle = 0.0;
  vecZeroN(3, general);
}
