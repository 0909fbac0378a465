// The line-style table, the arrow operator aLineArrow and aGetLineNormal.
#include "objects/lnstyle.h"

#include "grpedit_fixture.h"
#include "objects/attr.h"

#include <cstring>

namespace {

using grpeditfx::GrpEditTest;

class LnStyleTest : public GrpEditTest {
protected:
  void SetUp() override {
    GrpEditTest::SetUp();
    lnstyleReset();
    lnstyleSetWordSource(nullptr);
    words.clear();
  }
  void TearDown() override {
    lnstyleSetWordSource(nullptr);
    lnstyleReset();
    GrpEditTest::TearDown();
  }

  // The style words the test's source hands out, by object.
  static uint16_t* source(gobjRec* object) {
    auto found = words.find(object);
    return found == words.end() ? nullptr : &found->second;
  }

  // A segment of the class "line": a stand-in over the test segment while
  // no line class exists.
  gobjRec* line(std::vector<double> a, std::vector<double> b) {
    static uint16_t standIn;
    uint16_t id = objClassByName("line");
    if (!id) id = standIn = objClassRegister("line", grpeditfx::crv().tcrv, nullptr);
    gobjRec* s;
    if (id == standIn) {
      s = seg(a, b);
      s->classId = id;
    } else {
      s = objNew(id);
      objRetain(s);
      held.push_back(s);
    }
    EXPECT_EQ(attrSet(s, "pt0", attrType3D, a.data()), 0);
    EXPECT_EQ(attrSet(s, "pt1", attrType3D, b.data()), 0);
    return s;
  }

  static std::map<gobjRec*, uint16_t> words;
};
std::map<gobjRec*, uint16_t> LnStyleTest::words;

TEST_F(LnStyleTest, FindAddsFromOneAndFindsExactValuesAgain) {
  const double up[3] = {0, 0, 1}, side[3] = {1, 0, 0};
  EXPECT_EQ(lnstyleFind(1, 0.25, up), 1);
  EXPECT_EQ(lnstyleFind(2, 0.25, up), 2);
  EXPECT_EQ(lnstyleFind(1, 0.5, up), 3);
  EXPECT_EQ(lnstyleFind(1, 0.25, side), 4);
  EXPECT_EQ(lnstyleFind(1, 0.25, up), 1);
  EXPECT_EQ(lnstyleFind(1, 0.25, nullptr), 1);   // null stands for (0, 0, 1)
  // Widths are kept as floats: a difference the float cannot hold is none.
  EXPECT_EQ(lnstyleFind(1, 0.25 + 1e-12, up), 1);
  const double negativeZero[3] = {-0.0, 0, 1};
  EXPECT_EQ(lnstyleFind(1, 0.25, negativeZero), 5);   // compared by bytes

  int kind = 0;
  double width = 0, normal[3] = {};
  EXPECT_EQ(lnstyleGet(4, &kind, &width, normal), 1);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(width, 0.25);
  EXPECT_EQ(normal[0], 1.0);
  EXPECT_EQ(lnstyleGet(6, &kind, &width, normal), 0);
  EXPECT_EQ(lnstyleCount(), 6u);
}

TEST_F(LnStyleTest, TheTableIsFullAt2048Entries) {
  for (int i = 1; i < 2048; ++i) ASSERT_EQ(lnstyleFind(0, i, nullptr), i);
  EXPECT_EQ(lnstyleFind(0, 5000, nullptr), 0);
  EXPECT_NE(gobjfx::state().log.find("[lnstyleFind] No more room in lnstyleTbl.\n"), std::string::npos);
  EXPECT_EQ(lnstyleFind(0, 7, nullptr), 7);   // what is there is still found
  EXPECT_EQ(lnstyleCount(), 2048u);
}

TEST_F(LnStyleTest, ApplyKeepsOtherBitsAndSetsOrClearsTheEnds) {
  const struct {
    uint16_t word, ends;
    bool on;
    uint16_t index, result;
  } cases[] = {
      {0x0000, lnstyleArrowStart, true, 5, 0x4005},
      {0x8003, lnstyleArrowStart, true, 5, 0xC005},
      {0xC7FF, lnstyleArrowEnd, false, 2, 0x4002},
      {0x3800, lnstyleArrowStart | lnstyleArrowEnd, true, 0x7FF, 0xFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(lnstyleApply(c.word, c.ends, c.on, c.index), c.result) << c.word;
}

TEST_F(LnStyleTest, LineArrowSetsTheDocumentEndsAndTheMembersWords) {
  gobjRec* a = seg({0, 0, 0}, {1, 0, 0});
  gobjRec* locked = seg({0, 1, 0}, {1, 1, 0});
  locked->flags |= gobjLocked;
  words[a] = 0x0800;
  words[locked] = 0;
  lnstyleSetWordSource(source);
  doc.arrowEnds = 2;
  pushGroup({a, locked});
  ASSERT_EQ(run("3 0.5 1 true aLineArrow"), 0);
  EXPECT_EQ(doc.arrowEnds, 3);
  EXPECT_EQ(words[a], 0x4801);
  EXPECT_EQ(words[locked], 0);
  pushGroup({a});
  ASSERT_EQ(run("3 0.5 3 false aLineArrow"), 0);
  EXPECT_EQ(doc.arrowEnds, 0);
  EXPECT_EQ(words[a], 0x0801);   // the same style entry
  // A single object stands for a group of itself.
  feObject v;
  feMakeObjRef(&v, a);
  fePush(feOperandStack(), &v);
  ASSERT_EQ(run("3 0.5 2 true aLineArrow"), 0);
  EXPECT_EQ(words[a], 0x8801);
  locked->flags &= uint16_t(~gobjLocked);
}

TEST_F(LnStyleTest, LineArrowAnswersMinusOneWhenTheTableIsFull) {
  for (int i = 1; i < 2048; ++i) lnstyleFind(0, i, nullptr);
  pushGroup({});
  EXPECT_EQ(run("9 0.5 1 true aLineArrow"), -1);
}

TEST_F(LnStyleTest, LineArrowOnALineWhoseClassGivesNoWordIsUnimplemented) {
  gobjRec* l = line({0, 0, 0}, {1, 0, 0});
  pushGroup({l});
  EXPECT_EQ(run("1 0.5 1 true aLineArrow"), feErrUnimplemented);
}

TEST_F(LnStyleTest, GetLineNormalGivesTheEndsAndTheUnitDirection) {
  gobjRec* other = seg({0, 0, 0}, {5, 5, 5});
  gobjRec* l = line({1, 2, 3}, {1, 6, 3});
  pushGroup({other, l});
  ASSERT_EQ(run("aGetLineNormal"), 0);
  EXPECT_EQ(execfx::operands(), "[1. 2. 3. ] [0 1. 0 ] [1. 6. 3. ]");
  feStackClear(*feOperandStack());
  pushGroup({other});
  EXPECT_EQ(run("aGetLineNormal"), -1);
}

}  // namespace
