// Shared by the input engine and tool loop tests: a document with lines
// seen through a view, the engine's and the buffer's operators registered,
// and the script procedures the tools call ("aOnState", "aUpdate",
// "onKey") recorded by native stand-ins.
#ifndef PLUMET_TESTS_TOOLS_IE_FIXTURE_H
#define PLUMET_TESTS_TOOLS_IE_FIXTURE_H

#include "geometry/geometry_fixture.h"
#include "geometry/line.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "objects/grpedit.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "tools/snapcodes.h"
#include "tools/track.h"
#include "tools/trkpoint.h"
#include "views/view.h"
#include "views/vwevent.h"
#include "views/wplane.h"

#include <platform_test.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace iefx {

struct Calls {
  std::vector<int> onState;                       // the counts given to "aOnState"
  int updates = 0;                                // runs of "aUpdate"
  std::vector<std::pair<int, std::string>> keys;  // "onKey"
};
inline Calls& calls() {
  static Calls c;
  return c;
}

class IeTest : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    calls() = Calls{};
    ASSERT_EQ(0, ieInit());
    ASSERT_EQ(0, ieToolInit());
    feRegisterOp("aOnState", [](feArgs* a) { return calls().onState.push_back(a->in[0].i), 0; }, "I", 0, 0);
    feRegisterOp("aUpdate", [](feArgs*) { return ++calls().updates, 0; }, "", 0, 0);
    feRegisterOp(
        "onKey",
        [](feArgs* a) {
          calls().keys.push_back({a->in[0].i, std::string(a->in[1].text.text, size_t(a->in[1].text.length))});
          return 0;
        },
        "IS", 0, 0);
    s = sheetfx::sheetWithView();
    vwSetCurView(s.draft);
    std::memset(trkSharedContext(), 0, sizeof(trackContext));
  }
  void TearDown() override {
    for (int vk : {VK_LBUTTON, VK_CONTROL, VK_SHIFT}) plTestSetKeyDown(vk, false);
    ieEngineReset();
    ieToolReset();
    trackClearFeedback(trkSharedContext());
    std::memset(trkSharedContext(), 0, sizeof(trackContext));
    trackFeedbackForgetPort();
    snapDefaultCodesReset();
    GeomTest::TearDown();
  }

  // One point for ieSetPoints.
  static const double (*onePoint(double x, double y, double z))[3] {
    static double p[1][3];
    p[0][0] = x;
    p[0][1] = y;
    p[0][2] = z;
    return p;
  }
  static POINT pixel(double x, double y) {
    const double p[3] = {x, y, 0};
    int32_t px[2];
    vwWorldToPixel(p, px);
    return POINT{px[0], px[1]};
  }
  // Queues a press at p held through the moves (each 10 ms apart), then
  // the release 10 ms after the last; the press is in effect at once.
  static void queueDrag(POINT p, const std::vector<POINT>& moves) {
    plTestQueueMouseButton(VK_LBUTTON, true, p.x, p.y, 1);
    POINT last = p;
    for (POINT m : moves) {
      plTestQueueMouseMove(m.x, m.y, 10);
      last = m;
    }
    plTestQueueMouseButton(VK_LBUTTON, false, last.x, last.y, 10);
    POINT now{};
    while (plTestQueuedInputCount() == moves.size() + 2 && GetCursorPos(&now)) {
    }
  }
  // Runs source and answers its error code; the value it leaves is put in
  // *out when asked.
  static int run(const char* source, feObject* out = nullptr) {
    return feCallScript(source, std::strlen(source), false, nullptr, 0, out);
  }

  sheetfx::SheetWithView s{};
};

}  // namespace iefx

#endif
