// Moving and reshaping groups: aTransform (in place and as copies),
// grpTransform's replacements, aSetLength and the patterns of aLinearDup.
#include "fe/attnpoll.h"
#include "grpedit_fixture.h"

namespace {

using grpeditfx::GrpEditTest;

const char* const kMoveX5 = "[1 0 0 5 0 1 0 0 0 0 1 0 0 0 0 1]";

// Whether the sieve files the object where its box says.
bool filedByItsBox(sieveRec* sieve, gobjRec* object) {
  if (sieveRemove(sieve, object) != 0) return false;
  sieveInsert(sieve, object);
  return true;
}

TEST_F(GrpEditTest, TransformInPlaceMovesTheMembersAndTheirDocumentEntries) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* b = seg({0, 1, 0}, {0, 2, 0});   // not in the document
  pushGroup({a, b});
  ASSERT_EQ(run((std::string(kMoveX5) + " 0 aTransform").c_str()), 0);
  EXPECT_EQ(text(a), "5 0 0 6 0 0");
  EXPECT_EQ(text(b), "5 1 0 5 2 0");
  // The document's entry follows the new box: found in its new place.
  EXPECT_EQ(documentTexts(), "5 0 0 6 0 0");
  EXPECT_TRUE(filedByItsBox(doc.sieve, a));
  // Far enough to change cells: the object moves with its box.
  pushGroup({a});
  ASSERT_EQ(run("[1 0 0 -700 0 1 0 -600 0 0 1 0 0 0 0 1] 0 aTransform"), 0);
  EXPECT_EQ(text(a), "-695 -600 0 -694 -600 0");
  EXPECT_TRUE(filedByItsBox(doc.sieve, a));
  pushGroup({a});
  ASSERT_EQ(run("500 aSetLength"), 0);
  EXPECT_TRUE(filedByItsBox(doc.sieve, a));
  EXPECT_EQ(gobjfx::boxes(), "");
}

TEST_F(GrpEditTest, TransformWithCopyFlagInsertsMovedCopiesAndSkipsScratchObjects) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* scratch = seg({0, 3, 0}, {1, 3, 0});
  ASSERT_EQ(layerSet(scratch, scratchLayer(), 0), 0);
  pushGroup({a, scratch});
  ASSERT_EQ(run((std::string(kMoveX5) + " 1 aTransform").c_str()), 0);
  EXPECT_EQ(text(a), "0 0 0 1 0 0");
  EXPECT_EQ(text(scratch), "0 3 0 1 3 0");
  EXPECT_EQ(documentTexts(), "0 0 0 1 0 0|5 0 0 6 0 0");
}

TEST_F(GrpEditTest, CopiesTheDocumentDoesNotTakeAreFreed) {
  gobjRec* a = seg({0, 0, 0}, {1, 0, 0});
  dbSetCurrentDoc(nullptr);
  pushGroup({a});
  ASSERT_EQ(run((std::string(kMoveX5) + " 1 aTransform").c_str()), 0);
  EXPECT_EQ(grpeditfx::crv().freed, 1);
  dbSetCurrentDoc(&doc);
}

TEST_F(GrpEditTest, GrpTransformSwapsAReplacementIntoTheGroupAndTheDocument) {
  grpeditfx::crv().replaceOnXform = true;
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* loose = seg({0, 1, 0}, {1, 1, 0});
  glist* g = build({a, loose});
  grpRetain(g);
  const double m[16] = {1, 0, 0, 5, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(grpTransform(g, m), 2);
  EXPECT_EQ(grpeditfx::GrpEditTest::texts(g), "5 0 0 6 0 0|5 1 0 6 1 0");
  // The old objects are unchanged and out of the document; the new one
  // took the old one's place there, the loose one's replacement did not
  // enter it.
  EXPECT_EQ(text(a), "0 0 0 1 0 0");
  EXPECT_FALSE(a->flags & gobjInSieve);
  EXPECT_EQ(documentTexts(), "5 0 0 6 0 0");
  gobjRec* first = grpFirst(g);
  EXPECT_EQ(first->refCount, 2);   // the group and the document
  grpRelease(&g);
}

TEST_F(GrpEditTest, GrpTransformKeepsALockedDocumentObject) {
  grpeditfx::crv().replaceOnXform = true;
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  a->flags |= gobjLocked;
  glist* g = build({a});
  grpRetain(g);
  const double m[16] = {1, 0, 0, 5, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(grpTransform(g, m), 0);
  EXPECT_EQ(grpFirst(g), a);
  EXPECT_EQ(documentTexts(), "0 0 0 1 0 0");
  EXPECT_EQ(grpeditfx::crv().freed, 1);   // the replacement nobody took
  a->flags &= uint16_t(~gobjLocked);
  grpRelease(&g);
}

TEST_F(GrpEditTest, SetLengthChangesCurvesOnlyAndRefusesATooSmallLength) {
  gobjRec* a = seg({1, 0, 0}, {2, 0, 0});
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  pushGroup({a, &box->head});
  ASSERT_EQ(run("4 aSetLength"), 0);
  EXPECT_EQ(text(a), "1 0 0 5 0 0");
  EXPECT_EQ(sent(msgPointAtLength), 1);

  for (const char* length : {"0.0", "-0.000000001", "0"}) {
    pushGroup({a});
    EXPECT_EQ(run((std::string(length) + " aSetLength").c_str()), feErrRangeCheck) << length;
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(text(a), "1 0 0 5 0 0");
  pushGroup({a});
  ASSERT_EQ(run("-2 aSetLength"), 0);
  EXPECT_EQ(text(a), "1 0 0 -1 0 0");
}

TEST_F(GrpEditTest, LinearDupMakesARectangularArrayOfCopies) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  pushGroup({a});
  ASSERT_EQ(run("[3 [2 0 0] 2 [0 1 0]] aLinearDup"), 0);
  EXPECT_EQ(documentCount(), 6u);   // the original and 3 x 2 - 1 copies
  EXPECT_EQ(documentTexts(),
            "0 0 0 1 0 0|0 1 0 1 1 0|2 0 0 3 0 0|2 1 0 3 1 0|4 0 0 5 0 0|4 1 0 5 1 0");
}

TEST_F(GrpEditTest, LinearDupCountsBackwardsAndTakesZeroAsOne) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  pushGroup({a});
  ASSERT_EQ(run("[-2 [0 0 3] 0 [9 9 9]] aLinearDup"), 0);
  EXPECT_EQ(documentTexts(), "0 0 -3 1 0 -3|0 0 0 1 0 0");
}

TEST_F(GrpEditTest, LinearDupChecksItsList) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  const struct {
    const char* list;
    int rc;
  } cases[] = {
      {"[3 [1 0 0] 2]", feErrLengthCheck},
      {"[1 [1 0 0] 1 [1 0 0] 1 [1 0 0] 1 [1 0 0] 1 [1 0 0]]", feErrLengthCheck},
      {"5", feErrTypeCheck},
      {"[(x) [1 0 0]]", feErrTypeCheck},
      {"[2 [1 0]]", feErrTypeCheck},
  };
  for (const auto& c : cases) {
    pushGroup({a});
    EXPECT_EQ(run((std::string(c.list) + " aLinearDup").c_str()), c.rc) << c.list;
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(documentCount(), 1u);
}

TEST_F(GrpEditTest, LinearDupReportsProgressAndStopsOnAnInterrupt) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  ASSERT_EQ(run("/progress [] def /aThermUpdate { [ exch progress aload pop ] /progress exch def } def"), 0);
  pushGroup({a});
  ASSERT_EQ(run("[3 [1 0 0] 2 [0 1 0]] aLinearDup progress"), 0);
  // Copies made of 5 in all: 1, 2, then the second row's 3 at once.
  EXPECT_EQ(execfx::operands(), "[100 40 20 ]");
  feStackClear(*feOperandStack());

  static int polls;
  polls = 0;
  feAttnPollProc previous = feSetAttnPoll([] { return ++polls >= 2 ? 1 : 0; });
  const size_t before = documentCount();
  pushGroup({a});
  EXPECT_EQ(run("[5 [0 0 1]] aLinearDup"), feErrInterrupt);
  feSetAttnPoll(previous);
  EXPECT_EQ(documentCount(), before + 2);   // the copies made before the interrupt stay
}

}  // namespace
