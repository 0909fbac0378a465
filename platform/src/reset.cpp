// plTestReset: the whole layer back to its start state.
#include "display.h"
#include "layer.h"

#include <platform_test.h>

void plTestReset() {
  // The display closes first, taking its X windows with it.
  pl::display::reset();
  // Windows go without messages: their procedures may belong to a test that
  // has already finished.
  pl::resetWindows();
  pl::resetFocus();
  pl::resetActivation();
  pl::resetQueue();
  pl::resetInput();
  pl::resetTimers();
  pl::resetCursor();
  pl::resetMetrics();
  pl::resetMessageBoxes();
  pl::resetStrings();
  pl::resetKeys();
  pl::resetClock();
  pl::resetDebugger();
  pl::resetModule();
  pl::resetQuit();
  pl::resetLastError();
  pl::resetGdi();
  pl::resetGlobalMemory();
  pl::resetProfile();
  pl::resetPrinting();
  pl::resetDialogs();
  pl::resetDialogControls();
}
