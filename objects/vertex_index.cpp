// The vertex table's lookup index: open addressing with linear probing over
// a power-of-two array, kept at most half full (removed slots counted), so
// that finding a point costs the same in a table of ten vertices or of
// millions.
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

bool holds(const vertexRec* v, const double* p) { return v->x == p[0] && v->y == p[1] && v->z == p[2]; }

// Places v in the first empty or removed slot of its run (no check for
// duplicates); true when that slot was a removed one.
bool place(std::vector<vertexRec*>& slots, vertexRec* v) {
  const double p[3] = {v->x, v->y, v->z};
  const size_t mask = slots.size() - 1;
  size_t i = size_t(mixOf(p)) & mask;
  while (slots[i] && slots[i] != indexRemoved()) i = (i + 1) & mask;
  const bool reused = slots[i] != nullptr;
  slots[i] = v;
  return reused;
}

// The array again for `used` vertices with room to grow: between a third
// and a half full after the next few insertions.
void resize(Table& t, size_t used) {
  size_t size = 16;
  while (size < used * 3) size *= 2;
  std::vector<vertexRec*> old;
  old.swap(t.index);
  t.index.assign(size, nullptr);
  for (vertexRec* v : old)
    if (v && v != indexRemoved()) place(t.index, v);
  t.indexRemovedCount = 0;
}

}  // namespace

vertexRec* indexRemoved() {
  static vertexRec marker{};
  return &marker;
}

vertexRec* indexFind(const Table& t, const double* point) {
  if (t.index.empty()) return nullptr;
  const size_t mask = t.index.size() - 1;
  for (size_t i = size_t(mixOf(point)) & mask;; i = (i + 1) & mask) {
    vertexRec* v = t.index[i];
    if (!v) return nullptr;
    if (v != indexRemoved() && holds(v, point)) return v;
  }
}

void indexInsert(Table& t, vertexRec* v) {
  if ((t.indexUsed + t.indexRemovedCount + 1) * 2 > t.index.size()) resize(t, t.indexUsed + 1);
  if (place(t.index, v)) --t.indexRemovedCount;
  ++t.indexUsed;
}

void indexRemove(Table& t, vertexRec* v) {
  if (t.index.empty()) return;
  const double p[3] = {v->x, v->y, v->z};
  const size_t mask = t.index.size() - 1;
  for (size_t i = size_t(mixOf(p)) & mask; t.index[i]; i = (i + 1) & mask) {
    if (t.index[i] == v) {
      t.index[i] = indexRemoved();
      --t.indexUsed;
      ++t.indexRemovedCount;
      return;
    }
  }
}

void indexRebuild(Table& t) {
  t.index.clear();
  t.indexUsed = 0;
  t.indexRemovedCount = 0;
  size_t count = 0;
  for (vertexRec* head : t.chains)
    for (vertexRec* v = head; v; v = v->next) ++count;
  resize(t, count);
  for (vertexRec* head : t.chains)
    for (vertexRec* v = head; v; v = v->next) place(t.index, v);
  t.indexUsed = count;
}

}  // namespace vtx
