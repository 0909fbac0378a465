#include "objects/bboxdraw.h"

#include "core/sfloat.h"
#include "draw/xforms.h"

void bboxDraw(const int16_t* box) {
  double v[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(box), v);
  // Corner i takes x from bit 0, y from bit 1 and z from bit 2 (0: minimum).
  auto corner = [&](int i, double p[3]) {
    for (int axis = 0; axis < 3; ++axis) p[axis] = v[axis + ((i >> axis) & 1 ? 3 : 0)];
  };
  // The edges join corners that differ in one bit.
  static const int kEdges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                    {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& edge : kEdges) {
    double a[3], b[3];
    corner(edge[0], a);
    corner(edge[1], b);
    vwMoveToW(a);
    vwLineToW(b);
  }
}
