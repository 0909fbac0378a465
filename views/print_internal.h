// Shared between the printing module's files; not for other modules.
#ifndef PLUMET_VIEWS_PRINT_INTERNAL_H
#define PLUMET_VIEWS_PRINT_INTERNAL_H

#include "views/print.h"

#include <windows.h>

namespace printint {

// The state of the print loop (print_state.cpp).
void setAborted(int aborted);
void setCMode(int on);
printPageProc pageProc();
void rememberPlotScale(double scale);

// The abort dialog (print_abort.cpp): made from the template "AbortDlg"
// (null when it cannot be), and the abort procedure the printer calls.
HWND createAbortDialog(HWND owner);
void forgetAbortDialog();
BOOL CALLBACK abortProc(HDC dc, int code);
// Installs the dialog template.
void installAbortTemplate();

}  // namespace printint

#endif
