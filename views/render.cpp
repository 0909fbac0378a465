// The global default render record and light table, and the defaults every
// new settings record starts from when there is no current record to copy.
#include "views/render.h"

#include "objects/docvar.h"

#include <cstring>

namespace {

uint8_t defaultRec[docVisualSize];
double defaultLights[vcLightDoubles];
static_assert(sizeof defaultLights == docLightSize);
static_assert(uint32_t(vcRenderSize) <= uint32_t(docVisualSize));

// A new record copies the current one's settings (objects/docvar_event.cpp);
// without a current record it starts from the global defaults. The hook
// runs before the new record is made current.
void docHook(uint32_t event, dbDocRec* doc) {
  if (event != docEvtCreated || !doc) return;
  const dbDocRec* current = dbDocCurrent();
  if (current && current != doc) return;
  std::memcpy(doc->visual, defaultRec, sizeof doc->visual);
  std::memcpy(doc->defaultLights, defaultLights, sizeof doc->defaultLights);
}

}  // namespace

uint8_t* vcDefaultRec() { return defaultRec; }
double* vcDefLightTable() { return defaultLights; }

void vcResetDefaults() {
  std::memset(defaultRec, 0, sizeof defaultRec);
  defaultRec[vcShadeMode] = 1;
  defaultRec[vcHiddenMode] = 2;
  defaultRec[vcHiddenFont] = 2;
  defaultRec[vcDefLight] = 1;
  defaultRec[vcHiSpeed] = 1;

  std::memset(defaultLights, 0, sizeof defaultLights);
  struct {
    double type, intensity, source[3];
  } const lights[3] = {{0, 0.4, {0, 0, 0}}, {2, 0.9, {0.25, -1.0, 0.5}}, {2, 0.6, {-0.25, 1.0, -0.5}}};
  for (uint32_t k = 0; k < 3; ++k) {
    defaultLights[vcLightUse + k] = 1;
    defaultLights[vcLightType + k] = lights[k].type;
    defaultLights[vcLightIntensity + k] = lights[k].intensity;
    for (uint32_t axis = 0; axis < 3; ++axis) defaultLights[vcLightSource + 3 * k + axis] = lights[k].source[axis];
  }
}

double vcLightGet(const uint8_t* block, uint32_t index) {
  double value = 0;
  if (index < vcLightDoubles) std::memcpy(&value, block + 8 * index, sizeof value);
  return value;
}

void vcLightPut(uint8_t* block, uint32_t index, double value) {
  if (index < vcLightDoubles) std::memcpy(block + 8 * index, &value, sizeof value);
}

void vcInstallDocDefaults() {
  static bool hooked = false;
  if (hooked) return;
  hooked = true;
  docAddEventHook(docHook);
}
