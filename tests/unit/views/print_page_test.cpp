// Where pages fall: the sheet holding a page of a document, a page's column
// and row in either page order, and a page's centre on the sheet; and one
// page drawn into a printer page at the right spot.
#include "print_fixture.h"

namespace {

using printfx::PrintTest;

class PrintLayout : public sheetfx::SheetTest {};

TEST_F(PrintLayout, PagesAreNumberedRowByRowOrColumnByColumn) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  sheet->pagesAcross = 2;
  sheet->pagesDown = 3;
  struct Case {
    int order, page, column, row;
  } cases[] = {
      {0, 1, 0, 0}, {0, 2, 1, 0}, {0, 4, 1, 1}, {0, 6, 1, 2},
      {1, 1, 0, 0}, {1, 2, 0, 1}, {1, 4, 1, 0}, {1, 6, 1, 2},
  };
  for (const Case& c : cases) {
    sheet->plotDir = uint8_t(c.order);
    int32_t column = -1, row = -1;
    printPageCell(sheet, c.page, &column, &row);
    EXPECT_EQ(column, c.column) << "order " << c.order << " page " << c.page;
    EXPECT_EQ(row, c.row) << "order " << c.order << " page " << c.page;
  }
  // Page 1 is the top left page of the default bounds (-4.25, 5.5, 4.25, -5.5).
  sheet->plotDir = 0;
  double centre[2];
  printPageCentre(sheet, 1, centre);
  EXPECT_TRUE(vwfx::near({centre[0], centre[1]}, {-2.125, 5.5 - 11.0 / 6}, 1e-12));
  printPageCentre(sheet, 6, centre);
  EXPECT_TRUE(vwfx::near({centre[0], centre[1]}, {2.125, -5.5 + 11.0 / 6}, 1e-12));
}

TEST_F(PrintLayout, DocumentPagesRunThroughItsSheets) {
  docRec* doc = newDoc();
  sheetRec* first = newSheet(doc);
  first->pagesAcross = 2;
  first->pagesDown = 3;
  sheetRec* second = newSheet(doc);
  int32_t local = 0;
  EXPECT_EQ(printFindPage(doc, 6, &local), first);
  EXPECT_EQ(local, 6);
  EXPECT_EQ(printFindPage(doc, 7, &local), second);
  EXPECT_EQ(local, 1);
  EXPECT_EQ(printFindPage(doc, 8, &local), nullptr) << "past the last sheet";
  EXPECT_EQ(printFindPage(doc, 0, &local), nullptr);
  EXPECT_EQ(printFindPage(second, 1, &local), second) << "a sheet is its own pages";
  EXPECT_EQ(printFindPage(second, 2, &local), nullptr);
  printPageInfo info;
  printInfoOf(nullptr, &info);
  EXPECT_EQ(printPage(nullptr, 8, doc, &info), vwErrNoCurSheet);
  EXPECT_EQ(printPage(nullptr, 1, doc->firstModel, &info), vwErrNoCurSheet) << "neither a document nor a sheet";
}

}  // namespace
