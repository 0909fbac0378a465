// Shared by the geometry tests: the sheet fixture of the view tests (a
// 96-dpi device, documents closed afterwards, keyed-attribute, operator and
// alert helpers) with the curve classes registered, and small helpers to
// compare points.
#ifndef PLUMET_TESTS_GEOMETRY_GEOMETRY_FIXTURE_H
#define PLUMET_TESTS_GEOMETRY_GEOMETRY_FIXTURE_H

#include "views/sheet_fixture.h"

#include "geometry/curve.h"
#include "geometry/line.h"
#include "objects/gobject.h"
#include "objects/objrecord.h"
#include "objects/vertex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace geomfx {

using Vec = std::vector<double>;

// Equal within tolerance in every coordinate (a NaN never is).
inline ::testing::AssertionResult near(const double* got, const Vec& want, double tolerance = 1e-12) {
  for (size_t i = 0; i < want.size(); ++i)
    if (!(std::fabs(got[i] - want[i]) <= tolerance)) {
      ::testing::AssertionResult failure = ::testing::AssertionFailure();
      failure << "(";
      for (size_t k = 0; k < want.size(); ++k) failure << (k ? ", " : "") << got[k];
      return failure << ") differs at " << i;
    }
  return ::testing::AssertionSuccess();
}

class GeomTest : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    // The class registry outlives the interpreter: registering again keeps
    // the ids. The operators go into each fresh interpreter.
    crvInit(gobjClassId());
  }
  void TearDown() override {
    // The documents let go of what they hold first, so that the last
    // reference to each held object is the fixture's.
    vwViewStackForget();
    docResetAll();
    for (gobjRec*& object : held) objRelease(&object);
    held.clear();
    // Erased markers and moved objects damage the region a command redraws
    // at its end; the next test starts with none.
    objRedrawPending(0);
    SheetTest::TearDown();
  }

  // Holds a reference to the object until the end of the test (released
  // then, after the documents are closed, which frees it unless something
  // else still holds it); answers the object.
  gobjRec* hold(gobjRec* object) {
    if (object) {
      objRetain(object);
      held.push_back(object);
    }
    return object;
  }

  // A line (x0, y0, 0)-(x1, y1, 0) given to the current document, held by
  // the test as well.
  gobjRec* insertLine(double x0, double y0, double x1, double y1) {
    const double p0[3] = {x0, y0, 0}, p1[3] = {x1, y1, 0};
    gobjRec* object = hold(lineMake(p0, p1));
    EXPECT_EQ(0, objInsert(object));
    return object;
  }

  std::vector<gobjRec*> held;
};

}  // namespace geomfx

#endif
