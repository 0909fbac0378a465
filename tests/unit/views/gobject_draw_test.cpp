// Graphic objects draw through the drawing layer: message 302 takes the
// object's colour, 303 draws in erase mode and puts the mode back, and an
// object's box outline reaches the pixels of the current view.
#include "gxdraw_fixture.h"

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

}  // namespace
