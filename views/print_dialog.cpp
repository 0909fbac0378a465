// The print dialog over the kept settings, and aPageSetup.
#include "views/print.h"

#include "core/debug.h"
#include "draw/gdi.h"
#include "fe/opcall.h"
#include "ui/app.h"
#include "views/current.h"

#include <cstring>
#include <vector>

namespace {

enum : DWORD { kPrinterNotFound = 4107, kDefaultDiffers = 4108, kDebugPrint = 0x1000 };

HGLOBAL globalCopy(const uint8_t* bytes, uint32_t size) {
  if (!bytes || !size) return nullptr;
  HGLOBAL handle = GlobalAlloc(GHND, size);
  if (!handle) return nullptr;
  if (void* p = GlobalLock(handle)) {
    std::memcpy(p, bytes, size);
    GlobalUnlock(handle);
  }
  return handle;
}

void freeHandles(PRINTDLGA* pd) {
  if (pd->hDevMode) GlobalFree(pd->hDevMode);
  if (pd->hDevNames) GlobalFree(pd->hDevNames);
  pd->hDevMode = pd->hDevNames = nullptr;
}

// The bytes of a global handle (empty for none).
std::vector<uint8_t> bytesOf(HGLOBAL handle) {
  std::vector<uint8_t> bytes;
  if (!handle) return bytes;
  const SIZE_T size = GlobalSize(handle);
  const auto* p = static_cast<const uint8_t*>(GlobalLock(handle));
  if (p && size) bytes.assign(p, p + size);
  GlobalUnlock(handle);
  return bytes;
}

// The global block from the dialog's answer. The device mode keeps the
// size it says of itself (fixed part and driver bytes) when that fits its
// handle.
void rebuildSetup(const PRINTDLGA* pd) {
  const std::vector<uint8_t> names = bytesOf(pd->hDevNames);
  std::vector<uint8_t> mode = bytesOf(pd->hDevMode);
  if (mode.size() >= sizeof(DEVMODEA)) {
    DEVMODEA head;
    std::memcpy(&head, mode.data(), sizeof head);
    const size_t said = size_t(head.dmSize) + head.dmDriverExtra;
    if (said <= mode.size()) mode.resize(said);
  }
  std::vector<uint8_t> block;
  if (printSetupBuild(names.data(), uint32_t(names.size()), mode.data(), uint32_t(mode.size()), &block))
    printSetupSet(block.data(), uint32_t(block.size()));
}

}  // namespace

int printDialog(PRINTDLGA* pd, DWORD flags) {
  pd->lStructSize = sizeof(PRINTDLGA);
  pd->hwndOwner = uiGetFrame();
  pd->hDC = nullptr;
  freeHandles(pd);
  printSetupView view;
  if (printSetupCurrent(&view)) {
    pd->hDevNames = globalCopy(view.devNames, view.devNamesSize);
    pd->hDevMode = globalCopy(view.devMode, view.devModeSize);
  }
  const bool range = pd->nFromPage != pd->nMinPage || pd->nToPage != pd->nMaxPage;
  pd->Flags = (range ? PD_PAGENUMS : 0) | flags | PD_NOWARNING;
  BOOL accepted = PrintDlgA(pd);
  for (int round = 0; !accepted && round < 2; ++round) {
    const DWORD error = CommDlgExtendedError();
    if (error != kPrinterNotFound && error != kDefaultDiffers) break;
    // Take the default printer without showing, then show the dialog again.
    freeHandles(pd);
    const DWORD shown = pd->Flags;
    pd->Flags = PD_RETURNDEFAULT;
    PrintDlgA(pd);
    pd->Flags = shown;
    accepted = PrintDlgA(pd);
  }
  if (!accepted) {
    const DWORD error = CommDlgExtendedError();
    freeHandles(pd);
    if (error == 0) return -1;
    if (dbgFlags() & kDebugPrint) dbgPanic("PrintDlg failed [%lx]", uint32_t(error));
    return int(error);
  }
  rebuildSetup(pd);
  if ((flags & PD_RETURNDC) && !pd->hDC) {
    if (dbgFlags() & kDebugPrint) dbgPanic("hDC is NULL");
    pd->hDC = printContext(false);
  }
  freeHandles(pd);
  if (!(pd->Flags & PD_PAGENUMS)) {
    pd->nFromPage = pd->nMinPage;
    pd->nToPage = pd->nMaxPage;
  }
  return 0;
}

// aPageSetup: the printer set-up dialog; true when accepted, the global block
// (and the current document's) updated.
int printOpPageSetup(feArgs* args) {
  PRINTDLGA* pd = printDialogState();
  const int answer = printDialog(pd, PD_PRINTSETUP);
  if (answer == 0) printSetupToDoc(vwCurDoc());
  *static_cast<int32_t*>(args->out[0]) = answer == 0;
  return 0;
}

HDC printContext(bool infoOnly) {
  auto make = [infoOnly](const char* driver, const char* device, const char* port, const DEVMODEA* mode) {
    return infoOnly ? CreateICA(driver, device, port, mode) : CreateDCA(driver, device, port, mode);
  };
  printSetupView view;
  if (printSetupCurrent(&view)) {
    // A copy of the stored device mode: at most its fixed part is read, and
    // never beyond the part the block holds.
    DEVMODEA mode{};
    const DEVMODEA* modeArg = nullptr;
    if (view.devMode) {
      std::memcpy(&mode, view.devMode, view.devModeSize < sizeof mode ? view.devModeSize : sizeof mode);
      if (mode.dmSize > sizeof mode) mode.dmSize = sizeof mode;
      mode.dmDriverExtra = 0;
      modeArg = &mode;
    }
    if (HDC dc = make(view.driver, view.device, view.port, modeArg)) return dc;
  }
  // "device,driver,port" of the profile's default printer.
  char text[256] = {};
  GetProfileStringA("windows", "device", "", text, sizeof text);
  char* driver = std::strchr(text, ',');
  if (!text[0] || !driver) return nullptr;
  *driver++ = 0;
  char* port = std::strchr(driver, ',');
  if (port) *port++ = 0;
  return make(driver, text, port ? port : "", nullptr);
}

void printInfoOf(HDC dc, printPageInfo* out) {
  *out = printPageInfo{};
  out->dc = dc;
  int dpiX = 0, dpiY = 0, width = 0, height = 0;
  if (dc) {
    dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    width = GetDeviceCaps(dc, HORZRES);
    height = GetDeviceCaps(dc, VERTRES);
  }
  if (dpiX <= 0 || dpiY <= 0 || width <= 0 || height <= 0) {
    dpiX = dpiY = 100;
    width = 850;
    height = 1100;
  }
  out->dpi[0] = dpiX;
  out->dpi[1] = dpiY;
  out->page = RECT{0, 0, width, height};
}

// aPageInfo: the printable page (0, 0, width, height) and the pixels per
// inch across and down.
int printOpPageInfo(feArgs* args) {
  HDC ic = printContext(true);
  printPageInfo info;
  printInfoOf(ic, &info);
  if (ic) DeleteDC(ic);
  auto* box = static_cast<int32_t*>(args->out[0]);
  box[0] = info.page.left, box[1] = info.page.top, box[2] = info.page.right, box[3] = info.page.bottom;
  *static_cast<int32_t*>(args->out[1]) = info.dpi[0];
  *static_cast<int32_t*>(args->out[2]) = info.dpi[1];
  return 0;
}
