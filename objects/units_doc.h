// Units in documents: the class "units" through which scripts see and set
// the units record, the seven document settings that keep units in drawing
// files ("$UNITS", "$TRAIL0", "$LEAD0", "$UFRAC", "$UABRV", "$UPREC",
// "$INTUNITS"), the document's hook for its units record, the "units" block
// of the compiled script image, and the module's set-up.
#ifndef PLUMET_OBJECTS_UNITS_DOC_H
#define PLUMET_OBJECTS_UNITS_DOC_H

#include "core/units.h"
#include "objects/docstate.h"
#include "objects/ioctx.h"

#include <cstdint>

// The document's hook for its units record (document event kinds 1-11):
//   1 copies the current record into record (the default record becomes
//     current first when none is);
//   2 sets the default record current when record is the current one;
//   3 and 10 set the default record current;
//   4 and 11 make record current;
// other kinds do nothing.
void unitRecordOp(int kind, unitsRec* record);

// The I/O routine of the seven settings (docVarRoutine). Bodies: "$UNITS" a
// "S" text (written as the abbreviations of the current record's units
// joined by blanks, read back as unit names), "$TRAIL0", "$LEAD0",
// "$UFRAC", "$UABRV" an "i" 0 or 1 (flags 16, 8, 2, 4), "$UPREC" an "R"
// step (reading recomputes the decimals), "$INTUNITS" an "l" mode word
// (also applied and kept in the document's record).
int unitVarIO(const char* name, dbDocRec* doc, ioCtx* ctx);

// The class "units" (superclass the root): 107 answers a keyed value of the
// record, 108 sets one ("precision", "format", "fraction", "abrv", "lead0",
// "trail0"; other known keys 281), 500 stores the "units" image block; every
// other message -1. Also registers its subclass "docunits". Answers the
// class id of "units".
uint16_t unitClassRegister();

// A new object of class "docunits" (use count 0): a document's units record
// as scripts see it. It holds the number of the document's settings record
// (objects/doclive.h) and passes every message to "units" with the record
// it finds; once the document is gone every message but 100 (which frees
// the object) answers -4146. Null when the classes are not registered.
void* unitDocObjectNew(const dbDocRec* doc);

// Stores the unit table as the "units" block of the compiled image (what
// message 500 does before an image is written).
void unitStoreBlock();

// Fills the unit table from the image's "units" block (taking the block),
// or, without a usable one, with the inch ("inch inches" and the inch mark)
// and the millimetre ("millimeter millimeters mm"), names translated.
void unitLoadTable();

// The document side alone: the seven settings, the document event hook
// (units record and mode word follow the current document), aSetMM's store
// into the document and the file header's metric flag. Part of unitsInit.
void unitDocRegister();

// Module set-up: the degree character; the unit table from the image's
// "units" block or else the inch and the millimetre; the operators, the
// class "units" and the seven settings; aSetMM's store into the document.
void unitsInit();

#endif
