// The class "clump": the messages a clump answers over its members. Drawing
// (302) is in clump_draw.cpp, picking (318) in clump_near.cpp and the record
// (312) in clump_io.cpp.
#include "objects/clump_internal.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "objects/attrnames.h"
#include "objects/group.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "ui/achk.h"

#include <algorithm>

namespace clumpint {

namespace {

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

int super(clumpRec* clump, int message, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0) {
  return objMeth(superclass(), message, clump, a, b, c);
}

// 300: the record, with colour 254 so that the members keep their colours.
int makeNew(intptr_t slotWord) {
  const int answer = gobjNewAs(clumpClassId(), uint32_t(sizeof(clumpRec)), slotWord);
  auto** slot = reinterpret_cast<gobjRec**>(slotWord);
  if (slot && *slot) {
    if (answer == 0) (*slot)->color = 254;
    // The record is counted once, whatever the superclass answered: message
    // 100 uncounts it.
    ++liveClumps;
  }
  return answer;
}

// 100: the members go first.
int release(clumpRec* clump) {
  releaseAll(clump);
  if (clump->keyCounted) --keyedClumps;
  --liveClumps;
  return super(clump, msgFree);
}

// 108: the drawing attributes (layer, layer number, line font, colour,
// weight, colour number, line-font number) go to every member first, each
// queued for redrawing; the clump's own head then takes the key.
int setAttr(clumpRec* clump, intptr_t key, intptr_t value) {
  uiAChkData data;
  attrNamesInit();
  switch (uiAChkKeyCode(attrNames(), reinterpret_cast<const feObject*>(key), &data)) {
    case attrLayer:
    case attrLayerNo:
    case attrLineFont:
    case attrColor:
    case attrWeight:
    case attrColorNo:
    case attrLineFontNo:
      for (gobjRec* m = clump->first; m; m = m->nextInCell) {
        objUpdateQueue(m);
        objMeth(m->classId, msgSetAttr, m, key, value);
      }
      break;
    default: break;
  }
  return super(clump, msgSetAttr, key, value);
}

// 306: the box of the members' extents; each member's compact box is
// refreshed on the way. -1 when no member has extents.
int extents(clumpRec* clump, double* corners) {
  bool any = false;
  double box[6] = {};
  for (gobjRec* m = clump->first; m; m = m->nextInCell) {
    double c[6];
    if (objGetExtents(m, c) < 0) continue;
    bboxFromCorners(c, c + 3, m->box);
    for (int i = 0; i < 3; ++i) {
      const double lo = std::min(c[i], c[i + 3]), hi = std::max(c[i], c[i + 3]);
      box[i] = any ? std::min(box[i], lo) : lo;
      box[i + 3] = any ? std::max(box[i + 3], hi) : hi;
    }
    any = true;
  }
  if (!any) return -1;
  std::copy(box, box + 6, corners);
  return 0;
}

// 313: the superclass copies the head (making the record when the slot is
// empty); the copy's members are copies of the members.
int copy(clumpRec* clump, gobjRec** slot) {
  const int answer = super(clump, msgCopy, word(slot));
  if (answer != 0 || !slot || !clumpIsClump(*slot)) return answer;
  auto* target = reinterpret_cast<clumpRec*>(*slot);
  if (target == clump) return 0;
  releaseAll(target);
  for (gobjRec* m = clump->first; m; m = m->nextInCell)
    if (gobjRec* dup = objDuplicate(m)) append(target, dup);
  recountKey(target);
  return 0;
}

// 320: the members show and hide with the clump and their control points
// with its own; each is told that it changed.
int changed(clumpRec* clump) {
  for (gobjRec* m = clump->first; m; m = m->nextInCell) {
    m->flags &= uint16_t(~(gobjHidden | gobjControlPts));
    objChanged(m, 0);
  }
  return super(clump, msgChanged);
}

// 321: every member is transformed; a member answered with a replacement is
// swapped into the chain in its place and the old one released. A member
// whose transform leaves nothing stays as it was. Answers the first
// member's failure (the others are transformed all the same).
int transform(clumpRec* clump, const double* matrix, gobjRec** result, intptr_t mode) {
  int answer = 0;
  for (gobjRec** link = &clump->first; *link;) {
    gobjRec* member = *link;
    gobjRec* out = member;
    const int rc = objTransform(member, matrix, &out, int(mode));
    if (rc < 0 && answer == 0) answer = rc;
    if (out && out != member) {
      objRetain(out);
      out->nextInCell = member->nextInCell;
      out->flags = uint16_t((out->flags & ~(gobjControlPts | gobjHidden | gobjSelected)) |
                            (clump->head.flags & gobjSelected));
      *link = out;
      member->nextInCell = nullptr;
      objRelease(&member);
    }
    link = &(*link)->nextInCell;
  }
  clump->head.flags |= gobjChanged;
  if (result) *result = &clump->head;
  return answer;
}

// 325: the callback sees each member in order; the next member is taken
// first, so the callback may unlink the one it is given. A non-zero answer
// ends the walk and is the answer.
int enumMembers(clumpRec* clump, objMemberFn callback, void* context) {
  if (!callback) return 0;
  for (gobjRec* m = clump->first; m;) {
    gobjRec* next = m->nextInCell;
    if (const int rc = callback(m, context)) return rc;
    m = next;
  }
  return 0;
}

// 328: mode 0 deselects, 1 selects, other modes toggle; the members follow.
int select(clumpRec* clump, intptr_t mode) {
  const bool selected = (clump->head.flags & gobjSelected) != 0;
  const bool want = mode == 0 ? false : mode == 1 ? true : !selected;
  if (want == selected) return 0;
  clump->head.flags ^= gobjSelected;
  for (gobjRec* m = clump->first; m; m = m->nextInCell) objMeth(m->classId, msgSelect, m, want ? 1 : 0);
  if (clump->head.flags & gobjInSieve) objUpdateQueue(&clump->head);
  return 0;
}

// 337: the packed block goes to every member; 0 when any member
// enumerated its parts, else -1.
int enumParts(clumpRec* clump, intptr_t block) {
  int answer = -1;
  for (gobjRec* m = clump->first; m; m = m->nextInCell)
    if (objMeth(m->classId, msgEnum, m, block) >= 0) answer = 0;
  return answer;
}

// 338: a new group of copies of the members.
int parts(clumpRec* clump, glist** out) {
  grpBegin();
  for (gobjRec* m = clump->first; m; m = m->nextInCell)
    if (gobjRec* dup = objDuplicate(m)) grpAdd(dup);
  glist* group = grpEnd();
  if (out) *out = group;
  else grpFree(group);
  return 0;
}

// 404: the sum of the members' signatures, wrapping at 32 bits.
int signature(clumpRec* clump, int32_t* out) {
  uint32_t sum = 0;
  for (gobjRec* m = clump->first; m; m = m->nextInCell) {
    int32_t s = 0;
    objSignature(m, &s);
    sum += uint32_t(s);
  }
  if (out) *out = int32_t(sum);
  return 0;
}

}  // namespace

int handler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* clump = static_cast<clumpRec*>(object);
  switch (message) {
    case msgFree: return release(clump);
    case msgSetAttr: return setAttr(clump, a, b);
    case msgNew: return makeNew(a);
    case msgDraw: return draw(clump);
    case msgExtents: return extents(clump, reinterpret_cast<double*>(a));
    case msgIO: {
      const int answer = super(clump, msgIO, a, b, c);
      if (answer < 0) return answer;
      return recordIO(clump, reinterpret_cast<ioCtx*>(a));
    }
    case msgCopy: return copy(clump, reinterpret_cast<gobjRec**>(a));
    case msgNearest: return nearest(clump, a);
    case msgChanged: return changed(clump);
    case msgXform:
      return transform(clump, reinterpret_cast<const double*>(a), reinterpret_cast<gobjRec**>(b), c);
    case msgEnumMembers: return enumMembers(clump, reinterpret_cast<objMemberFn>(a), reinterpret_cast<void*>(b));
    case msgIsContainer: return 1;
    case msgSelect: return select(clump, a);
    case msgEnum: return enumParts(clump, a);
    case msgParts: return parts(clump, reinterpret_cast<glist**>(a));
    case msgPropPanel:
      // The panel of a plain graphic object.
      return objMeth(gobjClassId(), msgPropPanel, clump, a, b, c);
    case msgTypeName:
      if (a) *reinterpret_cast<const char**>(a) = "group";
      return 0;
    case msgPostLoad:
      for (gobjRec* m = clump->first; m; m = m->nextInCell) objMeth(m->classId, msgPostLoad, m);
      return super(clump, msgPostLoad, a, b, c);
    case msgSignature: return signature(clump, reinterpret_cast<int32_t*>(a));
    default: return objMeth(superclass(), message, object, a, b, c);
  }
}

}  // namespace clumpint
