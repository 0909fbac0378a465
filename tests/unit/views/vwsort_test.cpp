// Layer-sorted drawing: the order layerSortDrawList gives with and without
// a priority list, what vwDrawView draws with it, the priority operator's
// answers, and the failures that only log or panic.
#include "view_fixture.h"

#include "core/alloc_test.h"
#include "fe/arrays.h"
#include "objects/layer.h"
#include "views/vwsort.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using viewfx::lines;

class LayerSort : public viewfx::ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    openDrawing();
    vwSetCurView(draft);
  }
  void TearDown() override {
    uSetSystemRealloc(nullptr);
    vwSortReset();
    ViewDrawTest::TearDown();
  }
  // A short line on the named layer (made when missing).
  gobjRec* onLayer(const char* name, double x) {
    gobjRec* line = addLine(model, {x, 0, 0}, {x + 0.05, 0, 0});
    const int number = layerFind(name, uint32_t(std::char_traits<char>::length(name)), layerFindCreate);
    EXPECT_GE(number, 0);
    line->layer = uint8_t(number);
    return line;
  }
  static std::string names(const std::vector<gobjRec*>& objects) {
    std::string text;
    for (gobjRec* o : objects) {
      const char* name = nullptr;
      uint32_t length = 0;
      layerName(o->layer, &name, &length);
      text.append(name, length);
    }
    return text;
  }
  static std::string drawnNames() {
    std::vector<gobjRec*> objects;
    for (const gobjRec* o : lines().drawn) objects.push_back(const_cast<gobjRec*>(o));
    return names(objects);
  }
  static int sortAll(std::vector<gobjRec*>& objects) {
    return layerSortDrawList(objects.data(), uint32_t(objects.size()));
  }

};

TEST_F(LayerSort, TheFirstPriorityLayerIsDrawnLastOnTop) {
  onLayer("C", 0.1);
  onLayer("A", 0.2);
  onLayer("B", 0.3);
  onLayer("A", 0.4);
  EXPECT_EQ(eval("[(B) (A)] aSetDrawLayerPriority"), "0");
  EXPECT_EQ(eval("aStartLayerSortDraw"), "");
  vwDrawView(draft, 0);
  EXPECT_EQ(drawnNames(), "CAAB");
  // Without a list the names alone order the array: drawn from Z to A.
  EXPECT_EQ(eval("[] aSetDrawLayerPriority"), "1");
  lines().drawn.clear();
  vwDrawView(draft, 0);
  EXPECT_EQ(drawnNames(), "CBAA");
  // Ended, the sieve's order comes back: every object once, nothing sorted.
  EXPECT_EQ(eval("aEndLayerSortDraw"), "");
  EXPECT_EQ(vwGetSortHook(), nullptr);
  EXPECT_FALSE(vwGetSortEnabled());
  lines().drawn.clear();
  vwDrawView(draft, 0);
  EXPECT_EQ(lines().drawn.size(), 4u);
}

TEST_F(LayerSort, ThePriorityOperatorTakesOnlyStrings) {
  struct Case {
    const char* script;
    const char* answer;
    std::vector<std::string> list;
  } cases[] = {
      {"[(B) (A)] aSetDrawLayerPriority", "0", {"B", "A"}},
      {"[1 (A) /B] aSetDrawLayerPriority", "0", {"A"}},
      {"[] aSetDrawLayerPriority", "1", {}},
      {"5 aSetDrawLayerPriority", "1", {}},
      {"[(Walls) ()] aSetDrawLayerPriority", "0", {"Walls", ""}},
  };
  for (const Case& c : cases) {
    eval("[(old)] aSetDrawLayerPriority");
    EXPECT_EQ(eval(c.script), c.answer) << c.script;
    std::vector<std::string> list;
    for (uint32_t i = 0; i < layerPriorityCount(); ++i) {
      uint32_t length = 0;
      const char* name = layerPriorityName(i, &length);
      list.emplace_back(name, length);
    }
    EXPECT_EQ(list, c.list) << c.script;
  }
}

TEST_F(LayerSort, ANameListedTwiceKeepsTheNameOrderAndLogs) {
  std::vector<gobjRec*> objects{onLayer("C", 0.1), onLayer("A", 0.2), onLayer("B", 0.3)};
  EXPECT_EQ(eval("[(A) (A)] aSetDrawLayerPriority"), "0");
  gobjfx::state().log.clear();
  EXPECT_EQ(sortAll(objects), 1);
  EXPECT_EQ(names(objects), "ABC");
  EXPECT_NE(log().find("layerSortDrawList: user sort failure\n"), std::string::npos) << log();
  // A listed layer without objects is no failure.
  EXPECT_EQ(eval("[(Q) (C)] aSetDrawLayerPriority"), "0");
  gobjfx::state().log.clear();
  EXPECT_EQ(sortAll(objects), 0);
  EXPECT_EQ(names(objects), "CAB");
  EXPECT_EQ(log().find("user sort failure"), std::string::npos);
}

TEST_F(LayerSort, NamesCompareByteWise) {
  // Upper case before lower case, a prefix before what extends it, and the
  // byte 0xE9 after every ASCII letter.
  // (Layer names are found without case, so each differs in more.)
  std::vector<gobjRec*> objects{onLayer("a", 0.1), onLayer("\xE9", 0.2), onLayer("Bb", 0.3), onLayer("B", 0.4),
                                onLayer("Ba", 0.5)};
  EXPECT_EQ(sortAll(objects), 0);
  EXPECT_EQ(names(objects), "BBaBba\xE9");
}

TEST_F(LayerSort, AnEmptyBoxIsNeitherSortedNorDrawn) {
  // Sorting on over a view whose box holds nothing: no panic at the redraw.
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  onLayer("A", 50);  // far outside the small view's box
  eval("aStartLayerSortDraw");
  plTestClearMessageBoxes();
  vwDrawView(view, 0);
  EXPECT_TRUE(lines().drawn.empty());
  EXPECT_EQ(boxes(), "");
  // Asked directly, an empty array is the panic it always was.
  EXPECT_EQ(layerSortDrawList(nullptr, 0), -1);
  EXPECT_NE(boxes().find("layerSortDrawList: tried to sort nonedata array"), std::string::npos) << boxes();
}

TEST_F(LayerSort, RunningOutOfMemoryLeavesTheOrderAndTheListEmpty) {
  std::vector<gobjRec*> objects{onLayer("B", 0.1), onLayer("A", 0.2)};
  EXPECT_EQ(eval("[(A)] aSetDrawLayerPriority"), "0");
  // The operator is called directly: the interpreter itself would need
  // memory to run a script.
  feObject name = text("B");
  feObject list;
  feMakeArray(&list, &name, 1);
  feArg in{};
  in.value = &list;
  int32_t code = -1;
  plTestClearMessageBoxes();
  uSetSystemRealloc([](void*, size_t) -> void* { return nullptr; });
  const int sorted = sortAll(objects);
  const int set = call(vwOpSetDrawLayerPriority, {in}, {&code});
  uSetSystemRealloc(nullptr);
  EXPECT_EQ(sorted, -1);
  EXPECT_EQ(names(objects), "BA") << "the array as it was";
  EXPECT_NE(boxes().find("layerSortDrawList: allocation failure"), std::string::npos) << boxes();
  EXPECT_EQ(set, 0);
  EXPECT_EQ(code, 9);
  EXPECT_EQ(layerPriorityCount(), 0u);
  feFree(&list);
}

}  // namespace
