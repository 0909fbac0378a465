// The send routines: one small function per object message, through which
// the rest of the program talks to drawing objects. Each sends its message
// to the object's own class and answers as the message does unless said
// otherwise (objects/objmsg.h has the messages and their arguments).
//
// objNew and objRelease are in objects/gobject.h, objPutAttr in
// objects/objrecord.h.
#ifndef PLUMET_OBJECTS_OBJSEND_H
#define PLUMET_OBJECTS_OBJSEND_H

#include "objects/gobject.h"
#include "objects/ioctx.h"

#include <cstdint>
#include <cstring>

struct feObject;
struct glist;

// The callbacks of the enumerating messages.
typedef int (*objMemberFn)(gobjRec* member, void* context);           // 325
typedef int (*objVertexFn)(void* vertex, void* context, int number);   // 323, 334, 356
typedef void (*objPointFn)(const double* point, void* context);       // 337

// Packed messages (337, 349, 350, 351) carry one argument: the address of
// five words. A double travels in one word as its bit pattern.
inline intptr_t objWordOfDouble(double value) {
  intptr_t w = 0;
  static_assert(sizeof w >= sizeof value);
  std::memcpy(&w, &value, sizeof value);
  return w;
}
inline double objDoubleOfWord(intptr_t w) {
  double value;
  std::memcpy(&value, &w, sizeof value);
  return value;
}

// 313: a new copy, or null.
gobjRec* objDuplicate(gobjRec* object);
// 313: a copy into *slot (made when the slot is empty).
int objCopyInto(gobjRec* object, gobjRec** slot);
// 313 then 321 (mode -1): a copy transformed by matrix (16 doubles) in *out.
// When the transform put another object in place of the copy, the copy is
// freed unless something holds it. -1 when no copy was made, -2 when the
// transform left none; else 0.
int objCopyWith(gobjRec* object, const double* matrix, gobjRec** out);
// 321: the result (the object or a replacement) goes into *slot.
int objTransform(gobjRec* object, const double* matrix, gobjRec** slot, int mode);
// 325: callback(member, context) for each member of a composite.
int objEnumMembers(gobjRec* object, objMemberFn callback, void* context);
// 327: true when the answer is 1.
bool objIsContainer(gobjRec* object);
int objSend358(gobjRec* object, intptr_t a, intptr_t b);
// 344: inserts into the current document; -4100 for a null object.
int objInsert(gobjRec* object);
// 312: reads or writes the object's record; *slot holds the object and may
// get a replacement while reading.
int objSerialize(gobjRec* object, ioCtx* ctx, gobjRec** slot);
// 328 as the selection tools use it: mode 0 deselects a selected object; 1
// selects one that is not selected and neither hidden (0x0200) nor
// unselectable (0x4000); 2 toggles, selecting only when not blocked; other
// modes toggle. Answers 0 when nothing was to be done.
int objSelect(gobjRec* object, int mode);
// 404 into *out; a class that does not answer 0 gets the hash of the box:
// 1693 b0 + 2017 b1 + 701 b2 + 4327 b3 + 5639 b4 + 1327 b5 over the six
// sign-extended box words, wrapping at 32 bits. Answers 0.
int objSignature(gobjRec* object, int32_t* out);
// 329 with the box (six compact words): 3 when the object lies inside.
int objBoxTest(gobjRec* object, const int16_t* box);
// 330: sets or clears the point-selected state of points.
int objSelectPoints(gobjRec* object, intptr_t a, intptr_t b, intptr_t c);
int objSend331(gobjRec* object, intptr_t a, intptr_t b, intptr_t c);
// 332: moves only the selected points (a: displacement or matrix, b: mode).
int objMoveSelPoints(gobjRec* object, intptr_t a, intptr_t b, intptr_t c);
// 333: transforms the object in place.
int objXformInPlace(gobjRec* object, const double* matrix, int mode);
// 334: callback for each selected vertex.
int objEnumSelPoints(gobjRec* object, objVertexFn callback, void* context, intptr_t c);
// 335, 336: bracket an interactive edit (336 may put a replacement in *slot).
int objEditBegin(gobjRec* object, const double* point);
int objEditEnd(gobjRec* object, gobjRec** slot);
// 338: the group of the object's parts.
int objParts(gobjRec* object, glist** out);
// 347: the type name, translated; "???" when the class gives none.
int objTypeName(gobjRec* object, const char** out);
// 320, then clears flag 0x0100. With queue set the object is queued for
// redrawing (once the redraw lists exist).
int objChanged(gobjRec* object, int queue);
// 323: callback(vertex, context, number) for each defining point from
// number first on; answers the next number.
int objEnumPoints(gobjRec* object, objVertexFn callback, void* context, int first);
int objSend356(gobjRec* object, intptr_t a, intptr_t b, intptr_t c);
// 324: relinks the object's vertex slots.
int objFollowVertices(gobjRec* object, intptr_t argument);
// 306: the extents as two 3-D corners (six doubles).
int objGetExtents(gobjRec* object, double* corners);
// 337, packed as (tolerance, 0, start, next, context): the object as
// polylines flattened to the tolerance; start gets the first point of each
// polyline, next every further point.
int objEnum(gobjRec* object, double tolerance, objPointFn start, objPointFn next, void* context);
// objEnum inside a pushed coordinate system reset to the identity
// (draw/csys.h): each point is mapped through the current transform of
// the moment, so the callbacks see the points of composites' members and of
// curves flattened in their own frames in the object's coordinates.
int objEnumCsys(gobjRec* object, double tolerance, objPointFn start, objPointFn next, void* context);
// 357: the spline form of a curve.
int objToSpline(gobjRec* object, intptr_t arguments, intptr_t out);
// 349, packed as (point, second point, out value, out nearest point, flag):
// > 0 a hit, 0 none, < 0 not handled.
int objHitTest(gobjRec* object, const double* point, const double* second, double* value, double* nearest,
               int flag);
// 350, 351: packed five words of the curve classes.
int objSend350(gobjRec* object, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4, intptr_t p5);
int objTangentPick(gobjRec* object, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4, intptr_t p5);
// 107: *out holds its own reference on success.
int objGetAttr(gobjRec* object, const feObject* key, feObject* out);
// One message 108 per key and value of a script dictionary: 269 when the
// argument is not a dictionary; a null object or a null value does nothing.
// Every entry is tried; answers the first failure, else 0.
int objPutAttrs(gobjRec* object, const feObject* dict);
// 303, not sent for hidden objects or objects of another model (owner set
// and not the current model); 0 then.
int objErase(gobjRec* object);

#endif
