#include "symb_fixture.h"

#include "fe/exec.h"
#include "fe/stack.h"
#include "objects/contain.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using symbfx::SymbTest;

class InstTest : public SymbTest {
protected:
  // The instance the last script left in a one-member group on the stack.
  instRec* placedByScript() {
    feObject* top = feStackIndex(*feOperandStack(), 0);
    if (!top || feType(top) != feTObject) return nullptr;
    auto* instance = reinterpret_cast<instRec*>(grpFirst(static_cast<glist*>(top->w0.obj)));
    hold(&instance->head);
    feStackClear(*feOperandStack());
    return instance;
  }
  static std::vector<double> vertices(instRec* instance) {
    std::vector<double> out;
    objEnumPoints(&instance->head, [](void* v, void* c, int) {
      auto* list = static_cast<std::vector<double>*>(c);
      const auto* p = static_cast<const double*>(v);
      list->insert(list->end(), p, p + 3);
      return 0;
    }, &out, 0);
    return out;
  }
};

feObject point(double x, double y, double z) {
  feObject xyz[3];
  feMakeReal(&xyz[0], x);
  feMakeReal(&xyz[1], y);
  feMakeReal(&xyz[2], z);
  feObject v;
  feMakeArray(&v, xyz, 3);
  return v;
}

TEST_F(InstTest, ANewInstanceIsASymbolInColour254) {
  instRec* door = place(define("door", {curve({0, 0, 0}, {1, 0, 0})}));
  const char* type = nullptr;
  objMeth(door->head.classId, msgTypeName, door, reinterpret_cast<intptr_t>(&type));
  EXPECT_STREQ(type, "symbol");
  EXPECT_EQ(door->head.color, 254);
  EXPECT_TRUE(objIsContainer(&door->head));
  EXPECT_EQ(objInClass(&door->head, "contain"), 1);
}

TEST_F(InstTest, SettingTheOriginMovesOnlyTheTranslation) {
  const double turned[16] = {0, -1, 0, 4, 1, 0, 0, 5, 0, 0, 1, 6, 0, 0, 0, 1};
  instRec* door = place(define("door", {curve({0, 0, 0}, {1, 0, 0})}), {}, turned);
  ASSERT_EQ(set(&door->head, "origin", point(1, 2, 3)), 0);
  const double expected[16] = {0, -1, 0, 1, 1, 0, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(door->placement[i], expected[i]) << i;
  std::string text;
  EXPECT_EQ(get(&door->head, "origin", &text), 0);
  EXPECT_EQ(text, "[1. 2. 3. ]");
  EXPECT_EQ(get(&door->head, "pt0", &text), 0);
  EXPECT_EQ(text, "[1. 2. 3. ]");
}

TEST_F(InstTest, ItemNumberAndQuantityAreTexts) {
  instRec* door = place(define("door", {}));
  feObject text;
  feMakeString(&text, "A-12", 4);
  EXPECT_EQ(set(&door->head, "itemno", text), 0);
  std::string shown;
  EXPECT_EQ(get(&door->head, "itemno", &shown), 0);
  EXPECT_EQ(shown, "(A-12)");
  EXPECT_EQ(get(&door->head, "quantity", &shown), 0);
  EXPECT_EQ(shown, "()");
}

TEST_F(InstTest, AParameterTakesEffectAtTheNextChange) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  instRec* wide = place(door, {{"width", 2}});
  symbRec* before = wide->symbol;
  std::string text;
  EXPECT_EQ(get(&wide->head, "width", &text), 0);
  EXPECT_EQ(text, "2.");

  feObject three;
  feMakeInt(&three, 3);
  EXPECT_EQ(set(&wide->head, "width", three), 0);
  EXPECT_EQ(wide->symbol, before);
  EXPECT_EQ(wide->pendingCount, 1);
  EXPECT_EQ(get(&wide->head, "width", &text), 0);
  EXPECT_EQ(text, "2.");

  objMeth(wide->head.classId, msgChanged, wide);
  EXPECT_NE(wide->symbol, before);
  EXPECT_EQ(wide->pending, nullptr);
  EXPECT_EQ(wide->symbol->params[0].value, 3);
  EXPECT_EQ(reinterpret_cast<symbfx::tcurvRec*>(grpFirst(wide->symbol->members))->pt[1][0], 3);

  // A name the symbol does not have stays the superclass's unknown key.
  feMakeInt(&three, 3);
  EXPECT_NE(set(&wide->head, "depth", three), 0);
  EXPECT_NE(get(&wide->head, "depth", nullptr), 0);
}

TEST_F(InstTest, EnvelopesAreTheBoxOfTheEightMappedCorners) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 2, 0})});
  const double h = std::sqrt(0.5);
  struct Case {
    double matrix[16];
    double box[6];
  } cases[] = {
      {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {0, 0, 0, 1, 2, 0}},
      // A quarter turn about z, then moved to (5, 0, 0).
      {{0, -1, 0, 5, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {3, 0, 0, 5, 1, 0}},
      // An eighth turn: the corners (1, 0), (0, 2) and (1, 2) set the box.
      {{h, -h, 0, 0, h, h, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {-2 * h, 0, 0, h, 3 * h, 0}},
  };
  for (const auto& c : cases) {
    instRec* placed = place(door, {}, c.matrix);
    double box[6];
    instEnvelope(&placed->head, box);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], c.box[i], 1e-12) << i;
    double extents[6];
    EXPECT_EQ(objGetExtents(&placed->head, extents), 0);
    EXPECT_EQ(extents[3], box[3]);
  }
}

TEST_F(InstTest, ATransformAppliesAfterThePlacement) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  const double turned[16] = {0, -1, 0, 5, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  instRec* placed = place(door, {}, turned);
  const double up2[16] = {1, 0, 0, 0, 0, 1, 0, 2, 0, 0, 1, 0, 0, 0, 0, 1};
  gobjRec* slot = nullptr;
  EXPECT_EQ(objTransform(&placed->head, up2, &slot, 0), 0);
  EXPECT_EQ(slot, &placed->head);
  EXPECT_EQ(vertices(placed), (std::vector<double>{5, 2, 0, 5, 3, 0}));
}

TEST_F(InstTest, ACopySharesTheSymbolAndThePlacement) {
  symbRec* door = define("door", {curve({0, 0, 0}, {1, 0, 0})});
  const double moved[16] = {1, 0, 0, 7, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  instRec* placed = place(door, {{"width", 2}}, moved);
  auto* twin = reinterpret_cast<instRec*>(hold(objDuplicate(&placed->head)));
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(twin->symbol, placed->symbol);
  EXPECT_EQ(placed->symbol->uses, 2u);
  EXPECT_EQ(twin->placement[3], 7);
}

TEST_F(InstTest, VerticesAndMembersFollowThePlacementAndTheBasePoint) {
  // Base point (2, 1, 0): the member is placed from there.
  symbRec* door = define("door", {curve({2, 1, 0}, {3, 1, 0})});
  const double moved[16] = {1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  instRec* placed = place(door, {}, moved);
  EXPECT_EQ(vertices(placed), (std::vector<double>{10, 0, 0, 11, 0, 0}));
  int seen = 0;
  objEnumMembers(&placed->head, [](gobjRec*, void* c) {
    ++*static_cast<int*>(c);
    return 0;
  }, &seen);
  EXPECT_EQ(seen, 1);
}

TEST_F(InstTest, AnEmptyContainerPassesTheBoxTest) {
  instRec* empty = place(define("empty", {}));
  const int16_t box[6] = {0, 0, 0, 1, 1, 1};
  EXPECT_EQ(objBoxTest(&empty->head, box), 1);
}

TEST_F(InstTest, ParameterArraysArePairsAndAnOddLastElementIsLeftOut) {
  struct Case {
    const char* script;
    int answer;
    std::vector<std::pair<std::string, double>> params;
  } cases[] = {
      {"[]", 0, {}},
      {"[/width 2]", 0, {{"width", 2}}},
      {"[/width 2 (depth) 0.5]", 0, {{"width", 2}, {"depth", 0.5}}},
      {"[/width 2 /depth]", 0, {{"width", 2}}},
      {"[/width]", 0, {}},
      {"[3 4]", 269, {}},
      {"[/width true]", 269, {}},
      {"(text)", 269, {}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(feRunString(c.script), 0) << c.script;
    feObject* value = feStackIndex(*feOperandStack(), 0);
    int32_t count = -1;
    symbParam* params = nullptr;
    EXPECT_EQ(instParseParams(value, &count, &params), c.answer) << c.script;
    ASSERT_EQ(size_t(count > 0 ? count : 0), c.params.size()) << c.script;
    for (int32_t i = 0; i < count; ++i) {
      EXPECT_STREQ(params[i].name, c.params[size_t(i)].first.c_str());
      EXPECT_EQ(params[i].value, c.params[size_t(i)].second);
    }
    symbParamsFree(count, &params);
    feStackClear(*feOperandStack());
  }
}

TEST_F(InstTest, AInstancePlacesTurnsAndNamesTheSymbol) {
  define("lib:door", {curve({0, 0, 0}, {1, 0, 0})});
  ASSERT_EQ(feRunString("[/width 2 /depth] (door) [5 0 0] [0 1 0] aInstance"), 0);
  instRec* placed = placedByScript();
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->symbol->paramCount, 1);
  // Turned a quarter about z, moved to (5, 0, 0), scaled by the width 2.
  const std::vector<double> expected{5, 0, 0, 5, 2, 0};
  const std::vector<double> got = vertices(placed);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-12) << i;

  feObject ref;
  feMakeObjRef(&ref, placed);
  feStackClear(*feOperandStack());
  // The stack takes the value's reference.
  fePush(feOperandStack(), &ref);
  ASSERT_EQ(feRunString("aInstanceName aInstanceError"), 0);
  EXPECT_EQ(execfx::operands(), "(door) false");
  feStackClear(*feOperandStack());

  // A master not known yet is made empty.
  ASSERT_EQ(feRunString("[] (window) aInstance2"), 0);
  instRec* window = placedByScript();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->symbol, symbFind("window", 6, 0));
  EXPECT_EQ(window->placement[3], 0);
}

TEST_F(InstTest, ADirectionWithoutLengthIsRefused) {
  define("door", {curve({0, 0, 0}, {1, 0, 0})});
  EXPECT_EQ(feRunString("[] (door) [0 0 0] [0 0 0] aInstance"), -4100);
  EXPECT_EQ(feRunString("clear [] (door) [0 0 0] [0 0 1] aInstance"), -4100);
  feStackClear(*feOperandStack());
}

}  // namespace
