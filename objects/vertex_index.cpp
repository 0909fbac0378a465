// The vertex table's lookup index: open addressing with linear probing over
// a power-of-two array kept at most half full, so that finding a point costs
// the same in a table of ten vertices or of millions. Vertices leave the
// chains only when the table is collected, and the index is then made again.
#include "objects/vertex_internal.h"

#include <cstring>

namespace vtx {

namespace {

// A strong mix of the three coordinates' bits: the chain hash is made for a
// few thousand chains and leaves the low bits of grid points alike, which
// would make long probe runs here.
uint64_t mixOf(const double* p) {
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 3; ++i) {
    uint64_t bits;
    std::memcpy(&bits, &p[i], sizeof bits);
    h ^= bits + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
  }
  return h;
}

// Places v in the first empty slot of its run (no check for duplicates).
void place(std::vector<Table::Slot>& slots, vertexRec* v) {
  const double p[3] = {v->x, v->y, v->z};
  const uint64_t hash = mixOf(p);
  const size_t mask = slots.size() - 1;
  size_t i = size_t(hash) & mask;
  while (slots[i].vertex) i = (i + 1) & mask;
  slots[i] = {hash, v};
}

constexpr size_t kRecent = 4096;

// An empty array for `used` vertices with room to grow: between a third and
// a half full once they are placed. The recent points are forgotten.
void reserve(Table& t, size_t used) {
  size_t size = 16;
  while (size < used * 3) size *= 2;
  t.index.assign(size, Table::Slot{0, nullptr});
  t.recent.assign(kRecent, Table::Slot{0, nullptr});
}

bool samePoint(const vertexRec* v, const double* p) { return v->x == p[0] && v->y == p[1] && v->z == p[2]; }

}  // namespace

vertexRec* indexFind(Table& t, const double* point) {
  if (t.index.empty()) return nullptr;
  const uint64_t hash = mixOf(point);
  Table::Slot& recent = t.recent[size_t(hash) & (kRecent - 1)];
  if (recent.vertex && recent.hash == hash && samePoint(recent.vertex, point)) return recent.vertex;
  const size_t mask = t.index.size() - 1;
  for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
    const Table::Slot& slot = t.index[i];
    if (!slot.vertex) return nullptr;
    if (slot.hash == hash && samePoint(slot.vertex, point)) {
      recent = slot;
      return slot.vertex;
    }
  }
}

void indexInsert(Table& t, vertexRec* v) {
  if ((t.indexUsed + 1) * 2 > t.index.size()) {
    std::vector<Table::Slot> old;
    old.swap(t.index);
    reserve(t, t.indexUsed + 1);
    for (const Table::Slot& kept : old)
      if (kept.vertex) place(t.index, kept.vertex);
  }
  place(t.index, v);
  ++t.indexUsed;
  const double p[3] = {v->x, v->y, v->z};
  const uint64_t hash = mixOf(p);
  t.recent[size_t(hash) & (kRecent - 1)] = {hash, v};
}

void indexRebuild(Table& t) {
  reserve(t, size_t(t.count));
  t.indexUsed = 0;
  for (vertexRec* head : t.chains)
    for (vertexRec* v = head; v; v = v->next) {
      place(t.index, v);
      ++t.indexUsed;
    }
}

}  // namespace vtx
