#include "core/boxpoints.h"

extern "C" void boxExtendPoints(double box[6], const double* points, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    const double* p = points + 3 * i;
    for (int k = 0; k < 3; ++k) {
      if (p[k] < box[k])
        box[k] = p[k];
      else if (p[k] > box[k + 3])
        box[k + 3] = p[k];
    }
  }
}
