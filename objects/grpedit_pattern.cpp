// aLinearDup: a rectangular pattern of copies of a group.
//
// The list holds up to four pairs (count, displacement). Each pair turns the
// group so far into count copies of it along its displacement: the first
// copy is the group's own members, copy i is every member moved by i times
// the displacement, entered into the document. The group of one pair is the
// starting group of the next, so two pairs make a rectangular array.
#include "objects/grpedit.h"

#include "core/errors.h"
#include "draw/csys.h"
#include "fe/arrays.h"
#include "fe/attnpoll.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/value.h"
#include "objects/objsend.h"

#include <cstdint>
#include <cstring>

namespace {

enum { kMaxPairs = 4 };

struct Pair {
  int32_t count;
  double step[3];
};

// The pairs of the list: 269 for a list that is not an array or an entry
// of the wrong type, 280 for an odd length or more than four pairs.
int readPairs(const feObject* list, Pair* pairs, int* n) {
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  const int32_t length = feArrayLength(list);
  if (length % 2 != 0 || length > 2 * kMaxPairs) return feErrLengthCheck;
  for (int32_t i = 0; i < length / 2; ++i) {
    Pair& p = pairs[i];
    if (feGetIntArg(feArrayElem(list, 2 * i), &p.count) != 0) return feErrTypeCheck;
    if (feGetVec3(feArrayElem(list, 2 * i + 1), p.step) != 0) return feErrTypeCheck;
    // A negative count goes the other way; 0 counts as 1.
    if (p.count < 0) {
      p.count = p.count == INT32_MIN ? INT32_MAX : -p.count;
      for (double& v : p.step) v = -v;
    }
    if (p.count == 0) p.count = 1;
    // The displacement is given in the current coordinate frame.
    const double* frame = csysCurrent();
    double world[3];
    for (int r = 0; r < 3; ++r) world[r] = frame[4 * r] * p.step[0] + frame[4 * r + 1] * p.step[1] + frame[4 * r + 2] * p.step[2];
    std::memcpy(p.step, world, sizeof world);
  }
  *n = length / 2;
  return 0;
}

// The progress display is the scripts' ("aThermUpdate", a percentage);
// without one nothing is shown.
bool progressShown() {
  feObject key, value;
  feMakeName(&key, "aThermUpdate", std::strlen("aThermUpdate"));
  if (feLoad(&key, &value) != 0) return false;
  feFree(&value);
  return true;
}

// Adds every member to the group being built (the copies of step 0), or a
// moved copy of every member that is not a scratch object, entered into the
// document; the group's reference keeps a copy the document did not take.
void addMembers(glist* group, const double* matrix) {
  grpForEach(group, [](gobjRec* member, void* context) {
    const auto* m = static_cast<const double*>(context);
    if (!m) {
      grpAdd(member);
      return 0;
    }
    if (grpIsGroup(member) || objOnScratchLayer(member)) return 0;
    gobjRec* copy = nullptr;
    if (objCopyWith(member, m, &copy) != 0 || !copy) return 0;
    grpAdd(copy);
    objInsert(copy);
    return 0;
  }, const_cast<double*>(matrix));
}

void releaseOwn(glist** group, const glist* given) {
  if (*group && *group != given) grpRelease(group);
  *group = nullptr;
}

}  // namespace

// "Q[group]O".
int aLinearDupOp(feArgs* args) {
  auto* given = static_cast<glist*>(args->in[0].record);
  Pair pairs[kMaxPairs];
  int n = 0;
  if (const int rc = readPairs(args->in[1].value, pairs, &n)) return rc;

  int32_t members = 0;
  grpCount(given, &members);
  // All copies to make, counted in members, for the progress percentage.
  double total = 0, perCopy = members;
  for (int i = 0; i < n; ++i) {
    total += perCopy * (pairs[i].count - 1);
    perCopy *= pairs[i].count;
  }
  const bool progress = progressShown();
  double made = 0;

  glist* current = given;
  for (int i = 0; i < n; ++i) {
    int32_t size = 0;
    grpCount(current, &size);
    grpBegin();
    addMembers(current, nullptr);
    bool interrupted = false;
    for (int32_t k = 1; k < pairs[i].count && !interrupted; ++k) {
      double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
      m[3] = k * pairs[i].step[0];
      m[7] = k * pairs[i].step[1];
      m[11] = k * pairs[i].step[2];
      addMembers(current, m);
      made += size;
      if (progress && total > 0) feExecf("%ld aThermUpdate", int32_t(made * 100 / total));
      interrupted = feAttnPoll() != 0;
    }
    glist* next = grpEnd();
    releaseOwn(&current, given);
    current = next;
    if (interrupted) {
      releaseOwn(&current, given);
      return feErrInterrupt;
    }
  }
  releaseOwn(&current, given);
  return 0;
}
