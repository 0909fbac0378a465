// The display of the selection: the select-by word and "$BLINKCURSOR", the
// select-by operators, the selection-pending flag, and the colour selected
// objects draw in (with the drawing layer's colour override).
#include "layer_fixture.h"
#include "memfile_fixture.h"

#include "draw/gx.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "objects/selmode.h"
#include "objects/selsource.h"

namespace {

class SelMode : public layerfx::LayerTest {
protected:
  void SetUp() override {
    LayerTest::SetUp();
    if (!execfx::defined("aSetSelectByBlink")) selInit();
    if (!execfx::defined("aResetSelection")) feRegisterOp("aResetSelection", selResetOp, "!", 0, 0);
    selModeInit();
  }
  void TearDown() override {
    while (gxColorOverrideCount() > 0) gxColorOverrideLower();
    selByReset();
    LayerTest::TearDown();
  }
  std::string result(const char* text) {
    const int rc = run(text);
    const std::string out = rc ? std::to_string(rc) : stack();
    clearStack();
    return out;
  }
};

TEST_F(SelMode, StartsInColourOnAColourDisplay) {
  EXPECT_EQ(selByGet(), selByColor);
  EXPECT_FALSE(selPendingGet());
  EXPECT_EQ(selModeGet(), 0);
}

TEST_F(SelMode, StoredBlinkCursorValues) {
  struct Case {
    uint16_t stored;
    bool colorDisplay;
    uint16_t word;
  };
  const Case cases[] = {
      {7, true, selByColor}, {4, true, selByColor}, {1, true, selByBlink}, {2, true, selByColor},
      {3, true, 3},          {0, true, 0},          {2, false, selByBlink}, {7, false, selByBlink},
  };
  for (const Case& c : cases)
    EXPECT_EQ(selByFromStored(c.stored, c.colorDisplay), c.word) << c.stored << (c.colorDisplay ? " colour" : " mono");
}

TEST_F(SelMode, BlinkCursorTravelsAsOneShortValue) {
  ASSERT_EQ(docVarFind("$BLINKCURSOR", 12), selBlinkCursorIO);
  ioCtx ctx;
  memfile::open(ctx, 4);
  selBySet(7);
  ASSERT_EQ(selBlinkCursorIO("$BLINKCURSOR", &doc, &ctx), 0);
  EXPECT_EQ(memfile::written(ctx), "07") << "a small value codes in one byte";
  memfile::readFromStart(ctx);
  ctx.mode = 'r';
  selBySet(selByBlink);
  ASSERT_EQ(selBlinkCursorIO("$BLINKCURSOR", &doc, &ctx), 0);
  EXPECT_EQ(selByGet(), selByColor) << "7 reads as the colour mode";
  std::fclose(ctx.stream);
}

TEST_F(SelMode, SelectByOperators) {
  EXPECT_EQ(result("aGetSelectByBlink aGetSelectByColor"), "false true");
  EXPECT_EQ(result("true aSetSelectByBlink aGetSelectByBlink aGetSelectByColor"), "true true");
  EXPECT_EQ(selByGet(), selByBlink | selByColor);
  EXPECT_EQ(result("false aSetSelectByColor aGetSelectByBlink aGetSelectByColor"), "true false");
  EXPECT_EQ(result("false aSetSelectByBlink aGetSelectByBlink"), "false");
  EXPECT_EQ(selByGet(), 0);
}

TEST_F(SelMode, PendingFlagFromResetAndModelAndLayerEvents) {
  struct Case {
    const char* what;
    uint32_t code;
    bool pending;
  };
  const Case cases[] = {
      {"model change", 0x01030007u, true},
      {"new layer", 0x00020001u, true},
      {"document change", 0x01010007u, false},
      {"end of command", evtCommandEnd, false},
  };
  for (const Case& c : cases) {
    selPendingSet(false);
    evtSignal(c.code, 0);
    EXPECT_EQ(selPendingGet(), c.pending) << c.what;
  }
  selPendingSet(false);
  EXPECT_EQ(result("aResetSelection"), "");
  EXPECT_TRUE(selPendingGet());
  selRefresh(0);
  EXPECT_TRUE(selPendingGet()) << "only a refresh in mode 2 takes the flag down";
  selRefresh(2);
  EXPECT_FALSE(selPendingGet());
}

TEST_F(SelMode, RefreshRunsTheInformationHookOnlyForAPendingSelection) {
  static int refreshed;
  refreshed = 0;
  selSetInfoHook([] { ++refreshed; });
  selRefresh(2);
  EXPECT_EQ(refreshed, 0);
  selPendingSet(true);
  selRefresh(1);
  EXPECT_EQ(refreshed, 0);
  selRefresh(2);
  EXPECT_EQ(refreshed, 1);
  selSetInfoHook(nullptr);
}

// The colour an object draws in, and what message 302 leaves current.
TEST_F(SelMode, DrawingColour) {
  doc.selectColor = 9;
  gobjRec* object = put(number("Layer1"));
  object->color = 3;
  struct Case {
    uint16_t selectBy;
    bool selected;
    int overrides;
    int color;
  };
  const Case cases[] = {
      {selByColor, true, 0, 9},  {selByColor, false, 0, 3}, {selByBlink, true, 0, 3},
      {selByColor, true, 1, 5},  {selByBlink, false, 2, 5},
  };
  for (const Case& c : cases) {
    selBySet(c.selectBy);
    object->flags = uint16_t(c.selected ? object->flags | gobjSelected : object->flags & ~gobjSelected);
    gxSetColor(5);
    for (int i = 0; i < c.overrides; ++i) gxColorOverrideRaise();
    EXPECT_EQ(gobjDrawColor(object), c.color) << "case colour " << c.color << " overrides " << c.overrides;
    objMeth(object->classId, msgDraw, object);
    EXPECT_EQ(gxGetColor(), c.color) << "after 302, overrides " << c.overrides;
    while (gxColorOverrideCount() > 0) gxColorOverrideLower();
  }
  EXPECT_EQ(gxColorOverrideLower(), 0) << "the count stays at 0";
}

}  // namespace
