// Clumps: making them of copies (colour rule, ".temp", interrupt, aClump),
// and the messages a clump answers over its members: copy, transform,
// selection, extents, attributes, picking and drawing.
#include "clump_fixture.h"

#include "core/alloc.h"
#include "draw/xforms.h"
#include "objects/clump_internal.h"
#include "objects/docstate.h"
#include "objects/objops.h"
#include "objects/objrecord.h"
#include "objects/selmode.h"
#include "objects/sieve.h"

#include <string>

namespace {

using namespace clumpfx;

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

TEST_F(ClumpTest, MembersAreCopiesAndTheClumpTakesTheirCommonColour) {
  const struct {
    std::vector<int> colors;
    int clumpColor;
  } cases[] = {
      {{1, 1}, 1},    // two red members: red
      {{1, 4}, 254},  // red and blue: each keeps its own
      {{6}, 6},
  };
  for (const auto& c : cases) {
    std::vector<gobjRec*> originals;
    for (size_t i = 0; i < c.colors.size(); ++i) originals.push_back(stick(double(i), 0, double(i) + 1, 0, c.colors[i]));
    originals[0]->flags |= gobjControlPts | gobjHidden;
    clumpRec* k = clump(originals);
    ASSERT_NE(nullptr, k);
    EXPECT_EQ(c.clumpColor, k->head.color);
    EXPECT_TRUE(k->head.flags & gobjChanged);
    const std::vector<gobjRec*> list = members(k);
    ASSERT_EQ(originals.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
      EXPECT_NE(originals[i], list[i]) << "a member is a copy";
      EXPECT_EQ(1, list[i]->refCount);
      EXPECT_EQ(c.colors[i], list[i]->color);
      EXPECT_FALSE(list[i]->flags & (gobjControlPts | gobjHidden | gobjInSieve));
      EXPECT_EQ(asStick(originals[i])->p[0][0], asStick(list[i])->p[0][0]);
    }
  }
}

TEST_F(ClumpTest, ScratchMembersAreLeftOutAndNothingToCopyIsRefused) {
  gobjRec* scratch = stick(5, 0, 6, 0);
  ASSERT_EQ(0, layerSetByName(scratch, ".temp", 5, 0));
  gobjRec* kept = stick(1, 0, 2, 0);
  EXPECT_EQ("1", shape(clump({scratch, kept})));

  const int32_t live = clumpint::liveClumps;
  clumpRec* none = nullptr;
  EXPECT_EQ(clumpErrEmpty, clumpMake(group({scratch}), nullptr, &none));
  EXPECT_EQ(clumpErrEmpty, clumpMake(nullptr, nullptr, &none));
  EXPECT_EQ(clumpErrEmpty, clumpMake(group({}), nullptr, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(live, clumpint::liveClumps) << "a refused clump is freed";
}

TEST_F(ClumpTest, AnInterruptEndsTheMakingAndFreesWhatWasBuilt) {
  gobjRec* a = stick(1, 0, 2, 0);
  gobjRec* b = stick(3, 0, 4, 0);
  feSetAttnPoll([] { return 1; });
  const int freedBefore = sticks().freed;
  const int32_t live = clumpint::liveClumps;
  clumpRec* none = nullptr;
  EXPECT_EQ(277, clumpMake(group({a, b}), nullptr, &none));
  EXPECT_EQ(live, clumpint::liveClumps);
  EXPECT_EQ(freedBefore, sticks().freed) << "nothing was copied before the poll";
}

TEST_F(ClumpTest, TheOperatorAnswersAOneMemberGroupWithTheAttributesSet) {
  define("g", group({stick(1, 0, 2, 0, 3), stick(3, 0, 4, 0, 3)}));
  ASSERT_EQ(0, feExecString("/k g 1 dict dup /@Note (kept) put aClump def"));
  ASSERT_EQ(0, feExecString("k aCount"));
  EXPECT_EQ("1", execfx::operands());
  feStackClear(*feOperandStack());
  ASSERT_EQ(0, feExecString("k { } forall"));
  feObject top = pop();
  auto* k = static_cast<clumpRec*>(top.w0.obj);
  ASSERT_TRUE(clumpIsClump(k));
  EXPECT_EQ(3, k->head.color);
  EXPECT_EQ(2, clumpCount(k));
  std::string note;
  EXPECT_EQ(0, get(&k->head, "@Note", &note));
  EXPECT_EQ("(kept)", note);
  const char* type = nullptr;
  objMeth(k->head.classId, msgTypeName, k, word(&type));
  EXPECT_STREQ("group", type);
  EXPECT_EQ(1, objMeth(k->head.classId, msgIsContainer, k));
  feFree(&top);

  // A refused attribute is the answer, with the operands back.
  const int32_t live = clumpint::liveClumps;
  EXPECT_EQ(281, feExecString("g 1 dict dup /nosuchkey 1 put aClump"));
  EXPECT_EQ(live, clumpint::liveClumps);
  feStackClear(*feOperandStack());
  EXPECT_EQ(-4153, feExecString("null null aClump"));
}

TEST_F(ClumpTest, ACopyOwnsCopiesOfTheMembers) {
  clumpRec* k = clump({stick(1, 0, 2, 0), stick(3, 0, 4, 0)});
  k->head.color = 9;
  gobjRec* dup = objDuplicate(&k->head);
  ASSERT_TRUE(clumpIsClump(dup));
  clumpRec* c = hold(reinterpret_cast<clumpRec*>(dup));
  EXPECT_EQ("1 3", shape(c));
  EXPECT_EQ(9, c->head.color);
  const std::vector<gobjRec*> mine = members(k), theirs = members(c);
  for (size_t i = 0; i < mine.size(); ++i) EXPECT_NE(mine[i], theirs[i]);

  // The parts (338) are copies again, in a group of their own.
  glist* parts = nullptr;
  EXPECT_EQ(0, objParts(&k->head, &parts));
  keep(parts);
  int32_t count = 0;
  grpCount(parts, &count);
  EXPECT_EQ(2, count);
  EXPECT_NE(mine[0], grpFirst(parts));
}

TEST_F(ClumpTest, TransformingMovesEveryMemberAndSwapsInReplacements) {
  const double moveX[16] = {1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (bool replace : {false, true}) {
    clumpRec* k = clump({stick(1, 0, 2, 0), stick(3, 0, 4, 0)});
    objMeth(k->head.classId, msgSelect, k, 1);
    const std::vector<gobjRec*> before = members(k);
    sticks().replaceOnXform = replace;
    const int freedBefore = sticks().freed;
    gobjRec* slot = &k->head;
    EXPECT_EQ(0, objTransform(&k->head, moveX, &slot, 0));
    sticks().replaceOnXform = false;
    EXPECT_EQ(&k->head, slot);
    EXPECT_EQ("11 13", shape(k));
    const std::vector<gobjRec*> after = members(k);
    for (size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(replace, after[i] != before[i]);
      EXPECT_EQ(1, after[i]->refCount);
      EXPECT_TRUE(after[i]->flags & gobjSelected) << "a replacement takes the clump's selection";
    }
    EXPECT_EQ(freedBefore + (replace ? 2 : 0), sticks().freed) << "replaced members are released";
  }
}

TEST_F(ClumpTest, SelectionMovesTheMembersWithTheClump) {
  clumpRec* k = clump({stick(1, 0, 2, 0), stick(3, 0, 4, 0)});
  auto selected = [&] {
    std::string text = (k->head.flags & gobjSelected) ? "S:" : "-:";
    for (gobjRec* m : members(k)) text += (m->flags & gobjSelected) ? "S" : "-";
    return text;
  };
  const struct {
    int mode;
    const char* after;
  } steps[] = {{1, "S:SS"}, {1, "S:SS"}, {0, "-:--"}, {2, "S:SS"}, {2, "-:--"}};
  for (const auto& s : steps) {
    objMeth(k->head.classId, msgSelect, k, s.mode);
    EXPECT_EQ(s.after, selected()) << "mode " << s.mode;
  }
  // A member deselected on its own is left alone while the clump's state
  // already matches.
  objMeth(k->head.classId, msgSelect, k, 1);
  members(k)[0]->flags &= uint16_t(~gobjSelected);
  objMeth(k->head.classId, msgSelect, k, 1);
  EXPECT_EQ("S:-S", selected());
}

TEST_F(ClumpTest, ExtentsAttributesChangesAndSignatures) {
  clumpRec* k = clump({stick(1, 2, 3, 4), stick(-5, 0, 0, 1)});
  double corners[6];
  ASSERT_EQ(0, objGetExtents(&k->head, corners));
  const double expected[6] = {-5, 0, 0, 3, 4, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(expected[i], corners[i]) << i;
  // Each member's compact box is refreshed on the way.
  gobjRec* first = members(k)[0];
  bboxEmpty(first->box);
  objGetExtents(&k->head, corners);
  int16_t box[6];
  bboxFromCorners(asStick(first)->p[0], asStick(first)->p[1], box);
  EXPECT_EQ(0, std::memcmp(box, first->box, sizeof box));

  // The drawing attributes go to the members too; others stay the clump's.
  EXPECT_EQ(0, set(&k->head, "colorno", execfx::integer(5)));
  EXPECT_EQ(0, set(&k->head, "@Note", [] {
    feObject v;
    feMakeString(&v, "x", 1);
    return v;
  }()));
  EXPECT_EQ(5, k->head.color);
  for (gobjRec* m : members(k)) {
    EXPECT_EQ(5, m->color);
    EXPECT_EQ(281, get(m, "@Note", nullptr));
  }

  // 320 shows the members and clears their control points.
  for (gobjRec* m : members(k)) m->flags |= gobjHidden | gobjControlPts;
  objChanged(&k->head, 0);
  for (gobjRec* m : members(k)) EXPECT_FALSE(m->flags & (gobjHidden | gobjControlPts));

  // The signature is the members' sum.
  int32_t sum = 0, one = 0, total = 0;
  for (gobjRec* m : members(k)) {
    objSignature(m, &one);
    sum += one;
  }
  EXPECT_EQ(0, objSignature(&k->head, &total));
  EXPECT_EQ(sum, total);
}

TEST_F(ClumpTest, MembersAreWalkedInOrderAndMayLeaveDuringTheWalk) {
  clumpRec* k = clump({stick(1, 0, 2, 0), stick(3, 0, 4, 0), stick(5, 0, 6, 0)});
  struct Walk {
    clumpRec* clump;
    std::string seen;
  } walk{k, ""};
  objEnumMembers(&k->head, [](gobjRec* m, void* context) {
    auto* w = static_cast<Walk*>(context);
    w->seen += std::to_string(int(reinterpret_cast<stickRec*>(m)->p[0][0]));
    // Each member is unlinked while it is visited.
    clumpint::unlink(w->clump, m);
    objRelease(&m);
    return 0;
  }, &walk);
  EXPECT_EQ("135", walk.seen);
  EXPECT_EQ(0, clumpCount(k));
}

// Picking (318) asks the members whose boxes meet the pick box around the
// point (twice the hit radius, 8 without a document).
class ClumpPick : public ClumpTest {
protected:
  int pick(clumpRec* k, double x, double y, double* squared, double* param) {
    const double point[2] = {x, y};
    *squared = -1.0;
    *param = -1.0;
    crvNearRec rec{point, 0.1, squared, param, 0};
    return objMeth(k->head.classId, msgNearest, k, word(&rec));
  }
};

TEST_F(ClumpPick, AMemberLongerThanThePickBoxIsAskedAndFarOnesAreNot) {
  // A long line through the point, a short one near it, one far away.
  clumpRec* k = clump({stick(-1000, 1, 1000, 1), stick(50, 3, 52, 3), stick(500, 500, 501, 500)});
  double squared, param;
  sticks().asked = 0;
  EXPECT_EQ(0, pick(k, 51, 0, &squared, &param));
  EXPECT_EQ(1.0, squared) << "the long line is nearest";
  EXPECT_NEAR(0.5255, param, 1e-4);
  EXPECT_EQ(2, sticks().asked) << "the far member is not asked";

  // Nothing near: -1 and the parameter -1.0.
  EXPECT_EQ(-1, pick(k, 5000, 5000, &squared, &param));
  EXPECT_EQ(-1.0, param);
}

TEST_F(ClumpPick, TheToleranceFollowsTheDocumentsHitRadius) {
  clumpRec* k = clump({stick(0, 0, 1, 0)});
  double squared, param;
  EXPECT_EQ(-1, pick(k, 0, 12, &squared, &param)) << "8 without a document";
  dbDocRec doc{};
  doc.hitRadius = 6;
  dbSetCurrentDoc(&doc);
  EXPECT_EQ(0, pick(k, 0, 12, &squared, &param));
  EXPECT_EQ(144.0, squared);
  dbSetCurrentDoc(nullptr);
}

// Drawing (302).
class ClumpDraw : public ClumpTest {
protected:
  void SetUp() override {
    ClumpTest::SetUp();
    vwSetScreenSpace(1);
    gxSwapSlot(gxSlotSegment, reinterpret_cast<intptr_t>(&segment));
    segments().clear();
  }
  void TearDown() override {
    gxSwapSlot(gxSlotSegment, 0);
    vwSetScreenSpace(0);
    gxSetDrawMode(0);
    selModeSet(0);
    ClumpTest::TearDown();
  }
  static std::vector<std::string>& segments() {
    static std::vector<std::string> s;
    return s;
  }
  static void segment(int draw, const double p[2]) {
    char text[64];
    std::snprintf(text, sizeof text, "%c%g,%g", draw ? 'L' : 'M', p[0], p[1]);
    segments().push_back(text);
  }
};

TEST_F(ClumpDraw, MembersKeepTheirColoursUnlessTheClumpHasOne) {
  clumpRec* k = clump({stick(0, 0, 1, 0, 1), stick(0, 1, 1, 1, 4)});
  ASSERT_EQ(254, k->head.color);
  objMeth(k->head.classId, msgDraw, k);
  EXPECT_EQ((std::vector<int>{1, 4}), sticks().drawnIn);

  sticks().drawnIn.clear();
  k->head.color = 2;
  objMeth(k->head.classId, msgDraw, k);
  EXPECT_EQ((std::vector<int>{2, 2}), sticks().drawnIn);
  EXPECT_EQ(0, gxColorOverrideCount()) << "the override ends with the clump";

  // A hidden member is not drawn.
  sticks().drawnIn.clear();
  members(k)[1]->flags |= gobjHidden;
  objMeth(k->head.classId, msgDraw, k);
  EXPECT_EQ(1u, sticks().drawnIn.size());
}

TEST_F(ClumpDraw, WhileDraggingInExclusiveOrOnlyTheBoxOutlineIsDrawn) {
  clumpRec* k = clump({stick(0, 0, 2, 1), stick(1, 3, 4, 2)});
  selModeSet(2);
  gxSetDrawMode(gxModeXor);
  objMeth(k->head.classId, msgDraw, k);
  EXPECT_TRUE(sticks().drawnIn.empty());
  std::string drawn;
  for (const std::string& s : segments()) drawn += s + " ";
  EXPECT_EQ("M0,0 L4,0 M0,3 L4,3 M0,0 L0,3 M4,0 L4,3 ", drawn);
  EXPECT_EQ(0, gx.penStyle) << "line font 0 again";

  // Exclusive-or without the drag mode draws the members.
  selModeSet(0);
  objMeth(k->head.classId, msgDraw, k);
  EXPECT_EQ(2u, sticks().drawnIn.size());
}

// aFlatten takes a clump apart through its parts (338): copies of the
// members take its place in the document.
TEST_F(ClumpTest, FlatteningAClumpPutsCopiesOfItsMembersInItsPlace) {
  size_t count = 0;
  const feOpSpec* specs = objOpSpecs(&count);
  const feOpSpec* flatten = feOpSpecFind(specs, count, "aFlatten");
  ASSERT_NE(nullptr, flatten);
  if (!execfx::defined("aFlatten")) feRegisterOp(flatten->name, flatten->handler, flatten->signature, 0, 0);
  dbDocRec doc{};
  doc.docId = 1;
  sieveInit();
  doc.sieve = sieveNew(8, nullptr, &doc, 1);
  dbSetCurrentDoc(&doc);

  clumpRec* k = clump({stick(1, 0, 2, 0), stick(3, 0, 4, 0)});
  ASSERT_EQ(0, objInsert(&k->head));
  define("g", group({&k->head}));
  ASSERT_EQ(0, feExecString("g aFlatten"));
  feObject result = pop();
  std::vector<gobjRec*> parts;
  grpForEach(groupOf(result), [](gobjRec* m, void* list) {
    static_cast<std::vector<gobjRec*>*>(list)->push_back(m);
    return 0;
  }, &parts);
  ASSERT_EQ(2u, parts.size());
  for (gobjRec* part : parts) {
    EXPECT_EQ(sticks().id, part->classId);
    EXPECT_TRUE(part->flags & gobjInSieve);
  }
  EXPECT_FALSE(k->head.flags & gobjInSieve);
  EXPECT_EQ(2, clumpCount(k)) << "the clump keeps its own members";
  feFree(&result);
  for (gobjRec* part : parts) objDelete(part, 0);
  sieveFree(doc.sieve, 1);
  dbSetCurrentDoc(nullptr);
}

TEST_F(ClumpTest, StatisticsListClumps) {
  clump({stick(0, 0, 1, 0)});
  gobjfx::state().log.clear();
  allocInfoReport();
  EXPECT_NE(std::string::npos, gobjfx::state().log.find("           clump:")) << gobjfx::state().log;
}

}  // namespace
