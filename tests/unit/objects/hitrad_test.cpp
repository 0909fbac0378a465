// The hit radius: the current document's, or the program-wide 16-bit value
// without one; and the hit mode word.
#include "objects/hitrad.h"

#include "fe/exec_fixture.h"
#include "objects/docstate.h"

#include <gtest/gtest.h>

namespace {

class HitRad : public ::testing::Test {
 protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("aHitRad")) hitRadInit();
    saved_ = dbCurrentDoc();
    dbSetCurrentDoc(nullptr);
  }
  void TearDown() override {
    dbSetCurrentDoc(saved_);
    execfx::stop();
  }
  dbDocRec* saved_ = nullptr;
};

TEST_F(HitRad, WithoutADocumentTheValueKeeps16Bits) {
  const struct {
    int32_t set, got;
  } cases[] = {{10, 10}, {32767, 32767}, {40000, -25536}, {65536 + 5, 5}, {-3, -3}};
  for (const auto& c : cases) {
    aSetHitRad(c.set);
    int32_t got = 0;
    aHitRad(&got);
    EXPECT_EQ(got, c.got) << c.set;
  }
  ASSERT_EQ(feRunString("40000 aSetHitRad aHitRad"), 0);
  EXPECT_EQ(execfx::operands(), "-25536");
}

TEST_F(HitRad, TheCurrentDocumentKeepsItsOwn) {
  aSetHitRad(8);
  dbDocRec doc{};
  doc.hitRadius = 12;
  dbSetCurrentDoc(&doc);
  ASSERT_EQ(feRunString("aHitRad 40000 aSetHitRad aHitRad"), 0);
  EXPECT_EQ(execfx::operands(), "12 40000");
  EXPECT_EQ(doc.hitRadius, 40000u);
  dbSetCurrentDoc(nullptr);
  int32_t got = 0;
  aHitRad(&got);
  EXPECT_EQ(got, 8);   // the program-wide value was not touched
}

TEST_F(HitRad, Mode) {
  hitModeSet(0xBEEF);
  EXPECT_EQ(hitModeGet(), 0xBEEF);
  hitModeSet(0);
  EXPECT_EQ(hitModeGet(), 0);
}

}  // namespace
