// The printer set-up block: its checks, its building from the dialog's two
// parts, and its copies between the global block and a document's.
#include "views/print.h"

#include "core/alloc.h"
#include "draw/gdi.h"
#include "views/doc.h"

#include <cstddef>
#include <cstring>

namespace {

uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

// A name at a character offset of the device-names part: it must start
// after the fixed fields and end (with its zero) inside the part.
const char* nameAt(const uint8_t* part, uint32_t size, uint16_t offset) {
  if (offset < sizeof(DEVNAMES) || offset >= size) return nullptr;
  if (!std::memchr(part + offset, 0, size - offset)) return nullptr;
  return reinterpret_cast<const char*>(part + offset);
}

}  // namespace

bool printSetupParse(const uint8_t* block, uint32_t length, printSetupView* out) {
  if (!block || length < printSetupHeader || u32(block) != printSetupTag) return false;
  const uint32_t namesAt = u16(block + 4), namesSize = u16(block + 6);
  const uint32_t modeAt = u16(block + 8), modeSize = u16(block + 10);
  if (namesAt < printSetupHeader || namesAt + namesSize > length) return false;
  if (modeSize && (modeAt < printSetupHeader || modeAt + modeSize > length)) return false;
  if (namesSize < sizeof(DEVNAMES)) return false;
  printSetupView view{};
  view.devNames = block + namesAt;
  view.devNamesSize = namesSize;
  view.driver = nameAt(view.devNames, namesSize, u16(view.devNames + offsetof(DEVNAMES, wDriverOffset)));
  view.device = nameAt(view.devNames, namesSize, u16(view.devNames + offsetof(DEVNAMES, wDeviceOffset)));
  view.port = nameAt(view.devNames, namesSize, u16(view.devNames + offsetof(DEVNAMES, wOutputOffset)));
  if (!view.driver || !view.device || !view.port) return false;
  if (modeSize) {
    // The device mode says its own size and its driver's extra bytes; both
    // must lie inside the part before anything reads the fields.
    if (modeSize < offsetof(DEVMODEA, dmFields)) return false;
    const uint8_t* mode = block + modeAt;
    const uint32_t said = uint32_t(u16(mode + offsetof(DEVMODEA, dmSize))) + u16(mode + offsetof(DEVMODEA, dmDriverExtra));
    if (said > modeSize || u16(mode + offsetof(DEVMODEA, dmSize)) < offsetof(DEVMODEA, dmFields)) return false;
    view.devMode = mode;
    view.devModeSize = modeSize;
  }
  if (out) *out = view;
  return true;
}

bool printSetupBuild(const uint8_t* devNames, uint32_t devNamesSize, const uint8_t* devMode, uint32_t devModeSize,
                     std::vector<uint8_t>* out) {
  if (!devNames) devNamesSize = 0;
  if (!devMode) devModeSize = 0;
  if (devNamesSize > 0xFFFF || devModeSize > 0xFFFF || printSetupHeader + devNamesSize > 0xFFFF) return false;
  out->assign(printSetupHeader + devNamesSize + devModeSize, 0);
  uint8_t* b = out->data();
  b[0] = 0x33, b[1] = 0x4E, b[2] = 0x49, b[3] = 0x57;  // "3NIW"
  put16(b + 4, printSetupHeader);
  put16(b + 6, devNamesSize);
  put16(b + 8, printSetupHeader + devNamesSize);
  put16(b + 10, devModeSize);
  if (devNamesSize) std::memcpy(b + printSetupHeader, devNames, devNamesSize);
  if (devModeSize) std::memcpy(b + printSetupHeader + devNamesSize, devMode, devModeSize);
  return true;
}

bool printSetupCurrent(printSetupView* out) {
  // The view points into a copy of the global block that lives until the
  // next call.
  static std::vector<uint8_t> held;
  uint8_t* block = nullptr;
  uint32_t length = 0;
  printSetupGet(reinterpret_cast<void**>(&block), &length);
  held.assign(block, block + length);
  if (block) uFree(&block);
  return printSetupParse(held.data(), uint32_t(held.size()), out);
}

void printSetupToDoc(docRec* doc) {
  if (!doc) return;
  printSetupGet(reinterpret_cast<void**>(&doc->printSetup), &doc->printSetupLength);
}

void printSetupFromDoc(docRec* doc) {
  if (!doc) return;
  printSetupSet(doc->printSetup, doc->printSetupLength);
}
