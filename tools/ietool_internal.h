// The tool input state, shared by the tool loop, the point buffer's
// functions and their script operators.
#ifndef PLUMET_TOOLS_IETOOL_INTERNAL_H
#define PLUMET_TOOLS_IETOOL_INTERNAL_H

#include "fe/value.h"
#include "tools/ietool.h"

#include <cstdint>
#include <vector>

namespace ietool {

struct Point3 {
  double v[3];
};

struct toolState {
  ieToolPoint buffer[ieBufferSize];
  uint32_t count;
  ieFeedbackFn feedback;
  uintptr_t contextWord;
  uint16_t mode;
  uint16_t saved;
  ieToolPoint savedBuffer[ieBufferSize];
  uint32_t savedCount;
  ieFeedbackFn savedFeedback;
  uintptr_t savedContextWord;
  uint32_t lastMods;
  uint16_t defaultClass;
  uintptr_t defaultWord;
  std::vector<Point3> marks;
  std::vector<Point3> snapList;
  feObject xtrackProc;  // one owned reference while it holds a value
  int tracking;         // loops running (a loop's callbacks may start another)
};

toolState& state();

// Releases the entry's object and zeroes the entry.
void clearEntry(ieToolPoint* entry);
// Runs "mark <count> aOnState cleartomark" and answers the run's code.
int reportCount(uint32_t count);

}  // namespace ietool

#endif
