// Cleaning up a group: zero-length curves and duplicates are deleted from
// the document (aCleanUp), or overlapping curves merged into one
// (aCleanUp2).
//
// Candidates go into an open-addressed table of n + n/4 + 2 slots by a key;
// objects with equal keys then lie in one run of occupied slots, and each
// object is compared with the later objects of its run only. The class
// decides whether two candidates are the same (message 703) or merges the
// later into itself (message 410); the earlier one is then deleted.
#include "objects/grpedit.h"

#include "core/classes.h"
#include "core/debug.h"
#include "fe/opcall.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

int cleanUpMode = 0;

struct Entry {
  gobjRec* object = nullptr;
  int32_t key = 0;
};

// The key of aCleanUp: a hash of the bytes of the extents' x and y (the
// minimum corner, then the maximum), h = h * 9 + byte, reduced modulo 346711
// after every fifth byte.
int32_t extentsKey(gobjRec* object) {
  double corners[6] = {};
  objGetExtents(object, corners);
  const double xy[4] = {corners[0], corners[1], corners[3], corners[4]};
  unsigned char bytes[sizeof xy];
  std::memcpy(bytes, xy, sizeof xy);
  uint32_t h = 0;
  for (size_t i = 0; i < sizeof bytes; ++i) {
    h = h * 9 + bytes[i];
    if (i % 5 == 4) h %= 346711;
  }
  return int32_t(h);
}

struct Variant {
  const char* name;
  bool (*takesPart)(gobjRec* object);
  // The key, or false for an object that goes to the result unchanged.
  bool (*key)(gobjRec* object, int32_t* out);
  // Whether two keys make a pair worth asking the class about.
  bool (*sameKey)(int32_t a, int32_t b);
  // 0 when the later object stands for both (the earlier is then deleted).
  int (*same)(gobjRec* later, gobjRec* earlier);
  bool logs;
};

bool isCurve(gobjRec* object) { return objInClass(object, "curve") == 1; }

const Variant kCleanUp = {
    "aCleanUp",
    [](gobjRec* o) { return isCurve(o) || objInClass(o, "dimen") == 1; },
    [](gobjRec* o, int32_t* out) {
      *out = extentsKey(o);
      return true;
    },
    [](int32_t a, int32_t b) { return a == b; },
    [](gobjRec* later, gobjRec* earlier) {
      return objMeth(later->classId, msgSameAs, later, reinterpret_cast<intptr_t>(earlier), 2);
    },
    true,
};

const Variant kCleanUp2 = {
    "aCleanUp2",
    isCurve,
    [](gobjRec* o, int32_t* out) {
      int32_t key = 0;
      objMeth(o->classId, msgCleanUpKey, o, reinterpret_cast<intptr_t>(&key));
      *out = key;
      return key != 0;
    },
    // The table keeps the low byte of the key.
    [](int32_t a, int32_t b) { return uint8_t(a) == uint8_t(b); },
    [](gobjRec* later, gobjRec* earlier) {
      gobjRec* slot = nullptr;
      return objMeth(later->classId, msgCleanUpMerge, later, reinterpret_cast<intptr_t>(earlier),
                     reinterpret_cast<intptr_t>(&slot));
    },
    false,
};

glist* cleanUp(void* record, const Variant& v) {
  grpBegin();
  std::vector<gobjRec*> candidates;
  if (record && !grpIsGroup(record)) {
    dbgPanic("expected group in %s", v.name);
  } else {
    struct Collect {
      const Variant* v;
      std::vector<gobjRec*>* out;
    } collect{&v, &candidates};
    grpForEach(static_cast<glist*>(record), [](gobjRec* member, void* context) {
      auto* c = static_cast<Collect*>(context);
      if (member && !grpIsGroup(member) && c->v->takesPart(member)) c->out->push_back(member);
      else grpAdd(member);
      return 0;
    }, &collect);
  }

  const size_t n = candidates.size();
  const size_t m = n + n / 4 + 2;
  std::vector<Entry> table(m);
  int32_t compares = 0, deletions = 0;
  for (gobjRec* object : candidates) {
    if (isCurve(object) && crvIsZeroLength(object)) {
      if (objDelete(object, 1) == 0) {
        ++deletions;
        continue;
      }
    }
    int32_t key = 0;
    if (!v.key(object, &key)) {
      grpAdd(object);
      continue;
    }
    size_t slot = uint32_t(key) % m;
    while (table[slot].object) slot = (slot + 1) % m;
    table[slot] = {object, key};
  }

  // A run that wraps past the end is moved to the front, so that every run
  // lies in one piece. The table always keeps at least two empty slots.
  size_t tail = 0;
  while (tail < m && table[m - 1 - tail].object) ++tail;
  std::rotate(table.begin(), table.end() - ptrdiff_t(tail), table.end());

  for (size_t i = 0; i < m; ++i) {
    if (!table[i].object) continue;
    for (size_t j = i + 1; j < m && table[j].object; ++j) {
      ++compares;
      Entry& earlier = table[i];
      const Entry& later = table[j];
      if (later.object->classId != earlier.object->classId || !v.sameKey(later.key, earlier.key)) continue;
      if (v.same(later.object, earlier.object) != 0) continue;
      if (objDelete(earlier.object, 1) != 0) continue;
      ++deletions;
      earlier.object = nullptr;
      break;
    }
  }
  for (const Entry& e : table)
    if (e.object) grpAdd(e.object);
  glist* result = grpEnd();
  if (v.logs) dbgPrintf("cleanup: %ld compares, %ld deletions\n", compares, deletions);

  // Each class may tidy what is left while the clean-up mode is in force.
  static const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  cleanUpMode = objCleanUpActive;
  grpTransform(result, kIdentity);
  cleanUpMode = 0;
  return result;
}

}  // namespace

int objCleanUpMode() { return cleanUpMode; }

bool crvIsZeroLength(gobjRec* curve) {
  // A class that fills neither box leaves it inverted: not a point.
  double box[6] = {1, 1, 1, -1, -1, -1};
  objGetExtents(curve, box);
  double t0 = 0, t1 = 1;
  objMeth(curve->classId, msgBoxRange, curve, reinterpret_cast<intptr_t>(&t0), reinterpret_cast<intptr_t>(&t1),
          reinterpret_cast<intptr_t>(box));
  return box[0] == box[3] && box[1] == box[4] && box[2] == box[5];
}

// "Q<group>#Q".
int aCleanUpOp(feArgs* args) {
  *reinterpret_cast<glist**>(args->out[0]) = cleanUp(args->in[0].record, kCleanUp);
  return 0;
}

// "Q<group>#Q".
int aCleanUp2Op(feArgs* args) {
  *reinterpret_cast<glist**>(args->out[0]) = cleanUp(args->in[0].record, kCleanUp2);
  return 0;
}
