#include "app/hooks.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "fe/attnpoll.h"
#include "fe/classops.h"
#include "fe/exec.h"
#include "fe/quit.h"
#include "geometry/lastpt.h"
#include "geometry/marker.h"
#include "objects/selmode.h"
#include "objects/uphooks.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "ui/alertstate.h"
#include "ui/attn.h"
#include "ui/cursor.h"
#include "ui/gdihook.h"
#include "ui/wind.h"
#include "views/redraw.h"
#include "views/uphooks.h"
#include "views/vwevent.h"
#include "views/vwinit.h"

#include <cstdint>

namespace {

intptr_t offerPanicToPlugin(const char* text) {
  return gdiCallHook(gdiHookPanic, reinterpret_cast<intptr_t>(text), 0, 0);
}

uint32_t selectionModeWord() { return selByGet(); }

}  // namespace

void appInstallHooks() {
  // The runtime and the interpreter.
  dbgHooks hooks{};
  hooks.setAlertActive = uiSetAlertActive;
  hooks.quit = feQuitRun;
  hooks.offerPanic = offerPanicToPlugin;
  dbgSetHooks(hooks);
  uSetLowMemoryRunner(feRunString);
  feSetAttnPoll(evPollAttn);
  // The class registry's script operator comes with its root "class".
  objSetRootHook(feClassOpsRegister);

  // The user-interface layer: a document window hides the input engine's
  // cursor mark before it paints.
  windSetPaintHook(ieCursorOff);

  // The object model: the documents and views, and the tool input loop.
  objViewHooks views{};
  vwFillObjectHooks(&views);
  objSetViewHooks(views);
  objPointInput input{};
  ieFillPointInput(&input);
  objSetPointInput(input);

  // The documents and views: the selection blink reads the select-by word;
  // the cursor table; sheets do not repaint under a tool loop that is
  // entering points; the fold line's markers and last segment.
  vwSetSelModeSource(selectionModeWord);
  // The sheet window shows entries of the user interface's cursor table.
  vwSetCursorHook(cursorSet);
  vwSetPointInputHook(ieToolTracking);
  vwSetFoldHooks({markDraw, markDrawCur, lastPtFromSegment});
}
