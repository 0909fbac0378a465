// The class "gobject": creation from the default head, copies, the built-in
// attribute keys and coordinate keys, the loop of message 119, key
// enumeration, and the life of objects (references, deletion, freeing).
#include "gobject_fixture.h"

#include "core/alloc.h"
#include "fe/control.h"
#include "fe/stack.h"
#include "objects/objrecord.h"
#include "objects/pen.h"

#include <vector>

namespace {

using namespace gobjfx;

class Gobject : public GobjTest {};

TEST_F(Gobject, NewObjectTakesTheDefaultHeadOfTheCurrentDocumentOrOfTheProgram) {
  dbDocRec doc{};
  doc.defaultObject.style = uint8_t(2 << 5 | 3);
  doc.defaultObject.color = 200;
  doc.defaultObject.layer = 4;
  dbSetCurrentDoc(&doc);
  tptRec* p = newPoint();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->head.classId, tpoint());
  EXPECT_EQ(gobjPen(&p->head), 2);
  EXPECT_EQ(gobjLineFont(&p->head), 3);
  EXPECT_EQ(p->head.color, 200);
  EXPECT_EQ(p->head.layer, 4);
  EXPECT_EQ(p->head.refCount, 0);
  EXPECT_EQ(p->head.flags, gobjChanged);

  dbSetCurrentDoc(nullptr);
  tptRec* q = newPoint();
  EXPECT_EQ(q->head.style, 0);
  EXPECT_EQ(q->head.color, 0);
  EXPECT_EQ(q->head.layer, 0);
}

TEST_F(Gobject, NewWithoutARecordIsAnInternalError) {
  gobjRec* slot = nullptr;
  EXPECT_EQ(objMeth(gobjClassId(), msgNew, nullptr, reinterpret_cast<intptr_t>(&slot)), -1);
  EXPECT_EQ(slot, nullptr);
  EXPECT_NE(boxes().find("alloc gobject?"), std::string::npos) << boxes();
}

TEST_F(Gobject, CopyCarriesStyleAndPointMarksButNeitherLockNorSelection) {
  tptRec* p = newPoint();
  p->head.flags = gobjLocked | gobjSelected | gobjControlPts | gobjPointSel | gobjInSieve;
  p->head.style = uint8_t(5 << 5 | 7);
  p->head.color = 33;
  p->head.layer = 7;
  const int16_t box[6] = {1, 2, 3, 4, 5, 6};
  std::memcpy(p->head.box, box, sizeof box);
  p->pt1[0] = 1, p->pt1[1] = 2, p->pt1[2] = 3;

  auto* copy = reinterpret_cast<tptRec*>(keep(objDuplicate(&p->head)));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->head.classId, tpoint());
  EXPECT_EQ(copy->head.flags, gobjControlPts | gobjPointSel | gobjChanged);
  EXPECT_EQ(copy->head.style, p->head.style);
  EXPECT_EQ(copy->head.color, 33);
  EXPECT_EQ(copy->head.layer, 7);
  EXPECT_EQ(std::memcmp(copy->head.box, box, sizeof box), 0);
  EXPECT_EQ(copy->head.refCount, 0);
  EXPECT_EQ(copy->pt1[1], 2.0);
  p->head.flags &= uint16_t(~gobjInSieve);  // in no real sieve: the fixture frees it
}

TEST_F(Gobject, BuiltInKeysSetAndGetTheHead) {
  const struct {
    const char* key;
    feObject value;
    int setAnswer;
    const char* readKey;
    const char* read;
  } cases[] = {
      {"weight", execfx::integer(9), 0, "weight", "1"},  // value & 7
      {"weight", execfx::integer(9), 0, "linewidth", "1"},
      {"linewidth", execfx::integer(4), 0, "weight", "4"},
      {"linefontno", execfx::integer(35), 0, "linefontno", "3"},
      {"colorno", execfx::integer(200), 0, "colorno", "200"},
      {"colorno", execfx::integer(256), feErrRangeCheck, "colorno", "0"},
      {"layerno", execfx::integer(2), 0, "layerno", "2"},
      {"layerno", execfx::integer(-1), feErrRangeCheck, "layerno", "0"},
      {"locked", *feTrue(), 0, "locked", "true"},
      {"locked", execfx::integer(1), feErrTypeCheck, "locked", "false"},
      {"xvis", *feTrue(), 0, "control-pts", "true"},
      {"control-pts", *feTrue(), 0, "xvis", "true"},
      {"type", execfx::integer(5), 0, "type", "(tpoint)"},  // ignored
      {"id", execfx::integer(5), feErrUnknownKey, "id", "0"},
      {"docid", execfx::integer(5), feErrUnknownKey, "docid", "0"},
  };
  for (const auto& c : cases) {
    tptRec* p = newPoint();
    EXPECT_EQ(set(&p->head, c.key, c.value), c.setAnswer) << c.key;
    std::string text;
    EXPECT_EQ(get(&p->head, c.readKey, &text), 0) << c.readKey;
    EXPECT_EQ(text, c.read) << c.key << " -> " << c.readKey;
  }
}

TEST_F(Gobject, WeightNineStoresPenOneAndKeepsTheLineFont) {
  tptRec* p = newPoint();
  p->head.style = 3;
  EXPECT_EQ(set(&p->head, "weight", execfx::integer(9)), 0);
  EXPECT_EQ(gobjPen(&p->head), 1);
  EXPECT_EQ(gobjLineFont(&p->head), 3);
}

TEST_F(Gobject, IdAndDocIdAreTheTwoPartsOfTheIdWord) {
  tptRec* p = newPoint();
  p->head.id = 0x05000123;
  std::string text;
  EXPECT_EQ(get(&p->head, "id", &text), 0);
  EXPECT_EQ(text, "291");
  EXPECT_EQ(get(&p->head, "docid", &text), 0);
  EXPECT_EQ(text, "5");
}

TEST_F(Gobject, UnknownKeysAnswerUnknownKey) {
  tptRec* p = newPoint();
  for (const char* key : {"@note", "Note", "nosuch", "text"}) {
    EXPECT_EQ(get(&p->head, key, nullptr), feErrUnknownKey) << key;
    EXPECT_EQ(set(&p->head, key, execfx::integer(1)), feErrUnknownKey) << key;
  }
  // A key that is not a name.
  feObject key, value;
  feMakeString(&key, "colorno", 7);
  feMakeNull(&value);
  EXPECT_EQ(objGetAttr(&p->head, &key, &value), feErrUnknownKey);
  feFree(&key);
}

TEST_F(Gobject, CoordinateKeysReadAndChangeOneCoordinateOfAPoint) {
  tptRec* p = newPoint();
  p->pt1[0] = 1, p->pt1[1] = 2, p->pt1[2] = 3.5;
  feObject key = name("pt1.z"), value;
  feMakeNull(&value);
  ASSERT_EQ(objGetAttr(&p->head, &key, &value), 0);
  EXPECT_EQ(feType(&value), feTReal);
  EXPECT_EQ(feGetNumber(&value, nullptr), 3.5);

  EXPECT_EQ(set(&p->head, "pt1.y", execfx::integer(7)), 0);
  EXPECT_EQ(p->pt1[0], 1.0);
  EXPECT_EQ(p->pt1[1], 7.0);
  EXPECT_EQ(p->pt1[2], 3.5);

  // A base that names no point: the inner get's error. "delta.x" is a key
  // of the list, but the class has no "delta".
  EXPECT_EQ(get(&p->head, "nopt.x", nullptr), feErrUnknownKey);
  EXPECT_EQ(set(&p->head, "nopt.x", execfx::integer(1)), feErrUnknownKey);
  EXPECT_EQ(get(&p->head, "delta.x", nullptr), feErrUnknownKey);
  // A base that is not a point.
  EXPECT_EQ(get(&p->head, "colorno.x", nullptr), feErrTypeCheck);
  EXPECT_EQ(p->pt1[1], 7.0);
}

TEST_F(Gobject, ForallRunsTheProcedureOverEveryReadableKey) {
  tptRec* p = newPoint();
  penLoadDefaults();  // the built-in widths: pen 2 is 0.010
  p->head.style = uint8_t(2 << 5 | 3);
  p->head.color = 9;
  p->head.layer = 1;
  p->head.flags = gobjLocked;
  p->head.id = 42;
  objRetain(&p->head);  // the test's own reference: the script's go away
  feObject ref;
  feMakeObjRef(&ref, &p->head);
  ASSERT_EQ(fePush(feOperandStack(), &ref), feOk);
  ASSERT_EQ(feExecString("[ exch {} forall ]"), feOk);
  EXPECT_EQ(execfx::operands(),
            "[/type (tpoint) /id 42 /layer (.temp) /layerno 1 /linefont (.reserve2) /linefontno 3 /colorno 9 "
            "/linewidth 2 /lineweight 0.01 /locked true /control-pts false ]");
  feStackClear(*feOperandStack());

  // exit leaves the loop.
  feMakeObjRef(&ref, &p->head);
  fePush(feOperandStack(), &ref);
  ASSERT_EQ(feExecString("0 exch { pop pop 1 add dup 2 eq {exit} if } forall"), feOk);
  EXPECT_EQ(execfx::operands(), "2");
  feStackClear(*feOperandStack());
  EXPECT_EQ(p->head.refCount, 1);
}

TEST_F(Gobject, ForallWithoutAProcedureIsATypeError) {
  tptRec* p = newPoint();
  feObject ref, notProc = execfx::integer(1);
  ref.w0.obj = p;
  ref.offset = ref.length = 0;
  ref.flags = feTObject;
  EXPECT_EQ(objMeth(tpoint(), msgForAll, p, reinterpret_cast<intptr_t>(&notProc)), feErrTypeCheck);
  EXPECT_EQ(feForall(&ref, &notProc), feErrTypeCheck);
}

// A class below tpoint with one key of its own, for the enumeration.
const int kOwnCodes[] = {attrPt1, 0};
uint16_t tkeysClass;
int tkeysHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgEnumKeys)
    return gobjAttrEnum(reinterpret_cast<objKeyCallback>(a), reinterpret_cast<void*>(b), kOwnCodes, attrNames(),
                        tkeysClass, object);
  return objMeth(objSuperClass(tkeysClass), message, object, a, b, c);
}

struct Collected {
  std::vector<std::string> keys;
  std::string stopAt;
};
int collect(const feObject* key, void* context) {
  auto* out = static_cast<Collected*>(context);
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  out->keys.emplace_back(text, length);
  return out->keys.back() == out->stopAt ? 7 : 0;
}

TEST_F(Gobject, KeysAreEnumeratedSuperclassFirstUntilACallbackAnswers) {
  if (!tkeysClass) tkeysClass = objClassRegister("tkeys", tpoint(), tkeysHandler);
  gobjRec* object = keep(objNew(tkeysClass));
  ASSERT_NE(object, nullptr);
  Collected all;
  EXPECT_EQ(objMeth(tkeysClass, msgEnumKeys, object, reinterpret_cast<intptr_t>(collect),
                    reinterpret_cast<intptr_t>(&all)),
            0);
  EXPECT_EQ(all.keys, (std::vector<std::string>{"type", "id", "layer", "layerno", "linefont", "linefontno", "color",
                                                "colorno", "linewidth", "lineweight", "locked", "control-pts",
                                                "pt1"}));
  Collected some;
  some.stopAt = "layerno";
  EXPECT_EQ(objMeth(tkeysClass, msgEnumKeys, object, reinterpret_cast<intptr_t>(collect),
                    reinterpret_cast<intptr_t>(&some)),
            7);
  EXPECT_EQ(some.keys.size(), 4u);
}

TEST_F(Gobject, DrawingAChangedObjectSendsChangedOnce) {
  tptRec* p = newPoint();
  ASSERT_TRUE(p->head.flags & gobjChanged);
  EXPECT_EQ(objMeth(tpoint(), msgDraw, p), 0);
  EXPECT_EQ(objMeth(tpoint(), msgDraw, p), 0);
  EXPECT_EQ(sent(msgChanged), 1);
  EXPECT_FALSE(p->head.flags & gobjChanged);
}

TEST_F(Gobject, SelectMessageSetsClearsAndToggles) {
  tptRec* p = newPoint();
  const struct {
    int mode;
    bool selected;
  } steps[] = {{1, true}, {1, true}, {0, false}, {0, false}, {5, true}, {2, false}};
  for (const auto& s : steps) {
    EXPECT_EQ(objMeth(tpoint(), msgSelect, p, s.mode), 0);
    EXPECT_EQ((p->head.flags & gobjSelected) != 0, s.selected) << s.mode;
  }
}

TEST_F(Gobject, BoxTestUsesThePartsOrFallsBackToTheBoxWithATrace) {
  dbgSetFlags(1);  // trace alerts visible
  tptRec* p = newPoint();
  const int16_t box[6] = {10, 10, 10, 20, 20, 20};
  std::memcpy(p->head.box, box, sizeof box);
  const int16_t around[6] = {0, 0, 0, 30, 30, 30};
  const int16_t across[6] = {0, 0, 0, 15, 15, 15};
  EXPECT_EQ(objBoxTest(&p->head, around), 3);
  EXPECT_EQ(objBoxTest(&p->head, across), 0);
  EXPECT_NE(boxes().find("BoxTest not implemented for type tpoint"), std::string::npos) << boxes();

  plTestClearMessageBoxes();
  state().hasParts = true;
  p->pt1[0] = p->pt1[1] = p->pt1[2] = 1.0;  // compact 0x3F80 on each axis
  const int16_t high[6] = {0, 0, 0, 0x4000, 0x4000, 0x4000};
  const int16_t low[6] = {0, 0, 0, 0x3F00, 0x4000, 0x4000};
  EXPECT_EQ(objBoxTest(&p->head, high), 3);
  EXPECT_EQ(objBoxTest(&p->head, low), 0);
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

TEST_F(Gobject, InsertNeedsADocumentWithASieve) {
  tptRec* p = newPoint();
  EXPECT_EQ(objInsert(&p->head), -1);
  dbDocRec doc{};
  alignas(8) char sieve[64] = {};
  doc.sieve = reinterpret_cast<sieveRec*>(sieve);
  dbSetCurrentDoc(&doc);
  p->head.flags |= gobjInSieve;
  EXPECT_EQ(objInsert(&p->head), 0);
  EXPECT_EQ(objInsert(nullptr), -4100);
  p->head.flags &= uint16_t(~gobjInSieve);  // in no real sieve: the fixture frees it
}

TEST_F(Gobject, DeleteDamagesAndFreesAnObjectNobodyHolds) {
  objRedrawPending(0);
  gobjRec* lone = objNew(tpoint());
  const int16_t box[6] = {1, 1, 1, 5, 5, 5};
  std::memcpy(lone->box, box, sizeof box);
  EXPECT_EQ(objMeth(tpoint(), msgDetach, lone), 0);
  EXPECT_EQ(sent(msgFree), 1);
  EXPECT_EQ(std::memcmp(objDamagedRegion(), box, sizeof box), 0);

  tptRec* held = newPoint();
  held->head.refCount = 2;
  EXPECT_EQ(objMeth(tpoint(), msgDetach, held), 0);
  EXPECT_EQ(held->head.refCount, 2);
  // 254 is not raised to 255 while deleting, which would make it permanent.
  held->head.refCount = 254;
  EXPECT_EQ(objMeth(tpoint(), msgDetach, held), 0);
  EXPECT_EQ(held->head.refCount, 254);
  EXPECT_EQ(sent(msgFree), 1);
}

TEST_F(Gobject, ReleaseLowersTheCountAndFreesAtZero) {
  gobjRec* object = objNew(tpoint());
  object->refCount = 2;
  gobjRec* slot = object;
  objRelease(&slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(object->refCount, 1);
  slot = object;
  objRelease(&slot);
  EXPECT_EQ(sent(msgFree), 1);

  tptRec* permanent = newPoint();
  permanent->head.refCount = gobjPermanent;
  slot = &permanent->head;
  objRelease(&slot);
  objRetain(&permanent->head);
  EXPECT_EQ(permanent->head.refCount, gobjPermanent);

  tptRec* unheld = newPoint();
  slot = &unheld->head;
  objRelease(&slot);
  EXPECT_EQ(unheld->head.refCount, 0);
  EXPECT_EQ(sent(msgFree), 1);
  objRelease(nullptr);
  objRelease(&slot);
}

TEST_F(Gobject, ACurveStillInASieveIsNotFreed) {
  const uint16_t curve = objClassByName("curve") ? objClassByName("curve")
                                                 : objClassRegister("curve", gobjClassId(), nullptr);
  gobjRec* object = gobjAllocRecord(sizeof(gobjRec));
  object->classId = curve;
  object->flags = gobjInSieve;
  objFree(object);
  EXPECT_NE(boxes().find("Tried to free object still in the sieve!"), std::string::npos) << boxes();
  EXPECT_EQ(object->classId, curve);
  object->flags = 0;
  objFree(object);  // now freed (the sanitizer reports a leak otherwise)
  objFree(nullptr);
}

TEST_F(Gobject, TypeNameIsTheClassName) {
  tptRec* p = newPoint();
  const char* text = nullptr;
  EXPECT_EQ(objTypeName(&p->head, &text), 0);
  EXPECT_STREQ(text, "tpoint");
}

}  // namespace
