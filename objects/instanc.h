// Instances: a symbol (objects/symb.h) placed into a drawing. The class
// "instanc2" (under "contain") holds a reference on a symbol copy (or on a
// master without parameters) and a 4 x 4 placement matrix (row-major,
// points as columns), an item number and a quantity text, and parameter
// values set by scripts that take effect at the next message 320.
//
// Members are drawn, enumerated and measured inside the placement: the
// coordinate system is pushed, the placement loaded and then the master's
// base-point shift (symbPlacementXform). A new instance has colour 254: its
// members keep their own colours; any other colour draws every member in
// it. The type name is "symbol".
//
// Keys of messages 107 and 108: "origin" (the placement's translation, a
// work-plane point), "pt0" (the same, get only), "itemno", "quantity"
// (texts), "control-pts"/"xvis" (of gobject). Any other name that is not a
// gobject key names a parameter of the symbol: get answers its value; set
// (a number) keeps the value pending until message 320 makes the instance
// refer to the copy for the new values.
//
// The drawing file record: the gobject head, "Y16R" (the symbol reference
// and the placement), and from record level 1 on "SS" (item number and
// quantity); in files of level 0 and 1 a colour byte of 7 reads as 254.
#ifndef PLUMET_OBJECTS_INSTANC_H
#define PLUMET_OBJECTS_INSTANC_H

#include "objects/gobject.h"
#include "objects/objsend.h"
#include "objects/symb.h"

#include <cstdint>

struct feArgs;

struct instRec {
  gobjRec head;
  symbRec* symbol;         // one reference held, or null
  double placement[16];
  int32_t pendingCount;    // parameter values waiting for message 320
  symbParam* pending;
  char* itemNo;            // heap texts, or null
  char* quantity;
};

enum : uint8_t { instOwnColors = 254 };

// Registers "instanc2" under the given class ("contain"), its check list
// and the 4 operators. Later calls do nothing.
void instInit(uint16_t containClass);
uint16_t instClassId();
bool instIs(const void* object);
// The instance's symbol (copy or master), or null.
symbRec* instSymbol(const void* instance);

// A new instance (count 0) of master for the parameters (taken over) with
// the placement (null: the identity). *resolveAnswer (when given) gets the
// resolve result. Null for a null master.
gobjRec* instMake(symbRec* master, const double* matrix, int32_t count, symbParam* params, int* resolveAnswer);
// Calls callback for each member of the instance's symbol inside the
// placement (see above); every member with all set or while the instance
// shows its control points (0x0020), else members of line font 1 skipped.
int instEnumObjs(gobjRec* instance, objMemberFn callback, void* argument, int all);
// The box of the symbol's envelope mapped through the placement (the box
// of the 8 mapped corners); the zero box without a symbol. A record that
// is not an instance panics "instEnvelope called with bogus pointer".
void instEnvelope(gobjRec* instance, double out[6]);
// Brings the 16-bit box of the head up to date with the envelope; an
// instance in a document is marked changed instead (its sieve moves it).
void instUpdateBox(instRec* instance);

// Keys (instanc_attr.cpp).
int instGetAttr(instRec* instance, const feObject* key, feObject* out);
int instSetAttr(instRec* instance, const feObject* key, const feObject* value);
int instEnumKeys(instRec* instance, objKeyCallback callback, void* context);

// Parameter arrays of the scripts: pairs of a name (or string) and a
// number (or a length text). An odd last element is ignored, so the list
// has length / 2 entries. 0 with the list, 269 for a value that is not an
// array or a pair of the wrong types, or the length reader's failure.
int instParseParams(const feObject* array, int32_t* count, symbParam** params);

// Whether the last resolution made for an instance failed.
bool instLastResolveFailed();

// Operators (registered by instInit).
int instOpInstance(feArgs* args);   // aInstance, aInstance2
int instOpError(feArgs* args);
int instOpName(feArgs* args);

#endif
