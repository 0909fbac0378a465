// The tracking feedback drawn in a document window: XOR drawing that a
// second pass erases, the incremental update that leaves an unchanged
// result on screen, the use counts the feedback and contexts hold, and the
// acquired-marker list.
#include "tools/track.h"

#include "views/view_fixture.h"

#include "objects/gobject.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/view.h"

#include <cstring>
#include <vector>

namespace {

class TrackTest : public viewfx::ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    openDrawing();
    windGetHwnd(window, &hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    width = client.right;
    height = client.bottom;
    vwSetCurView(draft);
    trackSetMarkHook([](int state) { markStates().push_back(state); });
    markStates().clear();
  }
  void TearDown() override {
    trackClearFeedback(&context);
    trackFeedbackForgetPort();
    trackSetMarkHook(nullptr);
    for (gobjRec*& o : held) objRelease(&o);
    held.clear();
    ViewDrawTest::TearDown();
  }

  static std::vector<int>& markStates() {
    static std::vector<int> states;
    return states;
  }

  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) all.push_back(plTestWindowPixel(hwnd, x, y));
    return all;
  }

  // A snap result at the point with the given code, standing on the
  // candidates (copied into the set).
  void snapTo(std::initializer_list<double> point, int code, std::vector<snapCand> results) {
    set = results;
    std::copy(point.begin(), point.end(), context.resultPoint);
    context.resultCode = code;
    for (int i = 0; i < 2; ++i) objRelease(&context.resultObjects[i]);
    context.resultObjectCount = int32_t(results.size());
    for (size_t i = 0; i < results.size(); ++i) {
      context.resultObjects[i] = results[i].object;
      objRetain(results[i].object);
    }
    const int indices[2] = {0, 1};
    trackFeedbackUpdate(&context, set.data(), indices);
  }

  gobjRec* newObject() {
    gobjRec* o = objNew(viewfx::lines().tline);
    objRetain(o);  // the test's own count, released at the end
    held.push_back(o);
    return o;
  }

  static snapCand construction(int kind, std::initializer_list<double> point, std::initializer_list<double> dir,
                               const char* label = "") {
    snapCand c{};
    c.kind = int16_t(kind);
    std::copy(point.begin(), point.end(), c.point);
    std::copy(dir.begin(), dir.end(), c.direction);
    c.label = label;
    return c;
  }

  HWND hwnd = nullptr;
  int width = 0, height = 0;
  trackContext context{};
  std::vector<snapCand> set;
  std::vector<gobjRec*> held;
};

TEST_F(TrackTest, FeedbackDrawnAndErasedLeavesThePixels) {
  const std::vector<COLORREF> before = pixels();
  snapTo({0.5, 0.5, 0}, 't', {construction('t', {0.5, 0.5, 0}, {1, 0.3, 0}, "x"),
                              construction('p', {0.2, 0.1, 0}, {0, 1, 0})});
  trackFeedbackState shown{};
  trackFeedbackGet(&shown);
  EXPECT_EQ(shown.flags, trackFbOn | trackFbLabel | trackFbBox);
  EXPECT_EQ(shown.itemCount, 2);
  EXPECT_NE(pixels(), before) << "the construction lines and the box are drawn";

  // Another result replaces it; clearing brings the window back exactly.
  snapTo({0.1, 0.2, 0}, 'e', {});
  trackClearFeedback(&context);
  EXPECT_EQ(pixels(), before);
  trackFeedbackGet(&shown);
  EXPECT_EQ(shown.flags, 0u);
  EXPECT_EQ(shown.itemCount, 0);
}

TEST_F(TrackTest, AnUnchangedResultStaysOnScreenUntouched) {
  const std::vector<COLORREF> before = pixels();
  const std::vector<snapCand> lines = {construction('t', {0.5, 0.5, 0}, {1, 0, 0})};
  snapTo({0.5, 0.5, 0}, 't', lines);
  const std::vector<COLORREF> shown = pixels();
  // The same snap again: the label, box and line are neither erased nor
  // drawn again (an XOR redraw of only some of them would change pixels).
  snapTo({0.5, 0.5, 0}, 't', lines);
  EXPECT_EQ(pixels(), shown);
  trackFeedbackState state{};
  trackFeedbackGet(&state);
  EXPECT_EQ(state.flags, trackFbOn | trackFbLabel | trackFbBox);
  EXPECT_EQ(state.items[0].flags & 1, 0) << "match marks are cleared after the update";

  // The same line behind a moved point: the line stays, the box moves.
  snapTo({0.25, 0.5, 0}, 't', lines);
  EXPECT_NE(pixels(), shown);
  trackClearFeedback(&context);
  EXPECT_EQ(pixels(), before);
}

TEST_F(TrackTest, UseCountsAreHeldWhileShownAndReleasedAfter) {
  gobjRec* a = newObject();
  gobjRec* b = newObject();
  const uint8_t countA = a->refCount, countB = b->refCount;
  snapCand onA{};
  onA.object = a;
  onA.label = "";
  snapCand onB = onA;
  onB.object = b;
  snapTo({0.3, 0.3, 0}, 'i', {onA, onB});
  // The context's result and the feedback item hold one count each.
  EXPECT_EQ(a->refCount, countA + 2);
  EXPECT_EQ(b->refCount, countB + 2);
  trackClearFeedback(&context);
  EXPECT_EQ(a->refCount, countA);
  EXPECT_EQ(b->refCount, countB);
  EXPECT_EQ(context.resultObjects[0], nullptr);
  EXPECT_EQ(context.resultObjectCount, 0);

  // A crossing of two grid lines is a grid point on no object: both result
  // objects are let go.
  snapCand gridA = construction('g', {0, 0, 0}, {1, 0, 0});
  gridA.object = a;
  snapCand gridB = construction('g', {0, 0, 0}, {0, 1, 0});
  gridB.object = b;
  snapTo({0, 0, 0}, 'i', {gridA, gridB});
  EXPECT_EQ(context.resultCode, 'g');
  EXPECT_EQ(context.resultObjectCount, 0);
  EXPECT_EQ(context.resultObjects[0], nullptr);
  EXPECT_EQ(a->refCount, countA);
  EXPECT_EQ(b->refCount, countB);
}

// The view is held only while feedback is shown in it: erased feedback
// lets it go, so that closing its document frees its model.
TEST_F(TrackTest, TheFeedbackPortHoldsItsViewWhileFeedbackIsShown) {
  const uint8_t count = draft->refCount;
  snapTo({0.5, 0.5, 0}, 'e', {});
  EXPECT_EQ(draft->refCount, count + (count == 255 ? 0 : 1));
  trackClearFeedback(&context);
  EXPECT_EQ(draft->refCount, count);
  snapTo({0.5, 0.5, 0}, 'e', {});
  trackFeedbackForgetPort();
  EXPECT_EQ(draft->refCount, count);
}

TEST_F(TrackTest, LabelsAreCopiedAndCodesNShowNoBox) {
  char label[] = "x";
  snapTo({0.5, 0.5, 0}, 'a', {construction('a', {0.5, 0.5, 0}, {1, 0, 0}, label)});
  label[0] = 'y';  // the candidate set does not outlive the snap
  trackFeedbackState state{};
  trackFeedbackGet(&state);
  EXPECT_STREQ(state.items[0].label, "x");

  context.snapCodes = "n";
  snapTo({0.1, 0.1, 0}, 'n', {});
  trackFeedbackGet(&state);
  EXPECT_EQ(state.flags, trackFbOn | trackFbLabel);
}

TEST_F(TrackTest, TheTrackPointMarkerFollowsTheFeedback) {
  snapTo({0.5, 0.5, 0}, 'e', {});
  trackClearFeedback(&context);
  EXPECT_EQ(markStates(), (std::vector<int>{1, 0}));
  markStates().clear();
  // Nothing shown: nothing to erase, no call.
  trackClearFeedback(&context);
  EXPECT_TRUE(markStates().empty());
}

TEST_F(TrackTest, ResetZeroesTheResultAndKeepsTheCallersSettings) {
  gobjRec* a = newObject();
  const uint8_t count = a->refCount;
  context.hitRadius = 8;
  context.snapCounter = 5;
  context.typedKey = 'e';
  context.resultCode = 'e';
  context.resultObjectCount = 1;
  context.resultObjects[0] = a;
  objRetain(a);
  trackReset(&context);
  EXPECT_EQ(context.resultCode, 0);
  EXPECT_EQ(context.resultObjectCount, 0);
  EXPECT_EQ(context.snapCounter, 0);
  EXPECT_EQ(context.typedKey, 0);
  EXPECT_EQ(context.hitRadius, 8);
  EXPECT_EQ(a->refCount, count);
  EXPECT_EQ(context.nearDirs.vectors, nullptr);
}

TEST_F(TrackTest, AcquiredMarkersKeepEightNewestWithoutRepeats) {
  trackReset(&context);
  const std::vector<COLORREF> before = pixels();
  auto points = [] {
    int n = 0;
    const trackMarker* m = trackMarkers(&n);
    std::vector<double> xs;
    for (int i = 0; i < n; ++i) xs.push_back(m[i].point[0]);
    return xs;
  };
  for (int i = 0; i < 3; ++i) {
    const double p[3] = {0.1 * i, 0, 0};
    trackMarkerAdd(p, trackMarkerCenter);
  }
  EXPECT_NE(pixels(), before);
  const std::vector<COLORREF> three = pixels();
  // A repeat trades places with the newest and draws nothing.
  const double first[3] = {0, 0, 0};
  trackMarkerAdd(first, trackMarkerCenter);
  EXPECT_EQ(points(), (std::vector<double>{0.2, 0.1, 0}));
  EXPECT_EQ(pixels(), three);
  // The same point of another kind is another marker; kind 0 is not drawn.
  trackMarkerAdd(first, trackMarkerPoint);
  EXPECT_EQ(pixels(), three);
  for (int i = 3; i < 9; ++i) {
    const double p[3] = {0.1 * i, 0, 0};
    trackMarkerAdd(p, trackMarkerCenter);
  }
  // Ten markers for eight places: the two oldest (0.2, 0.1) were dropped.
  std::vector<double> want = {0, 0};
  for (int i = 3; i < 9; ++i) want.push_back(0.1 * i);
  EXPECT_EQ(points(), want);
  trackClearFeedback(&context);
  EXPECT_TRUE(points().empty());
  EXPECT_EQ(pixels(), before) << "dropped and cleared markers are erased";
}

}  // namespace
