// The image block "linefont": the fonts from 4 on, so that script-defined
// fonts survive between runs. All words are 32-bit, little-endian:
//   0: the number of fonts n (fonts 4 .. 4 + n - 1, free records included)
//   4: the offset of the name area (16 + 8n)
//   8: the offset of the dash area
//  12: the total size
//  16: per font its name length and dash count
// The name area holds the names back to back, then "*"; the dash area
// begins at the first 8-byte boundary after the "*" and holds every font's
// dash lengths in order as doubles.
#include "objects/lnfont_internal.h"

#include "core/alloc.h"
#include "fe/newbio.h"
#include "objects/numtbl.h"

#include <cstring>
#include <vector>

namespace {

enum : uint32_t { kHeader = 16, kMaxDashes = 4096 };

// The bytes handed to feSetBlock: kept until the next save replaces them.
std::vector<uint8_t> saved;

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

uint32_t get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

size_t align8(size_t n) { return (n + 7) & ~size_t(7); }

// Defines the fonts of a block; false (nothing more defined) where the
// block does not hold together.
bool defineFrom(const uint8_t* block, uint32_t length) {
  if (length < kHeader) return false;
  const uint32_t n = get32(block), nameAt = get32(block + 4), dashAt = get32(block + 8);
  if (n > lnfontMax - lnfontFirstUser || nameAt < kHeader + 8 * n || nameAt > length || dashAt > length) return false;
  size_t name = nameAt, dash = dashAt;
  std::vector<double> lengths;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t nameLength = get32(block + kHeader + 8 * i), count = get32(block + kHeader + 8 * i + 4);
    if (nameLength > length - name || count > kMaxDashes || size_t(count) * 8 > length - dash) return false;
    lengths.resize(count);
    std::memcpy(lengths.data(), block + dash, size_t(count) * 8);
    lnfontDefine(int32_t(lnfontFirstUser + i), reinterpret_cast<const char*>(block + name), nameLength, count,
                 lengths.data());
    name += nameLength;
    dash += size_t(count) * 8;
  }
  return true;
}

}  // namespace

void lnfontLoadBlock() {
  void* block = nullptr;
  uint32_t length = 0;
  if (feGetBlock("linefont", &block, &length) != 0 || !block) return;
  // The block this module handed over is its own; one from an image is the
  // taker's to free.
  if (block == saved.data()) return;
  defineFrom(static_cast<const uint8_t*>(block), length);
  uFree(&block);
}

void lnfontSave() {
  numTbl* t = lnfontTable();
  const uint32_t n = t->count > lnfontFirstUser ? t->count - lnfontFirstUser : 0;
  size_t names = 0, dashes = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const lnfontEntry* e = lnfontEntryOf(int32_t(lnfontFirstUser + i));
    names += e->name ? std::strlen(e->name) : 0;
    dashes += e->pattern ? e->pattern->ndash : 0;
  }
  const size_t nameAt = kHeader + 8 * size_t(n), dashAt = align8(nameAt + names + 1), total = dashAt + 8 * dashes;
  std::vector<uint8_t> out(total, 0);
  put32(out, 0, n);
  put32(out, 4, uint32_t(nameAt));
  put32(out, 8, uint32_t(dashAt));
  put32(out, 12, uint32_t(total));
  size_t name = nameAt, dash = dashAt;
  for (uint32_t i = 0; i < n; ++i) {
    const lnfontEntry* e = lnfontEntryOf(int32_t(lnfontFirstUser + i));
    const uint32_t nameLength = e->name ? uint32_t(std::strlen(e->name)) : 0;
    const uint32_t count = e->pattern ? e->pattern->ndash : 0;
    put32(out, kHeader + 8 * i, nameLength);
    put32(out, kHeader + 8 * i + 4, count);
    if (nameLength) std::memcpy(&out[name], e->name, nameLength);
    name += nameLength;
    for (uint32_t k = 0; k < count; ++k, dash += 8) {
      const double v = e->pattern->dashes[k];
      std::memcpy(&out[dash], &v, 8);
    }
  }
  out[name] = '*';
  saved.swap(out);
  feSetBlock("linefont", saved.data(), uint32_t(saved.size()));
}
