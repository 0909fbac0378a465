#include "views/current.h"

#include "objects/event.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Stand-in records: what the switches read of documents, sheets, views and
// models, nothing more. The switches see them through the real record
// types' pointers.
struct tView;
struct tDoc {
  const char* name;
};
struct tModel {
  const char* name;
};
struct tSheet {
  const char* name;
  tDoc* doc;
  std::vector<tView*> views;
  tView* active = nullptr;
  HWND window = nullptr;
  double plotScale = 1.0;
};
struct tView {
  const char* name;
  tSheet* sheet;
  tModel* model;
  bool highlighted = false;
};

docRec* D(tDoc* d) { return reinterpret_cast<docRec*>(d); }
modelRec* M(tModel* m) { return reinterpret_cast<modelRec*>(m); }
sheetRec* S(tSheet* s) { return reinterpret_cast<sheetRec*>(s); }
viewRec* V(tView* v) { return reinterpret_cast<viewRec*>(v); }
tDoc* td(docRec* d) { return reinterpret_cast<tDoc*>(d); }
tSheet* ts(sheetRec* s) { return reinterpret_cast<tSheet*>(s); }
tView* tv(viewRec* v) { return reinterpret_cast<tView*>(v); }

// Everything the switches did, in order: events as "code:name", hook calls
// by their names.
std::vector<std::string>& log() {
  static std::vector<std::string> entries;
  return entries;
}

const char* nameOf(uint32_t code, intptr_t object) {
  if (!object) return "null";
  switch ((code >> 16) & 0xff) {
    case 1: return reinterpret_cast<tDoc*>(object)->name;
    case 2: return reinterpret_cast<tSheet*>(object)->name;
    case 3: return reinterpret_cast<tModel*>(object)->name;
    case 4: return reinterpret_cast<tView*>(object)->name;
  }
  return "?";
}

void onEvent(uint32_t code, intptr_t object) {
  char text[64];
  snprintf(text, sizeof text, "%x:%s", code, nameOf(code, object));
  log().push_back(text);
}

void note(const std::string& text) { log().push_back(text); }

vwCurRecords standIns() {
  vwCurRecords r{};
  r.viewSheet = [](viewRec* v) { return S(tv(v)->sheet); };
  r.viewModel = [](viewRec* v) { return M(tv(v)->model); };
  r.viewHighlighted = [](viewRec* v) { return tv(v)->highlighted; };
  r.viewDrawFrame = [](viewRec* v, bool on) {
    tv(v)->highlighted = on;
    note(std::string("frame ") + tv(v)->name + (on ? " on" : " off"));
  };
  r.viewMakeCurrent = [](viewRec* v) {
    vwRecordCurView(v);
    note(std::string("curView ") + (v ? tv(v)->name : "null"));
  };
  r.sheetDoc = [](sheetRec* s) { return D(ts(s)->doc); };
  r.sheetActiveView = [](sheetRec* s) { return V(ts(s)->active); };
  r.sheetSetActiveView = [](sheetRec* s, viewRec* v) { ts(s)->active = tv(v); };
  r.sheetFirstView = [](sheetRec* s) { return ts(s)->views.empty() ? nullptr : V(ts(s)->views.front()); };
  r.sheetViewCount = [](sheetRec* s) { return static_cast<int>(ts(s)->views.size()); };
  r.sheetWindow = [](sheetRec* s) { return ts(s)->window; };
  r.sheetPlotScale = [](sheetRec* s) { return ts(s)->plotScale; };
  r.sheetViewBoxes = [](sheetRec* s) { note(std::string("boxes ") + ts(s)->name); };
  r.docSavePrintSetup = [](docRec* d) { note(std::string("save print ") + td(d)->name); };
  r.docLoadPrintSetup = [](docRec* d) { note(std::string("load print ") + td(d)->name); };
  r.docMakeCurrent = [](docRec* d) {
    vwRecordCurDoc(d);
    note(std::string("curDoc ") + td(d)->name + (vwSheetSwitching() ? " switching" : ""));
  };
  r.setDrawPort = [](HWND w) { note("port " + std::to_string(reinterpret_cast<intptr_t>(w))); };
  r.setPlotScale = [](double s) { note("plot " + std::to_string(static_cast<int>(s))); };
  return r;
}

// Two documents: d1 with sheet s1 (views v1, v2 of model m1), d2 with sheet
// s2 (view v3 of model m2) and sheet s3 (view v4 of model m2).
class Current : public ::testing::Test {
protected:
  void SetUp() override {
    evtReset();
    evtAdd(0xff000000, 0x01000000, onEvent);
    const vwCurRecords records = standIns();
    vwSetCurRecords(&records);
    vwCurReset();
    s1.views = {&v1, &v2};
    s2.views = {&v3};
    s3.views = {&v4};
    s2.window = reinterpret_cast<HWND>(intptr_t{42});
    s2.plotScale = 4;
    log().clear();
  }
  void TearDown() override {
    vwSetCurRecords(nullptr);
    vwCurReset();
    evtReset();
  }
  std::vector<std::string> take() {
    std::vector<std::string> entries;
    entries.swap(log());
    return entries;
  }
  // Only the events of the log.
  std::vector<std::string> events() {
    std::vector<std::string> entries;
    for (const std::string& e : take())
      if (e.find(':') != std::string::npos) entries.push_back(e);
    return entries;
  }
  tDoc d1{"d1"}, d2{"d2"};
  tModel m1{"m1"}, m2{"m2"};
  tSheet s1{"s1", &d1, {}}, s2{"s2", &d2, {}}, s3{"s3", &d2, {}};
  tView v1{"v1", &s1, &m1}, v2{"v2", &s1, &m1}, v3{"v3", &s2, &m2}, v4{"v4", &s3, &m2};
};

using Log = std::vector<std::string>;

TEST_F(Current, ActivatingAViewOfAnotherDocumentSignalsInOrder) {
  vwSetActiveView(V(&v1));
  EXPECT_EQ(take(), (Log{"frame v1 on", "load print d1", "1010004:d1", "1020004:s1", "1030004:m1", "1040004:v1",
                         "1040007:v1"}));
  vwSetActiveView(V(&v3));
  EXPECT_EQ(take(), (Log{"1040003:v1", "frame v1 off", "frame v3 on", "1020003:s1", "1010003:d1", "save print d1",
                         "load print d2", "1010004:d2", "1020004:s2", "1030003:m1", "1030004:m2", "1040004:v3",
                         "1040007:v3"}));
  EXPECT_EQ(vwActiveView(), V(&v3));
  EXPECT_EQ(vwActiveSheet(), S(&s2));
  EXPECT_EQ(vwActiveDoc(), D(&d2));
  EXPECT_EQ(vwActiveModel(), M(&m2));
  EXPECT_EQ(vwActiveSheetWindow(), s2.window);
  EXPECT_EQ(s2.active, &v3);
}

TEST_F(Current, OnlyTheObjectsThatChangeAreSwitched) {
  vwSetActiveView(V(&v3));
  take();
  vwSetActiveView(V(&v4));  // another sheet of the same document and model
  EXPECT_EQ(events(), (Log{"1040003:v3", "1020003:s2", "1020004:s3", "1040004:v4", "1040007:v4"}));
  vwSetActiveView(V(&v4));  // the same view again
  EXPECT_EQ(events(), (Log{"1040003:v4", "1040004:v4", "1040007:v4"}));
}

TEST_F(Current, ANullViewClearsSheetDocumentAndModel) {
  vwSetActiveView(V(&v1));
  take();
  vwSetActiveView(nullptr);
  EXPECT_EQ(events(), (Log{"1040003:v1", "1020003:s1", "1010003:d1", "1030003:m1"}));
  EXPECT_EQ(vwActiveView(), nullptr);
  EXPECT_EQ(vwActiveSheet(), nullptr);
  EXPECT_EQ(vwActiveDoc(), nullptr);
  EXPECT_EQ(vwActiveModel(), nullptr);
  EXPECT_FALSE(v1.highlighted);
  vwSetActiveView(nullptr);  // nothing was active: nothing to announce
  EXPECT_EQ(events(), Log{});
}

TEST_F(Current, MenuBitsFollowTheActiveViewsPlaceOnItsSheet) {
  vwSetMenuBits(vwMenuDocOpen, vwMenuDocOpen);
  vwSetActiveView(V(&v2));
  EXPECT_EQ(vwMenuState(), vwMenuDocOpen | vwMenuManyViews | vwMenuNotFirstView);
  vwSetActiveView(V(&v1));
  EXPECT_EQ(vwMenuState(), vwMenuDocOpen | vwMenuManyViews);
  vwSetActiveView(V(&v3));
  EXPECT_EQ(vwMenuState(), vwMenuDocOpen);
}

TEST_F(Current, SheetSwitchMakesItsActiveViewAndDocumentCurrent) {
  s2.active = &v3;
  sheetSetCurrent(S(&s2));
  EXPECT_EQ(take(), (Log{"plot 4", "port 42", "boxes s2", "curView v3", "curDoc d2 switching"}));
  EXPECT_EQ(vwCurSheet(), S(&s2));
  EXPECT_EQ(vwCurView(), V(&v3));
  EXPECT_EQ(vwCurDoc(), D(&d2));
  EXPECT_EQ(vwCurSheetWindow(), s2.window);
  EXPECT_FALSE(vwSheetSwitching());
}

TEST_F(Current, SheetWhoseViewIsAlreadyCurrentChangesOnlyTheDocument) {
  vwRecordCurView(V(&v2));
  s1.active = &v1;
  sheetSetCurrent(S(&s1));
  EXPECT_EQ(take(), (Log{"plot 1", "boxes s1", "curDoc d1 switching"}));  // no window: no port
  EXPECT_EQ(vwCurView(), V(&v2));
}

TEST_F(Current, SheetAlreadyCurrentTakesThePortBackAndInhibitStopsAll) {
  s2.active = &v3;
  sheetSetCurrent(S(&s2));
  take();
  s2.plotScale = 8;
  sheetSetCurrent(S(&s2));
  EXPECT_EQ(take(), (Log{"port 42", "plot 8"}));

  vwSetSheetInhibit(1);
  sheetSetCurrent(S(&s1));
  EXPECT_EQ(take(), Log{});
  EXPECT_EQ(vwCurSheet(), S(&s2));
  vwSetSheetInhibit(0);

  sheetSetCurrent(nullptr);
  EXPECT_EQ(vwCurSheet(), nullptr);
  EXPECT_EQ(vwCurSheetWindow(), nullptr);
  EXPECT_EQ(take(), Log{});
}

}  // namespace
