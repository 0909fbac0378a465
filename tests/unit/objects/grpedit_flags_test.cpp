// Member flags and attributes: aSetXVis, aSetLock, aSetUnSelect, aSetAttr.
#include "grpedit_fixture.h"

namespace {

using grpeditfx::GrpEditTest;

// "tpair": a composite of two members (messages 325 and 327).
struct tpairRec {
  gobjRec head;
  gobjRec* members[2];
};
uint16_t tpairClass;
int tpairHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* p = static_cast<tpairRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(tpairClass, sizeof(tpairRec), a);
    case msgIsContainer: return 1;
    case msgEnumMembers:
      for (gobjRec* m : p->members) reinterpret_cast<objMemberFn>(a)(m, reinterpret_cast<void*>(b));
      return 0;
    default: return objMeth(objSuperClass(tpairClass), message, object, a, b, c);
  }
}

// The damaged region is empty (a minimum above its maximum).
bool noDamage(const int16_t* box) { return box[0] > box[3]; }

class FlagsTest : public GrpEditTest {
protected:
  void SetUp() override {
    GrpEditTest::SetUp();
    if (!tpairClass) tpairClass = objClassRegister("tpair", gobjClassId(), tpairHandler);
  }
};

TEST_F(FlagsTest, FlagOperatorsClearSetOrToggleByMode) {
  const struct {
    const char* op;
    uint16_t flag;
  } ops[] = {{"aSetXVis", gobjControlPts}, {"aSetLock", gobjLocked}, {"aSetUnSelect", gobjNoSelect}};
  for (const auto& op : ops) {
    gobjRec* on = seg({0, 0, 0}, {1, 0, 0});
    gobjRec* off = seg({0, 1, 0}, {1, 1, 0});
    on->flags |= op.flag;
    const struct {
      int mode;
      bool on, off;
    } modes[] = {{0, false, false}, {1, true, true}, {2, false, true}, {-1, false, true}};
    for (const auto& m : modes) {
      on->flags |= op.flag;
      off->flags &= uint16_t(~op.flag);
      pushGroup({on, off});
      ASSERT_EQ(run((std::to_string(m.mode) + " " + op.op).c_str()), 0);
      EXPECT_EQ((on->flags & op.flag) != 0, m.on) << op.op << " " << m.mode;
      EXPECT_EQ((off->flags & op.flag) != 0, m.off) << op.op << " " << m.mode;
    }
    on->flags &= uint16_t(~op.flag);
    off->flags &= uint16_t(~op.flag);
  }
}

TEST_F(FlagsTest, LockDamagesWhatChangesAndUnselectDoesNot) {
  gobjRec* a = stored({10, 10, 0}, {20, 10, 0});
  objRedrawPending(0);
  pushGroup({a});
  ASSERT_EQ(run("1 aSetUnSelect"), 0);
  EXPECT_TRUE(noDamage(objDamagedRegion()));
  pushGroup({a});
  ASSERT_EQ(run("1 aSetLock"), 0);
  EXPECT_FALSE(noDamage(objDamagedRegion()));
  objRedrawPending(0);
  pushGroup({a});
  ASSERT_EQ(run("1 aSetLock"), 0);   // already locked: nothing changes
  EXPECT_TRUE(noDamage(objDamagedRegion()));
  a->flags &= uint16_t(~(gobjLocked | gobjNoSelect));
}

TEST_F(FlagsTest, ControlPointsReachACompositesMembersUnderTheSameRule) {
  auto* pair = reinterpret_cast<tpairRec*>(keep(objNew(tpairClass)));
  objRetain(&pair->head);   // the test's, beside the groups'
  gobjRec* shown = seg({0, 0, 0}, {1, 0, 0});
  gobjRec* hidden = seg({0, 1, 0}, {1, 1, 0});
  shown->flags |= gobjControlPts;
  pair->members[0] = shown;
  pair->members[1] = hidden;
  pushGroup({&pair->head});
  ASSERT_EQ(run("1 aSetXVis"), 0);
  EXPECT_TRUE(pair->head.flags & gobjControlPts);
  EXPECT_TRUE(shown->flags & gobjControlPts);
  EXPECT_TRUE(hidden->flags & gobjControlPts);
  pushGroup({&pair->head});
  ASSERT_EQ(run("2 aSetXVis"), 0);
  EXPECT_FALSE(shown->flags & gobjControlPts);
  EXPECT_FALSE(hidden->flags & gobjControlPts);
}

TEST_F(FlagsTest, SetAttrGivesEveryPairToEveryMember) {
  gobjRec* a = seg({0, 0, 0}, {1, 0, 0});
  gobjRec* b = seg({0, 1, 0}, {1, 1, 0});
  pushGroup({a, b});
  ASSERT_EQ(run("[/pt0 [7 7 7] /pt1 [8 8 8]] aSetAttr"), 0);
  EXPECT_EQ(text(a), "7 7 7 8 8 8");
  EXPECT_EQ(text(b), "7 7 7 8 8 8");

  const struct {
    const char* list;
    int rc;
  } cases[] = {{"5", feErrTypeCheck}, {"[/pt0]", feErrLengthCheck}, {"[/pt0 [1 1 1] /pt1]", feErrLengthCheck}};
  for (const auto& c : cases) {
    pushGroup({a, b});
    EXPECT_EQ(run((std::string(c.list) + " aSetAttr").c_str()), c.rc) << c.list;
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(text(a), "7 7 7 8 8 8");
}

TEST_F(FlagsTest, SetAttrOfOneMemberAnswersItsFailure) {
  gobjRec* a = seg({0, 0, 0}, {1, 0, 0});
  gobjRec* b = seg({0, 1, 0}, {1, 1, 0});
  b->flags |= gobjLocked;
  pushGroup({b});
  EXPECT_EQ(run("[/pt0 [7 7 7]] aSetAttr"), -4126);
  feStackClear(*feOperandStack());
  // In a larger group the locked member is passed over.
  pushGroup({a, b});
  EXPECT_EQ(run("[/pt0 [7 7 7]] aSetAttr"), 0);
  EXPECT_EQ(text(a), "7 7 7 1 0 0");
  EXPECT_EQ(text(b), "0 1 0 1 1 0");
  b->flags &= uint16_t(~gobjLocked);
}

}  // namespace
