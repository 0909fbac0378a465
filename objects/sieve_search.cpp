// Walks of the sieve: box queries, plane queries, every object, the extent
// of the objects and the source "all".
#include "objects/sieve.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/sfloat.h"
#include "objects/docstate.h"
#include "objects/layer.h"
#include "objects/sieve_internal.h"

#include <cstring>

namespace {

sieveViewMapFn viewMap;

// What a walk tests an object or a cell against.
struct Query {
  int mode;                       // box walk: 1 inside, others overlap
  const int16_t* box;             // box walk, or null for a plane walk
  const double (*planes)[4];      // plane walk
  uint16_t mask, value;
  sieveFn fn;
  void* context;
};

// False when the box lies wholly outside one plane: for each plane the
// corner farthest along its inner side is tested.
bool withinPlanes(const double (*planes)[4], const int16_t* box) {
  uint16_t codes[6];
  double b[6];
  std::memcpy(codes, box, sizeof codes);
  sfloatUnpack(6, codes, b);
  for (int p = 0; p < 4; ++p) {
    const double* plane = planes[p];
    double side = plane[3];
    for (int axis = 0; axis < 3; ++axis) side += plane[axis] * (plane[axis] >= 0 ? b[axis + 3] : b[axis]);
    if (side < 0) return false;
  }
  return true;
}

bool cellMeets(const Query& q, const int16_t* cellBox) {
  return q.box ? bboxOverlap(q.box, cellBox) != 0 : withinPlanes(q.planes, cellBox);
}

bool objectPasses(const Query& q, const gobjRec* object) {
  if (q.mask && (object->flags & q.mask) != q.value) return false;
  if (!q.box) return withinPlanes(q.planes, object->box);
  return q.mode == 1 ? bboxContains(q.box, object->box) != 0 : bboxOverlap(q.box, object->box) != 0;
}

int visitCell(sieveRec* sieve, const Query& q, int c) {
  for (gobjRec* object = sieve->cells[c].head; object;) {
    gobjRec* next = object->nextInCell;
    if (objectPasses(q, object))
      if (const int answer = q.fn(object, q.context)) return answer;
    object = next;
  }
  return 0;
}

// Visits cell c, then its children that meet the query: the lower child by
// recursion, the upper one by looping.
int walk(sieveRec* sieve, const Query& q, int c) {
  for (;;) {
    if (const int answer = visitCell(sieve, q, c)) return answer;
    const int child = 2 * c;
    if (child >= sieve->cellCount) return 0;
    if (cellMeets(q, sieve->cells[child].box))
      if (const int answer = walk(sieve, q, child)) return answer;
    c = child + 1;
    if (!cellMeets(q, sieve->cells[c].box)) return 0;
  }
}

// Every object, with the flag filter.
int walkAll(sieveRec* sieve, const Query& q) {
  if (!q.mask) return sieveint::forEach(sieve, q.fn, q.context);
  for (int c = 1; c < sieve->cellCount; ++c) {
    for (gobjRec* object = sieve->cells[c].head; object;) {
      gobjRec* next = object->nextInCell;
      if ((object->flags & q.mask) == q.value)
        if (const int answer = q.fn(object, q.context)) return answer;
      object = next;
    }
  }
  return 0;
}

struct ForAll {
  sieveFn fn;
  void* context;
  sieveFilterFn filter;
  void* filterContext;
};

int forAllStep(gobjRec* object, void* context) {
  auto* f = static_cast<ForAll*>(context);
  if (f->filter && !f->filter(object, f->filterContext)) return 0;
  return f->fn(object, f->context);
}

struct Extent {
  int16_t box[6];
  int mode;
  int construction;   // the layer number of "construction", or -1
  uint8_t model;
  bool any = false;
};

int extentStep(gobjRec* object, void* context) {
  auto* e = static_cast<Extent*>(context);
  if (object->flags & gobjHidden) return 0;
  if (e->construction >= 0 && object->layer == e->construction) return 0;
  if (e->mode == 1 && object->owner != 0 && object->owner != e->model) return 0;
  bboxUnion(object->box, e->box);
  e->any = true;
  return 0;
}

int clearMark(gobjRec* object, void*) {
  object->flags &= uint16_t(~gobjSieveMark);
  return 0;
}

int checkObject(gobjRec* object, void* context) {
  const int answer = objValidate(object);
  if (answer) dbgPanic("sieveChk(%d)=%d", *static_cast<int32_t*>(context), int32_t(answer));
  return 0;
}

}  // namespace

int sieveSearchCompact(sieveRec* sieve, sieveFn fn, void* context, int mode, const int16_t* box, uint16_t mask,
                       uint16_t value) {
  if (!sieveint::isSieve(sieve) || !fn) return 0;
  const Query q{mode, box, nullptr, mask, value, fn, context};
  if (mode < 0 || !box) return walkAll(sieve, q);
  return walk(sieve, q, 1);
}

int sieveSearchBox(sieveRec* sieve, sieveFn fn, void* context, int mode, const double* a, const double* b) {
  int16_t box[6];
  if (mode >= 0) bboxFromCorners(a, b, box);
  return sieveSearchCompact(sieve, fn, context, mode, mode >= 0 ? box : nullptr, 0, 0);
}

int sieveSearchPlanes(sieveRec* sieve, sieveFn fn, void* context, const double (*planes)[4], uint16_t mask,
                      uint16_t value) {
  if (!sieveint::isSieve(sieve) || !fn || !planes) return 0;
  const Query q{0, nullptr, planes, mask, value, fn, context};
  if (!cellMeets(q, sieve->cells[1].box)) {
    // Objects of the root lie within its box, which has grown to take them.
    return 0;
  }
  return walk(sieve, q, 1);
}

void sieveSetViewMap(sieveViewMapFn map) { viewMap = map; }

int sieveSearch(sieveRec* sieve, sieveFn fn, void* context, int mode, const int32_t* rect, uint16_t mask,
                uint16_t value) {
  if (mode < 0) return sieveSearchCompact(sieve, fn, context, -1, nullptr, mask, value);
  sieveViewQuery view{};
  if (!viewMap || !rect || viewMap(rect, &view) != 0) return -1;
  if (view.axis < 0 || view.axis > 2) return sieveSearchPlanes(sieve, fn, context, view.planes, mask, value);
  double a[3], b[3];
  std::memcpy(a, view.corners[0], sizeof a);
  std::memcpy(b, view.corners[1], sizeof b);
  a[view.axis] = -1e30;
  b[view.axis] = 1e30;
  int16_t box[6];
  bboxFromCorners(a, b, box);
  return sieveSearchCompact(sieve, fn, context, mode, box, mask, value);
}

int sieveForAll(sieveFn fn, void* context, sieveFilterFn filter, void* filterContext) {
  if (!fn) return 0;
  ForAll f{fn, context, filter, filterContext};
  return sieveint::forEach(sieveCurrent(), forAllStep, &f);
}

int sieveForEach(sieveRec* sieve, sieveFn fn, void* context) {
  if (!fn || !sieveint::isSieve(sieve)) return 0;
  return sieveint::forEach(sieve, fn, context);
}

int sieveExtent(sieveRec* sieve, int16_t* out, int mode) {
  if (!sieveint::isSieve(sieve)) return -1;
  const int16_t* root = sieve->cells[1].box;
  if (mode == 2) {
    std::memcpy(out, root, 6 * sizeof(int16_t));
    return 0;
  }
  Extent e;
  bboxEmpty(e.box);
  e.mode = mode;
  const int construction = layerNumber("construction", 12);
  e.construction = construction >= 0 ? construction : -1;
  const dbDocRec* doc = sieve->doc ? sieve->doc : dbCurrentDoc();
  e.model = doc ? doc->currentModel : 0;
  sieveint::forEach(sieve, extentStep, &e);
  std::memcpy(out, e.any ? e.box : root, 6 * sizeof(int16_t));
  return e.any ? 0 : -1;
}

sieveRec* sieveCurrent() {
  const dbDocRec* doc = dbCurrentDoc();
  return doc ? doc->sieve : nullptr;
}

void sieveSetCurrent(sieveRec* sieve) {
  if (dbDocRec* doc = dbCurrentDoc()) doc->sieve = sieve;
}

void sieveClearMarks(sieveRec* sieve) { sieveint::forEach(sieve, clearMark, nullptr); }

void sieveChk(int n) {
  int32_t number = n;
  sieveint::forEach(sieveCurrent(), checkObject, &number);
}

void objDocDirty(gobjRec*) {
  // The document's modified mark belongs to the document record, which comes
  // with documents; until then there is nothing to mark.
}
