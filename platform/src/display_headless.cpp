// The display backend when the layer is built without X11: always headless.
#ifndef PLUMET_X11
#include "display.h"

#include <platform_display.h>
#include <platform_test.h>

namespace pl::display {
bool active() { return false; }
void sync() {}
void pump() {}
void readMouseState() {}
void idle() {}
void waitForInput(int) {}
void reset() {}
}  // namespace pl::display

bool plUseDisplayIfAvailable() { return false; }
bool plDisplayActive() { return false; }
int plTestVirtualKeyOfKeysym(unsigned long) { return 0; }
#endif
