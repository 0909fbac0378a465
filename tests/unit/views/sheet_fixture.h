// Shared by the sheet, view and box tests: the view-module fixture with the
// program's hooks (vwInstallHooks), a 96-dpi device, documents
// with a model made on demand (closed afterwards), and helpers for keyed
// attributes, operators and the panic and alert boxes.
#ifndef PLUMET_TESTS_VIEWS_SHEET_FIXTURE_H
#define PLUMET_TESTS_VIEWS_SHEET_FIXTURE_H

#include "vw_fixture.h"

#include "core/text.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "fe/strings.h"
#include "objects/objmsg.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace sheetfx {

// A new open document with one model (closed by the fixture).
inline docRec* newDocWithModel() {
  docRec* doc = nullptr;
  docCreate(&doc);
  docAddOpen(doc);
  modelRec* model = nullptr;
  modelCreate(&model);
  modelLink(model, doc);
  return doc;
}

// A document whose sheet has its page centre at (100, 100) on the screen,
// and a 2 x 2 view of its model about the origin beside the draft view.
struct SheetWithView {
  docRec* doc;
  sheetRec* sheet;
  viewRec* view;
  viewRec* draft;
};
SheetWithView sheetWithView();

class SheetTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    setDpi(96);
  }
  void TearDown() override {
    vwViewStackForget();
    for (sheetRec* sheet : loose) sheetFree(sheet);
    loose.clear();
    docResetAll();
    vwSetViewHooks(nullptr);
    vwSetCurRecords(nullptr);
    while (gxWindowDepth()) gxWindowPop();
    dbgSetFlags(0);
    VwTest::TearDown();
  }

  // The drawing layer's device resolution, the same both ways.
  static void setDpi(double dpi) {
    while (gxWindowDepth()) gxWindowPop();
    const double resolution[2] = {dpi, dpi};
    gxWindowPush(nullptr, resolution, nullptr);
  }

  static docRec* newDoc() { return newDocWithModel(); }
  // A sheet of the document's first model without a window.
  static sheetRec* newSheet(docRec* doc) { return sheetCreate(doc, doc->firstModel, nullptr); }
  // A sheet of no document, freed by the fixture.
  sheetRec* looseSheet() {
    sheetRec* sheet = nullptr;
    sheetAlloc(&sheet);
    loose.push_back(sheet);
    return sheet;
  }

  static feObject reals(std::initializer_list<double> values) {
    std::vector<feObject> elements;
    for (double d : values) elements.push_back(real(d));
    feObject array;
    feMakeArray(&array, elements.data(), uint32_t(elements.size()));
    return array;
  }

  // Calls an operator's handler with the given inputs and result slots.
  static int call(feOpHandler handler, std::vector<feArg> in, std::vector<void*> out = {}) {
    feArgs args{in.data(), int32_t(in.size()), out.data(), int32_t(out.size()), 0};
    return handler(&args);
  }
  static feArg argInt(int32_t i) {
    feArg a{};
    a.i = i;
    return a;
  }
  static feArg argReal(double d) {
    feArg a{};
    a.d = d;
    return a;
  }
  static feArg argRecord(void* record) {
    feArg a{};
    a.record = record;
    return a;
  }

  // The texts of the message boxes shown (alerts and panics), "|" after each.
  static std::string boxes() {
    std::string text;
    for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
    return text;
  }

  static const std::string& log() { return gobjfx::state().log; }

  std::vector<sheetRec*> loose;
};

inline SheetWithView sheetWithView() {
  SheetWithView s{};
  s.doc = newDocWithModel();
  s.sheet = sheetCreate(s.doc, s.doc->firstModel, nullptr);
  const int32_t screen[2] = {100, 100};
  const double centre[2] = {0, 0};
  EXPECT_EQ(sheetSetScale(s.sheet, 1, 0, screen, centre, 0), 0);
  const double box[4] = {-1, -1, 1, 1};
  s.view = vwCreate(s.sheet, s.doc->firstModel, box, 0);
  s.draft = s.sheet->activeView;
  return s;
}

}  // namespace sheetfx

#endif
