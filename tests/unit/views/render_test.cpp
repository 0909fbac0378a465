// Render settings and default lights: the global defaults without a
// document, new documents starting from them (or from the current one),
// single-byte values, the "HC" operators reaching the global table while a
// document keeps its own, the light index check, safe truncation of stored
// numbers, and the settings through a save and an open.
#include "docfile_fixture.h"

#include "fe/exec_fixture.h"
#include "fe/stack.h"
#include "views/render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

class Render : public docfilefx::DocFileTest {
protected:
  void SetUp() override {
    DocFileTest::SetUp();
    if (!execfx::defined("aVcShadeModeSet")) vcRegisterOps();
    vcResetDefaults();
  }
  void TearDown() override {
    vcResetDefaults();
    DocFileTest::TearDown();
  }

  // A new open document, current (closed by the fixture).
  static docRec* current() {
    docRec* doc = emptyDoc();
    docSetCurrent(doc);
    return doc;
  }
};

TEST_F(Render, AllFortyOperatorsAreRegistered) {
  const char* fields[] = {"ShadeMode", "HiddenMode", "HiddenFont", "DefLight", "BgColor", "HiSpeed", "Width",
                          "TextureId"};
  const char* lights[] = {"Mode", "Use", "Type", "Intensity", "SrcPos", "DstPos"};
  std::vector<std::string> names;
  for (const char* f : fields)
    for (const char* op : {"Set", "Get"}) names.push_back(std::string("aVc") + f + op);
  for (const char* l : lights)
    for (const char* op : {"Set", "Get", "SetHC", "GetHC"}) names.push_back(std::string("aDefLight") + l + op);
  ASSERT_EQ(names.size(), 40u);
  for (const std::string& name : names) EXPECT_TRUE(execfx::defined(name.c_str())) << name;
}

TEST_F(Render, WithoutADocumentGetsAnswerTheDefaultsAndSetsDoNothing) {
  ASSERT_EQ(dbDocCurrent(), nullptr);
  EXPECT_EQ(eval("aVcShadeModeGet aVcHiddenModeGet aVcHiddenFontGet aVcDefLightGet aVcHiSpeedGet aVcWidthGet "
                 "aVcTextureIdGet"),
            "1 2 2 1 1 0 0");
  EXPECT_EQ(eval("aVcBgColorGet"), "76 76 76");
  EXPECT_EQ(eval("9 aVcWidthSet 1 2 3 aVcBgColorSet aVcWidthGet aVcBgColorGet"), "0 76 76 76");
  EXPECT_EQ(vcDefaultRec()[vcWidth], 0);
  EXPECT_EQ(vcDefaultRec()[vcFlags], 0);

  // The plain light operators reach the global table.
  EXPECT_EQ(eval("0 aDefLightUseGet 0 aDefLightTypeGet 0 aDefLightIntensityGet"), "1 0 0.4");
  EXPECT_EQ(eval("1 aDefLightUseGet 1 aDefLightTypeGet 1 aDefLightIntensityGet 1 aDefLightSrcPosGet"),
            "1 2 0.9 [0.25 -1. 0.5 ]");
  EXPECT_EQ(eval("2 aDefLightTypeGet 2 aDefLightIntensityGet 2 aDefLightSrcPosGet 2 aDefLightDstPosGet"),
            "2 0.6 [-0.25 1. -0.5 ] [0 0 0 ]");
  EXPECT_EQ(eval("3 aDefLightUseGet 4 aDefLightIntensityGet aDefLightModeGet"), "0 0 0");
  // Both intensity gets answer reals, the integers integers.
  EXPECT_EQ(eval("4 aDefLightIntensityGet type 4 aDefLightIntensityGetHC type 4 aDefLightUseGet type"),
            "realtype realtype integertype");
  EXPECT_EQ(eval("3 aDefLightModeSet 4 0.75 aDefLightIntensitySet aDefLightModeGetHC 4 aDefLightIntensityGetHC"),
            "3 0.75");
}

TEST_F(Render, NewDocumentStartsFromTheDefaultsAndKeepsBytes) {
  current();
  EXPECT_EQ(eval("aVcBgColorGet"), "76 76 76");
  EXPECT_EQ(eval("aVcShadeModeGet aVcHiddenModeGet aVcHiSpeedGet 1 aDefLightIntensityGet"), "1 2 1 0.9");

  EXPECT_EQ(eval("1 2 3 aVcBgColorSet aVcBgColorGet"), "1 2 3");
  // A colour of 0 0 0 is a colour: the flag, not the values, says one is set.
  EXPECT_EQ(eval("0 0 0 aVcBgColorSet aVcBgColorGet"), "0 0 0");

  const struct {
    const char* field;
    int value;
    int stored;
  } cases[] = {{"ShadeMode", 3, 3}, {"HiddenMode", 0, 0},  {"HiddenFont", 255, 255}, {"DefLight", 0, 0},
               {"HiSpeed", 0, 0},   {"Width", 300, 44},    {"TextureId", -1, 255}};
  for (const auto& c : cases) {
    const std::string text = std::to_string(c.value) + " aVc" + c.field + "Set aVc" + c.field + "Get";
    EXPECT_EQ(eval(text.c_str()), std::to_string(c.stored)) << c.field;
  }
  // The document's settings are its own.
  EXPECT_EQ(vcDefaultRec()[vcWidth], 0);
  EXPECT_EQ(vcDefaultRec()[vcShadeMode], 1);
}

TEST_F(Render, ANewDocumentCopiesTheCurrentOnesSettings) {
  current();
  ASSERT_EQ(eval("7 aVcWidthSet 5 6 7 aVcBgColorSet 1 0.125 aDefLightIntensitySet"), "");
  current();
  EXPECT_EQ(eval("aVcWidthGet aVcBgColorGet 1 aDefLightIntensityGet"), "7 5 6 7 0.125");
}

TEST_F(Render, HcOperatorsReachTheGlobalTableWhileADocumentKeepsItsOwn) {
  current();
  EXPECT_EQ(eval("1 0.5 aDefLightIntensitySetHC 1 aDefLightIntensityGetHC 1 aDefLightIntensityGet"), "0.5 0.9");
  EXPECT_EQ(eval("2 0.25 aDefLightIntensitySet 2 aDefLightIntensityGet 2 aDefLightIntensityGetHC"), "0.25 0.6");
  EXPECT_EQ(eval("4 aDefLightModeSet aDefLightModeGet aDefLightModeGetHC"), "4 0");
  EXPECT_EQ(eval("6 aDefLightModeSetHC aDefLightModeGet aDefLightModeGetHC"), "4 6");
  EXPECT_EQ(eval("3 1 aDefLightUseSet 3 2 aDefLightTypeSetHC 3 aDefLightUseGet 3 aDefLightUseGetHC "
                 "3 aDefLightTypeGet 3 aDefLightTypeGetHC"),
            "1 0 0 2");
  EXPECT_EQ(eval("4 [1 2 3] aDefLightSrcPosSet 4 [4 5.5 6] aDefLightDstPosSetHC "
                 "4 aDefLightSrcPosGet 4 aDefLightSrcPosGetHC 4 aDefLightDstPosGet 4 aDefLightDstPosGetHC"),
            "[1. 2. 3. ] [0 0 0 ] [0 0 0 ] [4. 5.5 6. ]");
  // A later document without a current one to copy starts from the changed
  // global table.
  docSetCurrent(nullptr);
  ASSERT_EQ(dbDocCurrent(), nullptr);
  current();
  EXPECT_EQ(eval("1 aDefLightIntensityGet aDefLightModeGet 4 aDefLightDstPosGet"), "0.5 6 [4. 5.5 6. ]");
}

TEST_F(Render, LightIndexOutsideTheTableIsARangecheck) {
  current();
  dbDocRec* doc = dbDocCurrent();
  ASSERT_NE(doc, nullptr);
  std::vector<uint8_t> before(doc->defaultLights, doc->defaultLights + docLightSize);
  std::vector<double> global(vcDefLightTable(), vcDefLightTable() + vcLightDoubles);
  const char* operations[] = {
      "1 aDefLightUseSet",          "aDefLightUseGet",          "1 aDefLightUseSetHC",       "aDefLightUseGetHC",
      "2 aDefLightTypeSet",         "aDefLightTypeGet",         "2 aDefLightTypeSetHC",      "aDefLightTypeGetHC",
      "0.5 aDefLightIntensitySet",  "aDefLightIntensityGet",    "0.5 aDefLightIntensitySetHC",
      "aDefLightIntensityGetHC",    "[1 2 3] aDefLightSrcPosSet", "aDefLightSrcPosGet",
      "[1 2 3] aDefLightSrcPosSetHC", "aDefLightSrcPosGetHC",   "[1 2 3] aDefLightDstPosSet",
      "aDefLightDstPosGet",         "[1 2 3] aDefLightDstPosSetHC", "aDefLightDstPosGetHC",
  };
  for (const char* index : {"-1", "5", "2147483647"}) {
    for (const char* op : operations) {
      const std::string text = std::string(index) + " " + op;
      EXPECT_EQ(eval(text.c_str()), std::to_string(feErrRangeCheck)) << text;
    }
  }
  EXPECT_EQ(std::vector<uint8_t>(doc->defaultLights, doc->defaultLights + docLightSize), before);
  EXPECT_EQ(std::vector<double>(vcDefLightTable(), vcDefLightTable() + vcLightDoubles), global);

  // The failed call leaves its operands on the stack; the edge indexes work.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("5 0.5 aDefLightIntensitySet"), feErrRangeCheck);
  EXPECT_EQ(execfx::operands(), "5 0.5");
  feStackClear(*feOperandStack());
  EXPECT_EQ(eval("0 0.5 aDefLightIntensitySet 4 0.25 aDefLightIntensitySet 0 aDefLightIntensityGet "
                 "4 aDefLightIntensityGet"),
            "0.5 0.25");
}

TEST_F(Render, StoredNumbersAnswerTruncatedAndSafely) {
  current();
  uint8_t* table = dbDocCurrent()->defaultLights;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double stored;
    const char* answer;
  } cases[] = {{2.9, "2"}, {-2.9, "-2"}, {nan, "0"}, {1e300, "2147483647"}, {-1e300, "-2147483648"}};
  for (const auto& c : cases) {
    vcLightPut(table, vcLightType + 3, c.stored);
    vcLightPut(table, vcLightMode, c.stored);
    EXPECT_EQ(eval("3 aDefLightTypeGet aDefLightModeGet"), std::string(c.answer) + " " + c.answer) << c.stored;
  }
}

TEST_F(Render, SettingsAndLightsTravelWithTheDrawing) {
  docRec* doc = docWithMarks({1});
  docSetCurrent(doc);
  // Light 0 is switched off, which leaves a whole 8-byte group of the block
  // zero: the mode in front of it must still read back.
  ASSERT_EQ(eval("1 2 3 aVcBgColorSet 7 aVcHiddenModeSet 300 aVcWidthSet 3 aDefLightModeSet 0 0 aDefLightUseSet "
                 "1 0.3 aDefLightIntensitySet 4 1 aDefLightUseSet 4 3 aDefLightTypeSet "
                 "4 [1 2 3] aDefLightSrcPosSet 4 [-1 -2 -3.5] aDefLightDstPosSet 0 0.8 aDefLightIntensitySetHC"),
            "");
  ASSERT_EQ(write(doc), 0);

  docRec* copy = nullptr;
  ASSERT_EQ(read(&copy), 0);
  docSetCurrent(copy);
  EXPECT_EQ(eval("aVcBgColorGet aVcHiddenModeGet aVcWidthGet aVcShadeModeGet aVcHiSpeedGet"), "1 2 3 7 44 1 1");
  EXPECT_EQ(eval("aDefLightModeGet 0 aDefLightUseGet 1 aDefLightIntensityGet 2 aDefLightIntensityGet "
                 "0 aDefLightIntensityGet"),
            "3 0 0.3 0.6 0.4");
  EXPECT_EQ(eval("4 aDefLightUseGet 4 aDefLightTypeGet 4 aDefLightSrcPosGet 4 aDefLightDstPosGet"),
            "1 3 [1. 2. 3. ] [-1. -2. -3.5 ]");
}

TEST_F(Render, AnUntouchedDrawingReadsBackTheDefaults) {
  docRec* doc = docWithMarks({1});
  docSetCurrent(doc);
  ASSERT_EQ(write(doc), 0);
  docRec* copy = nullptr;
  ASSERT_EQ(read(&copy), 0);
  docSetCurrent(copy);
  EXPECT_EQ(eval("aVcBgColorGet aVcShadeModeGet aVcHiddenFontGet aVcDefLightGet"), "76 76 76 1 2 1");
  EXPECT_EQ(eval("0 aDefLightUseGet 1 aDefLightIntensityGet 1 aDefLightSrcPosGet 3 aDefLightUseGet"),
            "1 0.9 [0.25 -1. 0.5 ] 0");
}

}  // namespace
