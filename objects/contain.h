// Containers: graphic objects made of member objects. The abstract class
// "contain" (under "gobject") answers the geometric messages for every
// container by asking each member, through the member enumeration (message
// 325) that each concrete container answers (an instance inside its
// placement, a clump over its members):
//   306 extents     the box of the members' extents
//   318 nearest     the smallest squared distance of the members that
//                   answer (objects/nearcurve.h); the parameter is -1.0;
//                   -1 when no member answers
//   323 vertices    every member's vertices with one running number;
//                   answers the next number
//   327             1: the object is a container
//   329 box test    0 when some member answers 0, else 1 (so 1 without
//                   members): non-zero means inside
//   337 parts       the five-word record passed to every member
//   338 parts group a new group of copies of the members, each transformed
//                   by the current coordinate system
// Everything else goes to "gobject".
#ifndef PLUMET_OBJECTS_CONTAIN_H
#define PLUMET_OBJECTS_CONTAIN_H

#include <cstdint>

// Registers "contain" under the given class (gobject), then the instance
// class under it (objects/instanc.h), and answers the id of "contain".
// Later calls only answer the id.
uint16_t containInit(uint16_t parentClass);
uint16_t containClassId();
// The handler, for the containers registered under "contain".
int containHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

#endif
