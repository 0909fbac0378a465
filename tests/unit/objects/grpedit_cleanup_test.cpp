// Cleaning up groups: zero-length curves, duplicates (aCleanUp) and merges
// (aCleanUp2).
#include "grpedit_fixture.h"

#include <regex>

namespace {

using grpeditfx::GrpEditTest;

TEST_F(GrpEditTest, CleanUpDeletesOneOfTwoEqualSegments) {
  gobjRec* a = stored({0, 0, 0}, {4, 2, 0});
  gobjRec* b = stored({4, 2, 0}, {0, 0, 0});   // the same ends, reversed
  gobjRec* c = stored({0, 0, 0}, {4, 3, 0});
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  pushGroup({a, b, c, &box->head});
  ASSERT_EQ(run("aCleanUp"), 0);
  glist* result = popGroup();
  EXPECT_EQ(count(result), 3);
  // The earlier of the two goes; the later one stood for both.
  EXPECT_EQ(documentTexts(), "0 0 0 4 3 0|4 2 0 0 0 0");
  EXPECT_FALSE(a->flags & gobjInSieve);
  EXPECT_EQ(sent(msgSameAs), 1);
  // Every later object of a run is a compare; how many lie in a run
  // depends on where the keys fall.
  EXPECT_TRUE(std::regex_search(gobjfx::state().log, std::regex("cleanup: [12] compares, 1 deletions\n")))
      << gobjfx::state().log;
  // Whatever is left passes the identity transform in clean-up mode.
  EXPECT_EQ(grpeditfx::crv().xformModes, (std::vector<int>{objCleanUpActive, objCleanUpActive}));
  EXPECT_EQ(objCleanUpMode(), 0);
}

TEST_F(GrpEditTest, OnlyACurveWhoseBoxIsAPointIsZeroLength) {
  const struct {
    std::vector<double> a, b;
    bool deleted;
  } cases[] = {
      {{1, 1, 1}, {1, 1, 1}, true},
      {{1, 1, 0}, {1, 1, 5}, false},   // vertical
      {{1, 1, 0}, {1, 4, 0}, false},
      {{1, 1, 0}, {3, 1, 0}, false},
  };
  for (const char* op : {"aCleanUp", "aCleanUp2"}) {
    for (const auto& c : cases) {
      gobjRec* s = stored(c.a, c.b);
      pushGroup({s});
      ASSERT_EQ(run(op), 0);
      glist* result = popGroup();
      EXPECT_EQ(count(result), c.deleted ? 0 : 1) << op << " " << text(s);
      EXPECT_EQ((s->flags & gobjInSieve) == 0, c.deleted) << op << " " << text(s);
      objDelete(s, 0);
    }
  }
}

TEST_F(GrpEditTest, CleanUpOfSomethingElseThanAGroupIsReported) {
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  feObject v;
  feMakeObjRef(&v, box);
  fePush(feOperandStack(), &v);
  ASSERT_EQ(run("aCleanUp"), 0);
  EXPECT_EQ(count(popGroup()), 0);
  EXPECT_NE(gobjfx::boxes().find("expected group in aCleanUp"), std::string::npos) << gobjfx::boxes();
}

TEST_F(GrpEditTest, CleanUp2MergesOverlappingSegmentsIntoTheLaterOne) {
  gobjRec* a = stored({0, 0, 0}, {4, 0, 0});
  gobjRec* b = stored({3, 0, 0}, {9, 0, 0});
  gobjRec* apart = stored({0, 5, 0}, {1, 5, 0});
  pushGroup({a, b, apart});
  ASSERT_EQ(run("aCleanUp2"), 0);
  glist* result = popGroup();
  EXPECT_EQ(count(result), 2);
  EXPECT_EQ(sent(msgCleanUpMerge), 1);
  EXPECT_EQ(documentTexts(), "0 0 0 9 0 0|0 5 0 1 5 0");
  EXPECT_EQ(gobjfx::state().log.find("cleanup:"), std::string::npos);
}

TEST_F(GrpEditTest, CleanUp2PassesOverACurveWithoutAKey) {
  grpeditfx::crv().noKey = true;
  gobjRec* a = stored({0, 0, 0}, {4, 0, 0});
  gobjRec* b = stored({0, 0, 0}, {4, 0, 0});
  pushGroup({a, b});
  ASSERT_EQ(run("aCleanUp2"), 0);
  EXPECT_EQ(count(popGroup()), 2);
  EXPECT_EQ(sent(msgCleanUpMerge), 0);
  EXPECT_EQ(documentCount(), 2u);
}

TEST_F(GrpEditTest, CleanUpKeepsALockedDuplicate) {
  gobjRec* a = stored({0, 0, 0}, {4, 2, 0});
  gobjRec* b = stored({0, 0, 0}, {4, 2, 0});
  a->flags |= gobjLocked;
  b->flags |= gobjLocked;
  pushGroup({a, b});
  ASSERT_EQ(run("aCleanUp"), 0);
  EXPECT_EQ(count(popGroup()), 2);
  EXPECT_EQ(documentCount(), 2u);
  a->flags &= uint16_t(~gobjLocked);
  b->flags &= uint16_t(~gobjLocked);
}

}  // namespace
