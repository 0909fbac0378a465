// Shared by the clump tests: the group fixture with the clump module and the
// coordinate-system stack set up, the clump operators registered, and
// "tstick", a drawing class of two points that clumps are made of. A stick
// answers extents, copy, transform (in place, or by a new stick when told),
// its record, and the nearest-point message (squared distance in the
// plane, world and screen taken as one); it counts the nearest-point
// questions, the frees and the colours it was drawn in.
#ifndef PLUMET_TESTS_OBJECTS_CLUMP_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_CLUMP_FIXTURE_H

#include "core/bbox.h"
#include "core/classes.h"
#include "draw/csys.h"
#include "draw/gx.h"
#include "fe/attnpoll.h"
#include "fe/generic.h"
#include "group_fixture.h"
#include "objects/clump.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/nearcurve.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace clumpfx {

struct stickRec {
  gobjRec head;
  double p[2][3];
};

struct StickState {
  uint16_t id = 0;
  int asked = 0;               // 318 questions
  int freed = 0;
  bool replaceOnXform = false; // 321 answers a new stick
  std::vector<int> drawnIn;    // the colour current at each 302
};
inline StickState& sticks() {
  static StickState s;
  return s;
}

inline void stickBox(stickRec* s) { bboxFromCorners(s->p[0], s->p[1], s->head.box); }

inline double squaredToSegment(const double* q, const stickRec* s, double* t) {
  const double dx = s->p[1][0] - s->p[0][0], dy = s->p[1][1] - s->p[0][1];
  const double len = dx * dx + dy * dy;
  double u = len > 0 ? ((q[0] - s->p[0][0]) * dx + (q[1] - s->p[0][1]) * dy) / len : 0;
  u = std::clamp(u, 0.0, 1.0);
  const double x = s->p[0][0] + u * dx - q[0], y = s->p[0][1] + u * dy - q[1];
  *t = u;
  return x * x + y * y;
}

inline int stickHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  StickState& st = sticks();
  auto* s = static_cast<stickRec*>(object);
  const uint16_t super = objSuperClass(st.id);
  switch (message) {
    case msgNew: return gobjNewAs(st.id, sizeof(stickRec), a);
    case msgFree: ++st.freed; break;
    case msgDraw: {
      const int answer = objMeth(super, message, object, a, b, c);
      st.drawnIn.push_back(gxGetColor());
      return answer;
    }
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(s->p[0][i], s->p[1][i]);
        corners[i + 3] = std::max(s->p[0][i], s->p[1][i]);
      }
      return 0;
    }
    case msgIO: {
      const int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (ioFormat(ctx, "6d", &s->p[0][0]) < 0) return -1;
      if (ctx->mode == 'r') stickBox(s);
      return 0;
    }
    case msgCopy: {
      const int answer = objMeth(super, message, object, a, b, c);
      auto** out = reinterpret_cast<gobjRec**>(a);
      if (answer == 0 && *out) std::memcpy(reinterpret_cast<stickRec*>(*out)->p, s->p, sizeof s->p);
      return answer;
    }
    case msgXform: {
      const auto* m = reinterpret_cast<const double*>(a);
      auto** slot = reinterpret_cast<gobjRec**>(b);
      stickRec* target = s;
      if (st.replaceOnXform) {
        target = reinterpret_cast<stickRec*>(objNew(st.id));
        std::memcpy(target->p, s->p, sizeof s->p);
      }
      for (auto& p : target->p) {
        const double q[3] = {p[0], p[1], p[2]};
        for (int r = 0; r < 3; ++r) p[r] = m[4 * r] * q[0] + m[4 * r + 1] * q[1] + m[4 * r + 2] * q[2] + m[4 * r + 3];
      }
      stickBox(target);
      if (slot) *slot = &target->head;
      return 0;
    }
    case msgNearest: {
      ++st.asked;
      const auto* rec = reinterpret_cast<const crvNearRec*>(a);
      double t = 0;
      const double d = squaredToSegment(rec->point, s, &t);
      if (rec->outSquared) *rec->outSquared = d;
      if (rec->outParam) *rec->outParam = t;
      return 0;
    }
    default: break;
  }
  return objMeth(super, message, object, a, b, c);
}

class ClumpTest : public grpfx::GroupTest {
protected:
  void SetUp() override {
    GroupTest::SetUp();
    csysInit();
    clumpInit();
    StickState& st = sticks();
    if (!st.id) st.id = objClassRegister("tstick", gobjClassId(), stickHandler);
    st.asked = 0;
    st.freed = 0;
    st.replaceOnXform = false;
    st.drawnIn.clear();
    // Another suite may have set the module up before this interpreter.
    if (!execfx::defined("aClump"))
      for (const char* name :
           {"aClump", "pkiExClumpCreate", "aExClumpCreate", "pkiExClumpAddMember", "aExClumpAddMember",
            "pkiExClumpDelMember", "aExClumpDelMember", "pkiExClumpGetAllMemName", "aExClumpGetAllMemName",
            "pkiExClumpChangeMemName", "aExClumpChangeMemName", "pkiExClumpSetAttribute", "aExClumpSetAttribute",
            "pkiExClumpGetAttribute", "aExClumpGetAttribute", "pkiExClumpGetDuplicate", "aExClumpGetDuplicate",
            "pkiExClumpFindByMemName", "aExClumpFindByMemName", "pkiExClumpFindByAttribute",
            "aExClumpFindByAttribute"}) {
        const feOpSpec* spec = clumpOpSpec(name);
        feRegisterOp(spec->name, spec->handler, spec->signature, 0, 0);
      }
  }
  void TearDown() override {
    feSetAttnPoll(nullptr);
    for (const std::string& name : defined) {
      feObject none;
      feMakeNull(&none);
      execfx::defineUser(name.c_str(), none);
    }
    defined.clear();
    // Scripts of the tests keep their clump under "k".
    feExecString("userdict /k null put");
    for (clumpRec* c : clumps) {
      gobjRec* o = &c->head;
      objRelease(&o);
    }
    clumps.clear();
    GroupTest::TearDown();
  }

  // A stick from (x0, y0, 0) to (x1, y1, 0) in a colour, held by the fixture.
  gobjRec* stick(double x0, double y0, double x1, double y1, int color = 0) {
    auto* s = reinterpret_cast<stickRec*>(objNew(sticks().id));
    const double p[2][3] = {{x0, y0, 0}, {x1, y1, 0}};
    std::memcpy(s->p, p, sizeof p);
    stickBox(s);
    s->head.color = uint8_t(color);
    objRetain(&s->head);
    held.push_back(&s->head);
    return &s->head;
  }
  static stickRec* asStick(gobjRec* o) { return reinterpret_cast<stickRec*>(o); }

  // A clump of copies of the objects (clumpMake), held by the fixture.
  clumpRec* clump(const std::vector<gobjRec*>& members) {
    clumpRec* c = nullptr;
    EXPECT_EQ(0, clumpMake(group(members), nullptr, &c));
    return hold(c);
  }
  clumpRec* hold(clumpRec* c) {
    if (c) {
      objRetain(&c->head);
      clumps.push_back(c);
    }
    return c;
  }

  static std::vector<gobjRec*> members(const clumpRec* c) {
    std::vector<gobjRec*> list;
    for (gobjRec* m = clumpFirst(c); m; m = clumpNext(m)) list.push_back(m);
    return list;
  }
  // The x of each member's first point, or "C<n>" for a nested clump of n.
  static std::string shape(const clumpRec* c) {
    std::string text;
    for (gobjRec* m : members(c)) {
      if (!text.empty()) text += ' ';
      if (clumpIsClump(m)) {
        text += "C(" + shape(reinterpret_cast<clumpRec*>(m)) + ")";
      } else {
        char n[32];
        std::snprintf(n, sizeof n, "%g", asStick(m)->p[0][0]);
        text += n;
      }
    }
    return text;
  }

  // Defines a userdict name for a record (the value holds a reference);
  // the name is set back to null after the test, so that nothing of one
  // test stays alive in the next.
  void define(const char* name, void* record) {
    feObject v;
    feMakeObjRef(&v, record);
    execfx::defineUser(name, v);
    defined.push_back(name);
  }
  // The same for a group the fixture keeps: the fixture's share is a
  // reference of its own.
  void define(const char* name, glist* g) {
    grpRetain(g);
    define(name, static_cast<void*>(g));
  }

  std::vector<clumpRec*> clumps;
  std::vector<std::string> defined;  // userdict names of the test
};

}  // namespace clumpfx

#endif
