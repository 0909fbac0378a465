// Printing one page: where a page falls on which sheet, and the drawing of
// that sheet into the printer's page with the sheet's window, zoom state and
// window rectangle replaced for the time.
#include "views/print.h"

#include "draw/gxdraw.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/redraw.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstring>

namespace {

int32_t pagesOf(const sheetRec* sheet) { return int32_t(sheet->pagesAcross ? sheet->pagesAcross : 1) * (sheet->pagesDown ? sheet->pagesDown : 1); }

// Every view fitted to the sheet's present window: the draft view covers
// its view rectangle, the others follow their sheet boxes.
void fitViews(sheetRec* sheet) {
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    if (view == sheet->activeView) vwFitDraftView(sheet);
    else vwComputeScreenBox(view);
    view->flags |= viewChanged;
  }
}

}  // namespace

sheetRec* printFindPage(void* docOrSheet, int32_t page, int32_t* pageInSheet) {
  if (!docOrSheet || page < 1) return nullptr;
  if (sheetIs(docOrSheet)) {
    auto* sheet = static_cast<sheetRec*>(docOrSheet);
    if (page > pagesOf(sheet)) return nullptr;
    if (pageInSheet) *pageInSheet = page;
    return sheet;
  }
  if (!docIs(docOrSheet)) return nullptr;
  for (sheetRec* sheet = static_cast<docRec*>(docOrSheet)->firstSheet; sheet; sheet = sheet->next) {
    if (page <= pagesOf(sheet)) {
      if (pageInSheet) *pageInSheet = page;
      return sheet;
    }
    page -= pagesOf(sheet);
  }
  return nullptr;
}

void printPageCell(const sheetRec* sheet, int32_t page, int32_t* column, int32_t* row) {
  const int32_t across = sheet->pagesAcross ? sheet->pagesAcross : 1;
  const int32_t down = sheet->pagesDown ? sheet->pagesDown : 1;
  const int32_t k = page - 1;
  if (sheet->plotDir & 1) {
    *row = k % down;
    *column = k / down;
  } else {
    *column = k % across;
    *row = k / across;
  }
}

void printPageCentre(const sheetRec* sheet, int32_t page, double out[2]) {
  int32_t column = 0, row = 0;
  printPageCell(sheet, page, &column, &row);
  const double across = sheet->pagesAcross ? sheet->pagesAcross : 1;
  const double down = sheet->pagesDown ? sheet->pagesDown : 1;
  const double left = sheet->plotBounds[0], top = sheet->plotBounds[1];
  const double right = sheet->plotBounds[2], bottom = sheet->plotBounds[3];
  out[0] = left + (right - left) * (column + 0.5) / across;
  out[1] = bottom + (down - row - 1 + 0.5) * (top - bottom) / down;
}

int printPage(windRecord* window, int32_t page, void* docOrSheet, const printPageInfo* info) {
  int32_t local = 0;
  sheetRec* sheet = printFindPage(docOrSheet, page, &local);
  if (!sheet || !info) return vwErrNoCurSheet;

  // What the page changes, kept to be put back.
  windRecord* savedWindow = sheet->window;
  sheetRec* savedSheet = vwCurSheet();
  const sheetZoom savedZoom = sheet->zoom[0];
  int32_t savedWindowBox[4], savedGraphicsBox[4];
  std::memcpy(savedWindowBox, sheet->windowBox, sizeof savedWindowBox);
  std::memcpy(savedGraphicsBox, sheet->graphicsBox, sizeof savedGraphicsBox);
  const int savedPrinting = vwIsPrinting();
  const int savedNoEnd = gxSetNoEndPixel(1);
  vwViewStack(1);

  sheet->window = window;
  sheetSetCurrent(nullptr);
  sheetSetCurrent(sheet);

  double centre[2];
  printPageCentre(sheet, local, centre);
  printSetPrinting(3);
  // Centred on the page at the plot scale: one page of the plot area fills
  // the printer's page.
  const RECT& rect = info->page;
  sheetZoom& zoom = sheet->zoom[0];
  zoom.pageScale = sheet->plotScale;
  zoom.centre[0] = centre[0];
  zoom.centre[1] = centre[1];
  zoom.screen[0] = (rect.left + rect.right) / 2;
  zoom.screen[1] = (rect.top + rect.bottom) / 2;
  const int32_t pageBox[4] = {rect.left, rect.top, rect.right, rect.bottom};
  std::memcpy(sheet->windowBox, pageBox, sizeof pageBox);
  std::memcpy(sheet->graphicsBox, pageBox, sizeof pageBox);
  int answer = sheetRecompute(sheet);
  if (answer == 0) {
    fitViews(sheet);
    const uint32_t savedFlags = vwDrawMode(7);
    sheetDrawViews(sheet);
    vwDrawMode(savedFlags);
  }

  printSetPrinting(savedPrinting);
  gxSetNoEndPixel(savedNoEnd);
  std::memcpy(sheet->windowBox, savedWindowBox, sizeof savedWindowBox);
  std::memcpy(sheet->graphicsBox, savedGraphicsBox, sizeof savedGraphicsBox);
  sheet->zoom[0] = savedZoom;
  sheet->window = savedWindow;
  sheetRecompute(sheet);
  fitViews(sheet);
  sheetSetCurrent(nullptr);
  sheetSetCurrent(savedSheet);
  vwViewStack(2);
  return answer;
}
