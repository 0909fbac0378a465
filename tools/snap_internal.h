// Shared by the snap engine's files: the state of one snap.
#ifndef PLUMET_TOOLS_SNAP_INTERNAL_H
#define PLUMET_TOOLS_SNAP_INTERNAL_H

#include "tools/snapcand.h"
#include "tools/snapcodes.h"

#include <cstdint>

struct trackContext;

namespace snapint {

struct Run {
  trackContext* context;
  snapCandSet set;
  snapBest best;
  double acceptRadius;      // pixels
  double accept2;           // its square
  double scale;             // the view scale at the start
  uint32_t mask;
  int constructionLayer;    // the number of "construction", -1 when none
  int iTested;              // candidates whose pairs i has tested
  int apparentTested;       // the same for B and f
  // The result fields of the best, moved to the context at the end.
  int objectCount;
  int objectIndex[2];
  double params[2];
  // The time check.
  uint32_t started;
  uint32_t interval;
  bool busyShown;
  bool abandoned;
};

// The collecting of candidates within the pick box (sieve callback).
int collect(gobjRec* object, void* set);
// Adds the shown feedback's construction items again.
void collectFeedback(snapCandSet* set);

// The proposals of one letter. Answers false when the walk must end at
// once (n). Abandoning sets run->abandoned.
bool propose(Run* run, const snapToken& token);

// Tests a proposed world point and, when accepted, records it with the
// code; with an object index >= 0 the context's object becomes that
// candidate with the parameter (object count 1), else none. Answers
// whether it was recorded.
bool offer(Run* run, const double point[3], int code, int index, double param);

// The 60-tick check: answers false when the snap must be abandoned.
bool timeCheck(Run* run);

// True for a candidate on ".temp"; on "construction".
bool onTemp(const gobjRec* object);
bool onConstruction(const Run* run, const gobjRec* object);

}  // namespace snapint

#endif
