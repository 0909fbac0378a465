// Shared by the symbol and instance tests: the graphic-object fixture with
// a current document record (layer table, master list), "tcurv", a curve
// class with two points that travels through files, and a resolver that
// scales every tcurv member's x by the parameter "width" (and fails when a
// parameter "fail" is given).
#ifndef PLUMET_TESTS_OBJECTS_SYMB_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_SYMB_FIXTURE_H

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "core/text.h"
#include "gobject_fixture.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/instanc.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/numtbl.h"
#include "objects/symb.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace symbfx {

struct tcurvRec {
  gobjRec head;
  double pt[2][3];
};

struct Classes {
  uint16_t tcurv = 0;
  uint16_t tdim = 0;
  int resolves = 0;
};
inline Classes& classes() {
  static Classes c;
  return c;
}

inline int tcurvHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* seg = static_cast<tcurvRec*>(object);
  const uint16_t super = objSuperClass(classes().tcurv);
  switch (message) {
    case msgNew: return gobjNewAs(classes().tcurv, sizeof(tcurvRec), a);
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(seg->pt[0][i], seg->pt[1][i]);
        corners[3 + i] = std::max(seg->pt[0][i], seg->pt[1][i]);
      }
      return 0;
    }
    case msgIO: {
      const int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      return ioFormat(reinterpret_cast<ioCtx*>(a), "6d", &seg->pt[0][0]) < 0 ? -1 : 0;
    }
    case msgCopy: {
      const int answer = objMeth(super, message, object, a, b, c);
      auto** out = reinterpret_cast<gobjRec**>(a);
      if (answer == 0 && *out) std::memcpy(reinterpret_cast<tcurvRec*>(*out)->pt, seg->pt, sizeof seg->pt);
      return answer;
    }
    case msgXform: {
      const auto* m = reinterpret_cast<const double*>(a);
      for (auto& p : seg->pt) {
        double q[3];
        for (int r = 0; r < 3; ++r) q[r] = m[4 * r] * p[0] + m[4 * r + 1] * p[1] + m[4 * r + 2] * p[2] + m[4 * r + 3];
        std::memcpy(p, q, sizeof q);
      }
      if (b) *reinterpret_cast<gobjRec**>(b) = &seg->head;
      return 0;
    }
    case msgEnumVertices: {
      auto callback = reinterpret_cast<objVertexFn>(a);
      int number = int(c);
      for (auto& p : seg->pt) callback(p, reinterpret_cast<void*>(b), number++);
      return number;
    }
    default: break;
  }
  return objMeth(super, message, object, a, b, c);
}

inline int tdimHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(classes().tdim, sizeof(gobjRec), a);
  return objMeth(objSuperClass(classes().tdim), message, object, a, b, c);
}

inline int scaleByWidth(glist* group, int32_t count, const symbParam* params) {
  ++classes().resolves;
  double width = 1;
  for (int32_t i = 0; i < count; ++i) {
    if (std::strcmp(params[i].name, "fail") == 0) return 1;
    if (std::strcmp(params[i].name, "width") == 0) width = params[i].value;
  }
  grpForEach(group, [](gobjRec* member, void* context) {
    if (member->classId != classes().tcurv) return 0;
    auto* seg = reinterpret_cast<tcurvRec*>(member);
    for (auto& p : seg->pt) p[0] *= *static_cast<double*>(context);
    return 0;
  }, &width);
  return 0;
}

inline int noRefPoint(double, double, double) { return 0; }

class SymbTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    if (!execfx::defined("aLayer")) layerInit();
    // Groups and their format letter G.
    grpInit();
    // Suites that test the drawing file alone take the module hooks out.
    ioSetSegmentHook(ioWordSymbols, symbIO);
    Classes& c = classes();
    uint16_t curve = objClassByName("curve");
    if (!curve) curve = objClassRegister("curve", gobjClassId(), nullptr);
    uint16_t dimen = objClassByName("dimen");
    if (!dimen) dimen = objClassRegister("dimen", gobjClassId(), nullptr);
    if (!c.tcurv) c.tcurv = objClassRegister("tcurv", curve, tcurvHandler);
    if (!c.tdim) c.tdim = objClassRegister("tdim", dimen, tdimHandler);
    c.resolves = 0;
    static const symbResolver resolver{scaleByWidth, noRefPoint, nullptr};
    symbSetResolver(&resolver);
    open(doc);
  }
  void TearDown() override {
    for (glist* group : groups) grpRelease(&group);
    groups.clear();
    for (gobjRec*& object : objects) objRelease(&object);
    objects.clear();
    close(other);
    close(doc);
    symbSetResolver(nullptr);
    GobjTest::TearDown();
  }

  static void open(dbDocRec& record) {
    record = dbDocRec{};
    record.docId = 1;
    record.idCounter = 1;
    record.layers = layerTblNew(1);
    dbSetCurrentDoc(&record);
  }
  static void close(dbDocRec& record) {
    if (!record.layers) return;
    symbFreeList(&record);
    dbSetCurrentDoc(&record);
    tblFree(&record.layers);
    dbSetCurrentDoc(nullptr);
  }

  // A new tcurv from a to b, held until the test ends.
  gobjRec* curve(std::vector<double> a, std::vector<double> b) {
    gobjRec* object = objNew(classes().tcurv);
    auto* seg = reinterpret_cast<tcurvRec*>(object);
    std::memcpy(seg->pt[0], a.data(), 3 * sizeof(double));
    std::memcpy(seg->pt[1], b.data(), 3 * sizeof(double));
    return hold(object);
  }
  gobjRec* hold(gobjRec* object) {
    objRetain(object);
    objects.push_back(object);
    return object;
  }
  // A group of the objects, held until the test ends.
  glist* group(std::vector<gobjRec*> members) {
    grpBegin();
    for (gobjRec* member : members) grpAdd(member);
    glist* g = grpEnd();
    grpRetain(g);
    groups.push_back(g);
    return g;
  }
  // Defines the named master from the objects.
  symbRec* define(const char* name, std::vector<gobjRec*> members, int* answer = nullptr) {
    symbRec* master = symbFind(name, int32_t(std::strlen(name)), 0);
    const int rc = symbDefine(group(members), name, int32_t(std::strlen(name)), nullptr, &master);
    if (answer) *answer = rc;
    return master;
  }
  // An instance of the master for the parameters, held until the test ends.
  instRec* place(symbRec* master, std::vector<std::pair<std::string, double>> values = {},
                 const double* matrix = nullptr) {
    symbParam* params = nullptr;
    if (!values.empty()) {
      uAlloc(&params, nullptr, uint32_t(values.size()), sizeof(symbParam));
      for (size_t i = 0; i < values.size(); ++i) {
        params[i].name = uStrDup(values[i].first.data(), uint32_t(values[i].first.size()), nullptr);
        params[i].value = values[i].second;
      }
    }
    gobjRec* object = instMake(master, matrix, int32_t(values.size()), params, nullptr);
    return reinterpret_cast<instRec*>(hold(object));
  }

  static std::vector<std::string> names(const dbDocRec& record) {
    std::vector<std::string> list;
    for (const symbRec* m = record.symbols; m; m = m->next) list.emplace_back(m->name);
    return list;
  }
  static int32_t members(const symbRec* symbol) {
    int32_t n = 0;
    grpCount(symbol->members, &n);
    return n;
  }
  static tcurvRec* firstCurve(const symbRec* symbol) { return reinterpret_cast<tcurvRec*>(grpFirst(symbol->members)); }

  dbDocRec doc{};
  dbDocRec other{};
  std::vector<gobjRec*> objects;
  std::vector<glist*> groups;
};

}  // namespace symbfx

#endif
