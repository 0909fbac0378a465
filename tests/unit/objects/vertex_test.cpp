#include "objects/vertex.h"

#include "core/debug.h"
#include "fe/exec_fixture.h"
#include "fe/script.h"
#include "objects/ioformat.h"
#include "objects/vertex_internal.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

// Every test starts from a fresh table.
class Vertex : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
    vertexExit();
    vertexInit();
  }
  void TearDown() override {
    vertexExit();
    vertexInit();
    dbgSetLogHook(nullptr, nullptr);
    execfx::stop();
    plTestReset();
  }
};

TEST_F(Vertex, ZeroOfEitherSignAndNaNAreTheOrigin) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double points[][3] = {{0, 0, 0}, {-0.0, 0, 0}, {0, -0.0, -0.0}, {nan, 0, -0.0}};
  for (const auto& p : points) {
    vertexRec* v = vertexFind(p);
    EXPECT_EQ(v, vertexOrigin());
    EXPECT_FALSE(std::signbit(v->x));
  }
  EXPECT_EQ(vertexOrigin()->refCount, 5);   // the module's and the four finds
  EXPECT_EQ(vertexCount(), 0u);
  const double p[3] = {1, nan, -0.0};
  vertexRec* v = vertexFind(p);
  EXPECT_EQ(v->y, 0.0);
  EXPECT_FALSE(std::signbit(v->z));
  EXPECT_EQ(vertexFind(nullptr), nullptr);
}

TEST_F(Vertex, EqualPointsShareOneRecordAndSlotsMoveReferences) {
  const double a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  vertexRec* s1 = nullptr;
  vertexRec* s2 = nullptr;
  vertexSet(a, &s1);
  vertexSet(a, &s2);
  ASSERT_EQ(s1, s2);
  EXPECT_EQ(s1->refCount, 2);
  EXPECT_EQ(s1->x, 1);
  EXPECT_EQ(s1->z, 3);

  vertexRec* shared = s1;
  vertexSet(a, &s1);   // its own point: nothing changes
  vertexAssign(s1, &s1);
  EXPECT_EQ(shared->refCount, 2);

  vertexSet(b, &s2);
  EXPECT_EQ(shared->refCount, 1);
  EXPECT_EQ(s2->refCount, 1);
  vertexClear(&s2);
  EXPECT_EQ(s2, nullptr);

  vertexRec* o = nullptr;
  vertexSetOrigin(&o);
  EXPECT_EQ(o, vertexOrigin());
  vertexSetOrigin(&s1);   // a filled slot is set to the origin point
  EXPECT_EQ(s1, vertexOrigin());
  EXPECT_EQ(shared->refCount, 0);
  vertexClear(&o);
  vertexClear(&s1);
  EXPECT_EQ(vertexOrigin()->refCount, 1);
}

TEST_F(Vertex, AReleasedVertexIsFoundAgainUntilReclaimed) {
  const double a[3] = {7, 8, 9};
  vertexRec* slot = nullptr;
  vertexSet(a, &slot);
  vertexRec* first = slot;
  first->flags = 1;
  vertexClear(&slot);
  EXPECT_EQ(first->refCount, 0);
  EXPECT_EQ(first->flags, 0);
  EXPECT_EQ(vertexReferencedCount(), 0u);
  EXPECT_EQ(vertexCount(), 1u);
  vertexSet(a, &slot);
  EXPECT_EQ(slot, first);
  EXPECT_EQ(slot->refCount, 1);
  vertexClear(&slot);
}

TEST_F(Vertex, ACountRaisedTo255IsPermanent) {
  const double a[3] = {1, 1, 1};
  std::vector<vertexRec*> slots(300, nullptr);
  for (auto& s : slots) vertexSet(a, &s);
  vertexRec* v = slots[0];
  EXPECT_EQ(v->refCount, 255);
  for (auto& s : slots) vertexClear(&s);
  EXPECT_EQ(v->refCount, 255);
  // Never reclaimed for another point, however the table changes.
  for (int i = 0; i < 3000; ++i) {
    const double p[3] = {double(i), 2, 3};
    vertexRec* s = nullptr;
    vertexSet(p, &s);
    vertexClear(&s);
  }
  EXPECT_EQ(vertexFind(a), v);
  EXPECT_EQ(v->x, 1);
}

TEST_F(Vertex, FollowLinksReplaceAndAreReleasedWithTheirVertex) {
  const double a[3] = {1, 0, 0}, b[3] = {2, 0, 0}, c[3] = {3, 0, 0};
  vertexRec* slot = nullptr;
  vertexSet(a, &slot);
  vertexRec* va = slot;
  vertexSet(b, &va->follow);
  vertexRec* vb = va->follow;
  vertexSet(c, &vb->follow);
  vertexRec* vc = vb->follow;
  vertexMark(vb, 1);

  vertexRec* other = nullptr;
  vertexAssign(va, &other);
  EXPECT_EQ(vertexFollow(&other), 1);
  EXPECT_EQ(other, vb);
  EXPECT_EQ(vb->refCount, 2);
  EXPECT_EQ(vertexFollow(&other), 1);
  EXPECT_EQ(other, vc);
  EXPECT_EQ(vertexFollow(&other), 0);
  vertexClear(&other);

  // Releasing a releases the chain of links behind it.
  vertexClear(&slot);
  EXPECT_EQ(va->refCount, 0);
  EXPECT_EQ(va->follow, nullptr);
  EXPECT_EQ(vb->refCount, 0);
  EXPECT_EQ(vb->flags, 0);
  EXPECT_EQ(vc->refCount, 0);

  vertexSet(a, &slot);
  vertexSet(b, &slot->follow);
  vertexClearLinks();
  EXPECT_EQ(slot->follow, nullptr);
  EXPECT_EQ(vertexFind(b)->refCount, 1);
  EXPECT_EQ(vertexMark(slot, 1), 1);
  EXPECT_EQ(vertexMark(slot, 0), 0);
}

TEST_F(Vertex, TransformsSetTheMovedPoint) {
  const double p[3] = {1, 2, 3};
  const double shift[16] = {1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1};
  const double project[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0.5, 0};
  vertexRec* slot = nullptr;
  vertexSetXformPt(p, shift, &slot);
  EXPECT_EQ(std::vector<double>({slot->x, slot->y, slot->z}), std::vector<double>({11, 22, 33}));
  vertexSetXform(p, project, &slot);   // w = 1.5
  EXPECT_DOUBLE_EQ(slot->x, 1 / 1.5);
  EXPECT_DOUBLE_EQ(slot->z, 2);
  vertexClear(&slot);
}

// Many points across the doublings of the table: each is one record, found
// again with its coordinates, and the table ends at its largest size.
TEST_F(Vertex, ManyPointsStayDistinctAndFoundAcrossTableGrowth) {
  EXPECT_EQ(vertexChainCount(), 8u);
  const int n = 70000;
  std::vector<vertexRec*> slots(n, nullptr);
  auto point = [](int i, double* p) {
    p[0] = (i % 97) * 0.25 - 10;
    p[1] = (i / 97) * 1.5;
    p[2] = (i % 3) - 1.0;
  };
  uint32_t last = vertexChainCount();
  for (int i = 0; i < n; ++i) {
    double p[3];
    point(i, p);
    vertexSet(p, &slots[i]);
    ASSERT_GE(vertexChainCount(), last);
    last = vertexChainCount();
  }
  EXPECT_EQ(vertexChainCount(), 8192u);
  std::map<vertexRec*, int> seen;
  for (int i = 0; i < n; ++i) {
    double p[3];
    point(i, p);
    vertexRec* found = vertexFind(p);
    ASSERT_EQ(found, slots[i]) << i;
    vertexClear(&found);
    ASSERT_EQ(slots[i]->x, p[0]);
    ASSERT_EQ(slots[i]->y, p[1]);
    ++seen[slots[i]];
  }
  EXPECT_EQ(seen.size(), size_t(n));
  EXPECT_EQ(seen.count(vertexOrigin()), 1u);   // (0, 0, 0) is among the points
  for (auto& s : slots) vertexClear(&s);
  EXPECT_EQ(vertexReferencedCount(), 0u);
}

// A refill of the free list walks the table only when released vertices
// are a large share of it: a million live vertices made one by one, dropped
// and made again cost a handful of walks (the table's doublings and one
// reclaim), not one walk per refill of 226 records.
TEST_F(Vertex, AMillionVerticesMadeDroppedAndMadeAgainWalkTheTableRarely) {
  const int n = 1000000;
  std::vector<vertexRec*> slots(n, nullptr);
  const auto make = [&](double z) {
    for (int i = 0; i < n; ++i) {
      const double p[3] = {double(i % 1000), double(i / 1000), z};
      vertexSet(p, &slots[i]);
    }
  };
  make(1);
  EXPECT_EQ(vertexCount(), uint32_t(n));
  EXPECT_LT(vtx::table().collections, 20u);
  for (auto& s : slots) vertexClear(&s);
  EXPECT_EQ(vertexReferencedCount(), 0u);
  make(2);
  // The released records were reclaimed and reused, not left beside new ones.
  EXPECT_EQ(vertexCount(), uint32_t(n));
  EXPECT_EQ(vertexReferencedCount(), uint32_t(n));
  EXPECT_LT(vtx::table().collections, 24u);
  EXPECT_LE(vtx::table().blocks.size(), size_t(n / vertexRefill + 2));
  // Every point of the second round is found as its own record, none of the
  // first round's.
  for (int i = 0; i < n; i += 7) {
    const double p[3] = {double(i % 1000), double(i / 1000), 2};
    vertexRec* found = vertexFind(p);
    ASSERT_EQ(found, slots[i]) << i;
    vertexClear(&found);
  }
  const double gone[3] = {5, 5, 1};
  vertexRec* fresh = vertexFind(gone);
  EXPECT_EQ(fresh->refCount, 1);
  EXPECT_EQ(vertexCount(), uint32_t(n + 1));
  vertexClear(&fresh);
  for (auto& s : slots) vertexClear(&s);
}

TEST_F(Vertex, FormatLetterVCodesSlotsAsThreeDoubles) {
  ioCtx ctx{};
  ctx.mode = 'w';
  ctx.writeEnable = 1;
  ctx.stream = std::tmpfile();
  ctx.readLimit = -1;
  const double a[3] = {1.5, -2, 1e10};
  vertexRec* slots[2] = {nullptr, nullptr};
  vertexSet(a, &slots[0]);   // slot 1 stays empty: written as the origin
  const int written = ioFormat(&ctx, "2V", slots);
  ASSERT_GT(written, 0);
  const double direct[6] = {1.5, -2, 1e10, 0, 0, 0};
  ioCtx plain{};
  plain.mode = 'w';
  plain.writeEnable = 1;
  plain.stream = std::tmpfile();
  plain.readLimit = -1;
  EXPECT_EQ(ioFormat(&plain, "6d", direct), written);

  ioSeek(&ctx, 0);
  ctx.mode = 'r';
  vertexRec* back[2] = {nullptr, nullptr};
  vertexSet(a, &back[1]);   // replaced by the origin read
  EXPECT_EQ(ioFormat(&ctx, "2V", back), written);
  EXPECT_EQ(back[0], slots[0]);
  EXPECT_EQ(back[1], vertexOrigin());
  EXPECT_EQ(slots[0]->refCount, 2);

  ctx.mode = 'r';
  vertexRec* more = nullptr;
  EXPECT_LT(ioFormat(&ctx, "V", &more), 0);   // nothing left to read
  EXPECT_EQ(more, nullptr);
  EXPECT_NE(logText.find("Bad read in vertexIO"), std::string::npos) << logText;
  std::fclose(ctx.stream);
  std::fclose(plain.stream);
  for (vertexRec** s : {&slots[0], &back[0], &back[1]}) vertexClear(s);
}

TEST_F(Vertex, StatisticsListTheChainsTenToALine) {
  std::vector<vertexRec*> slots(200, nullptr);
  for (int i = 0; i < 200; ++i) {
    const double p[3] = {double(i + 1), 0.5, 0};
    vertexSet(p, &slots[i]);
  }
  ASSERT_EQ(feExecText("aVertexStat", 11), 0);
  const std::string tail = "# verticies: 200 (200 referenced)\n";
  ASSERT_GE(logText.size(), tail.size());
  EXPECT_EQ(logText.substr(logText.size() - tail.size()), tail) << logText;
  const std::string firstLine = logText.substr(0, logText.find('\n'));
  int entries = 0;
  for (size_t at = 0; (at = firstLine.find(", ", at)) != std::string::npos; at += 2) ++entries;
  EXPECT_EQ(entries, 10) << logText;
  for (auto& s : slots) vertexClear(&s);
}

}  // namespace
