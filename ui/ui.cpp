// The user-interface layer's start and end, its operators, and the small
// system services other subsystems ask of it.
#include "ui/ui.h"

#include "core/proginfo.h"
#include "fe/operator.h"
#include "ui/attn.h"
#include "ui/cursor.h"
#include "ui/event.h"
#include "ui/mainloop.h"
#include "ui/wind.h"

namespace {
int bootPicture;
int32_t autoSavePeriod = -1;
uint32_t autoSaveBase;

int opDispatch(feArgs*) { return aDispatch(); }

int opSetAttn(feArgs* args) {
  evSetAttn(args->in[0].i);
  return 0;
}
}  // namespace

void uiRegisterOps() {
  feRegisterOp("aUseCursor", aUseCursor, "!IQ", 0, 0);
  feRegisterOp("aCursor", aCursor, "O#Q", 0, 0);
  feRegisterOp("aDispatch", opDispatch, "!", 0, 0);
  feRegisterOp("aSetAttn", opSetAttn, "!i", 0, 0);
  eventRegisterOps();
}

void uiInit() {
  cursorClassInit();
  windClassInit();
  uiRegisterOps();
}

void uiTerm() {
  windUiTerm();
  cursorTerm();
  bootWinShow(0);
}

int32_t uiSysQuery(int32_t selector, int32_t argument) {
  switch (selector) {
    case 101:
      return '.';
    case 103:
      return 1;
    default:
      return argument;
  }
}

int uiTwoByteMode() { return progOptionBit(4) ? 1 : 0; }

int xlateStartupQuery(uint8_t* first, uint8_t* second) {
  if (first != nullptr) *first = 0;
  if (second != nullptr) *second = 0;
  return 0;
}

// Headless there is no start-up window to show: the picture is remembered
// so that the frame keeps its caption active while it would show.
void bootWinShow(int picture) { bootPicture = picture; }
int bootWinShown() { return bootPicture; }

void aAutoSaveConfig(int32_t periodMs, uint32_t baseTick) {
  autoSavePeriod = periodMs;
  autoSaveBase = baseTick;
}
int32_t uiAutoSavePeriod() { return autoSavePeriod; }
uint32_t uiAutoSaveBase() { return autoSaveBase; }
