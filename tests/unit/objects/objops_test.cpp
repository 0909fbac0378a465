// The general object operators: the 74 names in their fixed order (a
// compiled image depends on it), the operators that do their work here and
// the places held for modules to come.
#include "objects/objops.h"

#include "core/errors.h"
#include "fe/dict.h"
#include "fe/exec_fixture.h"
#include "fe/operator.h"
#include "fe/stack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kOrder = {
    "uAllocInfo", "aAllocInfo", "aAlphaEq", "aBoxOrder", "aCleanUp", "aConfigMesg", "aCreate", "aDefPenSizes",
    "aDelete", "aDocAttr", "aDrawDeferList", "aDump", "aDuplicate", "aFlag3D", "aFlatten", "aGetColorMap",
    "aGetConfigMesg", "aGetInfo", "aGetLineNormal", "aGetType", "aLineArrow", "aLinearDup", "aListPenSizes",
    "aMatrix", "aMirror", "aOnEvent", "aPickColor", "aCustomColorGet", "aCustomColorSet", "aPtDist", "aPtExpand",
    "aPtRotate", "aPtTransform", "aQuery", "aQueryOrigin", "aQuestion", "aRotate", "aRegen", "aScale", "aSetAttr",
    "aSetColorMap", "aSetCurObj", "aSetLength", "aSetLock", "aSetPort", "aSetSelMask", "aSetUnSelect",
    "aSetWindow", "aSetXVis", "aSound", "aStore", "aSystemIcon", "aTrackStroke", "aTransform", "aTranslate",
    "aVarSave", "aGlobalVarSave", "aXlateFTypes", "aXlateFileExtension", "aXlateIn", "aXlateList",
    "aXlateNeedsAccuracy", "aXlateNeedsDataOption", "aXlateNotWork", "aXlateOut", "aXlateTest", "aXlateTestFType",
    "aFilePatMatch", "aResetSelection", "aFormat", "aCleanUp2", "aObjErase", "aSetReserverSize",
    "aGetReserverSize"};

class ObjOps : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("uAllocInfo")) objOpsInit();
  }
  void TearDown() override { execfx::stop(); }
  std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
};

TEST_F(ObjOps, SeventyFourNamesInTheirFixedOrderEachWithAHandler) {
  size_t count = 0;
  const feOpSpec* table = objOpSpecs(&count);
  ASSERT_EQ(count, kOrder.size());
  ASSERT_EQ(count, 74u);
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(table[i].name, kOrder[i]) << i;
    EXPECT_NE(table[i].handler, nullptr) << kOrder[i];
  }
  // As registered: consecutive table indices in that order.
  int32_t previous = -1;
  for (const std::string& name : kOrder) {
    feObject key, op;
    feMakeName(&key, name.data(), name.size());
    ASSERT_EQ(feLoad(&key, &op), feOk) << name;
    EXPECT_EQ(feType(&op), feTOperator) << name;
    const int32_t index = int32_t(op.w0.u);
    const char* text;
    size_t length;
    feOpNameText(index, &text, &length);
    EXPECT_EQ(std::string(text, length), name);
    if (previous >= 0) {
      EXPECT_EQ(index, previous + 1) << name;
    }
    previous = index;
  }
}

TEST_F(ObjOps, OperatorsAnsweredHere) {
  EXPECT_EQ(run("(Abc) (aBC) aAlphaEq (ab) (abc) aAlphaEq"), "true false");
  EXPECT_EQ(run("1 aGetColorMap"), "[0 0 0 ]");
  EXPECT_EQ(run("uAllocInfo aAllocInfo aGetReserverSize"), "");
  EXPECT_EQ(run("[0 0 1] [1 0 0] aPtDist"), "1.4142136");
}

TEST_F(ObjOps, OperatorsOfModulesToComeAnswerUnimplemented) {
  for (const char* text : {"1 aSound", "1 (x) (y) 2 aXlateIn"})
    EXPECT_EQ(run(text), std::to_string(feErrUnimplemented)) << text;
}

}  // namespace
