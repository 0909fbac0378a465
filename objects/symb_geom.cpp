// The geometry of symbols: the base point of a set of members, the
// placement shift, the cached envelope and the enumeration of members.
#include "objects/symb.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "objects/instanc.h"
#include "objects/objsend.h"

#include <cstring>

namespace {

struct BaseSearch {
  bool fixed;
  bool any = false;
  bool atOrigin = false;
  double least[3] = {0, 0, 0};
};

bool lessXYZ(const double* a, const double* b) {
  if (a[0] != b[0]) return a[0] < b[0];
  if (a[1] != b[1]) return a[1] < b[1];
  return a[2] < b[2];
}

int baseVertex(void* vertex, void* context, int) {
  // Vertices begin with their three coordinates, shared or not.
  const auto* p = static_cast<const double*>(vertex);
  auto* search = static_cast<BaseSearch*>(context);
  if (!p) return 0;
  const bool origin = search->fixed ? (p[0] == 0 && p[1] == 0 && p[2] == 0)
                                    : (p[0] * p[0] + p[1] * p[1] + p[2] * p[2] < 1e-30);
  if (origin) search->atOrigin = true;
  if (!search->any || lessXYZ(p, search->least)) std::memcpy(search->least, p, sizeof search->least);
  search->any = true;
  return 0;
}

}  // namespace

void symbBasePoint(const glist* members, int fixed, double out[3]) {
  BaseSearch search;
  search.fixed = fixed != 0;
  grpForEach(members, [](gobjRec* member, void* context) {
    if (!grpIsGroup(member) && objInClass(member, "curve") == 1) objEnumPoints(member, baseVertex, context, 0);
    return 0;
  }, &search);
  if (search.atOrigin || !search.any) {
    out[0] = out[1] = out[2] = 0;
    return;
  }
  std::memcpy(out, search.least, sizeof search.least);
}

int symbTst(const void* record) {
  if (symbIs(record)) return 1;
  dbgPanic("symbTst called with bogus pointer");
  return 0;
}

void symbPlacementXform(const symbRec* symbol, double out[16]) {
  static const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  std::memcpy(out, identity, sizeof identity);
  const symbRec* master = symbol ? symbol->master : nullptr;
  if (!master || (master->options & symbFixedOrigin)) return;
  out[3] = -master->base[0];
  out[7] = -master->base[1];
  out[11] = -master->base[2];
}

bool symbHasWalls(const symbRec* symbol) { return symbol && (symbol->flags & symbHasWallsFlag); }

void symbEnvelope(symbRec* symbol, double out[6]) {
  std::memset(out, 0, 6 * sizeof(double));
  if (!symbIs(symbol)) {
    dbgPanic("symbEnvelope called with bogus pointer");
    return;
  }
  if (symbol->generation != symbGeneration()) {
    struct Box {
      bool any = false;
      double corners[6] = {0, 0, 0, 0, 0, 0};
    } box;
    grpForEach(symbol->members, [](gobjRec* member, void* context) {
      auto* b = static_cast<Box*>(context);
      double c[6];
      if (grpIsGroup(member) || objGetExtents(member, c) != 0) return 0;
      // A member that is also in a document keeps the box its sieve cell
      // was chosen by (the sieve moves it when it changes).
      if (!(member->flags & gobjInSieve)) bboxFromCorners(c, c + 3, member->box);
      for (int i = 0; i < 3; ++i) {
        if (!b->any || c[i] < b->corners[i]) b->corners[i] = c[i];
        if (!b->any || c[i + 3] > b->corners[i + 3]) b->corners[i + 3] = c[i + 3];
      }
      b->any = true;
      return 0;
    }, &box);
    std::memcpy(symbol->envelope, box.corners, sizeof box.corners);
    symbol->generation = symbGeneration();
  }
  // The box in placement coordinates: moved as the members are when placed.
  double shift[16];
  symbPlacementXform(symbol, shift);
  for (int i = 0; i < 3; ++i) {
    out[i] = symbol->envelope[i] + shift[4 * i + 3];
    out[i + 3] = symbol->envelope[i + 3] + shift[4 * i + 3];
  }
}

void symbObjEnum(symbRec* symbol, objMemberFn callback, void* argument, int all) {
  if (!symbIs(symbol)) {
    dbgPanic("symbObjEnum called with bogus pointer");
    return;
  }
  struct Walk {
    objMemberFn callback;
    void* argument;
    int all;
  } walk{callback, argument, all};
  grpForEach(symbol->members, [](gobjRec* member, void* context) {
    const auto* w = static_cast<const Walk*>(context);
    if (grpIsGroup(member)) return 0;
    if (!w->all && gobjLineFont(member) == 1 && !instIs(member)) return 0;
    const uint16_t saved = member->flags;
    uint16_t flags = uint16_t(saved & ~gobjHidden);
    flags = w->all ? uint16_t(flags | gobjControlPts) : uint16_t(flags & ~gobjControlPts);
    member->flags = flags;
    const int answer = w->callback(member, w->argument);
    member->flags = saved;
    return answer;
  }, &walk);
}
