// Shared by the tests of the group editing operators: a current document
// with a sieve (the sieve fixture), the general object operators
// registered, and "tcrv", a straight segment under "curve" with the points
// "pt0" and "pt1" that answers what the operators ask of curves: its box
// (306) and the box of a piece (304), copy (313), transform (321, or a
// replacement object when told), a new length (316), its parts (338: its
// two halves, when told), the duplicate test (703), the clean-up key and
// merge (411, 410). Segments are given as two points and read back as
// their "x0 y0 z0 x1 y1 z1" text.
#ifndef PLUMET_TESTS_OBJECTS_GRPEDIT_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_GRPEDIT_FIXTURE_H

#include "core/matrix.h"
#include "draw/csys.h"
#include "fe/stack.h"
#include "objects/groupops.h"
#include "objects/grpedit.h"
#include "objects/layer.h"
#include "objects/objops.h"
#include "objects/objrecord.h"
#include "sieve_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace grpeditfx {

struct tcrvRec {
  gobjRec head;
  double pt[2][3];
};

struct Crv {
  uint16_t curve = 0, tcrv = 0;
  std::map<int, int> sent;
  bool replaceOnXform = false;   // 321 answers a new, moved segment
  bool hasParts = false;         // 338 answers the two halves
  bool noKey = false;            // 411 answers the key 0
  int freed = 0;
  std::vector<int> xformModes;   // the clean-up mode at each 321
};
inline Crv& crv() {
  static Crv c;
  return c;
}

// After the points changed: an object in a document is marked changed, so
// that message 320 moves it in the sieve (which finds it by its old box).
inline void updateBox(tcrvRec* s) {
  if (s->head.flags & gobjInSieve) s->head.flags |= gobjChanged;
  else bboxFromCorners(s->pt[0], s->pt[1], s->head.box);
}

inline tcrvRec* newSeg(const double* a, const double* b) {
  auto* s = reinterpret_cast<tcrvRec*>(objNew(crv().tcrv));
  std::copy(a, a + 3, s->pt[0]);
  std::copy(b, b + 3, s->pt[1]);
  updateBox(s);
  return s;
}

inline int tcrvHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  Crv& k = crv();
  auto* s = static_cast<tcrvRec*>(object);
  ++k.sent[message];
  switch (message) {
    case msgNew: return gobjNewAs(k.tcrv, sizeof(tcrvRec), a);
    case msgFree: ++k.freed; break;
    case msgExtents: {
      auto* box = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        box[i] = std::min(s->pt[0][i], s->pt[1][i]);
        box[3 + i] = std::max(s->pt[0][i], s->pt[1][i]);
      }
      return 0;
    }
    case msgBoxRange: {
      const double t[2] = {*reinterpret_cast<const double*>(a), *reinterpret_cast<const double*>(b)};
      auto* box = reinterpret_cast<double*>(c);
      double p[2][3];
      for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) p[j][i] = s->pt[0][i] + t[j] * (s->pt[1][i] - s->pt[0][i]);
      for (int i = 0; i < 3; ++i) {
        box[i] = std::min(p[0][i], p[1][i]);
        box[3 + i] = std::max(p[0][i], p[1][i]);
      }
      return 0;
    }
    case msgCopy: {
      const int answer = objMeth(objSuperClass(k.tcrv), message, object, a, b, c);
      auto* copy = *reinterpret_cast<tcrvRec**>(a);
      if (answer == 0 && copy) {
        std::copy(&s->pt[0][0], &s->pt[0][0] + 6, &copy->pt[0][0]);
        updateBox(copy);
      }
      return answer;
    }
    case msgXform: {
      k.xformModes.push_back(objCleanUpMode());
      const auto* m = reinterpret_cast<const double*>(a);
      tcrvRec* target = s;
      if (k.replaceOnXform) target = newSeg(s->pt[0], s->pt[1]);
      for (auto& p : target->pt) aPtTransform(3, p, m, p);
      updateBox(target);
      if (b) *reinterpret_cast<gobjRec**>(b) = &target->head;
      return 0;
    }
    case msgPointAtLength: {
      const double length = *reinterpret_cast<const double*>(a);
      double d[3], old = 0;
      for (int i = 0; i < 3; ++i) {
        d[i] = s->pt[1][i] - s->pt[0][i];
        old += d[i] * d[i];
      }
      old = std::sqrt(old);
      for (int i = 0; i < 3; ++i) s->pt[1][i] = s->pt[0][i] + d[i] * length / old;
      updateBox(s);
      return 0;
    }
    case msgParts: {
      auto** out = reinterpret_cast<glist**>(a);
      if (!k.hasParts) break;
      double mid[3];
      for (int i = 0; i < 3; ++i) mid[i] = (s->pt[0][i] + s->pt[1][i]) / 2;
      grpBegin();
      grpAdd(&newSeg(s->pt[0], mid)->head);
      grpAdd(&newSeg(mid, s->pt[1])->head);
      *out = grpEnd();
      return 0;
    }
    case msgSameAs: {
      const auto* o = reinterpret_cast<const tcrvRec*>(a);
      const int n = int(b);
      auto same = [n](const double* p, const double* q) { return std::equal(p, p + n, q); };
      if ((same(s->pt[0], o->pt[0]) && same(s->pt[1], o->pt[1])) ||
          (same(s->pt[0], o->pt[1]) && same(s->pt[1], o->pt[0])))
        return 0;
      return -1;
    }
    case msgCleanUpKey: {
      // Segments along x share a key; others get one by their direction.
      const double dx = s->pt[1][0] - s->pt[0][0], dy = s->pt[1][1] - s->pt[0][1];
      *reinterpret_cast<int32_t*>(a) = k.noKey ? 0 : dy == 0 ? 0x100 + int32_t(s->pt[0][1]) : 0x200 + int32_t(dx);
      return 0;
    }
    case msgCleanUpMerge: {
      // Merges a segment along x on the same line that overlaps or touches.
      const auto* o = reinterpret_cast<const tcrvRec*>(a);
      const bool alongX = s->pt[0][1] == s->pt[1][1] && o->pt[0][1] == o->pt[1][1] && s->pt[0][1] == o->pt[0][1];
      if (!alongX) return -1;
      const double lo = std::min(s->pt[0][0], s->pt[1][0]), hi = std::max(s->pt[0][0], s->pt[1][0]);
      const double olo = std::min(o->pt[0][0], o->pt[1][0]), ohi = std::max(o->pt[0][0], o->pt[1][0]);
      if (ohi < lo || olo > hi) return -3;
      s->pt[0][0] = std::min(lo, olo);
      s->pt[1][0] = std::max(hi, ohi);
      updateBox(s);
      if (b) *reinterpret_cast<gobjRec**>(b) = &s->head;
      return 0;
    }
    case msgGetAttr:
    case msgSetAttr: {
      const auto* key = reinterpret_cast<const feObject*>(a);
      const int which = feNameIs(key, "pt0") ? 0 : feNameIs(key, "pt1") ? 1 : -1;
      if (which < 0) break;
      if (message == msgSetAttr) {
        const int rc = feGetVec3(reinterpret_cast<const feObject*>(b), s->pt[which]);
        updateBox(s);
        return rc;
      }
      feObject xyz[3];
      for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], s->pt[which][i]);
      return feMakeArray(reinterpret_cast<feObject*>(b), xyz, 3);
    }
    default: break;
  }
  return objMeth(objSuperClass(k.tcrv), message, object, a, b, c);
}

class GrpEditTest : public sievefx::SieveTest {
protected:
  void SetUp() override {
    SieveTest::SetUp();
    csysInit();
    grpInit();
    Crv& k = crv();
    if (!k.curve) {
      k.curve = objClassByName("curve");
      if (!k.curve) k.curve = objClassRegister("curve", gobjClassId(), nullptr);
      k.tcrv = objClassRegister("tcrv", k.curve, tcrvHandler);
    }
    k.sent.clear();
    k.replaceOnXform = k.hasParts = k.noKey = false;
    k.freed = 0;
    k.xformModes.clear();
    if (!execfx::defined("aCleanUp")) objOpsInit();
    if (!execfx::defined("aAll"))
      for (const char* name : {"aAll", "aCount"}) {
        const feOpSpec* spec = grpOpSpec(name);
        feRegisterOp(spec->name, spec->handler, spec->signature, 0, 0);
      }
    makeSieve(64, 1000);
  }
  void TearDown() override {
    feStackClear(*feOperandStack());
    for (glist* g : results) grpRelease(&g);
    results.clear();
    SieveTest::TearDown();
  }

  // A new segment held by the test.
  gobjRec* seg(std::vector<double> a, std::vector<double> b) {
    gobjRec* s = &newSeg(a.data(), b.data())->head;
    objRetain(s);
    held.push_back(s);
    return s;
  }
  // The same, entered into the document.
  gobjRec* stored(std::vector<double> a, std::vector<double> b) {
    gobjRec* s = seg(a, b);
    EXPECT_EQ(objInsert(s), 0);
    return s;
  }

  static glist* build(const std::vector<gobjRec*>& members) {
    grpBegin();
    for (gobjRec* m : members) grpAdd(m);
    return grpEnd();
  }
  // Pushes a group of the members (the operand owns it).
  static void pushGroup(const std::vector<gobjRec*>& members) {
    feObject v;
    feMakeObjRef(&v, build(members));
    fePush(feOperandStack(), &v);
  }

  // Runs text: its error code, or 0.
  static int run(const char* text) { return feExecString(text); }
  // Pops a group result, held by the test until its end.
  glist* popGroup() {
    feObject v;
    fePop(*feOperandStack(), &v);
    if (feType(&v) != feTObject) {
      feFree(&v);
      return nullptr;
    }
    auto* g = static_cast<glist*>(v.w0.obj);
    grpRetain(g);
    feFree(&v);
    results.push_back(g);
    return g;
  }

  static std::string text(const gobjRec* object) {
    const auto* s = reinterpret_cast<const tcrvRec*>(object);
    std::string t;
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 3; ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", s->pt[j][i] + 0.0);
        if (!t.empty()) t += ' ';
        t += buffer;
      }
    return t;
  }
  // The members' segments in visiting order, separated by "|".
  static std::string texts(const glist* g) {
    std::string t;
    grpForEach(g, [](gobjRec* m, void* context) {
      auto* out = static_cast<std::string*>(context);
      if (!out->empty()) *out += '|';
      *out += text(m);
      return 0;
    }, &t);
    return t;
  }
  // Every object of the document, sorted, separated by "|".
  std::string documentTexts() {
    std::vector<std::string> list;
    for (gobjRec* o : all(doc.sieve)) list.push_back(text(o));
    std::sort(list.begin(), list.end());
    std::string t;
    for (const std::string& s : list) t += (t.empty() ? "" : "|") + s;
    return t;
  }
  size_t documentCount() { return all(doc.sieve).size(); }

  static int32_t count(const glist* g) {
    int32_t n = -1;
    grpCount(g, &n);
    return n;
  }
  static int sent(int message) { return crv().sent[message]; }

  // The number of the scratch layer ".temp".
  static int scratchLayer() { return layerFind(".temp", 5, 0); }

  std::vector<glist*> results;
};

}  // namespace grpeditfx

#endif
