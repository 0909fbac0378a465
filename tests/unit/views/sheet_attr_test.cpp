// The attribute keys of sheets.
#include "sheet_fixture.h"

#include <cstring>
#include <string>

namespace {

using sheetfx::SheetTest;

class SheetAttr : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    doc = newDoc();
    sheet = newSheet(doc);
  }
  std::string read(const char* key, int* answer = nullptr) {
    std::string text;
    const int rc = get(sheet, key, &text);
    if (answer) *answer = rc;
    return text;
  }
  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
};

TEST_F(SheetAttr, ReadsTheLayoutAndTheBoxes) {
  EXPECT_EQ(read("title"), "(Sheet 1)");
  EXPECT_EQ(read("pagesacross"), "1");
  EXPECT_EQ(read("plotdir"), "0");
  EXPECT_EQ(read("plotbounds"), "[-4.25 5.5 4.25 -5.5 ]");
  EXPECT_EQ(read("plotscale"), "1.");
  EXPECT_EQ(read("showviewbounds"), "true");
  EXPECT_EQ(read("lockviews"), "false");
  EXPECT_EQ(read("open"), "false");
  EXPECT_EQ(read("window"), "-null-");
  EXPECT_EQ(read("activeview"), "-null-");
  sheet->graphicsBox[2] = 640;
  EXPECT_EQ(read("graphicsbox").substr(0, 4), "[0 0");
  sheet->zoom[0].pageScale = 0.5;
  sheet->plotScale = 0.25;
  EXPECT_EQ(read("scale"), "0.5");
  EXPECT_EQ(read("zoom"), "2.");
  int answer = 0;
  read("center", &answer);
  EXPECT_EQ(answer, 0);
  read("nosuchkey", &answer);
  EXPECT_EQ(answer, vwErrBadKey);
}

TEST_F(SheetAttr, TheDraftViewAndTheOtherViews) {
  const double box[4] = {0, 0, 1, 1};
  viewRec* other = vwCreate(sheet, doc->firstModel, box, 0);
  feObject k = gobjfx::name("draftview"), v;
  feMakeNull(&v);
  ASSERT_EQ(objMeth(sheetClassId(), msgGetAttr, sheet, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v)),
            0);
  void* record = nullptr;
  EXPECT_EQ(feGetObjRef(&v, nullptr, &record), 0);
  EXPECT_EQ(record, sheet->activeView);
  feFree(&v);
  k = gobjfx::name("views");
  feMakeNull(&v);
  ASSERT_EQ(objMeth(sheetClassId(), msgGetAttr, sheet, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v)),
            0);
  ASSERT_EQ(feArrayLength(&v), 1);
  EXPECT_EQ(feGetObjRef(feArrayElem(&v, 0), nullptr, &record), 0);
  EXPECT_EQ(record, other);
  EXPECT_EQ(other->refCount, 2);  // the sheet's and the array's
  feFree(&v);
  EXPECT_EQ(other->refCount, 1);
}

TEST_F(SheetAttr, PageCountsAndDirectionAreChecked) {
  const struct {
    const char* key;
    int32_t value;
    int answer;
  } cases[] = {
      {"pagesacross", 0, vwErrBadValue}, {"pagesacross", 256, vwErrBadValue}, {"pagesacross", 255, 0},
      {"pagesdown", 0, vwErrBadValue},   {"pagesdown", 256, vwErrBadValue},   {"pagesdown", 1, 0},
      {"plotdir", -1, vwErrBadValue},    {"plotdir", 4, vwErrBadValue},       {"plotdir", 3, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(set(sheet, c.key, integer(c.value)), c.answer) << c.key << " " << c.value;
  EXPECT_EQ(sheet->pagesAcross, 255);
  EXPECT_EQ(sheet->pagesDown, 1);
  EXPECT_EQ(sheet->plotDir, 3);
}

TEST_F(SheetAttr, ReadOnlyKeysAndFlags) {
  for (const char* key : {"plotscale", "views", "draftView", "draftview", "screenbox"})
    EXPECT_EQ(set(sheet, key, real(1)), vwErrBadKey) << key;
  feObject corners[4] = {integer(0), integer(0), integer(1), integer(1)};
  feObject box;
  feMakeArray(&box, corners, 4);
  EXPECT_EQ(set(sheet, "windowbox", box), vwErrBadKey);
  EXPECT_EQ(set(sheet, "nosuchkey", integer(1)), vwErrBadKey);
  EXPECT_EQ(set(sheet, "lockviews", execfx::integer(0)), 269);  // a boolean is wanted
  feObject yes;
  feMakeBool(&yes, 1);
  EXPECT_EQ(set(sheet, "lockviews", yes), 0);
  feObject no;
  feMakeBool(&no, 0);
  EXPECT_EQ(set(sheet, "showviewbounds", no), 0);
  EXPECT_EQ(sheet->flags & (sheetLockViews | sheetShowViewBounds), sheetLockViews);
  feObject none;
  feMakeNull(&none);
  EXPECT_EQ(set(sheet, "activeview", none), 0);  // taken, without effect
  EXPECT_EQ(set(sheet, "plotbounds", reals({0, 0, 11, 8.5})), 0);
  EXPECT_EQ(sheet->plotBounds[2], 11);
}

TEST_F(SheetAttr, TitlesAreUniqueInTheDocument) {
  sheetRec* second = newSheet(doc);
  EXPECT_EQ(set(second, "title", text("SHEET 1")), vwErrTitleNotUnique);
  EXPECT_STREQ(second->title, "Sheet 2");
  EXPECT_EQ(set(second, "title", text("Elevations")), 0);
  EXPECT_STREQ(second->title, "Elevations");
  EXPECT_EQ(set(second, "title", text("Elevations")), 0);  // its own title is no clash
}

TEST_F(SheetAttr, ScaleAboutTheMiddleOfTheWindowAndRefusals) {
  sheet->graphicsBox[0] = sheet->graphicsBox[1] = 0;
  sheet->graphicsBox[2] = 400;
  sheet->graphicsBox[3] = 200;
  // The sheet point in the middle of the client area stays there.
  double middle[3];
  const double screen[3] = {200, 100, 0};
  aPtTransform(3, screen, sheet->zoom[0].sheetToWorld, middle);
  ASSERT_EQ(set(sheet, "scale", real(2)), 0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 2);
  EXPECT_EQ(sheet->zoomCount, 2);
  double p[3];
  aPtTransform(3, middle, sheet->zoom[0].worldToSheet, p);
  EXPECT_NEAR(p[0], 200, 1e-9);
  EXPECT_NEAR(p[1], 100, 1e-9);
  sheetZoom before;
  std::memcpy(&before, &sheet->zoom[0], sizeof before);
  EXPECT_EQ(set(sheet, "scale", real(1e-31)), vwErrScaleTooSmall);
  EXPECT_EQ(std::memcmp(&before, &sheet->zoom[0], sizeof before), 0);
  EXPECT_EQ(sheet->zoomCount, 2);
  sheet->plotScale = 0.5;
  ASSERT_EQ(set(sheet, "zoom", real(3)), 0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 1.5);
  ASSERT_EQ(set(sheet, "center", reals({7, 8})), 0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 1.5);
  EXPECT_EQ(sheet->zoom[0].centre[0], 7);
  EXPECT_EQ(sheet->zoom[0].centre[1], 8);
  EXPECT_EQ(sheet->zoom[0].screen[0], 200);
  EXPECT_EQ(sheet->zoom[0].screen[1], 100);
}

TEST_F(SheetAttr, OrderMovesTheSheetInItsDocument) {
  sheetRec* second = newSheet(doc);
  EXPECT_EQ(set(second, "order", integer(0)), 0);
  EXPECT_EQ(doc->firstSheet, second);
  EXPECT_EQ(second->next, sheet);
  EXPECT_EQ(set(second, "order", integer(-1)), 0);
  EXPECT_EQ(doc->firstSheet, sheet);
  sheetRec* free = looseSheet();
  EXPECT_EQ(set(free, "order", integer(0)), vwErrNoCurDoc);
}

}  // namespace
