// aGetSelectGobj: the angle of the line of a clump nearest to a point.
#include "objects/clump.h"

#include "core/classes.h"
#include "fe/opcall.h"
#include "objects/attr.h"
#include "objects/objsend.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

// The squared distance from point to the curve's nearest point by its hit
// test (message 349, the point given as both points); false when the class
// has no hit test or left the nearest point unwritten.
bool hitDistance(gobjRec* curve, const double* point, double* squared) {
  constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();
  double nearest[3] = {kUnset, kUnset, kUnset};
  double parameter = 0.0;
  if (objHitTest(curve, point, point, &parameter, nearest, 0) < 0) return false;
  double sum = 0.0;
  for (int k = 0; k < 3; ++k) {
    if (!std::isfinite(nearest[k])) return false;
    const double d = nearest[k] - point[k];
    sum += d * d;
  }
  *squared = sum;
  return true;
}

// The curve member nearest to point, members of nested clumps included, in
// chain order with each nested clump's members in its place; the first of
// equal distances wins. Null when no member answers the hit test. The walk
// keeps its own stack, so that deep nesting cannot exhaust the call stack.
gobjRec* nearestCurve(clumpRec* clump, const double* point) {
  gobjRec* best = nullptr;
  double bestSquared = 0.0;
  std::vector<gobjRec*> resume;  // where each enclosing clump's chain goes on
  gobjRec* member = clumpFirst(clump);
  while (member || !resume.empty()) {
    if (!member) {
      member = resume.back();
      resume.pop_back();
      continue;
    }
    gobjRec* next = clumpNext(member);
    if (objInClass(member, "clump") == 1) {
      resume.push_back(next);
      member = clumpFirst(reinterpret_cast<clumpRec*>(member));
      continue;
    }
    double squared = 0.0;
    if (objInClass(member, "curve") == 1 && hitDistance(member, point, &squared) && (!best || squared < bestSquared)) {
      best = member;
      bestSquared = squared;
    }
    member = next;
  }
  return best;
}

}  // namespace

int clumpOpGetSelectGobj(feArgs* args) {
  auto* clump = static_cast<clumpRec*>(args->in[0].record);
  const auto* point = static_cast<const double*>(args->in[1].block);
  auto* angle = static_cast<double*>(args->out[0]);
  *angle = 0.0;
  gobjRec* nearest = clump ? nearestCurve(clump, point) : nullptr;
  if (!nearest || objInClass(nearest, "line") != 1) return 0;
  double value = 0.0;
  if (attrGet(nearest, "angle", attrTypeReal, &value, nullptr) == 0) *angle = value;
  return 0;
}
