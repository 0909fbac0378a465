// PrintDlgA, answered headless for the one virtual printer: the next queued
// answer (accept with settings, cancel, or fail with a code), else an accept
// of what the dialog would show. An accept hands back fresh DEVMODE and
// DEVNAMES blocks (the caller's are freed) and, on request, a printer DC.
// Device names or a device mode naming another printer fail with
// PDERR_PRINTERNOTFOUND before anything is shown, as when a stored printer is
// not installed.
#include "layer.h"
#include "printer.h"

#include <platform_test.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

using pl::printing::setDialogError;

std::deque<PlPrintAnswer> answers;
int shown = 0;

// Copies bytes into a fresh global block.
HGLOBAL globalCopy(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GHND, size);
  if (!h) return nullptr;
  std::memcpy(GlobalLock(h), bytes, size);
  GlobalUnlock(h);
  return h;
}

// Whether the caller's blocks (either may be null) name the printer; reads
// the device mode they hold, else the default one.
bool readCallerBlocks(const PRINTDLGA& pd, DEVMODEA* mode) {
  *mode = pl::printing::defaultDevMode();
  if (pd.hDevNames) {
    const void* bytes = GlobalLock(pd.hDevNames);
    std::string driver, device, port;
    const bool read = bytes && pl::printing::readDevNames(bytes, GlobalSize(pd.hDevNames), &driver, &device, &port);
    if (bytes) GlobalUnlock(pd.hDevNames);
    if (!read || !pl::printing::namesPrinter(driver.c_str(), device.c_str())) return false;
  }
  if (pd.hDevMode) {
    const void* bytes = GlobalLock(pd.hDevMode);
    if (!bytes) return false;
    const size_t size = GlobalSize(pd.hDevMode);
    // The device the mode was made for, when it says.
    char name[CCHDEVICENAME + 1] = {};
    std::memcpy(name, bytes, std::min<size_t>(size, CCHDEVICENAME));
    *mode = pl::printing::devModeFrom(bytes, size);
    GlobalUnlock(pd.hDevMode);
    if (*name && !pl::printing::namesPrinter(nullptr, name)) return false;
  }
  return true;
}

void applyAnswer(const PlPrintAnswer& answer, PRINTDLGA* pd, DEVMODEA* mode) {
  if (answer.paper) {
    mode->dmFields = (mode->dmFields | DM_PAPERSIZE) & ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH);
    mode->dmPaperSize = static_cast<SHORT>(answer.paper);
  }
  if (answer.dpi) {
    mode->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    mode->dmPrintQuality = mode->dmYResolution = static_cast<SHORT>(answer.dpi);
  }
  *mode = pl::printing::devModeFrom(mode, sizeof *mode);  // unknown papers and dpi out of range go
  if (answer.fromPage > 0 || answer.toPage > 0) {
    int from = answer.fromPage > 0 ? answer.fromPage : pd->nMinPage;
    int to = answer.toPage > 0 ? answer.toPage : pd->nMaxPage;
    if (pd->nMaxPage >= pd->nMinPage && pd->nMaxPage > 0) {
      from = std::clamp<int>(from, pd->nMinPage, pd->nMaxPage);
      to = std::clamp<int>(to, from, pd->nMaxPage);
    }
    pd->nFromPage = static_cast<WORD>(from);
    pd->nToPage = static_cast<WORD>(std::max(from, to));
    pd->Flags = (pd->Flags | PD_PAGENUMS) & ~static_cast<DWORD>(PD_SELECTION);
  }
}

// Hands the settings back: fresh blocks in place of the caller's, and a DC
// or information context when asked for.
void giveBack(PRINTDLGA* pd, const DEVMODEA& mode) {
  if (pd->hDevMode) GlobalFree(pd->hDevMode);
  if (pd->hDevNames) GlobalFree(pd->hDevNames);
  pd->hDevMode = globalCopy(&mode, sizeof mode);
  const std::vector<unsigned char> names = pl::printing::devNamesBlock();
  pd->hDevNames = globalCopy(names.data(), names.size());
  using namespace pl::printing;
  if (pd->Flags & PD_RETURNDC)
    pd->hDC = CreateDCA(kDriver, kDevice, kPort, &mode);
  else if (pd->Flags & PD_RETURNIC)
    pd->hDC = CreateICA(kDriver, kDevice, kPort, &mode);
}

}  // namespace

namespace pl::printing {
void resetPrintDialog() {
  answers.clear();
  shown = 0;
  setDialogError(0);
}
}  // namespace pl::printing

extern "C" BOOL WINAPI PrintDlgA(LPPRINTDLGA pPD) {
  if (!pPD || pPD->lStructSize != sizeof(PRINTDLGA)) {
    setDialogError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  setDialogError(0);
  if (!pl::printerInstalled()) {
    setDialogError(PDERR_NODEVICES);
    return FALSE;
  }
  if (pPD->Flags & PD_RETURNDEFAULT) {
    // The default printer's settings, without showing anything; the caller
    // must not pass blocks of its own.
    if (pPD->hDevMode || pPD->hDevNames) {
      setDialogError(PDERR_RETDEFFAILURE);
      return FALSE;
    }
    giveBack(pPD, pl::printing::defaultDevMode());
    return TRUE;
  }
  DEVMODEA mode;
  if (!readCallerBlocks(*pPD, &mode)) {
    setDialogError(PDERR_PRINTERNOTFOUND);
    return FALSE;
  }
  ++shown;
  PlPrintAnswer answer;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  if (answer.kind == PlPrintAnswer::Cancel) return FALSE;
  if (answer.kind == PlPrintAnswer::Fail) {
    setDialogError(answer.error);
    return FALSE;
  }
  // Copies: the caller's count (the device mode's with PD_USEDEVMODECOPIES),
  // unless the answer changes it. The printer makes no copies itself, so the
  // caller prints nCopies times.
  int copies = pPD->nCopies > 0 ? pPD->nCopies : 1;
  if ((pPD->Flags & PD_USEDEVMODECOPIES) && pPD->hDevMode && mode.dmCopies > 0) copies = mode.dmCopies;
  if (answer.copies > 0) copies = answer.copies;
  applyAnswer(answer, pPD, &mode);
  mode.dmCopies = static_cast<SHORT>(copies);
  pPD->nCopies = static_cast<WORD>(copies);
  giveBack(pPD, mode);
  return TRUE;
}

void plTestQueuePrintAnswer(const PlPrintAnswer& answer) { answers.push_back(answer); }
int plTestPrintDialogsShown() { return shown; }
