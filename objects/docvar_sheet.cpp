// Sheet records with their current-object groups, aSetCurObj, the sheet
// in a model's record, and aRegen.
#include "objects/docvar.h"
#include "objects/docvar_sheet.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/event.h"
#include "objects/ioformat.h"
#include "objects/objsend.h"
#include "objects/sieve.h"

namespace {

dbSheetRec* currentSheet;
dbSheetRec* defaultSheet;
glist* currentGroup;   // the program's current-object group (the current sheet's)

// The group is being dropped: its members keep the flag only when the
// record's recent objects still list them.
int clearRecent(gobjRec* object, void* rec) {
  if (!rec || !sheetHoldsRecent(static_cast<const dbSheetRec*>(rec), object))
    object->flags = uint16_t(object->flags & ~gobjRecent);
  return 0;
}

struct Search {
  const gobjRec* object;
  bool found;
};

int findMember(gobjRec* object, void* context) {
  auto* search = static_cast<Search*>(context);
  if (object == search->object) search->found = true;
  return 0;
}

// The recent objects give back their counts; the list is emptied first so
// that the flag test below sees them gone.
void releaseRecent(dbSheetRec* rec) {
  const int count = rec->recentCount;
  gobjRec* taken[sheetRecentMax] = {};
  for (int i = 0; i < count && i < sheetRecentMax; ++i) {
    taken[i] = rec->recent[i];
    rec->recent[i] = nullptr;
  }
  rec->recentCount = 0;
  rec->enteredCount = 0;
  for (int i = 0; i < count && i < sheetRecentMax; ++i) {
    if (!taken[i]) continue;
    sheetDropMark(rec, taken[i]);
    objRelease(&taken[i]);
  }
}

int markRecent(gobjRec* object, void*) {
  object->flags = uint16_t(object->flags | gobjRecent);
  return 0;
}

void freeSheet(dbSheetRec* rec) {
  releaseRecent(rec);
  if (rec->curObjects) {
    if (currentGroup == rec->curObjects) currentGroup = nullptr;
    grpForEach(rec->curObjects, clearRecent, rec);
    grpRelease(&rec->curObjects);
  }
  uFree(&rec);
}

int collect(gobjRec* object, void*) {
  grpAdd(object);
  return 0;
}

int changed(gobjRec* object, void*) {
  objChanged(object, 1);
  return 0;
}

}  // namespace

bool sheetHoldsRecent(const dbSheetRec* rec, const gobjRec* object) {
  if (!rec || !object) return false;
  for (int i = 0; i < rec->recentCount && i < sheetRecentMax; ++i)
    if (rec->recent[i] == object) return true;
  return false;
}

bool sheetHoldsCurrent(const dbSheetRec* rec, const gobjRec* object) {
  if (!rec || !object || !rec->curObjects) return false;
  Search search{object, false};
  grpForEach(rec->curObjects, findMember, &search);
  return search.found;
}

void sheetDropMark(const dbSheetRec* rec, gobjRec* object) {
  if (!object) return;
  if (sheetHoldsRecent(rec, object) || sheetHoldsCurrent(rec, object)) return;
  object->flags = uint16_t(object->flags & ~gobjRecent);
}

void sheetRecentTouched(const gobjRec* object) {
  if (currentSheet && sheetHoldsRecent(currentSheet, object)) currentSheet->recentFlags |= sheetRecentChanged;
}

int sheetNew(dbSheetRec** slot) {
  dbSheetRec* rec = nullptr;
  uAlloc(&rec, nullptr, 1, sizeof(dbSheetRec));
  *slot = rec;
  evtSignal(sheetEvtNew, reinterpret_cast<intptr_t>(rec));
  return 0;
}

void sheetFree(dbSheetRec* rec) {
  if (!rec) return;
  if (rec == defaultSheet) defaultSheet = nullptr;
  if (rec == currentSheet) {
    // The default record takes its place (a fresh one when it was the default).
    if (!defaultSheet) sheetNew(&defaultSheet);
    currentSheet = defaultSheet;
    currentGroup = defaultSheet->curObjects;
  }
  evtSignal(sheetEvtLeft, reinterpret_cast<intptr_t>(rec));
  freeSheet(rec);
}

void sheetSetCurrent(dbSheetRec* rec) {
  if (currentSheet) evtSignal(sheetEvtLeft, reinterpret_cast<intptr_t>(currentSheet));
  currentSheet = rec;
  if (rec) evtSignal(sheetEvtCurrent, reinterpret_cast<intptr_t>(rec));
  currentGroup = rec ? rec->curObjects : nullptr;
}

void sheetCurrent(dbSheetRec** out) { *out = currentSheet; }

dbSheetRec* sheetCurrentOrDefault() {
  if (currentSheet) return currentSheet;
  if (!defaultSheet) sheetNew(&defaultSheet);
  return defaultSheet;
}

glist* curObjGroup() { return currentGroup; }

void sheetReset() {
  currentSheet = nullptr;
  if (defaultSheet) freeSheet(defaultSheet);
  defaultSheet = nullptr;
  currentGroup = nullptr;
}

int sheetIO(ioCtx* ctx, dbSheetRec** slot) {
  int32_t present = *slot ? 1 : 0;
  if (ioFormat(ctx, "i", &present) < 0) return -1;
  if (!present) return 0;
  if (ctx->mode == 'r' && !*slot) sheetNew(slot);
  return ioSheetVar(ctx);
}

// "!Q[group]": the group's members become the current objects.
int aSetCurObj(feArgs* args) {
  auto* group = static_cast<glist*>(args->in[0].record);
  if (!grpIsGroup(group)) {
    dbgPanic("expected group");
    return 0;
  }
  dbSheetRec* sheet = sheetCurrentOrDefault();
  glist* old = sheet->curObjects;
  if (old && grpCompare(old, group) == 0) return 0;
  if (old) {
    grpForEach(old, clearRecent, sheet);
    grpRelease(&sheet->curObjects);
  }
  glist* fresh = grpFlatten(group, 0);
  grpRetain(fresh);
  grpForEach(fresh, markRecent, nullptr);
  sheet->curObjects = fresh;
  currentGroup = fresh;
  return 0;
}

// "!": every object of the current sieve is reported changed. The objects
// are collected first: a change re-sorts the object in the sieve being walked.
int aRegen(feArgs*) {
  sieveRec* sieve = sieveCurrent();
  if (!sieve) return 0;
  const double origin[3] = {0, 0, 0};
  grpBegin();
  sieveSearchBox(sieve, collect, nullptr, -1, origin, origin);
  glist* all = grpEnd();
  grpForEach(all, changed, nullptr);
  grpRelease(&all);
  // The selection window is repainted here once the selection module gives
  // selWindowRepaint.
  return 0;
}
