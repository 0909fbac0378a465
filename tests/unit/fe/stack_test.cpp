#include "fe/stack.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/stack_test.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

feObject num(int32_t i) {
  feObject v;
  feMakeInt(&v, i);
  return v;
}

feObject str(const char* text) {
  feObject v;
  EXPECT_EQ(feMakeString(&v, text, std::strlen(text)), feOk);
  return v;
}

// The integers of a stack, bottom first (-999 for another type).
std::vector<int32_t> ints(const feStack* s) {
  std::vector<int32_t> out;
  for (int32_t d = feStackCount(s) - 1; d >= 0; --d) {
    const feObject* v = feStackIndex(s, d);
    out.push_back(feType(v) == feTInt ? v->w0.i : -999);
  }
  return out;
}

void pushInts(feStack** s, std::vector<int32_t> values) {
  for (int32_t i : values) {
    const feObject v = num(i);
    ASSERT_EQ(fePush(s, &v), feOk);
  }
}

feStack** ops() { return feOperandStack(); }

// The operand stack's raw bytes, to check that a failed operator left it
// exactly as it was.
std::vector<uint8_t> raw() {
  const feStack* s = *ops();
  const auto* bytes = reinterpret_cast<const uint8_t*>(s->slots);
  return std::vector<uint8_t>(bytes, bytes + size_t(feStackCount(s)) * sizeof(feObject));
}

struct StackOperand : ::testing::Test {
  void SetUp() override { feStackClear(*ops()); }
  void TearDown() override { feStackClear(*ops()); }
};

struct StackPanics : ::testing::Test {
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override { plTestReset(); }
};

}  // namespace

TEST(StackBlocks, FortyOneFitThe42ndGrowsTo60KeepingOrder) {
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, 40), feOk);
  EXPECT_EQ(feStackCount(s), 0);
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < 41; ++i) expected.push_back(i * 3);
  pushInts(&s, expected);
  feStack* first = s;
  EXPECT_EQ(s->capacity, 40);  // capacity + 1 values fit the first block

  const feObject v = num(999);
  ASSERT_EQ(fePush(&s, &v), feOk);
  expected.push_back(999);
  EXPECT_NE(s, first);
  EXPECT_EQ(s->capacity, 60);
  EXPECT_EQ(ints(s), expected);
  // The old block stays behind as the previous one, emptied.
  EXPECT_EQ(s->previous, first);
  EXPECT_EQ(first->top, -1);
  EXPECT_EQ(feStackIndex(s, 41)->w0.i, 0);
  EXPECT_EQ(feStackIndex(s, 42), nullptr);
  EXPECT_EQ(feStackIndex(s, -1), nullptr);

  pushInts(&s, std::vector<int32_t>(19, 7));  // 61 values: 60 + 1 fit
  EXPECT_EQ(s->capacity, 60);
  pushInts(&s, {8});
  EXPECT_EQ(s->capacity, 80);
  EXPECT_EQ(s->previous->previous, first);
  feStackFree(&s);
  EXPECT_EQ(s, nullptr);
}

TEST(StackBlocks, InterpreterPointerFollowsGrowth) {
  feStack* saved = nullptr;  // a fresh execution stack of 40
  ASSERT_EQ(feExecStackPush(&saved), feOk);
  feStack* copy = *feExecStack();  // a caller holding its own copy of the pointer
  for (int32_t i = 0; i <= 41; ++i) {
    const feObject v = num(i);
    ASSERT_EQ(fePush(&copy, &v), feOk);
  }
  EXPECT_EQ(copy->capacity, 60);
  EXPECT_EQ(*feExecStack(), copy);
  EXPECT_EQ(feStackCount(*feExecStack()), 42);
  feExecStackRestore(saved);

  feStack* none = nullptr;  // a push onto no stack makes one
  const feObject v = num(1);
  ASSERT_EQ(fePush(&none, &v), feOk);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->capacity, 40);
  EXPECT_EQ(ints(none), std::vector<int32_t>{1});
  feStackFree(&none);
}

TEST_F(StackPanics, AtTheLimitPushesAnswer270AndPushNothing) {
  // A block 20 below the limit still grows once; the next growth would pass
  // the limit and is refused.
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, feStackMaxCapacity - 27), feOk);
  for (int32_t i = 0; i <= s->capacity; ++i) s->slots[++s->top] = num(i);
  const feObject v = num(-1);
  ASSERT_EQ(fePush(&s, &v), feOk);
  EXPECT_EQ(s->capacity, feStackMaxCapacity - 7);
  EXPECT_TRUE(plTestMessageBoxes().empty());
  while (feStackCount(s) < s->capacity + 1) s->slots[++s->top] = num(1);

  const int32_t count = feStackCount(s);
  feStack* block = s;
  const feObject str1 = str("kept");
  EXPECT_EQ(fePush(&s, &v), feErrLimitCheck);
  EXPECT_EQ(fePushDup(&s, &str1), feErrLimitCheck);
  EXPECT_EQ(fePushSlot(&s), nullptr);
  EXPECT_EQ(fePushIndex(&s, 0), feErrLimitCheck);
  EXPECT_EQ(s, block);
  EXPECT_EQ(feStackCount(s), count);
  EXPECT_EQ(str1.w0.str->refs, 1u);  // the refused copy took no reference
  ASSERT_FALSE(plTestMessageBoxes().empty());
  EXPECT_NE(plTestMessageBoxes()[0].text.find("FE stack overflow"), std::string::npos);

  // Below the top there is room again.
  feStackPopN(s, 1);
  EXPECT_EQ(fePush(&s, &v), feOk);
  feStackFree(&s);
  feObject release = str1;
  feFree(&release);
}

TEST(StackBlocks, NewRefusesCapacitiesOutsideTheRange) {
  for (int32_t capacity : {0, -1, feStackMaxCapacity + 1, INT32_MAX}) {
    feStack* s = nullptr;
    EXPECT_EQ(feStackNew(&s, capacity), feErrLimitCheck) << capacity;
    EXPECT_EQ(s, nullptr);
  }
  for (int32_t capacity : {1, int32_t(feStackMaxCapacity)}) {
    feStack* s = nullptr;
    ASSERT_EQ(feStackNew(&s, capacity), feOk);
    EXPECT_EQ(s->capacity, capacity);
    EXPECT_EQ(s->top, -1);
    feStackFree(&s);
  }
}

TEST(StackBlocks, FortyValueBlocksAreRecycledUpToFourAndCounted) {
  feStackInit();
  const int32_t blocks0 = feStackTestBlocks();
  const uint32_t bytes0 = feStackTestBytes();
  const int recycled0 = feStackTestRecycled();
  const uint32_t bytes40 = uint32_t(sizeof(feStack) + 41 * sizeof(feObject));

  feStack* made[6] = {};
  for (feStack*& s : made) ASSERT_EQ(feStackNew(&s, 40), feOk);
  EXPECT_EQ(feStackTestRecycled(), 0);
  EXPECT_EQ(feStackTestBlocks(), blocks0 + 6 - recycled0);
  for (feStack*& s : made) feStackFree(&s);
  EXPECT_EQ(feStackTestRecycled(), 4);
  EXPECT_EQ(feStackTestBlocks(), blocks0 + 4 - recycled0);
  EXPECT_EQ(feStackTestBytes(), bytes0 + uint32_t(4 - recycled0) * bytes40);

  // The next request for 40 takes a recycled block, emptied.
  feStack* again = nullptr;
  ASSERT_EQ(feStackNew(&again, 40), feOk);
  EXPECT_EQ(feStackTestRecycled(), 3);
  EXPECT_EQ(feStackCount(again), 0);
  EXPECT_EQ(again->previous, nullptr);
  EXPECT_EQ(again->slots[0].flags, 0);
  // Other capacities are never recycled.
  const int32_t blocks1 = feStackTestBlocks();
  feStack* other = nullptr;
  ASSERT_EQ(feStackNew(&other, 41), feOk);
  EXPECT_EQ(feStackTestBlocks(), blocks1 + 1);
  feStackFree(&other);
  EXPECT_EQ(feStackTestBlocks(), blocks1);
  EXPECT_EQ(feStackTestRecycled(), 3);
  feStackFree(&again);

  // The statistics list the stacks under "feStack".
  std::string log;
  dbgSetLogHook([](void* c, const char* t, size_t n) { static_cast<std::string*>(c)->append(t, n); }, &log);
  allocInfoReport();
  dbgSetLogHook(nullptr, nullptr);
  EXPECT_NE(log.find("feStack"), std::string::npos);
}

TEST(StackBlocks, DroppingPreviousBlocksFreesThemKeepingTheValues) {
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, 41), feOk);
  const int32_t blocks = feStackTestBlocks();
  std::vector<int32_t> values(100);
  for (int32_t i = 0; i < 100; ++i) values[size_t(i)] = i;
  pushInts(&s, values);  // 42 -> 62 -> 82 -> 102 values of room
  EXPECT_EQ(feStackTestBlocks(), blocks + 3);
  feStackDropPrevious(s);
  EXPECT_EQ(s->previous, nullptr);
  EXPECT_EQ(feStackTestBlocks(), blocks - 1 + 1);
  EXPECT_EQ(ints(s), values);
  feStackFree(&s);
}

TEST(StackValues, PushDupCopiesPopMovesAndReleaseIsFromTheStack) {
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, 4), feOk);
  feObject text = str("body");
  feObject empty;
  std::memset(&empty, 0, sizeof empty);
  ASSERT_EQ(fePushDup(&s, &empty), feOk);  // flags 0: ignored
  EXPECT_EQ(feStackCount(s), 0);

  ASSERT_EQ(fePushDup(&s, &text), feOk);
  EXPECT_EQ(text.w0.str->refs, 2u);
  ASSERT_EQ(fePushIndex(&s, 0), feOk);
  EXPECT_EQ(text.w0.str->refs, 3u);
  EXPECT_EQ(fePushIndex(&s, 2), feErrStackUnderflow);

  feObject* slot = fePushSlot(&s);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->flags, 0x101);  // reserved as null until filled
  *slot = num(5);

  feObject out;
  fePop(s, &out);  // moved out: no release
  EXPECT_EQ(out.w0.i, 5);
  fePop(s, &out);
  EXPECT_EQ(text.w0.str->refs, 3u);
  feFree(&out);
  feStackPopN(s, 10);  // more than held: all of them
  EXPECT_EQ(feStackCount(s), 0);
  EXPECT_EQ(text.w0.str->refs, 1u);
  fePop(s, &out);  // empty: null, nothing changes
  EXPECT_EQ(out.flags, 0x101);
  EXPECT_EQ(feStackCount(s), 0);

  ASSERT_EQ(fePushDup(&s, &text), feOk);
  ASSERT_EQ(fePushDup(&s, &text), feOk);
  feStackClear(s);
  EXPECT_EQ(text.w0.str->refs, 1u);
  ASSERT_EQ(fePushDup(&s, &text), feOk);
  feStackFree(&s);  // freeing a stack releases its values
  EXPECT_EQ(text.w0.str->refs, 1u);
  feFree(&text);
}

TEST(StackRoll, RotatesTheTopWindow) {
  struct Case {
    int32_t n, j;
    int answer;
    std::vector<int32_t> after;
  };
  const Case cases[] = {
      {3, 1, feOk, {1, 4, 2, 3}},   // b c d 3 1 roll gives d b c
      {3, -1, feOk, {1, 3, 4, 2}},
      {3, 4, feOk, {1, 4, 2, 3}},   // j is taken modulo n
      {3, -5, feOk, {1, 4, 2, 3}},
      {3, INT_MIN, feOk, {1, 4, 2, 3}},
      {4, 2, feOk, {3, 4, 1, 2}},
      {4, 3, feOk, {2, 3, 4, 1}},
      {1, 7, feOk, {1, 2, 3, 4}},
      {3, 0, feOk, {1, 2, 3, 4}},
      {3, 3, feOk, {1, 2, 3, 4}},
      {0, 5, feOk, {1, 2, 3, 4}},
      {-1, 1, feErrRangeCheck, {1, 2, 3, 4}},
      {5, 1, feErrStackUnderflow, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << " " << c.j << " roll");
    feStack* s = nullptr;
    ASSERT_EQ(feStackNew(&s, 4), feOk);
    pushInts(&s, {1, 2, 3, 4});
    EXPECT_EQ(feStackRoll(s, c.n, c.j), c.answer);
    EXPECT_EQ(ints(s), c.after);
    feStackFree(&s);
  }
  // A window larger than any before grows the scratch area.
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, 40), feOk);
  std::vector<int32_t> values, rolled;
  for (int32_t i = 0; i < 30; ++i) values.push_back(i);
  pushInts(&s, values);
  ASSERT_EQ(feStackRoll(s, 30, 29), feOk);
  for (int32_t i = 0; i < 30; ++i) rolled.push_back((i + 1) % 30);
  EXPECT_EQ(ints(s), rolled);
  feStackFree(&s);
}

TEST(StackMarks, CountToMarkAndArrayFromStack) {
  feStack* s = nullptr;
  ASSERT_EQ(feStackNew(&s, 10), feOk);
  int32_t count = -1;
  EXPECT_EQ(feCountToMark(s, feTMark, &count), feErrUnmatchedMark);
  feObject mark;
  feMakeMark(&mark);
  pushInts(&s, {7});
  ASSERT_EQ(fePush(&s, &mark), feOk);
  EXPECT_EQ(feCountToMark(s, feTMark, &count), feOk);
  EXPECT_EQ(count, 0);
  pushInts(&s, {1, 2});
  EXPECT_EQ(feCountToMark(s, feTMark, &count), feOk);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(fePush(&s, &mark), feOk);  // the nearest mark counts
  pushInts(&s, {3});
  EXPECT_EQ(feCountToMark(s, feTMark, &count), feOk);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(feCountToMark(s, feTInt, &count), feOk);  // any type can be sought
  EXPECT_EQ(count, 0);
  EXPECT_EQ(feCountToMark(s, feTString, &count), feErrUnmatchedMark);

  // 7 mark 1 2 mark 3: the top three move into an array, bottom first.
  feObject array;
  EXPECT_EQ(feArrayFromStack(s, 7, &array), feErrStackUnderflow);
  EXPECT_EQ(feArrayFromStack(s, -1, &array), feErrRangeCheck);
  EXPECT_EQ(feStackCount(s), 6);
  ASSERT_EQ(feArrayFromStack(s, 3, &array), feOk);
  EXPECT_EQ(feStackCount(s), 3);
  ASSERT_EQ(feArrayLength(&array), 3);
  EXPECT_EQ(feArrayElem(&array, 0)->w0.i, 2);
  EXPECT_EQ(feType(feArrayElem(&array, 1)), feTMark);
  EXPECT_EQ(feArrayElem(&array, 2)->w0.i, 3);
  feFree(&array);
  feStackFree(&s);
}

TEST_F(StackOperand, DupPopExchAndTheirErrorsLeaveTheStack) {
  EXPECT_EQ(feOpDup(), feErrStackUnderflow);
  EXPECT_EQ(feOpPop(), feErrStackUnderflow);
  EXPECT_EQ(feOpExch(), feErrStackUnderflow);
  EXPECT_EQ(feStackCount(*ops()), 0);

  feObject text = str("op");
  ASSERT_EQ(fePush(ops(), &text), feOk);  // the stack holds the only reference
  const std::vector<uint8_t> one = raw();
  EXPECT_EQ(feOpExch(), feErrStackUnderflow);
  EXPECT_EQ(raw(), one);

  ASSERT_EQ(feOpDup(), feOk);
  EXPECT_EQ(text.w0.str->refs, 2u);
  pushInts(ops(), {9});
  ASSERT_EQ(feOpExch(), feOk);
  EXPECT_EQ(feType(feStackIndex(*ops(), 0)), feTString);
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.i, 9);
  ASSERT_EQ(feOpPop(), feOk);  // releases the string it removes
  EXPECT_EQ(text.w0.str->refs, 1u);
  EXPECT_EQ(feStackIndex(*ops(), 0)->w0.i, 9);
  ASSERT_EQ(feOpPop(), feOk);
  ASSERT_EQ(feOpPop(), feOk);
  EXPECT_EQ(feStackCount(*ops()), 0);
}

TEST(StackExec, RunStackIsReplacedAndItsLeftoversReleased) {
  feStack* outer = *feExecStack();
  feObject text = str("left over");

  feStack* saved = reinterpret_cast<feStack*>(&saved);
  ASSERT_EQ(feExecStackPush(&saved), feOk);
  EXPECT_EQ(saved, outer);
  feStack* run = *feExecStack();
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->capacity, 40);
  EXPECT_EQ(feExecTop(), nullptr);
  feExecPop();  // nothing to remove

  // Enough entries to make the run's stack grow once.
  for (int i = 0; i < 50; ++i) ASSERT_EQ(fePushDup(feExecStack(), &text), feOk);
  EXPECT_EQ(text.w0.str->refs, 51u);
  ASSERT_NE(feExecTop(), nullptr);
  EXPECT_EQ(feExecTop()->w0.str, text.w0.str);
  feExecPop();
  EXPECT_EQ(text.w0.str->refs, 50u);

  feExecStackRestore(saved);
  EXPECT_EQ(*feExecStack(), outer);
  EXPECT_EQ(text.w0.str->refs, 1u);
  feFree(&text);
}

TEST(StackFrames, CurrentFrameIsATopDictionary) {
  feStack** frames = feFrameStack();
  const int32_t depth = feStackCount(*frames);
  feObject out;
  feMakeInt(&out, 3);
  if (depth == 0) {
    EXPECT_EQ(feCurrentFrame(&out), feErrTypeCheck);
  }

  feObject none;
  feMakeNull(&none);
  ASSERT_EQ(fePush(frames, &none), feOk);
  EXPECT_EQ(feCurrentFrame(&out), feErrTypeCheck);
  EXPECT_EQ(out.flags, 0x107);

  // A dictionary value made by hand: the frame stack only lends it.
  feDictBody body{};
  body.refs = 1;
  feObject dict;
  std::memset(&dict, 0, sizeof dict);
  dict.w0.dict = &body;
  dict.flags = feTDict;
  ASSERT_EQ(fePush(frames, &dict), feOk);
  ASSERT_EQ(feCurrentFrame(&out), feOk);
  EXPECT_EQ(out.w0.dict, &body);
  EXPECT_EQ(body.refs, 1u);

  feObject moved;
  fePop(*frames, &moved);
  fePop(*frames, &moved);
  EXPECT_EQ(feStackCount(*frames), depth);
}
