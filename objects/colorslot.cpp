// The 16 named colour slots, the class "colorent" through which scripts
// read and change a slot, and the setting "$COLORTBL" that keeps changed
// slots in documents.
#include "objects/colortbl.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/text.h"
#include "core/xlate.h"
#include "fe/value.h"
#include "objects/docvar.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "ui/achk.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kStartNames[colorSlotCount] = {
    "black", "red", "yellow", "green", "cyan", "blue", "magenta", ".white",
    "",      "",    "",       "",      "",     "Selection", "Grid", "Background",
};

struct Slot {
  char* name = nullptr;  // allocator block; "" for an empty slot
  uint16_t rgb[3] = {};
};

Slot slots[colorSlotCount];
int changed = 0;
uint16_t entClass = 0;

struct colorentRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t flags;
  uint8_t number;
};

enum { kName = 1, kNumber = 2, kRgb = 3 };

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list) uiDefAChkl(&list, kName, "name", "S", kNumber, "number", "I", kRgb, "rgb", "3s", 0);
  return list;
}

bool inTable(int32_t slot) { return slot >= 0 && slot < colorSlotCount; }

void setName(int32_t slot, const char* text, uint32_t length) {
  char* copy = nullptr;
  uAlloc(&copy, nullptr, length + 1, 1);
  if (!copy) return;
  if (length) std::memcpy(copy, text, length);
  if (slots[slot].name) uFree(&slots[slot].name);
  slots[slot].name = copy;
}

int getAttr(const colorentRec* self, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  int16_t rgb16[3];
  switch (code) {
    case kName: {
      const char* name = colorSlotName(self->number);
      if (!name) return -1;
      data.data = const_cast<char*>(name);
      data.count = int32_t(std::strlen(name));
      break;
    }
    case kNumber: data.count = self->number; break;
    case kRgb: {
      uint16_t rgb[3];
      if (colorSlotGetRGB(self->number, rgb) != 0) return -1;
      for (int c = 0; c < 3; ++c) rgb16[c] = int16_t(rgb[c]);
      data.data = rgb16;
      data.count = 3;
      break;
    }
    default: return feErrUnknownKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int setAttr(const colorentRec* self, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  switch (code) {
    case kName:
      return colorSlotRename(self->number, static_cast<const char*>(data.data), uint32_t(std::max(data.count, 0)));
    case kRgb: {
      const auto* v = static_cast<const int16_t*>(data.data);
      const uint16_t rgb[3] = {uint16_t(v[0]), uint16_t(v[1]), uint16_t(v[2])};
      return colorSlotSetRGB(self->number, rgb);
    }
    case 0:
      if (data.status != feErrUndefined) return data.status;
      return feErrUnknownKey;
    default: return feErrUnknownKey;
  }
}

int entHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t) {
  auto* self = static_cast<colorentRec*>(record);
  switch (message) {
    case msgFree: uFree(&self); return 0;
    case msgGetAttr: return getAttr(self, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return setAttr(self, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    default: return -1;
  }
}

// "$COLORTBL": the changed slots, each as "iS3s" (slot, name, components).
int slotsIO(const char*, dbDocRec*, ioCtx* ctx) {
  int32_t count = 0;
  if (ctx->mode != 'r') {
    if (changed && (ctx->flags & ioFlagWriteGlobals))
      for (const Slot& s : slots) count += s.name && s.name[0] ? 1 : 0;
    if (ioFormat(ctx, "i", &count) < 0) return -1;
    if (count == 0) return 0;
    for (int32_t slot = 0; slot < colorSlotCount; ++slot) {
      Slot& s = slots[slot];
      if (!s.name || !s.name[0]) continue;
      if (ioFormat(ctx, "iS3s", &slot, &s.name, s.rgb) < 0) return -1;
    }
    return 0;
  }
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  for (int32_t i = 0; i < count; ++i) {
    int32_t slot = 0;
    char* name = nullptr;
    uint16_t rgb[3] = {};
    const int read = ioFormat(ctx, "iS3s", &slot, &name, rgb);
    if (read >= 0 && (ctx->flags & ioFlagReadGlobals)) {
      const int32_t n = slot & (colorSlotCount - 1);
      setName(n, name ? name : "", name ? uint32_t(std::strlen(name)) : 0);
      colorSlotSetRGB(n, rgb);
      changed = 1;
    }
    if (name) uFree(&name);
    if (read < 0) return -1;
  }
  return 0;
}

}  // namespace

const char* colorSlotName(int32_t slot) {
  if (!inTable(slot)) return nullptr;
  return slots[slot].name ? slots[slot].name : "";
}

int colorSlotRename(int32_t slot, const char* name, uint32_t length) {
  if (!inTable(slot)) return -1;
  if (!name) length = 0;
  // The empty name clears a slot and is never a duplicate.
  if (length > 0) {
    for (int32_t other = 0; other < colorSlotCount; ++other) {
      const char* have = colorSlotName(other);
      if (other == slot || std::strlen(have) != length) continue;
      if (uStrNatCmp(have, name, int(length)) == 0) return colorErrDuplicate;
    }
  }
  setName(slot, name, length);
  changed = 1;
  return 0;
}

int colorSlotGetRGB(int32_t slot, uint16_t rgb[3]) {
  if (!inTable(slot)) return -1;
  std::memcpy(rgb, slots[slot].rgb, sizeof slots[slot].rgb);
  return 0;
}

int colorSlotSetRGB(int32_t slot, const uint16_t rgb[3]) {
  if (!inTable(slot)) return -1;
  std::memcpy(slots[slot].rgb, rgb, sizeof slots[slot].rgb);
  changed = 1;
  return 0;
}

int colorSlotsChanged() { return changed; }

void* colorentNew(int32_t number) {
  if (!entClass) return nullptr;
  colorentRec* rec = nullptr;
  uAlloc(&rec, nullptr, 1, sizeof(colorentRec));
  if (!rec) return nullptr;
  rec->classId = entClass;
  rec->number = uint8_t(number);
  return rec;
}

uint16_t colorentClassId() { return entClass; }

void colorSlotsSetUp() {
  entClass = objClassRegister("colorent", 0, entHandler);
  checkList();
  for (int32_t slot = 0; slot < colorSlotCount; ++slot) {
    const char* text = kStartNames[slot];
    if (text[0]) xlateStr(0, text, &text);
    setName(slot, text, uint32_t(std::strlen(text)));
    std::memset(slots[slot].rgb, 0, sizeof slots[slot].rgb);
  }
  changed = 0;
  if (!docVarFind("$COLORTBL", 9)) varRegister(slotsIO, "$COLORTBL");
}
