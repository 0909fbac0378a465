// The attribute-name check list (its fixed order and synonyms) and aCreate,
// the creation of an object from a keyed list.
#include "gobject_fixture.h"

#include "fe/stack.h"
#include "objects/objops.h"
#include "ui/achk.h"

#include <vector>

namespace {

using namespace gobjfx;

class AttrNames : public GobjTest {};

TEST_F(AttrNames, ListHoldsTheKeysInTheirFixedOrder) {
  std::vector<std::string> entries;
  for (const uiAChklEntry* e = attrNames(); e && e->code; ++e) {
    const char* text;
    size_t length;
    feNameTextOf(uint16_t(e->key), &text, &length);
    entries.push_back(std::to_string(e->code) + " " + std::string(text, length) + " " +
                      (e->count ? std::to_string(e->count) : "") + e->type);
  }
  const std::vector<std::string> expected = {
      "1 layer S", "2 layerno I", "3 linefont S", "3 pattern S", "8 linefontno I", "4 color S", "7 colorno I",
      "5 linewidth I", "5 weight I", "9 lineweight R", "20 locked B", "21 control-pts B", "21 xvis B",
      "22 xxvis B", "205 id I", "6 text S", "160 textsize R", "164 arrowsize R", "164 arrowheight R",
      "165 arrowwidth R", "163 text-size R", "100 dimstyle I", "101 precision I", "102 tolupper R",
      "103 tollower R", "104 arrowtype I", "105 rottext I", "106 textpt 3W", "107 dimvect 3V", "108 arrowpt0 3W",
      "109 arrowpt1 3W", "190 dimtext S", "110 dimtype I", "111 dimoffset R", "111 text-offset R",
      "114 endpt 3W", "115 ctrpt 3W", "119 ptmask I", "130 pt0 3W", "140 pt1 3W", "144 pt2 3W",
      "154 tanang R", "180 arrowhead I", "116 radius R", "117 diameter R", "118 angle R", "112 startangle R",
      "126 length R", "162 qlength R", "161 qangle R", "155 thickness R", "150 delta 3V", "151 delta.x R",
      "152 delta.y R", "153 delta.z R", "120 startpt 3W", "121 quartdir 3V", "123 midpt 3W", "124 tanpt 3W",
      "125 normdir 3V", "119 ptsel I", "127 circle B", "129 type S", "170 origin 3W", "206 docid I"};
  EXPECT_EQ(entries, expected);
}

TEST_F(AttrNames, SynonymsDecodeToOneCode) {
  const struct {
    const char* a;
    const char* b;
    int code;
  } pairs[] = {{"weight", "linewidth", attrWeight},
               {"xvis", "control-pts", attrControlPts},
               {"pattern", "linefont", attrLineFont},
               {"ptsel", "ptmask", 119},
               {"arrowheight", "arrowsize", 164},
               {"text-offset", "dimoffset", 111}};
  for (const auto& p : pairs) {
    uiAChkData data;
    feObject a = name(p.a), b = name(p.b);
    EXPECT_EQ(uiAChkKeyCode(attrNames(), &a, &data), p.code) << p.a;
    EXPECT_EQ(uiAChkKeyCode(attrNames(), &b, &data), p.code) << p.b;
  }
}

class ACreate : public GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    if (!execfx::defined("aCreate")) objOpsInit();
  }
  // The keyed list a script text makes.
  feObject list(const char* text) {
    EXPECT_EQ(feExecString(text), feOk) << text;
    feObject v;
    fePop(*feOperandStack(), &v);
    return v;
  }
};

TEST_F(ACreate, RefusesWhatNamesNoClass) {
  const struct {
    const char* text;
    int answer;
  } cases[] = {
      {"5", feErrTypeCheck},
      {"<< /type (tpoint) >>", feErrTypeCheck},
      {"[/colorno 5]", feErrUndefined},
      {"[/type 5]", feErrTypeCheck},
      {"[/type (nosuchclass)]", -2},
  };
  for (const auto& c : cases) {
    feObject v = list(c.text);
    gobjRec* out = nullptr;
    EXPECT_EQ(objCreate(&v, &out), c.answer) << c.text;
    EXPECT_EQ(out, nullptr);
    feFree(&v);
  }
  EXPECT_EQ(state().created, 0);
}

TEST_F(ACreate, TheNamedClassMakesTheObject) {
  feObject v = list("[/colorno 5 /type (tpoint)]");
  gobjRec* out = nullptr;
  EXPECT_EQ(objCreate(&v, &out), 0);
  ASSERT_NE(keep(out), nullptr);
  EXPECT_EQ(out->classId, tpoint());
  feFree(&v);

  // The operator pushes the object.
  ASSERT_EQ(feExecString("[/type /tpoint] aCreate"), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  const feObject* made = feStackIndex(*feOperandStack(), 0);
  ASSERT_EQ(feType(made), feTObject);
  EXPECT_EQ(static_cast<gobjRec*>(made->w0.obj)->classId, tpoint());
  EXPECT_EQ(state().created, 2);
  feStackClear(*feOperandStack());  // the last reference: the object is freed
}

}  // namespace
