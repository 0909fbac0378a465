// Models: a new model's planes, linking and naming, removal, the current
// model and its plane, the attribute keys, copies, the display-list notes
// and the model operators.
#include "views/model.h"

#include "core/bbox.h"
#include "core/debug.h"
#include "fe/stack.h"
#include "objects/group.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/redraw.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"
#include "vw_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class ModelTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    models = vwLive().models;
    planes = vwLive().planes;
  }
  void TearDown() override {
    dlistSetStateSource(nullptr);
    modelSetCurrent(nullptr);
    wpSetCurrent(nullptr);
    for (modelRec* model : loose) modelFree(model);
    VwTest::TearDown();
  }

  // A new open document (closed by the fixture).
  static docRec* newDoc() {
    docRec* doc = nullptr;
    docCreate(&doc);
    docAddOpen(doc);
    return doc;
  }
  // A new unlinked model, freed after the test unless linked.
  modelRec* newModel(const char* title = nullptr) {
    modelRec* model = nullptr;
    modelCreate(&model);
    if (title) setTitle(model, title);
    loose.push_back(model);
    return model;
  }
  modelRec* linked(docRec* doc, const char* title = nullptr) {
    modelRec* model = newModel(title);
    loose.pop_back();
    modelLink(model, doc);
    return model;
  }
  static void setTitle(modelRec* model, const char* title) {
    feObject value;
    feMakeString(&value, title, std::strlen(title));
    set(model, "title", value);
  }

  static feObject ref(void* record) {
    feObject v;
    feMakeObjRef(&v, record);
    return v;
  }
  static std::vector<std::string> planeTitles(const modelRec* model) {
    std::vector<std::string> titles;
    for (const wplaneRec* p = model->firstPlane; p; p = p->next) titles.push_back(p->title);
    return titles;
  }

  std::vector<modelRec*> loose;
  int32_t models = 0, planes = 0;
};

TEST_F(ModelTest, NewModelHasOnlyTheLockedWorldPlaneAsItsCurrentPlane) {
  modelRec* model = newModel();
  EXPECT_STREQ(model->title, "");
  EXPECT_EQ(model->owner, nullptr);
  EXPECT_NE(model->settings, nullptr);
  EXPECT_EQ(dlistOfModel(model->number), model);
  EXPECT_TRUE(modelIs(model));
  ASSERT_NE(model->firstPlane, nullptr);
  EXPECT_EQ(model->firstPlane->next, nullptr);
  EXPECT_EQ(model->curPlane, model->firstPlane);
  const wplaneRec* world = model->firstPlane;
  EXPECT_STREQ(world->title, "World");
  EXPECT_EQ(world->flags & wpWorld, wpWorld);
  EXPECT_EQ(world->owner, model);
  EXPECT_EQ(vwLive().models, models + 1);
  EXPECT_EQ(vwLive().planes, planes + 1);
}

TEST_F(ModelTest, ModelNumbersTakeTheFirstFreeSlot) {
  modelRec* a = newModel();
  modelRec* b = newModel();
  modelRec* c = newModel();
  EXPECT_EQ(b->number, a->number + 1);
  const uint32_t freed = b->number;
  loose.erase(loose.begin() + 1);
  modelFree(b);
  EXPECT_EQ(dlistOfModel(freed), nullptr);
  modelRec* d = newModel();
  EXPECT_EQ(d->number, freed);
  EXPECT_EQ(dlistOfModel(c->number), c);
  EXPECT_EQ(dlistOfModel(100000), nullptr);
}

TEST_F(ModelTest, LinkingNamesModelsAndTracesATakenTitle) {
  dbgSetFlags(1);
  docRec* doc = newDoc();
  modelRec* first = linked(doc);
  EXPECT_STREQ(first->title, "Model 1");
  modelRec* plan = linked(doc, "Plan");
  EXPECT_STREQ(plan->title, "Plan");
  EXPECT_EQ(gobjfx::boxes(), "");
  modelRec* again = linked(doc, "model 1");
  EXPECT_STREQ(again->title, "Model 2");
  EXPECT_EQ(gobjfx::boxes(), "Model 'model 1' already exists|");
  // Each goes to the head of the list.
  EXPECT_EQ(doc->firstModel, again);
  EXPECT_EQ(again->next, plan);
  EXPECT_EQ(plan->next, first);
  for (const modelRec* m : {first, plan, again}) {
    EXPECT_EQ(m->owner, doc);
    EXPECT_EQ(m->head.object.refCount, 1);
    ASSERT_NE(m->sieve, nullptr);
  }
  EXPECT_NE(first->sieve, plan->sieve);
  int16_t box[6];
  sieveExtent(first->sieve, box, 2);
  const double low[3] = {-300, -300, -300}, high[3] = {300, 300, 300};
  int16_t want[6];
  bboxFromCorners(low, high, want);
  EXPECT_EQ(std::vector<int16_t>(box, box + 6), std::vector<int16_t>(want, want + 6));
  EXPECT_EQ(modelFind(doc, "MODEL 2", 7), again);
  EXPECT_EQ(modelFind(doc, "Model 3", 7), nullptr);

  std::vector<modelRec*> seen;
  docForEachModel(doc, [](modelRec* m, void* list) { static_cast<std::vector<modelRec*>*>(list)->push_back(m); },
                  &seen);
  EXPECT_EQ(seen, (std::vector<modelRec*>{again, plan, first}));
}

TEST_F(ModelTest, RemovingAModelFreesItWithItsPlanesAndDeletesItsObjects) {
  docRec* doc = newDoc();
  modelRec* model = linked(doc);
  wpCopyPlanes(nullptr, model);
  gobjRec* object = objNew(tpoint());
  objRetain(object);
  ASSERT_EQ(sieveInsert(model->sieve, object), 0);
  EXPECT_EQ(object->refCount, 2);
  std::string count;
  EXPECT_EQ(get(model, "nobjects", &count), 0);
  EXPECT_EQ(count, "1");
  vwfx::changes().clear();

  EXPECT_EQ(modelRemove(model), 0);
  EXPECT_EQ(doc->firstModel, nullptr);
  EXPECT_EQ(vwLive().models, models);
  EXPECT_EQ(vwLive().planes, planes);
  EXPECT_EQ(object->refCount, 1);
  EXPECT_EQ(object->flags & gobjInSieve, 0);
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>(4, vwEvPlaneFreed)) << "World, Top, Right, Front";
  objRelease(&object);
}

TEST_F(ModelTest, AShownModelStaysAndAnotherGoesWithItsViews) {
  docRec* doc = newDoc();
  modelRec* shown = linked(doc);
  modelRec* other = linked(doc);
  sheetRec* sheet = sheetCreate(doc, shown, nullptr);
  ASSERT_NE(sheet, nullptr);
  viewRec* draft = sheet->activeView;
  ASSERT_NE(draft, nullptr);
  ASSERT_NE(vwCreate(sheet, other, nullptr, 0), nullptr);
  EXPECT_EQ(modelIsShown(shown), 1);
  EXPECT_EQ(modelIsShown(other), 0) << "its view is not the sheet's active view";
  std::string text;
  EXPECT_EQ(get(shown, "draft", &text), 0);
  EXPECT_EQ(text, "true");

  EXPECT_EQ(modelRemove(shown), vwErrNoCurModel);
  EXPECT_EQ(objMeth(modelClassId(), 345, shown), vwErrNoCurModel);
  EXPECT_EQ(doc->firstModel, other);
  EXPECT_EQ(other->next, shown);
  EXPECT_EQ(shown->owner, doc);

  const uint32_t number = other->number;
  EXPECT_EQ(modelRemove(other), 0);
  EXPECT_EQ(doc->firstModel, shown);
  EXPECT_EQ(sheet->firstView, draft);
  EXPECT_EQ(draft->next, nullptr);
  EXPECT_EQ(dlistOfModel(number), nullptr) << "freed: the view's reference went with the view";
}

TEST_F(ModelTest, SettingTheCurrentModelFollowsAlignPlane) {
  // Whether the model's own plane becomes the current plane when another
  // model's plane is current.
  struct Case {
    const char* name;
    bool linked, planeCurrent, docCurrent, align, switches;
  };
  const Case cases[] = {
      {"unlinked model", false, true, true, true, true},
      {"no current plane", true, false, true, true, true},
      {"no current document", true, true, false, false, false},
      {"alignplane set", true, true, true, true, false},
      {"alignplane clear", true, true, true, false, true},
  };
  docRec* doc = newDoc();
  modelRec* other = linked(doc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    modelRec* model = c.linked ? linked(doc) : newModel();
    vwRecordCurModel(nullptr);
    wpSetCurrent(nullptr);
    if (c.planeCurrent) wpSetCurrent(other->curPlane);
    docSetCurrent(c.docCurrent ? doc : nullptr);
    doc->flags = c.align ? (doc->flags | docAlignPlane) : (doc->flags & ~uint32_t(docAlignPlane));
    modelSetCurrent(model);
    EXPECT_EQ(vwCurModel(), model);
    EXPECT_EQ(wpCurrent(), c.switches ? model->curPlane : other->curPlane);
    modelSetCurrent(nullptr);
    wpSetCurrent(nullptr);
  }
  EXPECT_EQ(other->curPlane->head.object.refCount, 1) << "the current plane's references all given back";
}

TEST_F(ModelTest, CurrentModelBringsItsSieveAndSettings) {
  docRec* doc = newDoc();
  docSetCurrent(doc);
  modelRec* model = linked(doc);
  modelSetCurrent(model);
  EXPECT_EQ(sieveCurrent(), model->sieve);
  dbSheetRec* settings = nullptr;
  sheetCurrent(&settings);
  EXPECT_EQ(settings, model->settings);
  EXPECT_EQ(wpCurrent(), model->curPlane);
  // Freeing the current model leaves nothing current behind.
  EXPECT_EQ(modelRemove(model), 0);
  EXPECT_EQ(vwCurModel(), nullptr);
  EXPECT_EQ(wpCurrent(), nullptr);
  EXPECT_EQ(sieveCurrent(), nullptr);
}

// A model that a script holds outlives its document: taken out of the
// document it lets go of the document's settings record (its sieve's
// document), is no longer current and drops its pending redraws; linked to
// another document it names its objects for that one.
TEST_F(ModelTest, AModelKeptByAScriptLetsGoOfItsDocument) {
  docRec* doc = newDoc();
  docSetCurrent(doc);
  modelRec* model = linked(doc);
  modelSetCurrent(model);
  feObjRefRetain(model);  // the script's
  ASSERT_EQ(wpCurrent(), model->curPlane);
  ASSERT_EQ(model->sieve->doc, doc->settings);
  ASSERT_EQ(sieveCurrent(), model->sieve);
  gobjRec* object = objNew(tpoint());
  grpAddTo(object, vwPendingSlot(model));

  EXPECT_EQ(modelRemove(model), 0);
  EXPECT_EQ(model->owner, nullptr);
  EXPECT_EQ(model->sieve->doc, nullptr);
  EXPECT_EQ(doc->settings->sieve, nullptr);
  EXPECT_EQ(vwCurModel(), nullptr);
  EXPECT_EQ(wpCurrent(), nullptr);
  EXPECT_EQ(vwPendingTake(model), nullptr);

  docRec* other = newDoc();
  modelLink(model, other);
  EXPECT_EQ(model->sieve->doc, other->settings);
  feObjRefRelease(model);  // the document's use stays
  EXPECT_EQ(other->firstModel, model);
}

TEST_F(ModelTest, AttributeKeys) {
  docRec* doc = newDoc();
  modelRec* model = linked(doc);
  linked(doc, "Other");
  wpCopyPlanes(nullptr, model);
  std::string text;
  EXPECT_EQ(get(model, "title", &text), 0);
  EXPECT_EQ(text, "(Model 1)");
  EXPECT_EQ(get(model, "draft", &text), 0);
  EXPECT_EQ(text, "false");
  EXPECT_EQ(get(model, "nobjects", &text), 0);
  EXPECT_EQ(text, "0");
  EXPECT_EQ(get(model, "planes", &text), 0);
  EXPECT_EQ(text, "[-wplane- -wplane- -wplane- -wplane- ]");
  EXPECT_EQ(get(model, "workplane", &text), 0);
  EXPECT_EQ(text, "-wplane-");
  EXPECT_EQ(get(model, "colour", &text), vwErrBadKey);

  feObject name;
  feMakeString(&name, "other", 5);
  EXPECT_EQ(set(model, "title", name), vwErrTitleNotUnique);
  feMakeString(&name, "Model 1", 7);
  EXPECT_EQ(set(model, "title", name), 0) << "its own title";
  feMakeString(&name, "Plan", 4);
  EXPECT_EQ(set(model, "title", name), 0);
  EXPECT_STREQ(model->title, "Plan");
  EXPECT_EQ(set(model, "planes", ref(nullptr)), vwErrBadKey);
  EXPECT_EQ(set(model, "nobjects", ref(nullptr)), vwErrBadKey);
  EXPECT_EQ(set(model, "draft", ref(nullptr)), vwErrBadKey);
}

TEST_F(ModelTest, WorkPlaneSetTakesOnlyThisModelsPlanes) {
  docRec* doc = newDoc();
  modelRec* model = linked(doc);
  modelRec* other = linked(doc);
  wpCopyPlanes(nullptr, model);
  wplaneRec* world = model->curPlane;
  wplaneRec* top = wpFind(model, "Top", 3);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(set(model, "workplane", ref(other->curPlane)), vwErrBadObject);
  EXPECT_EQ(set(model, "workplane", ref(model)), vwErrBadObject);
  feObject number;
  feMakeInt(&number, 3);
  EXPECT_EQ(set(model, "workplane", number), vwErrBadObject);
  EXPECT_EQ(model->curPlane, world);

  doc->flags |= docAlignPlane;
  vwfx::changes().clear();
  EXPECT_EQ(set(model, "workplane", ref(top)), 0);
  EXPECT_EQ(model->curPlane, top);
  EXPECT_EQ(doc->flags & docAlignPlane, 0u);
  const std::vector<std::pair<uint32_t, intptr_t>> want = {
      {vwEvDocPlaneAttr, reinterpret_cast<intptr_t>(doc)},
      {vwEvPlaneNotCurrent, reinterpret_cast<intptr_t>(world)},
      {vwEvPlaneCurrent, reinterpret_cast<intptr_t>(top)},
  };
  EXPECT_EQ(vwfx::changes(), want);
  EXPECT_EQ(wpCurrent(), nullptr) << "not the current model: the program's plane stays";

  modelSetCurrent(model);
  EXPECT_EQ(wpCurrent(), top);
  EXPECT_EQ(set(model, "workplane", ref(nullptr)), 0);
  EXPECT_EQ(model->curPlane, nullptr);
  EXPECT_EQ(wpCurrent(), nullptr);
}

TEST_F(ModelTest, CopiesCarryTheTitleAndThePlanes) {
  modelRec* none = nullptr;
  EXPECT_EQ(modelCopy(nullptr, &none), vwErrBadArg);
  docRec* doc = newDoc();
  modelRec* source = linked(doc, "Plan");
  wpCopyPlanes(nullptr, source);
  source->curPlane = wpFind(source, "Right", 5);
  modelRec* copy = nullptr;
  ASSERT_EQ(modelCopy(source, &copy), 0);
  loose.push_back(copy);
  EXPECT_STREQ(copy->title, "Plan");
  EXPECT_EQ(copy->owner, nullptr);
  EXPECT_EQ(planeTitles(copy), (std::vector<std::string>{"World", "Top", "Right", "Front"}));
  ASSERT_NE(copy->curPlane, nullptr);
  EXPECT_STREQ(copy->curPlane->title, "Right");
  EXPECT_EQ(copy->curPlane->owner, copy);
  EXPECT_NE(copy->curPlane, source->curPlane);
}

TEST_F(ModelTest, LinkAndDeleteMessages) {
  modelRec* model = newModel();
  EXPECT_EQ(objMeth(modelClassId(), 344, model), vwErrNoCurDoc);
  docRec* doc = newDoc();
  docSetCurrent(doc);
  EXPECT_EQ(objMeth(modelClassId(), 344, model), 0);
  loose.clear();
  EXPECT_EQ(doc->firstModel, model);
  EXPECT_EQ(objMeth(modelClassId(), 344, model), vwErrAlreadyOwned);
  EXPECT_EQ(objMeth(modelClassId(), 345, model), 0);
  EXPECT_EQ(doc->firstModel, nullptr);
  EXPECT_EQ(vwLive().models, models);
}

TEST_F(ModelTest, NotesGrowBy32UntilAboveAHundred) {
  modelRec* model = newModel();
  gobjRec* object = reinterpret_cast<gobjRec*>(model);  // notes keep pointers only
  EXPECT_EQ(dlistNoteInsert(object, model->number), -1) << "display lists off";
  static bool on;
  on = true;
  dlistSetStateSource([] { return on ? 1 : 0; });
  EXPECT_EQ(dlistNoteInsert(object, model->number + 1000), -1) << "no such model";
  for (int i = 0; i < 96; ++i) ASSERT_EQ(dlistNoteInsert(object, model->number), 0);
  EXPECT_EQ(model->inserted.capacity, 96u);
  EXPECT_EQ(dlistNoteInsert(object, model->number), 0);
  EXPECT_EQ(model->inserted.capacity, 128u);
  for (int i = 98; i <= 128; ++i) ASSERT_EQ(dlistNoteInsert(object, model->number), 0);
  EXPECT_EQ(dlistNoteInsert(object, model->number), 270);
  EXPECT_EQ(model->inserted.count, 128u);
  EXPECT_EQ(model->removed.count, 0u);
  EXPECT_EQ(dlistNoteRemove(model->number, object), 0);
  EXPECT_EQ(model->removed.count, 1u);
  on = false;
  EXPECT_EQ(dlistNoteRemove(model->number, object), -1) << "being rebuilt";
}

TEST_F(ModelTest, DisplayListCounters) {
  modelRec* model = newModel();
  for (int i = 0; i < 4; ++i) modelDlCounterRaise(model, i);
  modelDlCounterRaise(model, 2);
  EXPECT_EQ(modelDlCounter(model, 0), 1u);
  EXPECT_EQ(modelDlCounter(model, 1), 0u);
  EXPECT_EQ(modelDlCounter(model, 2), 2u);
  EXPECT_EQ(modelDlCounter(model, 3), 0u);
}

TEST_F(ModelTest, Operators) {
  EXPECT_EQ(eval("(Model 1) aModelWithName"), std::to_string(vwErrNoCurDoc));
  docRec* doc = newDoc();
  docSetCurrent(doc);
  modelRec* model = linked(doc);
  EXPECT_EQ(eval("(Model 9) aModelWithName"), "-1");
  ASSERT_EQ(feExecString("(model 1) aModelWithName /found exch def"), 0);
  feObject key = gobjfx::name("found"), value;
  ASSERT_EQ(feLoad(&key, &value), 0);
  EXPECT_EQ(value.w0.obj, model);
  feFree(&value);
  EXPECT_EQ(model->head.object.refCount, 2) << "the list's and the script's";

  ASSERT_EQ(feExecString("found aModelCopy /copy exch def"), 0);
  feObject copyKey = gobjfx::name("copy"), copy;
  ASSERT_EQ(feLoad(&copyKey, &copy), 0);
  ASSERT_TRUE(modelIs(copy.w0.obj));
  EXPECT_STREQ(static_cast<modelRec*>(copy.w0.obj)->title, "Model 1");
  feFree(&copy);
  const int32_t before = vwLive().models;
  ASSERT_EQ(feExecString("/copy null def /found null def"), 0);
  EXPECT_EQ(vwLive().models, before - 1) << "the copy goes with its last reference";

  EXPECT_EQ(eval("aCurModelX"), "false") << "no current view";
  sheetRec* sheet = sheetCreate(doc, model, nullptr);
  ASSERT_NE(sheet, nullptr);
  vwRecordCurView(sheet->activeView);
  EXPECT_EQ(eval("aCurModelX"), "-model- true");
}

}  // namespace
