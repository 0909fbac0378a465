// Symbols: named, reusable drawings kept in a document.
//
// A master (class "symbmast") holds its member objects, a base point, an id
// and option flags. Instances (objects/instanc.h) refer to a symbol copy
// (class "symbcopy"): the master's members resolved for one set of named
// parameter values. Copies with equal parameters are shared; a master with
// no parameters serves as its own copy. Names may carry a prefix ending in
// ":"; only the part after the last ":" counts, and only that part is kept.
//
// The current document's settings record (dbDocRec::symbols) holds the
// list of its masters, newest first, with one reference on each; the
// document's end releases them (symbFreeList). A master also lives while
// copies or the master table of a drawing file being read or written refer
// to it; a copy lives while instances refer to it. Reference counts are 32
// bits wide: a copy shared by thousands of instances is never freed under
// them.
//
// Resolving a copy runs the parametric resolve of the tools through
// symbSetResolver. Without a resolver a copy keeps the master's duplicated
// members and resolution answers 0.
//
// Drawing files: the symbol segment (header word 5) holds the masters that
// the file's instances refer to (the letter Y codes such a reference), and,
// for a whole document, every other master of the document after them.
#ifndef PLUMET_OBJECTS_SYMB_H
#define PLUMET_OBJECTS_SYMB_H

#include "objects/gobject.h"
#include "objects/group.h"
#include "objects/ioctx.h"

#include <cstdint>

struct dbDocRec;
struct feArgs;

// One named parameter value of a copy or of an instance's pending list. The
// name is a heap text (uAlloc) owned by the array's holder.
struct symbParam {
  char* name;
  double value;
};

enum : uint8_t { symbHasWallsFlag = 0x01 };
enum : uint16_t { symbFixedOrigin = 0x0001 };

// A master or a copy. The fields after params are the master's only.
struct symbRec {
  uint16_t classId;        // symbmast or symbcopy; 0 once freed
  uint8_t refCount;        // unused: the holders are counted in uses
  uint8_t flags;           // bit 0: some member is a wall
  glist* members;          // one reference held (null: no members)
  double envelope[6];      // cached box of the members: min x, y, z, max x, y, z
  uint32_t generation;     // the generation the envelope was made for (0: never)
  symbRec* master;         // a master points to itself; a copy holds a reference on its master
  symbRec* copies;         // a master's first copy; a copy's next copy
  uint16_t paramCount;
  symbParam* params;       // owned by the copy; null for a master
  uint32_t uses;           // references held on the record
  // Masters only:
  symbRec* next;           // the next master of the document's list
  char* name;              // heap text, the part after the last ":"
  int32_t id;
  uint16_t options;        // symbFixedOrigin
  double base[3];          // the base point
};

// The error codes of symbols.
enum symbError {
  symbErrBadArg = -4100,
  symbErrRecursive = -4154,
};

// The parametric resolve of the tools subsystem: resolve drives the named
// dimensions of the group to the parameter values, changing its members in
// place (0 when all could be driven); setRefPoint sets the reference point
// of the next resolve; cleanup clears the solver after one.
struct symbResolver {
  int (*resolve)(glist* group, int32_t count, const symbParam* params);
  int (*setRefPoint)(double x, double y, double z);
  void (*cleanup)();
};
// Installs the resolver (null: none; copies keep the master's members).
void symbSetResolver(const symbResolver* resolver);

// Registers the classes, the format letter Y, the segment hook, the
// statistics "symbol" and "symbol-copy", the document hook that ends a
// document's masters, and the 8 operators. Later calls do nothing.
void symbInit();
uint16_t symbMastClassId();
uint16_t symbCopyClassId();
// True for a live master or copy.
bool symbIs(const void* record);

// The part of name after its last ":" (offset and length through the outs).
void symbBaseName(const char* name, int32_t length, const char** outText, int32_t* outLength);

// The current document's master of that name, or null; with create, a new
// empty master (base point the origin) when there is none.
symbRec* symbFind(const char* name, int32_t length, int create);
// Defines or redefines the master in *slot (made when the slot is empty)
// from duplicates of the group's members. base null: computed. Answers 0,
// or -4154 when the group holds an instance of the master itself (directly
// or through other symbols); the master is then left as it was.
int symbDefine(glist* group, const char* name, int32_t length, const double* base, symbRec** slot);
// The copy of master for the parameters (taking over the array and its
// names, freed when an equal copy exists) stored in *slot with a reference.
// count 0: the master itself. Answers the resolve result.
int symbCopyFor(symbRec* master, int32_t count, symbParam* params, symbRec** slot);
// Resolves a copy again from its master's members.
int symbResolve(symbRec* copy);

// Calls callback for each member in group order. Unless all is set,
// members of line font 1 that are not instances are skipped. During the
// call the member is shown (0x0200 cleared) and its control points flag
// (0x0020) follows all; the flags are restored afterwards.
void symbObjEnum(symbRec* symbol, objMemberFn callback, void* argument, int all);
// The members' box shifted into placement coordinates (by the placement's
// translation); the zero box for a symbol without members.
void symbEnvelope(symbRec* symbol, double out[6]);
// Answers 1 for a master or copy; panics "symbTst called with bogus
// pointer" and answers 0 otherwise.
int symbTst(const void* record);
// The identity translated by minus the master's base point, unless the
// master has the fixed-origin option.
void symbPlacementXform(const symbRec* symbol, double out[16]);
bool symbHasWalls(const symbRec* symbol);
// The master's name, the parameter count and array; "" and 0 for null.
void symbInfo(const symbRec* symbol, const char** name, int32_t* count, const symbParam** params);
// Brings the symbol in *slot into the current document: a master of another
// document is defined again here (same name, members and base point) and
// *slot gets the copy for the same parameters.
void symbImport(symbRec** slot);

// References.
void symbRetain(symbRec* symbol);
// Lowers the count held in *slot and frees the record at 0; clears the slot.
void symbRelease(symbRec** slot);
// Releases every master of the record's list and empties it.
void symbFreeList(dbDocRec* doc);

// The base point of a set of members: the origin when a member that is a
// curve has a vertex at the origin (exactly with fixed, else within 1e-15),
// otherwise the smallest vertex (x first, then y, then z), or the origin
// when there are none.
void symbBasePoint(const glist* members, int fixed, double out[3]);

// Parameter arrays (heap arrays of heap names).
symbParam* symbParamsCopy(int32_t count, const symbParam* params);
void symbParamsFree(int32_t count, symbParam** params);

// The drawing file: the segment hook of header word 5 (events 11-16) and
// the format letter Y (one symbRec** reference slot per repeat).
int symbIO(ioCtx* ctx, int event);
int symbFormatIO(ioCtx* ctx, int repeat, const intptr_t** cursor);
// Marks a file being written as a whole document: its symbol segment lists
// the current document's other masters after those its instances use.
void symbWriteAll(ioCtx* ctx);
// Frees the file's master table with its references; the context's close
// calls it, so the table goes with the file also when the segment hook is
// not installed.
void symbIOClose(ioCtx* ctx);

// The generation of drawings: raised by every redefinition.
uint32_t symbGeneration();

// The symbol flag: 1 while a symbol's preview is drawn (aSymbolDraw), else
// 0.
void vwSetSymbolFlag(uint32_t value);
uint32_t vwGetSymbolFlag();

// Operator handlers (registered by symbInit).
int symbOpList(feArgs* args);
int symbOpPeek(feArgs* args);
int symbOpDraw(feArgs* args);   // aSymbolDraw and aSymbolTrack
int symbOpDefine(feArgs* args);
int symbOpTest(feArgs* args);   // aTestSymbol
int symbOpTestId(feArgs* args); // aSymbolTest
int symbOpSetId(feArgs* args);

#endif
