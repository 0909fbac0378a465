// The selection mask: aSetSelMask by class, layer and colour names.
#include "grpedit_fixture.h"

#include "draw/gdi.h"
#include "objects/colortbl.h"
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

namespace {

using grpeditfx::GrpEditTest;

bool blocked(const gobjRec* o) { return (o->flags & gobjNoSelect) != 0; }

TEST_F(GrpEditTest, SelMaskByLayerBlocksTheObjectsOfOtherLayers) {
  doc.layers = layerTblNew(1);
  const int construction = layerFind("construction", 12, 0);
  ASSERT_GE(construction, 0);
  gobjRec* plain = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* drafted = seg({0, 1, 0}, {1, 1, 0});
  ASSERT_EQ(layerSet(drafted, construction, 0), 0);
  ASSERT_EQ(objInsert(drafted), 0);
  ASSERT_EQ(drafted->layer, construction);

  ASSERT_EQ(run("null [(construction) (nosuchlayer)] null aSetSelMask"), 0);
  EXPECT_TRUE(blocked(plain));
  EXPECT_FALSE(blocked(drafted));
  // All null: every object selectable again, nothing more.
  ASSERT_EQ(run("null null null aSetSelMask"), 0);
  EXPECT_FALSE(blocked(plain));
  EXPECT_FALSE(blocked(drafted));
  tblFree(&doc.layers);
}

TEST_F(GrpEditTest, SelMaskByClassMatchesTheClassItself) {
  gobjRec* s = stored({0, 0, 0}, {1, 0, 0});
  sievefx::tboxRec* box = heldBox(0, 0, 0, 1, 1, 1);
  ASSERT_EQ(objInsert(&box->head), 0);
  ASSERT_EQ(run("[/tbox] null null aSetSelMask"), 0);
  EXPECT_TRUE(blocked(s));
  EXPECT_FALSE(blocked(&box->head));
  // "curve" is only the segment's superclass: the segment stays blocked.
  ASSERT_EQ(run("[(curve)] null null aSetSelMask"), 0);
  EXPECT_TRUE(blocked(s));
  EXPECT_TRUE(blocked(&box->head));
  // Classes decide before layers.
  ASSERT_EQ(run("[(tcrv)] [(nosuchlayer)] null aSetSelMask"), 0);
  EXPECT_FALSE(blocked(s));
}

TEST_F(GrpEditTest, SelMaskTakesAListedClassAboveEveryObjectsClass) {
  // A class registered after every other, with an id above all that the
  // document's objects, layers and colours use.
  static uint16_t late;
  if (!late) {
    for (int i = 0; i < 300; ++i) objClassRegister(("tlate" + std::to_string(i)).c_str(), gobjClassId(), nullptr);
    late = objClassByName("tlate299");
  }
  ASSERT_GT(late, 256);
  gobjRec* s = stored({0, 0, 0}, {1, 0, 0});
  ASSERT_EQ(run("[(tlate299)] null null aSetSelMask"), 0);
  EXPECT_TRUE(blocked(s));
}

TEST_F(GrpEditTest, SelMaskChecksItsArguments) {
  gobjRec* s = stored({0, 0, 0}, {1, 0, 0});
  s->flags |= gobjNoSelect;
  for (const char* text : {"1 null null aSetSelMask", "null (x) null aSetSelMask", "null null [1] aSetSelMask"}) {
    EXPECT_EQ(run(text), feErrTypeCheck) << text;
    feStackClear(*feOperandStack());
  }
  EXPECT_TRUE(blocked(s));   // nothing changed
}

TEST_F(GrpEditTest, SelMaskByColourName) {
  if (!execfx::defined("aColorTableMake")) {
    cTabInit();
  } else {
    cTabSetUp();
    colortblSetUp();
  }
  // The default names as the start-up script leaves them: other suites in
  // this process may have defined localisation scripts that rename them.
  feExecString("/aLocalizeTongueReq {pop} def /aLocalizeColorName {} def");
  cTab* table = cTabMakeDefault();
  cTabSetCurrent(table);
  struct Release {
    ~Release() {
      if (cTab* current = cTabCurrent()) cTabFree(current);
      cTabReset();
      gdiSetColorHooks(nullptr);
    }
  } release;
  int32_t red = -1, blue = -1;
  ASSERT_EQ(colorFindName("Red", 3, &red), 0);
  ASSERT_EQ(colorFindName("Blue", 4, &blue), 0);
  gobjRec* r = stored({0, 0, 0}, {1, 0, 0});
  gobjRec* b = stored({0, 1, 0}, {1, 1, 0});
  r->color = uint8_t(red);
  b->color = uint8_t(blue);
  EXPECT_EQ(run("null null [(Red)] aSetSelMask"), 0);
  EXPECT_FALSE(blocked(r));
  EXPECT_TRUE(blocked(b));
}

}  // namespace
