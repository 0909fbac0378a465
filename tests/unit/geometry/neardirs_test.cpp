// The directions of the curves near a point, from lines in a document.
#include "geometry/neardirs.h"

#include "geometry_fixture.h"

#include "geometry/line.h"
#include "objects/objsend.h"
#include "views/view.h"

namespace {

using geomfx::GeomTest;

class NearDirsTest : public GeomTest {
 protected:
  void SetUp() override {
    GeomTest::SetUp();
    s = sheetfx::sheetWithView();
    vwSetCurView(s.draft);
  }
  void TearDown() override {
    crvNearDirsFree(&list);
    GeomTest::TearDown();
  }
  // A line given to the current document, which frees it when the
  // fixture closes the document.
  static void line(double x0, double y0, double x1, double y1) {
    const double p0[3] = {x0, y0, 0}, p1[3] = {x1, y1, 0};
    EXPECT_EQ(objInsert(lineMake(p0, p1)), 0);
  }
  sheetfx::SheetWithView s{};
  crvDirList list{};
};

TEST_F(NearDirsTest, TwoDirectionsPerCurveFromTheFirstFour) {
  // Five lines through the origin.
  line(-1, 0, 1, 0);
  line(0, -1, 0, 1);
  line(-1, -1, 1, 1);
  line(-1, 1, 1, -1);
  line(-1, -0.5, 1, 0.5);
  const double origin[3] = {0, 0, 0};
  EXPECT_EQ(crvNearDirs(origin, &list, 0.1), 0);
  ASSERT_EQ(list.count, 8u);
  EXPECT_GE(list.capacity, 8u);
  for (uint32_t i = 0; i < list.count; i += 2) {
    const double* t = list.vectors[i];
    const double* n = list.vectors[i + 1];
    EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1.0, 1e-12);
    // The tangent turned about the work plane's normal (0, 0, 1).
    EXPECT_NEAR(n[0], t[1], 1e-12);
    EXPECT_NEAR(n[1], -t[0], 1e-12);
  }

  // Far from every line: none; the list keeps its array.
  const double far[3] = {50, 50, 0};
  EXPECT_EQ(crvNearDirs(far, &list, 0.1), 0);
  EXPECT_EQ(list.count, 0u);
  EXPECT_NE(list.vectors, nullptr);

  crvNearDirsFree(&list);
  EXPECT_EQ(list.vectors, nullptr);
  EXPECT_EQ(list.count, 0u);
  EXPECT_EQ(list.capacity, 0u);
  crvNearDirsFree(nullptr);
}

}  // namespace
