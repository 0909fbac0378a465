// Graphic objects draw through the drawing layer: message 302 takes the
// object's colour, 303 draws in erase mode and puts the mode back, and an
// object's box outline reaches the pixels of the current view (a stand-in
// view over a memory device, and a document's draft view in its window).
#include "draw/gxdraw_fixture.h"
#include "view_fixture.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "objects/bboxdraw.h"
#include "objects/gobject.h"
#include "objects/objmsg.h"

namespace {

using namespace gxdfx;

// "tdraw": records the colour and draw mode in force while it draws.
uint16_t tdrawClass;
int drawnColor = -1;
int32_t drawnMode = -1;

int tdrawHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(tdrawClass, sizeof(gobjRec), a);
  const int answer = objMeth(objSuperClass(tdrawClass), message, object, a, b, c);
  if (message == msgDraw) {
    drawnColor = gxGetColor();
    gxGetAttr(2, &drawnMode);
  }
  return answer;
}

class GobjectDraw : public GxDrawTest {
 protected:
  void SetUp() override {
    GxDrawTest::SetUp();
    gobjInit(0);
    if (!tdrawClass) tdrawClass = objClassRegister("tdraw", gobjClassId(), tdrawHandler);
    object = objNew(tdrawClass);
    objRetain(object);
  }
  void TearDown() override {
    objRelease(&object);
    GxDrawTest::TearDown();
  }
  gobjRec* object = nullptr;
};

TEST_F(GobjectDraw, DrawTakesTheObjectsColourAndEraseRestoresTheMode) {
  object->color = 5;
  gxSetColor(1);
  gxSetDrawMode(0);
  ASSERT_EQ(0, objMeth(tdrawClass, msgDraw, object));
  EXPECT_EQ(5, drawnColor);
  EXPECT_EQ(0, drawnMode);

  gxSetDrawMode(2);
  ASSERT_EQ(0, objMeth(tdrawClass, msgErase, object));
  EXPECT_EQ(1, drawnMode) << "erasing draws in mode 1";
  int32_t after = -1;
  gxGetAttr(2, &after);
  EXPECT_EQ(2, after) << "the caller's mode comes back";
}

TEST_F(GobjectDraw, BoxOutlineReachesThePixelsOfTheView) {
  // Screen x = 10 x + 50, y = -10 y + 100.
  const double view[16] = {10, 0, 0, 50, 0, -10, 0, 100, 0, 0, 1, 0, 0, 0, 0, 1};
  FakeView::hasView = true;
  loadView(view);
  const double lo[3] = {1, 1, 0}, hi[3] = {3, 2, 0};
  int16_t box[6];
  bboxFromCorners(lo, hi, box);
  bboxDraw(box);
  for (auto [x, y] : {std::pair{60, 90}, {80, 90}, {80, 80}, {60, 80}, {70, 90}, {60, 85}})
    EXPECT_TRUE(inked(x, y)) << x << "," << y;
  EXPECT_FALSE(inked(70, 85)) << "the inside stays blank";
}

// The same outline through a real document: 96 dpi at page scale 1, the
// world's origin at the sheet's centre, y up the window.
class GobjectDrawInWindow : public viewfx::ViewDrawTest {};

TEST_F(GobjectDrawInWindow, BoxOutlineReachesThePixelsOfTheDraftView) {
  docRec* doc = newDoc();
  windRecord* window = newWindow(RECT{0, 0, 400, 300});
  sheetRec* sheet = sheetCreate(doc, doc->firstModel, window);
  ASSERT_NE(sheet, nullptr);
  vwSetCurView(sheet->activeView);
  const int cx = sheet->zoom[0].screen[0], cy = sheet->zoom[0].screen[1];
  const double lo[3] = {0.25, 0.25, 0}, hi[3] = {0.75, 0.5, 0};
  int16_t box[6];
  bboxFromCorners(lo, hi, box);
  gxSetColor(1);
  bboxDraw(box);
  HWND hwnd = native(window);
  for (auto [x, y] : {std::pair{cx + 24, cy - 24}, {cx + 72, cy - 24}, {cx + 72, cy - 48}, {cx + 24, cy - 48},
                      {cx + 48, cy - 24}, {cx + 24, cy - 36}})
    EXPECT_TRUE(inked(hwnd, x, y)) << x - cx << "," << y - cy;
  EXPECT_FALSE(inked(hwnd, cx + 48, cy - 36)) << "the inside stays blank";
}

}  // namespace
