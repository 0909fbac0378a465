// Moving and reshaping the members of a group: grpTransform and the
// operators aTransform and aSetLength.
#include "objects/grpedit.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/opcall.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

#include <cmath>

namespace {

// Message 316 asks a curve to take a new length from its start (the curve
// classes' meaning of the number).
enum { kSetLength = msgPointAtLength };

glist* groupArg(const feArgs* args, int i) { return static_cast<glist*>(args->in[i].record); }

// Every member, the group's current one after grpTransform replaced it.
void changedAll(glist* group) {
  grpForEach(group, [](gobjRec* member, void*) {
    if (!grpIsGroup(member)) objChanged(member, 1);
    return 0;
  }, nullptr);
}

// Copies of the members (scratch objects passed over), each transformed and
// entered into the document. A copy the document does not take is freed.
void transformCopies(glist* group, const double* matrix) {
  grpForEach(group, [](gobjRec* member, void* context) {
    if (grpIsGroup(member) || objOnScratchLayer(member)) return 0;
    gobjRec* copy = nullptr;
    if (objCopyWith(member, static_cast<const double*>(context), &copy) != 0 || !copy) return 0;
    if (objInsert(copy) != 0) {
      if (copy->refCount == 0) objFree(copy);
      return 0;
    }
    objChanged(copy, 1);
    return 0;
  }, const_cast<double*>(matrix));
}

}  // namespace

int grpTransform(glist* group, const double* matrix) {
  if (group && !grpIsGroup(group)) {
    dbgPanic("expected group");
    return 0;
  }
  int replaced = 0;
  for (glist* block = group; block; block = block->next) {
    for (gobjRec** slot = block->members; *slot; ++slot) {
      gobjRec* old = *slot;
      if (grpIsGroup(old)) continue;
      gobjRec* result = old;
      objTransform(old, matrix, &result, 0);
      if (!result || result == old) continue;
      if (old->flags & gobjInSieve) {
        // The group's reference keeps the old object while the document lets
        // it go; a locked one stays, and the answered object is dropped.
        if (objDelete(old, 1) != 0) {
          if (result->refCount == 0) objFree(result);
          continue;
        }
        objInsert(result);
      }
      objRetain(result);
      *slot = result;
      objRelease(&old);
      ++replaced;
    }
  }
  return replaced;
}

// "!Q[group]A{16D}I": copyflag 0 transforms the members in place; any other
// value inserts transformed copies and leaves the members as they are.
int aTransformOp(feArgs* args) {
  glist* group = groupArg(args, 0);
  const auto* matrix = static_cast<const double*>(args->in[1].block);
  if (args->in[2].i == 0) {
    grpTransform(group, matrix);
    changedAll(group);
  } else {
    transformCopies(group, matrix);
  }
  objRedrawPending(0);
  return 0;
}

// "Q[group]R": every curve takes the length (message 316 with the address
// of the length and a slot holding the curve), erased before and queued for
// redrawing after. A length too small to measure is refused with 267.
int aSetLengthOp(feArgs* args) {
  double length = args->in[1].d;
  if (!(std::fabs(length) >= 1e-8)) return feErrRangeCheck;
  grpForEach(groupArg(args, 0), [](gobjRec* member, void* context) {
    if (grpIsGroup(member) || objInClass(member, "curve") != 1) return 0;
    objErase(member);
    gobjRec* slot = member;
    objMeth(member->classId, kSetLength, member, reinterpret_cast<intptr_t>(context),
            reinterpret_cast<intptr_t>(&slot));
    objChanged(member, 1);
    return 0;
  }, &length);
  return 0;
}
