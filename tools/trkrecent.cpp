// The chain of recent objects kept in the current sheet record and the
// points entered with it: adding, removing and popping objects, the
// entered points, and the object sources "last" and "current".
//
// Every listed object holds one use count and has flag 0x0008 set. The
// flag is shared with the record's current-object group (see
// objects/docvar_sheet.h): it is cleared only when neither lists the
// object.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "geometry/curve.h"
#include "geometry/lastpt.h"
#include "objects/docvar_sheet.h"
#include "objects/grpedit.h"
#include "objects/nearcurve.h"
#include "objects/objrecord.h"

#include <algorithm>
#include <cstring>

namespace {

void copy3(const double* from, double* to) { std::copy(from, from + 3, to); }

// A listed object leaves: its flag (unless the group lists it too) and its
// count, which is lowered without freeing (the caller holds the object).
void unlist(dbSheetRec* sheet, gobjRec* object) {
  sheetDropMark(sheet, object);
  if (object->refCount != gobjPermanent && object->refCount > 0) --object->refCount;
}

// The oldest recent object makes room for a newer one: the 15 newest move
// down. It gives back its count and flag, and a start point or other
// scratch object on ".temp" leaves the document, as the chain's end would
// have deleted it.
void dropOldest(dbSheetRec* sheet) {
  gobjRec* oldest = sheet->recent[0];
  std::memmove(sheet->recent, sheet->recent + 1, sizeof(gobjRec*) * size_t(sheet->recentCount - 1));
  --sheet->recentCount;
  sheet->recent[sheet->recentCount] = nullptr;
  if (!oldest) return;
  sheetDropMark(sheet, oldest);
  if (objOnScratchLayer(oldest) && (oldest->flags & gobjInSieve)) objDelete(oldest, 1);
  objRelease(&oldest);
}

int indexOf(const dbSheetRec* sheet, const gobjRec* object) {
  for (int i = sheet->recentCount - 1; i >= 0; --i)
    if (sheet->recent[i] == object) return i;
  return -1;
}

}  // namespace

namespace trk {

dbSheetRec* sheet() {
  dbSheetRec* current = nullptr;
  sheetCurrent(&current);
  return current;
}

void derivativeAt(gobjRec* object, double t, double out[3]) {
  if (crvPointAt(object, t, 1, 0, out) < 0) std::fill(out, out + 3, 0.0);
}

int enumLast(objMemberFn callback, void* context, intptr_t) {
  dbSheetRec* s = sheet();
  if (!s || s->recentCount <= 0 || !callback) return 0;
  return callback(s->recent[s->recentCount - 1], context);
}

int enumCurrent(objMemberFn callback, void* context, intptr_t) {
  dbSheetRec* s = sheet();
  if (!s || !callback) return 0;
  // The list is read afresh at each step: a callback may delete the object
  // it is given, which takes it out of the list.
  for (int i = s->recentCount - 1; i >= 0; --i) {
    if (i >= s->recentCount) continue;
    const int answer = callback(s->recent[i], context);
    if (answer != 0) return answer;
  }
  return 0;
}

}  // namespace trk

void trkAddPoint(const double p[3]) {
  dbSheetRec* s = trk::sheet();
  if (!s) return;
  const double point[3] = {p[0], p[1], p[2]};
  copy3(point, s->lastPoint);
  if (s->enteredCount >= sheetRecentMax) {
    std::memmove(s->entered, s->entered + 1, sizeof s->entered[0] * (sheetRecentMax - 1));
    s->enteredCount = sheetRecentMax - 1;
  }
  copy3(point, s->entered[s->enteredCount++]);
  lastPointSet(point);
}

void trkAddObject(gobjRec* object) {
  dbSheetRec* s = trk::sheet();
  if (!s || !object) return;
  double end[3];
  crvPoint(object, 1.0, end);
  trkAddPoint(end);
  // An object listed already becomes the newest, keeping its one count.
  if (const int at = indexOf(s, object); at >= 0) {
    std::memmove(s->recent + at, s->recent + at + 1, sizeof(gobjRec*) * size_t(s->recentCount - at - 1));
    s->recent[s->recentCount - 1] = object;
    trk::derivativeAt(object, 1.0, s->endDirection);
    return;
  }
  if (s->recentCount >= sheetRecentMax) dropOldest(s);
  trk::derivativeAt(object, 1.0, s->endDirection);
  s->recent[s->recentCount++] = object;
  objRetain(object);
  object->flags |= gobjRecent;
}

int trkRemoveObject(gobjRec* object) {
  dbSheetRec* s = trk::sheet();
  if (!s) return trk::errNoDoc;
  trk::markHide();
  const int at = object ? indexOf(s, object) : -1;
  if (at < 0) return -1;
  s->recentFlags |= sheetRecentChanged;
  std::memmove(s->recent + at, s->recent + at + 1, sizeof(gobjRec*) * size_t(s->recentCount - at - 1));
  --s->recentCount;
  s->recent[s->recentCount] = nullptr;
  unlist(s, object);
  return 0;
}

gobjRec* trkPopObject() {
  dbSheetRec* s = trk::sheet();
  if (!s || s->recentCount <= 0) return nullptr;
  gobjRec* object = s->recent[s->recentCount - 1];
  // Held across the removal and the delete: the caller's count.
  objRetain(object);
  trkRemoveObject(object);
  if (s->recentCount > 0) crvPoint(s->recent[s->recentCount - 1], 1.0, s->lastPoint);
  if (objOnScratchLayer(object) && (object->flags & gobjInSieve)) objDelete(object, 1);
  return object;
}
