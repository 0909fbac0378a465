// The tracking step (message 401) of the line and point classes, drawn in
// XOR into a document window: markers and the rubber-band line that a
// second pass erases, the last-point registers, and the tangent and
// perpendicular adjustment through fake tracking hooks.
#include "geometry/trackstep.h"

#include "geometry_fixture.h"
#include "views/view_fixture.h"

#include "geometry/curve.h"
#include "geometry/lastpt.h"
#include "geometry/line.h"
#include "geometry/point.h"
#include "objects/objmsg.h"
#include "views/wplane.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

ieToolPoint at(double x, double y, uint8_t code = 'n', gobjRec* object = nullptr) {
  return ieToolPoint{{x, y, 0}, object, code, 0};
}

// What the fake tracking hooks saw.
struct FakeTracking {
  std::vector<std::string> calls;  // "0 t" = point 0's search with 't', ...
  int failures = 0;                // searches that fail before the first success
  double moveTo[3] = {0, 0, 0};    // where a successful search puts the point
  std::vector<std::string> labels; // "x,y text"
  std::vector<std::vector<double>> singles;
};
FakeTracking& fake() {
  static FakeTracking f;
  return f;
}
gobjRec* objectA() {
  static gobjRec a{};
  return &a;
}
int fakeNearest(int code, gobjRec* object, double point[3], const double*) {
  fake().calls.push_back(std::string(object == objectA() ? "A " : "B ") + char(code));
  if (object != objectA()) return 0;  // point 1 stays where it is
  if (fake().failures > 0) {
    --fake().failures;
    return -1;
  }
  std::memcpy(point, fake().moveTo, sizeof fake().moveTo);
  return 0;
}
const char* fakeCodes(int code) { return code == 't' ? "tangent" : code == 'p' ? "perpendicular" : ""; }
void fakeLabel(int x, int y, const char* text, int length, int) {
  fake().labels.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::string(text, size_t(length)));
}
void fakeSingle(void*, const double p[3]) { fake().singles.push_back({p[0], p[1], p[2]}); }

class TrackStep : public viewfx::ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    crvInit(gobjClassId());
    openDrawing();
    windGetHwnd(window, &hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    width = client.right;
    height = client.bottom;
    vwSetCurView(draft);
    gxSetDrawMode(gxModeXor);
    lastPtReset();
    trkStepSetHooks(nullptr);
    fake() = FakeTracking{};
    blank = pixels();
  }
  void TearDown() override {
    // The line made in the slot is new and uncounted, as lineMake's: the
    // caller inserts or frees it.
    objFree(slot);
    slot = nullptr;
    trkStepSetHooks(nullptr);
    gxSetDrawMode(0);
    lastPtReset();
    ViewDrawTest::TearDown();
  }

  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) all.push_back(plTestWindowPixel(hwnd, x, y));
    return all;
  }

  // Message 401 to the class, as the tool loop sends it.
  int step(uint16_t classId, int phase, std::vector<ieToolPoint>& points, const ieToolPoint* previous = nullptr,
           void* context = nullptr) {
    trkStepRec rec{uint32_t(points.size()), points.data(), previous, context};
    return objMeth(classId, msgTrackStep, nullptr, phase, reinterpret_cast<intptr_t>(&rec),
                   reinterpret_cast<intptr_t>(&slot));
  }
  void installFakes() {
    trkStepHooks hooks{fakeNearest, fakeCodes, fakeLabel, fakeSingle};
    trkStepSetHooks(&hooks);
  }
  void drawSlot() { objMeth(slot->classId, msgDraw, slot); }
  static std::vector<double> last() {
    double p[3];
    lastPtGet(p);
    return {p[0], p[1], p[2]};
  }

  HWND hwnd = nullptr;
  int width = 0, height = 0;
  gobjRec* slot = nullptr;
  std::vector<COLORREF> blank;
};

TEST_F(TrackStep, OnePointMarkersFollowThePointAndPhaseTwoRemovesThem) {
  for (uint16_t classId : {lineClassId(), pointClassId()}) {
    std::vector<ieToolPoint> points{at(1, 0.5)};
    EXPECT_EQ(step(classId, 0, points), 0);
    const std::vector<COLORREF> first = pixels();
    EXPECT_NE(first, blank) << classId;
    EXPECT_EQ(last(), (std::vector<double>{1, 0.5, 0}));
    // The point moves: the old marker goes, the new one comes.
    const ieToolPoint previous = points[0];
    points[0] = at(-1, 0.25);
    EXPECT_EQ(step(classId, 1, points, &previous), 0);
    EXPECT_NE(pixels(), first);
    EXPECT_EQ(last(), (std::vector<double>{-1, 0.25, 0}));
    EXPECT_EQ(step(classId, 2, points), 0);
    EXPECT_EQ(pixels(), blank) << classId;
    EXPECT_EQ(slot, nullptr);
  }
}

TEST_F(TrackStep, TheLineFollowsItsEndAndSetsTheLastSegment) {
  std::vector<ieToolPoint> points{at(0, 0), at(1, 0)};
  ASSERT_EQ(step(lineClassId(), 0, points), 0);
  ASSERT_NE(slot, nullptr);
  gobjRec* made = slot;
  EXPECT_NE(pixels(), blank);
  const ieToolPoint previous = points[1];
  points[1] = at(0, 1);
  ASSERT_EQ(step(lineClassId(), 1, points, &previous), 0);
  EXPECT_EQ(slot, made) << "the same line is updated";
  double p0[3], p1[3];
  ASSERT_EQ(lineEndPoints(slot, p0, p1), 0);
  EXPECT_TRUE(geomfx::near(p1, {0, 1, 0}));
  EXPECT_EQ(last(), (std::vector<double>{0, 1, 0}));
  EXPECT_DOUBLE_EQ(lastPtLength(), 1.0);
  EXPECT_DOUBLE_EQ(lastPtAngle(), 0.25);
  // Only the new line is on the window: drawn once more it is gone.
  drawSlot();
  EXPECT_EQ(pixels(), blank);
}

TEST_F(TrackStep, AnUnmovedEndChangesNothing) {
  std::vector<ieToolPoint> points{at(0, 0), at(1, 0)};
  ASSERT_EQ(step(lineClassId(), 0, points), 0);
  const std::vector<COLORREF> shown = pixels();
  const double elsewhere[3] = {7, 7, 7};
  lastPtSet(elsewhere);
  const ieToolPoint previous = points[1];
  EXPECT_EQ(step(lineClassId(), 1, points, &previous), 0);
  EXPECT_EQ(pixels(), shown);
  EXPECT_EQ(last(), (std::vector<double>{7, 7, 7}));
}

TEST_F(TrackStep, ASlotHoldingAnotherClassIsRefused) {
  const double p[3] = {0, 0, 0};
  slot = &pointNew(p)->head;
  std::vector<ieToolPoint> points{at(0, 0), at(1, 0)};
  EXPECT_EQ(step(lineClassId(), 0, points), -1);
  EXPECT_EQ(slot->classId, pointClassId());
  EXPECT_EQ(pixels(), blank);
}

TEST_F(TrackStep, TangentAndPerpendicularStarts) {
  installFakes();
  gobjRec* a = objectA();
  static gobjRec b{};
  const struct {
    const char* name;
    ieToolPoint start, end;
    int failures;
    uint8_t code;                   // point 0's code afterwards
    std::vector<std::string> calls;
    bool moved;                     // point 0 went to the search's point
    size_t labels;
  } cases[] = {
      {"found", at(0, 0, 't', a), at(1, 0), 0, 't', {"A t"}, true, 0},
      {"an upper-case code found", at(0, 0, 'P', a), at(1, 0), 0, 'p', {"A p"}, true, 1},
      {"not found", at(0, 0, 't', a), at(1, 0), 1, 'T', {"A t"}, false, 1},
      {"end on a curve too", at(0, 0, 'p', a), at(1, 0, 't', &b), 2, 'p', {"A p", "B t", "A p", "B t", "A p"}, true,
       0},
      {"never", at(0, 0, 'p', a), at(1, 0, 'p', &b), 9, 'P',
       {"A p", "B p", "A p", "B p", "A p", "B p", "A p"}, false, 1},
      {"same object", at(0, 0, 't', a), at(1, 0, 'e', a), 0, 'T', {}, false, 1},
      {"within a pixel", at(0, 0, 'p', a), at(0.001, 0), 0, 'P', {}, false, 1},
      {"no object", at(0, 0, 't'), at(1, 0), 0, 'T', {}, false, 1},
  };
  int context = 0;
  for (const auto& c : cases) {
    fake() = FakeTracking{};
    fake().failures = c.failures;
    fake().moveTo[0] = 0.5;
    fake().moveTo[1] = 0.5;
    objFree(slot);
    slot = nullptr;
    std::vector<ieToolPoint> points{c.start, c.end};
    ASSERT_EQ(step(lineClassId(), 0, points, nullptr, &context), 0) << c.name;
    EXPECT_EQ(points[0].code, c.code) << c.name;
    EXPECT_EQ(fake().calls, c.calls) << c.name;
    const std::vector<double> start{points[0].point[0], points[0].point[1], points[0].point[2]};
    const std::vector<double> want = c.moved ? std::vector<double>{0.5, 0.5, 0} : std::vector<double>{0, 0, 0};
    EXPECT_EQ(start, want) << c.name;
    ASSERT_EQ(fake().labels.size(), c.labels) << c.name;
    ASSERT_EQ(fake().singles.size(), 1u) << c.name;
    EXPECT_EQ(fake().singles[0], start) << c.name;
    double p0[3];
    ASSERT_EQ(lineEndPoints(slot, p0, nullptr), 0);
    EXPECT_TRUE(geomfx::near(p0, start)) << c.name;
    // Erase the line for the next case.
    drawSlot();
  }
}

TEST_F(TrackStep, TheLabelOfAFailedCodeComesAndGoes) {
  installFakes();
  fake().failures = 1;
  std::vector<ieToolPoint> points{at(0, 0, 't', objectA()), at(1, 0)};
  ASSERT_EQ(step(lineClassId(), 0, points), 0);
  ASSERT_EQ(points[0].code, 'T');
  int32_t pixel[2];
  vwWorldToPixel(points[0].point, pixel);
  const std::string label = std::to_string(pixel[0]) + "," + std::to_string(pixel[1]) + " tangent";
  EXPECT_EQ(fake().labels, std::vector<std::string>{label}) << "drawn at the point";
  // The next step finds the tangent: the label is erased where it was.
  fake().moveTo[0] = 0.25;
  const ieToolPoint previous = points[1];
  points[1] = at(1, 1);
  ASSERT_EQ(step(lineClassId(), 1, points, &previous), 0);
  EXPECT_EQ(points[0].code, 't');
  EXPECT_EQ(fake().labels, (std::vector<std::string>{label, label}));
}

TEST_F(TrackStep, WithoutHooksACodeStaysUnadjusted) {
  std::vector<ieToolPoint> points{at(0, 0, 'p', objectA()), at(1, 0)};
  ASSERT_EQ(step(lineClassId(), 0, points), 0);
  EXPECT_EQ(points[0].code, 'P');
  EXPECT_TRUE(geomfx::near(points[0].point, {0, 0, 0}));
  ASSERT_NE(slot, nullptr);
}

}  // namespace
