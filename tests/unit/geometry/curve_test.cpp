// The curve base class: the defaults a subclass inherits, the senders, the
// operator aUpdateStyles, and the sieve guard of objFree.
#include "geometry_fixture.h"

#include "core/classes.h"
#include "fe/exec.h"
#include "fe/script.h"
#include "geometry/curve.h"
#include "geometry/line.h"
#include "geometry/point.h"
#include "objects/group.h"
#include "objects/objmsg.h"
#include "objects/pen.h"

#include <cstring>
#include <map>

namespace {

// "tcurve": a curve that answers only what a test asks of it; every other
// message goes to "curve". It remembers what it was sent.
struct TCurve {
  uint16_t id = 0;
  bool evaluates = false;        // answers 308 with the segment (0,0,0)-(3,4,0)
  bool noLength = false;         // answers 314 with -4127
  std::map<int, int> sent;
  double reParam[2] = {-1, -1};  // the parameters of the last 310
  gobjRec** reParamSlot = nullptr;
};
TCurve& tc() {
  static TCurve s;
  return s;
}

int tcurveHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  TCurve& s = tc();
  ++s.sent[message];
  switch (message) {
    case msgNew: return gobjNewAs(s.id, sizeof(gobjRec), a);
    case msgEvalAt:
      if (s.evaluates) {
        auto* rec = reinterpret_cast<crvEvalRec*>(a);
        const double d[3] = {3, 4, 0};
        for (int i = 0; i < 3; ++i) rec->out[i] = rec->mode == 0 ? rec->t * d[i] : rec->mode == 1 ? d[i] : 0.0;
        return 0;
      }
      break;
    case msgArcLength:
      if (s.noLength) return crvNoMethod;
      break;
    case msgSubCurve:
      s.reParam[0] = *reinterpret_cast<const double*>(a);
      s.reParam[1] = *reinterpret_cast<const double*>(b);
      s.reParamSlot = reinterpret_cast<gobjRec**>(c);
      return 0;
    default: break;
  }
  return objMeth(crvClassId(), message, object, a, b, c);
}

// "tplain": a drawing object that is no curve.
int tplainHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(objClassByName("tplain"), sizeof(gobjRec), a);
  return gobjHandler(object, message, a, b, c);
}

class Curve : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    TCurve& s = tc();
    s.id = objClassRegister("tcurve", crvClassId(), tcurveHandler);
    s.evaluates = s.noLength = false;
    s.sent.clear();
    s.reParam[0] = s.reParam[1] = -1;
    s.reParamSlot = nullptr;
  }
  gobjRec* newCurve() { return hold(objNew(tc().id)); }
};

TEST_F(Curve, DefaultsLeaveThePresetsOfTheSenders) {
  gobjRec* curve = newCurve();
  double point[3] = {7, 7, 7};
  EXPECT_EQ(crvPoint(curve, 0.5, point), 0);
  EXPECT_TRUE(geomfx::near(point, {0, 0, 0}));
  point[0] = 9;
  EXPECT_EQ(crvPointAt(curve, 0.5, 2, 0, point), 0);
  EXPECT_TRUE(geomfx::near(point, {0, 0, 0}));

  double squared = 5, param = 5;
  const double screen[2] = {10, 10};
  EXPECT_EQ(crvNearest(curve, screen, 3.0, &squared, &param, 1), -1);
  EXPECT_EQ(squared, -1.0);
  EXPECT_EQ(param, -1.0);

  EXPECT_EQ(crvClipTest(curve), 1);
  EXPECT_EQ(crvIsClosed(curve), 0);
  EXPECT_EQ(crvReverse(curve), 0);
  double foot[3] = {1, 2, 3}, t = 4, d = 5;
  EXPECT_EQ(crvFootPoint(curve, point, 0, 0, &t, &d, foot), 0);
  EXPECT_TRUE(geomfx::near(foot, {1, 2, 3}));
  // The piece request climbs to the root.
  gobjRec* slot = curve;
  tc().evaluates = true;  // a class that answers 310 itself is tested below
  EXPECT_EQ(objMeth(crvClassId(), msgSubCurve, curve, 0, 0, reinterpret_cast<intptr_t>(&slot)), objNotHandled);
}

TEST_F(Curve, PointAtTSendsTheEvaluationInModeZero) {
  tc().evaluates = true;
  gobjRec* curve = newCurve();
  const double t = 0.5;
  double point[3] = {9, 9, 9};
  EXPECT_EQ(objMeth(curve->classId, msgPointAtT, curve, reinterpret_cast<intptr_t>(&t),
                    reinterpret_cast<intptr_t>(point)), 0);
  EXPECT_TRUE(geomfx::near(point, {1.5, 2, 0}));
}

TEST_F(Curve, LengthFallsBackToTheSecondRequestOnlyOnNoMethod) {
  gobjRec* curve = newCurve();
  tc().evaluates = true;
  double length = -7;
  // The default measures by the speed the class gives: |(3, 4, 0)| = 5.
  EXPECT_EQ(crvLength(curve, 0, 1, 1e-9, &length), 0);
  EXPECT_DOUBLE_EQ(length, 5.0);
  EXPECT_EQ(tc().sent[msgCurve315], 0);

  tc().noLength = true;
  length = -7;
  EXPECT_EQ(crvLength(curve, 0, 1, 1e-9, &length), 0);
  EXPECT_EQ(tc().sent[msgCurve315], 1);
  EXPECT_EQ(length, -7);  // the default of 315 writes nothing
}

TEST_F(Curve, SetLengthPutsTheCurveInTheSlotFirst) {
  gobjRec* curve = newCurve();
  gobjRec* slot = nullptr;
  EXPECT_EQ(crvSetLength(curve, 2.5, &slot), 0);
  EXPECT_EQ(slot, curve);
  EXPECT_EQ(tc().sent[msgSetLength], 1);
}

TEST_F(Curve, ExtentsGrowByTheWidestPenOnEverySide) {
  gobjRec* curve = newCurve();
  double box[6] = {0, 0, 0, 1, 2, 3};
  EXPECT_EQ(crvExtents(curve, box), 0);
  const double m = penLargestWidth();
  EXPECT_TRUE(geomfx::near(box, {-m, -m, -m, 1 + m, 2 + m, 3 + m}));
}

TEST_F(Curve, ReParamReportsAForeignSlotAndSendsAllTheSame) {
  gobjRec* curve = newCurve();
  gobjRec* other = newCurve();
  gobjRec* slot = curve;
  EXPECT_EQ(objReParam(curve, 0.25, 0.75, &slot), 0);
  EXPECT_EQ(boxes(), "");
  EXPECT_EQ(tc().reParam[0], 0.25);
  EXPECT_EQ(tc().reParam[1], 0.75);

  slot = other;
  EXPECT_EQ(objReParam(curve, 0, 1, &slot), 0);
  EXPECT_NE(boxes().find("bad rtnObj in objReParam"), std::string::npos) << boxes();
  EXPECT_EQ(tc().sent[msgSubCurve], 2);
}

TEST_F(Curve, UpdateStylesRebuildsEachMemberInItsOwnSlot) {
  // The group owns the curves: it releases (and so frees) them when the
  // operator has consumed it.
  gobjRec* a = objNew(tc().id);
  gobjRec* b = objNew(tc().id);
  grpBegin();
  grpAdd(a);
  grpAdd(b);
  ASSERT_EQ(fePushValue(grpEnd()), 0);
  EXPECT_EQ(feExecString("aUpdateStyles"), 0);
  EXPECT_EQ(tc().sent[msgSubCurve], 2);
  EXPECT_EQ(tc().reParam[0], 0.0);
  EXPECT_EQ(tc().reParam[1], 1.0);

  tc().sent.clear();
  grpBegin();
  ASSERT_EQ(fePushValue(grpEnd()), 0);
  EXPECT_EQ(feExecString("aUpdateStyles"), 0);
  EXPECT_EQ(tc().sent[msgSubCurve], 0);
}

// A record freed while the sieve still holds it would leave a dangling
// entry in the spatial index, whatever its class.
TEST_F(Curve, NothingStillInASieveIsFreed) {
  const uint16_t plain = objClassRegister("tplain", gobjClassId(), tplainHandler);
  struct Case {
    const char* what;
    uint16_t classId;
  } cases[] = {{"curve", tc().id}, {"line", objClassByName("line")}, {"non-curve", plain}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(c.classId, 0);
    const size_t shown = plTestMessageBoxes().size();
    gobjRec* object = objNew(c.classId);
    ASSERT_NE(object, nullptr);
    object->flags |= gobjInSieve;
    objFree(object);
    ASSERT_EQ(plTestMessageBoxes().size(), shown + 1);
    EXPECT_NE(plTestMessageBoxes().back().text.find("Tried to free object still in the sieve!"), std::string::npos);
    EXPECT_EQ(object->classId, c.classId);  // still a live record
    object->flags &= uint16_t(~gobjInSieve);
    objFree(object);
  }
}

// Class ids follow registration order under "curve".
TEST_F(Curve, TheDrawingClassesStandUnderCurveInOrder) {
  const uint16_t curve = objClassByName("curve");
  EXPECT_EQ(curve, crvClassId());
  EXPECT_EQ(objSuperClass(curve), gobjClassId());
  EXPECT_EQ(objClassByName("line"), curve + 1);
  EXPECT_EQ(objClassByName("point"), curve + 2);
  EXPECT_EQ(objSuperClass(objClassByName("point")), curve);
}

TEST(CurveDrawFlag, StoresAndAnswersItsValue) {
  EXPECT_EQ(lineSetDrawFlag(1), 1);
  EXPECT_EQ(lineDrawFlag(), 1);
  EXPECT_EQ(lineSetDrawFlag(0), 0);
  EXPECT_EQ(lineDrawFlag(), 0);
}

}  // namespace
