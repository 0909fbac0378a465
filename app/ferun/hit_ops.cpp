// The runner's tHitCode: what a press at a client pixel of the current
// sheet's window would hit of its view frames, so that scripts can show the
// frame zones without pressing.
#include "app/ferun/standins.h"

#include "fe/opcall.h"
#include "fe/operator.h"
#include "views/current.h"
#include "views/vwframe.h"
#include "views/vwinit.h"

#include <windows.h>

namespace {

// "II#I": the hit code at (x, y); NoCurSheet without a current sheet.
int hitCode(feArgs* args) {
  const sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  *static_cast<int32_t*>(args->out[0]) = vwFrameHit(sheet, POINT{args->in[0].i, args->in[1].i});
  return 0;
}

}  // namespace

void standinsHitInit() { feRegisterOp("tHitCode", hitCode, "II#I", 0, 0); }
