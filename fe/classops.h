// The script operator over the class registry (core/classes.h):
//   aObjInClass "!QS#B"  object, class name -> true when the object's class
//                        or one of its superclasses has that name (first 8
//                        characters), else false
// The registry cannot register operators itself, so it calls back through
// its root hook when it makes the root "class"; feClassOpsRegister is that
// hook (set by the program's start, app/hooks.cpp).
#ifndef PLUMET_FE_CLASSOPS_H
#define PLUMET_FE_CLASSOPS_H

// Registers aObjInClass in systemdict. Without a running interpreter (no
// systemdict yet) there is nowhere to put it and nothing happens.
void feClassOpsRegister();

#endif
