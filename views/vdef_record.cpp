// View-direction records: making, adding, finding, copying and removing the
// named directions of a document, and the standard set.
#include "views/vdef.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/text.h"
#include "core/vec.h"
#include "objects/event.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/uniquename.h"
#include "views/vwinit.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

// Two unit vectors count as the same direction when their dot product is
// this close to 1.
constexpr double kSameDirection = 1e-15;

int directionTaken(void* context, const char* name, uint32_t length) {
  return vdefFind(static_cast<const docRec*>(context), name, length) != nullptr;
}

void signal(uint32_t code, const vdefRec* record) { evtSignal(code, reinterpret_cast<intptr_t>(record)); }

// The unit vector from the centre towards the eye; false when there is
// none (the eye on the centre, or coordinates that are not finite).
bool unitEyeDirection(const vdefRec* record, double out[3]) {
  double d[3];
  vecSub3(record->eye, record->centre, d);
  const double length = vecLen3(d);
  if (!std::isfinite(length) || length == 0) return false;
  vecScale3(1 / length, d, out);
  return true;
}

bool sameDirection(const double a[3], const double b[3]) {
  double ua[3], ub[3];
  vecNormalize3(a, ua);
  vecNormalize3(b, ub);
  return std::fabs(vecDot3(ua, ub) - 1) <= kSameDirection;
}

}  // namespace

vdefRec* vdefNew() {
  vdefRec* record = nullptr;
  uAlloc(&record, nullptr, 1, sizeof(vdefRec));
  std::memset(record, 0, sizeof *record);
  record->head.object.classId = vdefClassId();
  record->head.desc = vdefListDesc();
  record->title = uStrDup("", 0, nullptr);
  vecSet3(record->eye, 0, 0, 1);
  vecSet3(record->up, 0, 1, 0);
  ++vwLive().vdirs;
  return record;
}

void vdefFree(vdefRec* record) {
  if (!record) return;
  uFreeIfSet(&record->title);
  record->head.object.classId = 0;
  uFree(&record);
  --vwLive().vdirs;
}

int vdefAdd(docRec* doc, vdefRec* record) {
  if (!doc) return vwErrNoCurDoc;
  if (!record) return vwErrBadObject;
  if (record->owner) return vwErrAlreadyOwned;
  // A direction needs an eye apart from its centre: the unit eye point
  // below cannot be made otherwise, and a view turned to it would have no
  // viewing direction.
  double unit[3];
  if (!unitEyeDirection(record, unit)) return vwErrBadValue;
  if (!record->title || !*record->title) {
    uniqueName(&record->title, "View ^0", directionTaken, doc);
  } else if (vdefFind(doc, record->title, uint32_t(std::strlen(record->title)))) {
    uAlert(0, "TVDIR '^0' already exists", record->title);
    return vwErrTitleNotUnique;
  }
  record->owner = doc;
  if (const int answer = ownedInsert(record, ownedAppend)) {
    record->owner = nullptr;
    return answer;
  }
  feObjRefRetain(record);
  vecAdd3(record->centre, unit, record->eye);
  signal(vwEvVdirCreated, record);
  return 0;
}

int vdefMake(docRec* doc, const double eye[3], const double centre[3], const double up[3], const char* title) {
  vdefRec* record = vdefNew();
  vecCopy3(eye, record->eye);
  vecCopy3(centre, record->centre);
  vecCopy3(up, record->up);
  if (title) uStrDup(title, uint32_t(std::strlen(title)), &record->title);
  const int answer = vdefAdd(doc, record);
  if (answer) vdefFree(record);
  return answer;
}

int vdefRemove(vdefRec* record) {
  if (!record || !record->owner) return vwErrNoCurDoc;
  if (const int answer = ownedUnlink(record)) return answer;
  record->owner = nullptr;
  signal(vwEvVdirFreed, record);
  // The list's use goes; whoever still holds the record frees it.
  uint8_t& count = record->head.object.refCount;
  if (count != feObjPermanent && count > 0) --count;
  return 0;
}

void docRemoveVdefs(docRec* doc) {
  if (!doc) return;
  while (vdefRec* record = doc->firstVdir) {
    if (vdefRemove(record) != 0) {
      // Not on the list it heads: drop it from the list all the same.
      dbgPanic("view direction of a document being closed stays");
      doc->firstVdir = record->next;
      record->next = nullptr;
      record->owner = nullptr;
    }
    if (record->head.object.refCount == 0) vdefFree(record);
  }
}

vdefRec* vdefFind(const docRec* doc, const char* title, uint32_t length) {
  if (!doc || !title) return nullptr;
  const std::string wanted(title, length);
  for (vdefRec* record = doc->firstVdir; record; record = record->next)
    if (uStrNatCmpAll(record->title, wanted.c_str()) == 0) return record;
  return nullptr;
}

int vdefCopy(const vdefRec* source, vdefRec** out) {
  if (!source || !out) return vwErrBadObject;
  vdefRec* record = vdefNew();
  record->flags = source->flags;
  if (source->title) uStrDup(source->title, uint32_t(std::strlen(source->title)), &record->title);
  vecCopy3(source->centre, record->centre);
  vecCopy3(source->eye, record->eye);
  vecCopy3(source->up, record->up);
  *out = record;
  return 0;
}

void vdefCopyAll(docRec* doc, const vdefRec* first) {
  if (!doc) return;
  if (!first) {
    vdefStandardSet(doc);
    return;
  }
  for (const vdefRec* source = first; source; source = source->next) {
    vdefRec* copy = nullptr;
    if (vdefCopy(source, &copy) != 0) continue;
    if (vdefAdd(doc, copy) != 0) vdefFree(copy);
  }
}

const char* vdefNameOfDirection(const docRec* doc, const double up[3], const double eye[3]) {
  if (!doc || !up || !eye) return "";
  for (const vdefRec* record = doc->firstVdir; record; record = record->next) {
    double direction[3];
    vecSub3(record->eye, record->centre, direction);
    if (sameDirection(direction, eye) && sameDirection(record->up, up)) return record->title;
  }
  return "";
}

void vdefStandardSet(docRec* doc) {
  if (!doc) return;
  static const struct {
    const char* title;
    double eye[3], up[3];
  } kStandard[] = {
      {"Isometric", {1, -1, 0.707106781}, {0, 0, 1}},
      {"Right", {1, 0, 0}, {0, 0, 1}},
      {"Front", {0, -1, 0}, {0, 0, 1}},
      {"Top", {0, 0, 1}, {0, 1, 0}},
  };
  const double centre[3] = {0, 0, 0};
  for (const auto& s : kStandard) {
    if (vdefMake(doc, s.eye, centre, s.up, s.title) != 0) continue;
    // vdefMake appended it: the list's last record.
    vdefRec* last = doc->firstVdir;
    while (last->next) last = last->next;
    last->flags |= vdefLocked;
  }
}
