// Unfolding a view across a fold line entered with the mouse: the copy
// lies beside the source on the far side of the line, turned a quarter turn
// about it (points on the line keep their place on the sheet), the unfold
// frame holds the line, and the source view stays current. One point, a
// line of no length or no current view make nothing.
#include "tools/trk_fixture.h"

#include "core/matrix.h"
#include "geometry/lastpt.h"
#include "views/vwunfold.h"

#include <algorithm>
#include <cmath>

namespace {

using geomfx::near;

class UnfoldTrack : public trkfx::TrkTest {
protected:
  void SetUp() override {
    TrkTest::SetUp();
    vwSetCurView(s.view);
  }

  // aUnfoldTrack at a press on `from` dragged to `to` (a click when they
  // are the same); the answer, the boolean in *made.
  int track(std::vector<double> from, std::vector<double> to, int32_t* made) {
    const POINT at = pixel(from[0], from[1]);
    std::vector<POINT> moves;
    if (from != to) {
      const POINT end = pixel(to[0], to[1]);
      moves = {POINT{(at.x + end.x) / 2, (at.y + end.y) / 2}, end};
    }
    queueDrag(at, moves);
    const int32_t press[2] = {at.x, at.y};
    return call(vwOpUnfoldTrack, {argBlock(press)}, {made});
  }

  static std::vector<double> screenOf(const viewRec* view, const std::vector<double>& p) {
    double out[3];
    aPtTransform(3, p.data(), view->worldToScreen, out);
    return {out[0], out[1], out[2]};
  }
  static std::vector<double> along(const double base[3], double t, const double dir[3]) {
    return {base[0] + t * dir[0], base[1] + t * dir[1], base[2] + t * dir[2]};
  }
  static double length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
  static bool sameScreen(const std::vector<double>& a, const std::vector<double>& b) {
    return std::fabs(a[0] - b[0]) < 1e-6 && std::fabs(a[1] - b[1]) < 1e-6;
  }
  static int bufferCount() {
    ieToolPoint* buffer = nullptr;
    int count = 0;
    ieGetPointBuffer(&buffer, &count);
    return count;
  }
};

TEST_F(UnfoldTrack, DraggedFoldLineUnfoldsTheViewBesideItselfTurnedAboutTheLine) {
  struct Case {
    const char* name;
    std::vector<double> from, to;
    std::vector<double> dir, normal;  // expected unit direction and normal
    double shift[2];                  // expected move of the box
    double length, turns;             // the last segment's length and angle
  };
  const double r = std::sqrt(0.5);
  const Case cases[] = {
      {"vertical line right of the middle", {0.5, -0.5}, {0.5, 0.5}, {0, 1, 0}, {1, 0, 0}, {2, 0}, 1, 0.25},
      {"leftward line below the middle", {0.5, -0.5}, {-0.5, -0.5}, {-1, 0, 0}, {0, -1, 0}, {0, -2}, 1, 0.5},
      {"diagonal across the upper right corner", {0.2, 0.8}, {0.8, 0.2}, {r, -r, 0}, {r, r, 0}, {2, 2}, 0.6 / r,
       -0.125},
  };
  const double toViewer[3] = {0, 0, 1};  // the source view looks down z
  viewRec* source = s.view;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int views = s.sheet->viewCount;
    int32_t made = -1;
    ASSERT_EQ(0, track(c.from, c.to, &made));
    EXPECT_EQ(1, made);
    EXPECT_EQ(source, vwCurView());
    EXPECT_EQ(0, bufferCount());
    EXPECT_NEAR(c.length, lastPtLength(), 0.06);
    EXPECT_NEAR(c.turns, lastPtAngle(), 0.02);

    // The copy: a new attached view of the same model, its box moved across
    // the line until it touches the source box.
    ASSERT_EQ(views + 1, s.sheet->viewCount);
    viewRec* copy = s.sheet->firstView;
    ASSERT_TRUE(viewIs(copy));
    ASSERT_NE(source, copy);
    EXPECT_TRUE(copy->flags & viewAttached);
    EXPECT_EQ(source->model, copy->model);
    const double shift[2] = {copy->box[0] - source->box[0], copy->box[1] - source->box[1]};
    EXPECT_NEAR(c.shift[0], shift[0], 0.15);
    EXPECT_NEAR(c.shift[1], shift[1], 0.15);
    EXPECT_NEAR(copy->box[2] - copy->box[0], source->box[2] - source->box[0], 1e-9);
    EXPECT_NEAR(copy->box[3] - copy->box[1], source->box[3] - source->box[1], 1e-9);
    const double gapX = std::fabs(shift[0]) - (source->box[2] - source->box[0]);
    const double gapY = std::fabs(shift[1]) - (source->box[3] - source->box[1]);
    EXPECT_NEAR(0, std::max(gapX, gapY), 1e-9) << "the boxes touch";

    // The frame: the midpoint, unit direction and unit normal.
    double origin[3], dir[3], normal[3];
    vwGetUnfoldFrame(origin, dir, normal);
    EXPECT_NEAR((c.from[0] + c.to[0]) / 2, origin[0], 0.03);
    EXPECT_NEAR((c.from[1] + c.to[1]) / 2, origin[1], 0.03);
    EXPECT_NEAR(0, origin[2], 1e-9);
    EXPECT_NEAR(1, length(dir), 1e-9);
    EXPECT_NEAR(1, length(normal), 1e-9);
    EXPECT_NEAR(0, dir[0] * normal[0] + dir[1] * normal[1] + dir[2] * normal[2], 1e-9);
    EXPECT_TRUE(near(dir, c.dir, 0.05));
    EXPECT_TRUE(near(normal, c.normal, 0.05));

    // The copy looks from beyond the line (along the normal); what it
    // shows of each world point, the source shows of the point turned
    // about the fold line. Points on the line stay where they were.
    double copyNormal[3];
    std::copy(copy->states[0].normal, copy->states[0].normal + 3, copyNormal);
    const double n = length(copyNormal);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(normal[k], copyNormal[k] / n, 1e-9);
    struct Image {
      std::vector<double> point, turned;
    };
    const Image images[] = {
        {along(origin, 0, dir), along(origin, 0, dir)},
        {along(origin, 0.7, dir), along(origin, 0.7, dir)},
        {along(origin, -1.3, dir), along(origin, -1.3, dir)},
        {along(origin, 0.4, toViewer), along(origin, -0.4, normal)},   // in front: towards the source
        {along(origin, -0.4, toViewer), along(origin, 0.4, normal)},   // behind: beyond the line
        {along(origin, 0.6, normal), along(origin, 0.6, toViewer)},    // across: seen end-on
    };
    for (const Image& image : images) {
      EXPECT_TRUE(sameScreen(screenOf(copy, image.point), screenOf(source, image.turned)))
          << image.point[0] << " " << image.point[1] << " " << image.point[2];
    }
    // Its centre is drawn at the middle of its box.
    const std::vector<double> centre(copy->states[0].centre, copy->states[0].centre + 3);
    double sheetCentre[3];
    aPtTransform(3, centre.data(), copy->orientScale, sheetCentre);
    EXPECT_NEAR((copy->box[0] + copy->box[2]) / 2, sheetCentre[0], 1e-9);
    EXPECT_NEAR((copy->box[1] + copy->box[3]) / 2, sheetCentre[1], 1e-9);
  }
}

TEST_F(UnfoldTrack, OneClickMakesNothingUntilTheSecondEndsTheLine) {
  const int views = s.sheet->viewCount;
  int32_t made = -1;
  ASSERT_EQ(0, track({0.5, -0.5}, {0.5, -0.5}, &made));
  EXPECT_EQ(0, made);
  EXPECT_EQ(views, s.sheet->viewCount);
  EXPECT_EQ(s.view, vwCurView());
  EXPECT_EQ(1, bufferCount());

  ASSERT_EQ(0, track({0.5, 0.5}, {0.5, 0.5}, &made));
  EXPECT_EQ(1, made);
  EXPECT_EQ(views + 1, s.sheet->viewCount);
  EXPECT_EQ(0, bufferCount());
  double origin[3], dir[3], normal[3];
  vwGetUnfoldFrame(origin, dir, normal);
  EXPECT_TRUE(near(dir, {0, 1, 0}, 0.05));
  EXPECT_TRUE(near(normal, {1, 0, 0}, 0.05));
}

TEST_F(UnfoldTrack, LineOfNoLengthOrNoCurrentViewMakesNothing) {
  const double before[3] = {7, 8, 9};
  vwSetUnfoldFrame(before, before, before);
  const int views = s.sheet->viewCount;
  int32_t made = -1;

  // Dragged away and back: both ends on one spot.
  const POINT at = pixel(0.5, -0.5);
  queueDrag(at, {POINT{at.x + 30, at.y}, at});
  const int32_t press[2] = {at.x, at.y};
  ASSERT_EQ(0, call(vwOpUnfoldTrack, {argBlock(press)}, {&made}));
  EXPECT_EQ(0, made);
  EXPECT_EQ(0, bufferCount());

  vwSetCurView(nullptr);
  made = -1;
  ASSERT_EQ(0, call(vwOpUnfoldTrack, {argBlock(press)}, {&made}));
  EXPECT_EQ(0, made);

  EXPECT_EQ(views, s.sheet->viewCount);
  double origin[3], dir[3], normal[3];
  vwGetUnfoldFrame(origin, dir, normal);
  EXPECT_EQ(7, origin[0]);
  EXPECT_EQ(8, dir[1]);
  EXPECT_EQ(9, normal[2]);
}

}  // namespace
