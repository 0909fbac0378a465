// The send routines: what they add to the plain message send (selection
// modes, the box signature, copies with a transform, dictionaries of
// attributes, erasing only what is shown).
#include "gobject_fixture.h"

#include "fe/dict.h"

namespace {

using namespace gobjfx;

class ObjSend : public GobjTest {
protected:
  // A record of a class that answers nothing (the root's handler).
  gobjRec* bare() {
    static uint16_t id = objClassRegister("tbare", 0, nullptr);
    bareRec = gobjRec{};
    bareRec.classId = id;
    return &bareRec;
  }
  gobjRec bareRec{};
};

TEST_F(ObjSend, ClassIdZeroIsNotHandled) {
  gobjRec freed{};
  EXPECT_EQ(objMeth(0, msgCopy, &freed), -303);
  EXPECT_EQ(objGetExtents(&freed, nullptr), -303);
}

TEST_F(ObjSend, SignatureOfAClassWithoutOneHashesTheSignExtendedBox) {
  const struct {
    int16_t box[6];
    int32_t signature;
  } cases[] = {
      {{1, 0, 0, 0, 0, 0}, 1693},
      {{-1, 0, 0, 0, 0, 0}, -1693},
      {{0, 1, 1, 1, 1, 1}, 2017 + 701 + 4327 + 5639 + 1327},
      {{-32768, -32768, -32768, -32768, -32768, -32768}, -32768 * (1693 + 2017 + 701 + 4327 + 5639 + 1327)},
  };
  for (const auto& c : cases) {
    gobjRec* object = bare();
    std::memcpy(object->box, c.box, sizeof c.box);
    int32_t out = 0;
    EXPECT_EQ(objSignature(object, &out), 0);
    EXPECT_EQ(out, c.signature);
  }
}

TEST_F(ObjSend, CopyWithTransformsTheCopyAndFreesAReplacedOne) {
  double m[16] = {1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1};
  gobjRec* out = nullptr;
  EXPECT_EQ(objCopyWith(bare(), m, &out), -1);
  EXPECT_EQ(out, nullptr);

  tptRec* p = newPoint();
  p->pt1[0] = 1;
  ASSERT_EQ(objCopyWith(&p->head, m, &out), 0);
  auto* copy = reinterpret_cast<tptRec*>(keep(out));
  EXPECT_NE(copy, p);
  EXPECT_EQ(copy->pt1[0], 11.0);
  EXPECT_EQ(copy->pt1[2], 30.0);
  EXPECT_EQ(p->pt1[0], 1.0);

  // The transform makes a new object: the first copy is freed.
  state().xform = Xform::replace;
  const int freesBefore = sent(msgFree);
  ASSERT_EQ(objCopyWith(&p->head, m, &out), 0);
  keep(out);
  EXPECT_EQ(sent(msgFree), freesBefore + 1);
  EXPECT_EQ(reinterpret_cast<tptRec*>(out)->pt1[1], 20.0);

  // The transform leaves nothing: -2, and the copy is not lost.
  state().xform = Xform::drop;
  out = nullptr;
  EXPECT_EQ(objCopyWith(&p->head, m, &out), -2);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(sent(msgFree), freesBefore + 2);
}

TEST_F(ObjSend, SelectModesRespectHiddenAndUnselectableObjects) {
  const struct {
    uint16_t flags;
    int mode;
    bool selected;
  } cases[] = {
      {0, 1, true},
      {gobjHidden, 1, false},
      {gobjNoSelect, 1, false},
      {gobjSelected, 0, false},
      {0, 0, false},
      {0, 2, true},
      {gobjSelected, 2, false},
      {gobjNoSelect, 2, false},
      {gobjNoSelect, 3, true},  // other modes toggle whatever blocks
      {gobjSelected | gobjHidden, 3, false},
  };
  for (const auto& c : cases) {
    tptRec* p = newPoint();
    p->head.flags = c.flags;
    EXPECT_EQ(objSelect(&p->head, c.mode), 0);
    EXPECT_EQ((p->head.flags & gobjSelected) != 0, c.selected) << "flags " << c.flags << " mode " << c.mode;
  }
  // Nothing to do sends nothing.
  state().sent.clear();
  tptRec* p = newPoint();
  objSelect(&p->head, 0);
  EXPECT_EQ(sent(msgSelect), 0);
}

TEST_F(ObjSend, PutAttrsSetsEveryEntryAndAnswersTheFirstFailure) {
  tptRec* p = newPoint();
  ASSERT_EQ(feExecString("<< /colorno 5 /weight 2 /nosuch 1 >>"), feOk);
  feObject dict;
  fePop(*feOperandStack(), &dict);
  EXPECT_EQ(objPutAttrs(&p->head, &dict), feErrUnknownKey);
  EXPECT_EQ(p->head.color, 5);
  EXPECT_EQ(gobjPen(&p->head), 2);
  feFree(&dict);

  feObject notDict = execfx::integer(3), null;
  feMakeNull(&null);
  EXPECT_EQ(objPutAttrs(&p->head, &notDict), feErrTypeCheck);
  EXPECT_EQ(objPutAttrs(&p->head, &null), 0);
  EXPECT_EQ(objPutAttrs(nullptr, &notDict), 0);
}

TEST_F(ObjSend, EraseSkipsHiddenObjectsAndOtherModels) {
  dbDocRec doc{};
  doc.currentModel = 1;
  dbSetCurrentDoc(&doc);
  const struct {
    uint16_t flags;
    uint8_t owner;
    bool erased;
  } cases[] = {{0, 0, true}, {0, 1, true}, {0, 2, false}, {gobjHidden, 0, false}};
  for (const auto& c : cases) {
    tptRec* p = newPoint();
    p->head.flags = c.flags;
    p->head.owner = c.owner;
    state().sent.clear();
    EXPECT_EQ(objErase(&p->head), 0);
    EXPECT_EQ(sent(msgErase), c.erased ? 1 : 0) << "owner " << int(c.owner);
  }
}

TEST_F(ObjSend, TypeNameOfAClassWithoutOneStaysUnknown) {
  const char* text = nullptr;
  EXPECT_EQ(objTypeName(bare(), &text), -303);
  EXPECT_STREQ(text, "???");
}

TEST_F(ObjSend, ChangedSendsChangedAndClearsTheFlag) {
  tptRec* p = newPoint();
  ASSERT_TRUE(p->head.flags & gobjChanged);
  EXPECT_EQ(objChanged(&p->head, 1), 0);
  EXPECT_EQ(sent(msgChanged), 1);
  EXPECT_FALSE(p->head.flags & gobjChanged);
}

TEST_F(ObjSend, DefaultsOfGobjectForMessagesItDoesNotImplement) {
  tptRec* p = newPoint();
  double corners[6];
  EXPECT_EQ(objGetExtents(&p->head, corners), -1);
  EXPECT_FALSE(objIsContainer(&p->head));
  EXPECT_EQ(objMeth(tpoint(), msgArcLength, p), -4127);
  EXPECT_EQ(objEditBegin(&p->head, nullptr), 0);
  glist* parts = reinterpret_cast<glist*>(p);
  EXPECT_EQ(objParts(&p->head, &parts), -1);
  EXPECT_EQ(parts, nullptr);
  // In place goes through 321 into the object's own slot.
  double m[16] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(objXformInPlace(&p->head, m, 0), 0);
  EXPECT_EQ(objMoveSelPoints(&p->head, reinterpret_cast<intptr_t>(m), 0, 0), 0);
  EXPECT_EQ(p->pt1[0], 2.0);
}

}  // namespace
