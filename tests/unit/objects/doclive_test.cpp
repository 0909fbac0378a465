// Settings records by number: the records that the document events make are
// found by their numbers until their documents go, a number is never given
// twice, and a record whose default object a script holds outlives its
// document with that object refusing every message.
#include "docvar_fixture.h"

#include "objects/defobj.h"
#include "objects/doclive.h"
#include "objects/group.h"

namespace {

using docvarfx::DocVarTest;

class DocLive : public DocVarTest {
protected:
  static void freeDoc(dbDocRec*& slot) { evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&slot)); }
};

TEST_F(DocLive, RecordsAreFoundByNumberUntilTheirDocumentGoes) {
  dbDocRec*& a = newDoc();
  dbDocRec*& b = newDoc();
  const uint32_t na = docLiveNumber(a), nb = docLiveNumber(b);
  EXPECT_NE(na, 0u);
  EXPECT_NE(nb, 0u);
  EXPECT_NE(na, nb);
  EXPECT_EQ(docLiveFind(na), a);
  EXPECT_EQ(docLiveFind(nb), b);
  EXPECT_EQ(docLiveAdd(a), na) << "a record registered already keeps its number";

  freeDoc(a);
  EXPECT_EQ(docLiveFind(na), nullptr);
  EXPECT_EQ(docLiveFind(nb), b);
  // The next record may take the freed one's memory, never its number.
  dbDocRec*& c = newDoc();
  EXPECT_NE(docLiveNumber(c), na);
  EXPECT_EQ(docLiveFind(na), nullptr);

  dbDocRec handMade{};
  EXPECT_EQ(docLiveNumber(&handMade), 0u);
  EXPECT_EQ(docLiveNumber(nullptr), 0u);
  EXPECT_EQ(docLiveFind(0), nullptr);
}

TEST_F(DocLive, AHeldDefaultObjectOutlivesItsDocumentAndRefusesEveryMessage) {
  if (!execfx::defined("aDefaultObject")) gobjOpsInit();
  dbDocRec*& a = newDoc();
  activate(a);
  ASSERT_EQ(run("/kept aDefaultObject def"), 0);
  feObject key = gobjfx::name("kept"), value;
  ASSERT_EQ(feLoad(&key, &value), 0);
  auto* group = static_cast<glist*>(value.w0.obj);
  feFree(&value);
  gobjRec* member = grpFirst(group);
  ASSERT_EQ(member, &a->defaultObject);
  EXPECT_EQ(member->classId, gobjClassId());

  freeDoc(a);
  // The record stays, so the group reads valid memory; its member refuses
  // every message but 100, which frees nothing.
  EXPECT_EQ(grpFirst(group), member);
  EXPECT_EQ(member->classId, docLiveGoneClassId());
  feObject color = gobjfx::name("color"), out;
  feMakeNull(&out);
  for (int message : {int(msgGetAttr), int(msgSetAttr), int(msgDraw), int(msgChanged), int(msgCopy), 999})
    EXPECT_EQ(objMeth(member->classId, message, member, reinterpret_cast<intptr_t>(&color),
                      reinterpret_cast<intptr_t>(&out)),
              docErrNoDoc)
        << message;
  EXPECT_EQ(objMeth(member->classId, msgFree, member), 0);
  feObject three;
  feMakeInt(&three, 3);
  EXPECT_EQ(objMeth(grpClassId(), msgSetAttr, group, reinterpret_cast<intptr_t>(&color),
                    reinterpret_cast<intptr_t>(&three)),
            docErrNoDoc);
  // The group goes without touching the member's count.
  EXPECT_EQ(run("/kept null def"), 0);

  // A record whose default object no script was given is freed as before:
  // a new record gets a gobject default object again.
  dbDocRec*& b = newDoc();
  EXPECT_EQ(b->defaultObject.classId, gobjClassId());
  EXPECT_EQ(b->defaultHeld, 0);
}

}  // namespace
