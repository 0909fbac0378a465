#include "tools/snapround.h"

#include "tools/snapsimplest.h"

#include <cmath>

void snapRoundPoint(int letter, const double lo[3], const double hi[3], double point[3]) {
  if (letter == 'r') {
    daSimplestBetween(3, lo, hi, point);
    return;
  }
  for (int i = 0; i < 3; ++i) {
    double w = (hi[i] - lo[i]) / 2.0;
    if (w == 0.0 || !std::isfinite(w)) continue;
    double e = std::floor(std::log10(std::fabs(w)));
    double scale = std::pow(10.0, e);
    // Dividing by 10^e (rather than multiplying by 10^-e) keeps steps such
    // as 0.01 exact in the product.
    point[i] = std::round(point[i] / scale) * scale;
  }
}
