// Attributes by name from native code (attrGet, attrSet, objCreateKeyed) and
// the dictionary keys of graphic objects ("@" and capitalised keys), with
// their flags, copies and records.
#include "gobject_fixture.h"

#include "core/alloc.h"
#include "objects/attr.h"
#include "objects/ddict.h"
#include "objects/defobj.h"
#include "objects/objops.h"

#include <string>

namespace {

using namespace gobjfx;

// "tvals": a drawing class whose key "any" answers the value last set to it
// (a null at first) and whose key "fails" answers -77.
struct tvalRec {
  gobjRec head;
  feObject any;
};
uint16_t tvalClass;

int tvalHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* rec = static_cast<tvalRec*>(object);
  const auto* key = reinterpret_cast<const feObject*>(a);
  switch (message) {
    case msgNew: {
      const int answer = gobjNewAs(tvalClass, sizeof(tvalRec), a);
      if (answer == 0) feMakeNull(&reinterpret_cast<tvalRec*>(*reinterpret_cast<gobjRec**>(a))->any);
      return answer;
    }
    case msgFree: feFree(&rec->any); break;
    case msgGetAttr:
      if (isKey(key, "fails")) return -77;
      if (!isKey(key, "any")) break;
      feCopyValue(reinterpret_cast<feObject*>(b), &rec->any);
      return 0;
    case msgSetAttr:
      if (!isKey(key, "any")) break;
      feFree(&rec->any);
      feCopyValue(&rec->any, reinterpret_cast<const feObject*>(b));
      return 0;
    default: break;
  }
  return objMeth(objSuperClass(tvalClass), message, object, a, b, c);
}

class Attr : public GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    if (!tvalClass) tvalClass = objClassRegister("tvals", gobjClassId(), tvalHandler);
    if (!execfx::defined("aCreate")) objOpsInit();
    if (!execfx::defined("aSetObjAttrAttr")) gobjOpsInit();
  }
  tvalRec* newVals() { return reinterpret_cast<tvalRec*>(keep(objNew(tvalClass))); }
  // Sets "any" from a script text's value.
  void holds(tvalRec* object, const char* text) {
    ASSERT_EQ(feExecString(text), feOk) << text;
    feObject v;
    fePop(*feOperandStack(), &v);
    feFree(&object->any);
    object->any = v;
  }
  static feObject string(const char* text) {
    feObject v;
    feMakeString(&v, text, std::strlen(text));
    return v;
  }
  static feObject null() {
    feObject v;
    feMakeNull(&v);
    return v;
  }
};

TEST_F(Attr, GetConvertsByTypeCode) {
  tvalRec* o = newVals();
  char* text = nullptr;
  uint32_t length = 0;
  holds(o, "/aName");
  EXPECT_EQ(attrGet(&o->head, "any", attrTypeText, &text, &length), 0);
  EXPECT_STREQ(text, "aName");
  EXPECT_EQ(length, 5u);
  uFree(&text);
  holds(o, "(a string)");
  EXPECT_EQ(attrGet(&o->head, "any", attrTypeText, &text, &length), 0);
  EXPECT_STREQ(text, "a string");
  uFree(&text);

  int32_t i = 0;
  double d[9] = {};
  holds(o, "7");
  EXPECT_EQ(attrGet(&o->head, "any", attrTypeInt, &i, nullptr), 0);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(attrGet(&o->head, "any", attrTypeReal, d, nullptr), 0);
  EXPECT_EQ(d[0], 7.0);
  holds(o, "2.5");
  EXPECT_EQ(attrGet(&o->head, "any", attrTypeRealE, d, nullptr), 0);
  EXPECT_EQ(d[0], 2.5);
  holds(o, "[1 2.5 3]");
  EXPECT_EQ(attrGet(&o->head, "any", attrType3D, d, nullptr), 0);
  EXPECT_EQ(d[1], 2.5);
  holds(o, "[1 2 3 4 5 6 7 8 9]");
  EXPECT_EQ(attrGet(&o->head, "any", attrType9D, d, nullptr), 0);
  EXPECT_EQ(d[8], 9.0);
}

TEST_F(Attr, GetRefusesTheWrongKindOfValue) {
  tvalRec* o = newVals();
  const struct {
    const char* value;
    uint32_t type;
    int answer;
  } cases[] = {
      {"2.5", attrTypeInt, feErrTypeCheck},       {"(7)", attrTypeInt, feErrTypeCheck},
      {"(7)", attrTypeReal, feErrTypeCheck},      {"5", attrTypeText, feErrTypeCheck},
      {"[1 2 3 4]", attrType3D, feErrTypeCheck},  {"[1 2]", attrType3D, feErrTypeCheck},
      {"[1 (2) 3]", attrType3D, feErrTypeCheck},  {"[1 2 3]", attrType9D, feErrTypeCheck},
      {"5", 'Z', feErrUnknownKey},
  };
  for (const auto& c : cases) {
    holds(o, c.value);
    double out[9];
    EXPECT_EQ(attrGet(&o->head, "any", c.type, out, nullptr), c.answer) << c.value << " " << c.type;
  }
  double out[3];
  EXPECT_EQ(attrGet(&o->head, "fails", attrTypeReal, out, nullptr), -77);
  EXPECT_EQ(attrGet(&o->head, "nosuchkey", attrTypeReal, out, nullptr), feErrUnknownKey);
}

TEST_F(Attr, SetMakesTheValueByTypeCode) {
  tvalRec* o = newVals();
  const double xyz[3] = {1, 2.5, 3};
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeReal, 1.5), 0);
  EXPECT_EQ(print(o->any), "1.5");
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeText, "abcdef", 3), 0);
  EXPECT_EQ(print(o->any), "(abc)");
  EXPECT_EQ(attrSet(&o->head, "any", attrType3D, xyz), 0);
  EXPECT_EQ(print(o->any), "[1. 2.5 3. ]");
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeInt, 7), 0);
  EXPECT_EQ(print(o->any), "7");
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeHInt, -2), 0);
  EXPECT_EQ(print(o->any), "-2");
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeBool, 1), 0);
  EXPECT_EQ(print(o->any), "true");
  EXPECT_EQ(attrSet(&o->head, "any", attrTypeCText, "xyz"), 0);
  EXPECT_EQ(print(o->any), "(xyz)");
  const int before = sent(msgSetAttr);
  EXPECT_EQ(attrSet(&o->head, "any", attrType9D, xyz), -1);
  EXPECT_EQ(sent(msgSetAttr), before);
  EXPECT_EQ(attrSet(&o->head, "layerno", attrTypeInt, 300), feErrRangeCheck);
}

TEST_F(Attr, CreateKeyedGoesThroughTheNamedClass) {
  gobjRec* made = nullptr;
  const double xyz[3] = {1, 2, 3};
  EXPECT_EQ(objCreateKeyed(&made, "type", attrTypeCText, "tpoint", "pt1", attrType3D, xyz, nullptr), 0);
  EXPECT_EQ(state().created, 1);
  ASSERT_NE(made, nullptr);
  keep(made);
  gobjRec* none = nullptr;
  EXPECT_EQ(objCreateKeyed(&none, "type", attrTypeCText, "nosuchcl", nullptr), -2);
  EXPECT_EQ(objCreateKeyed(&none, "type", 'Z', 1, nullptr), -1);
  EXPECT_EQ(none, nullptr);
}

TEST_F(Attr, DictionaryKeysStoreStrings) {
  tptRec* p = newPoint();
  std::string text;
  EXPECT_EQ(set(&p->head, "@note", string("abc")), 0);
  EXPECT_EQ(get(&p->head, "@note", &text), 0);
  EXPECT_EQ(text, "(abc)");
  // Capitalised keys answer names; a name may be stored again.
  EXPECT_EQ(set(&p->head, "Part", string("bolt")), 0);
  EXPECT_EQ(get(&p->head, "Part", &text), 0);
  EXPECT_EQ(text, "/bolt");
  EXPECT_EQ(set(&p->head, "Part", name("nut")), 0);
  EXPECT_EQ(get(&p->head, "Part", &text), 0);
  EXPECT_EQ(text, "/nut");
  EXPECT_EQ(set(&p->head, "@note", name("abc")), feErrUnknownKey);
  EXPECT_EQ(set(&p->head, "@note", execfx::integer(5)), feErrUnknownKey);
  EXPECT_EQ(set(&p->head, std::string(32, 'K').c_str(), string("x")), feErrLengthCheck);
  // "@" alone is no dictionary key; an absent entry is an unknown key.
  EXPECT_EQ(set(&p->head, "@", string("x")), feErrUnknownKey);
  EXPECT_EQ(get(&p->head, "@other", nullptr), feErrUnknownKey);
  // A null removes the entry; removing an absent one is no error.
  EXPECT_EQ(set(&p->head, "@note", null()), 0);
  EXPECT_EQ(get(&p->head, "@note", nullptr), feErrUnknownKey);
  EXPECT_EQ(set(&p->head, "@note", null()), 0);
  EXPECT_EQ(ddCount(p->head.attrs), 1u);
}

TEST_F(Attr, AReadOnlyEntryRefusesChangesThroughTheObject) {
  // Held by script references only (an error report keeps the operands),
  // so freed when the last goes.
  auto* p = reinterpret_cast<tptRec*>(objNew(tpoint()));
  set(&p->head, "Note", string("abc"));
  feObject ref;
  feMakeObjRef(&ref, &p->head);
  execfx::defineUser("p", ref);
  EXPECT_EQ(feExecString("p (Note) 0 true aSetObjAttrAttr p (Note) 0 aGetObjAttrAttr p (Note) 1 aGetObjAttrAttr"),
            feOk);
  EXPECT_EQ(execfx::operands(), "true false");
  feStackClear(*feOperandStack());
  EXPECT_EQ(set(&p->head, "Note", string("new")), ddErrReadOnly);
  EXPECT_EQ(set(&p->head, "Note", null()), ddErrReadOnly);
  std::string text;
  get(&p->head, "Note", &text);
  EXPECT_EQ(text, "/abc");
  const struct {
    const char* script;
    int answer;
  } refused[] = {{"p (Note) 8 true aSetObjAttrAttr", feErrRangeCheck},
                 {"p (Note) -1 aGetObjAttrAttr", feErrRangeCheck},
                 {"p (None) 0 true aSetObjAttrAttr", ddErrAbsent},
                 // A null stands for no object: nothing to flag or read.
                 {"null (Note) 0 true aSetObjAttrAttr", feErrTypeCheck},
                 {"null (Note) 0 aGetObjAttrAttr", feErrTypeCheck}};
  for (const auto& c : refused) {
    EXPECT_EQ(feExecString(c.script), c.answer) << c.script;
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(feExecString("p (Note) 0 false aSetObjAttrAttr"), feOk);
  EXPECT_EQ(set(&p->head, "Note", string("new")), 0);
  execfx::defineUser("p", null());
}

// The keys message 406 gives, as one text.
int collect(const feObject* key, void* context) {
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  *static_cast<std::string*>(context) += std::string(text, length) + " ";
  return 0;
}

TEST_F(Attr, DictionaryKeysFollowTheHeadsKeys) {
  tptRec* p = newPoint();
  set(&p->head, "@note", string("abc"));
  set(&p->head, "Part", string("bolt"));
  std::string keys;
  objMeth(p->head.classId, msgEnumKeys, p, reinterpret_cast<intptr_t>(collect), reinterpret_cast<intptr_t>(&keys));
  EXPECT_NE(keys.find("control-pts @note Part "), std::string::npos) << keys;
}

TEST_F(Attr, ACopyHasItsOwnDictionary) {
  tptRec* p = newPoint();
  set(&p->head, "@note", string("abc"));
  gobjRec* copy = nullptr;
  ASSERT_EQ(objMeth(p->head.classId, msgCopy, p, reinterpret_cast<intptr_t>(&copy)), 0);
  keep(copy);
  ASSERT_NE(copy->attrs, nullptr);
  EXPECT_NE(copy->attrs, p->head.attrs);
  set(copy, "@note", string("changed"));
  std::string text;
  get(&p->head, "@note", &text);
  EXPECT_EQ(text, "(abc)");
  get(copy, "@note", &text);
  EXPECT_EQ(text, "(changed)");
}

}  // namespace
