// The unit table as the "units" block of the compiled script image:
// little-endian u16 count, 18 bytes per unit (u16 offset of its names from
// the block's start, inch size, millimetre size), then the names, each ended
// by a zero byte.
#include "core/alloc.h"
#include "core/units.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

enum { kHead = 2, kEntry = 18 };

void putU16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void putDouble(uint8_t* p, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  for (int i = 0; i < 8; ++i) p[i] = uint8_t(bits >> (8 * i));
}

uint32_t getU16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

double getDouble(const uint8_t* p) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t(p[i]) << (8 * i);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace

uint8_t* unitBlockBuild(uint32_t* length) {
  // Offsets are 16 bits: units whose names would start beyond them are left
  // out rather than written with a wrapped offset.
  int32_t count = 0;
  uint32_t size = kHead;
  for (int32_t i = 0; i < unitCount(); ++i) {
    const uint32_t names = uint32_t(std::strlen(unitAt(i)->names)) + 1;
    if (size + kEntry + names > 0xFFFF + 1) break;
    size += kEntry + names;
    ++count;
  }
  uint8_t* block = static_cast<uint8_t*>(uAlloc(nullptr, nullptr, size, 1));
  putU16(block, uint32_t(count));
  uint32_t text = kHead + uint32_t(count) * kEntry;
  for (int32_t i = 0; i < count; ++i) {
    const unitDef* u = unitAt(i);
    uint8_t* e = block + kHead + i * kEntry;
    putU16(e, text);
    putDouble(e + 2, u->inchSize);
    putDouble(e + 10, u->mmSize);
    const size_t n = std::strlen(u->names) + 1;
    std::memcpy(block + text, u->names, n);
    text += uint32_t(n);
  }
  *length = size;
  return block;
}

int unitBlockLoad(const void* data, uint32_t length) {
  const uint8_t* b = static_cast<const uint8_t*>(data);
  if (!b || length < kHead) return -1;
  const uint32_t count = getU16(b);
  if (kHead + count * kEntry > length) return -1;
  struct entry {
    std::string names;
    double inch, mm;
  };
  std::vector<entry> units;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = b + kHead + i * kEntry;
    const uint32_t offset = getU16(e);
    if (offset >= length) return -1;
    const void* end = std::memchr(b + offset, 0, length - offset);
    if (!end) return -1;
    units.push_back({std::string(reinterpret_cast<const char*>(b + offset)), getDouble(e + 2), getDouble(e + 10)});
  }
  unitClearTable();
  for (const entry& u : units) unitDefine(u.names.c_str(), int32_t(u.names.size()), u.inch, u.mm);
  return 0;
}
