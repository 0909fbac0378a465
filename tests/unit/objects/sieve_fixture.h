// Shared by the sieve tests: the graphic-object fixture with a current
// document that has a sieve, and "tbox", a drawing class whose extents
// (message 306) are two corners kept in its record.
#ifndef PLUMET_TESTS_OBJECTS_SIEVE_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_SIEVE_FIXTURE_H

#include "core/bbox.h"
#include "gobject_fixture.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/sieve.h"

#include <algorithm>
#include <set>
#include <vector>

namespace sievefx {

struct tboxRec {
  gobjRec head;
  double lo[3], hi[3];
};

struct Counts {
  uint16_t tbox = 0;
  int freed = 0;
};
inline Counts& counts() {
  static Counts c;
  return c;
}

inline int tboxHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* rec = static_cast<tboxRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(counts().tbox, sizeof(tboxRec), a);
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      std::copy(rec->lo, rec->lo + 3, corners);
      std::copy(rec->hi, rec->hi + 3, corners + 3);
      return 0;
    }
    case msgFree: ++counts().freed; break;
    default: break;
  }
  return objMeth(objSuperClass(counts().tbox), message, object, a, b, c);
}

// The objects a walk visits.
inline int collect(gobjRec* object, void* context) {
  static_cast<std::vector<gobjRec*>*>(context)->push_back(object);
  return 0;
}

class SieveTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    sieveInit();
    Counts& c = counts();
    if (!c.tbox) c.tbox = objClassRegister("tbox", gobjClassId(), tboxHandler);
    c.freed = 0;
    doc = dbDocRec{};
    doc.docId = 3;
    doc.idCounter = 1;
    dbSetCurrentDoc(&doc);
  }
  void TearDown() override {
    if (doc.sieve) sieveFree(doc.sieve, 1);
    for (gobjRec* object : held) objRelease(&object);
    held.clear();
    GobjTest::TearDown();
  }

  // A sieve of the wished cells over the box given by two corners, made the
  // document's.
  sieveRec* makeSieve(int cells, const double* lo, const double* hi) {
    int16_t box[6];
    bboxFromCorners(lo, hi, box);
    doc.sieve = sieveNew(cells, box, &doc, doc.docId);
    return doc.sieve;
  }
  sieveRec* makeSieve(int cells, double size) {
    const double lo[3] = {-size, -size, -size}, hi[3] = {size, size, size};
    return makeSieve(cells, lo, hi);
  }

  // A new tbox between two corners, not held by the test.
  static tboxRec* box(double x0, double y0, double z0, double x1, double y1, double z1) {
    auto* b = reinterpret_cast<tboxRec*>(objNew(counts().tbox));
    const double lo[3] = {x0, y0, z0}, hi[3] = {x1, y1, z1};
    std::copy(lo, lo + 3, b->lo);
    std::copy(hi, hi + 3, b->hi);
    return b;
  }
  // The same, with a reference held by the test (released after it).
  tboxRec* heldBox(double x0, double y0, double z0, double x1, double y1, double z1) {
    tboxRec* b = box(x0, y0, z0, x1, y1, z1);
    objRetain(&b->head);
    held.push_back(&b->head);
    return b;
  }

  // The cell whose chain holds the object, or 0.
  static int cellHolding(const sieveRec* sieve, const gobjRec* object) {
    for (int c = 1; c < sieve->cellCount; ++c)
      for (const gobjRec* o = sieve->cells[c].head; o; o = o->nextInCell)
        if (o == object) return c;
    return 0;
  }

  static std::vector<gobjRec*> all(sieveRec* sieve) {
    std::vector<gobjRec*> found;
    sieveSearchBox(sieve, collect, &found, -1, nullptr, nullptr);
    return found;
  }

  dbDocRec doc{};
  std::vector<gobjRec*> held;
};

}  // namespace sievefx

#endif
