// The virtual printer's settings: device modes read safely (they may come
// from a drawing file), the page they ask for, and the printer's names.
#include "layer.h"
#include "printer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pl::printing {
namespace {

// Paper sizes in tenths of a millimetre.
struct Paper {
  SHORT id;
  int width;
  int length;
};
constexpr Paper kPapers[] = {
    {DMPAPER_LETTER, 2159, 2794},
    {DMPAPER_LEGAL, 2159, 3556},
    {DMPAPER_A4, 2100, 2970},
    {DMPAPER_A3, 2970, 4200},
};
constexpr DWORD kOwnFields =
    DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR;

int pixels(int tenthsMm, int dpi) { return static_cast<int>(std::lround(tenthsMm * static_cast<double>(dpi) / 254.0)); }

}  // namespace

bool namesPrinter(LPCSTR driver, LPCSTR device) {
  if (!printerInstalled()) return false;
  if (device && *device) return equalNoCase(device, kDevice);
  if (driver && *driver) return equalNoCase(driver, kDriver) || equalNoCase(driver, "pngprint.drv");
  return false;
}

DEVMODEA defaultDevMode() {
  DEVMODEA dm;
  std::memset(&dm, 0, sizeof dm);
  std::memcpy(dm.dmDeviceName, kDevice, std::strlen(kDevice));
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmDriverVersion = 0x0100;
  dm.dmSize = sizeof(DEVMODEA);
  dm.dmDriverExtra = 0;
  dm.dmFields = kOwnFields;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_LETTER;
  dm.dmCopies = 1;
  dm.dmPrintQuality = 100;
  dm.dmYResolution = 100;
  dm.dmColor = DMCOLOR_COLOR;
  return dm;
}

DEVMODEA devModeFrom(const void* block, size_t size) {
  DEVMODEA out = defaultDevMode();
  if (!block || size < offsetof(DEVMODEA, dmFields) + sizeof(DWORD)) return out;
  DEVMODEA in;
  std::memset(&in, 0, sizeof in);
  std::memcpy(&in, block, std::min(size, sizeof in));
  // Bytes past the block, or past the mode's own fixed part, are not fields.
  const size_t limit = std::min({size, static_cast<size_t>(in.dmSize), sizeof in});
  auto has = [&](DWORD flag, size_t offset, size_t length) {
    return (in.dmFields & flag) && offset + length <= limit;
  };
  if (has(DM_ORIENTATION, offsetof(DEVMODEA, dmOrientation), 2) &&
      (in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE))
    out.dmOrientation = in.dmOrientation;
  if (has(DM_PAPERSIZE, offsetof(DEVMODEA, dmPaperSize), 2)) {
    for (const Paper& p : kPapers)
      if (p.id == in.dmPaperSize) out.dmPaperSize = p.id;
  }
  if (has(DM_PAPERLENGTH, offsetof(DEVMODEA, dmPaperLength), 2) && in.dmPaperLength > 0) {
    out.dmPaperLength = in.dmPaperLength;
    out.dmFields |= DM_PAPERLENGTH;
  }
  if (has(DM_PAPERWIDTH, offsetof(DEVMODEA, dmPaperWidth), 2) && in.dmPaperWidth > 0) {
    out.dmPaperWidth = in.dmPaperWidth;
    out.dmFields |= DM_PAPERWIDTH;
  }
  if (has(DM_COPIES, offsetof(DEVMODEA, dmCopies), 2) && in.dmCopies > 0) out.dmCopies = in.dmCopies;
  // A positive print quality is dots per inch; the named qualities (negative)
  // keep the printer's resolution.
  if (has(DM_PRINTQUALITY, offsetof(DEVMODEA, dmPrintQuality), 2) && in.dmPrintQuality > 0) {
    out.dmPrintQuality = static_cast<SHORT>(std::clamp<int>(in.dmPrintQuality, kMinDpi, kMaxDpi));
    out.dmYResolution = out.dmPrintQuality;
  }
  if (has(DM_YRESOLUTION, offsetof(DEVMODEA, dmYResolution), 2) && in.dmYResolution > 0)
    out.dmYResolution = static_cast<SHORT>(std::clamp<int>(in.dmYResolution, kMinDpi, kMaxDpi));
  if (has(DM_COLOR, offsetof(DEVMODEA, dmColor), 2) &&
      (in.dmColor == DMCOLOR_MONOCHROME || in.dmColor == DMCOLOR_COLOR))
    out.dmColor = in.dmColor;
  return out;
}

gdi::PrinterMode modeFrom(const DEVMODEA* mode, size_t available) {
  const DEVMODEA dm = mode ? devModeFrom(mode, available) : defaultDevMode();
  int width = kPapers[0].width;
  int length = kPapers[0].length;
  for (const Paper& p : kPapers)
    if (p.id == dm.dmPaperSize) {
      width = p.width;
      length = p.length;
    }
  if (dm.dmFields & DM_PAPERWIDTH) width = dm.dmPaperWidth;
  if (dm.dmFields & DM_PAPERLENGTH) length = dm.dmPaperLength;
  if (dm.dmOrientation == DMORIENT_LANDSCAPE) std::swap(width, length);
  gdi::PrinterMode out;
  out.dpiX = dm.dmPrintQuality;
  out.dpiY = dm.dmYResolution;
  out.width = std::max(1, pixels(width, out.dpiX));
  out.height = std::max(1, pixels(length, out.dpiY));
  out.mono = dm.dmColor == DMCOLOR_MONOCHROME;
  return out;
}

std::vector<unsigned char> devNamesBlock() {
  std::vector<unsigned char> block(sizeof(DEVNAMES));
  DEVNAMES names{};
  auto add = [&](const char* text) {
    const WORD offset = static_cast<WORD>(block.size());
    block.insert(block.end(), text, text + std::strlen(text) + 1);
    return offset;
  };
  names.wDriverOffset = add(kDriver);
  names.wDeviceOffset = add(kDevice);
  names.wOutputOffset = add(kPort);
  names.wDefault = DN_DEFAULTPRN;
  std::memcpy(block.data(), &names, sizeof names);
  return block;
}

bool readDevNames(const void* block, size_t size, std::string* driver, std::string* device, std::string* port) {
  if (!block || size < sizeof(DEVNAMES)) return false;
  DEVNAMES names;
  std::memcpy(&names, block, sizeof names);
  const char* bytes = static_cast<const char*>(block);
  auto read = [&](WORD offset, std::string* out) {
    if (offset < sizeof(DEVNAMES) || offset >= size) return false;
    const void* end = std::memchr(bytes + offset, 0, size - offset);
    if (!end) return false;
    if (out) *out = std::string(bytes + offset, static_cast<const char*>(end));
    return true;
  };
  return read(names.wDriverOffset, driver) && read(names.wDeviceOffset, device) && read(names.wOutputOffset, port);
}

}  // namespace pl::printing
