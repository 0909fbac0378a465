// The virtual printer "Image Printer": printer device contexts draw each
// page into a pixel surface like a memory bitmap's, and a finished job
// writes its pages as PNG files "name-n.png" (n from 1 across the job's
// pages and copies) in the folder PLUMET_PRINT_DIR names, else the working
// folder. A job cancelled (its abort procedure answered FALSE at EndPage,
// AbortDoc) or whose DC is deleted before EndDoc writes nothing.
#include "layer.h"
#include "printer.h"

#include <platform_test.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>

namespace {

using pl::gdi::Dc;
using pl::gdi::findDc;
using pl::gdi::Surface;

bool noPrinter = false;

// A job in progress on a DC.
struct LiveJob {
  size_t index;  // into jobs
  bool inPage = false;
};

std::vector<PlPrintJob> jobs;
// The pixels of the ended pages of the latest jobs, by job index; older
// jobs drop theirs so that a long run does not keep every page it printed.
constexpr size_t kJobsWithPixels = 4;
std::map<size_t, std::vector<Surface>> pagePixels;
std::map<HDC, LiveJob> liveJobs;
std::map<HDC, ABORTPROC> abortProcs;

// A printer DC that can print (not an information context).
Dc* printingDc(HDC hdc) {
  Dc* dc = findDc(hdc);
  return dc && dc->printer && !dc->infoOnly ? dc : nullptr;
}

LiveJob* liveJob(HDC hdc) {
  auto it = liveJobs.find(hdc);
  return it == liveJobs.end() ? nullptr : &it->second;
}

void cancelJob(HDC hdc) {
  if (LiveJob* job = liveJob(hdc)) {
    jobs[job->index].cancelled = true;
    liveJobs.erase(hdc);
  }
}

// The document name as a file name: bytes other than letters, digits and
// "-_." become "_".
std::string fileStem(const std::string& name) {
  std::string stem = name.empty() ? std::string("print") : name;
  for (char& c : stem) {
    const unsigned char b = static_cast<unsigned char>(c);
    const bool keep = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
                      b == '_' || b == '.';
    if (!keep) c = '_';
  }
  return stem;
}

std::filesystem::path printFolder() {
  const char* dir = std::getenv("PLUMET_PRINT_DIR");
  return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path(".");
}

// Ends the page in progress: its pixels join the job, then the abort
// procedure decides whether the job goes on. False when it was cancelled.
bool endPage(HDC hdc, Dc* dc, LiveJob* job) {
  const size_t index = job->index;
  job->inPage = false;
  PlPrintedPage page;
  page.width = dc->page.width;
  page.height = dc->page.height;
  page.dpi = dc->printerMode.dpiX;
  page.monochrome = dc->printerMode.mono;
  jobs[index].pages.push_back(page);
  pagePixels[index].push_back(dc->page);
  auto proc = abortProcs.find(hdc);
  if (proc != abortProcs.end() && proc->second && !proc->second(hdc, 0)) {
    // The procedure may have deleted the DC or aborted the job itself.
    if (liveJob(hdc)) cancelJob(hdc);
    return false;
  }
  return liveJob(hdc) != nullptr;
}

// Writes the pages of a finished job; false when a file could not be written.
bool writeJob(size_t index) {
  std::error_code error;
  const std::filesystem::path folder = printFolder();
  std::filesystem::create_directories(folder, error);
  PlPrintJob& job = jobs[index];
  const std::string stem = fileStem(job.docName);
  const auto& pixels = pagePixels[index];
  bool ok = true;
  for (size_t i = 0; i < job.pages.size() && i < pixels.size(); ++i) {
    const std::string path = (folder / (stem + "-" + std::to_string(i + 1) + ".png")).string();
    if (pl::gdi::writePng(path, pixels[i]))
      job.pages[i].file = path;
    else
      ok = false;
  }
  return ok;
}

// Forgets the pixels of jobs older than the latest few.
void trimPixels() {
  for (auto it = pagePixels.begin(); it != pagePixels.end() && pagePixels.size() > kJobsWithPixels;) {
    bool live = false;
    for (const auto& [dc, job] : liveJobs) live = live || job.index == it->first;
    it = live ? std::next(it) : pagePixels.erase(it);
  }
}

HDC createPrinterDc(LPCSTR driver, LPCSTR device, const DEVMODEA* mode, bool infoOnly) {
  if (!pl::printing::namesPrinter(driver, device)) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return nullptr;
  }
  HDC hdc = pl::gdi::newDeviceDc();
  Dc* dc = findDc(hdc);
  dc->printer = true;
  dc->infoOnly = infoOnly;
  // The caller's mode is trusted as far as its own dmSize and driver bytes.
  const size_t size = mode ? static_cast<size_t>(mode->dmSize) + mode->dmDriverExtra : 0;
  dc->printerMode = pl::printing::modeFrom(mode, size);
  return hdc;
}

}  // namespace

namespace pl {

bool printerInstalled() { return !noPrinter; }

std::string printerProfileEntry() {
  return std::string(printing::kDevice) + "," + printing::kDriver + "," + printing::kPort;
}

void resetPrinting() {
  noPrinter = false;
  jobs.clear();
  pagePixels.clear();
  liveJobs.clear();
  abortProcs.clear();
  printing::resetPrintDialog();
  printing::resetColorDialog();
}

namespace gdi {

void printerDcDeleted(HDC hdc) {
  cancelJob(hdc);
  abortProcs.erase(hdc);
}

int printerDeviceCaps(const Dc& dc, int index) {
  const PrinterMode& m = dc.printerMode;
  switch (index) {
    case DRIVERVERSION: return 0x0100;
    case TECHNOLOGY: return DT_RASPRINTER;
    case HORZSIZE: return static_cast<int>(m.width * 25.4 / m.dpiX + 0.5);
    case VERTSIZE: return static_cast<int>(m.height * 25.4 / m.dpiY + 0.5);
    case HORZRES:
    case PHYSICALWIDTH: return m.width;
    case VERTRES:
    case PHYSICALHEIGHT: return m.height;
    case BITSPIXEL: return m.mono ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return m.mono ? 2 : -1;
    case COLORRES: return m.mono ? 1 : 24;
    case LOGPIXELSX: return m.dpiX;
    case LOGPIXELSY: return m.dpiY;
    default: return 0;  // no offsets, no scaling, no palette
  }
}

int printerEscape(HDC hdc, int escape, int inSize, const void* in, void* out) {
  Dc* dc = findDc(hdc);
  switch (escape) {
    case QUERYESCSUPPORT: {
      if (!in || inSize < static_cast<int>(sizeof(int))) return 0;
      int asked;
      std::memcpy(&asked, in, sizeof asked);
      return asked == QUERYESCSUPPORT || asked == GETPHYSPAGESIZE || asked == GETPRINTINGOFFSET ||
                     asked == NEWFRAME || asked == ABORTDOC || asked == SET_CLIP_BOX
                 ? 1
                 : 0;
    }
    case GETPHYSPAGESIZE:
    case GETPRINTINGOFFSET: {
      if (!out) return 0;
      const POINT answer = escape == GETPHYSPAGESIZE ? POINT{dc->printerMode.width, dc->printerMode.height}
                                                     : POINT{0, 0};
      std::memcpy(out, &answer, sizeof answer);
      return 1;
    }
    case NEWFRAME: {
      const int ended = EndPage(hdc);
      return ended > 0 ? StartPage(hdc) : ended;
    }
    case ABORTDOC: return AbortDoc(hdc);
    case SET_CLIP_BOX: return 1;  // accepted and ignored, as on the screen
    default: return 0;
  }
}

}  // namespace gdi
}  // namespace pl

extern "C" HDC WINAPI CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR, const DEVMODEA* pdm) {
  // The display: a DC that measures and draws nothing, as GetDC(NULL).
  if (pwszDriver && pl::equalNoCase(pwszDriver, "DISPLAY") && (!pwszDevice || !*pwszDevice)) return GetDC(nullptr);
  return createPrinterDc(pwszDriver, pwszDevice, pdm, false);
}

extern "C" HDC WINAPI CreateICA(LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR, const DEVMODEA* pdmInit) {
  if (pszDriver && pl::equalNoCase(pszDriver, "DISPLAY") && (!pszDevice || !*pszDevice)) return GetDC(nullptr);
  return createPrinterDc(pszDriver, pszDevice, pdmInit, true);
}

extern "C" HDC WINAPI ResetDCA(HDC hdc, const DEVMODEA* lpdm) {
  Dc* dc = findDc(hdc);
  if (!dc || !dc->printer || !lpdm) return nullptr;
  if (LiveJob* job = liveJob(hdc); job && job->inPage) return nullptr;  // not within a page
  dc->printerMode = pl::printing::modeFrom(lpdm, static_cast<size_t>(lpdm->dmSize) + lpdm->dmDriverExtra);
  return hdc;
}

extern "C" int WINAPI SetAbortProc(HDC hdc, ABORTPROC proc) {
  if (!printingDc(hdc)) return SP_ERROR;
  abortProcs[hdc] = proc;
  return 1;
}

extern "C" int WINAPI StartDocA(HDC hdc, const DOCINFOA* lpdi) {
  if (!printingDc(hdc) || !lpdi || liveJob(hdc)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return SP_ERROR;
  }
  PlPrintJob job;
  job.docName = lpdi->lpszDocName ? lpdi->lpszDocName : "";
  jobs.push_back(job);
  liveJobs[hdc] = LiveJob{jobs.size() - 1, false};
  trimPixels();
  return static_cast<int>(jobs.size());
}

extern "C" int WINAPI StartPage(HDC hdc) {
  Dc* dc = printingDc(hdc);
  LiveJob* job = liveJob(hdc);
  if (!dc || !job || job->inPage) return SP_ERROR;
  // A fresh white page at the printer's present size.
  dc->page = Surface{};
  dc->page.bitsPerPixel = dc->printerMode.mono ? 1 : 32;
  dc->page.resize(dc->printerMode.width, dc->printerMode.height, 0xFFFFFF);
  job->inPage = true;
  return 1;
}

extern "C" int WINAPI EndPage(HDC hdc) {
  Dc* dc = printingDc(hdc);
  LiveJob* job = liveJob(hdc);
  if (!dc || !job || !job->inPage) return SP_ERROR;
  const bool goesOn = endPage(hdc, dc, job);
  if (Dc* still = findDc(hdc)) still->page = Surface{};
  return goesOn ? 1 : SP_APPABORT;
}

extern "C" int WINAPI EndDoc(HDC hdc) {
  Dc* dc = printingDc(hdc);
  LiveJob* job = liveJob(hdc);
  if (!dc || !job) return SP_ERROR;
  // A page left open ends with the document.
  if (job->inPage && !endPage(hdc, dc, job)) return SP_APPABORT;
  job = liveJob(hdc);
  if (!job) return SP_ERROR;
  const size_t index = job->index;
  liveJobs.erase(hdc);
  jobs[index].ended = true;
  return writeJob(index) ? 1 : SP_OUTOFDISK;
}

extern "C" int WINAPI AbortDoc(HDC hdc) {
  if (!printingDc(hdc) || !liveJob(hdc)) return SP_ERROR;
  cancelJob(hdc);
  if (Dc* dc = findDc(hdc)) dc->page = Surface{};
  return 1;
}

void plTestSetNoPrinter(bool none) { noPrinter = none; }

const std::vector<PlPrintJob>& plTestPrintJobs() { return jobs; }

void plTestClearPrintJobs() {
  jobs.clear();
  pagePixels.clear();
  liveJobs.clear();  // a job still open is dropped: its later calls fail
}

COLORREF plTestPrintedPixel(size_t job, size_t page, int x, int y) {
  auto it = pagePixels.find(job);
  if (it == pagePixels.end() || page >= it->second.size()) return CLR_INVALID;
  const Surface& s = it->second[page];
  return s.contains(x, y) ? pl::gdi::toColorRef(s.get(x, y)) : CLR_INVALID;
}
