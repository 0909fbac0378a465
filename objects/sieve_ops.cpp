// Rebuilding the sieve, the automatic resort, the module's set-up with the
// source "all", and the operators SieveResort and aSieveStat.
#include "objects/sieve.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/debug.h"
#include "core/sfloat.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "objects/sieve_internal.h"

#include <cstring>

namespace {

bool resortWanted;

int allSource(objMemberFn callback, void* context, intptr_t) {
  return sieveForAll(callback, context, nullptr, nullptr);
}

// "!": rebuilds the current sieve with fresh boxes. Outlining the boxes of
// the cells that hold objects comes with the drawing layer.
int opSieveResort(feArgs*) {
  sieveRec* sieve = sieveCurrent();
  if (sieve) sieveRebuild(sieve, int(sieve->objectCount / 32), 1);
  return 0;
}

// "!": each cell's object count and box, then the totals.
int opSieveStat(feArgs*) {
  sieveRec* sieve = sieveCurrent();
  if (!sieve) return 0;
  for (int c = 1; c < sieve->cellCount; ++c) {
    int32_t n = 0;
    for (gobjRec* object = sieve->cells[c].head; object; object = object->nextInCell) ++n;
    uint16_t codes[6];
    double box[6];
    std::memcpy(codes, sieve->cells[c].box, sizeof codes);
    sfloatUnpack(6, codes, box);
    dbgPrintf("\t%-3d:%-5d [%6R]\n", int32_t(c), n, box);
  }
  dbgPrintf("total: %-3d:%-5d\n", int32_t(sieve->cellCount), sieve->objectCount);
  return 0;
}

// SieveDraw (drawing mode 0: each cell's objects' boxes outlined and the
// objects of the last sieve rebuilt drawn) takes its place after
// SieveResort once the drawing layer exists.
const feOpSpec kOps[] = {
    {"SieveResort", opSieveResort, "!"},
    {"aSieveStat", opSieveStat, "!"},
};

}  // namespace

namespace sieveint {

void wantResort(bool on) { resortWanted = on; }

}  // namespace sieveint

bool sieveResortWanted() { return resortWanted; }

void sieveInit() {
  sieveint::registerClass();
  grpDefine("all", allSource, 0);
  feOpSpecRegisterAll(kOps);
}

void sieveRebuild(sieveRec* sieve, int cellsWanted, int recompute) {
  if (!sieveint::isSieve(sieve)) return;
  int16_t root[6];
  sieveExtent(sieve, root, 0);
  sieveCell* old = sieve->cells;
  const int oldCount = sieve->cellCount;
  sieve->cellCount = sieveint::cellsFor(cellsWanted);
  sieve->cells = sieveint::makeCells(sieve->cellCount, root);
  sieve->objectCount = 0;
  for (int c = 1; c < oldCount; ++c) {
    for (gobjRec* object = old[c].head; object;) {
      gobjRec* next = object->nextInCell;
      object->nextInCell = nullptr;
      object->flags &= uint16_t(~gobjInSieve);
      object->sieve = nullptr;
      if (recompute && sieveint::computeBox(object) == -1) {
        // A box that can no longer be entered: the object leaves the sieve
        // with the sieve's reference.
        objRelease(&object);
      } else {
        sieveint::link(sieve, object, false);  // the sieve's reference stays
      }
      object = next;
    }
  }
  uFree(&old);
  // SieveDraw will draw the objects of the last sieve rebuilt: it is noted
  // here once drawing exists.
  resortWanted = false;
}

int sieveResortCheck(sieveRec* sieve) {
  if (!sieveint::isSieve(sieve)) return 0;
  if (uint32_t(sieve->cellCount) * 64 >= sieve->objectCount || sieve->cellCount >= sieveMaxCells) return 0;
  dbgPrintf("Resorting Sieve.\n");
  sieveRebuild(sieve, int(sieve->objectCount / 32), 0);
  return 1;
}
