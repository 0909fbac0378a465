#include "attn_stub.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/output.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Collects the interpreter output while alive; onText may react to it.
struct OutCapture {
  std::string text;
  void (*onText)(const std::string&) = nullptr;
  OutCapture() { feSetOutHook(&OutCapture::append, this); }
  ~OutCapture() { feSetOutHook(nullptr, nullptr); }
  static void append(void* context, const char* t, size_t n) {
    auto* self = static_cast<OutCapture*>(context);
    self->text.append(t, n);
    if (self->onText) self->onText(self->text);
  }
};

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

// A new array of the given integers.
feObject ints(std::vector<int32_t> values) {
  std::vector<feObject> elems;
  for (int32_t i : values) elems.push_back(num(i));
  feObject a;
  EXPECT_EQ(feMakeArray(&a, elems.data(), uint32_t(elems.size())), feOk);
  return a;
}

// The integers of an array value, -999 for an element of another type.
std::vector<int32_t> intsOf(const feObject& a) {
  std::vector<int32_t> out;
  for (int32_t k = 0; k < feArrayLength(&a); ++k) {
    const feObject* e = feArrayElem(&a, k);
    out.push_back(feType(e) == feTInt ? e->w0.i : -999);
  }
  return out;
}

std::string printed(const feObject& v) {
  OutCapture out;
  EXPECT_EQ(feArrayPrint(&v, 1), feOk);
  return out.text;
}

feStack** ops() { return feOperandStack(); }

// The operand stack as raw values, bottom first, for checking that a failed
// operator left it exactly as it was.
struct Raw {
  uint64_t word0;
  uint16_t offset, length, flags;
  bool operator==(const Raw&) const = default;
};
std::vector<Raw> snapshot() {
  std::vector<Raw> out;
  const int32_t n = feStackCount(*ops());
  for (int32_t d = n - 1; d >= 0; --d) {
    const feObject* v = feStackIndex(*ops(), d);
    Raw r{0, v->offset, v->length, v->flags};
    std::memcpy(&r.word0, &v->w0, sizeof r.word0);
    out.push_back(r);
  }
  return out;
}

void push(const feObject& v) { ASSERT_EQ(fePush(ops(), &v), feOk); }

feObject top() { return *feStackIndex(*ops(), 0); }

struct ArraysOperators : ::testing::Test {
  void SetUp() override { feStackClear(*ops()); }
  void TearDown() override { feStackClear(*ops()); }
};

}  // namespace

TEST(ArraysMake, MovesElementsInOrFillsWithNulls) {
  feObject s = str("kept");
  feObject elems[2] = {num(7), s};
  feObject a;
  ASSERT_EQ(feMakeArray(&a, elems, 2), feOk);
  EXPECT_EQ(a.flags, feTArray);  // literal, not simple
  EXPECT_EQ(a.offset, 0);
  EXPECT_EQ(a.length, 2);
  EXPECT_EQ(a.w0.arr->refs, 1u);
  EXPECT_EQ(s.w0.str->refs, 1u);  // moved in: the array took the reference over
  EXPECT_EQ(feArrayElem(&a, 0)->w0.i, 7);
  EXPECT_EQ(feArrayElem(&a, 1)->w0.str, s.w0.str);
  EXPECT_EQ(feArrayHash(&a), a.w0.arr->serial);

  feObject nulls;
  ASSERT_EQ(feMakeArray(&nulls, nullptr, 3), feOk);
  for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(feType(feArrayElem(&nulls, k)), feTNull);
  EXPECT_NE(nulls.w0.arr->serial, a.w0.arr->serial);

  feObject empty;
  ASSERT_EQ(feMakeArray(&empty, nullptr, 0), feOk);
  EXPECT_EQ(feArrayLength(&empty), 0);
  EXPECT_EQ(feArrayElem(&empty, 0), nullptr);

  feArrayRelease(&a);
  feArrayRelease(&nulls);
  feArrayRelease(&empty);
}

TEST(ArraysMake, LengthPast65535IsLimitcheck) {
  feObject slot;
  feMakeNull(&slot);
  EXPECT_EQ(feMakeArray(&slot, nullptr, 65536), feErrLimitCheck);
  EXPECT_EQ(feType(&slot), feTNull);
  ASSERT_EQ(feMakeArray(&slot, nullptr, 65535), feOk);
  EXPECT_EQ(feArrayLength(&slot), 65535);
  feArrayRelease(&slot);
}

TEST(ArraysRelease, ReleasesElementBodiesAtZero) {
  feObject s = str("shared");
  feObject inner, outer;
  ASSERT_EQ(feMakeArray(&inner, nullptr, 1), feOk);
  ASSERT_EQ(feMakeArray(&outer, nullptr, 3), feOk);
  feObject zero = num(0), one = num(1), two = num(2);
  ASSERT_EQ(feArraySet(&inner, &zero, &s), feOk);
  ASSERT_EQ(feArraySet(&outer, &zero, &s), feOk);
  ASSERT_EQ(feArraySet(&outer, &one, &inner), feOk);
  EXPECT_EQ(s.w0.str->refs, 3u);
  EXPECT_EQ(inner.w0.arr->refs, 2u);

  // Storing over an element releases what it held.
  feObject seven = num(7);
  ASSERT_EQ(feArraySet(&outer, &zero, &seven), feOk);
  EXPECT_EQ(s.w0.str->refs, 2u);
  ASSERT_EQ(feArraySet(&outer, &two, &s), feOk);
  EXPECT_EQ(s.w0.str->refs, 3u);

  // Dropping our own reference to the inner array leaves it alive in outer.
  feArrayRelease(&inner);
  EXPECT_EQ(s.w0.str->refs, 3u);
  // Releasing outer frees it, then the inner array, each releasing the string.
  feArrayRelease(&outer);
  EXPECT_EQ(s.w0.str->refs, 1u);
  feStringRelease(&s);
}

TEST(ArraysShare, GetintervalSharesTheBodyAndIteratorsWalkIt) {
  feObject a = ints({10, 20, 30, 40});
  feObject one = num(1), two = num(2), zero = num(0), v = num(99), sub;
  ASSERT_EQ(feArrayGetInterval(&a, &one, &two, &sub), feOk);
  EXPECT_EQ(sub.w0.arr, a.w0.arr);
  EXPECT_EQ(a.w0.arr->refs, 2u);
  EXPECT_EQ(intsOf(sub), (std::vector<int32_t>{20, 30}));
  ASSERT_EQ(feArraySet(&sub, &zero, &v), feOk);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{10, 99, 30, 40}));
  EXPECT_EQ(feArrayEq(&a, &sub), feOk);  // same body, whatever the range

  EXPECT_EQ(feArrayElem(&sub, -1), nullptr);
  EXPECT_EQ(feArrayElem(&sub, 2), nullptr);

  feObject cursor = sub;
  std::vector<int32_t> seen;
  while (feObject* e = feArrayNext(&cursor)) seen.push_back(e->w0.i);
  EXPECT_EQ(seen, (std::vector<int32_t>{99, 30}));
  EXPECT_EQ(cursor.length, 0);
  EXPECT_EQ(cursor.offset, 3);

  feObject moved = num(5);
  feArrayPut(&sub, 1, &moved);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{10, 99, 5, 40}));

  feArrayRelease(&sub);
  EXPECT_EQ(a.w0.arr->refs, 1u);
  feArrayRelease(&a);
}

TEST(ArraysAccess, ErrorCodesOfGetPutAndIntervals) {
  feObject a = ints({1, 2, 3});
  feObject real, s = str("s"), out;
  feMakeReal(&real, 1.0);
  const std::vector<int32_t> untouched{1, 2, 3};

  struct Row {
    feObject index;
    int code;
  };
  const Row access[] = {
      {num(0), feOk}, {num(2), feOk}, {num(-1), feErrRangeCheck}, {num(3), feErrRangeCheck}, {real, feErrTypeCheck},
  };
  for (const Row& row : access) {
    feMakeNull(&out);
    EXPECT_EQ(feArrayGet(&a, &row.index, &out), row.code);
    if (row.code == feOk) {
      EXPECT_EQ(out.w0.i, row.index.w0.i + 1);
    }
    feObject same = num(row.index.w0.i + 1);
    EXPECT_EQ(feArraySet(&a, &row.index, &same), row.code);
    EXPECT_EQ(intsOf(a), untouched);
  }

  struct IntervalRow {
    feObject start;
    feObject count;
    int code;
  };
  const IntervalRow intervals[] = {
      {num(0), num(3), feOk},           {num(3), num(0), feOk},
      {num(-1), num(1), feErrRangeCheck}, {num(0), num(-1), feErrRangeCheck},
      {num(2), num(2), feErrRangeCheck}, {real, num(1), feErrTypeCheck},
  };
  for (const IntervalRow& row : intervals) {
    feMakeNull(&out);
    EXPECT_EQ(feArrayGetInterval(&a, &row.start, &row.count, &out), row.code);
    if (row.code == feOk) {
      EXPECT_EQ(feArrayLength(&out), row.count.w0.i);
      feArrayRelease(&out);
    } else {
      EXPECT_EQ(feType(&out), feTNull);
    }
  }

  feObject two = ints({8, 9});
  struct PutRow {
    feObject start;
    feObject source;
    int code;
  };
  const PutRow puts[] = {
      {num(2), two, feErrRangeCheck}, {num(-1), two, feErrRangeCheck},
      {num(0), s, feErrTypeCheck},    {real, two, feErrTypeCheck},
  };
  for (const PutRow& row : puts) {
    EXPECT_EQ(feArrayPutInterval(&a, &row.start, &row.source), row.code);
    EXPECT_EQ(intsOf(a), untouched);
  }
  feObject one = num(1);
  ASSERT_EQ(feArrayPutInterval(&a, &one, &two), feOk);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{1, 8, 9}));

  // copy: the destination must be an array at least as long as the source.
  feObject four = ints({4, 4, 4, 4}), shorter = ints({0});
  feMakeNull(&out);
  EXPECT_EQ(feArrayCopy(&a, &shorter, &out), feErrRangeCheck);
  EXPECT_EQ(feArrayCopy(&a, &s, &out), feErrTypeCheck);
  EXPECT_EQ(feType(&out), feTNull);
  EXPECT_EQ(intsOf(shorter), (std::vector<int32_t>{0}));
  ASSERT_EQ(feArrayCopy(&a, &four, &out), feOk);
  EXPECT_EQ(intsOf(four), (std::vector<int32_t>{1, 8, 9, 4}));
  EXPECT_EQ(intsOf(out), (std::vector<int32_t>{1, 8, 9}));
  EXPECT_EQ(out.w0.arr, four.w0.arr);
  feArrayRelease(&out);

  for (feObject* v : {&a, &two, &four, &shorter}) feArrayRelease(v);
  feStringRelease(&s);
}

TEST(ArraysAccess, PutintervalWithinOneBodyHandlesOverlap) {
  feObject a = ints({1, 2, 3, 4, 5});
  feObject zero = num(0), one = num(1), four = num(4), head, tail;
  ASSERT_EQ(feArrayGetInterval(&a, &zero, &four, &head), feOk);
  ASSERT_EQ(feArrayPutInterval(&a, &one, &head), feOk);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{1, 1, 2, 3, 4}));
  ASSERT_EQ(feArrayGetInterval(&a, &one, &four, &tail), feOk);
  ASSERT_EQ(feArrayPutInterval(&a, &zero, &tail), feOk);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{1, 2, 3, 4, 4}));
  feArrayRelease(&head);
  feArrayRelease(&tail);
  feArrayRelease(&a);
}

TEST(ArraysEq, SameBodyOnly) {
  feObject a = ints({1}), b = ints({1}), one = num(1), copy;
  feCopyValue(&copy, &a);
  EXPECT_EQ(feArrayEq(&a, &copy), feOk);
  EXPECT_EQ(feArrayEq(&a, &b), feNotEqual);
  EXPECT_EQ(feArrayEq(&a, &one), feNotEqual);
  EXPECT_NE(feArrayHash(&a), feArrayHash(&b));
  feArrayRelease(&copy);
  feArrayRelease(&a);
  feArrayRelease(&b);
}

TEST(ArraysPrint, NestedFormsWithABlankAfterEachElement) {
  // [1 [2 3] {4}] and an empty procedure.
  feObject inner = ints({2, 3});
  feObject proc = ints({4});
  proc.flags |= feFlagExec;
  feObject elems[3] = {num(1), inner, proc};
  feObject outer;
  ASSERT_EQ(feMakeArray(&outer, elems, 3), feOk);
  EXPECT_EQ(printed(outer), "[1 [2 3 ] {4 } ]");

  feObject empty, emptyProc;
  ASSERT_EQ(feMakeArray(&empty, nullptr, 0), feOk);
  ASSERT_EQ(feMakeArray(&emptyProc, nullptr, 0), feOk);
  emptyProc.flags |= feFlagExec;
  EXPECT_EQ(printed(empty), "[]");
  EXPECT_EQ(printed(emptyProc), "{}");

  OutCapture out;
  EXPECT_EQ(feArrayPrint(&outer, 0), feOk);  // the form of "="
  EXPECT_EQ(feArrayPrint(&outer, 2), feOk);  // other modes print nothing
  EXPECT_EQ(out.text, "--nostringvalue--");

  feArrayRelease(&outer);
  feArrayRelease(&empty);
  feArrayRelease(&emptyProc);
}

TEST(ArraysPrint, AnArrayHoldingItselfPrintsOnce) {
  feObject a = ints({1, 0});
  feObject one = num(1);
  ASSERT_EQ(feArraySet(&a, &one, &a), feOk);
  EXPECT_EQ(printed(a), "[1 [...] ]");
  // Break the cycle so that the body is freed.
  feObject zero = num(0);
  ASSERT_EQ(feArraySet(&a, &one, &zero), feOk);
  EXPECT_EQ(a.w0.arr->refs, 1u);
  feArrayRelease(&a);
}

TEST(ArraysPrint, InterruptEndsTheListAndStillCloses) {
  feObject flat = ints({1, 2, 3});
  feObject inner = ints({1, 2, 3});
  feObject elems[2] = {inner, num(4)};
  feObject nested;
  ASSERT_EQ(feMakeArray(&nested, elems, 2), feOk);

  // The attention flag comes up while "2" is being written.
  auto raiseAfterTwo = [](const std::string& text) {
    if (text.find('2') != std::string::npos) attnstub::setAttn(1);
  };
  struct Row {
    const feObject* value;
    const char* text;
  };
  const Row rows[] = {{&flat, "[1 2 ]"}, {&nested, "[[1 2 ]]"}};
  for (const Row& row : rows) {
    attnstub::setAttn(0);
    OutCapture out;
    out.onText = raiseAfterTwo;
    EXPECT_EQ(feArrayPrint(row.value, 1), feErrInterrupt);
    EXPECT_EQ(out.text, row.text);
  }
  attnstub::setAttn(0);
  feArrayRelease(&flat);
  feArrayRelease(&nested);
}

TEST(ArraysFromStackCopy, CopiesBottomFirstIntoAPrefix) {
  feStack* stack = nullptr;
  ASSERT_EQ(feStackNew(&stack, 10), feOk);
  feObject s = str("s");
  for (feObject v : {num(1), num(2)}) ASSERT_EQ(fePush(&stack, &v), feOk);
  ASSERT_EQ(fePushDup(&stack, &s), feOk);
  EXPECT_EQ(s.w0.str->refs, 2u);

  feObject room = ints({0, 0, 0, 0, 0}), out;
  ASSERT_EQ(feArrayFromStackCopy(stack, &room, &out), feOk);
  EXPECT_EQ(feArrayLength(&out), 3);
  EXPECT_EQ(out.w0.arr, room.w0.arr);
  EXPECT_EQ(intsOf(out), (std::vector<int32_t>{1, 2, -999}));
  EXPECT_EQ(feArrayElem(&out, 2)->w0.str, s.w0.str);
  EXPECT_EQ(s.w0.str->refs, 3u);  // copied: the stack keeps its own
  EXPECT_EQ(feStackCount(stack), 3);
  feArrayRelease(&out);

  feObject small = ints({0, 0}), notArray = num(0);
  feMakeNull(&out);
  EXPECT_EQ(feArrayFromStackCopy(stack, &small, &out), feErrRangeCheck);
  EXPECT_EQ(feArrayFromStackCopy(stack, &notArray, &out), feErrTypeCheck);
  EXPECT_EQ(feType(&out), feTNull);
  EXPECT_EQ(intsOf(small), (std::vector<int32_t>{0, 0}));

  feArrayRelease(&room);
  feArrayRelease(&small);
  feStackFree(&stack);
  EXPECT_EQ(s.w0.str->refs, 1u);
  feStringRelease(&s);
}

TEST_F(ArraysOperators, AloadPushesCopiesThenTheArray) {
  feObject s = str("x");
  feObject elems[2] = {num(1), s};
  feObject a;
  ASSERT_EQ(feMakeArray(&a, elems, 2), feOk);
  push(a);
  ASSERT_EQ(feOpAload(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 3);
  EXPECT_EQ(feStackIndex(*ops(), 2)->w0.i, 1);
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.str, s.w0.str);
  EXPECT_EQ(top().w0.arr, a.w0.arr);
  EXPECT_EQ(s.w0.str->refs, 2u);
  EXPECT_EQ(a.w0.arr->refs, 1u);  // the array itself was moved, not copied
}

TEST_F(ArraysOperators, AstoreFillsFromTheTopDown) {
  push(num(9));  // stays below
  for (int32_t i : {1, 2, 3}) push(num(i));
  feObject a;
  ASSERT_EQ(feMakeArray(&a, nullptr, 3), feOk);
  push(a);
  ASSERT_EQ(feOpAstore(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 2);
  EXPECT_EQ(top().w0.arr, a.w0.arr);
  EXPECT_EQ(intsOf(top()), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.i, 9);
}

TEST_F(ArraysOperators, ArrayMakesNullsWithinItsRange) {
  struct Row {
    feObject operand;
    int code;
  };
  feObject real;
  feMakeReal(&real, 3.0);
  const Row rows[] = {
      {num(0), feOk}, {num(32767), feOk}, {num(-1), feErrRangeCheck},
      {num(32768), feErrRangeCheck}, {real, feErrTypeCheck},
  };
  for (const Row& row : rows) {
    feStackClear(*ops());
    push(row.operand);
    const auto before = snapshot();
    EXPECT_EQ(feOpArray(), row.code) << row.operand.w0.i;
    ASSERT_EQ(feStackCount(*ops()), 1);
    if (row.code != feOk) {
      EXPECT_EQ(snapshot(), before);
      continue;
    }
    const feObject a = top();
    EXPECT_EQ(a.flags, feTArray);
    EXPECT_EQ(feArrayLength(&a), row.operand.w0.i);
    if (feArrayLength(&a) > 0) {
      EXPECT_EQ(feType(feArrayElem(&a, feArrayLength(&a) - 1)), feTNull);
    }
  }
}

TEST_F(ArraysOperators, CloseBracketCollectsTheValuesAboveTheMark) {
  feObject mark, s = str("abc");
  feMakeMark(&mark);
  push(num(7));  // below the mark: untouched
  push(mark);
  push(num(1));
  push(s);
  push(num(3));
  ASSERT_EQ(feOpArrayEnd(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 2);
  const feObject a = top();
  EXPECT_EQ(a.flags, feTArray);
  EXPECT_EQ(intsOf(a), (std::vector<int32_t>{1, -999, 3}));
  EXPECT_EQ(feArrayElem(&a, 1)->w0.str, s.w0.str);
  EXPECT_EQ(s.w0.str->refs, 1u);  // moved in
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.i, 7);

  // A mark with nothing above it makes an empty array.
  push(mark);
  ASSERT_EQ(feOpArrayEnd(), feOk);
  EXPECT_EQ(feArrayLength(feStackIndex(*ops(), 0)), 0);
  EXPECT_EQ(feStackCount(*ops()), 3);
}

TEST_F(ArraysOperators, FailuresLeaveTheStackAsItWas) {
  feObject three;
  ASSERT_EQ(feMakeArray(&three, nullptr, 3), feOk);
  struct Row {
    const char* what;
    std::vector<feObject> stack;  // bottom first
    int (*op)();
    int code;
  };
  const Row rows[] = {
      {"aload empty", {}, feOpAload, feErrStackUnderflow},
      {"aload int", {num(1)}, feOpAload, feErrTypeCheck},
      {"astore empty", {}, feOpAstore, feErrStackUnderflow},
      {"astore int", {num(1), num(2)}, feOpAstore, feErrTypeCheck},
      {"astore short", {num(1), num(2), three}, feOpAstore, feErrStackUnderflow},
      {"array empty", {}, feOpArray, feErrStackUnderflow},
      {"] no mark", {num(1), num(2)}, feOpArrayEnd, feErrUnmatchedMark},
      {"] empty", {}, feOpArrayEnd, feErrUnmatchedMark},
  };
  for (const Row& row : rows) {
    feStackClear(*ops());
    for (const feObject& v : row.stack) ASSERT_EQ(fePushDup(ops(), &v), feOk);
    const auto before = snapshot();
    EXPECT_EQ(row.op(), row.code) << row.what;
    EXPECT_EQ(snapshot(), before) << row.what;
  }
  feStackClear(*ops());
  EXPECT_EQ(three.w0.arr->refs, 1u);
  EXPECT_EQ(intsOf(three), (std::vector<int32_t>{-999, -999, -999}));
  feArrayRelease(&three);
}

TEST_F(ArraysOperators, AloadOnAFullStackTakesItsCopiesBack) {
  feObject s = str("x");
  feObject elems[3] = {num(1), s, num(2)};
  feObject a;
  ASSERT_EQ(feMakeArray(&a, elems, 3), feOk);
  feObject filler = num(0);
  // Fill the stack to its limit, then make room for the array and two of its
  // three elements: the third copy fits, the array no longer does.
  int32_t pushed = 0;
  while (fePush(ops(), &filler) == feOk) ++pushed;
  ASSERT_GT(pushed, 3);
  feStackPopN(*ops(), 3);
  push(a);
  const auto before = snapshot();
  EXPECT_EQ(feOpAload(), feErrLimitCheck);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(s.w0.str->refs, 1u);
  EXPECT_EQ(a.w0.arr->refs, 1u);
}
