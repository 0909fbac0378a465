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
};

Table& table();
// The chain-independent hash of a normalised point.
uint32_t hashOf(const double* point);

}  // namespace vtx

#endif
