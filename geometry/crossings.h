// Crossings of two curves in space (message 311): the caller's crossing
// record, its accessors, crvCrossCount that asks the receiving curve, and
// the curve default that finds the crossings of any two curves by
// subdividing them in world coordinates through the curve messages alone.
//
// The caller fills curveA, curveB, tol, clipBox and flags, calls
// crvCrossCount, reads each crossing through pointAt and paramsAt, and
// calls release once when done (always safe: crvCrossCount presets it to a
// function that does nothing). Lines and arcs answer 311 themselves for
// line and arc partners, in the record's analytic form; every other pair
// goes to crvCrossDefault, which uses the search form.
#ifndef PLUMET_GEOMETRY_CROSSINGS_H
#define PLUMET_GEOMETRY_CROSSINGS_H

#include "objects/gobject.h"

#include <cstdint>

struct crvCrossRec;

typedef void (*crvCrossPointFn)(crvCrossRec* rec, int i, double* out);
typedef void (*crvCrossReleaseFn)(crvCrossRec* rec);
typedef void (*crvCrossParamsFn)(crvCrossRec* rec, int i, double* tA, double* tB);

// crvCrossRec flags.
enum : uint32_t {
  crvCrossFreeA = 0x0001,  // the receiving curve's parameters are not held to [0, 1]
  crvCrossFreeB = 0x0002,  // nor curve B's
};

// The most crossings the subdivision search keeps.
enum { crvCrossMax = 100 };

// One crossing found by the subdivision search: the midpoint of the two
// curves' points, and each curve with its parameter there.
struct crvCrossEntry {
  double point[3];
  gobjRec* curveA;
  double tA;
  gobjRec* curveB;
  double tB;
};

// The analytic answers of lines and arcs: at most two crossings.
struct crvCrossAnalytic {
  double tA[2];
  double tB[2];
  double points[2][3];
};

// The subdivision search's state: the crossings in the order found, and an
// index of them sorted by point (x, then y, then z; coordinates closer
// than the tolerance count as equal) that keeps a crossing from being
// stored twice. The index holds entry numbers, so that growing the entries
// leaves it valid.
struct crvCrossSearch {
  double tol;
  double tolSmall;      // tol / 1000: boxes this far apart cannot cross
  uint32_t capacity;
  uint32_t count;
  crvCrossEntry* entries;
  uint32_t* sorted;
};

struct crvCrossRec {
  gobjRec* curveA;             // the receiving curve (the class fills it in too)
  gobjRec* curveB;             // set by the caller: the other curve
  double tol;                  // set by the caller: the distance tolerance
  const double* clipBox;       // set by the caller, or null: only crossings
                               // within it in x and y count (6 doubles)
  crvCrossPointFn pointAt;     // filled by the class: the point of crossing i
  crvCrossReleaseFn release;   // filled by the class: frees what it allocated
  crvCrossParamsFn paramsAt;   // filled by the class: both parameters of crossing i
  uint32_t flags;              // set by the caller: crvCrossFree*
  union {
    crvCrossAnalytic analytic;
    crvCrossSearch search;
  } result;
};

// Presets release to the no-op and sends 311 to curve A's class with the
// record; answers the class's answer, the number of crossings (0 for a
// null curve A).
int crvCrossCount(crvCrossRec* rec);

// The curve default of 311: fills curveA and the accessors, then searches.
// Answers the number of crossings (at most crvCrossMax), 0 when B is A.
// pointAt(i) gives the point of curve A at crossing i's parameter (out
// untouched for i outside the crossings); paramsAt gives the two
// parameters (nothing outside); release frees the entries and the index
// and sets count and capacity to 0.
int crvCrossDefault(gobjRec* curveA, crvCrossRec* rec);

#endif
