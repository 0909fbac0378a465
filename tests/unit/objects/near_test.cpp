// Picking: aNearest and its probe over the document's sieve, seen through an
// identity view (screen x, y are world x, y; the probe point is (10, 10)).
#include "near_fixture.h"

#include "core/errors.h"

namespace {

using nearfx::NearTest;
using nearfx::classes;

TEST_F(NearTest, AnswersTheNearestObjectsInOrderOfDistance) {
  gobjRec* third = place(0, 13, 20, 13);   // 3 above the point
  gobjRec* first = place(0, 11, 20, 11);   // 1 above
  gobjRec* second = place(0, 8, 20, 8);    // 2 below
  EXPECT_EQ(nearest("/probe [10 10] /count 3"), (std::vector<gobjRec*>{first, second, third}));
  EXPECT_EQ(nearest("/probe [10 10]"), std::vector<gobjRec*>{first}) << "one object by default";
  EXPECT_EQ(nearest("/box [0 0 20 20] /count 1"), std::vector<gobjRec*>{first}) << "the middle of the box";
  EXPECT_TRUE(nearest("/probe [100 100]").empty());
}

TEST_F(NearTest, ConstructionObjectsAreLeftOutWhenSeveralAreWanted) {
  gobjRec* helper = place(0, 10, 20, 10, "construction");  // through the point
  gobjRec* drawn = place(0, 11, 20, 11);
  gobjRec* other = place(0, 12, 20, 12);
  EXPECT_EQ(nearest("/probe [10 10] /count 3"), (std::vector<gobjRec*>{drawn, other}));
  EXPECT_EQ(nearest("/probe [10 10] /count 1"), std::vector<gobjRec*>{helper})
      << "0.9 added to a distance of 0 still beats the line 1 away";
}

TEST_F(NearTest, HatchLosesToALineAtTheSameDistance) {
  gobjRec* hatch = place(0, 11, 20, 11, "Layer1", classes().hatch);
  gobjRec* line = place(0, 9, 20, 9);
  EXPECT_EQ(nearest("/probe [10 10]"), std::vector<gobjRec*>{line});
  EXPECT_EQ(nearest("/probe [10 10] /type (hatch)"), std::vector<gobjRec*>{hatch})
      << "alone, found once the radius is wide enough for its penalty";
}

// The radius of each attempt is the tolerance the curves are asked with: a
// diagonal line far from the point whose box holds it is measured by every
// pass and never found.
TEST_F(NearTest, RadiusDoublesFromFourUpToTheHitRadius) {
  struct Case {
    const char* keys;
    int32_t documentRadius;
    std::vector<double> radii;
  };
  const Case cases[] = {
      {"/probe [10 10] /hitrad 12", 12, {4, 8, 12}},
      {"/probe [10 10] /hitrad 2", 12, {2}},
      {"/probe [10 10]", 20, {4, 8, 16, 20}},
      {"/probe [10 10]", 0, {4, 8}},
  };
  place(0, 100, 100, 0);
  for (const Case& c : cases) {
    doc.hitRadius = uint32_t(c.documentRadius);
    classes().tolerances.clear();
    EXPECT_TRUE(nearest(c.keys).empty()) << c.keys;
    EXPECT_EQ(classes().tolerances, c.radii) << c.keys << " with document radius " << c.documentRadius;
  }
}

TEST_F(NearTest, AtMostTwentyFiveCandidates) {
  for (int i = 0; i < 30; ++i) place(0, 10 + i * 0.01, 20, 10 + i * 0.01);
  EXPECT_EQ(nearest("/probe [10 10] /count 30").size(), 25u);
}

TEST_F(NearTest, AnObjectIsCollectedOnceOverTheAttempts) {
  gobjRec* near1 = place(0, 11, 20, 11);
  gobjRec* near2 = place(0, 7, 20, 7);  // 3 away: found by the first pass
  gobjRec* away = place(0, 16, 20, 16);  // 6 away: found by the second
  EXPECT_EQ(nearest("/probe [10 10] /count 5"), (std::vector<gobjRec*>{near1, near2, away}));
}

TEST_F(NearTest, TwinsAreDroppedAndTheFarEndIsMarked) {
  gobjRec* first = place(0, 11, 20, 11);
  place(20, 11, 0, 11);  // the same segment the other way round
  const std::vector<gobjRec*> found = nearest("/probe [10 10] /count 2");
  ASSERT_EQ(found.size(), 1u);

  EXPECT_EQ(nearest("/probe [18 10]"), std::vector<gobjRec*>{found[0]});
  EXPECT_EQ(found[0]->flags & gobjFarEnd, found[0] == first ? gobjFarEnd : 0) << "picked past its middle";
  nearest("/probe [2 10]");
  EXPECT_EQ(found[0]->flags & gobjFarEnd, found[0] == first ? 0 : gobjFarEnd);
}

TEST_F(NearTest, FlagsDecideWhatMayBePicked) {
  gobjRec* hidden = place(0, 10, 20, 10);
  hidden->flags |= gobjHidden;
  gobjRec* unselectable = place(0, 10.5, 20, 10.5);
  unselectable->flags |= gobjNoSelect;
  gobjRec* selected = place(0, 11, 20, 11);
  selected->flags |= gobjSelected;
  gobjRec* locked = place(0, 11.5, 20, 11.5);
  locked->flags |= gobjLocked;
  gobjRec* plain = place(0, 12, 20, 12);
  struct Case {
    const char* keys;
    std::vector<gobjRec*> want;
  };
  const Case cases[] = {
      {"/probe [10 10] /count 9", {selected, locked, plain}},
      {"/probe [10 10] /count 9 /select true", {selected}},
      {"/probe [10 10] /count 9 /select false", {locked, plain}},
      {"/probe [10 10] /count 9 /locked false", {selected, plain}},
      {"/probe [10 10] /count 9 /locked true /select false", {locked}},
  };
  for (const Case& c : cases) EXPECT_EQ(nearest(c.keys), c.want) << c.keys;
}

TEST_F(NearTest, ObjectsOfAnotherModelAreNotPicked) {
  gobjRec* other = place(0, 10, 20, 10);
  other->owner = 2;
  gobjRec* mine = place(0, 11, 20, 11);
  doc.currentModel = 1;
  EXPECT_EQ(nearest("/probe [10 10] /count 2"), std::vector<gobjRec*>{mine});
}

TEST_F(NearTest, LookinTestsTheMembersOfContainers) {
  auto* bag = reinterpret_cast<nearfx::tbagRec*>(objNew(classes().tbag));
  nearfx::tlineRec* member = segment(0, 11, 20, 11);
  objRetain(&member->head);
  bag->members[0] = &member->head;
  bag->count = 1;
  bag->head.layer = uint8_t(number("Layer1"));
  ASSERT_EQ(objInsert(&bag->head), 0);
  EXPECT_TRUE(nearest("/probe [10 10]").empty()) << "a container does not measure itself";
  EXPECT_EQ(nearest("/probe [10 10] /lookin true"), std::vector<gobjRec*>{&member->head});
}

TEST_F(NearTest, XformMeasuresCopiesInTheCurrentFrame) {
  gobjRec* line = place(0, 11, 20, 11);
  ASSERT_EQ(run("[/probe [10 10] /xform true] aNearest"), 0);
  feStack* operands = *feOperandStack();
  auto* group = static_cast<glist*>(feStackIndex(operands, 0)->w0.obj);
  gobjRec* copy = grpFirst(group);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, line);
  EXPECT_EQ(copy->classId, line->classId);
  clearStack();
}

// The operator's signature ignores its answer: a refused list leaves the
// null result where the group would be.
TEST_F(NearTest, KeyedListErrors) {
  place(0, 11, 20, 11);
  for (const char* text : {"5 aNearest", "[/probe 5] aNearest", "[/probe [1 2 3]] aNearest"}) {
    EXPECT_EQ(run(text), 0) << text;
    EXPECT_EQ(stack(), "-null-") << text;
    clearStack();
  }
  feObject five;
  feMakeInt(&five, 5);
  feArg in[1];
  in[0].value = &five;
  void* group = nullptr;
  void* out[1] = {&group};
  feArgs args{in, 1, out, 1, 0};
  EXPECT_EQ(nearNearestOp(&args), feErrTypeCheck);
  EXPECT_EQ(group, nullptr);
}

TEST_F(NearTest, NearProbeTakesItsArguments) {
  place(0, 11, 20, 11);
  gobjRec* hatch = place(0, 12, 20, 12, "Layer1", classes().hatch);
  const double point[2] = {10, 10};
  glist* group = nullptr;
  ASSERT_EQ(nearProbe(point, 1, "hatch", 5, 12, nearDefaultMask, 0, &group), 0);
  EXPECT_EQ(grpFirst(group), hatch);
  grpFree(group);
}

// sieveNear: the curves within a world distance of a world point, each with
// the parameter of its nearest point.
struct Hit {
  gobjRec* object;
  double param;
};
int collectHit(gobjRec* object, void* context, double param) {
  static_cast<std::vector<Hit>*>(context)->push_back({object, param});
  return 0;
}

TEST_F(NearTest, SieveNearGivesTheCurvesWithinTheDistance) {
  gobjRec* close = place(10, 10.5, 10, 20);  // vertical, starts 0.5 above
  place(0, 12, 20, 12);                      // 2 away
  gobjRec* hidden = place(9, 10, 11, 10);
  hidden->flags |= gobjHidden;
  const double point[3] = {10, 10, 0};
  std::vector<Hit> hits;
  EXPECT_EQ(sieveNear(point, 1.0, collectHit, &hits), 0);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].object, close);
  EXPECT_DOUBLE_EQ(hits[0].param, 0.0);
}

}  // namespace
