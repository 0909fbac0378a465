// aPrint: the print dialog (or the previous settings), then the job: every
// copy of every page from..to drawn by the page procedure into the printer's
// device context, with the abort dialog up and the frame window disabled.
#include "views/print.h"
#include "views/print_internal.h"

#include "core/debug.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/stack.h"
#include "fe/value.h"
#include "ui/achk.h"
#include "ui/app.h"
#include "ui/attn.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"

#include <string>

namespace {

enum { kName = 1, kData, kMinPage, kMaxPage, kFromPage, kToPage, kDlgFlag };

const uiAChklEntry* printKeys() {
  static uiAChklEntry* list = nullptr;
  if (!list)
    uiDefAChkl(&list, kName, "name", "S", kData, "data", "Q", kMinPage, "minpage", "I", kMaxPage, "maxpage", "I",
               kFromPage, "frompage", "I", kToPage, "topage", "I", kDlgFlag, "dlgflag", "I", 0);
  return list;
}

// The keyed arguments of one call.
struct PrintRequest {
  std::string name = "Untitled";
  void* data = nullptr;
  bool dialog = true;
};

WORD pageNumber(int32_t n) { return WORD(n < 0 ? 0 : n > 0xFFFF ? 0xFFFF : n); }

void applyKeys(const feObject* dict, PRINTDLGA* pd, PrintRequest* request) {
  const uiAChklEntry* keys = printKeys();
  uiAChkData data;
  // A key present and of its type answers its own code.
  const auto has = [&](int code) { return uiAChkDictGet(keys, dict, code, &data) == code; };
  if (has(kName))
    request->name.assign(static_cast<const char*>(data.data), size_t(data.count));
  if (has(kData)) request->data = data.data;
  if (has(kMinPage)) pd->nMinPage = pageNumber(data.count);
  if (has(kMaxPage)) pd->nMaxPage = pageNumber(data.count);
  if (has(kFromPage)) pd->nFromPage = pageNumber(data.count);
  if (has(kToPage)) pd->nToPage = pageNumber(data.count);
  if (has(kDlgFlag)) request->dialog = data.count == 0 || data.count == 1;
}

// The document whose set-up block the job uses: the data's, else the
// current one.
docRec* documentOf(void* data) {
  if (data && docIs(data)) return static_cast<docRec*>(data);
  if (data && sheetIs(data)) return static_cast<sheetRec*>(data)->owner;
  return vwCurDoc();
}

void pushBool(int value) {
  feObject b;
  feMakeBool(&b, value);
  fePush(feOperandStack(), &b);
}

// The copies and pages of a started job. Answers whether it was aborted.
bool printPages(HDC dc, windRecord* window, const PRINTDLGA* pd, void* data, const printPageInfo* info) {
  const double resolution[2] = {double(info->dpi[0]), double(info->dpi[1])};
  const int copies = pd->nCopies ? pd->nCopies : 1;
  for (int copy = 1; copy <= copies; ++copy) {
    dbgPrintf("Printing copy:%d\n", copy);
    for (int page = pd->nFromPage; page <= pd->nToPage; ++page) {
      StartPage(dc);
      gxWindowPush(dc, resolution, &info->page);
      printint::pageProc()(window, page, data, info);
      if (!printAborted() && EndPage(dc) <= 0) printint::setAborted(1);
      gxWindowPop();
      if (printAborted()) return true;
    }
  }
  return false;
}

}  // namespace

int printOpPrint(feArgs* args) {
  const feObject* dict = args->in[0].value;
  if (!dict || feType(dict) != feTDict) return 269;
  PRINTDLGA* pd = printDialogState();
  PrintRequest request;
  applyKeys(dict, pd, &request);
  if (!request.data) request.data = vwCurDoc();
  docRec* doc = documentOf(request.data);
  // The document's own printer, when it has a usable one; otherwise the
  // printer chosen last stays.
  if (doc && printSetupParse(doc->printSetup, doc->printSetupLength, nullptr)) printSetupFromDoc(doc);

  HDC dc = nullptr;
  if (request.dialog) {
    const int answer = printDialog(pd, PD_RETURNDC | PD_NOSELECTION);
    if (answer != 0) {
      if (printCMode()) pushBool(0);
      return 0;
    }
    if (printCMode()) pushBool(1);
    printSetupToDoc(doc);
    dc = pd->hDC;
    pd->hDC = nullptr;
  } else {
    dc = printContext(false);
  }
  if (!dc) return 0;

  printPageInfo info;
  printInfoOf(dc, &info);
  uiBusyBegin();
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  printint::setAborted(0);
  SetAbortProc(dc, printint::abortProc);
  DOCINFOA job{};
  job.cbSize = sizeof job;
  job.lpszDocName = request.name.c_str();
  job.lpszDatatype = "BITMAP";
  HWND frame = uiGetFrame();
  if (StartDocA(dc, &job) <= 0) {
    DeleteDC(dc);
    uiBusyEnd();
    return 0;
  }
  HWND dialog = printint::createAbortDialog(frame);
  if (!dialog) {
    // Nothing may stay behind: the job is abandoned and the device released.
    MessageBoxA(frame, "NULL Abort window handle", nullptr, MB_OK);
    AbortDoc(dc);
    DeleteDC(dc);
    if (frame) EnableWindow(frame, TRUE);
    uiBusyEnd();
    return 0;
  }
  if (frame) EnableWindow(frame, FALSE);
  const HWND previousModeless = evSetModeless(dialog);
  windRecord* window = windNewOffscreen(reinterpret_cast<HANDLE>(gxWindowPushed), &info.page);

  gdiSetDeviceKind(dc);
  const bool aborted = printPages(dc, window, pd, request.data, &info);
  if (aborted) AbortDoc(dc);
  else EndDoc(dc);
  DeleteDC(dc);
  gdiSetDeviceKind(nullptr);

  windRelease(window);
  if (frame) EnableWindow(frame, TRUE);
  evSetModeless(previousModeless);
  DestroyWindow(dialog);
  printint::forgetAbortDialog();
  uiBusyEnd();
  return 0;
}
