// The draw-flags word, drawing one object when it is visible, and the redraw
// callbacks.
#include "redraw_fixture.h"

#include "objects/layer.h"
#include "objects/layer_internal.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using redrawfx::RedrawTest;

TEST_F(RedrawTest, DrawModeSetsTheWordAndAQueryLeavesIt) {
  EXPECT_EQ(vwDrawMode(3), 0u);
  EXPECT_EQ(vwDrawMode(vwDrawQuery), 3u);
  EXPECT_EQ(vwDrawMode(vwDrawQuery | 8), 3u) << "a query changes nothing";
  EXPECT_EQ(vwDrawFlags(), 3u) << "the drawing layer reads the word through its view hooks";
  EXPECT_EQ(vwDrawMode(8), 3u);
  EXPECT_EQ(vwDrawFlags(), 8u);
}

TEST_F(RedrawTest, WhatObjDrawIfVisibleDraws) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  vwSetCurView(sheet->activeView);
  const uint8_t here = uint8_t(vwCurViewIndex());
  ASSERT_NE(here, 0);
  const struct {
    const char* what;
    uint16_t flags;
    uint8_t owner;
    uint32_t drawFlags;
    bool drawn;
  } cases[] = {
      {"plain", 0, 0, 0, true},
      {"hidden", gobjHidden, 0, 0, false},
      {"hidden, whatever the flags", gobjHidden, 0, vwDrawDeferred | vwDrawNoMarkers, false},
      {"queued", updQueued, 0, 0, false},
      {"queued, deferred drawing", updQueued, 0, vwDrawDeferred, true},
      {"bound to this view", 0, here, 0, true},
      {"bound to another view", 0, uint8_t(here + 1), 0, false},
  };
  for (const auto& c : cases) {
    gobjRec* o = object();
    o->flags = c.flags;
    o->owner = c.owner;
    vwDrawMode(c.drawFlags);
    drawn().clear();
    objDrawIfVisible(o);
    EXPECT_EQ(timesDrawn(o), c.drawn ? 1 : 0) << c.what;
    drawn().clear();
    EXPECT_EQ(objDrawIfVisibleCb(o, nullptr), 0);
    EXPECT_EQ(timesDrawn(o), c.drawn ? 1 : 0) << c.what << " (callback)";
  }
}

TEST_F(RedrawTest, ClumpElementsOnAHiddenLayerAreOnlyErased) {
  docSetCurrent(newDoc());
  ASSERT_NE(dbCurrentDoc(), nullptr);
  const int layer = layerFind("Back", 4, layerFindCreate);
  ASSERT_GT(layer, 0);
  ASSERT_EQ(layerHideNumber(layer, 1), 0);
  ASSERT_EQ(layerQuery(1, layer), -1) << "the layer is hidden";
  gobjRec* member = object();
  member->layer = uint8_t(layer);  // a member of a composite keeps its own flags
  const struct {
    bool clumpHide;
    int mode;
    bool drawn;
  } cases[] = {{false, gxModeDraw, true}, {true, gxModeDraw, false}, {true, gxModeXor, false}, {true, gxModeErase, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(eval(c.clumpHide ? "aStartClumpElementLayerHide" : "aEndClumpElementLayerHide"), "");
    gxSetDrawMode(c.mode);
    drawn().clear();
    objDrawIfVisible(member);
    EXPECT_EQ(timesDrawn(member), c.drawn ? 1 : 0) << c.clumpHide << " mode " << c.mode;
  }
  eval("aEndClumpElementLayerHide");
  gxSetDrawMode(gxModeDraw);
}

std::vector<std::pair<int, void*>> ran;
void hookA(void* argument) { ran.emplace_back(1, argument); }
void hookB(void* argument) { ran.emplace_back(2, argument); }

TEST_F(RedrawTest, RedrawHooksAreKeptOncePerPairAndRunInOrder) {
  int slots[12];
  vwAddRedrawHook(hookA, &slots[0]);
  vwAddRedrawHook(hookB, &slots[0]);
  vwAddRedrawHook(hookA, &slots[0]);  // already there
  vwAddRedrawHook(hookA, &slots[1]);
  ran.clear();
  vwRunRedrawHooks();
  EXPECT_EQ(ran, (std::vector<std::pair<int, void*>>{{1, &slots[0]}, {2, &slots[0]}, {1, &slots[1]}}));

  // Five entries fit; the sixth grows the arrays to ten, the eleventh to 15.
  vwAddRedrawHook(hookA, &slots[2]);
  vwAddRedrawHook(hookA, &slots[3]);
  EXPECT_EQ(log(), "");
  vwAddRedrawHook(hookA, &slots[4]);
  EXPECT_EQ(log(), "realloc redraw arrays, 5\n");
  for (int i = 5; i < 9; ++i) vwAddRedrawHook(hookA, &slots[i]);
  EXPECT_EQ(log(), "realloc redraw arrays, 5\n") << "ten entries fit";
  vwAddRedrawHook(hookA, &slots[9]);
  EXPECT_EQ(log(), "realloc redraw arrays, 5\nrealloc redraw arrays, 10\n");
  ran.clear();
  vwRunRedrawHooks();
  ASSERT_EQ(ran.size(), 11u);
  EXPECT_EQ(ran[10], std::make_pair(1, static_cast<void*>(&slots[9])));
}

}  // namespace
