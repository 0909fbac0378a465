// Flags and attributes of a group's members: aSetXVis (control points
// shown), aSetLock, aSetUnSelect and aSetAttr.
#include "objects/grpedit.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/opcall.h"
#include "fe/value.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

namespace {

// Whether a flag is to change under mode 0 (clear), 1 (set) or any other
// value (toggle).
bool flagActs(const gobjRec* object, uint16_t flag, int32_t mode) {
  const bool set = (object->flags & flag) != 0;
  return mode == 0 ? set : mode == 1 ? !set : true;
}

void toggle(gobjRec* object, uint16_t flag) { object->flags = uint16_t(object->flags ^ flag); }

struct FlagPass {
  uint16_t flag;
  int32_t mode;
  bool damage;
};

int setFlag(gobjRec* member, void* context) {
  const auto* pass = static_cast<const FlagPass*>(context);
  if (!member || grpIsGroup(member) || !flagActs(member, pass->flag, pass->mode)) return 0;
  if (pass->damage) objDamage(member);
  toggle(member, pass->flag);
  return 0;
}

// Control points shown: a composite's members follow under the same rule.
int setXVis(gobjRec* member, void* context) {
  const auto* pass = static_cast<const FlagPass*>(context);
  if (!member || grpIsGroup(member) || !flagActs(member, pass->flag, pass->mode)) return 0;
  objDamage(member);
  toggle(member, pass->flag);
  if (objIsContainer(member)) objEnumMembers(member, setXVis, context);
  return 0;
}

int flagOp(feArgs* args, uint16_t flag, bool damage, objMemberFn each) {
  FlagPass pass{flag, args->in[1].i, damage};
  grpForEach(static_cast<glist*>(args->in[0].record), each, &pass);
  return 0;
}

struct AttrPass {
  const feObject* pairs;
  int32_t length;
  int firstFailure;
};

int setAttrs(gobjRec* member, void* context) {
  auto* pass = static_cast<AttrPass*>(context);
  if (!member || grpIsGroup(member)) return 0;
  for (int32_t i = 0; i + 1 < pass->length; i += 2) {
    const int answer = objPutAttr(member, feArrayElem(pass->pairs, i), feArrayElem(pass->pairs, i + 1));
    if (answer != 0 && pass->firstFailure == 0) pass->firstFailure = answer;
  }
  return 0;
}

}  // namespace

// "!Q[group]I": flag 0x0020, damaged for redrawing when it changes.
int aSetXVisOp(feArgs* args) { return flagOp(args, gobjControlPts, true, setXVis); }

// "!Q[group]I": flag 0x2000, damaged for redrawing when it changes.
int aSetLockOp(feArgs* args) { return flagOp(args, gobjLocked, true, setFlag); }

// "!Q[group]I": flag 0x4000, without redrawing.
int aSetUnSelectOp(feArgs* args) { return flagOp(args, gobjNoSelect, false, setFlag); }

// "Q[group]O": every key and value pair of the array goes to every member
// (with the lock rule of objPutAttr). 269 for a value that is not an array,
// 280 for an odd length. As for the group's own attribute message, a group
// of one member answers that member's first failure, a larger group 0.
int aSetAttrOp(feArgs* args) {
  const feObject* pairs = args->in[1].value;
  if (!pairs || feType(pairs) != feTArray) return feErrTypeCheck;
  AttrPass pass{pairs, feArrayLength(pairs), 0};
  if (pass.length % 2 != 0) return feErrLengthCheck;
  auto* group = static_cast<glist*>(args->in[0].record);
  grpForEach(group, setAttrs, &pass);
  int32_t count = 0;
  grpCount(group, &count);
  return count == 1 ? pass.firstFailure : 0;
}
