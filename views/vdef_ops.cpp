// The view-direction operators: turning the current view to a direction,
// and finding a direction by its title.
#include "views/vdef.h"

#include "core/vec.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwboxes.h"
#include "views/vwinit.h"

#include <cstdint>

namespace {

// The answer without a current view: there is nothing to turn.
constexpr int kNoView = 1;

uint32_t viewsOn(const sheetRec* sheet) {
  uint32_t n = 0;
  for (const viewRec* view = sheet ? sheet->firstView : nullptr; view; view = view->next) ++n;
  return n;
}

// Every view of the sheet but one back to its rectangle on the sheet (its
// screen box taken back through the sheet-to-world matrix), and refreshed.
void refitOthers(sheetRec* sheet, const viewRec* except) {
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    if (view == except) continue;
    double box[4];
    vwScreenBoxToSheet(view->screenBox, sheet->zoom[0].sheetToWorld, box);
    vwSetCorners(view, box, 0);
    vwRecompute(view, 1);
  }
}

}  // namespace

// "Q[vdefs]B" (aVDefToView) and "Q[vdefs]B<false>" (aViewDirSet): the
// direction, and whether its centre is taken as well.
int vwOpVDefToView(feArgs* args) {
  const auto* record = static_cast<const vdefRec*>(args->in[0].record);
  const bool withCentre = args->in[1].i != 0;
  viewRec* view = vwCurView();
  if (!view) return kNoView;
  if (!vdefIs(record)) return vwErrBadObject;
  sheetRec* sheet = view->sheet;
  // The draft view of a sheet that shows other views keeps its orientation.
  if (sheet && sheet->activeView == view && viewsOn(sheet) >= 2) return vwErrNoModDraftView;
  double normal[3];
  vecSub3(record->eye, record->centre, normal);
  if (const int answer = vwSetDirection(view, withCentre ? record->centre : nullptr, normal, record->up, 0))
    return answer;
  vwRecompute(view, 1);
  sheetRec* current = vwCurSheet();
  if (current && current == sheet && current->activeView == view) refitOthers(current, view);
  return 0;
}

// "S#B": pushes the current document's direction of that title when there
// is one, and answers whether it did.
int vwOpViewDirFind(feArgs* args) {
  const feArgText& title = args->in[0].text;
  vdefRec* record = vdefFind(vwCurDoc(), title.text, uint32_t(title.length));
  if (record)
    if (const int answer = fePushValue(record)) return answer;
  *static_cast<int32_t*>(args->out[0]) = record ? 1 : 0;
  return 0;
}
