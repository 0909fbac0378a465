// The GDI call log and pixel reading for tests, and the reset of the GDI.
#include "gdi.h"
#include "layer.h"

#include <platform_test.h>

namespace pl::gdi {
namespace {
std::vector<PlGdiCall> calls;
// The log is for tests: it is kept from the first reset of the layer on
// (plTestReset, or a clear of the log). A program never resets the layer,
// so its drawing does not pile up a record of every call.
bool logging = false;
}  // namespace

void logCall(const char* name, std::initializer_list<long long> args) {
  if (logging) calls.push_back(PlGdiCall{name, args});
}

void resetLog() {
  calls.clear();
  logging = true;
}

void resetGdi() {
  resetDcs();
  resetObjects();
  resetLog();
  resetFonts();
}

}  // namespace pl::gdi

void pl::resetGdi() { gdi::resetGdi(); }

using namespace pl::gdi;

static COLORREF pixelOf(const Surface* s, int x, int y) {
  if (!s || !s->contains(x, y)) return CLR_INVALID;
  return toColorRef(s->get(x, y));
}

COLORREF plTestWindowPixel(HWND window, int x, int y) { return pixelOf(windowSurface(window), x, y); }

COLORREF plTestBitmapPixel(HBITMAP bitmap, int x, int y) {
  Bitmap* b = findBitmap(bitmap);
  return pixelOf(b ? &b->surface : nullptr, x, y);
}

const std::vector<PlGdiCall>& plTestGdiCalls() { return calls; }

void plTestClearGdiCalls() { resetLog(); }

int plTestGdiCallCount(const std::string& name) {
  int n = 0;
  for (const PlGdiCall& c : calls) n += c.name == name;
  return n;
}
