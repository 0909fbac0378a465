// Shared by the point-input tests: the input-engine fixture (a document
// with lines seen through a view, the engine and tool-loop operators, the
// recorded script procedures) with the point-input operators and hooks,
// and helpers to read the current sheet record's chain.
#ifndef PLUMET_TESTS_TOOLS_TRK_FIXTURE_H
#define PLUMET_TESTS_TOOLS_TRK_FIXTURE_H

#include "tools/ie_fixture.h"

#include "geometry/lastpt.h"
#include "geometry/marker.h"
#include "geometry/point.h"
#include "objects/docvar_sheet.h"
#include "objects/objrecord.h"
#include "objects/uphooks.h"
#include "tools/ietool.h"
#include "tools/trk_internal.h"
#include "views/uphooks.h"
#include "views/vwevent.h"
#include "views/vwtrack.h"

namespace trkfx {

class TrkTest : public iefx::IeTest {
protected:
  void SetUp() override {
    IeTest::SetUp();
    ASSERT_EQ(0, trk::registerOps());
    trkInstallHooks();
    // What start-up sets: the layers below reach the tool input loop, and
    // the fold line its markers and the last-point register.
    objPointInput input{};
    ieFillPointInput(&input);
    objSetPointInput(input);
    vwSetFoldHooks({markDraw, markDrawCur, lastPtFromSegment});
    trkMarkReset();
    sheetCurrent(&rec);
    ASSERT_NE(rec, nullptr) << "the current model's sheet record";
  }
  void TearDown() override {
    objSetDetachHook(nullptr);
    trkStepSetHooks(nullptr);
    trackSetMarkHook(nullptr);
    vwSetCmdEndHook(nullptr);
    vwSetTrackHooks(nullptr);
    objSetPointInput({});
    vwSetFoldHooks({});
    trkMarkReset();
    IeTest::TearDown();
  }

  static feArg argBlock(const void* p) {
    feArg a{};
    a.block = const_cast<void*>(p);
    return a;
  }
  // aAddLine mode (x, y, z).
  static int addLine(int mode, double x, double y, double z = 0) {
    const double p[3] = {x, y, z};
    return call(trk::opAddLine, {argInt(mode), argBlock(p)});
  }
  static int addStart(double x, double y, double z = 0) {
    const double p[3] = {x, y, z};
    return call(trk::opAddStartPoint, {argBlock(p)});
  }
  // The entered point of an index (aStartPoint and its kin); the answer in *rc.
  static std::vector<double> enteredAt(int index, int* rc = nullptr) {
    double out[3] = {0, 0, 0};
    const int answer = call(trk::opEnteredPoint, {argInt(index)}, {out});
    if (rc) *rc = answer;
    return {out[0], out[1], out[2]};
  }

  // The count of a held object after it entered and left the document
  // outside the chain: the document's redraw queue may keep a count of its
  // own until the views are redrawn.
  uint8_t deletedCount() {
    const double p[3] = {0, 0, 0};
    gobjRec* o = hold(&pointNew(p)->head);
    EXPECT_EQ(0, objInsert(o));
    EXPECT_EQ(0, objDelete(o, 1));
    return o->refCount;
  }

  std::vector<std::vector<double>> entered() const {
    std::vector<std::vector<double>> all;
    for (int i = 0; i < rec->enteredCount; ++i) all.push_back({rec->entered[i][0], rec->entered[i][1], rec->entered[i][2]});
    return all;
  }
  std::vector<gobjRec*> recent() const { return {rec->recent, rec->recent + rec->recentCount}; }

  dbSheetRec* rec = nullptr;
};

}  // namespace trkfx

#endif
