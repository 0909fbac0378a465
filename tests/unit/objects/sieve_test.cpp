#include "sieve_fixture.h"

#include "core/sfloat.h"
#include "objects/objrecord.h"

#include <cmath>
#include <limits>

namespace {

using namespace sievefx;
using gobjfx::boxes;
using gobjfx::state;

using Sieve = SieveTest;

TEST_F(Sieve, CellCountIsThePowerOfTwoAtOrAboveTheWishWithin8And4096) {
  const struct {
    int wish, cells;
  } cases[] = {{0, 8}, {8, 8}, {9, 16}, {100, 128}, {4096, 4096}, {10000, 4096}};
  for (const auto& c : cases) {
    sieveRec* s = sieveNew(c.wish, nullptr, &doc, 1);
    EXPECT_EQ(s->cellCount, c.cells) << c.wish;
    EXPECT_EQ(s->classId, sieveClassId());
    sieveFree(s, 1);
  }
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
  sieveFree(sieveNew(8, nullptr, nullptr, 0), 1);
  EXPECT_EQ(boxes(), "No current drawing|");
}

TEST_F(Sieve, CellsSplitOnTheLongestAxisAndObjectsGoToTheDeepestCellHoldingThem) {
  const double lo[3] = {-100, -10, -1}, hi[3] = {100, 10, 1};
  sieveRec* s = makeSieve(64, lo, hi);
  // x is the longest: cell 2 is x <= 0, cell 3 x >= 0.
  EXPECT_EQ(s->cells[2].box[3], int16_t(sfloatPackOne(1, 0.0)));
  EXPECT_EQ(s->cells[3].box[0], int16_t(sfloatPackOne(-1, 0.0)));
  EXPECT_EQ(s->cells[2].box[4], s->cells[1].box[4]);

  tboxRec* straddling = box(-1, -1, 0, 1, 1, 0);
  tboxRec* right = box(60, 2, 0, 61, 3, 0);
  ASSERT_EQ(sieveInsert(s, &straddling->head), 0);
  ASSERT_EQ(sieveInsert(s, &right->head), 0);
  EXPECT_EQ(cellHolding(s, &straddling->head), 1);
  const int cell = cellHolding(s, &right->head);
  EXPECT_EQ(cell, sieveCellOf(s, right->head.box));
  ASSERT_GT(cell, 3);
  EXPECT_TRUE(bboxContains(s->cells[cell].box, right->head.box));
  if (2 * cell < s->cellCount) {
    EXPECT_FALSE(bboxContains(s->cells[2 * cell].box, right->head.box));
    EXPECT_FALSE(bboxContains(s->cells[2 * cell + 1].box, right->head.box));
  }
}

TEST_F(Sieve, InsertTakesAReferenceAndGrowsTheRootForAnOutsideObject) {
  sieveRec* s = makeSieve(8, 10);
  sieveRebuild(s, 8, 0);  // a rebuild answers any resort asked for before
  tboxRec* inside = box(1, 1, 1, 2, 2, 2);
  ASSERT_EQ(sieveInsert(s, &inside->head), 0);
  EXPECT_EQ(inside->head.refCount, 1);
  EXPECT_EQ(inside->head.flags & gobjInSieve, gobjInSieve);
  EXPECT_EQ(inside->head.sieve, s);
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_FALSE(sieveResortWanted());

  tboxRec* far = box(500, 0, 0, 600, 1, 1);
  ASSERT_EQ(sieveInsert(s, &far->head), 0);
  EXPECT_TRUE(bboxContains(s->cells[1].box, far->head.box));
  EXPECT_TRUE(sieveResortWanted());
  EXPECT_EQ(cellHolding(s, &far->head), 1);
  sieveRebuild(s, 8, 0);
  EXPECT_FALSE(sieveResortWanted());
}

// A refused insert panics and leaves the chains and the count alone.
TEST_F(Sieve, MisusedInsertsPanicAndEnterNothing) {
  sieveRec* s = makeSieve(8, 10);
  tboxRec* b = box(1, 1, 1, 2, 2, 2);
  ASSERT_EQ(sieveInsert(s, &b->head), 0);
  sieveRec* other = sieveNew(8, s->cells[1].box, &doc, 3);
  tboxRec* foreign = box(1, 1, 1, 2, 2, 2);
  foreign->head.sieve = other;   // a sieve pointer without the flag
  tboxRec* own = box(1, 1, 1, 2, 2, 2);
  own->head.sieve = s;
  gobjRec notASieve{};
  notASieve.classId = counts().tbox;
  tboxRec* loose = box(1, 1, 1, 2, 2, 2);

  const struct {
    sieveRec* sieve;
    gobjRec* object;
    const char* panic;
  } cases[] = {
      {s, nullptr, "tried to insert NULL into sieve"},
      {nullptr, &loose->head, "sieve panic: sieve==0"},
      {reinterpret_cast<sieveRec*>(&notASieve), &loose->head, "arg1 in sieveInsert is not a sieve"},
      {s, &b->head, "0: object already in sieve [0x3000001]"},
      {s, &foreign->head, "tbox: object already in sieve [0]"},
      {s, &own->head, "object already in sieve"},
  };
  for (const auto& c : cases) {
    plTestClearMessageBoxes();
    EXPECT_EQ(sieveInsert(c.sieve, c.object), -1) << c.panic;
    EXPECT_NE(boxes().find(c.panic), std::string::npos) << boxes();
  }
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_EQ(all(s), std::vector<gobjRec*>{&b->head});
  EXPECT_EQ(b->head.refCount, 1);
  EXPECT_EQ(b->head.nextInCell, nullptr);
  foreign->head.sieve = own->head.sieve = nullptr;
  for (tboxRec* r : {foreign, own, loose}) objFree(&r->head);
  sieveFree(other, 1);
}

TEST_F(Sieve, IdsCarryTheDocumentByte) {
  sieveRec* s = makeSieve(8, 10);
  doc.idCounter = 7;
  tboxRec* fresh = box(0, 0, 0, 1, 1, 1);
  tboxRec* fromFile = box(0, 0, 0, 1, 1, 1);
  fromFile->head.id = 40;
  tboxRec* ours = box(0, 0, 0, 1, 1, 1);
  ours->head.id = 0x03000005;
  tboxRec* moved = box(0, 0, 0, 1, 1, 1);
  moved->head.id = 0x09000002;
  for (tboxRec* b : {fresh, fromFile, ours, moved}) ASSERT_EQ(sieveInsert(s, &b->head), 0);
  EXPECT_EQ(fresh->head.id, 0x03000007u);
  EXPECT_EQ(fromFile->head.id, 0x03000028u);
  EXPECT_EQ(ours->head.id, 0x03000005u);
  EXPECT_EQ(moved->head.id, 0x03000029u);   // lost its id, took the next one
  EXPECT_EQ(doc.idCounter, 42u);

  s->doc = nullptr;
  plTestClearMessageBoxes();
  tboxRec* orphan = box(0, 0, 0, 1, 1, 1);
  EXPECT_EQ(sieveInsert(s, &orphan->head), 0);
  EXPECT_EQ(boxes(), "sieve has no document|");
  s->doc = &doc;
}

TEST_F(Sieve, BadBoxesStayOutClampedOnesGoInClamped) {
  sieveRec* s = makeSieve(8, 10);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  tboxRec* bad = heldBox(0, 0, 0, nan, 1, 1);   // packs as a minimum above its maximum
  EXPECT_EQ(sieveInsert(s, &bad->head), -1);
  EXPECT_EQ(boxes(), "Object of type 'tbox' contains bad data and has been deleted|");
  EXPECT_EQ(bad->head.flags & gobjInSieve, 0);
  EXPECT_EQ(s->objectCount, 0u);

  tboxRec* huge = box(0, 0, 0, 1e38, 1, 1);
  EXPECT_EQ(sieveInsert(s, &huge->head), 0);
  EXPECT_EQ(huge->head.box[3], bboxLimit);
  EXPECT_EQ(cellHolding(s, &huge->head), 1);
}

TEST_F(Sieve, ChangedObjectsAreRecomputedBeforeEntry) {
  sieveRec* s = makeSieve(8, 10);
  tboxRec* b = box(1, 1, 1, 2, 2, 2);
  b->head.flags |= gobjChanged;
  ASSERT_EQ(sieveInsert(s, &b->head), 0);
  EXPECT_EQ(b->head.flags & gobjChanged, 0);
  int16_t expected[6];
  bboxFromCorners(b->lo, b->hi, expected);
  EXPECT_EQ(std::vector<int16_t>(b->head.box, b->head.box + 6), std::vector<int16_t>(expected, expected + 6));
}

TEST_F(Sieve, RemoveFindsTheObjectByItsBox) {
  sieveRec* s = makeSieve(64, 100);
  tboxRec* b = heldBox(50, 50, 50, 51, 51, 51);
  tboxRec* neighbour = box(50, 50, 50, 51, 51, 51);
  ASSERT_EQ(sieveInsert(s, &b->head), 0);
  ASSERT_EQ(sieveInsert(s, &neighbour->head), 0);
  EXPECT_EQ(b->head.refCount, 2);

  // A box changed behind the sieve's back points at another cell.
  const int16_t saved = b->head.box[0];
  b->head.box[0] = int16_t(sfloatPackOne(-1, -90.0));
  state().log.clear();
  EXPECT_EQ(sieveRemove(s, &b->head), -1);
  EXPECT_EQ(boxes(), "sieveRemove failed\n|");
  EXPECT_NE(state().log.find("obj=0x3000001, index=1\n"), std::string::npos) << state().log;
  b->head.box[0] = saved;

  EXPECT_EQ(sieveRemove(s, &b->head), 0);
  EXPECT_EQ(b->head.refCount, 1);
  EXPECT_EQ(b->head.flags & gobjInSieve, 0);
  EXPECT_EQ(b->head.sieve, nullptr);
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_EQ(all(s), std::vector<gobjRec*>{&neighbour->head});

  plTestClearMessageBoxes();
  EXPECT_EQ(sieveRemove(s, &b->head), -1);
  EXPECT_EQ(sieveRemove(nullptr, &b->head), -1);
  gobjRec notASieve{};
  notASieve.classId = counts().tbox;
  EXPECT_EQ(sieveRemove(reinterpret_cast<sieveRec*>(&notASieve), &neighbour->head), -4100);
  EXPECT_EQ(boxes(),
            "tried to remove object not in sieve|sieve is NULL in sieveRemove|arg1 in sieveRemove is not a sieve|");
}

TEST_F(Sieve, ResortCheckRebuildsWhenObjectsOutnumberCells64To1) {
  sieveRec* s = makeSieve(8, 100);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(sieveInsert(s, &box(i % 90, 0, 0, i % 90 + 1, 1, 1)->head), 0);
  state().log.clear();
  EXPECT_EQ(sieveResortCheck(s), 0);
  EXPECT_EQ(s->cellCount, 8);
  ASSERT_EQ(sieveInsert(s, &box(5, 5, 5, 6, 6, 6)->head), 0);
  EXPECT_EQ(sieveResortCheck(s), 1);
  EXPECT_EQ(s->cellCount, 16);
  EXPECT_EQ(state().log, "Resorting Sieve.\n");
  EXPECT_EQ(s->objectCount, 513u);
  EXPECT_EQ(all(s).size(), 513u);
}

// The object count is a plain count: past 65535 it still follows inserts
// and removals, so the resort rule keeps working.
TEST_F(Sieve, ObjectCountDoesNotStickAt65535) {
  sieveRec* s = makeSieve(4096, 100);
  std::vector<gobjRec*> made;
  for (int i = 0; i < 65540; ++i) {
    made.push_back(&box(i % 90, i % 7, 0, i % 90 + 1, i % 7 + 1, 1)->head);
    ASSERT_EQ(sieveInsert(s, made.back()), 0);
  }
  EXPECT_EQ(s->objectCount, 65540u);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(objDelete(made[i], 0), 0);
  EXPECT_EQ(s->objectCount, 65530u);
}

TEST_F(Sieve, RebuildDropsObjectsWhoseNewBoxesAreBad) {
  sieveRec* s = makeSieve(8, 10);
  tboxRec* good = box(1, 1, 1, 2, 2, 2);
  tboxRec* spoilt = heldBox(3, 3, 3, 4, 4, 4);
  ASSERT_EQ(sieveInsert(s, &good->head), 0);
  ASSERT_EQ(sieveInsert(s, &spoilt->head), 0);
  spoilt->hi[1] = std::numeric_limits<double>::quiet_NaN();
  sieveRebuild(s, 32, 1);
  EXPECT_EQ(s->cellCount, 32);
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_EQ(all(s), std::vector<gobjRec*>{&good->head});
  EXPECT_EQ(spoilt->head.flags & gobjInSieve, 0);
  EXPECT_EQ(spoilt->head.refCount, 1);   // the test's own reference
  EXPECT_EQ(good->head.refCount, 1);
}

// Box and point queries against a brute-force scan, through inserts,
// deletions and rebuilds.
TEST_F(Sieve, QueriesFindExactlyWhatABruteForceScanFinds) {
  sieveRec* s = makeSieve(64, 500);
  uint32_t seed = 12345;
  auto next = [&seed](double range) {
    seed = seed * 1103515245u + 12345u;
    return (double((seed >> 8) & 0xFFFF) / 65535.0 * 2 - 1) * range;
  };
  std::vector<gobjRec*> objects;
  auto add = [&](int n) {
    for (int i = 0; i < n; ++i) {
      const double x = next(600), y = next(600), z = next(50);
      const double w = std::fabs(next(40)), h = std::fabs(next(40));
      gobjRec* o = &box(x, y, z, x + w, y + h, z + 1)->head;
      ASSERT_EQ(sieveInsert(s, o), 0);
      objects.push_back(o);
    }
  };
  auto check = [&](const char* stage) {
    for (int q = 0; q < 150; ++q) {
      double a[3] = {next(700), next(700), next(60)}, b[3] = {next(700), next(700), next(60)};
      if (q % 5 == 0) std::copy(a, a + 3, b);   // a point query
      int16_t query[6];
      bboxFromCorners(a, b, query);
      for (int mode : {0, 1}) {
        std::vector<gobjRec*> found;
        sieveSearchBox(s, collect, &found, mode, a, b);
        std::set<gobjRec*> got(found.begin(), found.end());
        EXPECT_EQ(got.size(), found.size()) << stage;   // nothing twice
        std::set<gobjRec*> want;
        for (gobjRec* o : objects)
          if (mode == 1 ? bboxContains(query, o->box) : bboxOverlap(query, o->box)) want.insert(o);
        ASSERT_EQ(got, want) << stage << " query " << q << " mode " << mode;
      }
    }
  };
  add(3000);
  check("inserted");
  for (size_t i = 0; i < objects.size(); i += 3) ASSERT_EQ(objDelete(objects[i], 0), 0);
  std::vector<gobjRec*> kept;
  for (size_t i = 0; i < objects.size(); ++i)
    if (i % 3) kept.push_back(objects[i]);
  objects.swap(kept);
  EXPECT_EQ(s->objectCount, objects.size());
  check("deleted");
  sieveRebuild(s, 4096, 1);
  check("rebuilt");
  add(800);
  EXPECT_EQ(sieveResortCheck(s), 0);
  sieveRebuild(s, 8, 0);
  EXPECT_EQ(sieveResortCheck(s), 1);
  check("resorted");
}

// Four planes cut the space; every object not wholly outside one of them is
// found, checked against the test on each object box.
TEST_F(Sieve, PlaneWalkKeepsWhatIsNotWhollyOutsideAPlane) {
  sieveRec* s = makeSieve(256, 200);
  std::vector<gobjRec*> objects;
  for (int i = 0; i < 400; ++i) {
    const double x = (i * 37) % 380 - 190, y = (i * 91) % 380 - 190;
    objects.push_back(&box(x, y, 0, x + 5, y + 3, 2)->head);
    ASSERT_EQ(sieveInsert(s, objects.back()), 0);
  }
  objects[7]->flags |= gobjSelected;
  // A tilted quadrilateral: x + y >= -50, x - y <= 80, y <= 120, x >= -170.
  const double planes[4][4] = {{1, 1, 0, 50}, {-1, 1, 0, 80}, {0, -1, 0, 120}, {1, 0, 0, 170}};
  auto outside = [&](const gobjRec* o) {
    uint16_t codes[6];
    double b[6];
    std::memcpy(codes, o->box, sizeof codes);
    sfloatUnpack(6, codes, b);
    for (const auto& p : planes) {
      double best = p[3];
      for (int a = 0; a < 3; ++a) best += p[a] * (p[a] >= 0 ? b[a + 3] : b[a]);
      if (best < 0) return true;
    }
    return false;
  };
  std::vector<gobjRec*> found;
  sieveSearchPlanes(s, collect, &found, planes, 0, 0);
  std::set<gobjRec*> got(found.begin(), found.end()), want;
  for (gobjRec* o : objects)
    if (!outside(o)) want.insert(o);
  EXPECT_EQ(got, want);
  EXPECT_GT(want.size(), 50u);
  EXPECT_LT(want.size(), 350u);

  found.clear();
  sieveSearchPlanes(s, collect, &found, planes, gobjSelected, gobjSelected);
  EXPECT_EQ(found, std::vector<gobjRec*>{objects[7]});
}

// sieveSearch through a stand-in for the views' pixel mapping.
sieveViewQuery viewAnswer;
int viewMapStub(const int32_t*, sieveViewQuery* out) {
  *out = viewAnswer;
  return 0;
}

TEST_F(Sieve, SearchUsesTheViewsMappingOfThePixelRectangle) {
  sieveRec* s = makeSieve(64, 100);
  tboxRec* low = box(10, 10, -80, 12, 12, -79);
  tboxRec* high = box(10, 10, 79, 12, 12, 80);
  tboxRec* away = box(-50, -50, 0, -49, -49, 1);
  for (tboxRec* b : {low, high, away}) ASSERT_EQ(sieveInsert(s, &b->head), 0);
  high->head.flags |= gobjHidden;
  const int32_t rect[4] = {0, 0, 10, 10};

  std::vector<gobjRec*> found;
  EXPECT_EQ(sieveSearch(s, collect, &found, 0, rect, 0, 0), -1);   // no views yet
  EXPECT_TRUE(found.empty());
  sieveSetViewMap(viewMapStub);

  // Looking down z: the depth of the rectangle is unbounded.
  viewAnswer = sieveViewQuery{2, {{0, 0, 0}, {20, 20, 0}}, {}};
  sieveSearch(s, collect, &found, 1, rect, 0, 0);
  EXPECT_EQ(std::set<gobjRec*>(found.begin(), found.end()), (std::set<gobjRec*>{&low->head, &high->head}));
  found.clear();
  sieveSearch(s, collect, &found, 0, rect, gobjHidden, 0);
  EXPECT_EQ(found, std::vector<gobjRec*>{&low->head});

  // Any other view: four planes (here the slab 0 <= x <= 20, 0 <= y <= 20).
  viewAnswer = sieveViewQuery{-1, {}, {{1, 0, 0, 0}, {-1, 0, 0, 20}, {0, 1, 0, 0}, {0, -1, 0, 20}}};
  found.clear();
  sieveSearch(s, collect, &found, 0, rect, 0, 0);
  EXPECT_EQ(found.size(), 2u);
  found.clear();
  sieveSearch(s, collect, &found, -1, rect, gobjHidden, gobjHidden);
  EXPECT_EQ(found, std::vector<gobjRec*>{&high->head});
  sieveSetViewMap(nullptr);
}

int stopAtSecond(gobjRec*, void* context) { return ++*static_cast<int*>(context) == 2 ? 7 : 0; }

TEST_F(Sieve, AllSourceListsEveryObjectAndItsCallbackMayDeleteThem) {
  sieveRec* s = makeSieve(16, 100);
  for (int i = 0; i < 60; ++i) ASSERT_EQ(objInsert(&box(i - 30, 0, 0, i - 29, 1, 1)->head), 0);
  int calls = 0;
  EXPECT_EQ(grpEnum("all", 3, stopAtSecond, &calls), 7);
  EXPECT_EQ(calls, 2);

  glist* group = grpOfSource("all");
  int32_t n = 0;
  grpCount(group, &n);
  EXPECT_EQ(n, 60);
  grpFree(group);

  EXPECT_EQ(grpEnum("all", 3, objDeleteCb, nullptr), 0);
  EXPECT_EQ(s->objectCount, 0u);
  EXPECT_TRUE(all(s).empty());
  EXPECT_EQ(counts().freed, 60);
}

TEST_F(Sieve, InsertAndDeleteMessagesEnterAndLeaveTheDocument) {
  tboxRec* b = box(1, 1, 1, 2, 2, 2);
  EXPECT_EQ(objInsert(&b->head), -1);   // no sieve
  sieveRec* s = makeSieve(8, 10);
  EXPECT_EQ(objInsert(&b->head), 0);
  EXPECT_EQ(b->head.sieve, s);
  EXPECT_EQ(objInsert(&b->head), 0);   // already there: nothing more
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();

  b->head.flags |= gobjLocked;
  EXPECT_EQ(objDelete(&b->head, 1), -4126);
  EXPECT_EQ(s->objectCount, 1u);
  b->head.flags &= uint16_t(~gobjLocked);
  EXPECT_EQ(objDelete(&b->head, 1), 0);
  EXPECT_EQ(s->objectCount, 0u);
  EXPECT_EQ(counts().freed, 1);

  // A deleted object someone still holds survives, out of the document.
  tboxRec* kept = heldBox(1, 1, 1, 2, 2, 2);
  ASSERT_EQ(objInsert(&kept->head), 0);
  EXPECT_EQ(objDelete(&kept->head, 0), 0);
  EXPECT_EQ(kept->head.refCount, 1);
  EXPECT_EQ(kept->head.flags & gobjInSieve, 0);
  EXPECT_EQ(counts().freed, 1);
}

TEST_F(Sieve, ChangedMessageMovesTheObjectToItsNewCell) {
  sieveRec* s = makeSieve(64, 100);
  tboxRec* b = box(50, 50, 50, 51, 51, 51);
  ASSERT_EQ(objInsert(&b->head), 0);
  const int before = cellHolding(s, &b->head);
  for (int i = 0; i < 3; ++i) {
    b->lo[i] = -60;
    b->hi[i] = -59;
  }
  b->head.flags |= gobjChanged;
  objChanged(&b->head, 0);
  const int after = cellHolding(s, &b->head);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, sieveCellOf(s, b->head.box));
  EXPECT_EQ(b->head.refCount, 1);
  EXPECT_EQ(s->objectCount, 1u);
  EXPECT_EQ(objDelete(&b->head, 0), 0);
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

TEST_F(Sieve, ExtentLeavesOutHiddenObjectsAndOtherModels) {
  sieveRec* s = makeSieve(8, 100);
  int16_t out[6];
  EXPECT_EQ(sieveExtent(s, out, 0), -1);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), std::vector<int16_t>(s->cells[1].box, s->cells[1].box + 6));

  tboxRec* a = box(1, 1, 1, 2, 2, 2);
  tboxRec* hidden = box(-50, -50, -50, 0, 0, 0);
  tboxRec* otherModel = box(20, 20, 20, 30, 30, 30);
  for (tboxRec* b : {a, hidden, otherModel}) ASSERT_EQ(sieveInsert(s, &b->head), 0);
  hidden->head.flags |= gobjHidden;
  a->head.owner = 1;
  otherModel->head.owner = 2;
  doc.currentModel = 1;

  int16_t want[6];
  bboxEmpty(want);
  bboxUnion(a->head.box, want);
  EXPECT_EQ(sieveExtent(s, out, 1), 0);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), std::vector<int16_t>(want, want + 6));
  bboxUnion(otherModel->head.box, want);
  EXPECT_EQ(sieveExtent(s, out, 0), 0);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), std::vector<int16_t>(want, want + 6));
  EXPECT_EQ(sieveExtent(s, out, 2), 0);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), std::vector<int16_t>(s->cells[1].box, s->cells[1].box + 6));
}

TEST_F(Sieve, FreeReleasesTheObjectsReferences) {
  sieveRec* s = sieveNew(8, nullptr, &doc, 3);
  tboxRec* lone = box(1, 1, 1, 2, 2, 2);
  tboxRec* shared = heldBox(1, 1, 1, 2, 2, 2);
  ASSERT_EQ(sieveInsert(s, &lone->head), 0);
  ASSERT_EQ(sieveInsert(s, &shared->head), 0);
  lone->head.flags |= gobjSieveMark;
  sieveClearMarks(s);
  EXPECT_EQ(lone->head.flags & gobjSieveMark, 0);
  objMeth(sieveClassId(), msgFree, s);   // the class frees with references
  EXPECT_EQ(counts().freed, 1);
  EXPECT_EQ(shared->head.refCount, 1);
  EXPECT_EQ(shared->head.flags & gobjInSieve, 0);
  EXPECT_EQ(shared->head.sieve, nullptr);
}

TEST_F(Sieve, OperatorsRebuildAndReportTheCurrentSieve) {
  sieveRec* s = makeSieve(8, 10);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(objInsert(&box(i % 9, 0, 0, i % 9 + 1, 1, 1)->head), 0);
  ASSERT_EQ(feExecText("SieveResort", 11), 0);
  EXPECT_EQ(s->cellCount, 8);   // 100 / 32 cells asked: the least
  state().log.clear();
  ASSERT_EQ(feExecText("aSieveStat", 10), 0);
  const std::string& log = state().log;
  EXPECT_EQ(log.find("\t  1:   11 [0 0 0 9. 1. 1.]\n"), 0u) << log;
  EXPECT_NE(log.find("\t  7:"), std::string::npos);
  EXPECT_EQ(log.find("\t  8:"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 17), "total:   8:  100\n");
}

}  // namespace
