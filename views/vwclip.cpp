// Clipping a group of objects to a rectangle (aClipCorners): curves and
// walls are cut at the rectangle's sides and only their pieces inside are
// kept; other objects pass unchanged.
#include "views/vwflat.h"

#include "core/classes.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "views/vwinit.h"

#include <algorithm>

namespace {

// A piece is inside when these points of it are.
constexpr double kProbes[3] = {0.323, 0.532, 0.677};
constexpr double kGrow = 0.001;

struct Clip {
  double lo[2], hi[2];   // the rectangle grown by kGrow
  glist* sides;          // the four sides as temporary lines
};

bool inside(gobjRec* piece, const Clip& clip) {
  for (double t : kProbes) {
    double p[3] = {0, 0, 0};
    if (crvPointAt(piece, t, p) != 0) return false;
    if (p[0] < clip.lo[0] || p[0] > clip.hi[0] || p[1] < clip.lo[1] || p[1] > clip.hi[1]) return false;
  }
  return true;
}

int clipOne(gobjRec* object, void* context) {
  const auto& clip = *static_cast<const Clip*>(context);
  if (grpIsGroup(object)) return 0;
  if (objInClass(object, "curve") != 1 && objInClass(object, "wall") != 1) {
    grpAdd(object);
    return 0;
  }
  glist* pieces = nullptr;
  const bool split = vwFlattenSplit(object, clip.sides, &pieces) == 0 && pieces;
  if (!split) {
    // Nothing cuts it: the whole curve is its one piece.
    if (inside(object, clip)) grpAdd(object);
    return 0;
  }
  grpRetain(pieces);
  grpForEach(pieces, [](gobjRec* piece, void* context) {
    if (!grpIsGroup(piece) && inside(piece, *static_cast<const Clip*>(context))) grpAdd(piece);
    return 0;
  }, context);
  grpRelease(&pieces);
  return 0;
}

}  // namespace

int vwClipCorners(glist* group, const double rect[4], glist** out) {
  Clip clip{};
  clip.lo[0] = std::min(rect[0], rect[2]) - kGrow;
  clip.hi[0] = std::max(rect[0], rect[2]) + kGrow;
  clip.lo[1] = std::min(rect[1], rect[3]) - kGrow;
  clip.hi[1] = std::max(rect[1], rect[3]) + kGrow;
  // Left, top, right, bottom: the corners in turn, y upward.
  const double corners[4][3] = {{rect[0], rect[1], 0}, {rect[2], rect[1], 0}, {rect[2], rect[3], 0},
                                {rect[0], rect[3], 0}};
  grpBegin();
  for (int k = 0; k < 4; ++k)
    if (gobjRec* side = vwFlattenLine(corners[k], corners[(k + 1) % 4])) grpAdd(side);
  clip.sides = grpEnd();
  grpRetain(clip.sides);
  grpBegin();
  grpForEach(group, clipOne, &clip);
  *out = grpEnd();
  grpRelease(&clip.sides);
  return 0;
}

int vwOpClipCorners(feArgs* args) {
  auto* group = static_cast<glist*>(args->in[0].record);
  const auto* rect = static_cast<const double*>(args->in[1].block);
  if (group && !grpIsGroup(group)) return vwErrBadObject;
  glist* result = nullptr;
  const int answer = vwClipCorners(group, rect, &result);
  *reinterpret_cast<glist**>(args->out[0]) = result;
  return answer;
}
