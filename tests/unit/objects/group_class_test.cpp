// Groups as program objects: the messages of the class "group", the group
// operators run from scripts, the format letter G, the selection sources
// with aSelect, and aStore.
#include "objects/group_fixture.h"

#include "core/alloc.h"
#include "fe/control.h"
#include "fe/exec.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objops.h"
#include "objects/objrecord.h"
#include "objects/objstore.h"
#include "objects/selsource.h"
#include "objects/sieve.h"
#include "objects/io_detached.h"

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

using grpfx::GroupTest;

feObject key(const char* text) { return gobjfx::name(text); }

TEST_F(GroupTest, GetAttributeAsksTheMembersInTurn) {
  grpBegin();
  glist* empty = keep(grpEnd());
  feObject k = key("pt1"), out;
  feMakeNull(&out);
  EXPECT_EQ(-4143, objMeth(grpClassId(), msgGetAttr, empty, reinterpret_cast<intptr_t>(&k),
                           reinterpret_cast<intptr_t>(&out)));

  glist* g = group({point(4), point(5)});
  EXPECT_EQ(0, objMeth(grpClassId(), msgGetAttr, g, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&out)));
  EXPECT_EQ("[4. 0 0 ]", gobjfx::print(out));
  feFree(&out);
  feObject unknown = key("nosuchkey");
  feMakeNull(&out);
  EXPECT_EQ(feErrUnknownKey, objMeth(grpClassId(), msgGetAttr, g, reinterpret_cast<intptr_t>(&unknown),
                                     reinterpret_cast<intptr_t>(&out)));
}

TEST_F(GroupTest, SetAttributeDropsLockedMembersFirst) {
  gobjRec* locked = point(1);
  gobjRec* free = point(2);
  locked->flags |= gobjLocked;
  glist* g = group({locked, free});
  feObject k = key("pt1"), v;
  feObject xyz[3] = {execfx::integer(7), execfx::integer(8), execfx::integer(9)};
  feMakeArray(&v, xyz, 3);
  // Only one member is left, so its answer is the group's.
  EXPECT_EQ(0, objMeth(grpClassId(), msgSetAttr, g, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v)));
  EXPECT_EQ("7", numbers(g));
  EXPECT_EQ(1.0, reinterpret_cast<gobjfx::tptRec*>(locked)->pt1[0]);
  // "locked" itself reaches locked members too.
  glist* both = group({locked, free});
  feObject lockKey = key("locked"), no;
  feMakeBool(&no, 0);
  EXPECT_EQ(0, objMeth(grpClassId(), msgSetAttr, both, reinterpret_cast<intptr_t>(&lockKey),
                       reinterpret_cast<intptr_t>(&no)));
  EXPECT_EQ("1 7", numbers(both));
  EXPECT_FALSE(locked->flags & gobjLocked);
  feFree(&v);
}

TEST_F(GroupTest, DeletingKeepsLockedMembersWithAWarning) {
  gobjRec* locked = point(1);
  locked->flags |= gobjLocked;
  glist* g = group({locked, point(2), point(3)});
  EXPECT_EQ(0, objMeth(grpClassId(), msgDetach, g));
  EXPECT_EQ(2, sent(msgDetach));
  EXPECT_EQ("2 3", numbers(g));
  EXPECT_EQ("Locked objects not deleted.|", gobjfx::boxes());

  plTestReset();
  EXPECT_EQ(0, objMeth(grpClassId(), msgDetach, group({point(4)})));
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST_F(GroupTest, LengthAndForAllFromScripts) {
  push(value(build({point(1), point(2), point(3)})));
  ASSERT_EQ(0, feExecString("dup length exch {} forall"));
  EXPECT_EQ(4, feStackCount(*feOperandStack()));
  std::string order;
  for (int i = 0; i < 3; ++i) {
    feObject v = pop();
    order += std::to_string(int(reinterpret_cast<gobjfx::tptRec*>(v.w0.obj)->pt1[0]));
    feFree(&v);
  }
  EXPECT_EQ("321", order);
  EXPECT_EQ("3", execfx::operands());
  feStackClear(*feOperandStack());

  push(value(build({point(1), point(2)})));
  ASSERT_EQ(0, feExecString("{exit} forall"));
  EXPECT_EQ(1, feStackCount(*feOperandStack()));
  feStackClear(*feOperandStack());

  push(value(build({point(1)})));
  EXPECT_EQ(feErrTypeCheck, feExecString("5 forall"));
  feStackClear(*feOperandStack());
}

TEST_F(GroupTest, SetOperatorsFromScripts) {
  std::vector<gobjRec*> p = points(5);
  struct Case {
    const char* op;
    std::vector<gobjRec*> a, b;
    const char* expected;
  } cases[] = {
      {"aSetUnion", {p[0], p[1]}, {p[2], p[3]}, "3 4 1 2"},
      {"aSetNot", {p[0], p[1], p[2]}, {p[1]}, "1 3"},
      {"aGListNot", {p[2], p[1], p[0]}, {p[1], p[4]}, "3 1"},
      {"aSetIntesect", {p[3], p[0], p[2]}, {p[2], p[3]}, "4 3"},
  };
  for (const Case& c : cases) {
    push(value(build(c.a)));
    push(value(build(c.b)));
    ASSERT_EQ(0, feExecString(c.op)) << c.op;
    feObject result = pop();
    EXPECT_EQ(c.expected, numbers(groupOf(result))) << c.op;
    EXPECT_EQ(1, groupOf(result)->refCount);
    feFree(&result);
  }
  for (gobjRec* o : p) EXPECT_FALSE(o->flags & gobjSieveMark);

  // aSetCompare pushes false for equal groups.
  push(value(build({p[0], p[1]})));
  push(value(build({p[0], p[1]})));
  push(value(build({p[0], p[1]})));
  push(value(build({p[1], p[0]})));
  ASSERT_EQ(0, feExecString("aSetCompare 3 1 roll aSetCompare"));
  EXPECT_EQ("true false", execfx::operands());
}

TEST_F(GroupTest, CountsCopiesAndSignaturesFromScripts) {
  std::vector<gobjRec*> p = points(3);
  p[1]->flags |= gobjLocked;
  glist* g = group(p);
  grpRetain(g);
  push(value(g));
  ASSERT_EQ(0, feExecString(
      "dup aCount exch dup (tpoint) aTypeCount exch dup (gobject) aTypeCountR exch dup (group) aTypeCount exch "
      "pop"));
  EXPECT_EQ("3 3 3 0", execfx::operands());
  feStackClear(*feOperandStack());

  int32_t sum = 0;
  for (gobjRec* o : p) {
    int32_t s = 0;
    objSignature(o, &s);
    sum = int32_t(uint32_t(sum) + uint32_t(s));
  }
  push(value(g));
  ASSERT_EQ(0, feExecString("aSignature"));
  EXPECT_EQ(std::to_string(sum), execfx::operands());
  feStackClear(*feOperandStack());

  feObject single;
  feMakeObjRef(&single, p[0]);
  push(single);
  ASSERT_EQ(0, feExecString("aGList aSetEmpty"));
  feObject empty = pop(), one = pop();
  EXPECT_EQ("", numbers(groupOf(empty)));
  EXPECT_EQ("1", numbers(groupOf(one)));
  feFree(&empty);
  feFree(&one);

  push(value(g));
  ASSERT_EQ(0, feExecString("aGListRmLocked"));
  EXPECT_EQ("1", execfx::operands().substr(execfx::operands().size() - 1));
  EXPECT_EQ("1 3", numbers(g));
  feStackClear(*feOperandStack());
}

// "tbag": a graphic object whose record holds one group, coded with G.
struct tbagRec {
  gobjRec head;
  glist* members;
};
uint16_t tbag;
bool lieAboutCount;

int tbagHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* rec = static_cast<tbagRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(tbag, sizeof(tbagRec), a);
    case msgFree: grpRelease(&rec->members); break;
    case msgIO: {
      const int answer = objMeth(objSuperClass(tbag), message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (lieAboutCount && ctx->mode == 'w') {
        // A damaged record: a member count far beyond the bytes that follow.
        int32_t count = 1000000;
        return ioFormat(ctx, "i", &count) < 0 ? -1 : 0;
      }
      return ioFormat(ctx, "G", &rec->members) < 0 ? -1 : 0;
    }
    default: break;
  }
  return objMeth(objSuperClass(tbag), message, object, a, b, c);
}

class GroupFile : public GroupTest {
protected:
  void SetUp() override {
    GroupTest::SetUp();
    ioDetachModules();
    if (!tbag) tbag = objClassRegister("tbag", gobjClassId(), tbagHandler);
    file = (std::filesystem::temp_directory_path() / ("grp" + std::to_string(std::random_device{}()) + ".qdw"))
               .string();
  }
  void TearDown() override {
    std::filesystem::remove(file);
    GroupTest::TearDown();
  }
  tbagRec* bag(const std::vector<gobjRec*>& members) {
    auto* b = reinterpret_cast<tbagRec*>(objNew(tbag));
    b->members = build(members);
    grpRetain(b->members);
    objRetain(&b->head);
    held.push_back(&b->head);
    return b;
  }
  std::vector<tbagRec*> roundTrip(const std::vector<tbagRec*>& bags) {
    ioRecovery recovery;
    ioCtx* ctx = nullptr;
    EXPECT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagWrite, 4, &recovery));
    for (tbagRec* b : bags) objWrite(&b->head, ctx);
    EXPECT_EQ(0, ioClose(ctx));
    std::vector<tbagRec*> back;
    EXPECT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagRead, 0, &recovery));
    for (;;) {
      int status = 0;
      gobjRec* object = nullptr;
      objRead(ctx, &status, &object);
      if (status < 0) break;
      if (!object || object->classId != tbag) continue;
      objRetain(object);
      held.push_back(object);
      back.push_back(reinterpret_cast<tbagRec*>(object));
    }
    ioClose(ctx);
    return back;
  }
  std::string file;
};

TEST_F(GroupFile, GroupsComeBackWithOneReference) {
  std::vector<tbagRec*> back = roundTrip({bag({}), bag({point(1), point(2)})});
  ASSERT_EQ(2u, back.size());
  ASSERT_NE(nullptr, back[0]->members);
  EXPECT_EQ(nullptr, back[0]->members->members[0]);
  EXPECT_EQ(1, back[0]->members->refCount);
  int32_t count = 0;
  grpCount(back[1]->members, &count);
  EXPECT_EQ(2, count);
  EXPECT_EQ(1, back[1]->members->refCount);
  gobjRec* first = grpFirst(back[1]->members);
  EXPECT_EQ(tpoint(), first->classId);
  EXPECT_EQ(1, first->refCount);
}

TEST_F(GroupFile, AMemberCountBeyondTheRecordFailsOnlyThatRecord) {
  tbagRec* damaged = bag({point(1)});
  tbagRec* sound = bag({point(2), point(3)});
  ioRecovery recovery;
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagWrite, 4, &recovery));
  lieAboutCount = true;
  objWrite(&damaged->head, ctx);
  lieAboutCount = false;
  objWrite(&sound->head, ctx);
  ASSERT_EQ(0, ioClose(ctx));

  plTestClearMessageBoxes();
  ASSERT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagRead, 0, &recovery));
  std::vector<gobjRec*> read;
  for (;;) {
    int status = 0;
    gobjRec* object = nullptr;
    objRead(ctx, &status, &object);
    if (status < 0) break;
    if (object && object->classId == tbag) {
      objRetain(object);
      held.push_back(object);
      read.push_back(object);
    }
  }
  EXPECT_EQ(0, ioClose(ctx));
  ASSERT_EQ(1u, read.size()) << "the damaged bag is dropped, the sound one read";
  int32_t count = 0;
  grpCount(reinterpret_cast<tbagRec*>(read[0])->members, &count);
  EXPECT_EQ(2, count);
}

// The selection sources over a document's sieve.
class SelectionSources : public GroupTest {
protected:
  void SetUp() override {
    GroupTest::SetUp();
    sieveInit();
    selInit();
    if (!execfx::defined("aSelect")) feRegisterOp("aSelect", selSelectOp, "QI", 0, 0);
    if (!execfx::defined("aStore")) feRegisterOp("aStore", objStoreOp, "Q", 0, 0);
    doc = dbDocRec{};
    dbSetCurrentDoc(&doc);
    doc.sieve = sieveNew(8, nullptr, &doc, 1);
  }
  void TearDown() override {
    sieveFree(doc.sieve, 1);
    doc.sieve = nullptr;
    dbSetCurrentDoc(nullptr);
    GroupTest::TearDown();
  }
  std::vector<gobjRec*> inserted(int n) {
    std::vector<gobjRec*> list = points(n);
    for (gobjRec* o : list) sieveInsert(doc.sieve, o);
    return list;
  }
  static std::string sorted(glist* g) {
    std::vector<int> n;
    grpForEach(g, [](gobjRec* m, void* c) {
      static_cast<std::vector<int>*>(c)->push_back(int(reinterpret_cast<gobjfx::tptRec*>(m)->pt1[0]));
      return 0;
    }, &n);
    std::sort(n.begin(), n.end());
    std::string text;
    for (int i : n) text += (text.empty() ? "" : " ") + std::to_string(i);
    return text;
  }
  dbDocRec doc;
};

TEST_F(SelectionSources, SelectedAndPointSelectedObjects) {
  std::vector<gobjRec*> p = inserted(4);
  push(value(build({p[0], p[2]})));
  ASSERT_EQ(0, feExecString("1 aSelect"));
  p[3]->flags |= gobjPointSel;
  EXPECT_EQ("1 3", sorted(keep(grpOfSource("selected"))));
  EXPECT_EQ("1 3 4", sorted(keep(grpOfSource("ptselected"))));

  feObject single;
  feMakeObjRef(&single, p[2]);
  push(single);
  ASSERT_EQ(0, feExecString("0 aSelect aSelected"));
  feObject result = pop();
  EXPECT_EQ("1", numbers(groupOf(result)));
  feFree(&result);
}

TEST_F(SelectionSources, StoreSendsInsertToTheObjectOrEveryMember) {
  feObject single;
  feMakeObjRef(&single, point(1));
  push(single);
  feExecString("aStore");
  EXPECT_EQ(1, sent(msgAttach));
  push(value(build({point(2), point(3)})));
  feExecString("aStore");
  EXPECT_EQ(3, sent(msgAttach));
  feStackClear(*feOperandStack());
}

}  // namespace
