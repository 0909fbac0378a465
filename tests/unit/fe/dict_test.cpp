#include "fe/dict.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict_test.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/output.h"
#include "fe/stack.h"
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

feObject real(double d) {
  feObject v;
  feMakeReal(&v, d);
  return v;
}

feObject name(const std::string& text) {
  feObject v;
  EXPECT_EQ(feMakeName(&v, text.data(), text.size()), feOk);
  return v;
}

feObject str(const std::string& text) {
  feObject v;
  EXPECT_EQ(feMakeString(&v, text.data(), text.size()), feOk);
  return v;
}

feObject null() {
  feObject v;
  feMakeNull(&v);
  return v;
}

feObject mark() {
  feObject v;
  feMakeMark(&v);
  return v;
}

feObject dict(int32_t n) {
  feObject d;
  EXPECT_EQ(feMakeDict(&d, n), feOk);
  return d;
}

int32_t capacity(const feObject& d) {
  int32_t n = -1;
  EXPECT_EQ(feDictMaxLength(&d, &n), feOk);
  return n;
}

// The integer under key, -999 when absent or not an integer.
int32_t intAt(const feObject& d, const feObject& key) {
  feObject v;
  if (feDictGet(&d, &key, &v) != feOk) return -999;
  const int32_t i = feType(&v) == feTInt ? v.w0.i : -999;
  feFree(&v);
  return i;
}

int32_t loaded(const feObject& key) {
  feObject v;
  if (feLoad(&key, &v) != feOk) return -999;
  const int32_t i = feType(&v) == feTInt ? v.w0.i : -999;
  feFree(&v);
  return i;
}

// Calls taking values, so that tests can pass fresh values directly.
int put(const feObject& d, feObject key, feObject value) { return feDictPut(&d, &key, &value); }
int def(feObject key, feObject value) { return feDictDef(&key, &value); }
int store(feObject key, feObject value) { return feStore(&key, &value); }

feStack** ops() { return feOperandStack(); }

void push(feObject v) { ASSERT_EQ(fePush(ops(), &v), feOk); }

// Pushes a copy: the test keeps its own reference.
void pushCopy(const feObject& v) { ASSERT_EQ(fePushDup(ops(), &v), feOk); }

feObject top() { return *feStackIndex(*ops(), 0); }

// The operand stack as raw values, bottom first, to check that a failed
// operator left it exactly as it was.
struct Raw {
  void* word0;
  uint16_t offset, length, flags;
  bool operator==(const Raw&) const = default;
};
std::vector<Raw> snapshot() {
  std::vector<Raw> out;
  for (int32_t d = feStackCount(*ops()) - 1; d >= 0; --d) {
    const feObject* v = feStackIndex(*ops(), d);
    out.push_back({v->w0.ptr, v->offset, v->length, v->flags});
  }
  return out;
}

int32_t dictCount() { return feStackCount(*feDictStack()); }

// Collects the debug log while alive.
struct LogCapture {
  std::string text;
  LogCapture() { dbgSetLogHook(&LogCapture::append, this); }
  ~LogCapture() { dbgSetLogHook(nullptr, nullptr); }
  static void append(void* context, const char* t, size_t n) { static_cast<LogCapture*>(context)->text.append(t, n); }
};

struct OutCapture {
  std::string text;
  OutCapture() { feSetOutHook(&OutCapture::append, this); }
  ~OutCapture() { feSetOutHook(nullptr, nullptr); }
  static void append(void* context, const char* t, size_t n) { static_cast<OutCapture*>(context)->text.append(t, n); }
};

// Every test starts from a fresh systemdict and userdict, empty operand and
// frame stacks, and no debug flags, and leaves them so.
class DictTest : public ::testing::Test {
protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    feStackClear(*ops());
    feStackClear(*feFrameStack());
    dbgSetFlags(0);
    feDictTestReset();
  }
};

using DictBodies = DictTest;
using DictStack = DictTest;
using DictOps = DictTest;

// ---------------------------------------------------------------------------
// Bodies

TEST_F(DictBodies, NinthDefinitionGrowsAnEightSlotDictionaryToSixteen) {
  feObject d = dict(1);
  EXPECT_EQ(capacity(d), 8);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(put(d, name("grow9_" + std::to_string(i)), num(i)), feOk);
    EXPECT_EQ(capacity(d), i < 8 ? 8 : 16) << "after definition " << i + 1;
  }
  EXPECT_EQ(feDictLength(&d), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(intAt(d, name("grow9_" + std::to_string(i))), i);
  feFree(&d);
}

TEST_F(DictBodies, GrowsStepByStepToTheLargestCapacityThenAnswersDictFull) {
  plTestClearMessageBoxes();
  plTestSetMessageBoxEcho(false);
  feObject d = dict(8);
  std::vector<int32_t> seen{capacity(d)};
  for (int32_t i = 0; i < feDictMaxCapacity; ++i) {
    ASSERT_EQ(put(d, num(i), num(-i)), feOk) << i;
    if (capacity(d) != seen.back()) seen.push_back(capacity(d));
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{8, 16, 32, 40, 50, 62, 77, 96, 120, 150, 187, 233, 291, 363, 453, 566,
                                        707, 883, 1103, 1378, 1722, 2152, 2690, 3072}));
  // Every entry survived the re-insertions.
  for (int32_t i = 0; i < feDictMaxCapacity; ++i) ASSERT_EQ(intAt(d, num(i)), -i) << i;

  // Full at the largest capacity: 266 with the panic, nothing changed.
  EXPECT_EQ(put(d, num(5000), num(1)), feErrDictFull);
  ASSERT_FALSE(plTestMessageBoxes().empty());
  EXPECT_EQ(plTestMessageBoxes().back().text, "dictionary is full!");
  EXPECT_EQ(capacity(d), feDictMaxCapacity);
  EXPECT_EQ(feDictLength(&d), feDictMaxCapacity);
  EXPECT_EQ(intAt(d, num(5000)), -999);
  // Replacing the value of a key already held needs no room.
  EXPECT_EQ(put(d, num(7), num(70)), feOk);
  EXPECT_EQ(intAt(d, num(7)), 70);
  feFree(&d);
  plTestSetMessageBoxEcho(true);
  plTestClearMessageBoxes();
}

TEST_F(DictBodies, CapacityIsKeptBetweenEightAnd3072) {
  const struct {
    int32_t asked, capacity;
  } cases[] = {{-5, 8}, {0, 8}, {1, 8}, {8, 8}, {9, 9}, {800, 800}, {3072, 3072}, {10000, 3072}};
  for (const auto& c : cases) {
    feObject d = dict(c.asked);
    EXPECT_EQ(capacity(d), c.capacity) << c.asked;
    EXPECT_EQ(feDictLength(&d), 0);
    feFree(&d);
  }
}

TEST_F(DictBodies, StringKeysAreStoredAsNames) {
  feObject d = dict(4);
  feObject s = str("strkey_a");
  EXPECT_EQ(put(d, s, num(1)), feOk);
  ASSERT_GE(feDictFind(&d, &s), 0);
  feObject* key = nullptr;
  feObject* value = nullptr;
  ASSERT_EQ(feDictEntryAt(&d, feDictFind(&d, &s), &key, &value), feOk);
  EXPECT_EQ(feType(key), feTName);
  EXPECT_EQ(feIsExec(key), false);
  // The name and the string reach the same entry.
  EXPECT_EQ(intAt(d, name("strkey_a")), 1);
  EXPECT_EQ(put(d, name("strkey_a"), num(2)), feOk);
  EXPECT_EQ(feDictLength(&d), 1);
  EXPECT_EQ(intAt(d, s), 2);
  feFree(&s);
  feFree(&d);
}

TEST_F(DictBodies, KeysOtherThanNamesMatchByEquality) {
  feObject d = dict(8);
  feObject a1 = str("x"), a2 = str("x");
  feObject arr1, arr2;
  ASSERT_EQ(feMakeArray(&arr1, nullptr, 2), feOk);
  ASSERT_EQ(feMakeArray(&arr2, nullptr, 2), feOk);
  EXPECT_EQ(put(d, num(1), num(10)), feOk);
  EXPECT_EQ(put(d, arr1, num(20)), feOk);
  EXPECT_EQ(put(d, null(), num(30)), feOk);
  // 1.0 is the same key as 1; another array with equal contents is not the
  // same key; null finds null.
  EXPECT_EQ(intAt(d, real(1.0)), 10);
  EXPECT_EQ(intAt(d, real(1.5)), -999);
  EXPECT_EQ(intAt(d, arr1), 20);
  EXPECT_EQ(intAt(d, arr2), -999);
  EXPECT_EQ(intAt(d, null()), 30);
  EXPECT_EQ(feDictLength(&d), 3);
  // A key of the empty type would read as a free slot: refused.
  feObject empty{};
  EXPECT_EQ(put(d, empty, num(1)), feErrTypeCheck);
  EXPECT_EQ(feDictLength(&d), 3);
  feObject out, two = num(2);
  EXPECT_EQ(feDictGet(&d, &two, &out), feErrUndefined);
  for (feObject* v : {&a1, &a2, &arr1, &arr2, &d}) feFree(v);
}

TEST_F(DictBodies, StoredExecutableArrayIsMarkedAsNamedProcedure) {
  feObject d = dict(8);
  feObject proc;
  ASSERT_EQ(feMakeArray(&proc, nullptr, 1), feOk);
  proc.flags |= feFlagExec;
  feObject lit;
  ASSERT_EQ(feMakeArray(&lit, nullptr, 1), feOk);
  EXPECT_EQ(feDictDefName(&d, "named_proc", &proc), feOk);
  EXPECT_EQ(feDictDefName(&d, "named_lit", &lit), feOk);
  feObject got;
  ASSERT_EQ(feDictGetName(&d, "named_proc", &got), feOk);
  EXPECT_TRUE(got.flags & feFlagNamed);
  EXPECT_FALSE(proc.flags & feFlagNamed);  // the caller's value is not changed
  feFree(&got);
  ASSERT_EQ(feDictGetName(&d, "named_lit", &got), feOk);
  EXPECT_FALSE(got.flags & feFlagNamed);
  feFree(&got);
  feFree(&proc);
  feFree(&lit);
  feFree(&d);
}

TEST_F(DictBodies, ReferencesOfKeysAndValuesFollowPutAndRelease) {
  feObject d = dict(8);
  feObject key;
  ASSERT_EQ(feMakeArray(&key, nullptr, 1), feOk);
  feObject v1 = str("first"), v2 = str("second");
  ASSERT_EQ(feDictPut(&d, &key, &v1), feOk);
  EXPECT_EQ(key.w0.arr->refs, 2u);
  EXPECT_EQ(v1.w0.str->refs, 2u);
  // Replacing the value releases the old one and keeps the key's single copy.
  ASSERT_EQ(feDictPut(&d, &key, &v2), feOk);
  EXPECT_EQ(v1.w0.str->refs, 1u);
  EXPECT_EQ(v2.w0.str->refs, 2u);
  EXPECT_EQ(key.w0.arr->refs, 2u);
  // A copy of the dictionary keeps everything; the last release frees the
  // entries' references.
  feObject copy;
  feCopyValue(&copy, &d);
  feFree(&d);
  EXPECT_EQ(v2.w0.str->refs, 2u);
  feFree(&copy);
  EXPECT_EQ(v2.w0.str->refs, 1u);
  EXPECT_EQ(key.w0.arr->refs, 1u);
  for (feObject* v : {&key, &v1, &v2}) feFree(v);
}

TEST_F(DictBodies, ReferenceCountSaturatesInsteadOfWrapping) {
  feObject d = dict(8);
  d.w0.dict->refs = UINT32_MAX;
  feDictAddRef(&d);
  EXPECT_EQ(d.w0.dict->refs, UINT32_MAX);
  feDictRelease(&d);  // a saturated body is never freed
  EXPECT_EQ(d.w0.dict->refs, UINT32_MAX);
  d.w0.dict->refs = 1;
  feFree(&d);
}

TEST_F(DictBodies, EntryAccessLengthsAndErrors) {
  feObject d = dict(8);
  const feObject four = num(4), three = num(3);
  ASSERT_EQ(feDictDefName(&d, "entry_k", &four), feOk);
  feObject* key = nullptr;
  feObject* value = nullptr;
  int found = 0;
  for (int32_t i = 0; i < 8; ++i) {
    ASSERT_EQ(feDictEntryAt(&d, i, &key, &value), feOk);
    if (feType(key) != feTName) continue;
    ++found;
    EXPECT_EQ(value->w0.i, 4);
  }
  EXPECT_EQ(found, 1);
  EXPECT_EQ(feDictEntryAt(&d, 8, &key, &value), feErrRangeCheck);
  EXPECT_EQ(feDictEntryAt(&d, -1, &key, &value), feErrRangeCheck);
  int32_t n = 0;
  EXPECT_EQ(feDictMaxLength(&three, &n), feErrTypeCheck);
  EXPECT_EQ(feDictEntryAt(&three, 0, &key, &value), feErrTypeCheck);
  feObject out;
  EXPECT_EQ(feDictGetIntKey(&d, 4, &out), feErrUndefined);
  feFree(&d);
}

TEST_F(DictBodies, EqualityHashAndPrintedForms) {
  feObject a = dict(8), b = dict(8), a2;
  feCopyValue(&a2, &a);
  EXPECT_EQ(feDictEq(&a, &a2), feOk);
  EXPECT_EQ(feDictEq(&a, &b), feNotEqual);
  const feObject zero = num(0);
  EXPECT_EQ(feDictEq(&a, &zero), feNotEqual);
  EXPECT_EQ(feDictHash(&a), a.w0.dict->serial);
  EXPECT_NE(feDictHash(&a), feDictHash(&b));
  {
    OutCapture out;
    feDictPrint(&a, 0);
    EXPECT_EQ(out.text, "--nostringvalue--");
  }
  {
    OutCapture out;
    feDictPrint(&a, 1);
    EXPECT_EQ(out.text.rfind("-dictionary [data:", 0), 0u) << out.text;
    EXPECT_EQ(out.text.substr(out.text.size() - 2), "]-");
    OutCapture other;
    feDictPrint(&b, 1);
    EXPECT_NE(other.text, out.text);  // the text tells bodies apart
  }
  {
    OutCapture out;
    feDictPrint(&a, 2);
    EXPECT_EQ(out.text, "");
  }
  for (feObject* v : {&a, &a2, &b}) feFree(v);
}

TEST_F(DictBodies, CopyIntoAnEmptyDictionary) {
  feObject src = dict(20), dst = dict(8), full = dict(8), small = dict(8), out;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(put(src, num(i), num(i * 10)), feOk);
  ASSERT_EQ(put(full, num(99), num(1)), feOk);
  for (int i = 0; i < 9; ++i) ASSERT_EQ(put(src, num(100 + i), num(1)), feOk);
  // 12 entries do not fit an 8-slot destination; a destination that is not
  // empty or not a dictionary is refused.
  EXPECT_EQ(feDictCopy(&src, &small, &out), feErrRangeCheck);
  EXPECT_EQ(feDictCopy(&src, &full, &out), feErrRangeCheck);
  const feObject one = num(1);
  EXPECT_EQ(feDictCopy(&src, &one, &out), feErrTypeCheck);
  EXPECT_EQ(feDictLength(&small), 0);
  feObject big = dict(12);
  ASSERT_EQ(feDictCopy(&src, &big, &out), feOk);
  EXPECT_EQ(feDictEq(&out, &big), feOk);
  EXPECT_EQ(feDictLength(&big), 12);
  EXPECT_EQ(intAt(big, num(2)), 20);
  EXPECT_EQ(big.w0.dict->refs, 2u);  // the answer holds its own reference
  for (feObject* v : {&src, &dst, &full, &small, &big, &out}) feFree(v);
}

// ---------------------------------------------------------------------------
// The dictionary stack

TEST_F(DictStack, SystemdictAndUserdictAreTheBottomTwo) {
  ASSERT_EQ(dictCount(), 2);
  EXPECT_EQ(capacity(*feDictAtLevel(1)), 800);
  EXPECT_EQ(capacity(*feDictAtLevel(2)), 2000);
  EXPECT_EQ(feDictAtLevel(0), nullptr);
  EXPECT_EQ(feDictAtLevel(3), nullptr);
  EXPECT_EQ(feDictEnd(), feErrDictStackUnderflow);
  EXPECT_EQ(dictCount(), 2);
  const feObject one = num(1);
  EXPECT_EQ(feDictBegin(&one), feErrTypeCheck);
  EXPECT_EQ(dictCount(), 2);
}

TEST_F(DictStack, StartsFromGivenDictionaries) {
  feObject sys = dict(8), user = dict(9);
  ASSERT_EQ(feDictStackInit(&sys, &user), feOk);
  EXPECT_EQ(feDictEq(feDictAtLevel(1), &sys), feOk);
  EXPECT_EQ(feDictEq(feDictAtLevel(2), &user), feOk);
  EXPECT_EQ(sys.w0.dict->refs, 2u);
  const feObject one = num(1);
  EXPECT_EQ(feDictStackInit(&sys, &one), feErrTypeCheck);
  feFree(&sys);
  feFree(&user);
}

TEST_F(DictStack, DefLoadStoreAndWhereFollowTheStack) {
  const feObject x = name("stk_x"), y = name("stk_y");
  ASSERT_EQ(def(x, num(1)), feOk);
  EXPECT_EQ(intAt(*feDictAtLevel(2), x), 1);  // def goes into the top: userdict
  feObject d = dict(8);
  ASSERT_EQ(feDictBegin(&d), feOk);
  EXPECT_EQ(loaded(x), 1);
  // store changes the definition where it is, not in the top.
  ASSERT_EQ(store(x, num(2)), feOk);
  EXPECT_EQ(intAt(*feDictAtLevel(2), x), 2);
  EXPECT_EQ(feDictLength(&d), 0);
  EXPECT_EQ(loaded(x), 2);
  // An undefined name is stored by def, into the top.
  ASSERT_EQ(store(y, num(3)), feOk);
  EXPECT_EQ(intAt(d, y), 3);
  feObject where;
  ASSERT_EQ(feWhereDict(&x, &where), feOk);
  EXPECT_EQ(feDictEq(&where, feDictAtLevel(2)), feOk);
  feFree(&where);
  ASSERT_EQ(feWhereDict(&y, &where), feOk);
  EXPECT_EQ(feDictEq(&where, &d), feOk);
  feFree(&where);
  const feObject none = name("stk_none");
  EXPECT_EQ(feWhereDict(&none, &where), feErrUndefined);
  feObject out;
  EXPECT_EQ(feLoad(&none, &out), feErrUndefined);
  ASSERT_EQ(feDictEnd(), feOk);
  EXPECT_EQ(loaded(y), -999);
  EXPECT_EQ(d.w0.dict->refs, 1u);  // end released the stack's copy
  feFree(&d);
}

TEST_F(DictStack, DefinitionsGoToTheLocalDictionaryWhileOneIsCurrent) {
  const feObject x = name("loc_x");
  ASSERT_EQ(def(x, num(1)), feOk);
  feObject local = dict(4);
  ASSERT_EQ(fePushDup(feFrameStack(), &local), feOk);
  ASSERT_EQ(def(x, num(2)), feOk);
  EXPECT_EQ(intAt(local, x), 2);
  EXPECT_EQ(intAt(*feDictAtLevel(2), x), 1);
  bool localMark = false;
  feNameCacheRead(feNameIndex(&x), nullptr, nullptr, &localMark);
  EXPECT_TRUE(localMark);
  EXPECT_EQ(loaded(x), 2);
  // store finds the local definition first.
  ASSERT_EQ(store(x, num(3)), feOk);
  EXPECT_EQ(intAt(local, x), 3);
  EXPECT_EQ(intAt(*feDictAtLevel(2), x), 1);
  feObject where;
  ASSERT_EQ(feWhereDict(&x, &where), feOk);
  EXPECT_EQ(feDictEq(&where, &local), feOk);
  feFree(&where);
  // A null frame is no local dictionary.
  feObject nothing = null();
  ASSERT_EQ(fePush(feFrameStack(), &nothing), feOk);
  EXPECT_EQ(loaded(x), 1);
  ASSERT_EQ(def(x, num(4)), feOk);
  EXPECT_EQ(intAt(*feDictAtLevel(2), x), 4);
  feStackPopN(*feFrameStack(), 1);
  EXPECT_EQ(loaded(x), 3);
  feStackPopN(*feFrameStack(), 1);
  EXPECT_EQ(loaded(x), 4);
  feFree(&local);
}

TEST_F(DictStack, LookupAlwaysAnswersTheTopmostDefinition) {
  const feObject n = name("cache_n");
  ASSERT_EQ(def(n, num(1)), feOk);  // userdict
  uint32_t hits0 = 0, searches0 = 0, hits = 0, searches = 0;
  feLookupCounts(&hits0, &searches0);
  EXPECT_EQ(loaded(n), 1);  // def left the cache set: a hit
  feLookupCounts(&hits, &searches);
  EXPECT_EQ(hits, hits0 + 1);
  EXPECT_EQ(searches, searches0);

  // A dictionary filled earlier and pushed with begin hides the cached level.
  feObject d = dict(8);
  ASSERT_EQ(put(d, n, num(2)), feOk);
  EXPECT_EQ(loaded(n), 1);
  EXPECT_EQ(loaded(n), 1);
  feLookupCounts(&hits0, &searches0);
  ASSERT_EQ(feDictBegin(&d), feOk);
  EXPECT_EQ(loaded(n), 2);
  EXPECT_EQ(loaded(n), 2);
  feLookupCounts(&hits, &searches);
  EXPECT_EQ(searches, searches0 + 1);  // searched once, then cached
  EXPECT_EQ(hits, hits0 + 1);
  ASSERT_EQ(feDictEnd(), feOk);
  EXPECT_EQ(loaded(n), 1);

  // The same when the dictionary is put on the stack without begin.
  EXPECT_EQ(loaded(n), 1);
  ASSERT_EQ(fePushDup(feDictStack(), &d), feOk);
  EXPECT_EQ(loaded(n), 2);
  feStackPopN(*feDictStack(), 1);
  EXPECT_EQ(loaded(n), 1);

  // A put into a dictionary above the cached level, after begin.
  feObject e = dict(8);
  ASSERT_EQ(feDictBegin(&e), feOk);
  EXPECT_EQ(loaded(n), 1);
  ASSERT_EQ(put(e, n, num(3)), feOk);
  EXPECT_EQ(loaded(n), 3);
  // A store into the same dictionary keeps answering there.
  ASSERT_EQ(store(n, num(4)), feOk);
  EXPECT_EQ(loaded(n), 4);
  ASSERT_EQ(feDictEnd(), feOk);
  EXPECT_EQ(loaded(n), 1);
  feFree(&d);
  feFree(&e);
}

TEST_F(DictStack, DefOverwrittenIsLoggedWithDebugFlag0x20) {
  const std::string longName(40, 'w');
  const feObject quiet = name("ovr_quiet"), hidden = name("ovr_hidden"), fresh = name("ovr_fresh"),
                 longKey = name(longName);
  ASSERT_EQ(def(quiet, num(1)), feOk);
  ASSERT_EQ(def(hidden, num(1)), feOk);
  ASSERT_EQ(def(longKey, num(1)), feOk);
  ASSERT_EQ(def(num(77), num(1)), feOk);
  feObject d = dict(8);
  ASSERT_EQ(feDictBegin(&d), feOk);

  static int hookCalls;
  hookCalls = 0;
  feDictSetOverwriteHook([] { ++hookCalls; });
  struct Case {
    feObject key;
    uint32_t flags;
    std::string line;
  } cases[] = {
      {quiet, 0, ""},  // flag off: silent
      {hidden, 0x20, "ovr_hidden: def overwritten\n"},
      {hidden, 0x20, ""},  // now defined in the top: not hiding anything new
      {fresh, 0x20, ""},   // defined nowhere below
      {longKey, 0x20, std::string(32, 'w') + ": def overwritten\n"},
      {num(77), 0x20, "??????: def overwritten\n"},
  };
  int expectedCalls = 0;
  for (Case& c : cases) {
    LogCapture log;
    dbgSetFlags(c.flags);
    ASSERT_EQ(def(c.key, num(2)), feOk);
    EXPECT_EQ(log.text, c.line);
    if (!c.line.empty()) ++expectedCalls;
  }
  EXPECT_EQ(hookCalls, expectedCalls);
  dbgSetFlags(0);
  ASSERT_EQ(feDictEnd(), feOk);
  feFree(&d);
}

// ---------------------------------------------------------------------------
// Operators

TEST_F(DictOps, DefLoadWhereAndStoreOnTheOperandStack) {
  push(name("op_k"));
  push(num(5));
  ASSERT_EQ(feOpDef(), feOk);
  EXPECT_EQ(feStackCount(*ops()), 0);
  push(name("op_k"));
  ASSERT_EQ(feOpLoad(), feOk);
  EXPECT_EQ(top().w0.i, 5);
  feStackClear(*ops());

  push(name("op_k"));
  ASSERT_EQ(feOpWhere(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 2);
  EXPECT_EQ(feGetBool(feStackIndex(*ops(), 0)), 1);
  EXPECT_EQ(feDictEq(feStackIndex(*ops(), 1), feDictAtLevel(2)), feOk);
  feStackClear(*ops());
  push(name("op_nowhere"));
  ASSERT_EQ(feOpWhere(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 1);
  EXPECT_EQ(feType(feStackIndex(*ops(), 0)), feTBool);
  EXPECT_EQ(feGetBool(feStackIndex(*ops(), 0)), 0);
  feStackClear(*ops());

  push(name("op_k"));
  push(num(6));
  ASSERT_EQ(feOpStore(), feOk);
  EXPECT_EQ(feStackCount(*ops()), 0);
  EXPECT_EQ(loaded(name("op_k")), 6);
}

TEST_F(DictOps, ErrorsLeaveTheStacksAsTheyWere) {
  feObject d = dict(8);
  feObject arr;
  ASSERT_EQ(feMakeArray(&arr, nullptr, 1), feOk);
  const struct Case {
    const char* what;
    std::vector<feObject> operands;
    int (*op)();
    int rc;
  } cases[] = {
      {"def, one operand", {num(1)}, feOpDef, feErrStackUnderflow},
      {"store, empty", {}, feOpStore, feErrStackUnderflow},
      {"load, undefined", {name("op_undefined")}, feOpLoad, feErrUndefined},
      {"load, empty", {}, feOpLoad, feErrStackUnderflow},
      {"where, empty", {}, feOpWhere, feErrStackUnderflow},
      {"begin, not a dictionary", {num(1)}, feOpBegin, feErrTypeCheck},
      {"begin, empty", {}, feOpBegin, feErrStackUnderflow},
      {"end, only systemdict and userdict", {num(1)}, feOpEnd, feErrDictStackUnderflow},
      {"dict, negative", {num(-1)}, feOpDict, feErrRangeCheck},
      {"dict, too large", {num(32768)}, feOpDict, feErrRangeCheck},
      {"dict, not an integer", {real(4.0)}, feOpDict, feErrTypeCheck},
      {"dictstack, not an array", {num(3)}, feOpDictStack, feErrTypeCheck},
      {"dictstack, array too short", {arr}, feOpDictStack, feErrRangeCheck},
      {"adict, not an array", {d}, feOpAdict, feErrTypeCheck},
      {">>, no mark", {name("op_a"), num(1)}, feOpDictEnd, feErrUnmatchedMark},
      {">>, odd count", {mark(), name("op_a"), num(1), name("op_b")}, feOpDictEnd, feErrLengthCheck},
  };
  for (const Case& c : cases) {
    feStackClear(*ops());
    for (const feObject& v : c.operands) pushCopy(v);
    const std::vector<Raw> before = snapshot();
    const int32_t levels = dictCount();
    EXPECT_EQ(c.op(), c.rc) << c.what;
    EXPECT_EQ(snapshot(), before) << c.what;
    EXPECT_EQ(dictCount(), levels) << c.what;
  }
  feStackClear(*ops());
  feFree(&arr);
  feFree(&d);
}

TEST_F(DictOps, BeginEndCurrentdictCountdictstackAndDictstack) {
  auto countDictStack = [] {
    EXPECT_EQ(feOpCountDictStack(), feOk);
    feObject v;
    fePop(*ops(), &v);
    return v.w0.i;
  };
  EXPECT_EQ(countDictStack(), 2);
  feObject d = dict(8), local = dict(4);
  pushCopy(d);
  ASSERT_EQ(feOpBegin(), feOk);
  EXPECT_EQ(feStackCount(*ops()), 0);
  EXPECT_EQ(countDictStack(), 3);
  ASSERT_EQ(feOpCurrentDict(), feOk);
  EXPECT_EQ(feDictEq(feStackIndex(*ops(), 0), &d), feOk);
  feStackClear(*ops());

  // The local dictionary counts as the topmost level.
  ASSERT_EQ(fePushDup(feFrameStack(), &local), feOk);
  EXPECT_EQ(countDictStack(), 4);
  ASSERT_EQ(feOpCurrentDict(), feOk);
  EXPECT_EQ(feDictEq(feStackIndex(*ops(), 0), &local), feOk);
  feStackClear(*ops());
  feObject arr;
  ASSERT_EQ(feMakeArray(&arr, nullptr, 6), feOk);
  pushCopy(arr);
  ASSERT_EQ(feOpDictStack(), feOk);
  const feObject result = top();
  EXPECT_EQ(result.w0.arr, arr.w0.arr);
  ASSERT_EQ(result.length, 4);
  EXPECT_EQ(feDictEq(feArrayElem(&result, 0), feDictAtLevel(1)), feOk);
  EXPECT_EQ(feDictEq(feArrayElem(&result, 1), feDictAtLevel(2)), feOk);
  EXPECT_EQ(feDictEq(feArrayElem(&result, 2), &d), feOk);
  EXPECT_EQ(feDictEq(feArrayElem(&result, 3), &local), feOk);
  EXPECT_EQ(feType(feArrayElem(&arr, 4)), feTNull);
  feStackClear(*ops());
  feStackClear(*feFrameStack());

  ASSERT_EQ(feOpEnd(), feOk);
  EXPECT_EQ(countDictStack(), 2);
  EXPECT_EQ(feOpEnd(), feErrDictStackUnderflow);
  for (feObject* v : {&d, &local, &arr}) feFree(v);
}

TEST_F(DictOps, DictMakesTheAskedCapacity) {
  const struct {
    int32_t n, capacity;
  } cases[] = {{0, 8}, {1, 8}, {100, 100}, {32767, 3072}};
  for (const auto& c : cases) {
    push(num(c.n));
    ASSERT_EQ(feOpDict(), feOk) << c.n;
    ASSERT_EQ(feType(feStackIndex(*ops(), 0)), feTDict);
    EXPECT_EQ(capacity(top()), c.capacity) << c.n;
    EXPECT_EQ(feDictLength(feStackIndex(*ops(), 0)), 0);
    feStackClear(*ops());
  }
}

TEST_F(DictOps, AdictAndDictEndTakePairsSkippingNullKeys) {
  // [ /ad_a 1 null 2 /ad_b 3 /ad_a 4 ] adict
  std::vector<feObject> elems{name("ad_a"), num(1), null(), num(2), name("ad_b"), num(3), name("ad_a"), num(4)};
  feObject arr;
  ASSERT_EQ(feMakeArray(&arr, elems.data(), uint32_t(elems.size())), feOk);
  push(arr);
  ASSERT_EQ(feOpAdict(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 1);
  feObject d = top();
  EXPECT_EQ(feDictLength(&d), 2);
  EXPECT_EQ(capacity(d), 8);
  EXPECT_EQ(intAt(d, name("ad_a")), 4);  // later pairs win
  EXPECT_EQ(intAt(d, name("ad_b")), 3);
  EXPECT_EQ(intAt(d, null()), -999);
  feStackClear(*ops());

  // An odd length is 280; an empty array gives an empty dictionary.
  std::vector<feObject> odd{name("ad_a"), num(1), name("ad_b")};
  ASSERT_EQ(feMakeArray(&arr, odd.data(), 3), feOk);
  push(arr);
  const std::vector<Raw> before = snapshot();
  EXPECT_EQ(feOpAdict(), feErrLengthCheck);
  EXPECT_EQ(snapshot(), before);
  feStackClear(*ops());
  ASSERT_EQ(feMakeArray(&arr, nullptr, 0), feOk);
  push(arr);
  ASSERT_EQ(feOpAdict(), feOk);
  EXPECT_EQ(feDictLength(feStackIndex(*ops(), 0)), 0);
  feStackClear(*ops());

  // 9 /dummy mark /ad_a 1 null 2 (ad_s) 5 /ad_a 6 >>
  push(num(9));
  push(mark());
  for (feObject v : {name("ad_a"), num(1), null(), num(2), str("ad_s"), num(5), name("ad_a"), num(6)}) push(v);
  ASSERT_EQ(feOpDictEnd(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 2);
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.i, 9);
  d = top();
  EXPECT_EQ(feDictLength(&d), 2);
  EXPECT_EQ(intAt(d, name("ad_a")), 6);
  EXPECT_EQ(intAt(d, name("ad_s")), 5);  // the string key became a name
  feStackClear(*ops());

  push(mark());
  ASSERT_EQ(feOpDictEnd(), feOk);
  ASSERT_EQ(feStackCount(*ops()), 1);
  EXPECT_EQ(feDictLength(feStackIndex(*ops(), 0)), 0);
}

}  // namespace
