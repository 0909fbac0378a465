// Releasing long chains of values: arrays, dictionaries and program objects
// nested a million deep are freed without exhausting the native stack, every
// body is freed exactly once, and releases keep their depth-first order.
#include "exec_fixture.h"

#include "core/classes.h"
#include "fe/generic_msg.h"
#include "fe/release.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kDepth = 1000000;

// Records of a test class. Each one may hold a value, released when the
// record gets message 100; the order of the messages is logged.
struct Holder {
  feObjRecord head;
  int id;
  int freed;
  feObject held;
};
std::vector<int> freeLog;

int holderHandler(void* object, int message, intptr_t, intptr_t, intptr_t) {
  if (message != feMsgFree) return objNotHandled;
  auto* h = static_cast<Holder*>(object);
  ++h->freed;
  freeLog.push_back(h->id);
  feFree(&h->held);
  feMakeNull(&h->held);
  // Whatever the record held is gone by the time its release returns, as
  // long as the chain of records is shallow.
  freeLog.push_back(-h->id);
  return 0;
}

uint16_t holderClass() {
  static const uint16_t id = objClassRegister("feDeepHolder", 0, holderHandler);
  return id;
}

feObject ref(Holder& h) {
  feObject v;
  feMakeObjRef(&v, &h);
  return v;
}

feObject wrap(feObject* elems, uint32_t n) {
  feObject a;
  EXPECT_EQ(feMakeArray(&a, elems, n), feOk);
  return a;
}

}  // namespace

TEST(DeepRelease, MillionLevelArrayChainThroughTheInterpreter) {
  execfx::start();
  const int32_t arrays = feArrayBodiesLive();
  const int32_t dicts = feDictBodiesLive();
  const std::string text = "/x 1 def " + std::to_string(kDepth) +
                           " { [x] /x exch def } repeat "
                           "x x pop pop /x null def";
  ASSERT_EQ(feExecString(text.c_str()), feOk);
  EXPECT_EQ(feArrayBodiesLive(), arrays);
  EXPECT_EQ(feDictBodiesLive(), dicts);
  EXPECT_EQ(feStackCount(*feOperandStack()), 0);
}

TEST(DeepRelease, MillionLevelDictionaryChainWithSharedTail) {
  const int32_t arrays = feArrayBodiesLive();
  const int32_t dicts = feDictBodiesLive();
  Holder bottom{{holderClass(), 0}, 1, 0, {}};
  feMakeNull(&bottom.held);
  feObject chain = ref(bottom);
  feObject shared{};
  for (int i = 0; i < kDepth; ++i) {
    feObject d;
    ASSERT_EQ(feMakeDict(&d, 1), feOk);
    ASSERT_EQ(feDictDefName(&d, "next", &chain), feOk);
    // An array beside the link, one level in three, keeps both kinds mixed.
    if (i % 3 == 0) {
      feObject inner = wrap(nullptr, 2);
      ASSERT_EQ(feDictDefName(&d, "side", &inner), feOk);
      feFree(&inner);
    }
    feFree(&chain);
    chain = d;
    if (i == kDepth / 2) feCopyValue(&shared, &chain);
  }
  EXPECT_EQ(feDictBodiesLive(), dicts + kDepth);

  freeLog.clear();
  feFree(&chain);
  // The lower half is still held through the copy taken halfway.
  EXPECT_EQ(feDictBodiesLive(), dicts + kDepth / 2 + 1);
  EXPECT_EQ(bottom.freed, 0);
  EXPECT_EQ(shared.w0.dict->refs, 1u);
  feFree(&shared);
  EXPECT_EQ(bottom.freed, 1);
  EXPECT_EQ(bottom.head.refCount, 0);
  EXPECT_EQ(freeLog, (std::vector<int>{1, -1}));
  EXPECT_EQ(feDictBodiesLive(), dicts);
  EXPECT_EQ(feArrayBodiesLive(), arrays);
}

TEST(DeepRelease, ProgramObjectsFreedInDepthFirstOrderAndDeepChainsSurvive) {
  const int32_t arrays = feArrayBodiesLive();
  // [r1 [r2 r3] r4], where r2 holds [r5]: each record gets message 100 once,
  // in the order of a depth-first walk, and r2's held value is gone before
  // its release returns.
  Holder r[6];
  for (int i = 1; i <= 5; ++i) {
    r[i] = Holder{{holderClass(), 0}, i, 0, {}};
    feMakeNull(&r[i].held);
  }
  feObject five[] = {ref(r[5])};
  r[2].held = wrap(five, 1);
  feObject inner[] = {ref(r[2]), ref(r[3])};
  feObject outer[] = {ref(r[1]), wrap(inner, 2), ref(r[4])};
  feObject top = wrap(outer, 3);
  freeLog.clear();
  feFree(&top);
  EXPECT_EQ(freeLog, (std::vector<int>{1, -1, 2, 5, -5, -2, 3, -3, 4, -4}));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(r[i].freed, 1) << i;
  EXPECT_EQ(feArrayBodiesLive(), arrays);

  // A chain alternating records and arrays, each record holding the array
  // that holds the next record: freed to the end, each record once.
  std::vector<Holder> chain(200000);
  feObject next;
  feMakeNull(&next);
  for (size_t i = chain.size(); i-- > 0;) {
    chain[i] = Holder{{holderClass(), 0}, int(i) + 1, 0, {}};
    chain[i].held = wrap(&next, 1);
    next = ref(chain[i]);
  }
  freeLog.clear();
  feFree(&next);
  for (const Holder& h : chain) ASSERT_EQ(h.freed, 1) << h.id;
  // The records get their messages in chain order.
  std::vector<int> starts;
  for (int id : freeLog)
    if (id > 0) starts.push_back(id);
  ASSERT_EQ(starts.size(), chain.size());
  for (size_t i = 0; i < starts.size(); ++i) ASSERT_EQ(starts[i], int(i) + 1);
  EXPECT_EQ(feArrayBodiesLive(), arrays);
}
