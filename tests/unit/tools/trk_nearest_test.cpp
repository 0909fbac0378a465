// The nearest-point search of tangent and perpendicular tracking: what each
// answer of the object's pick messages (349 for 'p', 351 otherwise) does to
// the point and the result.
#include "tools/trk_fixture.h"

#include "core/classes.h"
#include "geometry/line.h"
#include "objects/objmsg.h"

namespace {

using geomfx::near;

struct Pick {
  int answer = 0;
  int message = 0;
};
Pick& pick() {
  static Pick p;
  return p;
}

// A line whose pick messages answer as told and offer (7, 7, 0).
int pickHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == 349 || message == 351) {
    // The five packed words: point, reference, parameter out, point out, 0.
    const auto* block = reinterpret_cast<const intptr_t*>(a);
    auto* offered = reinterpret_cast<double*>(block[3]);
    offered[0] = 7;
    offered[1] = 7;
    offered[2] = 0;
    pick().message = message;
    return pick().answer;
  }
  return objMeth(lineClassId(), message, object, a, b, c);
}

class TrkNearest : public trkfx::TrkTest {};

TEST_F(TrkNearest, AnswersMoveThePointOrNot) {
  static uint16_t id = 0;
  if (!id) id = objClassRegister("tpick", lineClassId(), pickHandler);
  const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0};
  gobjRec* object = hold(lineMake(a, b));
  object->classId = id;
  const double reference[3] = {0.5, 1, 0};
  struct Case {
    int code, answer, result;
    std::vector<double> point;  // where the point ends
  };
  const std::vector<Case> cases = {
      {'p', 1, 0, {7, 7, 0}},         // a point offered: taken
      {'t', 1, 0, {7, 7, 0}},
      {'p', 0, -1, {1, 0, 0}},        // no point: the nearer end (0.6 is nearer 1)
      {'t', 0, -1, {1, 0, 0}},
      {'t', 2, 0, {0.6, 0.2, 0}},      // above 1: kept, success
      {'p', -1, -1, {0.6, 0.2, 0}},    // not handled: kept, failure
  };
  for (const Case& c : cases) {
    pick() = Pick{c.answer, 0};
    double point[3] = {0.6, 0.2, 0};
    EXPECT_EQ(c.result, trkNearestOnObject(c.code, object, point, reference)) << char(c.code) << c.answer;
    EXPECT_TRUE(near(point, c.point)) << char(c.code) << c.answer;
    EXPECT_EQ(c.code == 'p' ? 349 : 351, pick().message);
  }
  // A tie on screen goes to the far end.
  pick() = Pick{0, 0};
  double middle[3] = {0.5, 0.3, 0};
  EXPECT_EQ(-1, trkNearestOnObject('t', object, middle, reference));
  EXPECT_TRUE(near(middle, {1, 0, 0}));
}

}  // namespace
