// The clump extension: extended clumps made from arrays, members added,
// removed, renamed, given attributes, copied and found, every operator
// answering through its boolean alone.
#include "clump_fixture.h"

#include "objects/clump_internal.h"
#include "objects/ddict.h"
#include "objects/docstate.h"
#include "objects/sieve.h"

#include <string>

namespace {

using namespace clumpfx;

class ClumpExt : public ClumpTest {
protected:
  void SetUp() override {
    ClumpTest::SetUp();
    feStackClear(*feOperandStack());
  }
  void TearDown() override {
    feStackClear(*feOperandStack());
    ClumpTest::TearDown();
  }

  // Runs a script and answers the operand stack as "==" prints it; the
  // stack is cleared afterwards.
  static std::string run(const std::string& script) {
    EXPECT_EQ(0, feExecString(script.c_str())) << script;
    std::string text = execfx::operands();
    feStackClear(*feOperandStack());
    return text;
  }

  // Defines s1, s2 ... as sticks numbered by x, and "k" as an extended
  // clump made of the first n of them; answers the clump.
  clumpRec* extended(int n) {
    std::string list = "[";
    for (int i = 1; i <= n; ++i) {
      const std::string name = "s" + std::to_string(i);
      define(name.c_str(), stick(i, 0, i + 0.5, 0, 1));
      list += " " + name;
    }
    EXPECT_EQ(0, feExecString((list + " ] pkiExClumpCreate pop /k exch def pop").c_str()));
    feObject k;
    feStackClear(*feOperandStack());
    EXPECT_EQ(0, feExecString("k"));
    k = pop();
    auto* c = static_cast<clumpRec*>(k.w0.obj);
    feFree(&k);
    return c;
  }

  // The text attribute of a member, or "-" when it has none.
  static std::string text(const gobjRec* m, const char* key) {
    const char* value = nullptr;
    uint32_t length = 0;
    int found = 0;
    ddLookup(&m->attrs, key, uint32_t(std::strlen(key)), &value, &length, &found);
    return found ? std::string(value, length) : "-";
  }
};

TEST_F(ClumpExt, CreateNumbersCopiesAndPushesNamesClumpAndTrue) {
  const int freed = sticks().freed;
  const int32_t keyed = clumpint::keyedClumps;  // clumps other tests' documents still hold
  clumpRec* k = extended(3);
  ASSERT_TRUE(clumpIsClump(k));
  EXPECT_EQ(254, k->head.color) << "an extended clump keeps its members' colours";
  EXPECT_EQ("ExClump", text(&k->head, "ExClumpKey"));
  EXPECT_EQ("1 2 3", shape(k));
  int i = 0;
  for (gobjRec* m : members(k)) {
    EXPECT_EQ(std::to_string(i), text(m, "ExClumpID"));
    EXPECT_EQ(std::to_string(i), text(m, "ExClumpMemName"));
    ++i;
  }
  EXPECT_EQ(freed + 3, sticks().freed) << "the first copies are released once the clump holds its own";
  EXPECT_EQ(keyed + 1, clumpint::keyedClumps);

  EXPECT_EQ("[(0) (1) ] -clump- true", run("[ s1 s2 ] aExClumpCreate"));
}

TEST_F(ClumpExt, CreateRefusesWithFalseAlone) {
  extended(1);
  std::string many = "[";
  for (int i = 0; i < 65; ++i) many += " s1";
  const struct {
    std::string script;
  } cases[] = {
      {many + " ] pkiExClumpCreate"},  // 65 objects
      {"[ ] pkiExClumpCreate"},        // nothing to clump
      {"5 pkiExClumpCreate"},          // not an array
      {"[ s1 7 ] pkiExClumpCreate"},   // not an object
      {"[ s1 k ] pkiExClumpCreate"},   // an extended clump inside
  };
  for (const auto& c : cases) EXPECT_EQ("false", run(c.script)) << c.script;
  // 64 objects are taken, numbered in array order.
  std::string full = "[", names = "[";
  for (int i = 0; i < 64; ++i) {
    full += " s1";
    names += "(" + std::to_string(i) + ") ";
  }
  EXPECT_EQ(names + "] -clump- true", run(full + " ] pkiExClumpCreate"));
}

TEST_F(ClumpExt, AddedMembersTakeTheNextNumberAndAFreeName) {
  clumpRec* k = extended(3);
  define("extra", stick(9, 0, 10, 0));
  EXPECT_EQ("[(0) (1) (2) (door) ] -clump- true", run("k extra (door) aExClumpAddMember"));
  EXPECT_EQ("3", text(members(k)[3], "ExClumpID"));
  EXPECT_EQ("[(0) (1) (2) (door) (4) ] -clump- true", run("k extra () pkiExClumpAddMember"));
  EXPECT_EQ("4", text(members(k)[4], "ExClumpID"));
  EXPECT_EQ("false", run("k extra (door) pkiExClumpAddMember")) << "a name in use";
  EXPECT_EQ("9 10", std::to_string(int(asStick(members(k)[3])->p[0][0])) + " " +
                        std::to_string(int(asStick(members(k)[3])->p[1][0])));
  EXPECT_NE(members(k)[3], held.back()) << "the member is a copy";

  // At 64 members the clump is full.
  for (int i = clumpCount(k); i < 64; ++i) run("k extra () pkiExClumpAddMember");
  EXPECT_EQ(64, clumpCount(k));
  EXPECT_EQ("false", run("k extra (more) pkiExClumpAddMember"));
}

TEST_F(ClumpExt, NamesAreDataWhateverTheyHold) {
  clumpRec* k = extended(2);
  EXPECT_EQ("true", run("k (1) (x\\) quit \\() aExClumpChangeMemName"));
  EXPECT_EQ("x) quit (", text(members(k)[1], "ExClumpMemName"));
  ASSERT_EQ(0, feExecString("k aExClumpGetAllMemName"));
  EXPECT_EQ("true", execfx::operands().substr(execfx::operands().size() - 4));
  feObject flag = pop(), names = pop();
  ASSERT_EQ(feTArray, feType(&names));
  ASSERT_EQ(2, feArrayLength(&names));
  uint8_t* bytes = nullptr;
  uint16_t length = 0;
  feStringData(feArrayElem(&names, 1), &bytes, &length);
  EXPECT_EQ("x) quit (", std::string(reinterpret_cast<char*>(bytes), length));
  feFree(&names);
  feFree(&flag);

  const struct {
    const char* script;
    const char* answer;
  } cases[] = {
      {"k (0) (x\\) quit \\() aExClumpChangeMemName", "false"},  // the new name is in use
      {"k () (new) aExClumpChangeMemName", "false"},
      {"k (0) () aExClumpChangeMemName", "false"},
      {"k (nobody) (new) aExClumpChangeMemName", "false"},
      {"k (0) (zero) aExClumpChangeMemName", "true"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.answer, run(c.script)) << c.script;
  EXPECT_EQ("zero", text(members(k)[0], "ExClumpMemName"));
}

TEST_F(ClumpExt, AttributesDuplicatesAndRefusals) {
  clumpRec* k = extended(2);
  const struct {
    const char* script;
    const char* answer;
  } cases[] = {
      {"k (1) aExClumpGetAttribute", "false"},  // none set yet
      {"k (1) (hinge left) aExClumpSetAttribute", "true"},
      {"k (1) aExClumpGetAttribute", "(hinge left) true"},
      {"k (1) () aExClumpSetAttribute", "false"},
      {"k () (x) aExClumpSetAttribute", "false"},
      {"k (9) (x) aExClumpSetAttribute", "false"},
      {"k (9) aExClumpGetDuplicate", "false"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.answer, run(c.script)) << c.script;

  ASSERT_EQ(0, feExecString("k (1) pkiExClumpGetDuplicate"));
  feObject flag = pop(), dup = pop();
  auto* copy = static_cast<gobjRec*>(dup.w0.obj);
  ASSERT_NE(nullptr, copy);
  EXPECT_NE(members(k)[1], copy);
  EXPECT_EQ(2.0, asStick(copy)->p[0][0]);
  EXPECT_EQ(1, copy->refCount) << "held by the value alone";
  feFree(&dup);
  feFree(&flag);

  // A clump that is not extended is refused by every operator.
  define("plain", clump({stick(1, 0, 2, 0)}));
  for (const char* script : {"plain aExClumpGetAllMemName", "plain (0) aExClumpDelMember",
                             "plain s1 (a) aExClumpAddMember", "plain (0) aExClumpGetDuplicate"})
    EXPECT_EQ("false", run(script)) << script;
}

TEST_F(ClumpExt, FindersAnswerEachMatchingClumpOnceInGroupOrder) {
  clumpRec* a = extended(2);
  ASSERT_EQ(0, feExecString("/a k def"));
  clumpRec* b = extended(2);
  ASSERT_EQ(0, feExecString("/b k def  b (1) (door) aExClumpChangeMemName pop  b (door) (oak) aExClumpSetAttribute pop"));
  ASSERT_EQ(0, feExecString("a (0) (oak) aExClumpSetAttribute pop  a (1) (oak) aExClumpSetAttribute pop"));
  clumpRec* plain = clump({stick(1, 0, 2, 0)});
  define("g", group({&a->head, &plain->head, &b->head}));

  // "a b true" for a group of a and b, or "false".
  auto found = [&](const char* script) -> std::string {
    EXPECT_EQ(0, feExecString(script)) << script;
    feObject flag = pop();
    std::string text;
    if (feGetBool(&flag)) {
      feObject g = pop();
      for (gobjRec* m = grpFirst(groupOf(g)); m;) {
        text += m == &a->head ? "a " : m == &b->head ? "b " : "? ";
        // The next member in visiting order.
        struct Next {
          gobjRec* after;
          gobjRec* next;
          bool seen;
        } n{m, nullptr, false};
        grpForEach(groupOf(g), [](gobjRec* o, void* context) {
          auto* x = static_cast<Next*>(context);
          if (x->seen) {
            x->next = o;
            return 1;
          }
          x->seen = o == x->after;
          return 0;
        }, &n);
        m = n.next;
      }
      feFree(&g);
    }
    text += gobjfx::print(flag);
    feFree(&flag);
    feStackClear(*feOperandStack());
    return text;
  };
  EXPECT_EQ("a b true", found("g (0) aExClumpFindByMemName"));
  EXPECT_EQ("b true", found("g (door) pkiExClumpFindByMemName"));
  EXPECT_EQ("false", found("g (window) aExClumpFindByMemName"));
  EXPECT_EQ("a b true", found("g (oak) aExClumpFindByAttribute")) << "a is found once for its two oak members";
  EXPECT_EQ("false", found("g (pine) pkiExClumpFindByAttribute"));
  EXPECT_EQ("false", found("null (0) aExClumpFindByMemName"));
}

// Removing members; the last one takes the clump out of its document, and
// the clump lives on as long as something holds it.
TEST_F(ClumpExt, TheLastMemberTakesTheClumpOutOfItsDocument) {
  dbDocRec doc{};
  doc.docId = 1;
  sieveInit();
  doc.sieve = sieveNew(8, nullptr, &doc, 1);
  dbSetCurrentDoc(&doc);

  clumpRec* k = extended(2);
  ASSERT_EQ(0, objInsert(&k->head));
  ASSERT_TRUE(k->head.flags & gobjInSieve);
  EXPECT_EQ("-clump- true", run("k (0) aExClumpDelMember"));
  EXPECT_EQ("2", shape(k));
  EXPECT_EQ("false", run("k (0) aExClumpDelMember"));

  EXPECT_EQ("-null- true", run("k (1) pkiExClumpDelMember"));
  EXPECT_FALSE(k->head.flags & gobjInSieve) << "out of the document";
  EXPECT_EQ(clumpClassId(), k->head.classId) << "still held by k";
  EXPECT_EQ(0, clumpCount(k));
  EXPECT_EQ("[] true", run("k aExClumpGetAllMemName"));

  const int32_t live = clumpint::liveClumps;
  ASSERT_EQ(0, feExecString("/k null def"));
  EXPECT_EQ(live - 1, clumpint::liveClumps) << "freed with its last holder";

  sieveFree(doc.sieve, 1);
  dbSetCurrentDoc(nullptr);
}

}  // namespace
