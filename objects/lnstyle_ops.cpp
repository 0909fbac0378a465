// The operators of line styles: aLineArrow and aGetLineNormal.
#include "objects/lnstyle.h"

#include "core/classes.h"
#include "core/errors.h"
#include "core/vec.h"
#include "fe/opcall.h"
#include "objects/attr.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/objrecord.h"
#include "objects/selmode.h"
#include "objects/uphooks.h"

#include <cstring>

namespace {

lnstyleWordSource wordSource = nullptr;

struct ArrowPass {
  uint16_t endBits;
  bool on;
  uint16_t index;
  bool waiting;   // a line or arc met while no class gives its style word
};

int arrowMember(gobjRec* member, void* context) {
  auto* pass = static_cast<ArrowPass*>(context);
  if (!member || grpIsGroup(member) || (member->flags & gobjLocked)) return 0;
  uint16_t* word = wordSource ? wordSource(member) : nullptr;
  if (!word) {
    if (!wordSource && (objInClass(member, "line") == 1 || objInClass(member, "arc") == 1)) pass->waiting = true;
    return 0;
  }
  objDamage(member);
  *word = lnstyleApply(*word, pass->endBits, pass->on, pass->index);
  return 0;
}

struct LinePass {
  double start[3], end[3];
  bool found;
};

int lineMember(gobjRec* member, void* context) {
  auto* pass = static_cast<LinePass*>(context);
  if (!member || grpIsGroup(member) || objInClass(member, "line") != 1) return 0;
  double p0[3], p1[3];
  if (attrGet(member, "pt0", attrType3D, p0, nullptr) != 0 || attrGet(member, "pt1", attrType3D, p1, nullptr) != 0)
    return 0;
  std::memcpy(pass->start, p0, sizeof p0);
  std::memcpy(pass->end, p1, sizeof p1);
  pass->found = true;
  return 0;
}

}  // namespace

lnstyleWordSource lnstyleSetWordSource(lnstyleWordSource source) {
  const lnstyleWordSource previous = wordSource;
  wordSource = source;
  return previous;
}

// "QiRiB" (group, kind, width, ends, on).
int aLineArrowOp(feArgs* args) {
  void* group = args->in[0].record;
  const int32_t kind = args->in[1].i;
  const double width = args->in[2].d;
  const uint16_t ends = uint16_t(args->in[3].i);
  const bool on = args->in[4].i != 0;
  if (group && !grpIsGroup(group) && !gobjIs(group)) return feErrTypeCheck;
  if (dbDocRec* doc = dbCurrentDoc()) {
    doc->arrowEnds = uint16_t(doc->arrowEnds & ~ends);
    if (on) doc->arrowEnds = uint16_t(doc->arrowEnds | ends);
    selPendingSet(true);
  }
  double normal[3];
  objPlaneAxis(2, normal);
  const uint16_t index = lnstyleFind(kind, width, normal);
  if (index == 0) return -1;
  ArrowPass pass{uint16_t(((ends & 1) ? lnstyleArrowStart : 0) | ((ends & 2) ? lnstyleArrowEnd : 0)), on, index,
                 false};
  // The first argument may be a single object as well as a group.
  if (grpIsGroup(group)) grpForEach(static_cast<glist*>(group), arrowMember, &pass);
  else if (group) arrowMember(reinterpret_cast<gobjRec*>(group), &pass);
  return pass.waiting ? feErrUnimplemented : 0;
}

// "Q[group]# AP{3D} AV{3D} AP{3D}".
int aGetLineNormalOp(feArgs* args) {
  LinePass pass{};
  grpForEach(static_cast<glist*>(args->in[0].record), lineMember, &pass);
  if (!pass.found) return -1;
  double direction[3] = {pass.end[0] - pass.start[0], pass.end[1] - pass.start[1], pass.end[2] - pass.start[2]};
  vecNormalize3(direction, direction);
  std::memcpy(args->out[0], pass.start, sizeof pass.start);
  std::memcpy(args->out[1], direction, sizeof direction);
  std::memcpy(args->out[2], pass.end, sizeof pass.end);
  return 0;
}
