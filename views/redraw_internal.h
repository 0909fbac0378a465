// Shared by the files of the redraw module: each part's return to its start
// state, for vwRedrawReset.
#ifndef PLUMET_VIEWS_REDRAW_INTERNAL_H
#define PLUMET_VIEWS_REDRAW_INTERNAL_H

namespace redrawint {

void resetFlags();
void resetHooks();
void resetBlink();
void resetLists();

}  // namespace redrawint

#endif
