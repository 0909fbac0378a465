// Styles in memory: interning, the typed accessors, attributes by key and
// by index, the operators and the defaults.
#include "style_fixture.h"

#include "core/errors.h"
#include "objects/docvar.h"
#include "objects/style_doc.h"

namespace {

using stylefx::uses;

class Style : public stylefx::StyleTest {};

TEST_F(Style, InterningSharesEqualStylesAndFontNameTextDoesNotCount) {
  // "Helv" and "Helvetica" name the same font id: the two styles are equal.
  styleRec* a = charStyle(12, "Helv");
  styleRec* b = charStyle(12, "Helvetica");
  styleRef(a);
  styleRef(b);
  styleRec* first = hold(styleIntern(a));
  styleUnref(first);  // hold's reference stays, intern's goes
  styleRec* second = hold(styleIntern(b));
  styleUnref(second);
  EXPECT_EQ(first, a);
  EXPECT_EQ(second, a);  // b lost its only reference and is gone
  EXPECT_EQ(a->refCount, 2);
  EXPECT_EQ(uses()[3], 1);  // b's font reference went with it

  // Another size, or a different name, is another style.
  styleRec* c = charStyle(14, "Helv");
  styleRef(c);
  EXPECT_EQ(hold(styleIntern(c)), c);
  styleUnref(c);
  styleRec* d = charStyle(12, "Helv");
  feObject key = gobjfx::name("name"), value;
  feMakeString(&value, "body", 4);
  ASSERT_EQ(objMeth(d->classId, msgSetAttr, d, reinterpret_cast<intptr_t>(&key), reinterpret_cast<intptr_t>(&value)),
            0);
  feFree(&value);
  styleRef(d);
  EXPECT_EQ(hold(styleIntern(d)), d);
  styleUnref(d);

  // A freed style leaves its slot empty for the next one.
  bool found = false;
  for (uint32_t i = 0; i < styleTableSize(); ++i) found = found || styleTableAt(i) == a;
  EXPECT_TRUE(found);
}

TEST_F(Style, HatchesCompareFamiliesAndTextStylesEveryField) {
  styleRec* a = hold(styleNew(styleKindHatch));
  styleRec* b = hold(styleNew(styleKindHatch));
  EXPECT_EQ(styleSetInt(a, styleCodeFamilyCount, 2), 0);
  EXPECT_EQ(styleSetInt(b, styleCodeFamilyCount, 2), 0);
  EXPECT_TRUE(styleEqual(a, b));
  b->hatch.families[1].pattern[5] = 0.5f;
  EXPECT_FALSE(styleEqual(a, b));
  EXPECT_EQ(styleSetInt(b, styleCodeFamilyCount, 1), 0);
  EXPECT_FALSE(styleEqual(a, b));

  styleRec* t = hold(styleNew(styleKindText));
  styleRec* u = hold(styleNew(styleKindText));
  EXPECT_TRUE(styleEqual(t, u));
  u->text.xScale = 0.5f;
  EXPECT_FALSE(styleEqual(t, u));
  EXPECT_FALSE(styleEqual(t, a));
}

TEST_F(Style, TypedAccessorsAnswerStatusByKindAndCode) {
  styleRec* c = hold(charStyle(12, "Times"));
  styleRec* t = hold(styleNew(styleKindText));
  struct Case {
    const styleRec* s;
    int code;
    double value;
    int status;
  };
  const Case cases[] = {
      {c, styleCodeSize, 12.0, styleFound},     {c, styleCodeFontId, 7.0, styleFound},
      {c, styleCodeWidth, 0.0, styleFound},     {c, styleCodeTopMargin, -9.0, styleOtherKind},
      {c, styleCodeFamilyCount, -9.0, styleOtherKind}, {c, 776, -9.0, styleUnknownCode},
      {c, 5, -9.0, styleUnknownCode},           {c, styleCodeFontName, -9.0, styleUnknownCode},
      {t, styleCodeXScale, 1.0, styleFound},    {t, styleCodeSize, -9.0, styleOtherKind},
      {t, 262, -9.0, styleUnknownCode},
  };
  for (const Case& k : cases) {
    int status = 99;
    EXPECT_DOUBLE_EQ(styleGetReal(k.s, k.code, -9.0, &status), k.value) << k.code;
    EXPECT_EQ(status, k.status) << k.code;
  }
  int status = 99;
  EXPECT_STREQ(styleGetPtr(c, styleCodeFontName, nullptr, &status), "Times");
  EXPECT_STREQ(styleGetPtr(c, styleCodeName, nullptr, &status), "");
  EXPECT_EQ(styleGetPtr(t, styleCodeFontName, "none", &status), std::string("none"));
  EXPECT_EQ(status, styleOtherKind);
  EXPECT_EQ(styleSetReal(t, styleCodeSize, 3.0), styleOtherKind);
  EXPECT_EQ(styleSetInt(t, 300, 3), styleUnknownCode);

  // The font id moves its reference; the font-spec block reads it back.
  EXPECT_EQ(uses()[7], 1);
  EXPECT_EQ(styleSetInt(c, styleCodeFontId, 3), 0);
  EXPECT_EQ(uses()[7], 0);
  EXPECT_EQ(uses()[3], 1);
  styleFontSpecRec spec{};
  EXPECT_EQ(styleFontSpec(c, &spec), 0);
  EXPECT_EQ(spec.fontId, 3);
  EXPECT_FLOAT_EQ(spec.size, 12.0f);
  EXPECT_EQ(styleFontSpec(t, &spec), styleOtherKind);
}

TEST_F(Style, FontNamesNeedAKnownFont) {
  EXPECT_EQ(run("[/fontName (Nope)] aStyleChar"), std::to_string(styleErrUnknownFont));
  // Setting the same font again keeps the name and the one reference.
  EXPECT_EQ(run("[/fontName (Helv) /fontName /Helvetica] aStyleChar dup [/fontName] get exch pop"), "(Helv)");
  EXPECT_EQ(uses()[3], 0);  // the style went with the stack
  // Without the text module's service no font is known.
  styleSetFontHooks(nullptr);
  EXPECT_EQ(run("[/fontName (Helv)] aStyleChar"), std::to_string(styleErrUnknownFont));
}

TEST_F(Style, OperatorsSetKeysAndRefuseBadPairs) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"[/size 12 /slant 0.25 /color 3 /width 2] aStyleChar dup [/size] get exch [/color] get", "12. 3"},
      {"null aStyleText [/xScale] get", "1."},
      {"[/leftMargin 2 /name (T1)] aStyleText dup [/leftMargin] get exch [/name] get", "2. (T1)"},
      {"[/align 2 /lineLead 1.5] aStylePara dup [/align] get exch [/lineLead] get", "2 1.5"},
      // Keys of another kind are passed over; a key of no kind is too.
      {"[/size 12 /nosuch 1] aStyleText [/size] get", "-1"},
      {"5 aStyleText", "269"},
      {"[/size] aStyleChar", "280"},
      {"[(size) 12] aStyleChar", "269"},
      {"[/color 1.5] aStyleChar", "269"},
      {"[/size (big)] aStyleChar", "269"},
      {"[/tolerance 0.1 /scale 2] aStyleHatch dup [/scale] get exch [/tolerance] get", "2. 0.1"},
      {"[256 []] aStyleHatch", "267"},
      {"[-1 []] aStyleHatch", "267"},
      {"[1 5] aStyleHatch", "269"},
      // Index arrays: one key, or a family and a key (hatches only).
      {"null aStyleChar [/a /b /c] get", "280"},
      {"null aStyleChar /size get", "280"},
      {"null aStyleChar [0 /size] get", "269"},
      {"[0 []] aStyleHatch [1 /spacing] get", "267"},
  };
  for (const Case& k : cases) EXPECT_EQ(run(k.text), k.expected) << k.text;
}

TEST_F(Style, HatchFamilyPairsGrowTheRecord) {
  ASSERT_EQ(run("/h [2 [/spacing 0.5]] aStyleHatch def"), "");
  EXPECT_EQ(run("h [/lines] get"), "-1");
  feObject key = gobjfx::name("h"), value;
  ASSERT_EQ(feLoad(&key, &value), 0);
  auto* h = static_cast<styleRec*>(value.w0.obj);
  ASSERT_EQ(h->hatch.familyCount, 3);
  EXPECT_FLOAT_EQ(h->hatch.families[0].spacing, 0.0f);
  EXPECT_FLOAT_EQ(h->hatch.families[1].spacing, 0.0f);
  EXPECT_FLOAT_EQ(h->hatch.families[2].spacing, 0.5f);
  feFree(&value);

  // Family fields by index; the pattern is six numbers.
  EXPECT_EQ(run("h [1 /lineType] 4 put h [1 /pattern] [1 2 3 4 5 6] put h [1 /lineType] get h [1 /pattern] get"),
            "4 [1. 2. 3. 4. 5. 6. ]");
  EXPECT_EQ(run("h [1 /pattern] [1 2] put"), "280");
  EXPECT_EQ(run("h [1 /lines] 2.5 put"), "269");
  styleHatchLine line{};
  EXPECT_EQ(styleHatchFamily(h, 1, &line), 0);
  EXPECT_EQ(line.lineType, 4);
  EXPECT_EQ(styleHatchFamily(h, 3, &line), styleOtherKind);
  run("/h null def");
}

TEST_F(Style, CopiesAndDefaults) {
  EXPECT_EQ(run("[/size 9 /fontName (Times) /name (small)] aStyleChar aStyleCopy dup [/fontName] get exch [/name] get"),
            "(Times) (small)");
  EXPECT_EQ(uses()[7], 0);  // the copy's font reference went with it

  styleRec* before = styleDefChar();
  styleRef(before);
  ASSERT_EQ(run("[/size 11 /fontName (Times)] aStyleChar aStyleSetDefChar"), "");
  styleRec* now = styleDefChar();
  EXPECT_NE(now, before);
  EXPECT_FLOAT_EQ(now->chr.size, 11.0f);
  EXPECT_EQ(now->refCount, 1);
  EXPECT_EQ(before->refCount, 1);  // the previous default lost its reference, ours is left
  EXPECT_EQ(uses()[7], 1);         // the default's copy holds the font
  // A style of another kind is no default character style.
  EXPECT_EQ(run("null aStyleText aStyleSetDefChar"), "269");
  EXPECT_EQ(run("null aStyleText aStyleSetDefText"), "");
  // Put the old default back for the tests that follow.
  EXPECT_EQ(styleSetDefault(before), 0);
  styleUnref(before);
  EXPECT_EQ(uses()[7], 0);
}

TEST_F(Style, MessagesAStyleDoesNotKnowAreNotReportedAsDone) {
  styleRec* s = hold(styleNew(styleKindChar));
  gobjRec* copy = nullptr;
  EXPECT_EQ(objMeth(s->classId, msgCopy, s, reinterpret_cast<intptr_t>(&copy)), objNotHandled);
  EXPECT_EQ(copy, nullptr);
}

TEST_F(Style, DocumentsKeepTheirCharacterStyle) {
  dbDocRec a{}, b{};
  styleDocEvent(docEvtCreated, &a);
  ASSERT_NE(a.charStyle, nullptr);
  EXPECT_NE(a.charStyle, styleDefChar());  // a copy
  dbSetCurrentDoc(&a);
  styleDocEvent(docEvtCurrent, &a);
  // Scripts change the default while a is current; releasing a keeps it.
  ASSERT_EQ(run("[/size 20] aStyleChar aStyleSetDefChar"), "");
  styleDocEvent(docEvtSwitchOut, &a);
  dbSetCurrentDoc(nullptr);
  EXPECT_FLOAT_EQ(static_cast<styleRec*>(a.charStyle)->chr.size, 20.0f);
  // b starts from the default; making a current again brings back size 20.
  ASSERT_EQ(run("null aStyleChar aStyleSetDefChar"), "");
  styleDocEvent(docEvtCreated, &b);
  EXPECT_FLOAT_EQ(static_cast<styleRec*>(b.charStyle)->chr.size, 0.0f);
  styleDocEvent(docEvtCurrent, &a);
  EXPECT_FLOAT_EQ(styleDefChar()->chr.size, 20.0f);
  styleDocEvent(docEvtFreed, &a);
  styleDocEvent(docEvtFreed, &b);
  EXPECT_EQ(a.charStyle, nullptr);
  EXPECT_EQ(b.charStyle, nullptr);
  ASSERT_EQ(run("null aStyleChar aStyleSetDefChar"), "");
}

}  // namespace
