// The printing operators' registration and the C print mode switches.
#include "views/print.h"
#include "views/print_internal.h"

#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/pen.h"
#include "views/redraw.h"

namespace {

const feOpSpec kPrintOps[] = {
    {"aPrint", printOpPrint, "O#I"},
    {"aPageSetup", printOpPageSetup, "!#B"},
    {"aPageInfo", printOpPageInfo, "!#A{4I}2I"},
    {"aSetModeCPrintTrue", printOpCPrintTrue, "!"},
    {"aSetModeCPrintFalse", printOpCPrintFalse, "!"},
};

}  // namespace

int printOpCPrintTrue(feArgs*) {
  printint::setCMode(1);
  return 0;
}

int printOpCPrintFalse(feArgs*) {
  printint::setCMode(0);
  return 0;
}

void printOpsInit() {
  feOpSpecRegisterAll(kPrintOps);
  printint::installAbortTemplate();
  // The pens take their device widths from the printer while a page prints.
  penSetOutputModeSource(vwIsPrinting);
  printSetPageProc(printPage);
  vwAddRedrawHook(printRedrawFrame, nullptr);
}
