// The printing module's state: the kept print-dialog settings, the printing
// flag, the C print mode, the abort flag, the page procedure and the last
// plot scale.
#include "views/print.h"
#include "views/print_internal.h"

namespace {

struct PrintState {
  PRINTDLGA dialog;
  int printing;
  int cMode;
  int aborted;
  printPageProc proc;
  double lastPlotScale;
};

PrintState fresh() {
  PrintState s{};
  s.dialog.lStructSize = sizeof(PRINTDLGA);
  s.dialog.nFromPage = s.dialog.nToPage = 1;
  s.dialog.nMinPage = s.dialog.nMaxPage = 1;
  s.dialog.nCopies = 1;
  s.lastPlotScale = 1.0;
  return s;
}

PrintState& st() {
  static PrintState state = fresh();
  return state;
}

}  // namespace

PRINTDLGA* printDialogState() { return &st().dialog; }

int vwIsPrinting() { return st().printing; }
void printSetPrinting(int flag) { st().printing = flag; }
int printCMode() { return st().cMode; }
int printAborted() { return st().aborted; }
double printLastPlotScale() { return st().lastPlotScale; }

printPageProc printSetPageProc(printPageProc proc) {
  const printPageProc old = st().proc ? st().proc : printPage;
  st().proc = proc;
  return old;
}

void printReset() { st() = fresh(); }

namespace printint {

void setAborted(int aborted) { st().aborted = aborted; }
void setCMode(int on) { st().cMode = on; }
printPageProc pageProc() { return st().proc ? st().proc : printPage; }
void rememberPlotScale(double scale) { st().lastPlotScale = scale; }

}  // namespace printint
