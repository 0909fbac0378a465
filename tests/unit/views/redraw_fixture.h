// Shared by the redraw tests: the sheet fixture with the coordinate systems
// and the redraw module started afresh, and "rdraw", a drawing class that
// records every drawing (the object, the view current then and the draw
// mode) and every message 320, and draws the outline of its box.
#ifndef PLUMET_TESTS_VIEWS_REDRAW_FIXTURE_H
#define PLUMET_TESTS_VIEWS_REDRAW_FIXTURE_H

#include "sheet_fixture.h"

#include "core/bbox.h"
#include "draw/csys.h"
#include "objects/bboxdraw.h"
#include "objects/sieve.h"
#include "objects/update.h"
#include "views/redraw.h"

#include <vector>

namespace redrawfx {

struct Drawn {
  gobjRec* object;
  viewRec* view;
  int32_t mode;
};

struct Record {
  uint16_t rdraw = 0;
  std::vector<Drawn> drawn;
  std::vector<gobjRec*> changed;  // message 320, in order
};
inline Record& record() {
  static Record r;
  return r;
}

inline int rdrawHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  Record& r = record();
  if (message == msgNew) return gobjNewAs(r.rdraw, sizeof(gobjRec), a);
  auto* o = static_cast<gobjRec*>(object);
  if (message == msgChanged) r.changed.push_back(o);
  const int answer = objMeth(objSuperClass(r.rdraw), message, object, a, b, c);
  if (message == msgDraw) {
    int32_t mode = 0;
    gxGetAttr(2, &mode);
    r.drawn.push_back({o, vwCurView(), mode});
    if (vwCurView()) bboxDraw(o->box);
  }
  return answer;
}

class RedrawTest : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    csysInit();
    Record& r = record();
    if (!r.rdraw) r.rdraw = objClassRegister("rdraw", gobjClassId(), rdrawHandler);
    r.drawn.clear();
    r.changed.clear();
    vwRedrawReset();
  }
  void TearDown() override {
    vwRedrawReset();
    vwSetDrawWindow(nullptr);
    for (gobjRec* o : held) objRelease(&o);
    held.clear();
    SheetTest::TearDown();
  }

  // A new rdraw over the world box of two corners, in colour 1 (black),
  // not marked changed, held by the fixture.
  gobjRec* object(double x0 = -1, double y0 = -1, double x1 = 1, double y1 = 1) {
    gobjRec* o = objNew(record().rdraw);
    const double a[3] = {x0, y0, 0}, b[3] = {x1, y1, 0};
    bboxFromCorners(a, b, o->box);
    o->color = 1;
    o->flags &= uint16_t(~gobjChanged);
    objRetain(o);
    held.push_back(o);
    return o;
  }
  // The same, entered in the model's sieve.
  gobjRec* placed(modelRec* model, double x0 = -1, double y0 = -1, double x1 = 1, double y1 = 1) {
    gobjRec* o = object(x0, y0, x1, y1);
    EXPECT_EQ(sieveInsert(modelGetList(model), o), 0);
    return o;
  }

  static std::vector<Drawn>& drawn() { return record().drawn; }
  // How often the object was drawn with the view current.
  static int drawnIn(const gobjRec* o, const viewRec* view) {
    int n = 0;
    for (const Drawn& d : drawn()) n += d.object == o && d.view == view;
    return n;
  }
  static int timesDrawn(const gobjRec* o) {
    int n = 0;
    for (const Drawn& d : drawn()) n += d.object == o;
    return n;
  }

  std::vector<gobjRec*> held;
};

}  // namespace redrawfx

#endif
