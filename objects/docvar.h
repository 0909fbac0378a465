// Document settings: the document events that make, switch and free the
// dbDocRec records (objects/docstate.h), the registry of settings variables
// named "$NAME" through which every module stores its settings in the
// variable section of a drawing file, the scripts' saved variables whose
// values travel with each document (aVarSave) or only with the global file
// (aGlobalVarSave), and the small document operators.
//
// The variable section (header word 6 of the drawing file) is a run of
// nested records, each "il" (kind 0, body length) and a body that starts
// with the item's name as a "C" field, ended by a record named "$END". A
// "$" name goes to the registered variable of that name; another name is a
// saved variable, whose value follows in the value coding of
// objects/docvar_value.h.
#ifndef PLUMET_OBJECTS_DOCVAR_H
#define PLUMET_OBJECTS_DOCVAR_H

#include "fe/opcall.h"
#include "objects/docstate.h"
#include "objects/ioctx.h"

#include <cstdint>
#include <initializer_list>

// Codes answered here.
enum docVarError {
  docErrBadData = -4139,
  docErrNoDoc = -4146,
};

// Document events (the low 16 bits of the codes 0x0101nnnn; the argument is
// the document, see dbDocEvent).
enum : uint32_t {
  docEvtFamily = 0x01010000,
  docEvtCreated = 1,
  docEvtFreed = 2,
  docEvtReleased = 3,
  docEvtCurrent = 4,
  docEvtReapply = 8,
  docEvtSwitchOut = 10,
  docEvtSwitchIn = 11,
};

// The I/O routine of settings variables: reads or writes the body of the
// variable's record (after its name) for the document, in the direction of
// ctx. name is the registered (interned) name, so that one routine can serve
// several variables. Answers 0, or negative on failure.
typedef int (*docVarRoutine)(const char* name, dbDocRec* doc, ioCtx* ctx);

// Appends one variable per name, all served by routine, in registration
// order. A null name ends the list (varRegister(r, "$A", "$B", nullptr)).
void varRegisterList(docVarRoutine routine, std::initializer_list<const char*> names);
template <class... N>
void varRegister(docVarRoutine routine, N... names) {
  varRegisterList(routine, {static_cast<const char*>(names)...});
}
// The registered variables: count, and the name and routine of entry i.
uint32_t docVarCount();
const char* docVarName(uint32_t i);
docVarRoutine docVarFind(const char* name, uint32_t length);

// The segment hook of the variable section (header word 6): event 12
// writes, 11 reads, others do nothing. -4146 without a current record;
// with io flag 1 (merge) or 32 (raw) the section is skipped.
int docVarIO(ioCtx* ctx, int event);

// The saved-variable list: appends (name, global flag); entries are never
// removed. global 0: one value per document; 1: saved in the global file
// only.
void varSaveAdd(const char* name, uint32_t length, int global);
uint32_t varSaveCount();
// Rebuilds the "varsave" image block from the list (the at-save routine).
void varSaveBlockPut(void*);
// The bytes of the "varsave" block for the list (a uAlloc block the caller
// frees) and its length.
uint8_t* varSaveBlockMake(uint32_t* length);
// Appends the entries of a "varsave" block. -4139 when it does not fit its
// length.
int varSaveBlockRead(const uint8_t* data, uint32_t length);
// Capture: the record's values := deep copies of the names' current
// values (flag-0 entries; an undefined name gives null). Restore: every
// non-null flag-0 value of the record is stored under its name.
void docVarCapture(dbDocRec* doc);
void docVarRestore(dbDocRec* doc);

// The document event handler, entered in the application event table for
// mask 0xFFFF0000, value 0x01010000. The argument is the document; its
// record is kept in the document's auxiliary word, found through the
// accessor below (by default the argument is the address of that word, a
// dbDocRec*, so a caller without document records passes &slot). Events:
//   1 creates the record into the auxiliary word (use count 1, copied from
//     the current record when there is one, else fresh: select colour 1,
//     hit radius 12, a new layer table with the default layers, work layer
//     0, a permanent default object of class gobject with pen index 2);
//   2 frees it (releasing it first when current) and clears the word; a
//     record whose default object was given to a script is retired instead
//     (objects/doclive.h);
//   3, 10 release the current record (values captured);
//   4, 11 make the document's record current (values restored, event
//     0x20004 signalled, the script procedure "aDocToolType" run);
//   8 applies units mode and pen weights again.
void dbDocEvent(uint32_t event, intptr_t document);
// Where a document keeps its record; null restores the default.
typedef dbDocRec** (*docAuxAccessor)(intptr_t document);
void docSetAuxAccessor(docAuxAccessor accessor);

// Modules that keep blocks in the record (units, grid, drafting assistant,
// colour state) are called with the low word of every document event the
// handler acts on, after the record's own work (1 once the record is
// filled; 2 before it is freed; 3 and 10 once no record is current; 4 and
// 11 once the record is current; 8), in registration order.
typedef void (*docEventHook)(uint32_t event, dbDocRec* doc);
void docAddEventHook(docEventHook hook);

// The default directory of the file operators (a 261-byte slot holding a
// NUL-terminated path), saved as "$DEFAULTDIR" in the preferences file.
enum : uint32_t { docDefaultDirSize = 261, docDefaultDirStored = 2120 };
char* docDefaultDir();

// The program-wide icon array length (48 at start) given to new records.
void docIconArrayLengthSet(uint32_t n);
uint32_t docIconArrayLength();

// Operator handlers. aDocAttr "#Q", aRegen "!", aSetCurObj "!Q[group]",
// aVarSave "Si<0>" and aGlobalVarSave "Si<1>" (one handler: the second
// argument is the global flag) are registered by objOpsInit in its order.
int aDocAttr(feArgs* args);
int aRegen(feArgs* args);
int aSetCurObj(feArgs* args);
int aVarSave(feArgs* args);
int aGlobalVarSave(feArgs* args);

// Registers the document event handler, the settings variables of this
// module ("$PARAMS", "$CHSTYLE", "$PENWEIGHTS", "$VISUALCON", "$DEFAULTDIR",
// "$DEFAULTLIGHT", "$SELCOLOR", "$WORKLAYER"), the segment hook of header
// word 6, the "varsave" block and its at-save routine, and the operators
// aGetToolType, aSetToolType, aSetIconArrayLength, aGetIconArrayLength.
void docVarInit();
// Registers aUndoStart "!I<1>" and aUndoClear "!", which do nothing.
void undoInit();

#endif
