// Groups built and walked natively: block layout and order, nested builds,
// the makers, comparison, the set operations and the named sources.
#include "objects/group_fixture.h"

namespace {

using grpfx::GroupTest;

TEST_F(GroupTest, ThirtyMembersMakeTwoBlocksNewestFirst) {
  glist* g = group(points(30));
  ASSERT_NE(nullptr, g->next);
  EXPECT_EQ(nullptr, g->next->next);
  EXPECT_EQ(grpClassId(), g->classId);
  EXPECT_EQ(0xFFFF, g->next->classId);
  EXPECT_EQ(0, g->refCount);
  EXPECT_EQ(nullptr, g->members[5]);
  EXPECT_EQ(nullptr, g->next->members[25]);
  EXPECT_EQ("26 27 28 29 30 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25", numbers(g));
  int32_t count = 0;
  EXPECT_EQ(0, grpCount(g, &count));
  EXPECT_EQ(30, count);
  EXPECT_EQ(2, held[0]->refCount);  // the fixture's and the group's
}

TEST_F(GroupTest, EmptyAndNestedBuilds) {
  grpBegin();
  glist* empty = keep(grpEnd());
  EXPECT_EQ(grpClassId(), empty->classId);
  EXPECT_EQ(nullptr, empty->members[0]);
  EXPECT_EQ(nullptr, empty->next);

  gobjRec* a = point(1);
  gobjRec* b = point(2);
  gobjRec* c = point(3);
  grpBegin();
  grpAdd(a);
  grpBegin();
  EXPECT_EQ(2, grpAdd(b));
  glist* inner = keep(grpEnd());
  grpAdd(c);
  glist* outer = keep(grpEnd());
  EXPECT_EQ("2", numbers(inner));
  EXPECT_EQ("1 3", numbers(outer));

  EXPECT_TRUE(plTestMessageBoxes().empty());
  keep(grpEnd());
  EXPECT_NE(std::string::npos, gobjfx::boxes().find("unbalanced grpBegin/grpEnd"));
}

TEST_F(GroupTest, FreeingAGroupReleasesItsMembers) {
  gobjRec* p = objNew(tpoint());
  glist* g = build({p});
  EXPECT_EQ(1, p->refCount);
  glist* slot = g;
  grpRetain(g);
  grpRelease(&slot);  // the only holder: the group and its member go
  EXPECT_EQ(nullptr, slot);
  EXPECT_EQ(1, sent(msgFree));
}

TEST_F(GroupTest, Makers) {
  std::vector<gobjRec*> p = points(4);
  glist* one = keep(grpOfOne(p[0]));
  EXPECT_EQ("1", numbers(one));

  glist* nothing = keep(grpConcat(nullptr, nullptr));
  EXPECT_EQ(nullptr, nothing->members[0]);

  // b is linked behind a and no longer counts as a group of its own.
  glist* joined = keep(grpConcat(build({p[0], p[1]}), build({p[2], p[3]})));
  EXPECT_EQ("1 2 3 4", numbers(joined));
  EXPECT_EQ(0xFFFF, joined->next->classId);

  glist* same = keep(grpFlatten(joined, 0));
  EXPECT_EQ("1 2 3 4", numbers(same));
  EXPECT_EQ(nullptr, same->next);
  glist* copies = keep(grpFlatten(joined, 1));
  EXPECT_EQ("1 2 3 4", numbers(copies));
  EXPECT_NE(p[0], grpFirst(copies));

  glist* grown = nullptr;
  for (gobjRec* m : points(27)) grpAddTo(m, &grown);
  keep(grown);
  EXPECT_EQ(2, grown->memberCount);
  EXPECT_EQ(25, grown->next->memberCount);
  EXPECT_EQ(grpClassId(), grown->next->classId);
  EXPECT_EQ("26 27 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25", numbers(grown));

  glist* notGroup = keep(grpFlatten(reinterpret_cast<glist*>(p[0]), 0));
  EXPECT_EQ(nullptr, notGroup->members[0]);
  EXPECT_NE(std::string::npos, gobjfx::boxes().find("expected group"));
  int32_t count = 7;
  EXPECT_EQ(feErrTypeCheck, grpCount(reinterpret_cast<glist*>(p[0]), &count));
}

TEST_F(GroupTest, CompareGoesBlockBySlot) {
  std::vector<gobjRec*> p = points(3);
  grpBegin();
  glist* empty = keep(grpEnd());
  struct Case {
    glist* a;
    glist* b;
    int expected;
  } cases[] = {
      {nullptr, empty, 0},
      {group({p[0], p[1]}), group({p[0], p[1]}), 0},
      {group({p[0], p[1]}), group({p[1], p[0]}), -1},
      {group({p[0], p[1]}), group({p[0]}), -1},
      {group({p[0]}), group({p[0], p[1]}), -1},
      {group({p[0]}), empty, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, grpCompare(c.a, c.b)) << numbers(c.a) << " | " << numbers(c.b);
    EXPECT_EQ(c.expected, grpCompare(c.b, c.a));
  }
}

TEST_F(GroupTest, SetOperationsKeepOrderAndLeaveNoMarks) {
  std::vector<gobjRec*> p = points(6);
  glist* a = group({p[0], p[1], p[2], p[3], p[0]});
  glist* b = group({p[2], p[4], p[0]});
  struct Case {
    glist* result;
    const char* expected;
  } cases[] = {
      {keep(grpSetNot(a, b)), "2 4"},
      {keep(grpSetUnion(a, b)), "3 5 1 2 4"},
      {keep(grpSetIntersect(a, b)), "1 3"},
      {keep(grpSetUnion(group({p[0], p[1]}), group({p[4], p[5]}))), "5 6 1 2"},
      {keep(grpSetNot(a, nullptr)), "1 2 3 4"},
      {keep(grpSetIntersect(nullptr, b)), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, numbers(c.result));
  for (gobjRec* o : p) EXPECT_FALSE(o->flags & gobjSieveMark);
}

TEST_F(GroupTest, RemovingHiddenAndLockedMembers) {
  std::vector<gobjRec*> p = points(4);
  p[1]->flags |= gobjHidden;
  p[2]->flags |= gobjLocked;
  p[3]->flags |= gobjLocked;
  glist* g = group(p);
  EXPECT_EQ(2, grpRmLocked(g));
  EXPECT_EQ("1 2", numbers(g));
  EXPECT_EQ(1, p[2]->refCount);
  EXPECT_TRUE(plTestMessageBoxes().empty());
  grpRmInvisible(g);
  EXPECT_EQ("1", numbers(g));
  EXPECT_EQ("Invisible objects ignored.|", gobjfx::boxes());
  plTestReset();
  grpRmInvisible(g);
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

// A source over a fixed list of objects: data is the list.
int listSource(objMemberFn callback, void* context, intptr_t data) {
  for (gobjRec* o : *reinterpret_cast<std::vector<gobjRec*>*>(data))
    if (const int answer = callback(o, context)) return answer;
  return 0;
}

TEST_F(GroupTest, NamedSources) {
  std::vector<gobjRec*> older = points(2);
  std::vector<gobjRec*> newer = {point(9)};
  grpDefine("tsrcLongName", listSource, reinterpret_cast<intptr_t>(&older));
  EXPECT_EQ("1 2", numbers(keep(grpOfSource("tsrcLong"))));  // 8 characters count
  grpDefine("tsrcLong", listSource, reinterpret_cast<intptr_t>(&newer));
  EXPECT_EQ("9", numbers(keep(grpOfSource("tsrcLongName"))));

  EXPECT_EQ(-1, grpEnum("nosuch", 6, grpAddCb, nullptr));
  EXPECT_EQ("[grpEnum] No entry for group 'nosuch'\n", gobjfx::state().log);
  EXPECT_EQ("", numbers(keep(grpOfSource("tsrcL"))));
}

}  // namespace
