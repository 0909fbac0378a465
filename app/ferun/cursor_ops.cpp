// The runner's tCursor: the cursor the platform layer shows, so that scripts
// can see which cursor a table entry or a busy spell leaves on screen.
#include "app/ferun/standins.h"

#include "fe/opcall.h"
#include "fe/operator.h"

#include <platform_test.h>

namespace {

// "#III": the hot spot x and y, and 1 for a system cursor (0 for a made one,
// -1 when nothing is shown). A system cursor's hot spot reads as 0 0.
int shownCursor(feArgs* args) {
  PlCursorInfo info;
  const HCURSOR handle = plTestShownCursor(&info);
  *static_cast<int32_t*>(args->out[0]) = info.hotX;
  *static_cast<int32_t*>(args->out[1]) = info.hotY;
  *static_cast<int32_t*>(args->out[2]) = handle ? (info.system ? 1 : 0) : -1;
  return 0;
}

}  // namespace

void standinsCursorInit() { feRegisterOp("tCursor", shownCursor, "#III", 0, 0); }
