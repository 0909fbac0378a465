// The class registry and the message send.
//
// Program objects are records whose first field is a 16-bit class id. Each
// class has a name of up to 8 significant characters, a superclass and one
// message handler. objMeth(classId, message, object, a, b, c) calls the
// class's handler; a handler answers the messages it knows and passes every
// other one on with objMeth(objSuperClass(itsClassId), ...), so a message
// climbs the chain until a class handles it or the root "class" (id 0)
// answers -303 (not handled). Ids are given in registration order and entries
// are never removed.
#ifndef PLUMET_CORE_CLASSES_H
#define PLUMET_CORE_CLASSES_H

#include <cstdint>

typedef int (*objHandler)(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

// One entry of the class table.
struct objClassRec {
  uint16_t tag;         // copied from the registry when made; another value marks a bad entry
  char name[8];         // not terminated when all 8 characters are used
  uint16_t superclass;
  uint16_t previous;    // the class registered before this one (the name chain)
  objHandler handler;
};

enum {
  objNotHandled = -303,  // no class of the chain handles the message
  objBadClass = -302,    // the class id names no valid entry
};

// Registers a class and answers its id. A name already registered (same
// first 8 characters) keeps its id, superclass and chain link and gets the
// new handler. A null handler takes the handler of superclassId's entry. A
// superclass id that is not registered is reported and read as 0. When all
// 65536 ids are taken the registration is refused with a panic and answers
// 0. Creates the registry with the root "class" on first use.
uint16_t objClassRegister(const char* name, uint16_t superclassId, objHandler handler);

// Creates the registry and registers "class" (id 0) when not done yet, then
// calls the root hook.
void objClassInit();

// Called each time objClassInit has made the root "class". The registry sits
// below the interpreter: the layer above sets this hook to register the
// script operator that asks objInClass (aObjInClass), so the operator comes
// with the registry. Null, the default, calls nothing.
typedef void (*objRootHook)();
void objSetRootHook(objRootHook hook);

// The root's handler: -303 for every message.
int objRootHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

// Answers the next free id and raises the count, growing the table by 16
// entries when full (with the panic "too many classes (>%d)" above 30000
// classes, growing all the same). Answers -1 with a panic when no 16-bit id
// is left.
int objClassGrow();

// Sends a message. Id 0 answers -303 without calling anything; an id at or
// above the class count or an entry with a bad tag answers -302 with the
// panic "[objMeth] Class=%d: bad Class\n".
int objMeth(uint16_t classId, int message, void* object, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0);

// The superclass id (0 for an id that is not registered).
uint16_t objSuperClass(uint16_t classId);

// The newest class whose name equals name in its first 8 characters, or 0
// when none does. The root "class" is never found, so an unknown name reads
// as the root.
uint16_t objClassByName(const char* name);

// 1 when the object's class or one of its superclasses is named name (8
// characters; the root is not compared), 0 when none is, when the object's
// class id is 0 or when object is null. When an entry on the way is bad, the
// chain is logged ("Class: %d %.8s\n" per class), the alert "TBad object in
// objInClass" is shown and -302 answered.
int objInClass(const void* object, const char* name);

// Copies the object's class name into buffer: at most size - 1 and never
// more than 8 characters, then a terminator. Answers buffer. An object whose
// class is not registered gives "".
char* objClassName(const void* object, int size, char* buffer);

// -1 for a null object, -2 for class id 0, -3 for an id not below the class
// count, 0 otherwise.
int objValidate(const void* object);

// The number of classes (ids 0 to count - 1).
uint32_t objClassCount();

// The entry of a registered id, or null. The address is valid until the
// next registration.
const objClassRec* objClassEntry(uint16_t id);

#endif
