// The end of a command (aCmdEnd): the command-end event, the entered
// points taken again from a chain that changed, the track-point marker and
// the redraw of what the command damaged.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "objects/docvar_sheet.h"
#include "objects/event.h"
#include "objects/nearcurve.h"
#include "objects/objrecord.h"
#include "tools/ieengine.h"

namespace trk {

void commandEnd() {
  dbSheetRec* s = sheet();
  if (!s) return;
  if (s->recentFlags & sheetRecentChanged) {
    markHide();
    s->enteredCount = 0;
    // Each object's start and end, oldest first: the last point ends up at
    // the newest object's end.
    for (int i = 0; i < s->recentCount; ++i) {
      double p[3];
      crvPoint(s->recent[i], 0.0, p);
      trkAddPoint(p);
      crvPoint(s->recent[i], 1.0, p);
      trkAddPoint(p);
    }
    if (s->recentCount > 0) derivativeAt(s->recent[s->recentCount - 1], 1.0, s->endDirection);
    // Cleared before the redraw below, whose changes would mark it again.
    s->recentFlags = uint8_t(s->recentFlags & ~sheetRecentChanged);
    ieReset();
  }
  markShowLast();
  objRedrawPending(1);
}

// "!": signals the command-end event first; the script handlers of event
// 257 run there.
int opCmdEnd(feArgs*) {
  evtSignal(evtCommandEnd, 0);
  commandEnd();
  return 0;
}

}  // namespace trk
