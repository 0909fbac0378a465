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

struct dbSheetRec {
  double origin[3];       // zero
  glist* curObjects;      // the sheet's current-object group (one reference)
};

// A zeroed record stored in *slot; signals 0x10001 with it.
int sheetNew(dbSheetRec** slot);
// A current record is replaced by the default one; signals 0x10002 and
// frees the record.
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
