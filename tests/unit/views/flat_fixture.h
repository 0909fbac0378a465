// Shared by the flattening and clipping tests: "fseg", a straight segment
// under a stand-in "curve" class that copies, transforms and answers its
// points at a parameter; stand-in classes "volume" (holding fseg outlines),
// "surface", "light" and a plain "fbox" that is no curve; and stand-ins of
// the line maker, the trim split and the volume members that the curve,
// trim and volume modules install in the program.
#ifndef PLUMET_TESTS_VIEWS_FLAT_FIXTURE_H
#define PLUMET_TESTS_VIEWS_FLAT_FIXTURE_H

#include "sheet_fixture.h"

#include "core/matrix.h"
#include "objects/group.h"
#include "objects/objsend.h"
#include "objects/sieve.h"
#include "views/model.h"
#include "views/vwflat.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace flatfx {

struct fsegRec {
  gobjRec head;
  double p0[3], p1[3];
};

// A stand-in volume: its outline segments (held by the record).
struct fvolRec {
  gobjRec head;
  glist* outlines;
};

struct Classes {
  uint16_t curve = 0, fseg = 0, volume = 0, surface = 0, light = 0, fbox = 0;
};
inline Classes& classes() {
  static Classes c;
  return c;
}

inline int fsegHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* seg = static_cast<fsegRec*>(object);
  const uint16_t id = classes().fseg;
  switch (message) {
    case msgNew: return gobjNewAs(id, sizeof(fsegRec), a);
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(seg->p0[i], seg->p1[i]);
        corners[3 + i] = std::max(seg->p0[i], seg->p1[i]);
      }
      return 0;
    }
    case msgPointAtT: {
      const double t = *reinterpret_cast<const double*>(a);
      auto* out = reinterpret_cast<double*>(b);
      for (int i = 0; i < 3; ++i) out[i] = seg->p0[i] + t * (seg->p1[i] - seg->p0[i]);
      return 0;
    }
    case msgCopy: {
      const int answer = objMeth(objSuperClass(id), message, object, a, b, c);
      auto** slot = reinterpret_cast<gobjRec**>(a);
      if (answer == 0 && slot && *slot) {
        auto* copy = reinterpret_cast<fsegRec*>(*slot);
        std::copy(seg->p0, seg->p0 + 3, copy->p0);
        std::copy(seg->p1, seg->p1 + 3, copy->p1);
      }
      return answer;
    }
    case msgXform: {
      const auto* m = reinterpret_cast<const double*>(a);
      double r[3];
      aPtTransform(3, seg->p0, m, r);
      std::copy(r, r + 3, seg->p0);
      aPtTransform(3, seg->p1, m, r);
      std::copy(r, r + 3, seg->p1);
      if (b) *reinterpret_cast<gobjRec**>(b) = &seg->head;
      return 0;
    }
    default: return objMeth(objSuperClass(id), message, object, a, b, c);
  }
}

inline int fvolHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* vol = static_cast<fvolRec*>(object);
  const uint16_t id = classes().volume;
  switch (message) {
    case msgNew: return gobjNewAs(id, sizeof(fvolRec), a);
    case msgFree: grpRelease(&vol->outlines); break;
    case msgExtents:
      for (int i = 0; i < 6; ++i) reinterpret_cast<double*>(a)[i] = i < 3 ? -1 : 1;
      return 0;
    case msgXform:
      if (b) *reinterpret_cast<gobjRec**>(b) = &vol->head;
      return 0;
    default: break;
  }
  return objMeth(objSuperClass(id), message, object, a, b, c);
}

// A plain class of the member's id: copied as the base does, unchanged by
// transforms.
template <uint16_t Classes::*member>
int plainHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  const uint16_t id = classes().*member;
  switch (message) {
    case msgNew: return gobjNewAs(id, sizeof(gobjRec), a);
    case msgExtents:
      for (int i = 0; i < 6; ++i) reinterpret_cast<double*>(a)[i] = i < 3 ? 0 : 0.5;
      return 0;
    case msgXform:
      if (b) *reinterpret_cast<gobjRec**>(b) = static_cast<gobjRec*>(object);
      return 0;
    default: return objMeth(objSuperClass(id), message, object, a, b, c);
  }
}

// The class of that name: the one registered already, else a new one under
// the superclass.
inline uint16_t classOf(const char* name, uint16_t superclass, objHandler handler) {
  const uint16_t known = objClassByName(name);
  return known ? known : objClassRegister(name, superclass, handler);
}

inline void registerClasses() {
  Classes& k = classes();
  if (k.fseg) return;
  k.curve = classOf("curve", gobjClassId(), nullptr);
  k.fseg = objClassRegister("fseg", k.curve, fsegHandler);
  k.volume = classOf("volume", gobjClassId(), fvolHandler);
  k.surface = classOf("surface", gobjClassId(), plainHandler<&Classes::surface>);
  k.light = classOf("light", gobjClassId(), plainHandler<&Classes::light>);
  k.fbox = objClassRegister("fbox", gobjClassId(), plainHandler<&Classes::fbox>);
}

// A segment that no document holds (reference count 0).
inline gobjRec* newSeg(std::initializer_list<double> p0, std::initializer_list<double> p1) {
  auto* seg = reinterpret_cast<fsegRec*>(objNew(classes().fseg));
  std::copy(p0.begin(), p0.end(), seg->p0);
  std::copy(p1.begin(), p1.end(), seg->p1);
  return &seg->head;
}
inline const fsegRec& seg(const gobjRec* object) { return *reinterpret_cast<const fsegRec*>(object); }

// Stand-ins of the services.
inline gobjRec* makeLine(const double a[3], const double b[3]) {
  return newSeg({a[0], a[1], a[2]}, {b[0], b[1], b[2]});
}

// Cuts a segment at every crossing with a segment of the groups (in the xy
// plane), answering the pieces as new segments.
inline int splitSeg(gobjRec* object, glist* const* groups, int count, glist** out) {
  if (object->classId != classes().fseg) return -1;
  const fsegRec& s = seg(object);
  std::vector<double> cuts{0, 1};
  std::pair<const fsegRec*, std::vector<double>*> found{&s, &cuts};
  for (int g = 0; g < count; ++g)
    grpForEach(groups[g], [](gobjRec* side, void* context) {
      auto* found = static_cast<std::pair<const fsegRec*, std::vector<double>*>*>(context);
      const fsegRec& a = *found->first;
      const fsegRec& b = seg(side);
      const double dx = a.p1[0] - a.p0[0], dy = a.p1[1] - a.p0[1];
      const double ex = b.p1[0] - b.p0[0], ey = b.p1[1] - b.p0[1];
      const double den = dx * ey - dy * ex;
      if (std::fabs(den) < 1e-15) return 0;
      const double fx = b.p0[0] - a.p0[0], fy = b.p0[1] - a.p0[1];
      const double t = (fx * ey - fy * ex) / den, u = (fx * dy - fy * dx) / den;
      if (t > 0 && t < 1 && u >= 0 && u <= 1) found->second->push_back(t);
      return 0;
    }, &found);
  std::sort(cuts.begin(), cuts.end());
  grpBegin();
  for (size_t i = 0; i + 1 < cuts.size(); ++i) {
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
      a[k] = s.p0[k] + cuts[i] * (s.p1[k] - s.p0[k]);
      b[k] = s.p0[k] + cuts[i + 1] * (s.p1[k] - s.p0[k]);
    }
    grpAdd(makeLine(a, b));
  }
  *out = grpEnd();
  return 0;
}

inline int volumeMembers(gobjRec* volume, const char*, glist** out) {
  *out = grpFlatten(reinterpret_cast<fvolRec*>(volume)->outlines, 0);
  return 0;
}

inline void installHooks() {
  const vwFlattenHooks hooks{makeLine, splitSeg, volumeMembers};
  vwSetFlattenHooks(&hooks);
}

// The members of a group in visiting order.
inline std::vector<gobjRec*> members(const glist* group) {
  std::vector<gobjRec*> list;
  grpForEach(group, [](gobjRec* m, void* context) {
    static_cast<std::vector<gobjRec*>*>(context)->push_back(m);
    return 0;
  }, &list);
  return list;
}

}  // namespace flatfx

#endif
