// The sieve's cells, the entry and removal of objects, and the class
// "sieve".
#include "objects/sieve.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/sfloat.h"
#include "objects/docstate.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/sieve_internal.h"

#include <cmath>
#include <cstring>

namespace {

enum { kBadArg = -4100 };

uint16_t classId;
int changedDocsShown;   // "object has changed documents" is shown 3 times a run

// Splits the box of cell i for its children on its longest axis.
void split(sieveCell* cells, int i) {
  double box[6];
  uint16_t codes[6];
  std::memcpy(codes, cells[i].box, sizeof codes);
  sfloatUnpack(6, codes, box);
  int axis = 0;
  double longest = box[3] - box[0];
  for (int a = 1; a < 3; ++a) {
    const double extent = box[a + 3] - box[a];
    if (extent > longest) {
      longest = extent;
      axis = a;
    }
  }
  double mid = box[axis] / 2 + box[axis + 3] / 2;
  if (std::isnan(mid)) mid = 0.0;
  sieveCell& lower = cells[2 * i];
  sieveCell& upper = cells[2 * i + 1];
  std::memcpy(lower.box, cells[i].box, sizeof lower.box);
  std::memcpy(upper.box, cells[i].box, sizeof upper.box);
  lower.box[axis + 3] = int16_t(sfloatPackOne(1, mid));
  upper.box[axis] = int16_t(sfloatPackOne(-1, mid));
}

const char* className(const gobjRec* object, char* buffer, int size) {
  return objClassName(object, size, buffer);
}

// The id rules: the high byte of the id word carries the document's byte.
void giveId(sieveRec* sieve, gobjRec* object) {
  dbDocRec* doc = sieve->doc;
  if (!doc) {
    uAlert(0, "Wsieve has no document", nullptr);
    return;
  }
  const uint32_t docByte = uint32_t(doc->docId & 0xFF) << 24;
  const uint32_t stored = object->id & 0xFF000000u;
  if (stored && stored != docByte) {
    if (changedDocsShown < 3) {
      ++changedDocsShown;
      char type[16];
      uAlert(0, "T^0 object has changed documents", className(object, type, sizeof type));
    }
    object->id = 0;
  }
  const uint32_t low = object->id & 0xFFFFFFu;
  if (!low) {
    object->id = docByte | (doc->idCounter++ & 0xFFFFFFu);
    return;
  }
  object->id = docByte | low;
  if (low >= doc->idCounter) doc->idCounter = low + 1;
}

// The checks before an entry: each failure panics; those that would corrupt
// a chain or the object refuse the entry.
bool mayInsert(sieveRec* sieve, gobjRec* object) {
  if (!object) {
    dbgPanic("tried to insert NULL into sieve");
    return false;
  }
  if (!sieve) {
    dbgPanic("sieve panic: sieve==0");
    return false;
  }
  if (!sieveint::isSieve(sieve)) {
    dbgPanic("arg1 in sieveInsert is not a sieve");
    return false;
  }
  if (!object->classId) {
    dbgPanic("object has no Class");
    return false;
  }
  if (object->flags & gobjInSieve) {
    dbgPanic("0: object already in sieve [%lx]", object->id);
    return false;
  }
  if (object->sieve) {
    char type[16];
    if (object->sieve == sieve) dbgPanic("object already in sieve");
    else dbgPanic("%s: object already in sieve [%lx]", className(object, type, sizeof type), object->id);
    return false;
  }
  if (object->nextInCell) dbgPanic("sieve panic: obj->gobj_next!=0");
  return true;
}

int sieveHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgFree) {
    sieveFree(static_cast<sieveRec*>(record), 1);
    return 0;
  }
  return objMeth(objSuperClass(classId), message, record, a, b, c);
}

}  // namespace

namespace sieveint {

bool isSieve(const sieveRec* sieve) { return sieve && classId && sieve->classId == classId; }

uint16_t cellsFor(int wish) {
  int count = sieveMinCells;
  while (count < wish && count < sieveMaxCells) count *= 2;
  return uint16_t(count);
}

sieveCell* makeCells(uint16_t count, const int16_t* root) {
  auto* cells = uAlloc<sieveCell>(nullptr, nullptr, count, sizeof(sieveCell));
  std::memcpy(cells[1].box, root, sizeof cells[1].box);
  for (int i = 1; 2 * i < count; ++i) split(cells, i);
  return cells;
}

int computeBox(gobjRec* object) {
  if (object->flags & gobjChanged) objChanged(object, 0);
  double corners[6] = {1e30, 1e30, 1e30, -1e30, -1e30, -1e30};
  if (objGetExtents(object, corners) >= 0) bboxFromCorners(corners, corners + 3, object->box);
  return bboxValidate(object->box);
}

void link(sieveRec* sieve, gobjRec* object, bool retain) {
  sieveCell& cell = sieve->cells[sieveCellOf(sieve, object->box)];
  object->nextInCell = cell.head;
  cell.head = object;
  if (retain) objRetain(object);
  object->flags |= gobjInSieve;
  object->sieve = sieve;
  ++sieve->objectCount;
  int16_t* root = sieve->cells[1].box;
  if (!bboxContains(root, object->box)) {
    bboxUnion(object->box, root);
    wantResort(true);
  }
}

int forEach(sieveRec* sieve, sieveFn fn, void* context) {
  if (!sieve || !sieve->cells) return 0;
  for (int c = 1; c < sieve->cellCount; ++c) {
    for (gobjRec* object = sieve->cells[c].head; object;) {
      gobjRec* next = object->nextInCell;
      if (const int answer = fn(object, context)) return answer;
      object = next;
    }
  }
  return 0;
}

void registerClass() { classId = objClassRegister("sieve", 0, sieveHandler); }

}  // namespace sieveint

uint16_t sieveClassId() { return classId; }

sieveRec* sieveNew(int cellsWanted, const int16_t* box, dbDocRec* doc, uint16_t docId) {
  if (!classId) sieveint::registerClass();
  if (!doc) uAlert(0, "WNo current drawing", nullptr);
  auto* sieve = uAlloc<sieveRec>(nullptr, nullptr, 1, sizeof(sieveRec));
  sieve->classId = classId;
  sieve->cellCount = sieveint::cellsFor(cellsWanted);
  const int16_t origin[6] = {0, 0, 0, 0, 0, 0};
  sieve->cells = sieveint::makeCells(sieve->cellCount, box ? box : origin);
  sieve->doc = doc;
  sieve->docId = docId;
  return sieve;
}

void sieveFree(sieveRec* sieve, int release) {
  if (!sieve) return;
  if (release && sieve->cells) {
    for (int c = 1; c < sieve->cellCount; ++c) {
      gobjRec* object = sieve->cells[c].head;
      sieve->cells[c].head = nullptr;
      while (object) {
        gobjRec* next = object->nextInCell;
        object->nextInCell = nullptr;
        object->flags &= uint16_t(~gobjInSieve);
        object->sieve = nullptr;
        objRelease(&object);
        object = next;
      }
    }
  }
  if (sieve->doc && sieve->doc->sieve == sieve) sieve->doc->sieve = nullptr;
  if (sieve->cells) uFree(&sieve->cells);
  sieve->classId = 0;
  uFree(&sieve);
}

void sieveSetDoc(sieveRec* sieve, dbDocRec* doc) {
  if (!sieve) return;
  if (sieve->doc && sieve->doc != doc && sieve->doc->sieve == sieve) sieve->doc->sieve = nullptr;
  sieve->doc = doc;
}

int sieveCellOf(const sieveRec* sieve, const int16_t* box) {
  const int count = sieve->cellCount;
  if (count < 3) return 1;
  int c = 2;
  while (c < count) {
    if (bboxContains(sieve->cells[c].box, box)) c = 2 * c;
    else if (bboxContains(sieve->cells[c ^ 1].box, box)) c = 2 * (c ^ 1);
    else break;
  }
  return c / 2;
}

int sieveInsert(sieveRec* sieve, gobjRec* object) {
  // The display-list note of the object's model is made here once models
  // exist.
  if (!mayInsert(sieve, object)) return -1;
  giveId(sieve, object);
  if (sieveint::computeBox(object) == -1) {
    char type[16];
    uAlert(107, "WObject of type '^0' contains bad data and has been deleted", className(object, type, sizeof type));
    return -1;
  }
  sieveint::link(sieve, object, true);
  return 0;
}

int sieveRemove(sieveRec* sieve, gobjRec* object) {
  if (!sieve) {
    dbgPanic("sieve is NULL in sieveRemove");
    return -1;
  }
  if (!sieveint::isSieve(sieve)) {
    dbgPanic("arg1 in sieveRemove is not a sieve");
    return kBadArg;
  }
  if (!object || !(object->flags & gobjInSieve)) {
    dbgPanic("tried to remove object not in sieve");
    return -1;
  }
  if (!object->classId) {
    dbgPanic("obj has no Class in sieveRemove");
    return -1;
  }
  const int index = sieveCellOf(sieve, object->box);
  gobjRec** link = &sieve->cells[index].head;
  while (*link && *link != object) link = &(*link)->nextInCell;
  if (!*link) {
    dbgPrintf("obj=%lx, index=%d\n", object->id, int32_t(index));
    for (gobjRec* other = sieve->cells[index].head; other; other = other->nextInCell)
      dbgPrintf("%lx [%d], ", other->id, int32_t(other->refCount));
    dbgPanic("sieveRemove failed\n");
    return -1;
  }
  *link = object->nextInCell;
  object->nextInCell = nullptr;
  // The reference is lowered without freeing: the caller decides (message
  // 345 holds the object and frees it; message 320 enters it again).
  if (object->refCount != gobjPermanent && object->refCount) --object->refCount;
  object->flags &= uint16_t(~gobjInSieve);
  object->sieve = nullptr;
  if (sieve->objectCount) --sieve->objectCount;
  // The display-list note of the object's model is removed here once models
  // exist.
  return 0;
}
