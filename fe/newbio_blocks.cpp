// The named data blocks that modules keep in the compiled image, and the
// routines called before every write of an image.
#include "core/alloc.h"
#include "fe/newbio.h"
#include "fe/newbio_internal.h"

#include <cstring>

namespace {

enum { kGrowStep = 8 };

struct Block {
  const char* name;
  void* data;
  uint32_t length;
  bool ownsName;  // the name came from an image: the table keeps it for good
  bool ownsData;  // the data came from an image and has not been taken
};

struct SaveRoutine {
  feSaveRoutine routine;
  void* argument;
};

Block* blocks = nullptr;
uint32_t blockRoom = 0;
uint32_t blockCount = 0;

SaveRoutine* routines = nullptr;
uint32_t routineRoom = 0;
uint32_t routineCount = 0;

Block* find(const char* name) {
  for (uint32_t i = 0; i < blockCount; ++i)
    if (std::strcmp(blocks[i].name, name) == 0) return &blocks[i];
  return nullptr;
}

Block* append(const char* name) {
  if (blockCount == blockRoom) uAlloc(&blocks, &blockRoom, blockRoom + kGrowStep, sizeof(Block));
  Block* b = &blocks[blockCount++];
  b->name = name;
  b->data = nullptr;
  b->length = 0;
  b->ownsName = false;
  b->ownsData = false;
  return b;
}

// Drops the data a block holds; data read from an image that nobody took
// belongs to the table and is freed.
void dropData(Block* b) {
  if (b->ownsData && b->data) uFree(&b->data);
  b->data = nullptr;
  b->length = 0;
  b->ownsData = false;
}

}  // namespace

void feSetBlock(const char* name, const void* data, uint32_t length) {
  if (!name) return;
  Block* b = find(name);
  if (!b) b = append(name);
  dropData(b);
  b->data = const_cast<void*>(data);
  b->length = data ? length : 0;
}

int feGetBlock(const char* name, void** data, uint32_t* length) {
  Block* b = name ? find(name) : nullptr;
  if (data) *data = b ? b->data : nullptr;
  if (length) *length = b ? b->length : 0;
  if (!b) return -1;
  // The caller takes the block.
  b->data = nullptr;
  b->length = 0;
  b->ownsData = false;
  return 0;
}

void feOnSave(feSaveRoutine routine, void* argument) {
  if (!routine) return;
  if (routineCount == routineRoom) uAlloc(&routines, &routineRoom, routineRoom + kGrowStep, sizeof(SaveRoutine));
  routines[routineCount++] = SaveRoutine{routine, argument};
}

namespace newbio {

void blocksAdopt(char* name, void* data, uint32_t length) {
  Block* b = find(name);
  if (b) {
    // The entry keeps the name it has; the image's copy is not needed.
    uFree(&name);
  } else {
    b = append(name);
    b->ownsName = true;
  }
  dropData(b);
  b->data = data;
  b->length = data ? length : 0;
  b->ownsData = data != nullptr;
}

void blocksRunSaveRoutines() {
  // A routine may register further routines; those run as well.
  for (uint32_t i = 0; i < routineCount; ++i) routines[i].routine(routines[i].argument);
}

int blocksVisit(BlockVisitor fn, void* context) {
  int n = 0;
  for (uint32_t i = 0; i < blockCount; ++i) {
    const Block& b = blocks[i];
    if (!b.data) continue;
    if (fn) {
      const int rc = fn(context, b.name, b.data, b.length);
      if (rc) return rc;
    }
    ++n;
  }
  return fn ? 0 : n;
}

}  // namespace newbio
