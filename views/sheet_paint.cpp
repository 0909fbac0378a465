// Painting a sheet's window: its views drawn back to front.
#include "views/sheet.h"

#include "views/redraw.h"
#include "views/view.h"
#include "views/view_internal.h"
#include "views/vwevent.h"

#include <vector>

void sheetDrawViews(sheetRec* sheet) {
  if (!sheet || !sheetHwnd(sheet)) return;
  std::vector<viewRec*> views;
  for (viewRec* view = sheet->firstView; view; view = view->next) views.push_back(view);
  // The head of the list is in front: it is drawn last, over the others,
  // each on a clear box of its own.
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    if (it != views.rbegin()) viewint::clearScreenBox(*it);
    vwDrawView(*it, 0);
  }
  // What is drawn over the views (the tools' feedback, page frames) comes
  // back after them.
  vwRunRedrawHooks();
}

int sheetPaintDispatch(sheetRec* sheet, const vwEventRec* event) {
  if (!event || event->kind != vwEvkPaint) return 0;
  sheetDrawViews(sheet);
  return 1;
}

// The sheet windows' events go to their event handler (views/vwevent.h),
// which paints through sheetDrawViews.
void sheetPaintInit() { sheetSetEventDispatch(vwSheetDispatch); }
