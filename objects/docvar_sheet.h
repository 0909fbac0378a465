// Sheet records of the drawing database: one per model's sheet, each with
// the sheet's current-object group (the objects marked with flag 0x0008).
// One record is current (none at start); a default record stands in, made
// on first demand. Records are signalled as application events 0x10001
// (made), 0x10002 (left or freed) and 0x10004 (made current).
//
// In a model's record a sheet is stored as "i" 1 followed by the sheet's
// variable section (a "$END" record), or "i" 0 without one.
#ifndef PLUMET_OBJECTS_DOCVAR_SHEET_H
#define PLUMET_OBJECTS_DOCVAR_SHEET_H

#include "objects/group.h"
#include "objects/ioctx.h"

enum : uint32_t {
  sheetEvtNew = 0x10001,
  sheetEvtLeft = 0x10002,
  sheetEvtCurrent = 0x10004,
};

enum { sheetRecentMax = 16 };
enum : uint8_t { sheetRecentChanged = 0x1 };

struct dbSheetRec {
  double origin[3];       // zero
  glist* curObjects;      // the sheet's current-object group (one reference)
  // Point input: the objects drawn in the current command chain and the
  // points entered with them, oldest first.
  uint8_t recentFlags;                 // sheetRecentChanged: the chain changed since the last command end
  int16_t enteredCount;                // 0..16
  int16_t recentCount;                 // 0..16
  double lastPoint[3];                 // the start of the next segment
  double entered[sheetRecentMax][3];
  gobjRec* recent[sheetRecentMax];     // each holds one use count and flag 0x0008 while listed
  double endDirection[3];              // first derivative of the newest object at its end
};

// Flag 0x0008 (gobjRecent) marks an object that a sheet record lists: as a
// member of its current-object group or among its recent objects (the
// point-input chain). The two lists share the flag, so each clears it only
// when the other does not list the object as well.
bool sheetHoldsRecent(const dbSheetRec* rec, const gobjRec* object);  // among the recent objects
bool sheetHoldsCurrent(const dbSheetRec* rec, const gobjRec* object); // in the current-object group
// Clears the object's flag 0x0008 unless the record still lists it.
void sheetDropMark(const dbSheetRec* rec, gobjRec* object);
// Message 320 of an object with flag 0x0008: the current record's chain is
// marked changed (sheetRecentChanged) when it holds the object.
void sheetRecentTouched(const gobjRec* object);

// A zeroed record stored in *slot; signals 0x10001 with it.
int sheetNew(dbSheetRec** slot);
// A current record is replaced by the default one; signals 0x10002 and
// frees the record. Its recent objects give back their use counts (an
// object no longer held anywhere is freed).
void sheetFree(dbSheetRec* rec);
// Signals 0x10002 for the old current record (when there is one) and
// 0x10004 for the new one (when not null); the new record's group becomes
// the program's current-object group.
void sheetSetCurrent(dbSheetRec* rec);
void sheetCurrent(dbSheetRec** out);
// The current record, else the default one (made on first use).
dbSheetRec* sheetCurrentOrDefault();

// The program's current-object group (null when empty).
glist* curObjGroup();

// The variable section of a sheet: writes a "$END" record; reading skips
// every record up to "$END".
int ioSheetVar(ioCtx* ctx);
// A sheet in a model's record; reading makes the record first when *slot is
// empty.
int sheetIO(ioCtx* ctx, dbSheetRec** slot);

// Frees the default record and forgets the current one (tests).
void sheetReset();

#endif
