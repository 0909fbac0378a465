#include "core/arcangle.h"

#include <cmath>
#include <numbers>

double arcAngleOf(const double centre[3], const double point[3], int flip) {
  const double dx = point[0] - centre[0];
  double dy = point[1] - centre[1];
  if (flip) dy = -dy;
  double turns = std::atan2(dy, dx) / (2.0 * std::numbers::pi);
  if (turns < 0.0) turns += 1.0;
  // A tiny negative angle rounds to exactly 1.0 after the addition; the
  // answer stays inside [0, 1).
  if (turns >= 1.0) turns = 0.0;
  return turns;
}
