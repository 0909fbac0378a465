// The pen table, its start-up and image block, nearest-width look-up, and
// the device widths with their cache.
#include "objects/pen.h"

#include "core/alloc.h"
#include "core/ini.h"
#include "core/text.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/newbio.h"
#include "objects/gobject.h"
#include "objects/pen_internal.h"
#include "objects/uphooks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

const int kBuiltIn[penCount] = {2, 5, 10, 16, 20, 32, 40, 50};  // thousandths of an inch

// The built-in widths until penLoadDefaults runs.
double table[penCount] = {0.002, 0.005, 0.010, 0.016, 0.020, 0.032, 0.040, 0.050};
double largest = 0.050;
int16_t device[penCount];
bool varWidths;

// The cache keys of the device widths. The resolution joins the output mode
// and the view scale so that widths made for one device are not used on
// another of a different resolution.
bool cacheValid;
int cachedMode;
double cachedScale;
double cachedResolution;

penOutputModeSource modeSource;

int outputMode() { return modeSource ? modeSource() : 0; }

double viewScale() {
  double scale = 1.0;
  objViewScale(0, &scale);
  return scale;
}

// Sixteenths of a device unit per inch (per millimetre with metric units).
double resolution16() {
  double dpi[2] = {0, 0};
  vwGetDpiUnits(dpi);
  return dpi[0] * 16.0;
}

int16_t clamp16(double v) { return int16_t(std::clamp(v, -32768.0, 32767.0)); }

void computeDevice() {
  const int mode = outputMode();
  const double res = resolution16(), scale = viewScale();
  for (int i = 0; i < penCount; ++i) {
    const double w = table[i] * res;
    int16_t d;
    if (mode != 0)
      d = clamp16(std::round(w));
    else if (varWidths)
      d = clamp16(std::ceil(w * scale));
    else
      d = clamp16(-std::ceil(w));
    device[i] = d == 0 ? 1 : d;
  }
  cachedMode = mode;
  cachedScale = scale;
  cachedResolution = res;
  cacheValid = true;
}

void refreshDevice() {
  if (!cacheValid || outputMode() != cachedMode || resolution16() != cachedResolution ||
      (varWidths && viewScale() != cachedScale))
    computeDevice();
}

void setLargestFromTable() {
  largest = 0.0;
  for (double w : table) largest = std::max(largest, w);
}

}  // namespace

void penLoadDefaults() {
  std::string value = "OFF";
  if (iniFile* ini = iniCurrent()) iniGetString(ini, "Defaults", "VarWidths", &value);
  varWidths = uStrNatCmpAll(value.c_str(), "OFF") > 0;
  for (int i = 0; i < penCount; ++i) table[i] = kBuiltIn[i] * 0.001;
  void* block = nullptr;
  uint32_t length = 0;
  // The block handed over by an earlier start-up is the table itself; one
  // from an image is the taker's to free. A block too short for the eight
  // widths is left unused.
  if (feGetBlock("penwidth", &block, &length) == 0 && block && block != table) {
    if (length >= sizeof table) std::memcpy(table, block, sizeof table);
    uFree(&block);
  }
  feSetBlock("penwidth", table, sizeof table);
  setLargestFromTable();
  cacheValid = false;
}

int penSelect(int style) {
  refreshDevice();
  gxSetPenWidth16(device[(style >> 5) & 7]);
  return 0;
}

int penGetWidth(const gobjRec* object, double* width) {
  *width = table[gobjPen(object) & 7];
  return 0;
}

void penSetWidth(gobjRec* object, double width) {
  int best = 0;
  double bestDistance = std::fabs(table[0] - width);
  for (int i = 1; i < penCount; ++i) {
    const double distance = std::fabs(table[i] - width);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  object->style = uint8_t((object->style & 31) | best << 5);
}

double penWidthAt(int index) { return index >= 0 && index < penCount ? table[index] : 0.0; }

double penLargestWidth() { return largest; }

void penGetTable(double widths[penCount]) { std::memcpy(widths, table, sizeof table); }

void penSetTable(const double widths[penCount]) {
  std::memcpy(table, widths, sizeof table);
  cacheValid = false;
}

int16_t penDeviceWidth(int index) {
  if (index < 0 || index >= penCount) return 0;
  refreshDevice();
  return device[index];
}

bool penVarWidths() { return varWidths; }

void penSetVarWidths(bool on) {
  varWidths = on;
  cacheValid = false;
}

void penSetOutputModeSource(penOutputModeSource source) {
  modeSource = source;
  cacheValid = false;
}

void penReadNewWidths(const double* widths, int32_t count) {
  setLargestFromTable();
  const double before = largest;
  for (int32_t i = 0; i < count && i < penCount; ++i) table[i] = widths[i];
  double newest = before;
  for (int32_t i = 0; i < count && i < penCount; ++i) newest = std::max(newest, widths[i]);
  largest = newest;
  computeDevice();
}
