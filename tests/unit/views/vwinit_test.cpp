// The view module's set-up: the operator names in their fixed order (a
// compiled image depends on it), the error names, the class tree, the
// object source "docAll", aGetHLG and the current transform's scale.
#include "vw_fixture.h"

#include "core/classes.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec_fixture.h"
#include "fe/operator.h"
#include "fe/stack.h"
#include "objects/group.h"
#include "objects/sieve.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kOrder = {
    "aNewDoc", "aRemoveDoc", "aCurDoc", "aCurDocX", "aDefaultDoc", "aDocNames", "aOffsetWindowBBox",
    "aGetDocRegister", "aPutDocRegister", "aAutoSaveConfig", "aSaveAllUntitle", "autoSaveAllDoc",
    "aWrite", "aFileRead", "aEdit", "aFileIsUnique", "aImportFeldon", "aExportPlumet", "aImportViews",
    "aCurModelX", "aModelCopy", "aModelWithName",
    "aSheetCopy", "aScaleSheet2", "aScrollSheet", "aDListState", "aDListToggle", "aDrawSheet", "aDrawSheetFlags",
    "aCurSheet", "aViewAllSheet", "aSheetCorners3", "aRollSheet", "aSheetToScreen", "aSheetWithName",
    "aScrollAdjust", "aSetScrollBars",
    "aWPlaneNames", "aWPlaneFind", "aSetWPlane", "aPlaneToWorld", "aPlaneToWorldV", "aWorldToPlane",
    "aWorldToPlaneV", "aCurWPlane", "aWPlaneTrack",
    "aVDefToView", "aViewDirSet", "aViewDirFind",
    "aGetWindowName", "aSortNames",
    "aScaleView2", "aScrollView", "aRegenView", "aBringViewToFront", "aSendViewToBack", "aCurView", "aCurViewX",
    "aViewAllView", "aViewCorners3", "aRollView", "aSetViewModel", "aSwitchViewIndices", "aViewBox",
    "aViewCenter", "aViewWidth", "aViewHeight", "aGetViewScale", "aInvalAll", "aViewToSheet", "aViewFlattenEx",
    "aClipCorners", "aGetUnfoldInfo", "aSetCurViewIndex", "aUnfoldTrack", "aView", "aViewTrackPan",
    "aViewTrackBox", "aViewTrack", "aViewControlDraw", "aViewControlTrack",
    "aPostMesgEvent", "aPullString",
    "aGraphicsBox", "aGraphicCenter", "aGraphicsW", "aGraphicsH", "aChangeScale", "aFitPlot", "aCreatPlot",
    "aStartLayerSortDraw", "aEndLayerSortDraw", "aSetDrawLayerPriority",
    // Registered with the class "view", after the table.
    "aWorldToScreen",
    // Registered after the classes, by the module itself.
    "aDocAll", "aGetHLG", "aInvertDisplay",
};

int32_t opIndex(const std::string& name) {
  feObject key, op;
  feMakeName(&key, name.data(), name.size());
  if (feLoad(&key, &op) != feOk || feType(&op) != feTOperator) return -1;
  return int32_t(op.w0.u);
}

using VwInit = vwfx::VwTest;

TEST_F(VwInit, NinetySevenOperatorsInTheirFixedOrder) {
  size_t count = 0;
  const feOpSpec* table = vwOpTable(&count);
  ASSERT_EQ(count, 93u);
  ASSERT_EQ(kOrder.size(), 97u);
  for (size_t i = 0; i < count; ++i) EXPECT_EQ(table[i].name, kOrder[i]) << i;
  int32_t previous = -1;
  for (const std::string& name : kOrder) {
    const int32_t index = opIndex(name);
    ASSERT_GE(index, 0) << name;
    if (previous >= 0) {
      EXPECT_EQ(index, previous + 1) << name;
    }
    previous = index;
  }
}

TEST_F(VwInit, ErrorNamesAndTheUnnamedCodes) {
  const struct {
    int code;
    const char* name;
  } named[] = {{-202, "ViewNotFound"}, {-212, "NoCurDoc"}, {-221, "TitleNotUnique"},
               {-226, "NoOwner"},      {-227, "NotInList"}, {-235, "ScaleTooSmall"}};
  for (const auto& e : named) {
    const char* name = feErrorName(e.code);
    ASSERT_NE(name, nullptr) << e.code;
    EXPECT_STREQ(name, e.name);
  }
  for (int code : {-203, -204, -210, -211, -215, -216, -228}) EXPECT_EQ(feErrorName(code), nullptr) << code;
}

TEST_F(VwInit, ClassTree) {
  const uint16_t viewobj = viewobjClassId();
  ASSERT_NE(viewobj, 0);
  EXPECT_EQ(objSuperClass(viewobj), 0);
  for (const char* name : {"view", "sheet", "model", "document", "wplane"})
    EXPECT_EQ(objSuperClass(objClassByName(name)), viewobj) << name;
  EXPECT_EQ(objClassByName("file"), fileClassId());
  EXPECT_EQ(objSuperClass(fileClassId()), 0);
  // viewobj answers -1 to what it does not know; file to everything.
  EXPECT_EQ(objMeth(viewobj, 107, nullptr), -1);
  EXPECT_EQ(objMeth(fileClassId(), 100, nullptr), -1);
}

int countMember(gobjRec*, void* context) {
  ++*static_cast<int*>(context);
  return 0;
}

TEST_F(VwInit, DocAllEnumeratesEveryModelsObjects) {
  int n = 0;
  ASSERT_EQ(grpEnum("docAll", 6, countMember, &n), 0);
  EXPECT_EQ(n, 0);  // no document: nothing
  ASSERT_EQ(run("null aNewDoc"), 0);
  docRec* doc = vwCurDoc();
  ASSERT_NE(doc, nullptr);
  modelRec* second = nullptr;
  ASSERT_EQ(modelCreate(&second), 0);
  modelLink(second, doc);
  ASSERT_NE(doc->firstModel, nullptr);
  ASSERT_NE(doc->firstModel->next, nullptr);
  // One object in each model's sieve.
  std::vector<gobjRec*> made;
  for (modelRec* model = doc->firstModel; model; model = model->next) {
    gobjRec* object = objNew(gobjfx::state().tpoint);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(sieveInsert(model->sieve, object), 0);
    made.push_back(object);
  }
  n = 0;
  ASSERT_EQ(grpEnum("docAll", 6, countMember, &n), 0);
  EXPECT_EQ(n, 2);
  feStackClear(*feOperandStack());
  ASSERT_EQ(run("aDocAll length"), 0);
  EXPECT_EQ(execfx::operands(), "2");
}

TEST_F(VwInit, GetHLGAnswersNull) {
  feStackClear(*feOperandStack());
  ASSERT_EQ(run("aGetHLG"), 0);
  EXPECT_EQ(execfx::operands(), "-null-");
}

TEST_F(VwInit, CurrentScaleIsTheFirstRowsLength) {
  const double m[16] = {3, 4, 0, 9, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(vwCurScale(), 0.0);
  vwSetCurXform(m);
  EXPECT_DOUBLE_EQ(vwCurScale(), 5.0);
  vwSetCurXform(nullptr);
}

}  // namespace
