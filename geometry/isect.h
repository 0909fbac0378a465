// Crossings of two curves as the current view shows them: both curves are
// subdivided in screen space, flat pieces are solved chord against chord
// and deep ones by a Newton solve on the screen, so that curves that only
// appear to cross (one behind the other) are found too. The snap engine,
// trim and the boundary trace use it; it reaches the curves through the
// curve messages alone.
#ifndef PLUMET_GEOMETRY_ISECT_H
#define PLUMET_GEOMETRY_ISECT_H

#include "objects/gobject.h"

#include <cstdint>

// One side of a crossing: the curve's parameter and its world point there.
struct crvIsectEntry {
  double t;
  double point[3];
};

// A caller-owned list of crossings: entriesA[i] and entriesB[i] are the
// two sides of crossing i. Both arrays grow together by 4 entries
// (uAlloc); the caller frees them (crvIsectListFree).
struct crvIsectList {
  uint32_t count;
  uint32_t capacity;
  crvIsectEntry* entriesA;
  crvIsectEntry* entriesB;
};

// crvIntersect flags of a curve.
enum : uint32_t {
  crvIsectExtend = 0x0001,  // search the interval the curve answers to 405
};

// Appends the screen crossings of A and B, in the order found and without
// removing duplicates, to the list given as its four words. A curve with
// crvIsectExtend is searched over the interval of message 405 (lines run
// -9 to 10), else over [-0.001, 1.001]. deadline: a uTicks count after
// which the search gives up, 0 for none. Nothing is searched when A is B
// or the deadline has passed. Needs a current view. Answers 0.
int crvIntersect(gobjRec* curveA, uint32_t flagsA, gobjRec* curveB, uint32_t flagsB, uint32_t* count,
                 uint32_t* capacity, crvIsectEntry** entriesA, crvIsectEntry** entriesB, uint32_t deadline);
// The same for a list record.
int crvIntersectList(gobjRec* curveA, uint32_t flagsA, gobjRec* curveB, uint32_t flagsB, crvIsectList* list,
                     uint32_t deadline);
// Appends one crossing to the list of the search in progress: both
// parameters and each curve's point there (crvPointAt mode 0). With the
// debug flags set it logs "vinter: t1: %g, t2: %g\n". Nothing outside a
// search.
void vinter(gobjRec* curveA, double tA, gobjRec* curveB, double tB);
// Frees both arrays and empties the list.
void crvIsectListFree(crvIsectList* list);

#endif
