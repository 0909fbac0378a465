// The chain of recent objects and its entered points: reading points by
// index, the sixteen-entry limits and what a dropped object gives back,
// adding lines and start points, backing up, the end of a command and of a
// chain, popping, the object sources, and the deletion and change messages
// of the object model reaching the chain.
#include "tools/trk_fixture.h"

#include "core/errors.h"
#include "geometry/lastpt.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/objsend.h"

namespace {

using geomfx::near;
using Points = std::vector<std::vector<double>>;

class TrkChain : public trkfx::TrkTest {};

TEST_F(TrkChain, EnteredPointsByIndex) {
  int rc = 0;
  enteredAt(0, &rc);
  EXPECT_EQ(trk::errNoPoint, rc);
  // Seventeen points keep the sixteen newest: 2 .. 17.
  for (int i = 1; i <= 17; ++i) {
    const double p[3] = {double(i), 0, 0};
    trkAddPoint(p);
  }
  ASSERT_EQ(16, rec->enteredCount);
  struct Case {
    int index;
    double x;
  };
  for (const Case c : {Case{0, 2}, Case{-1, 17}, Case{16, 2}, Case{-17, 17}, Case{5, 7}, Case{-16, 2}, Case{33, 3}}) {
    EXPECT_EQ(c.x, enteredAt(c.index, &rc)[0]) << c.index;
    EXPECT_EQ(0, rc);
  }
  double last[3];
  lastPointGet(last);
  EXPECT_TRUE(near(last, {17, 0, 0})) << "the shared last point follows";
  EXPECT_TRUE(near(rec->lastPoint, {17, 0, 0}));
  int32_t count = -1;
  EXPECT_EQ(0, call(trk::opPointCount, {}, {&count}));
  EXPECT_EQ(16, count);

  // No current sheet record.
  vwSetCurView(nullptr);
  enteredAt(0, &rc);
  EXPECT_EQ(trk::errNoSheet, rc);
  EXPECT_EQ(trk::errNoSheet, call(trk::opPointCount, {}, {&count}));
  EXPECT_EQ(trk::errNoSheet, addLine(0, 1, 1));
  EXPECT_EQ(trk::errNoSheet, call(trk::opLineBackup, {}));
  EXPECT_EQ(trk::errNoDoc, trkRemoveObject(nullptr));
  EXPECT_EQ(nullptr, trkPopObject());
}

TEST_F(TrkChain, AddLineModes) {
  EXPECT_EQ(trk::errCannotDelta, addLine(1, 1, 1)) << "nothing to be relative to";
  EXPECT_EQ(trk::errCannotDelta, addLine(2, 1, 0.25));
  EXPECT_EQ(0, rec->recentCount);
  // Mode 0 with no point: a start point on ".temp".
  ASSERT_EQ(0, addLine(0, 0, 0));
  ASSERT_EQ(1, rec->recentCount);
  gobjRec* start = rec->recent[0];
  EXPECT_EQ(pointClassId(), start->classId);
  EXPECT_TRUE(objOnScratchLayer(start));
  EXPECT_TRUE(start->flags & gobjInSieve);

  ASSERT_EQ(0, addLine(2, 10, 0.25));
  EXPECT_TRUE(near(rec->lastPoint, {0, 10, 0}, 1e-15)) << "polar: 10 at a quarter turn";
  ASSERT_EQ(0, addLine(1, 1, -2));
  EXPECT_TRUE(near(rec->lastPoint, {1, 8, 0}));
  ASSERT_EQ(0, addLine(0, 3, 3));
  EXPECT_TRUE(near(rec->lastPoint, {3, 3, 0}));
  EXPECT_EQ(feErrRangeCheck, addLine(3, 1, 1));
  ASSERT_EQ(4, rec->recentCount);
  double p0[3], p1[3];
  ASSERT_EQ(0, lineEndPoints(rec->recent[3], p0, p1));
  EXPECT_TRUE(near(p0, {1, 8, 0}));
  EXPECT_TRUE(near(rec->endDirection, {2, -5, 0})) << "the newest line's direction at its end";
  EXPECT_TRUE(rec->recent[3]->flags & gobjSelected);
  EXPECT_TRUE(rec->recentFlags & sheetRecentChanged);
  EXPECT_EQ((Points{{0, 0, 0}, {0, 10, 0}, {1, 8, 0}, {3, 3, 0}}), entered());
  int enabled = 0;
  double at[3];
  trkMarkState(&enabled, nullptr, at);
  EXPECT_EQ(1, enabled);
  EXPECT_TRUE(near(at, {3, 3, 0})) << "the marker at the last point";
}

// A seventeenth object pushes the oldest out: it gives back its count and
// its flag, and a start point on ".temp" leaves the document.
TEST_F(TrkChain, TheSeventeenthObjectDropsTheOldest) {
  ASSERT_EQ(0, addStart(0, 0));
  gobjRec* start = hold(rec->recent[0]);
  const uint8_t startCount = start->refCount;
  ASSERT_EQ(0, addLine(1, 1, 0));
  gobjRec* first = hold(rec->recent[1]);
  const uint8_t firstCount = first->refCount;
  for (int i = 0; i < 14; ++i) ASSERT_EQ(0, addLine(1, 1, 0));
  ASSERT_EQ(16, rec->recentCount);
  EXPECT_EQ(start, rec->recent[0]);

  ASSERT_EQ(0, addLine(1, 1, 0));
  EXPECT_EQ(16, rec->recentCount);
  EXPECT_EQ(first, rec->recent[0]);
  EXPECT_FALSE(start->flags & gobjRecent);
  EXPECT_FALSE(start->flags & gobjInSieve) << "the dropped start point left the document";
  EXPECT_EQ(deletedCount(), start->refCount) << "the chain's count given back";
  EXPECT_LT(start->refCount, startCount);

  ASSERT_EQ(0, addLine(1, 1, 0));
  EXPECT_FALSE(first->flags & gobjRecent);
  EXPECT_TRUE(first->flags & gobjInSieve) << "a drawn line stays";
  EXPECT_EQ(firstCount - 1, first->refCount);
  EXPECT_EQ(16, rec->enteredCount);
  EXPECT_TRUE(near(rec->entered[15], {17, 0, 0}));
}

TEST_F(TrkChain, LineBackupOnOneLineLeavesAStartPoint) {
  ASSERT_EQ(0, addStart(1, 2));
  ASSERT_EQ(0, addLine(0, 4, 6));
  // Two objects: the newest goes.
  gobjRec* line = hold(rec->recent[1]);
  EXPECT_EQ(0, call(trk::opLineBackup, {}));
  ASSERT_EQ(1, rec->recentCount);
  EXPECT_FALSE(line->flags & (gobjInSieve | gobjRecent));
  EXPECT_EQ(deletedCount(), line->refCount);

  // A chain of one line.
  EXPECT_EQ(0, call(trk::opNewCurrent, {}));
  ASSERT_EQ(0, addStart(5, 5));
  const double a[3] = {1, 1, 0}, b[3] = {3, 2, 0};
  gobjRec* only = hold(lineMake(a, b));
  EXPECT_EQ(0, call(trk::opNewCurrent, {}));
  EXPECT_EQ(0, call(trk::opMakeCurrent, {argRecord(only)}));
  ASSERT_EQ(1, rec->recentCount);
  EXPECT_TRUE(only->flags & gobjInSieve) << "made current enters the document";
  EXPECT_EQ(0, call(trk::opLineBackup, {}));
  ASSERT_EQ(1, rec->recentCount);
  EXPECT_EQ(pointClassId(), rec->recent[0]->classId);
  EXPECT_TRUE(objOnScratchLayer(rec->recent[0]));
  EXPECT_TRUE(near(rec->lastPoint, {1, 1, 0})) << "the start point stands at the line's start";
  EXPECT_FALSE(only->flags & gobjInSieve);
  EXPECT_EQ(deletedCount(), only->refCount);
}

int commandEnds = 0;
void catchCommandEnd(uint32_t code, intptr_t) {
  if (code == evtCommandEnd) ++commandEnds;
}

TEST_F(TrkChain, CommandEndSignalsAndRebuildsThePairs) {
  static bool added = false;
  if (!added) evtAdd(0xFFFFFFFF, evtCommandEnd, catchCommandEnd);
  added = true;
  commandEnds = 0;
  ASSERT_EQ(0, addStart(0, 0));
  ASSERT_EQ(0, addLine(0, 1, 0));
  ASSERT_EQ(0, addLine(0, 1, 1));
  ASSERT_EQ(0, addLine(0, 0, 1));
  gobjRec* middle = rec->recent[2];
  ASSERT_EQ(0, objDelete(middle, 1));
  EXPECT_EQ(3, rec->recentCount) << "the deletion took it out of the chain";
  EXPECT_TRUE(rec->recentFlags & sheetRecentChanged);

  EXPECT_EQ(0, call(trk::opCmdEnd, {}));
  EXPECT_EQ(1, commandEnds);
  EXPECT_EQ((Points{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}), entered());
  EXPECT_TRUE(near(rec->lastPoint, {0, 1, 0}));
  EXPECT_TRUE(near(rec->endDirection, {-1, 0, 0}));
  EXPECT_FALSE(rec->recentFlags & sheetRecentChanged);

  // Unchanged: the points stay as they are.
  trkAddPoint(rec->lastPoint);
  EXPECT_EQ(0, call(trk::opCmdEnd, {}));
  EXPECT_EQ(7, rec->enteredCount);
  EXPECT_EQ(2, commandEnds);

  // A change of a listed object (message 320) marks the chain again.
  objChanged(rec->recent[1], 0);
  EXPECT_TRUE(rec->recentFlags & sheetRecentChanged);
  // No sheet record: the event all the same.
  vwSetCurView(nullptr);
  EXPECT_EQ(0, call(trk::opCmdEnd, {}));
  EXPECT_EQ(3, commandEnds);
}

TEST_F(TrkChain, NewCurrentAndPopGiveTheCountsBack) {
  gobjRec* drawn = insertLine(5, 5, 6, 6);
  const uint8_t drawnCount = drawn->refCount;
  ASSERT_EQ(0, addStart(0, 0));
  gobjRec* start = hold(rec->recent[0]);
  ASSERT_EQ(0, addLine(0, 2, 0));
  gobjRec* added = hold(rec->recent[1]);
  const uint8_t addedCount = added->refCount;
  EXPECT_EQ(0, call(trk::opMakeCurrent, {argRecord(drawn)}));
  EXPECT_EQ(drawnCount + 1, drawn->refCount);

  // Pop the newest: the caller's count, the last point at the end of the
  // one now newest.
  gobjRec* popped = trkPopObject();
  EXPECT_EQ(drawn, popped);
  EXPECT_TRUE(drawn->flags & gobjInSieve) << "not on .temp: stays";
  EXPECT_EQ(drawnCount + 1, drawn->refCount);
  objRelease(&popped);
  EXPECT_TRUE(near(rec->lastPoint, {2, 0, 0}));

  EXPECT_EQ(0, call(trk::opNewCurrent, {}));
  EXPECT_EQ(0, rec->recentCount);
  EXPECT_EQ(0, rec->enteredCount);
  EXPECT_EQ(drawnCount, drawn->refCount);
  EXPECT_EQ(addedCount - 1, added->refCount);
  EXPECT_FALSE(added->flags & gobjRecent);
  EXPECT_TRUE(added->flags & gobjInSieve);
  EXPECT_EQ(deletedCount(), start->refCount) << "the start point on .temp was deleted";
  EXPECT_FALSE(start->flags & (gobjInSieve | gobjRecent));
}

TEST_F(TrkChain, ObjectSourcesNewestFirst) {
  std::vector<gobjRec*> seen;
  auto collect = [](gobjRec* o, void* c) { return static_cast<std::vector<gobjRec*>*>(c)->push_back(o), 0; };
  EXPECT_EQ(0, grpEnum("last", 4, collect, &seen));
  EXPECT_TRUE(seen.empty());
  ASSERT_EQ(0, addStart(0, 0));
  ASSERT_EQ(0, addLine(0, 1, 0));
  ASSERT_EQ(0, addLine(0, 1, 1));
  EXPECT_EQ(0, grpEnum("last", 4, collect, &seen));
  EXPECT_EQ(std::vector<gobjRec*>{rec->recent[2]}, seen);
  seen.clear();
  EXPECT_EQ(0, grpEnum("current", 7, collect, &seen));
  EXPECT_EQ((std::vector<gobjRec*>{rec->recent[2], rec->recent[1], rec->recent[0]}), seen);
}

// Flag 0x0008 belongs to the current-object group and the chain alike:
// leaving one keeps it while the other lists the object.
TEST_F(TrkChain, TheFlagIsSharedWithTheCurrentObjectGroup) {
  gobjRec* a = insertLine(0, 0, 1, 0);
  gobjRec* b = insertLine(0, 1, 1, 1);
  EXPECT_EQ(0, call(trk::opMakeCurrent, {argRecord(a)}));
  grpBegin();
  grpAdd(a);
  grpAdd(b);
  glist* group = grpEnd();
  feArg in{};
  in.record = group;
  EXPECT_EQ(0, call(aSetCurObj, {in}));
  EXPECT_TRUE(a->flags & gobjRecent);
  EXPECT_EQ(0, trkRemoveObject(a));
  EXPECT_TRUE(a->flags & gobjRecent) << "still in the current-object group";
  EXPECT_EQ(-1, trkRemoveObject(a));
  EXPECT_EQ(0, call(trk::opMakeCurrent, {argRecord(b)}));
  // The group is replaced: b stays marked for the chain, a is not marked.
  grpBegin();
  glist* empty = grpEnd();
  in.record = empty;
  EXPECT_EQ(0, call(aSetCurObj, {in}));
  EXPECT_FALSE(a->flags & gobjRecent);
  EXPECT_TRUE(b->flags & gobjRecent);
  grpRelease(&group);
  grpRelease(&empty);
}

}  // namespace
