#include "symb_fixture.h"

#include "objects/docvar.h"

#include <gtest/gtest.h>

namespace {

using symbfx::SymbTest;
using symbfx::tcurvRec;

TEST_F(SymbTest, APrefixedNameAndTheBareNameAreOneMaster) {
  symbRec* door = define("lib:door", {curve({0, 0, 0}, {1, 0, 0})});
  ASSERT_NE(door, nullptr);
  EXPECT_STREQ(door->name, "door");
  EXPECT_EQ(symbFind("door", 4, 0), door);
  EXPECT_EQ(symbFind("other:lib:door", 14, 0), door);
  // Defining "door" again redefines the same master.
  EXPECT_EQ(define("door", {curve({0, 0, 0}, {2, 0, 0})}), door);
  EXPECT_EQ(names(doc), (std::vector<std::string>{"door"}));
  EXPECT_EQ(symbFind("doo", 3, 0), nullptr);
  // New masters go to the front of the list.
  define("window", {});
  EXPECT_EQ(names(doc), (std::vector<std::string>{"window", "door"}));
}

TEST_F(SymbTest, EqualParametersShareACopyAndOthersMakeTheirOwn) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* a = place(door, {{"width", 2}});
  instRec* b = place(door, {{"width", 2}});
  instRec* c = place(door, {{"width", 3}});
  instRec* plain = place(door);
  EXPECT_EQ(a->symbol, b->symbol);
  EXPECT_NE(a->symbol, c->symbol);
  EXPECT_EQ(plain->symbol, door);
  EXPECT_EQ(a->symbol->master, door);
  // Two instances hold the shared copy; the copies each hold the master,
  // as do the list and the plain instance.
  EXPECT_EQ(a->symbol->uses, 2u);
  EXPECT_EQ(c->symbol->uses, 1u);
  EXPECT_EQ(door->uses, 4u);
  // Each copy was resolved once, for its own width.
  EXPECT_EQ(symbfx::classes().resolves, 2);
  EXPECT_EQ(firstCurve(a->symbol)->pt[1][0], 2);
  EXPECT_EQ(firstCurve(c->symbol)->pt[1][0], 3);
  EXPECT_EQ(firstCurve(door)->pt[1][0], 1);
}

TEST_F(SymbTest, RedefiningAMasterResolvesItsCopiesAgain) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* wide = place(door, {{"width", 2}});
  double box[6];
  instEnvelope(&wide->head, box);
  EXPECT_EQ(box[3], 2);
  define("door", {curve({0, 0, 0}, {5, 0, 0})});
  EXPECT_EQ(firstCurve(wide->symbol)->pt[1][0], 10);
  instEnvelope(&wide->head, box);
  EXPECT_EQ(box[3], 10);
}

TEST_F(SymbTest, AResolveThatFailsIsReportedAndKeepsTheDuplicate) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* bad = place(door, {{"fail", 1}});
  EXPECT_TRUE(instLastResolveFailed());
  EXPECT_EQ(members(bad->symbol), 1);
  place(door, {{"width", 4}});
  EXPECT_FALSE(instLastResolveFailed());
}

TEST_F(SymbTest, ResolvedCopiesLeaveOutTheDimensionsThatDroveThem) {
  gobjRec* dim = hold(objNew(symbfx::classes().tdim));
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0}), dim});
  EXPECT_EQ(members(door), 2);
  instRec* wide = place(door, {{"width", 2}});
  EXPECT_EQ(members(wide->symbol), 1);
}

TEST_F(SymbTest, WithoutAResolverACopyKeepsTheMastersMembers) {
  symbSetResolver(nullptr);
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* wide = place(door, {{"width", 2}});
  EXPECT_NE(wide->symbol, door);
  EXPECT_FALSE(instLastResolveFailed());
  EXPECT_EQ(firstCurve(wide->symbol)->pt[1][0], 1);
  EXPECT_NE(grpFirst(wide->symbol->members), grpFirst(door->members));
}

TEST_F(SymbTest, AMasterHoldingItselfIsRefusedAndLeftAsItWas) {
  symbRec* a = define("A", {curve({0, 0, 0}, {1, 0, 0})});
  glist* before = a->members;
  int answer = 0;
  define("A", {curve({0, 0, 0}, {2, 0, 0}), &place(a)->head}, &answer);
  EXPECT_EQ(answer, symbErrRecursive);
  EXPECT_EQ(a->members, before);
  EXPECT_EQ(firstCurve(a)->pt[1][0], 1);

  // Through another master, and through a copy for parameters.
  symbRec* b = define("B", {&place(a, {{"width", 2}})->head});
  define("A", {&place(b)->head}, &answer);
  EXPECT_EQ(answer, symbErrRecursive);
  EXPECT_EQ(a->members, before);
}

TEST_F(SymbTest, TheRecursionCheckEndsOnACycleAlreadyThere) {
  // A damaged file can leave two masters placing each other: the check of a
  // third definition must still end.
  symbRec* a = define("A", {});
  symbRec* b = define("B", {&place(a)->head});
  glist* cycle = group({&place(b)->head});
  grpRetain(cycle);
  grpRelease(&a->members);
  a->members = cycle;
  int answer = -1;
  define("C", {&place(a)->head}, &answer);
  EXPECT_EQ(answer, 0);
  // The cycle holds A and B up; break it for the clean-up.
  grpRelease(&a->members);
}

TEST_F(SymbTest, TheGenerationIsWiderThanSixteenBits) {
  symbRec* empty = define("empty", {});
  const uint32_t first = symbGeneration();
  for (int i = 0; i < 65536; ++i) symbDefine(nullptr, "empty", 5, nullptr, &empty);
  EXPECT_EQ(symbGeneration(), first + 65536);
}

TEST_F(SymbTest, EnvelopesAreShiftedByTheBasePointAndEmptyMastersAreZero) {
  double box[6] = {9, 9, 9, 9, 9, 9};
  symbEnvelope(define("empty", {}), box);
  for (double v : box) EXPECT_EQ(v, 0);

  symbRec* door = define("door", {curve({2, 1, 0}, {4, 3, 0}), curve({3, 1, 0}, {3, 6, 1})});
  EXPECT_EQ(door->base[0], 2);
  EXPECT_EQ(door->base[1], 1);
  symbEnvelope(door, box);
  const double expected[6] = {0, 0, 0, 2, 5, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(box[i], expected[i]) << i;
  // With the fixed origin the members stay where they are.
  door->options = symbFixedOrigin;
  symbEnvelope(door, box);
  EXPECT_EQ(box[0], 2);
  EXPECT_EQ(box[4], 6);
}

TEST_F(SymbTest, TheBasePointIsAnOriginVertexOrElseTheSmallestVertex) {
  struct Case {
    std::vector<std::vector<double>> ends;  // pairs of curve ends
    int fixed;
    std::vector<double> base;
  };
  const Case cases[] = {
      {{{2, 1, 0}, {1, 5, 0}, {1, 3, 0}, {1, 3, -1}}, 0, {1, 3, -1}},
      {{{2, 1, 0}, {0, 0, 0}, {-1, -1, -1}, {5, 5, 5}}, 0, {0, 0, 0}},
      {{{1e-20, 0, 0}, {3, 0, 0}}, 0, {0, 0, 0}},
      {{{1e-20, 0, 0}, {3, 0, 0}}, 1, {1e-20, 0, 0}},
      {{}, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<gobjRec*> list;
    for (size_t i = 0; i + 1 < c.ends.size(); i += 2) list.push_back(curve(c.ends[i], c.ends[i + 1]));
    double base[3] = {7, 7, 7};
    symbBasePoint(group(list), c.fixed, base);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(base[i], c.base[i]) << c.ends.size() << " fixed " << c.fixed;
  }
  // Only curves count.
  double base[3];
  symbBasePoint(group({hold(objNew(symbfx::classes().tdim)), curve({4, 4, 4}, {5, 5, 5})}), 0, base);
  EXPECT_EQ(base[0], 4);
}

TEST_F(SymbTest, MembersOfLineFontOneAreEnumeratedOnlyWithAll) {
  gobjRec* shown = curve({0, 0, 0}, {1, 0, 0});
  gobjRec* construction = curve({0, 0, 0}, {0, 1, 0});
  construction->style = uint8_t((construction->style & ~31) | 1);
  symbRec* door = define("door", {shown, construction});
  // The members are the master's own copies, hidden for the test.
  grpForEach(door->members, [](gobjRec* m, void*) {
    m->flags |= gobjHidden;
    return 0;
  }, nullptr);
  struct Seen {
    int count = 0;
    bool hiddenSeen = false;
    bool pointsSeen = false;
  };
  for (int all : {0, 1}) {
    Seen seen;
    symbObjEnum(door, [](gobjRec* m, void* c) {
      auto* s = static_cast<Seen*>(c);
      ++s->count;
      s->hiddenSeen |= (m->flags & gobjHidden) != 0;
      s->pointsSeen |= (m->flags & gobjControlPts) != 0;
      return 0;
    }, &seen, all);
    EXPECT_EQ(seen.count, all ? 2 : 1);
    EXPECT_FALSE(seen.hiddenSeen);
    EXPECT_EQ(seen.pointsSeen, all == 1);
  }
  // The flags come back afterwards.
  EXPECT_TRUE(grpFirst(door->members)->flags & gobjHidden);
}

TEST_F(SymbTest, ScratchMembersAreNotCopiedIntoTheMaster) {
  gobjRec* scratch = curve({0, 0, 0}, {1, 0, 0});
  const int temp = layerNumber(".temp", 5);
  ASSERT_GE(temp, 0);
  scratch->layer = uint8_t(temp);
  EXPECT_EQ(members(define("door", {scratch, curve({0, 0, 0}, {2, 0, 0})})), 1);
}

TEST_F(SymbTest, ImportingDefinesTheMasterInTheCurrentDocument) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  door->id = 7;
  instRec* wide = place(door, {{"width", 2}});
  open(other);
  symbImport(&wide->symbol);
  symbRec* here = symbFind("door", 4, 0);
  ASSERT_NE(here, nullptr);
  EXPECT_NE(here, door);
  EXPECT_EQ(here->id, 7);
  EXPECT_EQ(wide->symbol->master, here);
  EXPECT_EQ(wide->symbol->paramCount, 1);
  EXPECT_EQ(firstCurve(wide->symbol)->pt[1][0], 2);
  // A symbol of this document stays.
  symbRec* copy = wide->symbol;
  symbImport(&wide->symbol);
  EXPECT_EQ(wide->symbol, copy);
}

TEST_F(SymbTest, TheEndOfADocumentReleasesItsMasters) {
  // A settings record made and freed by the document events.
  dbDocRec* rec = nullptr;
  dbDocEvent(docEvtFamily | docEvtCreated, reinterpret_cast<intptr_t>(&rec));
  ASSERT_NE(rec, nullptr);
  dbSetCurrentDoc(rec);
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* kept = place(door, {{"width", 2}});
  define("window", {});
  EXPECT_EQ(rec->symbols->next, door);
  dbSetCurrentDoc(&doc);
  dbDocEvent(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&rec));
  EXPECT_EQ(rec, nullptr);
  // The instance keeps its copy, and the copy its master.
  EXPECT_EQ(kept->symbol->master, door);
  EXPECT_EQ(door->uses, 1u);
  EXPECT_STREQ(door->name, "door");
}

TEST_F(SymbTest, SymbolOperators) {
  symbRec* door = define("lib:door", {curve({0, 0, 0}, {1, 0, 0})});
  define("window", {});
  ASSERT_EQ(feRunString("aSymbolList"), 0);
  EXPECT_EQ(execfx::operands(), "(window) (door)");
  feStackClear(*feOperandStack());
  ASSERT_EQ(feRunString("(door) 12 aSymbolSetId (x:door) aSymbolTest (nosuch) aSymbolTest (door) aTestSymbol "
                        "(nosuch) aTestSymbol"),
            0);
  EXPECT_EQ(execfx::operands(), "12 true false true false");
  EXPECT_EQ(door->id, 12);
  feStackClear(*feOperandStack());
  ASSERT_EQ(feRunString("(door) aSymbolPeek aCount"), 0);
  EXPECT_EQ(execfx::operands(), "1");
  feStackClear(*feOperandStack());
  EXPECT_EQ(feRunString("(nosuch) aSymbolPeek"), -1);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feRunString("(nosuch) 3 aSymbolSetId"), 0);
}

}  // namespace
