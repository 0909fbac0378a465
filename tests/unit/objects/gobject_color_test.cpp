// The "color" key of graphic objects: the colour by its name in the
// current colour table.
#include "ctab_fixture.h"

namespace {

class GobjColor : public ctabfx::CTabTest {};

TEST_F(GobjColor, ColorKeyReadsAndSetsTheColourByName) {
  makeCurrent();
  gobjfx::tptRec* p = newPoint();
  p->head.color = 1;
  std::string text;
  EXPECT_EQ(gobjfx::GobjTest::get(&p->head, "color", &text), 0);
  EXPECT_EQ(text, "(Red)");

  feObject blue;
  feMakeString(&blue, "Blue", 4);
  int32_t blueId = -1;
  ASSERT_EQ(colorFindName("Blue", 4, &blueId), 0);
  ASSERT_NE(blueId, 1);
  EXPECT_EQ(gobjfx::GobjTest::set(&p->head, "color", blue), 0);
  EXPECT_EQ(p->head.color, blueId);

  // A name no entry has leaves the colour as it was.
  feObject none;
  feMakeString(&none, "No Such Colour", 14);
  EXPECT_EQ(gobjfx::GobjTest::set(&p->head, "color", none), -4112);
  EXPECT_EQ(p->head.color, blueId);
}

TEST_F(GobjColor, ANumberWithoutAnEntryInUseHasNoName) {
  makeCurrent();
  gobjfx::tptRec* p = newPoint();
  p->head.color = 200;  // the default table uses ids 0-63
  EXPECT_EQ(gobjfx::GobjTest::get(&p->head, "color", nullptr), -4112);
}

}  // namespace
