// Styles in drawing files: the per-file table (each style written once,
// then by index), the records of each kind and version, damaged input, and
// the document's character style "$CHSTYLE".
#include "style_fixture.h"

#include "docvar_fixture.h"
#include "objects/ioformat.h"
#include "objects/style_doc.h"

namespace {

using stylefx::uses;

class StyleIO : public stylefx::StyleTest {
protected:
  // Reads n references; the styles read are held by the test.
  std::vector<styleRec*> readBack(int n, int* failures = nullptr) {
    std::vector<styleRec*> got;
    EXPECT_EQ(load([&](ioCtx* ctx) {
                for (int i = 0; i < n; ++i) {
                  styleRec* s = nullptr;
                  if (styleRead(&s, ctx) != 0 && failures) ++*failures;
                  got.push_back(s);
                  if (s) held.push_back(s);
                }
              }),
              0);
    return got;
  }
};

TEST_F(StyleIO, TenReferencesWriteOneRecordAndNineIndexes) {
  styleRec* s = hold(charStyle(10, "Times"));
  ASSERT_EQ(save([&](ioCtx* ctx) {
              for (int i = 0; i < 10; ++i) EXPECT_EQ(styleWrite(s, ctx), 0);
            }),
            0);
  EXPECT_EQ(s->refCount, 1);  // the file's reference went at the end of the bracket
  const std::vector<uint8_t> bytes = stream();
  // Index 0 and the record, then index 1 nine times, then the end mark.
  ASSERT_GT(bytes.size(), 12u);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 11, bytes.end()),
            std::vector<uint8_t>({1, 1, 1, 1, 1, 1, 1, 1, 1, 0xFF, 0xFF}));

  const std::vector<styleRec*> got = readBack(10);
  ASSERT_NE(got[0], nullptr);
  for (styleRec* r : got) EXPECT_EQ(r, got[0]);
  EXPECT_EQ(got[0]->refCount, 10);  // one per reader
  EXPECT_TRUE(styleEqual(got[0], s));
  EXPECT_EQ(uses()[7], 2);          // the written style's and the one read
}

// The writer numbers styles by identity, so two equal records take indexes 1
// and 2. The reader gives every record its index (the second shares the
// first's style), so index 2 still names it.
TEST_F(StyleIO, EqualStylesReadBackUnderTheWritersIndexes) {
  styleRec* a = hold(charStyle(10, "Helv"));
  styleRec* b = hold(charStyle(10, "Helv"));
  styleRec* c = hold(charStyle(20, "Helv"));
  ASSERT_EQ(save([&](ioCtx* ctx) {
              for (styleRec* s : {a, b, c, b, c, a}) EXPECT_EQ(styleWrite(s, ctx), 0);
            }),
            0);
  dbgSetFlags(1);
  int failures = 0;
  const std::vector<styleRec*> got = readBack(6, &failures);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(gobjfx::boxes(), "");
  EXPECT_EQ(got[0], got[1]);
  EXPECT_EQ(got[0], got[3]);
  EXPECT_EQ(got[0], got[5]);
  EXPECT_EQ(got[2], got[4]);
  ASSERT_NE(got[2], nullptr);
  EXPECT_FLOAT_EQ(got[2]->chr.size, 20.0f);
}

TEST_F(StyleIO, AnIndexPastTheTableIsRefused) {
  ASSERT_EQ(save([&](ioCtx* ctx) {
              for (int32_t index : {5, -1}) ioFormat(ctx, "l", &index);
            }),
            0);
  dbgSetFlags(1);
  int failures = 0;
  const std::vector<styleRec*> got = readBack(2, &failures);
  EXPECT_EQ(failures, 2);
  EXPECT_EQ(got[0], nullptr);
  EXPECT_EQ(gobjfx::boxes(), "bad styleRead|bad styleRead|");
  EXPECT_NE(gobjfx::state().log.find("style read error stId = 5, tblLen = 0\n"), std::string::npos);
}

TEST_F(StyleIO, RecordsOfEveryKindRoundTrip) {
  ASSERT_EQ(run("/t [/topMargin 1 /bottomMargin 2 /leftMargin 0.1 /rightMargin 4 /xScale 0.5 /name (T)] aStyleText def "
                "/p [/align 2 /beforeLead 1 /lineLead 1.25 /firstLineIndent 3 /leftIndent 4 /rightIndent 5] "
                "aStylePara def "
                "/c [/size 9 /slant 0.125 /flag 5 /color 6 /width 300 /fontName (Times) /name (°C)] aStyleChar def "
                "/h [/rotation 0.25 /scale 2 /tolerance 0.01 /offset 3 1 [/spacing 0.5 /lines 2 /lineType 8 "
                "/lockpoint 1 /linephase 0.75 /patternlen 2 /pattern [1 2 3 4 5 6] /phaseAngle 0.5]] aStyleHatch def"),
            "");
  std::vector<styleRec*> written;
  for (const char* name : {"t", "p", "c", "h"}) {
    feObject key = gobjfx::name(name), value;
    ASSERT_EQ(feLoad(&key, &value), 0);
    written.push_back(hold(static_cast<styleRec*>(value.w0.obj)));
    feFree(&value);
  }
  run("/t null def /p null def /c null def /h null def");
  // The font "Times" is unknown when reading: the name stays, the id is the
  // default's.
  ASSERT_EQ(save([&](ioCtx* ctx) {
              for (styleRec* s : written) styleWrite(s, ctx);
            }),
            0);
  stylefx::fonts().erase("Times");
  const std::vector<styleRec*> got = readBack(4);
  stylefx::fonts()["Times"] = 7;
  ASSERT_EQ(got.size(), 4u);
  for (styleRec* s : got) ASSERT_NE(s, nullptr);

  EXPECT_EQ(got[0]->nameLength, 1);
  EXPECT_STREQ(got[0]->name, "T");
  EXPECT_DOUBLE_EQ(got[0]->text.leftMargin, 0.1);
  EXPECT_DOUBLE_EQ(got[0]->text.rightMargin, 4.0);
  EXPECT_FLOAT_EQ(got[0]->text.xScale, 1.0f);  // not stored

  EXPECT_TRUE(styleEqual(got[1], written[1]));

  const styleCharPart& c = got[2]->chr;
  EXPECT_STREQ(got[2]->name, "°C");
  EXPECT_FLOAT_EQ(c.size, 9.0f);
  EXPECT_FLOAT_EQ(c.slant, 0.125f);
  EXPECT_EQ(c.flags, 5);
  EXPECT_EQ(c.color, 6);
  EXPECT_EQ(c.width, 300 & 0xFF);  // one byte in files
  EXPECT_STREQ(c.fontName, "Times");
  EXPECT_EQ(c.fontNameLength, 5);
  EXPECT_EQ(c.fontId, styleDefChar()->chr.fontId);

  EXPECT_TRUE(styleEqual(got[3], written[3]));
  ASSERT_EQ(got[3]->hatch.familyCount, 2);
  EXPECT_EQ(got[3]->hatch.families[1].lineType, 8);
  EXPECT_FLOAT_EQ(got[3]->hatch.families[1].pattern[5], 6.0f);
}

// Files of version 0 and 1 take the class's version 2: hatch families lose
// what came with version 4 and line types from 7 on; margins, which only
// the older coding could hold there, are written as 0.
TEST_F(StyleIO, OlderFilesKeepWhatTheirVersionHolds) {
  styleRec* h = hold(styleNew(styleKindHatch));
  ASSERT_EQ(styleSetInt(h, styleCodeFamilyCount, 1), 0);
  h->hatch.families[0].lineType = 8;
  h->hatch.families[0].lockPoint = 3;
  h->hatch.families[0].spacing = 0.5f;
  styleRec* c = hold(charStyle(9, "Times"));
  c->chr.width = 7;
  styleRec* t = hold(styleNew(styleKindText));
  t->text.topMargin = 2.0;
  ASSERT_EQ(save([&](ioCtx* ctx) {
              for (styleRec* s : {h, c, t}) styleWrite(s, ctx);
            },
                 1),
            0);
  const std::vector<styleRec*> got = readBack(3);
  for (styleRec* s : got) ASSERT_NE(s, nullptr);
  EXPECT_EQ(got[0]->hatch.families[0].lineType, 0);
  EXPECT_EQ(got[0]->hatch.families[0].lockPoint, 0);
  EXPECT_FLOAT_EQ(got[0]->hatch.families[0].spacing, 0.5f);
  EXPECT_EQ(got[1]->chr.width, 7);
  EXPECT_EQ(got[1]->chr.fontId, 7);
  EXPECT_DOUBLE_EQ(got[2]->text.topMargin, 0.0);
}

TEST_F(StyleIO, AFamilyCountTheRecordCannotHoldIsDamage) {
  styleRec* h = hold(styleNew(styleKindHatch));
  ASSERT_EQ(save([&](ioCtx* ctx) { styleWrite(h, ctx); }), 0);
  // Index 0, the record's type and length, kind 3, name length 0, then the
  // family count: made 63.
  std::vector<uint8_t> bytes = stream();
  ASSERT_EQ(bytes[3], 0x03);
  ASSERT_EQ(bytes[5], 0x00);
  {
    std::fstream file(path(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(64 + 5);
    file.put(char(0x3F));
  }
  int failures = 0;
  const std::vector<styleRec*> got = readBack(1, &failures);
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(got[0], nullptr);
  // The first ten read errors of a run are alerts, later ones log lines.
  const std::string reported = gobjfx::boxes() + gobjfx::state().log;
  EXPECT_NE(reported.find("rror reading object of type style"), std::string::npos);
}

TEST_F(StyleIO, ClosingAStreamWithAnOpenBracketGivesTheReferencesBack) {
  styleRec* s = hold(charStyle(10, nullptr));
  dbgSetFlags(1);
  ioRecovery recovery;
  ioCtx* ctx = nullptr;
  const std::string name = path();
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite, 4, &recovery), 0);
  styleIOBegin(ctx);
  styleIOBegin(ctx);
  styleWrite(s, ctx);
  styleIOEnd(ctx);  // the inner end keeps the table
  EXPECT_EQ(s->refCount, 2);
  EXPECT_EQ(ioClose(ctx), 0);
  EXPECT_EQ(s->refCount, 1);
  EXPECT_EQ(gobjfx::boxes(), "unbalanced styleIO calls|");
}

TEST_F(StyleIO, WritingSomethingElseIsRefused) {
  dbgSetFlags(1);
  gobjRec* other = keep(objNew(tpoint()));
  ASSERT_EQ(save([&](ioCtx* ctx) {
              EXPECT_EQ(styleWrite(reinterpret_cast<styleRec*>(other), ctx), -1);
              EXPECT_EQ(styleWrite(nullptr, ctx), -1);
            }),
            0);
  EXPECT_EQ(gobjfx::boxes(), "bad styleWrite|bad styleWrite|");
}

// "$CHSTYLE" through the document's variable section: the default
// character style travels with the file and comes back interned.
class StyleDocVar : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    styleInit();
    styleSetFontHooks(&stylefx::kFontDouble);
  }
  void TearDown() override {
    run("null aStyleChar aStyleSetDefChar");
    styleSetFontHooks(nullptr);
    DocVarTest::TearDown();
  }
};

TEST_F(StyleDocVar, TheDefaultCharacterStyleTravelsWithTheDocument) {
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_NE(doc->charStyle, nullptr);
  ASSERT_EQ(run("[/size 14 /fontName (Times)] aStyleChar aStyleSetDefChar"), 0);
  ASSERT_EQ(save(path()), 0);
  EXPECT_FLOAT_EQ(static_cast<styleRec*>(doc->charStyle)->chr.size, 14.0f);  // the copy written

  ASSERT_EQ(run("null aStyleChar aStyleSetDefChar"), 0);
  ASSERT_EQ(load(path()), 0);
  styleRec* def = styleDefChar();
  EXPECT_FLOAT_EQ(def->chr.size, 14.0f);
  EXPECT_EQ(def->chr.fontId, 7);
  bool interned = false;
  for (uint32_t i = 0; i < styleTableSize(); ++i) interned = interned || styleTableAt(i) == def;
  EXPECT_TRUE(interned);
}

}  // namespace
