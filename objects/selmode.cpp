// The select-by word, the selection-pending flag, the selection mode word,
// the refreshing of the selection display and the select-by operators.
#include "objects/selmode.h"

#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "objects/ioformat.h"
#include "objects/sieve.h"
#include "objects/uphooks.h"
#include "ui/ui.h"

namespace {

enum : uint32_t { kFamilyMask = 0xFFFF0000u, kModelFamily = 0x01030000u, kLayerFamily = 0x00020000u };
enum { kColorDisplayQuery = 103 };

uint16_t selectBy = selByColor;
bool pending;
uint16_t selMode;
HWND window;
selHookFn wallRepair;
selHookFn infoRefresh;
// The event-table size right after the two entries were added (-1: never),
// so that a set-up run again adds them only when the table was emptied since.
int eventsAddedAt = -1;

bool colorDisplay() { return uiSysQuery(kColorDisplayQuery, 0) != 0; }

const feOpSpec kOps[] = {
    {"aSetSelectByBlink", selSetByOp, "!I<1>B"},
    {"aSetSelectByColor", selSetByOp, "!I<2>B"},
    {"aGetSelectByBlink", selGetByOp, "!I<1>#B"},
    {"aGetSelectByColor", selGetByOp, "!I<2>#B"},
};

}  // namespace

uint16_t selByGet() { return selectBy; }
void selBySet(uint16_t word) { selectBy = word; }

uint16_t selByFromStored(uint16_t stored, bool colorDisplay) {
  if (!colorDisplay) return selByBlink;
  if (stored & ~(selByBlink | selByColor)) return selByColor;
  return stored;
}

void selByReset() { selectBy = colorDisplay() ? selByColor : selByBlink; }

bool selPendingGet() { return pending; }
void selPendingSet(bool value) { pending = value; }

uint16_t selModeGet() { return selMode; }
void selModeSet(uint16_t mode) { selMode = mode; }

void selEventPending(uint32_t, intptr_t) { pending = true; }

void selSetWallRepairHook(selHookFn hook) { wallRepair = hook; }
void selSetInfoHook(selHookFn hook) { infoRefresh = hook; }

void selRefresh(int mode) {
  if (wallRepair) wallRepair();
  objDrawDeferList();
  const bool wasPending = pending;
  if (pending && mode == 2) {
    pending = false;
    if (infoRefresh) infoRefresh();
    if (sieveRec* sieve = sieveCurrent()) sieveResortCheck(sieve);
  }
  objSelectionStep(mode == 1 || wasPending ? 1 : 0);
}

void selSetWindow(HWND w) { window = w; }
HWND selGetWindow() { return window; }

void selWindowRepaint() {
  if (!window) return;
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

int selBlinkCursorIO(const char*, dbDocRec*, ioCtx* ctx) {
  uint16_t word = selectBy;
  if (ioFormat(ctx, "s", &word) < 0) return -1;
  if (ctx->mode == 'r') selectBy = selByFromStored(word, colorDisplay());
  return 0;
}

int selSetByOp(feArgs* args) {
  const auto bit = uint16_t(args->in[0].i);
  if (args->in[1].i) selectBy = uint16_t(selectBy | bit);
  else selectBy = uint16_t(selectBy & ~bit);
  selRefresh(1);
  if (bit == selByColor) selWindowRepaint();
  return 0;
}

int selGetByOp(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = (selectBy & args->in[0].i) ? 1 : 0;
  return 0;
}

int selResetOp(feArgs*) {
  pending = true;
  return 0;
}

void selModeInit() {
  selByReset();
  pending = false;
  selMode = 0;
  if (!docVarFind("$BLINKCURSOR", 12)) varRegister(selBlinkCursorIO, "$BLINKCURSOR");
  if (eventsAddedAt < 0 || evtCount() < eventsAddedAt) {
    evtAdd(kFamilyMask, kModelFamily, selEventPending);
    evtAdd(kFamilyMask, kLayerFamily, selEventPending);
    eventsAddedAt = evtCount();
  }
}

void selModeRegisterOps() { feOpSpecRegisterAll(kOps); }
