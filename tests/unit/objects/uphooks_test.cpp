// Without the folders above it the object model answers as the program does
// with no view, work plane or document: the world's axes, scale 1, no open
// documents to visit.
#include "objects/uphooks.h"

#include <gtest/gtest.h>

namespace {

TEST(UpHooks, WithoutViewsTheWorldFrameAndNoView) {
  objSetViewHooks({});
  const struct {
    int index;
    double x, y, z;
  } cases[] = {{0, 1, 0, 0}, {1, 0, 1, 0}, {2, 0, 0, 1}, {3, 0, 0, 0}, {-1, 0, 0, 0}, {4, 0, 0, 0}};
  for (const auto& c : cases) {
    double axis[3] = {7, 7, 7};
    objPlaneAxis(c.index, axis);
    EXPECT_EQ(axis[0], c.x) << c.index;
    EXPECT_EQ(axis[1], c.y) << c.index;
    EXPECT_EQ(axis[2], c.z) << c.index;
  }
  double scale = 0;
  EXPECT_EQ(objViewScale(0, &scale), -1);
  EXPECT_EQ(scale, 1.0);
  int visits = 0;
  objForEachOpenDoc([](dbDocRec*, void* context) { ++*static_cast<int*>(context); }, &visits);
  EXPECT_EQ(visits, 0);
  const objSavedPlane saved = objPushWorldPlane();
  EXPECT_EQ(saved.plane, nullptr);
  objPopWorldPlane(saved);
  double points[objPointsMax][3];
  EXPECT_EQ(objToolPoints(points), 0);
}

}  // namespace
