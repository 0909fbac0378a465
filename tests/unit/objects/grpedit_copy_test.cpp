// New groups from groups: aDuplicate, aFlatten and aGetType.
#include "grpedit_fixture.h"

namespace {

using grpeditfx::GrpEditTest;

TEST_F(GrpEditTest, DuplicateCopiesAllButScratchObjectsAndInsertsNothing) {
  gobjRec* a = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* scratch = seg({0, 3, 0}, {1, 3, 0});
  ASSERT_EQ(layerSet(scratch, scratchLayer(), 0), 0);
  pushGroup({a, scratch});
  ASSERT_EQ(run("aDuplicate"), 0);
  glist* copies = popGroup();
  ASSERT_EQ(count(copies), 1);
  EXPECT_NE(grpFirst(copies), a);
  EXPECT_EQ(texts(copies), "0 0 0 1 0 0");
  EXPECT_FALSE(grpFirst(copies)->flags & gobjInSieve);
  EXPECT_EQ(documentCount(), 1u);

  // Only scratch objects: an empty group.
  pushGroup({scratch});
  ASSERT_EQ(run("aDuplicate"), 0);
  EXPECT_EQ(count(popGroup()), 0);
}

TEST_F(GrpEditTest, FlattenPutsThePartsInPlaceOfTheirObject) {
  grpeditfx::crv().hasParts = true;
  gobjRec* a = stored({0, 0, 0}, {2, 0, 0});
  gobjRec* loose = seg({0, 5, 0}, {2, 5, 0});
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  ASSERT_EQ(objInsert(&box->head), 0);
  pushGroup({a, loose, &box->head});
  ASSERT_EQ(run("aFlatten"), 0);
  glist* parts = popGroup();
  EXPECT_EQ(texts(parts), "0 0 0 1 0 0|1 0 0 2 0 0|0 5 0 1 5 0|1 5 0 2 5 0");
  // The document lost the segment and took its halves; the loose segment's
  // halves are only in the result; the box, which has no parts, stays.
  EXPECT_FALSE(a->flags & gobjInSieve);
  EXPECT_EQ(documentCount(), 3u);
  EXPECT_TRUE(box->head.flags & gobjInSieve);
}

TEST_F(GrpEditTest, FlattenLeavesAnObjectWithoutPartsAndALockedOne) {
  gobjRec* a = stored({0, 0, 0}, {2, 0, 0});
  pushGroup({a});
  ASSERT_EQ(run("aFlatten"), 0);
  EXPECT_EQ(count(popGroup()), 0);
  EXPECT_TRUE(a->flags & gobjInSieve);

  grpeditfx::crv().hasParts = true;
  a->flags |= gobjLocked;
  pushGroup({a});
  ASSERT_EQ(run("aFlatten"), 0);
  EXPECT_EQ(count(popGroup()), 0);
  EXPECT_EQ(documentTexts(), "0 0 0 2 0 0");
  a->flags &= uint16_t(~gobjLocked);
}

TEST_F(GrpEditTest, GetTypeTakesTheClassAndItsSubclasses) {
  gobjRec* a = seg({0, 0, 0}, {1, 0, 0});
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  const struct {
    const char* type;
    int32_t members;
  } cases[] = {{"tcrv", 1}, {"curve", 1}, {"gobject", 2}, {"tbox", 1}, {"nosuchcl", 0}};
  for (const auto& c : cases) {
    pushGroup({a, &box->head});
    ASSERT_EQ(run((std::string("(") + c.type + ") aGetType").c_str()), 0) << c.type;
    EXPECT_EQ(count(popGroup()), c.members) << c.type;
  }
  // A single object answers a group of itself or an empty one.
  feObject v;
  feMakeObjRef(&v, a);
  fePush(feOperandStack(), &v);
  ASSERT_EQ(run("dup (curve) aGetType exch (tbox) aGetType"), 0);
  EXPECT_EQ(count(popGroup()), 0);
  EXPECT_EQ(grpFirst(popGroup()), a);
}

}  // namespace
