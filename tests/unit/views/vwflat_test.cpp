// Flattening a view onto its sheet's draft view, clipping a group to a
// rectangle, the unfold frame, binding objects to the current view, group
// extents and layer re-mapping.
#include "flat_fixture.h"

#include "objects/docvar_sheet.h"
#include "objects/layer.h"
#include "views/vdef.h"
#include "views/vwobjlist.h"
#include "views/vwunfold.h"

#include <string>
#include <vector>

namespace {

using flatfx::classes;
using flatfx::members;
using flatfx::newSeg;
using flatfx::seg;

// The runs of the hidden-line procedures: null for "make", else the first
// current object at the time.
std::vector<gobjRec*>& hlrRuns() {
  static std::vector<gobjRec*> runs;
  return runs;
}
int opHlrRun(feArgs* args) {
  hlrRuns().push_back(args->in[0].i ? grpFirst(curObjGroup()) : nullptr);
  return 0;
}

class Flatten : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    flatfx::registerClasses();
    flatfx::installHooks();
    doc = newDoc();
    draftModel = doc->firstModel;
    modelCreate(&solid);
    modelLink(solid, doc);
    sheet = sheetCreate(doc, draftModel, nullptr);
    ASSERT_NE(sheet, nullptr);
    draft = sheet->activeView;
    const double box[4] = {1, 1, 3, 3};
    view = vwCreate(sheet, solid, box, 0);
    ASSERT_NE(view, nullptr);
    // The procedures of the hidden-line layer record their runs: "make",
    // and the current object of each "set".
    if (!execfx::defined("xtHlrRun")) feRegisterOp("xtHlrRun", opHlrRun, "i", 0, 0);
    hlrRuns().clear();
    feExecString("/aChackMakeHLRLayer { 0 xtHlrRun } def /aSetToHLRLayer { 1 xtHlrRun } def");
  }
  void TearDown() override {
    feExecString("userdict /aChackMakeHLRLayer undef userdict /aSetToHLRLayer undef");
    vwFlattenReset();
    grpRelease(&result);
    SheetTest::TearDown();
  }
  // A segment held by a model's sieve.
  static gobjRec* enter(modelRec* model, gobjRec* object, uint8_t owner = 0) {
    object->owner = owner;
    EXPECT_EQ(sieveInsert(model->sieve, object), 0);
    return object;
  }
  bool viewOnSheet(const viewRec* v) const {
    for (const viewRec* p = sheet->firstView; p; p = p->next)
      if (p == v) return true;
    return false;
  }
  int flatten(viewRec* v) {
    grpRelease(&result);
    const int answer = vwFlattenView(v, sheet, &result);
    if (result) grpRetain(result);
    return answer;
  }

  docRec* doc = nullptr;
  modelRec* draftModel = nullptr;
  modelRec* solid = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* draft = nullptr;
  viewRec* view = nullptr;
  glist* result = nullptr;
};

TEST_F(Flatten, TheDraftViewAndViewsOfItsModelAreRefused) {
  EXPECT_EQ(flatten(draft), -1);
  const double box[4] = {-3, -3, -2, -2};
  viewRec* same = vwCreate(sheet, draftModel, box, 0);
  EXPECT_EQ(flatten(same), -2);
  EXPECT_TRUE(viewOnSheet(same)) << "the view is kept";
  EXPECT_EQ(result, nullptr);
  // Through the operator, the error goes to the script.
  vwSetCurView(same);
  EXPECT_EQ(eval("null null aViewFlattenEx"), "-2");
  vwSetCurView(draft);
  EXPECT_EQ(eval("aViewToSheet"), "-1");
}

TEST_F(Flatten, ACubeSeenIsometricallyLandsOnTheDraftAtItsProjection) {
  if (!vdefFind(doc, "Isometric", 9)) vdefStandardSet(doc);
  const vdefRec* iso = vdefFind(doc, "Isometric", 9);
  ASSERT_NE(iso, nullptr);
  double normal[3];
  for (int k = 0; k < 3; ++k) normal[k] = iso->eye[k] - iso->centre[k];
  ASSERT_EQ(vwSetDirection(view, iso->centre, normal, iso->up, 0), 0);
  // The twelve edges of the unit cube.
  std::vector<std::pair<std::vector<double>, std::vector<double>>> edges;
  for (int a = 0; a < 3; ++a)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) {
        std::vector<double> p(3), q(3);
        p[a] = 0, q[a] = 1;
        p[(a + 1) % 3] = q[(a + 1) % 3] = i;
        p[(a + 2) % 3] = q[(a + 2) % 3] = j;
        edges.emplace_back(p, q);
        enter(solid, newSeg({p[0], p[1], p[2]}, {q[0], q[1], q[2]}));
      }
  // The view's scale and pan, and the draft view's (which looks along z
  // unturned), read before the view goes.
  vwRebuildMatrices(view);
  const viewState vs = view->states[0], ds = draft->states[0];
  ASSERT_TRUE(vwfx::near({ds.normal[0], ds.normal[1], ds.up[0], ds.up[2]}, {0, 0, 0, 0}));
  ASSERT_EQ(flatten(view), 0);
  EXPECT_FALSE(viewOnSheet(view)) << "the flattened view is gone";
  EXPECT_EQ(vwCurView(), draft);
  const std::vector<gobjRec*> copies = members(result);
  ASSERT_EQ(copies.size(), 12u);
  // The projection worked apart: the view's axes are z along the normal,
  // x = up x z, y = z x x; the sheet point is scale * (x.w, y.w) + pan
  // (centre at the origin); the draft world is (sheet - pan) / scale there.
  auto unit = [](std::vector<double> v) {
    const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (double& x : v) x /= n;
    return v;
  };
  auto cross = [](const std::vector<double>& a, const std::vector<double>& b) {
    return std::vector<double>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  const std::vector<double> z = unit({normal[0], normal[1], normal[2]});
  const std::vector<double> x = unit(cross({iso->up[0], iso->up[1], iso->up[2]}, z));
  const std::vector<double> y = cross(z, x);
  auto project = [&](const std::vector<double>& w) {
    const double sx = vs.scale * (x[0] * w[0] + x[1] * w[1] + x[2] * w[2]) + vs.pan[0];
    const double sy = vs.scale * (y[0] * w[0] + y[1] * w[1] + y[2] * w[2]) + vs.pan[1];
    return std::vector<double>{(sx - ds.pan[0]) / ds.scale, (sy - ds.pan[1]) / ds.scale};
  };
  std::vector<bool> matched(edges.size(), false);
  for (gobjRec* copy : copies) {
    ASSERT_EQ(copy->classId, classes().fseg);
    EXPECT_FALSE(copy->flags & gobjInSieve) << "render mode 0: the copies are in no model";
    const std::vector<double> a{seg(copy).p0[0], seg(copy).p0[1]}, b{seg(copy).p1[0], seg(copy).p1[1]};
    bool found = false;
    for (size_t e = 0; e < edges.size() && !found; ++e)
      if (!matched[e] && vwfx::near(a, project(edges[e].first), 1e-9) && vwfx::near(b, project(edges[e].second), 1e-9))
        matched[e] = found = true;
    EXPECT_TRUE(found) << "(" << a[0] << ", " << a[1] << ") - (" << b[0] << ", " << b[1] << ")";
  }
}

TEST_F(Flatten, OnlyObjectsOfNoViewOrThisViewAreCopied) {
  enter(solid, newSeg({0, 0, 0}, {1, 0, 0}));
  enter(solid, newSeg({0, 1, 0}, {1, 1, 0}), uint8_t(view->index));
  enter(solid, newSeg({0, 2, 0}, {1, 2, 0}), uint8_t(view->index + 1));
  gobjRec* scratch = enter(solid, newSeg({0, 3, 0}, {1, 3, 0}));
  const int temp = layerFind(".temp", 5, layerFindCreate);
  ASSERT_GE(temp, 0);
  scratch->layer = uint8_t(temp);
  ASSERT_EQ(flatten(view), 0);
  EXPECT_EQ(members(result).size(), 2u);
  EXPECT_NE(vwFlattenMode(), vwFlattening) << "back to 0 afterwards";
}

TEST_F(Flatten, RenderedModesLeaveOutSurfacesLightsAndVolumes) {
  // Render mode 1 puts a volume's outlines in its place, on the hidden-line
  // layer the scripts choose, and moves every copy into the draft model.
  auto* volume = reinterpret_cast<flatfx::fvolRec*>(objNew(classes().volume));
  grpAddTo(newSeg({0, 0, 0}, {1, 0, 0}), &volume->outlines);
  grpAddTo(newSeg({0, 0, 0}, {0, 1, 0}), &volume->outlines);
  enter(solid, &volume->head);
  enter(solid, objNew(classes().surface));
  enter(solid, objNew(classes().light));
  enter(solid, newSeg({0, 0, 0}, {0, 0, 1}));
  view->renderMode = 1;
  const uint32_t before = draftModel->sieve->objectCount;
  ASSERT_EQ(flatten(view), 0);
  const std::vector<gobjRec*> copies = members(result);
  ASSERT_EQ(copies.size(), 3u) << "two outlines and the segment";
  for (gobjRec* copy : copies) {
    EXPECT_EQ(copy->classId, classes().fseg);
    EXPECT_TRUE(copy->flags & gobjInSieve);
    EXPECT_EQ(copy->sieve, draftModel->sieve);
  }
  EXPECT_EQ(draftModel->sieve->objectCount, before + 3);
  // The layer set-up runs once, then one run per outline with it current;
  // the current objects are put back afterwards.
  ASSERT_EQ(hlrRuns().size(), 3u);
  EXPECT_EQ(hlrRuns()[0], nullptr);
  int outlines = 0;
  for (size_t i = 1; i < 3; ++i)
    for (gobjRec* copy : copies) outlines += hlrRuns()[i] == copy;
  EXPECT_EQ(outlines, 2);
  EXPECT_EQ(grpFirst(curObjGroup()), nullptr);
  // Mode 2: volumes left out as well; a perspective rendered view copies
  // nothing.
  struct Case {
    int mode, perspective;
    size_t copies;
  } cases[] = {{2, 0, 1}, {1, 1, 0}, {0, 1, 4}};
  for (const Case& c : cases) {
    const double box[4] = {1, 1, 3, 3};
    viewRec* again = vwCreate(sheet, solid, box, 0);
    again->renderMode = int16_t(c.mode);
    again->perspective = uint16_t(c.perspective);
    ASSERT_EQ(flatten(again), 0);
    EXPECT_EQ(members(result).size(), c.copies) << "mode " << c.mode << " perspective " << c.perspective;
  }
  EXPECT_EQ(hlrRuns().size(), 3u) << "made once since the start, no more outlines";
}

TEST_F(Flatten, ClippingKeepsTheInsidePieces) {
  gobjRec* crossing = newSeg({-1, 0.5, 0}, {2, 0.5, 0});
  gobjRec* inner = newSeg({0.2, 0.2, 0}, {0.8, 0.2, 0});
  gobjRec* outer = newSeg({3, 3, 0}, {4, 3, 0});
  gobjRec* box = objNew(classes().fbox);
  grpBegin();
  for (gobjRec* o : {crossing, inner, outer, box}) grpAdd(o);
  glist* group = grpEnd();
  grpRetain(group);
  // Left, top, right, bottom with y upward.
  const double rect[4] = {0, 1, 1, 0};
  glist* clipped = nullptr;
  ASSERT_EQ(vwClipCorners(group, rect, &clipped), 0);
  grpRetain(clipped);
  std::vector<gobjRec*> kept = members(clipped);
  ASSERT_EQ(kept.size(), 3u);
  int pieces = 0;
  bool boxKept = false;
  for (gobjRec* o : kept) {
    if (o == box) boxKept = true;
    if (o->classId != classes().fseg) continue;
    const auto& s = seg(o);
    if (s.p0[1] == 0.5) {
      ++pieces;
      EXPECT_TRUE(vwfx::near({s.p0[0], s.p1[0]}, {0, 1})) << s.p0[0] << " " << s.p1[0];
    } else {
      EXPECT_TRUE(vwfx::near({s.p0[0], s.p1[0]}, {0.2, 0.8})) << "the inner segment, whole";
    }
  }
  EXPECT_EQ(pieces, 1) << "the crossing segment's inside piece only";
  EXPECT_TRUE(boxKept) << "no curve: unchanged";
  // The operator, with a group the script holds.
  grpRelease(&clipped);
  fePushValue(group);
  EXPECT_EQ(eval("[0 1 1 0] aClipCorners length"), "3");
  grpRelease(&group);
}

TEST_F(Flatten, UnfoldFrameAndViewBinding) {
  const double o[3] = {1, 2, 3}, d[3] = {1, 0, 0}, n[3] = {0, 1, 0};
  vwSetUnfoldFrame(o, d, n);
  EXPECT_EQ(eval("aGetUnfoldInfo"), "[1. 2. 3. ] [1. 0 0 ] [0 1. 0 ]");
  const double zero[3] = {0, 0, 0};
  vwSetUnfoldFrame(zero, zero, zero);
  // aSetCurViewIndex binds an object to the current view's number.
  gobjRec* object = enter(solid, newSeg({0, 0, 0}, {1, 0, 0}));
  vwSetCurView(view);
  vwSetCurViewIndex(view->index);
  fePushValue(object);
  EXPECT_EQ(eval("aSetCurViewIndex"), "");
  EXPECT_EQ(object->owner, uint8_t(view->index));
}

TEST_F(Flatten, GroupExtentsAndLayerRemapping) {
  grpBegin();
  grpAdd(newSeg({-1, 2, 0}, {3, 0, 5}));
  grpAdd(newSeg({0, -4, 1}, {1, 1, 1}));
  glist* group = grpEnd();
  grpRetain(group);
  double box[6];
  objListExtents(group, box);
  EXPECT_TRUE(vwfx::near({box, box + 6}, {-1, -4, 0, 3, 2, 5}));
  objListExtents(nullptr, box);
  EXPECT_TRUE(vwfx::near({box, box + 6}, {0, 0, 0, 0, 0, 0}));
  grpRelease(&group);
  // Entries of four bytes, the first the new number; layers past the table
  // keep theirs. An object in a sieve is entered again.
  const uint8_t table[3 * 4] = {0, 9, 9, 9, 2, 9, 9, 9, 1, 9, 9, 9};
  gobjRec* moved = enter(solid, newSeg({0, 0, 0}, {1, 1, 0}));
  moved->layer = 1;
  objRemapLayerSieve(moved, table, 3);
  EXPECT_EQ(moved->layer, 2);
  EXPECT_TRUE(moved->flags & gobjInSieve);
  EXPECT_EQ(moved->refCount, 1) << "the sieve's reference only";
  gobjRec* loose = newSeg({0, 0, 0}, {1, 1, 0});
  loose->layer = 7;
  objRemapLayer(loose, table, 3);
  EXPECT_EQ(loose->layer, 7);
  objFree(loose);
}

}  // namespace
