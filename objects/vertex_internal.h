// The vertex table shared by the files of the vertex module.
#ifndef PLUMET_OBJECTS_VERTEX_INTERNAL_H
#define PLUMET_OBJECTS_VERTEX_INTERNAL_H

#include "objects/vertex.h"

#include <cstdint>
#include <vector>

namespace vtx {

struct Table {
  std::vector<vertexRec*> chains;   // heads; a power of two, 8 .. 8192
  int32_t count = 0;                // vertices in the chains (the origin is not)
  int32_t dead = 0;                 // of those, the ones with count 0
  uint32_t collections = 0;         // full walks that reclaimed the dead (for tests)
  vertexRec* freeList = nullptr;
  vertexRec* origin = nullptr;      // held by the module
  std::vector<vertexRec*> blocks;   // the records, vertexRefill to a block
  // The lookup index: every vertex of the chains (released ones too, until
  // they are reclaimed) by its point, in open addressing; empty slots are
  // null. The chains stop doubling at 8192, so a lookup that walked its
  // chain would cost more the larger the drawing; the index keeps it
  // constant. Each slot keeps its point's hash beside the vertex, so that
  // a probe past other points does not read their records: in a large
  // drawing each such read is a miss of the processor's caches.
  struct Slot {
    uint64_t hash;
    vertexRec* vertex;
  };
  std::vector<Slot> index;
  size_t indexUsed = 0;
  // The points last found or added, by the low bits of their hash: the
  // objects of a drawing file come in the order of the spatial index, so
  // the points an object shares were mostly met a little before, and are
  // answered here without a look into the index. Emptied with the index.
  std::vector<Slot> recent;
};

// The vertex of a normalised point in the index, or null.
vertexRec* indexFind(Table& t, const double* point);
// Adds a vertex just put into the chains.
void indexInsert(Table& t, vertexRec* v);
// Makes the index again from the chains (after vertices left them).
void indexRebuild(Table& t);

Table& table();
// The chain-independent hash of a normalised point.
uint32_t hashOf(const double* point);

}  // namespace vtx

#endif
