// The send routines of the object messages.
#include "objects/objsend.h"
#include "objects/update.h"

#include "core/classes.h"
#include "core/errors.h"
#include "core/matrix.h"
#include "core/xlate.h"
#include "draw/csys.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/objmsg.h"
#include "ui/achk.h"

namespace {

enum { kBadArg = -4100 };

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }
template <typename F>
intptr_t fnWord(F* f) { return reinterpret_cast<intptr_t>(reinterpret_cast<void*>(f)); }

int send(gobjRec* object, int message, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0) {
  return objMeth(object->classId, message, object, a, b, c);
}

int sendPacked(gobjRec* object, int message, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4, intptr_t p5) {
  intptr_t block[5] = {p1, p2, p3, p4, p5};
  return send(object, message, word(block));
}

int putOne(void* context, const feObject* key, const feObject* value, void* argument) {
  auto* object = static_cast<gobjRec*>(context);
  auto* first = static_cast<int*>(argument);
  const int answer = send(object, msgSetAttr, word(key), word(value));
  if (answer != 0 && *first == 0) *first = answer;
  return 0;
}

}  // namespace

gobjRec* objDuplicate(gobjRec* object) {
  gobjRec* copy = nullptr;
  objCopyInto(object, &copy);
  return copy;
}

int objCopyInto(gobjRec* object, gobjRec** slot) { return send(object, msgCopy, word(slot)); }

int objCopyWith(gobjRec* object, const double* matrix, gobjRec** out) {
  gobjRec* copy = nullptr;
  objCopyInto(object, &copy);
  if (!copy) return -1;
  gobjRec* result = copy;
  objTransform(copy, matrix, &result, -1);
  if (result != copy && copy->refCount == 0) objFree(copy);
  if (!result) return -2;
  *out = result;
  return 0;
}

int objTransform(gobjRec* object, const double* matrix, gobjRec** slot, int mode) {
  return send(object, msgXform, word(matrix), word(slot), mode);
}

int objEnumMembers(gobjRec* object, objMemberFn callback, void* context) {
  return send(object, msgEnumMembers, fnWord(callback), word(context));
}

bool objIsContainer(gobjRec* object) { return send(object, msgIsContainer) == 1; }

int objSend358(gobjRec* object, intptr_t a, intptr_t b) { return send(object, msgSurf358, a, b); }

int objInsert(gobjRec* object) { return object ? send(object, msgAttach) : kBadArg; }

int objSerialize(gobjRec* object, ioCtx* ctx, gobjRec** slot) { return send(object, msgIO, word(ctx), word(slot)); }

int objSelect(gobjRec* object, int mode) {
  const bool selected = (object->flags & gobjSelected) != 0;
  const bool blocked = (object->flags & (gobjHidden | gobjNoSelect)) != 0;
  int request = mode;  // other modes toggle unconditionally
  if (mode == 0 || mode == 1 || mode == 2) {
    const bool want = mode == 1 || (mode == 2 && !selected);
    if (want == selected || (want && blocked)) return 0;
    request = want ? 1 : 0;
  }
  // The selection cache is reset here (unless selection changes are held)
  // once the selection exists; a ".temp" object that ends up deselected is
  // then deleted, held by a reference of its own while that happens.
  return send(object, msgSelect, request);
}

int objSignature(gobjRec* object, int32_t* out) {
  if (send(object, msgSignature, word(out)) == 0) return 0;
  static const uint32_t weights[6] = {1693, 2017, 701, 4327, 5639, 1327};
  uint32_t sum = 0;
  for (int i = 0; i < 6; ++i) sum += weights[i] * uint32_t(int32_t(object->box[i]));
  *out = int32_t(sum);
  return 0;
}

int objBoxTest(gobjRec* object, const int16_t* box) { return send(object, msgBoxTest, 0, word(box)); }

int objSelectPoints(gobjRec* object, intptr_t a, intptr_t b, intptr_t c) {
  // The drawing colour (the document's select colour, or the object's own
  // while the select-by-colour display is off) is set here once the drawing
  // layer exists.
  return send(object, msgPtSelSet, a, b, c);
}

int objSend331(gobjRec* object, intptr_t a, intptr_t b, intptr_t c) { return send(object, msgPtSelIndex, a, b, c); }

int objMoveSelPoints(gobjRec* object, intptr_t a, intptr_t b, intptr_t c) {
  return send(object, msgPtSelXform, a, b, c);
}

int objXformInPlace(gobjRec* object, const double* matrix, int mode) {
  return send(object, msgXformInPlace, word(matrix), mode);
}

int objEnumSelPoints(gobjRec* object, objVertexFn callback, void* context, intptr_t c) {
  return send(object, msgPtSelEnum, fnWord(callback), word(context), c);
}

int objEditBegin(gobjRec* object, const double* point) { return send(object, msgEditStart, word(point)); }

int objEditEnd(gobjRec* object, gobjRec** slot) { return send(object, msgEditEnd, word(slot)); }

int objParts(gobjRec* object, glist** out) { return send(object, msgParts, word(out)); }

int objTypeName(gobjRec* object, const char** out) {
  *out = "???";
  const int answer = send(object, msgTypeName, word(out));
  xlateStr(0, *out, out);
  return answer;
}

int objChanged(gobjRec* object, int queue) {
  const int answer = send(object, msgChanged);
  if (queue) objUpdateQueue(object);
  object->flags &= uint16_t(~gobjChanged);
  return answer;
}

int objEnumPoints(gobjRec* object, objVertexFn callback, void* context, int first) {
  return send(object, msgEnumVertices, fnWord(callback), word(context), first);
}

int objSend356(gobjRec* object, intptr_t a, intptr_t b, intptr_t c) { return send(object, msgEnumVertices2, a, b, c); }

int objFollowVertices(gobjRec* object, intptr_t argument) { return send(object, msgRelink, argument); }

int objGetExtents(gobjRec* object, double* corners) { return send(object, msgExtents, word(corners)); }

int objEnum(gobjRec* object, double tolerance, objPointFn start, objPointFn next, void* context) {
  return sendPacked(object, msgEnum, objWordOfDouble(tolerance), 0, fnWord(start), fnWord(next), word(context));
}

namespace {

struct csysEnumCtx {
  objPointFn start, next;
  void* context;
};

void csysMapped(objPointFn callback, const double* point, void* context) {
  double mapped[3];
  aPtTransform(3, point, csysTransform(), mapped);
  callback(mapped, context);
}
void csysEnumStart(const double* point, void* context) {
  auto* c = static_cast<csysEnumCtx*>(context);
  csysMapped(c->start, point, c->context);
}
void csysEnumNext(const double* point, void* context) {
  auto* c = static_cast<csysEnumCtx*>(context);
  csysMapped(c->next, point, c->context);
}

}  // namespace

int objEnumCsys(gobjRec* object, double tolerance, objPointFn start, objPointFn next, void* context) {
  csysEnumCtx mapped = {start, next, context};
  csysPush();
  csysReset();
  const int answer = objEnum(object, tolerance, start ? csysEnumStart : nullptr, next ? csysEnumNext : nullptr,
                             &mapped);
  csysPop();
  return answer;
}

int objToSpline(gobjRec* object, intptr_t arguments, intptr_t out) { return send(object, msgToSpline, arguments, out); }

int objHitTest(gobjRec* object, const double* point, const double* second, double* value, double* nearest,
               int flag) {
  return sendPacked(object, msgHitTest, word(point), word(second), word(value), word(nearest), flag);
}

int objSend350(gobjRec* object, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4, intptr_t p5) {
  return sendPacked(object, msgCurve350, p1, p2, p3, p4, p5);
}

int objTangentPick(gobjRec* object, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4, intptr_t p5) {
  return sendPacked(object, msgTangentPick, p1, p2, p3, p4, p5);
}

int objGetAttr(gobjRec* object, const feObject* key, feObject* out) {
  return send(object, msgGetAttr, word(key), word(out));
}

int objPutAttrs(gobjRec* object, const feObject* dict) {
  if (!object || !dict || feType(dict) == feTNull) return 0;
  if (feType(dict) != feTDict) return feErrTypeCheck;
  int first = 0;
  uiDictForEach(dict, putOne, object, &first);
  return first;
}

int objErase(gobjRec* object) {
  if (object->flags & gobjHidden) return 0;
  const dbDocRec* doc = dbCurrentDoc();
  const uint8_t model = doc ? doc->currentModel : 0;
  if (object->owner != 0 && object->owner != model) return 0;
  return send(object, msgErase);
}
