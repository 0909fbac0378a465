// Grid records: their class, the documents' grids and the current grid,
// keyed access and the settings that store a grid in a drawing file.
#include "views/grid.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/docvar.h"
#include "objects/ioformat.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cmath>
#include <cstring>

namespace {

enum { kMsgFree = 100, kMsgGet = 107, kMsgSet = 108 };

uint16_t classId;
gridRec* current;
uint32_t redraws;

static_assert(sizeof(gridRec*) <= docGridSize, "the grid block holds the grid's address");

gridRec* blockGrid(const dbDocRec* settings) {
  gridRec* grid = nullptr;
  std::memcpy(&grid, settings->grid, sizeof grid);
  return grid;
}
void setBlockGrid(dbDocRec* settings, gridRec* grid) {
  std::memset(settings->grid, 0, docGridSize);
  std::memcpy(settings->grid, &grid, sizeof grid);
}

gridRec* newGrid() {
  gridRec* grid = nullptr;
  uAlloc(&grid, nullptr, 1, sizeof(gridRec));
  if (!grid) return nullptr;
  grid->classId = classId;
  grid->refCount = 1;
  gridInit(grid);
  return grid;
}

bool sameKey(const char* key, uint32_t length, const char* name) {
  return std::strlen(name) == length && std::memcmp(key, name, length) == 0;
}

int gridHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  auto* grid = static_cast<gridRec*>(object);
  switch (message) {
    case kMsgFree:
      if (grid == current) current = nullptr;
      uFree(&grid);
      return 0;
    case kMsgGet:
    case feMsgGet: {
      const auto* key = reinterpret_cast<const feObject*>(a);
      if (feType(key) != feTName) return feErrUnknownKey;
      const char* text = nullptr;
      size_t length = 0;
      feNameText(key, &text, &length);
      double value = 0;
      int isReal = 0;
      const int rc = gridGetKey(grid, text, uint32_t(length), &value, &isReal);
      if (rc) return rc;
      auto* out = reinterpret_cast<feObject*>(b);
      return isReal ? feMakeReal(out, value) : feMakeInt(out, int32_t(value));
    }
    case kMsgSet:
    case feMsgPut: {
      const auto* key = reinterpret_cast<const feObject*>(a);
      const auto* value = reinterpret_cast<const feObject*>(b);
      if (feType(key) != feTName) return feErrUnknownKey;
      if (feType(value) != feTInt && feType(value) != feTReal) return feErrTypeCheck;
      const char* text = nullptr;
      size_t length = 0;
      feNameText(key, &text, &length);
      return gridSetKey(grid, text, uint32_t(length), feGetNumber(value, nullptr));
    }
    default: return -1;
  }
}

// Every view of the owner's windowed sheets that shows the grid.
template <class F>
void forShowingViews(const gridRec* grid, F&& f) {
  docRec* doc = gridOwner(grid);
  if (!doc) return;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    if (!sheet->window) continue;
    for (viewRec* view = sheet->firstView; view; view = view->next)
      if (view->flags & viewGridShown) f(view);
  }
}

}  // namespace

uint16_t gridClassId() {
  if (!classId) classId = objClassRegister("grid", 0, gridHandler);
  return classId;
}

void gridEventHook(uint32_t event, dbDocRec* settings) {
  if (!settings) return;
  switch (event) {
    case docEvtCreated:
      // The record may have been copied from the current one, grid block and
      // all: the new document gets a grid of its own.
      setBlockGrid(settings, newGrid());
      break;
    case docEvtFreed: {
      gridRec* grid = blockGrid(settings);
      if (grid == current) current = nullptr;
      setBlockGrid(settings, nullptr);
      feObjRefRelease(grid);
      break;
    }
    case docEvtCurrent:
    case docEvtSwitchIn: current = blockGrid(settings); break;
    default: break;
  }
}

int gridGetObject(dbDocRec* settings, gridRec** out) {
  *out = nullptr;
  if (!settings) return vwErrNoCurDoc;
  gridRec* grid = blockGrid(settings);
  if (grid) grid->classId = gridClassId();
  *out = grid;
  return 0;
}

gridRec* gridOfDoc(const docRec* doc) {
  if (!doc || !doc->settings) return nullptr;
  gridRec* grid = nullptr;
  gridGetObject(doc->settings, &grid);
  return grid;
}

gridRec* gridCurrent() { return current; }

docRec* gridOwner(const gridRec* grid) {
  if (!grid) return nullptr;
  for (docRec* doc = docFirstOpen(); doc; doc = doc->nextOpen)
    if (doc->settings && blockGrid(doc->settings) == grid) return doc;
  return nullptr;
}

int gridGetKey(const gridRec* grid, const char* key, uint32_t length, double* value, int* isReal) {
  if (!grid) return vwErrNoCurDoc;
  if (sameKey(key, length, "spacing")) {
    *value = grid->spacing;
    *isReal = 1;
    return 0;
  }
  if (sameKey(key, length, "nticks")) {
    *value = grid->steps;
    *isReal = 0;
    return 0;
  }
  return feErrUnknownKey;
}

int gridSetKey(gridRec* grid, const char* key, uint32_t length, double value) {
  if (!grid) return vwErrNoCurDoc;
  if (sameKey(key, length, "spacing")) {
    gridSetValues(grid, float(value), grid->steps);
    return 0;
  }
  if (sameKey(key, length, "nticks")) {
    const uint32_t steps = value < 1 || !(value == value) ? 1u : value > 1e9 ? 1000000000u : uint32_t(value);
    gridSetValues(grid, grid->spacing, steps);
    return 0;
  }
  return feErrUnknownKey;
}

void gridSetValues(gridRec* grid, float spacing, uint32_t steps) {
  if (!grid) return;
  if (steps < 1) steps = 1;
  const bool same = grid->steps == steps && std::memcmp(&grid->spacing, &spacing, sizeof spacing) == 0;
  if (same) return;
  grid->spacing = spacing;
  grid->steps = steps;
  forShowingViews(grid, gridRedrawView);
}

void gridRedrawView(viewRec* view) {
  ++redraws;
  vwInvalidate(view, 0);
}
uint32_t gridRedrawCount() { return redraws; }

void* gridSnapPoint(const double*) { return nullptr; }

int gridVarIO(const char* name, dbDocRec* settings, ioCtx* ctx) {
  gridRec* grid = settings ? blockGrid(settings) : current;
  if (!grid) return 0;
  if (std::strcmp(name, "$GRIDSPACING") == 0) {
    double spacing = grid->spacing;
    if (ioFormat(ctx, "E", &spacing) < 0) return -1;
    if (ctx->mode == 'r') grid->spacing = float(spacing);
    return 0;
  }
  if (std::strcmp(name, "$GRIDTICKS") == 0) {
    int32_t steps = int32_t(grid->steps);
    if (ioFormat(ctx, "l", &steps) < 0) return -1;
    if (ctx->mode == 'r') grid->steps = steps < 1 ? 1u : uint32_t(steps);
    return 0;
  }
  return 0;
}
