#include "fe/value.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/generic.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

// The first word's 8 bytes, to check that makers leave no stale bits.
uint64_t word0Bits(const feObject& v) {
  uint64_t bits;
  std::memcpy(&bits, &v.w0, sizeof bits);
  return bits;
}

// A value whose bytes are all 0xAB, as a slot that held something else.
feObject dirty() {
  feObject v;
  std::memset(&v, 0xAB, sizeof v);
  return v;
}

struct ValuesAlerts : ::testing::Test {
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    dbgSetFlags(0);
    plTestReset();
  }
  static bool shown(const std::string& text) {
    for (const auto& box : plTestMessageBoxes())
      if (box.text.find(text) != std::string::npos) return true;
    return false;
  }
};

}  // namespace

TEST(ValuesMakers, SetTheirFlagWordAndTheWholeFirstWord) {
  struct Case {
    const char* what;
    int (*make)(feObject*);
    uint16_t flags;
    uint64_t word0;
  };
  double minusHalf = -0.5;
  uint64_t minusHalfBits;
  std::memcpy(&minusHalfBits, &minusHalf, sizeof minusHalfBits);
  const Case cases[] = {
      {"int -2", [](feObject* s) { return feMakeInt(s, -2); }, 0x107, 0x00000000FFFFFFFEull},
      {"real -0.5", [](feObject* s) { return feMakeReal(s, -0.5); }, 0x108, minusHalfBits},
      {"bool 0", [](feObject* s) { return feMakeBool(s, 0); }, 0x102, 0},
      {"bool 1", [](feObject* s) { return feMakeBool(s, 1); }, 0x102, 1},
      {"null", [](feObject* s) { return feMakeNull(s); }, 0x101, 0},
      {"mark", [](feObject* s) { return feMakeMark(s); }, 0x103, 0},
      {"null record", [](feObject* s) { return feMakeObjRef(s, nullptr); }, 0x101, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    feObject v = dirty();
    EXPECT_EQ(c.make(&v), 0);
    EXPECT_EQ(v.flags, c.flags);
    EXPECT_EQ(word0Bits(v), c.word0);
    EXPECT_EQ(v.offset, 0);
    EXPECT_EQ(v.length, 0);
  }
  EXPECT_EQ(feTrue()->flags, 0x102);
  EXPECT_EQ(feGetBool(feTrue()), 1);
  EXPECT_EQ(feFalse()->flags, 0x102);
  EXPECT_EQ(feGetBool(feFalse()), 0);
}

TEST_F(ValuesAlerts, BoolOutsideZeroOneIsTrueWithATraceAlert) {
  feObject v;
  feMakeBool(&v, 7);  // trace alerts stay hidden without debug flags
  EXPECT_EQ(feGetBool(&v), 1);
  EXPECT_TRUE(plTestMessageBoxes().empty());

  dbgSetFlags(1);
  feMakeBool(&v, -3);
  EXPECT_EQ(feGetBool(&v), 1);
  EXPECT_TRUE(shown("Bad value in feMakeBool"));
  plTestClearMessageBoxes();
  feMakeBool(&v, 1);
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST(ValuesAccessors, IntegerWordAndNumbers) {
  feObject v = dirty();
  feMakeReal(&v, 2.5);
  feSetIntValue(&v, -9);  // the word changes, the flags stay
  EXPECT_EQ(feGetInt(&v), -9);
  EXPECT_EQ(word0Bits(v), 0x00000000FFFFFFF7ull);
  EXPECT_EQ(v.flags, 0x108);

  struct Case {
    feObject value;
    double number;
    uint32_t flag;  // bit 0 set for a real
  };
  feObject i, r, n, m;
  feMakeInt(&i, -40);
  feMakeReal(&r, 1.25);
  feMakeNull(&n);
  feMakeMark(&m);
  for (const Case& c : {Case{i, -40.0, 0}, Case{r, 1.25, 1}, Case{n, 0.0, 0}, Case{m, 0.0, 0}}) {
    uint32_t flag = 0x10;  // other bits of the caller's word are kept
    EXPECT_EQ(feGetNumber(&c.value, &flag), c.number);
    EXPECT_EQ(flag, 0x10 | c.flag);
    flag = 0;
    EXPECT_EQ(*feGetNumberPtr(&c.value, &flag), c.number);
    EXPECT_EQ(flag, c.flag);
  }
  EXPECT_EQ(feGetNumber(&r, nullptr), 1.25);
}

TEST(ValuesAccessors, RealPointerIsOneCellOverwrittenByTheNextCall) {
  feObject a, b;
  feMakeReal(&a, 3.5);
  feMakeReal(&b, -1e300);
  double* first = feGetRealPtr(&a);
  EXPECT_EQ(*first, 3.5);
  double* second = feGetRealPtr(&b);
  EXPECT_EQ(first, second);
  EXPECT_EQ(*first, -1e300);
  // Number cells are separate from the real cell.
  EXPECT_NE(feGetNumberPtr(&a, nullptr), first);
}

TEST(ValuesSerial, CountsUpAndIsRaisedAboveBodiesReadBack) {
  const uint32_t saved = feSerialPeek();
  feSerialSet(100);
  EXPECT_EQ(feSerialNext(), 100u);
  EXPECT_EQ(feSerialNext(), 101u);
  EXPECT_EQ(feSerialPeek(), 102u);
  feSerialAtLeast(50);  // below the counter: unchanged
  EXPECT_EQ(feSerialPeek(), 102u);
  feSerialAtLeast(102);  // equal: one past it
  EXPECT_EQ(feSerialPeek(), 103u);
  feSerialAtLeast(500);
  EXPECT_EQ(feSerialNext(), 501u);
  feSerialSet(saved > 502 ? saved : 502);
}

namespace {

// A record of a test class: the program-object head and a free counter.
struct TestRecord {
  feObjRecord head;
  int freed;
};
int freeMessages;

int testHandler(void* object, int message, intptr_t, intptr_t, intptr_t) {
  if (message == feMsgFree) {
    ++static_cast<TestRecord*>(object)->freed;
    ++freeMessages;
    return 0;
  }
  return objNotHandled;
}

struct ValuesObjRef : ::testing::Test {
  uint16_t baseId = 0, subId = 0, otherId = 0;
  void SetUp() override {
    baseId = objClassRegister("feVbase", 0, testHandler);
    subId = objClassRegister("feVsub", baseId, testHandler);
    otherId = objClassRegister("feVother", 0, testHandler);
    freeMessages = 0;
  }
  TestRecord record(uint16_t classId, uint8_t count) { return TestRecord{{classId, count}, 0}; }
};

}  // namespace

TEST_F(ValuesObjRef, CountRisesAndFallsWithMessage100OnceAtZero) {
  TestRecord r = record(baseId, 0);
  feObject v = dirty();
  ASSERT_EQ(feMakeObjRef(&v, &r), 0);
  EXPECT_EQ(v.flags, 6);
  EXPECT_EQ(v.w0.obj, &r);
  EXPECT_EQ(r.head.refCount, 1);

  feObject copy;
  feCopyValue(&copy, &v);  // a copy holds its own reference
  EXPECT_EQ(r.head.refCount, 2);
  feFree(&copy);
  EXPECT_EQ(r.head.refCount, 1);
  EXPECT_EQ(r.freed, 0);
  feFree(&v);
  EXPECT_EQ(r.head.refCount, 0);
  EXPECT_EQ(r.freed, 1);
  // A record already at 0 is not counted below it (it would wrap to the
  // permanent 255) and gets no second free message.
  feObjRefRelease(&r);
  EXPECT_EQ(r.head.refCount, 0);
  EXPECT_EQ(r.freed, 1);
}

TEST_F(ValuesObjRef, CountSaturatesAt255WhichIsPermanent) {
  TestRecord r = record(baseId, 254);
  feObject v, w;
  feMakeObjRef(&v, &r);
  EXPECT_EQ(r.head.refCount, 255);
  feMakeObjRef(&w, &r);  // not beyond 255
  feDup(&w);
  EXPECT_EQ(r.head.refCount, 255);
  for (int k = 0; k < 300; ++k) feFree(&v);
  EXPECT_EQ(r.head.refCount, 255);
  EXPECT_EQ(r.freed, 0);
  feObjRefRetain(nullptr);  // null records are ignored
  feObjRefRelease(nullptr);
}

TEST_F(ValuesObjRef, GetChecksTheClassAndItsSuperclasses) {
  TestRecord sub = record(subId, 255);
  TestRecord other = record(otherId, 255);
  feObject s, o, n, i;
  feMakeObjRef(&s, &sub);
  feMakeObjRef(&o, &other);
  feMakeNull(&n);
  feMakeInt(&i, 5);

  struct Case {
    const char* what;
    const feObject* value;
    const char* className;
    int answer;
    void* record;
  };
  const Case cases[] = {
      {"no class asked", &s, nullptr, 0, &sub},
      {"own class", &s, "feVsub", 0, &sub},
      {"superclass", &s, "feVbase", 0, &sub},
      {"another class", &o, "feVbase", feErrTypeCheck, nullptr},
      {"null value", &n, "feVbase", 0, nullptr},
      {"integer", &i, nullptr, feErrTypeCheck, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    void* out = &out;  // must be overwritten
    EXPECT_EQ(feGetObjRef(c.value, c.className, &out), c.answer);
    EXPECT_EQ(out, c.record);
  }
}
