// The class "contain": the geometric messages of every container, answered
// by asking each member through the container's own enumeration (325).
#include "objects/contain.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "draw/csys.h"
#include "objects/group.h"
#include "objects/instanc.h"
#include "objects/nearcurve.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"

#include <cstring>
#include <limits>

namespace {

uint16_t containClass;

int extents(gobjRec* object, double* corners) {
  struct Box {
    bool any = false;
    double c[6] = {0, 0, 0, 0, 0, 0};
  } box;
  objEnumMembers(object, [](gobjRec* member, void* context) {
    auto* b = static_cast<Box*>(context);
    double c[6];
    if (objGetExtents(member, c) != 0) return 0;
    for (int i = 0; i < 3; ++i) {
      if (!b->any || c[i] < b->c[i]) b->c[i] = c[i];
      if (!b->any || c[i + 3] > b->c[i + 3]) b->c[i + 3] = c[i + 3];
    }
    b->any = true;
    return 0;
  }, &box);
  if (corners) std::memcpy(corners, box.c, sizeof box.c);
  return 0;
}

int nearest(gobjRec* object, crvNearRec* request) {
  if (!request) return -1;
  struct Best {
    const crvNearRec* request;
    bool any = false;
    double squared = std::numeric_limits<double>::max();
  } best{request};
  objEnumMembers(object, [](gobjRec* member, void* context) {
    auto* b = static_cast<Best*>(context);
    double squared = -1.0, param = -1.0;
    crvNearRec ask = *b->request;
    ask.outSquared = &squared;
    ask.outParam = &param;
    const int answer = objMeth(member->classId, msgNearest, member, reinterpret_cast<intptr_t>(&ask));
    if (answer < 0 || squared < 0) return 0;
    if (!b->any || squared < b->squared) b->squared = squared;
    b->any = true;
    return 0;
  }, &best);
  if (request->outParam) *request->outParam = -1.0;
  if (!best.any) return -1;
  if (request->outSquared) *request->outSquared = best.squared;
  return 0;
}

struct VertexWalk {
  objVertexFn callback;
  void* context;
  int number;
};

int vertices(gobjRec* object, objVertexFn callback, void* context, int first) {
  VertexWalk walk{callback, context, first};
  objEnumMembers(object, [](gobjRec* member, void* c) {
    auto* w = static_cast<VertexWalk*>(c);
    const int next = objEnumPoints(member, w->callback, w->context, w->number);
    if (next > w->number) w->number = next;
    return 0;
  }, &walk);
  return walk.number;
}

int boxTest(gobjRec* object, const int16_t* box) {
  struct Test {
    const int16_t* box;
    bool outside = false;
  } test{box};
  objEnumMembers(object, [](gobjRec* member, void* c) {
    auto* t = static_cast<Test*>(c);
    if (objBoxTest(member, t->box) == 0) {
      t->outside = true;
      return 1;
    }
    return 0;
  }, &test);
  return test.outside ? 0 : 1;
}

int enumParts(gobjRec* object, intptr_t block) {
  objEnumMembers(object, [](gobjRec* member, void* c) {
    objMeth(member->classId, msgEnum, member, reinterpret_cast<intptr_t>(c));
    return 0;
  }, reinterpret_cast<void*>(block));
  return 0;
}

// Copies of the members in the coordinates the enumeration gives them.
int parts(gobjRec* object, glist** out) {
  if (!out) return -1;
  grpBegin();
  objEnumMembers(object, [](gobjRec* member, void*) {
    gobjRec* copy = nullptr;
    if (objCopyWith(member, csysTransform(), &copy) == 0 && copy) grpAdd(copy);
    return 0;
  }, nullptr);
  *out = grpEnd();
  return 0;
}

}  // namespace

uint16_t containInit(uint16_t parentClass) {
  if (containClass) return containClass;
  containClass = objClassRegister("contain", parentClass, containHandler);
  instInit(containClass);
  return containClass;
}

uint16_t containClassId() { return containClass; }

int containHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* object = static_cast<gobjRec*>(record);
  switch (message) {
    case msgExtents: return extents(object, reinterpret_cast<double*>(a));
    case msgNearest: return nearest(object, reinterpret_cast<crvNearRec*>(a));
    case msgEnumVertices: return vertices(object, reinterpret_cast<objVertexFn>(a), reinterpret_cast<void*>(b), int(c));
    case msgIsContainer: return 1;
    case msgBoxTest: return boxTest(object, reinterpret_cast<const int16_t*>(b));
    case msgEnum: return enumParts(object, a);
    case msgParts: return parts(object, reinterpret_cast<glist**>(a));
    default: return objMeth(objSuperClass(containClass), message, record, a, b, c);
  }
}
