// Layer-sorted drawing: the sort hook of vwDrawView, the layer priority list
// and layerSortDrawList, with their operators.
#include "views/vwsort.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/value.h"
#include "objects/layer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

vwSortHookFn sortHook = nullptr;
bool sortEnabled = false;

struct PriorityName {
  char* text;
  uint32_t length;
};
PriorityName* priority = nullptr;
uint32_t priorityCount = 0;

void clearPriority() {
  for (uint32_t i = 0; i < priorityCount; ++i) uFreeIfSet(&priority[i].text);
  uFreeIfSet(&priority);
  priorityCount = 0;
}

// An object with the name of its layer (empty for a layer without a
// record).
struct Keyed {
  gobjRec* object;
  std::string_view name;
};

std::string_view layerNameOf(const gobjRec* object) {
  const char* text = nullptr;
  uint32_t length = 0;
  if (!object || layerName(objLayerNo(object), &text, &length) != 0 || !text) return {};
  return {text, length};
}

bool listed(std::string_view name) {
  for (uint32_t i = 0; i < priorityCount; ++i)
    if (name == std::string_view(priority[i].text, priority[i].length)) return true;
  return false;
}

}  // namespace

void vwSetSortHook(vwSortHookFn sort) { sortHook = sort; }
vwSortHookFn vwGetSortHook() { return sortHook; }
void vwSetSortEnabled(bool enabled) { sortEnabled = enabled; }
bool vwGetSortEnabled() { return sortEnabled; }

int layerSortDrawList(gobjRec** items, uint32_t count) {
  if (!items || count == 0) {
    dbgPanic("layerSortDrawList: tried to sort nonedata array ");
    return -1;
  }
  Keyed* keyed = nullptr;
  uint32_t keyedCount = 0;
  if (uResizeBlock(reinterpret_cast<uHandle>(&keyed), &keyedCount, count, sizeof(Keyed)) != 0) {
    dbgPanic("layerSortDrawList: allocation failure ");
    return -1;
  }
  for (uint32_t i = 0; i < count; ++i) keyed[i] = Keyed{items[i], layerNameOf(items[i])};
  // string_view compares its bytes as unsigned characters, shorter first on
  // a common start.
  std::stable_sort(keyed, keyed + count, [](const Keyed& a, const Keyed& b) { return a.name < b.name; });
  for (uint32_t i = 0; i < count; ++i) items[i] = keyed[i].object;
  int answer = 0;
  if (priorityCount) {
    gobjRec** ordered = nullptr;
    uint32_t orderedCount = 0;
    if (uResizeBlock(reinterpret_cast<uHandle>(&ordered), &orderedCount, count, sizeof(gobjRec*)) != 0) {
      dbgPanic("layerSortDrawList: allocation failure ");
      uFree(&keyed);
      return -1;
    }
    // Placed counts every object a part claims, so that a layer listed
    // twice shows as too many; only the first count are stored.
    uint64_t placed = 0;
    auto place = [&](gobjRec* object) {
      if (placed < count) ordered[placed] = object;
      ++placed;
    };
    for (uint32_t p = 0; p < priorityCount; ++p) {
      const std::string_view name(priority[p].text, priority[p].length);
      for (uint32_t i = 0; i < count; ++i)
        if (keyed[i].name == name) place(keyed[i].object);
    }
    for (uint32_t i = 0; i < count; ++i)
      if (!listed(keyed[i].name)) place(keyed[i].object);
    if (placed == count) {
      std::memcpy(items, ordered, sizeof(gobjRec*) * count);
    } else {
      dbgPrintf("layerSortDrawList: user sort failure\n");
      answer = 1;
    }
    uFree(&ordered);
  }
  uFree(&keyed);
  return answer;
}

int layerSetPriority(const char* const* names, const uint32_t* lengths, uint32_t count) {
  clearPriority();
  if (!count) return 0;
  if (uResizeBlock(reinterpret_cast<uHandle>(&priority), &priorityCount, count, sizeof(PriorityName)) != 0)
    return 9;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t size = 0;
    // One byte more than the name: an empty name still has a block.
    if (uResizeBlock(reinterpret_cast<uHandle>(&priority[i].text), &size, lengths[i] + 1, 1) != 0) {
      clearPriority();
      return 9;
    }
    if (lengths[i]) std::memcpy(priority[i].text, names[i], lengths[i]);
    priority[i].length = lengths[i];
  }
  return 0;
}

uint32_t layerPriorityCount() { return priorityCount; }

const char* layerPriorityName(uint32_t i, uint32_t* length) {
  if (i >= priorityCount) {
    if (length) *length = 0;
    return nullptr;
  }
  if (length) *length = priority[i].length;
  return priority[i].text;
}

void vwSortReset() {
  sortHook = nullptr;
  sortEnabled = false;
  clearPriority();
}

int vwOpStartLayerSortDraw(feArgs*) {
  vwSetSortHook(layerSortDrawList);
  vwSetSortEnabled(true);
  return 0;
}

int vwOpEndLayerSortDraw(feArgs*) {
  vwSetSortHook(nullptr);
  vwSetSortEnabled(false);
  return 0;
}

int vwOpSetDrawLayerPriority(feArgs* args) {
  auto* code = static_cast<int32_t*>(args->out[0]);
  const feObject* value = args->in[0].value;
  if (!value || feType(value) != feTArray || value->length == 0) {
    clearPriority();
    *code = 1;
    return 0;
  }
  const feObject* elements = feArrayElems(value->w0.arr) + value->offset;
  const uint32_t n = value->length;
  const char** names = nullptr;
  uint32_t* lengths = nullptr;
  uint32_t namesSize = 0, lengthsSize = 0;
  if (uResizeBlock(reinterpret_cast<uHandle>(&names), &namesSize, n, sizeof(const char*)) != 0 ||
      uResizeBlock(reinterpret_cast<uHandle>(&lengths), &lengthsSize, n, sizeof(uint32_t)) != 0) {
    uFreeIfSet(&names);
    clearPriority();
    *code = 9;
    return 0;
  }
  uint32_t taken = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (feType(&elements[i]) != feTString) continue;
    const char* text = nullptr;
    int32_t length = 0;
    if (feGetString(&elements[i], &text, &length) != 0) continue;
    names[taken] = text;
    lengths[taken] = uint32_t(length);
    ++taken;
  }
  *code = layerSetPriority(names, lengths, taken);
  uFree(&names);
  uFree(&lengths);
  return 0;
}
