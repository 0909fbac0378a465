// Hands the screen-box cutter to the line module, which sits below the
// tools and so cannot call it directly.
#include "tools/trackclip.h"

#include "geometry/line.h"

void trackClipInit() { lineSetClipHook(trackClipLine); }
