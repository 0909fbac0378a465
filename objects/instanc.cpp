// The class "instanc2": creation, drawing inside the placement, the
// envelope, copying, transforms, the change that applies pending
// parameters, attaching to a document and the record.
#include "objects/instanc.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/matrix.h"
#include "draw/csys.h"
#include "draw/gx.h"
#include "fe/control.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "ui/achk.h"

#include <cstring>

namespace {

uint16_t instClass;
int32_t liveInstances;
bool lastResolveFailed;

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};


void mapPoint(const double* m, const double* p, double* out) {
  double r[3];
  for (int row = 0; row < 3; ++row) r[row] = m[4 * row] * p[0] + m[4 * row + 1] * p[1] + m[4 * row + 2] * p[2] + m[4 * row + 3];
  std::memcpy(out, r, sizeof r);
}

instRec* asInst(void* object) { return static_cast<instRec*>(object); }

// The placement followed by the base-point shift: the matrix members are
// drawn through.
void memberMatrix(const instRec* instance, double out[16]) {
  double shift[16];
  symbPlacementXform(instance->symbol, shift);
  matMulN(4, shift, instance->placement, out);
}

// Walls near the box are joined again at the next update; walls come with
// their own module, until then there is nothing to mark.
void markWalls(const instRec* instance) { (void)instance; }

int freeInstance(instRec* instance) {
  symbRelease(&instance->symbol);
  symbParamsFree(instance->pendingCount, &instance->pending);
  instance->pendingCount = 0;
  uFreeIfSet(&instance->itemNo);
  uFreeIfSet(&instance->quantity);
  --liveInstances;
  return objMeth(objSuperClass(instClass), msgFree, instance);
}

int newInstance(intptr_t slotWord) {
  auto** slot = reinterpret_cast<gobjRec**>(slotWord);
  const bool made = slot && !*slot;
  const int answer = gobjNewAs(instClass, sizeof(instRec), slotWord);
  if (!slot || !*slot) return answer < 0 ? answer : -1;
  if (made) ++liveInstances;
  auto* instance = reinterpret_cast<instRec*>(*slot);
  std::memcpy(instance->placement, kIdentity, sizeof kIdentity);
  instance->head.color = instOwnColors;
  return answer;
}

int drawMember(gobjRec* member, void*) {
  if (!(member->flags & gobjHidden)) objMeth(member->classId, msgDraw, member);
  return 0;
}

int draw(instRec* instance, intptr_t a, intptr_t b, intptr_t c) {
  const int answer = objMeth(objSuperClass(instClass), msgDraw, instance, a, b, c);
  // A colour of its own (not 254) draws every member in it.
  const bool override = gxGetColor() != instOwnColors;
  if (override) gxColorOverrideRaise();
  instEnumObjs(&instance->head, drawMember, nullptr, 0);
  if (override) gxColorOverrideLower();
  return answer;
}

int copy(instRec* instance, intptr_t a, intptr_t b, intptr_t c) {
  const int answer = objMeth(objSuperClass(instClass), msgCopy, instance, a, b, c);
  auto** slot = reinterpret_cast<gobjRec**>(a);
  if (answer != 0 || !slot || !*slot || !instIs(*slot)) return answer;
  instRec* twin = asInst(*slot);
  if (twin->symbol != instance->symbol) {
    symbRelease(&twin->symbol);
    symbRetain(instance->symbol);
    twin->symbol = instance->symbol;
  }
  std::memcpy(twin->placement, instance->placement, sizeof twin->placement);
  instUpdateBox(twin);
  return 0;
}

// 321: the given transform applies after the placement, as it would to any
// other object's points.
int transform(instRec* instance, const double* matrix, gobjRec** slot) {
  if (matrix) matMulN(4, instance->placement, matrix, instance->placement);
  instUpdateBox(instance);
  if (slot) *slot = &instance->head;
  return 0;
}

int changed(instRec* instance) {
  markWalls(instance);
  if (instance->pendingCount > 0 && instance->pending) {
    const char* name = "";
    symbInfo(instance->symbol, &name, nullptr, nullptr);
    symbRec* master = symbFind(name, int32_t(std::strlen(name)), 0);
    if (!master) {
      uAlert(0, "WCannot find symbol master [^0]", name);
    } else {
      symbParam* pending = instance->pending;
      const int32_t count = instance->pendingCount;
      instance->pending = nullptr;
      instance->pendingCount = 0;
      lastResolveFailed = symbCopyFor(master, count, pending, &instance->symbol) != 0;
    }
  }
  if (lastResolveFailed) uAlert(0, "TFailed to resolve symbol", nullptr);
  instUpdateBox(instance);
  return objMeth(objSuperClass(instClass), msgChanged, instance);
}

struct VertexMap {
  objVertexFn callback;
  void* context;
  int number;
  double matrix[16];
};

int mapVertex(void* vertex, void* context, int) {
  auto* map = static_cast<VertexMap*>(context);
  double point[3];
  mapPoint(map->matrix, static_cast<const double*>(vertex), point);
  map->callback(point, map->context, map->number++);
  return 0;
}

int vertices(instRec* instance, objVertexFn callback, void* context, int first) {
  if (!callback || !instance->symbol) return first;
  VertexMap map{callback, context, first, {}};
  memberMatrix(instance, map.matrix);
  symbObjEnum(instance->symbol, [](gobjRec* member, void* c) {
    objEnumPoints(member, mapVertex, c, 0);
    return 0;
  }, &map, 1);
  return map.number;
}

int attach(instRec* instance, intptr_t a, intptr_t b, intptr_t c) {
  const int answer = objMeth(objSuperClass(instClass), msgAttach, instance, a, b, c);
  symbImport(&instance->symbol);
  instUpdateBox(instance);
  if (symbHasWalls(instance->symbol)) markWalls(instance);
  return answer;
}

int recordIO(instRec* instance, ioCtx* ctx, intptr_t slotWord) {
  const int level = ioTypeMap(ctx, instClass, 2);
  const int head = objMeth(objSuperClass(instClass), msgIO, instance, reinterpret_cast<intptr_t>(ctx), slotWord);
  if (head < 0) return head;
  if (ctx->mode == 'r' && level < 2 && instance->head.color == 7) instance->head.color = instOwnColors;
  // "Y16R", one letter at a time: Y is a defined letter.
  if (ioFormat(ctx, "Y", &instance->symbol) < 0 || ioFormat(ctx, "16R", instance->placement) < 0) return -1;
  if (level >= 1 && ioFormat(ctx, "SS", &instance->itemNo, &instance->quantity) < 0) return -1;
  if (ctx->mode == 'r') {
    if (!instance->symbol) return -1;
    instUpdateBox(instance);
  }
  return 0;
}

int typeName(intptr_t out) {
  if (out) *reinterpret_cast<const char**>(out) = "symbol";
  return 0;
}

int instHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  instRec* instance = asInst(object);
  switch (message) {
    case msgFree: return freeInstance(instance);
    case msgGetAttr: return instGetAttr(instance, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return instSetAttr(instance, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgNew: return newInstance(a);
    case msgDraw: return draw(instance, a, b, c);
    case msgExtents:
      if (!a) return -1;
      instEnvelope(&instance->head, reinterpret_cast<double*>(a));
      return 0;
    case msgIO: return recordIO(instance, reinterpret_cast<ioCtx*>(a), b);
    case msgCopy: return copy(instance, a, b, c);
    case msgChanged: return changed(instance);
    case msgXform: return transform(instance, reinterpret_cast<const double*>(a), reinterpret_cast<gobjRec**>(b));
    case msgEnumVertices: return vertices(instance, reinterpret_cast<objVertexFn>(a), reinterpret_cast<void*>(b), int(c));
    case msgEnumMembers: return instEnumObjs(&instance->head, reinterpret_cast<objMemberFn>(a), reinterpret_cast<void*>(b), 0);
    case msgAttach: return attach(instance, a, b, c);
    case msgDetach:
      if (symbHasWalls(instance->symbol)) markWalls(instance);
      return objMeth(objSuperClass(instClass), message, object, a, b, c);
    case msgTypeName: return typeName(a);
    case msgEnumKeys: return instEnumKeys(instance, reinterpret_cast<objKeyCallback>(a), reinterpret_cast<void*>(b));
    default: return objMeth(objSuperClass(instClass), message, object, a, b, c);
  }
}

const feOpSpec kOps[] = {
    {"aInstance", instOpInstance, "OS AP{3D} A{3D}#Q/array name loc dir # group/"},
    {"aInstance2", instOpInstance, "OSPP#Q/array name # group/"},
    {"aInstanceError", instOpError, "!#B/- # bool/"},
    {"aInstanceName", instOpName, "Q[instanc2]#O"},
};

}  // namespace

void instInit(uint16_t containClass) {
  if (instClass) return;
  instClass = objClassRegister("instanc2", containClass, instHandler);
  allocInfoRegister("instance", &liveInstances, uint32_t(sizeof(instRec)));
  feOpSpecRegisterAll(kOps);
}

uint16_t instClassId() { return instClass; }

bool instIs(const void* object) {
  return object && instClass && static_cast<const gobjRec*>(object)->classId == instClass;
}

symbRec* instSymbol(const void* instance) {
  return instIs(instance) ? static_cast<const instRec*>(instance)->symbol : nullptr;
}

bool instLastResolveFailed() { return lastResolveFailed; }

gobjRec* instMake(symbRec* master, const double* matrix, int32_t count, symbParam* params, int* resolveAnswer) {
  if (!master) {
    symbParamsFree(count, &params);
    return nullptr;
  }
  gobjRec* object = objNew(instClass);
  if (!object) {
    symbParamsFree(count, &params);
    return nullptr;
  }
  instRec* instance = asInst(object);
  const int answer = symbCopyFor(master, count, params, &instance->symbol);
  lastResolveFailed = answer != 0;
  if (resolveAnswer) *resolveAnswer = answer;
  if (matrix) std::memcpy(instance->placement, matrix, sizeof instance->placement);
  instUpdateBox(instance);
  return object;
}

int instEnumObjs(gobjRec* object, objMemberFn callback, void* argument, int all) {
  if (!instIs(object) || !callback) return -1;
  instRec* instance = asInst(object);
  if (!instance->symbol) return 0;
  double matrix[16];
  memberMatrix(instance, matrix);
  const bool pushed = csysPush() == 0;
  if (pushed) csysLoad(matrix);
  symbObjEnum(instance->symbol, callback, argument, all || (object->flags & gobjControlPts));
  if (pushed) csysPop();
  return 0;
}

void instEnvelope(gobjRec* object, double out[6]) {
  std::memset(out, 0, 6 * sizeof(double));
  if (!instIs(object)) {
    dbgPanic("instEnvelope called with bogus pointer");
    return;
  }
  instRec* instance = asInst(object);
  if (!instance->symbol) return;
  double box[6];
  symbEnvelope(instance->symbol, box);
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]};
    double q[3];
    mapPoint(instance->placement, p, q);
    for (int i = 0; i < 3; ++i) {
      if (corner == 0 || q[i] < out[i]) out[i] = q[i];
      if (corner == 0 || q[i] > out[i + 3]) out[i + 3] = q[i];
    }
  }
}

void instUpdateBox(instRec* instance) {
  // In a document the box is the sieve's key: the instance is marked
  // changed instead, and the re-sort (message 320) takes it out by its old
  // box and enters it by the new one.
  if (instance->head.flags & gobjInSieve) {
    instance->head.flags |= gobjChanged;
    return;
  }
  double box[6];
  instEnvelope(&instance->head, box);
  bboxFromCorners(box, box + 3, instance->head.box);
}
