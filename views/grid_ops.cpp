// The grid module's set-up, its operators and its application event
// handlers.
#include "views/grid.h"

#include "fe/control.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/wplane.h"

namespace {

int (*printingSource)() = nullptr;
void (*displayRefresh)() = nullptr;

bool printing() { return printingSource && printingSource() != 0; }
void refreshDisplay() {
  if (displayRefresh) displayRefresh();
}

// View events: activation refreshes the settings display; a view being
// drawn gets its grid (not while printing).
void viewEvent(uint32_t code, intptr_t argument) {
  switch (code & 0xFFFF) {
    case 4:
    case 11: refreshDisplay(); break;
    case 6: {
      auto* view = reinterpret_cast<viewRec*>(argument);
      gridRec* grid = gridCurrent();
      if (view && grid && (view->flags & viewGridShown) && !printing()) gridDraw(view, grid, 0);
      break;
    }
    default: break;
  }
}

// Work-plane events: a plane that became its model's current plane moves
// the grid of every view of that model that shows it.
void planeEvent(uint32_t code, intptr_t argument) {
  const uint32_t kind = code & 0xFFFF;
  if (kind != 4 && kind != 11) return;
  auto* plane = reinterpret_cast<wplaneRec*>(argument);
  modelRec* model = plane ? plane->owner : nullptr;
  docRec* doc = model ? model->owner : nullptr;
  if (!doc) return;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    if (!sheet->window) continue;
    for (viewRec* view = sheet->firstView; view; view = view->next)
      if (view->model == model && (view->flags & viewGridShown)) gridRedrawView(view);
  }
}

const feOpSpec kOps[] = {
    {"aGridToggle", gridOpToggle, "!"},
    {"aGridSetParm", gridOpSetParm, "!BRI"},
    {"aGridGetParm", gridOpGetParm, "!#BRI"},
};

}  // namespace

void gridInit(gridRec* record) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    feOpSpecRegisterAll(kOps);
    gridRegisterTables();
    docAddEventHook(gridEventHook);
    gridClassId();
  }
  if (!record) return;
  if (const gridRec* grid = gridCurrent(); grid && grid != record) {
    record->steps = grid->steps < 1 ? 1 : grid->steps;
    record->spacing = grid->spacing;
  } else if (!grid) {
    record->steps = gridDefaultSteps;
    record->spacing = 1.0f;
  }
}

void gridRegisterTables() {
  varRegister(gridVarIO, "$GRIDSPACING", "$GRIDTICKS");
  evtAdd(0xFFFF0000u, 0x01040000u, viewEvent);
  evtAdd(0xFFFF0000u, 0x01050000u, planeEvent);
}

void gridInitModule() { gridInit(nullptr); }

void gridSetPrintingSource(int (*source)()) { printingSource = source; }
void gridSetDisplayRefresh(void (*refresh)()) { displayRefresh = refresh; }

// "!": flips the current view's grid and draws or erases it.
int gridOpToggle(feArgs*) {
  gridRec* grid = gridCurrent();
  viewRec* view = vwCurView();
  if (!grid || !view) return 0;
  view->flags ^= viewGridShown;
  gridDraw(view, grid, (view->flags & viewGridShown) ? 0 : 1);
  refreshDisplay();
  return 0;
}

// "!BRI": show, spacing, steps.
int gridOpSetParm(feArgs* args) {
  gridRec* grid = gridCurrent();
  if (!grid) return 0;
  viewRec* view = vwCurView();
  if (view && (view->flags & viewGridShown)) gridDraw(view, grid, 1);
  const int32_t steps = args->in[2].i;
  grid->spacing = float(args->in[1].d);
  grid->steps = steps < 1 ? 1u : uint32_t(steps);
  if (!view) return 0;
  if (args->in[0].i)
    view->flags |= viewGridShown;
  else
    view->flags &= uint16_t(~viewGridShown);
  if (view->flags & viewGridShown) gridDraw(view, grid, 0);
  if (view == vwActiveView()) refreshDisplay();
  return 0;
}

// "!#BRI": shown in the current view, spacing, steps.
int gridOpGetParm(feArgs* args) {
  gridRec* grid = gridCurrent();
  viewRec* view = vwCurView();
  if (!grid || !view) return 0;
  *static_cast<int32_t*>(args->out[0]) = (view->flags & viewGridShown) ? 1 : 0;
  *static_cast<double*>(args->out[1]) = grid->spacing;
  *static_cast<int32_t*>(args->out[2]) = int32_t(grid->steps);
  return 0;
}
