// The abort dialog shown while printing, its template "AbortDlg" and the
// abort procedure that the printer calls between pages.
#include "views/print.h"
#include "views/print_internal.h"

#include "ui/attn.h"

#include <platform_resources.h>

namespace {

HWND abortDialog = nullptr;

const PlDialogControl kAbortControls[] = {
    {"STATIC", -1, "Printing...", RECT{10, 10, 190, 30}, SS_CENTER},
    {"BUTTON", IDCANCEL, "Cancel", RECT{65, 40, 135, 64}, BS_DEFPUSHBUTTON | WS_TABSTOP},
};
const PlDialogResource kDialogs[] = {
    {"AbortDlg", 0, "Printing", 200, 76, DS_MODALFRAME | WS_CAPTION | WS_VISIBLE, kAbortControls,
     sizeof kAbortControls / sizeof kAbortControls[0]},
};

// Focus on Cancel when it opens; any command stops the printing.
INT_PTR CALLBACK abortDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetFocus(GetDlgItem(dialog, IDCANCEL));
      return FALSE;
    case WM_COMMAND:
      evSetAttn(1);
      printint::setAborted(1);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

namespace printint {

void installAbortTemplate() { plSetDialogTable(nullptr, kDialogs, sizeof kDialogs / sizeof kDialogs[0]); }

HWND createAbortDialog(HWND owner) {
  abortDialog = CreateDialogParamA(GetModuleHandleA(nullptr), "AbortDlg", owner, abortDialogProc, 0);
  return abortDialog;
}

void forgetAbortDialog() { abortDialog = nullptr; }

// Pumps what is pending (the abort dialog's messages through its dialog
// handling) while printing is not aborted; answers whether it may go on.
BOOL CALLBACK abortProc(HDC, int) {
  MSG msg;
  while (!printAborted() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!abortDialog || !IsDialogMessageA(abortDialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return !printAborted();
}

}  // namespace printint
