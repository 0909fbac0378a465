// The vertex table: interning of points, the free list, table growth, and
// the slot operations.
#include "objects/vertex.h"

#include "core/alloc.h"
#include "core/matrix.h"
#include "objects/vertex_internal.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace vtx {

Table& table() {
  static Table t;
  return t;
}

uint32_t hashOf(const double* p) {
  uint32_t words[6];
  for (int i = 0; i < 3; ++i) {
    uint64_t bits;
    std::memcpy(&bits, &p[i], sizeof bits);
    words[2 * i] = uint32_t(bits);
    words[2 * i + 1] = uint32_t(bits >> 32);
  }
  uint32_t h = 0;
  for (uint32_t w : words) h = h + (h >> 1) + w;
  h = h + (h >> 9);
  return (h + (h >> 15)) & 0x7FFFFFFFu;
}

}  // namespace vtx

namespace {

using vtx::Table;
using vtx::table;

double normal(double v) { return (v == 0.0 || std::isnan(v)) ? 0.0 : v; }

bool samePoint(const vertexRec* v, const double* p) { return v->x == p[0] && v->y == p[1] && v->z == p[2]; }

uint32_t chainOf(const Table& t, const double* p) { return vtx::hashOf(p) & uint32_t(t.chains.size() - 1); }

void pushFree(Table& t, vertexRec* v) {
  v->next = t.freeList;
  t.freeList = v;
}

// Moves every unreferenced vertex of the table to the free list.
void collect(Table& t) {
  ++t.collections;
  for (vertexRec*& head : t.chains) {
    for (vertexRec** link = &head; *link;) {
      vertexRec* v = *link;
      if (v->refCount == 0) {
        *link = v->next;
        pushFree(t, v);
        --t.count;
      } else {
        link = &v->next;
      }
    }
  }
  t.dead = 0;
  vtx::indexRebuild(t);
}

// A refill reclaims the released vertices only when they are a large share
// of the table: the walk then costs no more than the records it frees, so
// making and dropping vertices stays linear however large the table grows.
bool worthCollecting(const Table& t) { return t.dead > 0 && t.dead >= t.count / 4; }

vertexRec* takeFree(Table& t) {
  if (!t.freeList && worthCollecting(t)) collect(t);
  if (!t.freeList) {
    auto* block = uAlloc<vertexRec>(nullptr, nullptr, vertexRefill, sizeof(vertexRec));
    t.blocks.push_back(block);
    for (int i = vertexRefill - 1; i >= 0; --i) pushFree(t, &block[i]);
  }
  vertexRec* v = t.freeList;
  t.freeList = v->next;
  std::memset(v, 0, sizeof *v);
  return v;
}

// Doubles the chain array, placing every vertex again by its hash.
void grow(Table& t) {
  collect(t);
  std::vector<vertexRec*> old;
  old.swap(t.chains);
  t.chains.assign(old.size() * 2, nullptr);
  for (vertexRec* head : old) {
    while (head) {
      vertexRec* v = head;
      head = v->next;
      const double p[3] = {v->x, v->y, v->z};
      vertexRec*& chain = t.chains[chainOf(t, p)];
      v->next = chain;
      chain = v;
    }
  }
}

void raise(vertexRec* v) {
  if (!v || v->refCount == 255) return;
  if (v->refCount == 0) --table().dead;
  ++v->refCount;
}

// Lowers the count; at 0 the flags are cleared and the follow link released
// the same way, down the chain of follow links.
void lower(vertexRec* v) {
  while (v && v->refCount != 255 && v->refCount != 0) {
    if (--v->refCount != 0) return;
    ++table().dead;
    v->flags = 0;
    vertexRec* follow = v->follow;
    v->follow = nullptr;
    v = follow;
  }
}

}  // namespace

vertexRec* vertexFind(const double* point) {
  if (!point) return nullptr;
  Table& t = table();
  if (t.chains.empty()) vertexInit();
  const double p[3] = {normal(point[0]), normal(point[1]), normal(point[2])};
  const uint32_t chain = chainOf(t, p);
  if (chain == 0 && t.origin && samePoint(t.origin, p)) {
    raise(t.origin);
    return t.origin;
  }
  if (vertexRec* found = vtx::indexFind(t, p)) {
    raise(found);
    return found;
  }
  vertexRec* v = takeFree(t);
  v->x = p[0];
  v->y = p[1];
  v->z = p[2];
  v->refCount = 1;  // the caller's reference, which also holds it through a growth
  vertexRec*& head = t.chains[chainOf(t, p)];
  v->next = head;
  head = v;
  vtx::indexInsert(t, v);
  ++t.count;
  if (size_t(t.count) > 8 * t.chains.size() && t.chains.size() < vertexMaxChains) grow(t);
  return v;
}

void vertexAssign(vertexRec* vertex, vertexRec** slot) {
  if (!slot || *slot == vertex) return;
  raise(vertex);
  vertexRec* old = *slot;
  *slot = vertex;
  lower(old);
}

void vertexSet(const double* point, vertexRec** slot) {
  if (!slot) return;
  if (point && *slot) {
    // The slot's own point: nothing moves, so no count goes near 255.
    const double p[3] = {normal(point[0]), normal(point[1]), normal(point[2])};
    if (samePoint(*slot, p)) return;
  }
  // vertexFind's reference becomes the slot's.
  vertexRec* v = vertexFind(point);
  vertexRec* old = *slot;
  *slot = v;
  lower(old);
}

void vertexClear(vertexRec** slot) { vertexAssign(nullptr, slot); }

void vertexSetOrigin(vertexRec** slot) {
  if (!slot) return;
  if (!*slot) {
    vertexAssign(vertexOrigin(), slot);
    return;
  }
  const double zero[3] = {0.0, 0.0, 0.0};
  vertexSet(zero, slot);
}

void vertexSetXformPt(const double* point, const double* matrix, vertexRec** slot) {
  double out[3];
  aPtTransform(3, point, matrix, out);
  vertexSet(out, slot);
}

void vertexSetXform(const double* point, const double* matrix, vertexRec** slot) {
  const double p[4] = {point[0], point[1], point[2], 1.0};
  double out[4];
  aPtTransform(0x0404, p, matrix, out);
  if (out[3] != 0.0 && out[3] != 1.0)
    for (int i = 0; i < 3; ++i) out[i] /= out[3];
  vertexSet(out, slot);
}

vertexRec* vertexOrigin() {
  if (!table().origin) vertexInit();
  return table().origin;
}

void vertexClearLinks() {
  for (vertexRec* head : table().chains)
    for (vertexRec* v = head; v; v = v->next) vertexClear(&v->follow);
  if (table().origin) vertexClear(&table().origin->follow);
}

int vertexMark(vertexRec* vertex, int on) {
  if (!vertex) return 0;
  vertex->flags = uint8_t(on ? vertex->flags | 1 : vertex->flags & ~1);
  return vertex->flags;
}

int vertexFollow(vertexRec** slot) {
  if (!slot || !*slot || !(*slot)->follow) return 0;
  vertexAssign((*slot)->follow, slot);
  return 1;
}

uint32_t vertexHash(const vertexRec* vertex) { return vertex ? vtx::hashOf(&vertex->x) : 0; }

uint32_t vertexChainCount() { return uint32_t(table().chains.size()); }
uint32_t vertexCount() { return uint32_t(table().count); }

uint32_t vertexReferencedCount() {
  uint32_t n = 0;
  for (vertexRec* head : table().chains)
    for (vertexRec* v = head; v; v = v->next) n += v->refCount != 0;
  return n;
}
