// Shared by the picking tests: the layer fixture's document (with the
// layers "Layer1", ".temp" and "construction"), an identity view (screen
// coordinates are world x and y, the sieve searched by the screen box), and
// small classes: "tline" (a segment under "curve" that measures itself on
// the screen and records the pick tolerance it was asked with), "hatch" (a
// tline by another name) and "tbag" (a container of up to four members).
#ifndef PLUMET_TESTS_OBJECTS_NEAR_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_NEAR_FIXTURE_H

#include "core/matrix.h"
#include "draw/csys.h"
#include "draw/xforms.h"
#include "layer_fixture.h"
#include "objects/hitrad.h"
#include "objects/nearcurve.h"
#include "objects/nearprobe.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace nearfx {

struct tlineRec {
  gobjRec head;
  double p[2][3];
};

struct tbagRec {
  gobjRec head;
  gobjRec* members[4];
  int count;
};

struct Classes {
  uint16_t curve = 0, tline = 0, hatch = 0, tbag = 0;
  std::vector<double> tolerances;   // of every message 318 a tline answered
};
inline Classes& classes() {
  static Classes c;
  return c;
}

inline int curveHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  return objMeth(objSuperClass(classes().curve), message, object, a, b, c);
}

inline int tlineHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  Classes& k = classes();
  auto* line = static_cast<tlineRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(k.tline, sizeof(tlineRec), a);
    case msgExtents: {
      auto* box = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        box[i] = std::min(line->p[0][i], line->p[1][i]);
        box[3 + i] = std::max(line->p[0][i], line->p[1][i]);
      }
      return 0;
    }
    case msgNearest: {
      const auto* rec = reinterpret_cast<const crvNearRec*>(a);
      k.tolerances.push_back(rec->tolerance);
      double s[2][3];
      vwWorldToScreen(line->p[0], s[0]);
      vwWorldToScreen(line->p[1], s[1]);
      const double dx = s[1][0] - s[0][0], dy = s[1][1] - s[0][1];
      const double px = rec->point[0] - s[0][0], py = rec->point[1] - s[0][1];
      const double len = dx * dx + dy * dy;
      const double t = len > 0 ? std::clamp((px * dx + py * dy) / len, 0.0, 1.0) : 0.0;
      const double ex = px - t * dx, ey = py - t * dy;
      if (rec->outSquared) *rec->outSquared = ex * ex + ey * ey;
      if (rec->outParam) *rec->outParam = t;
      return 0;
    }
    case msgEvalAt: {
      const auto* rec = reinterpret_cast<const crvEvalRec*>(a);
      for (int i = 0; i < 3; ++i) rec->out[i] = line->p[0][i] + rec->t * (line->p[1][i] - line->p[0][i]);
      return 0;
    }
    case msgCopy: {
      const int answer = objMeth(objSuperClass(k.tline), message, object, a, b, c);
      if (answer == 0) std::copy(&line->p[0][0], &line->p[0][0] + 6, &reinterpret_cast<tlineRec*>(*reinterpret_cast<gobjRec**>(a))->p[0][0]);
      return answer;
    }
    case msgXform: {
      const auto* m = reinterpret_cast<const double*>(a);
      for (auto& p : line->p) aPtTransform(3, p, m, p);
      if (b) *reinterpret_cast<gobjRec**>(b) = &line->head;
      return 0;
    }
    default: break;
  }
  return objMeth(objSuperClass(k.tline), message, object, a, b, c);
}

inline int hatchHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(classes().hatch, sizeof(tlineRec), a);
  return tlineHandler(object, message, a, b, c);
}

inline int tbagHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  Classes& k = classes();
  auto* bag = static_cast<tbagRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(k.tbag, sizeof(tbagRec), a);
    case msgIsContainer: return 1;
    case msgEnumMembers: {
      auto callback = reinterpret_cast<objMemberFn>(a);
      for (int i = 0; i < bag->count; ++i) callback(bag->members[i], reinterpret_cast<void*>(b));
      return 0;
    }
    case msgExtents: {
      auto* box = reinterpret_cast<double*>(a);
      for (int i = 0; i < bag->count; ++i) {
        double m[6];
        objMeth(bag->members[i]->classId, msgExtents, bag->members[i], reinterpret_cast<intptr_t>(m));
        for (int k2 = 0; k2 < 3; ++k2) {
          box[k2] = i ? std::min(box[k2], m[k2]) : m[k2];
          box[3 + k2] = i ? std::max(box[3 + k2], m[3 + k2]) : m[3 + k2];
        }
      }
      return 0;
    }
    case msgFree:
      for (int i = 0; i < bag->count; ++i) objRelease(&bag->members[i]);
      break;
    default: break;
  }
  return objMeth(objSuperClass(k.tbag), message, object, a, b, c);
}

// The identity view: a stand-in record, and the sieve searched by the box of
// the pixel rectangle (a view along z).
inline viewRec* fakeView() {
  static double record[4];
  return reinterpret_cast<viewRec*>(record);
}
inline int identityMap(const int32_t* rect, sieveViewQuery* out) {
  out->axis = 2;
  out->corners[0][0] = rect[0];
  out->corners[0][1] = rect[1];
  out->corners[0][2] = 0;
  out->corners[1][0] = rect[2];
  out->corners[1][1] = rect[3];
  out->corners[1][2] = 0;
  return 0;
}

class NearTest : public layerfx::LayerTest {
protected:
  void SetUp() override {
    LayerTest::SetUp();
    Classes& k = classes();
    if (!k.tline) {
      k.curve = objClassByName("curve");
      if (!k.curve) k.curve = objClassRegister("curve", gobjClassId(), curveHandler);
      k.tline = objClassRegister("tline", k.curve, tlineHandler);
      k.hatch = objClassRegister("hatch", k.tline, hatchHandler);
      k.tbag = objClassRegister("tbag", gobjClassId(), tbagHandler);
    }
    k.tolerances.clear();
    if (!execfx::defined("aNearest")) nearInit();
    csysInit();
    vwViewHooks hooks{};
    hooks.curView = fakeView;
    vwSetViewHooks(&hooks);
    sieveSetViewMap(identityMap);
    doc.hitRadius = 12;
  }
  void TearDown() override {
    vwSetViewHooks(nullptr);
    sieveSetViewMap(nullptr);
    LayerTest::TearDown();
  }

  // A segment of the class (tline by default), not yet entered.
  static tlineRec* segment(double x0, double y0, double x1, double y1, uint16_t classId = 0) {
    auto* line = reinterpret_cast<tlineRec*>(objNew(classId ? classId : classes().tline));
    const double p[2][3] = {{x0, y0, 0}, {x1, y1, 0}};
    std::copy(&p[0][0], &p[0][0] + 6, &line->p[0][0]);
    return line;
  }
  // A segment entered in the document on the layer named.
  gobjRec* place(double x0, double y0, double x1, double y1, const char* layer = "Layer1", uint16_t classId = 0) {
    tlineRec* line = segment(x0, y0, x1, y1, classId);
    line->head.layer = uint8_t(number(layer));
    EXPECT_EQ(objInsert(&line->head), 0);
    return &line->head;
  }

  // The members of the group aNearest leaves for the keyed list (written
  // between the brackets); a failure is recorded and gives nothing.
  std::vector<gobjRec*> nearest(const std::string& keys) {
    std::vector<gobjRec*> members;
    if (run(("[" + keys + "] aNearest").c_str()) != 0) {
      ADD_FAILURE() << "aNearest failed for " << keys;
      return members;
    }
    feStack* operands = *feOperandStack();
    const feObject* top = feStackIndex(operands, 0);
    if (feType(top) == feTObject && grpIsGroup(top->w0.obj))
      grpForEach(static_cast<glist*>(top->w0.obj), sievefx::collect, &members);
    clearStack();
    return members;
  }
};

}  // namespace nearfx

#endif
