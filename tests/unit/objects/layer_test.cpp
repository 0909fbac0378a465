// Layers: tables, placement, the layer changes of scripts and their rules,
// listing, matching, the work layer and layer objects.
#include "layer_fixture.h"

#include "core/alloc.h"

#include "objects/defobj.h"

namespace {

using layerfx::events;
using gobjfx::state;

class LayerTables : public layerfx::LayerTest {};

TEST_F(LayerTables, DefaultTableIsMadeOnceFromTheTemplates) {
  dbSetCurrentDoc(nullptr);
  numTbl* table = layerTblCurrent();
  EXPECT_STREQ(tblNames(table), "Layer1;;construction");
  EXPECT_EQ(layerTblCurrent(), table);
  const char* name;
  uint32_t length;
  ASSERT_EQ(tblName(table, 1, &name, &length), 0);
  EXPECT_STREQ(name, ".temp");
  dbSetCurrentDoc(&doc);
  EXPECT_EQ(layerTblCurrent(), doc.layers);
  numTbl* empty = layerTblNew(0);
  EXPECT_EQ(tblCount(empty), 0u);
  tblFree(&empty);
}

TEST_F(LayerTables, CopyKeepsNamesAndAttributes) {
  rec("construction")->color = 9;
  define("Walls");
  numTbl* copy = layerTblCopy(doc.layers);
  EXPECT_STREQ(tblNames(copy), tblNames(doc.layers));
  EXPECT_EQ(static_cast<layerRec*>(tblEntry(copy, 2))->color, 9);
  tblFree(&copy);
}

TEST_F(LayerTables, MappingTwoDocumentsFindsOrAddsLayersByName) {
  define("Walls");
  dbDocRec other{};
  other.layers = layerTblNew(0);
  tblAdd(other.layers, "walls", 5);
  int32_t* map = nullptr;
  uint32_t count = 0;
  ASSERT_EQ(layerMapDocs(&doc, &other, &map, &count), 0);
  ASSERT_EQ(count, 4u);
  EXPECT_EQ(std::vector<int32_t>(map, map + count), (std::vector<int32_t>{1, 2, 3, 0}));
  EXPECT_STREQ(tblNames(other.layers), "walls;Layer1;;construction");
  uFree(&map);
  tblFree(&other.layers);
  EXPECT_EQ(layerMapDocs(&doc, &other, &map, &count), -1);
}

TEST_F(LayerTables, ZombieLayerIsMadeOnceAndThenReused) {
  const int first = MakeZombieLayer(nullptr, doc.layers);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(MakeZombieLayer(nullptr, doc.layers), first);
  EXPECT_EQ(tblCount(doc.layers), 4u);
}

TEST_F(LayerTables, QueriesByNumberAndName) {
  rec("construction")->flags = layerHidden;
  struct Case {
    int what, number, expected;
  } cases[] = {{1, 2, -1}, {1, 0, 0}, {2, 2, 0}, {2, 0, -1}, {3, 2, 2}, {4, 0, 0}, {5, 0, -1}, {1, 9, -1}};
  for (const Case& c : cases) EXPECT_EQ(layerQuery(c.what, c.number), c.expected) << c.what << " " << c.number;
  EXPECT_EQ(layerQueryByFmt(3, "constr%s", "uction"), 2);
  EXPECT_EQ(layerFind("Nope", 4, 0), tblErrNotFound);
  EXPECT_EQ(layerFind("Nope", 4, layerFindCreate), 3);
}

TEST_F(LayerTables, LayerTestOfTheInsert) {
  gobjRec* object = put(2);
  int shown = -1;
  EXPECT_EQ(layerIsVisible(object, &shown), 0);
  EXPECT_EQ(shown, 1);
  object->layer = 40;
  EXPECT_EQ(layerIsVisible(object, &shown), -1);
  // An object on a layer without a record goes to the work layer.
  doc.workLayer = 2;
  sievefx::tboxRec* stray = heldBox(5, 5, 0, 6, 6, 0);
  stray->head.layer = 77;
  ASSERT_EQ(objInsert(&stray->head), 0);
  EXPECT_EQ(stray->head.layer, 2);
  dbSetCurrentDoc(nullptr);
  EXPECT_EQ(layerIsVisible(object, &shown), layerErrNoDoc);
}

class LayerPlacement : public layerfx::LayerTest {};

TEST_F(LayerPlacement, ObjectsFollowTheHiddenBitOfTheirLayer) {
  rec("construction")->flags = layerHidden;
  gobjRec* object = put(0);
  ASSERT_EQ(layerSet(object, 2, 1), 0);
  EXPECT_EQ(object->layer, 2);
  EXPECT_TRUE(object->flags & gobjHidden);
  ASSERT_EQ(layerSet(object, 0, 0), 0);
  EXPECT_FALSE(object->flags & gobjHidden);
  EXPECT_EQ(layerSetByName(object, "nothing", 7, 0), tblErrNotFound);
  EXPECT_EQ(layerSetByFmt(object, 0, "construc%s", "tion"), 0);
  EXPECT_EQ(object->layer, 2);
}

TEST_F(LayerPlacement, DefaultObjectNeverGoesToAHiddenLayer) {
  rec("construction")->flags = layerHidden;
  EXPECT_EQ(layerSet(&doc.defaultObject, 2, 0), layerErrCannotHideWorkLayer);
  EXPECT_EQ(doc.defaultObject.layer, 0);
  // In a group, members before it are changed, the rest are not.
  gobjRec* before = put(0, 1);
  gobjRec* after = put(0, 2);
  grpBegin();
  grpAdd(before);
  grpAdd(&doc.defaultObject);
  grpAdd(after);
  glist* group = grpEnd();
  grpRetain(group);
  EXPECT_EQ(layerSet(reinterpret_cast<gobjRec*>(group), 2, 1), layerErrCannotHideWorkLayer);
  EXPECT_EQ(before->layer, 2);
  EXPECT_EQ(after->layer, 0);
  EXPECT_EQ(layerSet(reinterpret_cast<gobjRec*>(group), 0, 1), 0);
  EXPECT_EQ(before->layer, 0);
  EXPECT_FALSE(before->flags & gobjHidden);
  grpRelease(&group);
}

TEST_F(LayerPlacement, WithAttributesTakesColourPenAndFont) {
  layerRec* r = rec("construction");
  r->color = 12;
  r->pen = 3;
  r->font = 17;
  gobjRec* object = put(0);
  ASSERT_EQ(layerSetWithAttrs(object, 2), 0);
  EXPECT_EQ(object->color, 12);
  EXPECT_EQ(gobjPen(object), 3);
  EXPECT_EQ(gobjLineFont(object), 17);
  EXPECT_EQ(layerSetWithAttrs(object, 30), layerErrBadLayer);
}

class LayerOps : public layerfx::LayerTest {};

TEST_F(LayerOps, DefinedLayerCopiesTheWorkLayersAttributes) {
  layerRec* work = layerEntry(0);
  work->color = 5;
  work->pen = 2;
  work->font = 3;
  ASSERT_EQ(run("(Walls) aLayerDefine"), 0);
  const layerRec* walls = rec("Walls");
  ASSERT_NE(walls, nullptr);
  EXPECT_EQ(walls->color, 5);
  EXPECT_EQ(walls->pen, 2);
  EXPECT_EQ(walls->font, 3);
  EXPECT_EQ(events(), std::vector<uint32_t>{layerEvtDefined});
  struct Case {
    const char* text;
    int expected;
  } cases[] = {{"(Walls) aLayerDefine", tblErrNameExists},
               {"(walls) aLayerDefine", tblErrNameExists},
               {"(.hidden) aLayerDefine", tblErrBadName},
               {"() aLayerDefine", tblErrBadName}};
  for (const Case& c : cases) EXPECT_EQ(run(c.text), c.expected) << c.text;
  EXPECT_EQ(events().size(), 1u);
}

TEST_F(LayerOps, TheWorkLayerCannotBeHiddenInAnyMode) {
  gobjRec* object = put(0);
  EXPECT_EQ(run("(Layer1) 0 aLayerHide"), 0);
  EXPECT_EQ(run("(Layer1) 1 aLayerHide"), layerErrCannotHideWorkLayer);
  EXPECT_EQ(run("(Layer1) 2 aLayerHide"), layerErrCannotHideWorkLayer);
  EXPECT_EQ(layerEntry(0)->flags, 0);
  EXPECT_FALSE(object->flags & gobjHidden);
  EXPECT_TRUE(events().empty());
  EXPECT_EQ(run("(Nothing) 1 aLayerHide"), tblErrNotFound);
}

TEST_F(LayerOps, HidingAndShowingALayer) {
  gobjRec* a = put(2, 1);
  gobjRec* b = put(2, 2);
  gobjRec* other = put(0, 3);
  objSelect(a, 1);
  ASSERT_EQ(run("(construction) 1 aLayerHide"), 0);
  EXPECT_TRUE(rec("construction")->flags & layerHidden);
  EXPECT_TRUE(a->flags & gobjHidden);
  EXPECT_TRUE(b->flags & gobjHidden);
  EXPECT_FALSE(a->flags & gobjSelected);
  EXPECT_FALSE(other->flags & gobjHidden);
  // Hiding again changes nothing.
  ASSERT_EQ(run("(construction) 1 aLayerHide"), 0);
  ASSERT_EQ(run("(construction) 2 aLayerHide"), 0);
  EXPECT_FALSE(rec("construction")->flags & layerHidden);
  EXPECT_FALSE(a->flags & gobjHidden);
  // Showing a shown layer does nothing.
  ASSERT_EQ(run("(construction) 0 aLayerHide"), 0);
  EXPECT_EQ(events(), (std::vector<uint32_t>{layerEvtChanged, layerEvtChanged}));
}

TEST_F(LayerOps, DeletingTheWorkLayerIsRefused) {
  put(0);
  EXPECT_EQ(run("(Layer1) aLayerDelete"), layerErrCannotDeleteWorkLayer);
  EXPECT_EQ(inSieve().size(), 1u);
  EXPECT_EQ(number("Layer1"), 0);
  EXPECT_TRUE(events().empty());
}

TEST_F(LayerOps, DeletingMovesLockedObjectsToUnassigned) {
  gobjRec* plain = put(2, 1);
  gobjRec* locked = put(2, 2);
  gobjRec* other = put(0, 3);
  locked->flags |= gobjLocked;
  ASSERT_EQ(run("(construction) aLayerDelete"), 0);
  const std::vector<gobjRec*> left = inSieve();
  EXPECT_EQ(std::count(left.begin(), left.end(), plain), 0);
  EXPECT_EQ(std::count(left.begin(), left.end(), locked), 1);
  EXPECT_EQ(std::count(left.begin(), left.end(), other), 1);
  EXPECT_EQ(number("construction"), tblErrNotFound);
  EXPECT_EQ(locked->layer, number("unassigned"));
  EXPECT_EQ(events().back(), layerEvtDeleted);
  // The freed slot goes to the next layer defined; the locked object does not.
  ASSERT_EQ(define("Roof"), 0);
  EXPECT_EQ(number("Roof"), 2);
  EXPECT_NE(locked->layer, 2);
}

TEST_F(LayerOps, DeletingALayerWhenAnotherSlotIsAlreadyFree) {
  define("A");
  define("B");
  ASSERT_EQ(run("(A) aLayerDelete"), 0);
  EXPECT_EQ(run("(B) aLayerDelete"), 0);
  EXPECT_EQ(number("B"), tblErrNotFound);
}

TEST_F(LayerOps, Renaming) {
  define("Walls");
  struct Case {
    const char* text;
    int expected;
  } cases[] = {{"(Walls) (.x) aLayerRename", tblErrBadName},
               {"(Walls) () aLayerRename", tblErrBadName},
               {"(Walls) (construction) aLayerRename", tblErrNameExists},
               {"(Nothing) (Else) aLayerRename", tblErrNotFound},
               {"(Walls) (Doors) aLayerRename", 0}};
  events().clear();
  for (const Case& c : cases) EXPECT_EQ(run(c.text), c.expected) << c.text;
  EXPECT_EQ(number("Doors"), 3);
  EXPECT_EQ(events(), std::vector<uint32_t>{layerEvtChanged});
}

TEST_F(LayerOps, ListingSortsNaturallyWithMarks) {
  define("Layer 10");
  define("Layer 2");
  define("Hidden");
  rec("Hidden")->flags = layerHidden;
  layerEntry(0)->flags = layerHidden;  // a hidden work layer
  ASSERT_EQ(run("false aListLayers"), 0);
  EXPECT_EQ(stack(), "(construction) (Hidden) (Layer 2) (Layer 10) (Layer1)");
  ASSERT_EQ(run("true aListLayers"), 0);
  // Marks: 18 shown, 202 hidden; then 165 for the work layer, 202 for others.
  EXPECT_EQ(stack(), "(\\22\\312construction) (\\312\\312Hidden) (\\22\\312Layer 2) (\\22\\312Layer 10) "
                     "(\\312\\245Layer1)");
  ASSERT_EQ(run("false aListVisLayers"), 0);
  EXPECT_EQ(stack(), "(construction) (Layer 2) (Layer 10)");
  dbSetCurrentDoc(nullptr);
  EXPECT_EQ(run("false aListLayers"), feErrUndefined);
}

TEST_F(LayerOps, StripAndFindMarkedNames) {
  ASSERT_EQ(run("(\x12\xCAWalls) aStripName"), 0);
  EXPECT_EQ(stack(), "(Walls)");
  ASSERT_EQ(run("(Walls) [(\x12\xCA" "Doors) (\xCA\xA5Walls)] aLayerFind"), 0);
  EXPECT_EQ(stack(), "1 true");
  ASSERT_EQ(run("(Wall) [(\x12\xCA" "Doors) (\xCA\xA5Walls)] aLayerFind"), 0);
  EXPECT_EQ(stack(), "false");
}

TEST_F(LayerOps, NumbersAndGeneratedNames) {
  ASSERT_EQ(run("(construction) aLayerNumber"), 0);
  EXPECT_EQ(stack(), "2");
  // Scripts only look layers up: the create flag of the signature is 0.
  EXPECT_EQ(run("(Walls) aLayerNumber"), tblErrNotFound);
  ASSERT_EQ(run("(Layer^0) aLayerGenName"), 0);
  EXPECT_EQ(stack(), "(Layer2)");
}

TEST_F(LayerOps, LayerGroupHoldsTheObjectsOnTheLayer) {
  gobjRec* a = put(2, 1);
  put(0, 2);
  ASSERT_EQ(run("(construction) aLayer aCount"), 0);
  EXPECT_EQ(stack(), "1");
  EXPECT_EQ(run("(nothing) aLayer"), tblErrNotFound);
  glist* group = layerObjects(2);
  EXPECT_EQ(grpFirst(group), a);
  grpFree(group);
}

TEST_F(LayerOps, MatchingBySignature) {
  // Two sources share one box (one signature): a target with that box misses.
  gobjRec* s1 = &heldBox(1, 1, 0, 2, 2, 0)->head;
  gobjRec* s2 = &heldBox(3, 3, 0, 4, 4, 0)->head;
  gobjRec* s3 = &heldBox(3, 3, 0, 4, 4, 0)->head;
  gobjRec* hit = &heldBox(1, 1, 0, 2, 2, 0)->head;
  gobjRec* twice = &heldBox(3, 3, 0, 4, 4, 0)->head;
  gobjRec* none = &heldBox(7, 7, 0, 8, 8, 0)->head;
  for (gobjRec* o : {s1, s2, s3, hit, twice, none}) {
    double corners[6];
    objGetExtents(o, corners);
    bboxFromCorners(corners, corners + 3, o->box);
  }
  s1->layer = 3;
  s2->layer = 4;
  s3->layer = 5;
  for (gobjRec* o : {hit, twice, none}) o->layer = 7;
  hit->flags |= gobjHidden;
  grpBegin();
  for (gobjRec* o : {s1, s2, s3}) grpAdd(o);
  glist* source = grpEnd();
  grpBegin();
  for (gobjRec* o : {hit, twice, none}) grpAdd(o);
  glist* target = grpEnd();
  feObject values[2];
  feMakeObjRef(&values[0], source);
  feMakeObjRef(&values[1], target);
  clearStack();
  fePush(feOperandStack(), &values[0]);
  fePush(feOperandStack(), &values[1]);
  state().log.clear();
  ASSERT_EQ(feExecString("aLayerMatch"), 0);
  EXPECT_EQ(hit->layer, 3);
  EXPECT_EQ(twice->layer, 0);
  EXPECT_EQ(none->layer, 0);
  EXPECT_TRUE(hit->flags & gobjHidden);
  EXPECT_NE(state().log.find("[layerMatch] 1 hits, 2 misses\n"), std::string::npos);
  clearStack();
}

TEST_F(LayerOps, WorkLayer) {
  rec("construction")->flags = layerHidden;
  define("Walls");
  rec("Walls")->color = 6;
  EXPECT_EQ(run("(construction) aSetWorkLayer2"), layerErrCannotSetWorkLayer);
  EXPECT_EQ(run("(Nothing) aSetWorkLayer2"), tblErrNotFound);
  ASSERT_EQ(run("(Walls) aSetWorkLayer2"), 0);
  EXPECT_EQ(doc.workLayer, 3);
  EXPECT_EQ(doc.defaultObject.layer, 3);
  EXPECT_EQ(doc.defaultObject.color, 6);
  EXPECT_EQ(layerText("aCurLayer", "layer"), "(Walls)");
}

TEST_F(LayerOps, CurrentLayerFallsBackToTheFirstUsableLayer) {
  define("Spare");
  doc.workLayer = 0;
  layerEntry(0)->flags = layerHidden;
  rec("construction")->flags = layerNoWork;
  EXPECT_EQ(layerText("aCurLayer", "name"), "(Spare)");
  EXPECT_EQ(doc.workLayer, 3);
  // Nothing usable: the old work layer's object.
  layerEntry(3)->flags = layerHidden;
  EXPECT_EQ(layerText("aCurLayer", "name"), "(Spare)");
  // Without a document: the object of layer 0.
  dbSetCurrentDoc(nullptr);
  ASSERT_EQ(run("aCurLayer"), 0);
  gobjRec* object = layerObject();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->classId, layerClassId());
  EXPECT_EQ(object->layer, 0);
  EXPECT_EQ(object->refCount, 1);
  objRelease(&object);
}

TEST_F(LayerOps, LayerObjectKeys) {
  ASSERT_EQ(run("(Walls) aFindNamedLayer"), 0);
  gobjRec* walls = layerObject();
  ASSERT_NE(walls, nullptr);
  ASSERT_EQ(set(walls, "colorno", execfx::integer(7)), 0);
  ASSERT_EQ(set(walls, "linewidth", execfx::integer(3)), 0);
  ASSERT_EQ(set(walls, "linefontno", execfx::integer(9)), 0);
  feObject text;
  feMakeString(&text, "Doors", 5);
  ASSERT_EQ(set(walls, "name", text), 0);
  struct Case {
    const char* key;
    const char* value;
  } cases[] = {{"colorno", "7"}, {"linewidth", "3"}, {"linefontno", "9"}, {"visible", "true"},
               {"layer", "(Doors)"}, {"name", "(Doors)"}};
  for (const Case& c : cases) {
    std::string value;
    ASSERT_EQ(get(walls, c.key, &value), 0) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
  feMakeString(&text, "construction", 12);
  EXPECT_EQ(set(walls, "name", text), tblErrNameExists);
  state().log.clear();
  EXPECT_EQ(set(walls, "height", execfx::integer(3)), feErrUnknownKey);
  EXPECT_NE(state().log.find("[layer.c] layerPut: bad key\n"), std::string::npos);
  EXPECT_EQ(get(walls, "height", nullptr), feErrUnknownKey);
  // "visible" hides and shows under the rules of aLayerHide.
  ASSERT_EQ(set(walls, "visible", feObject(*feFalse())), 0);
  EXPECT_TRUE(rec("Doors")->flags & layerHidden);
  objRelease(&walls);
  ASSERT_EQ(run("(Layer1) aFindNamedLayer"), 0);
  gobjRec* work = layerObject();
  EXPECT_EQ(set(work, "visible", feObject(*feFalse())), layerErrCannotHideWorkLayer);
  // A change to the work layer reaches the default object.
  ASSERT_EQ(set(work, "colorno", execfx::integer(11)), 0);
  EXPECT_EQ(doc.defaultObject.color, 11);
  // Without a document the keys are refused.
  dbSetCurrentDoc(nullptr);
  EXPECT_EQ(get(work, "colorno", nullptr), layerErrNoDoc);
  objRelease(&work);
}

TEST_F(LayerOps, ObjectKeysLayerAndLayerNo) {
  rec("construction")->flags = layerHidden;
  gobjRec* object = put(0);
  std::string text;
  ASSERT_EQ(get(object, "layer", &text), 0);
  EXPECT_EQ(text, "(Layer1)");
  feObject value;
  feMakeString(&value, "construction", 12);
  ASSERT_EQ(set(object, "layer", value), 0);
  EXPECT_EQ(object->layer, 2);
  EXPECT_TRUE(object->flags & gobjHidden);
  feMakeString(&value, "nothing", 7);
  EXPECT_EQ(set(object, "layer", value), tblErrNotFound);
  EXPECT_EQ(set(object, "layerno", execfx::integer(0)), 0);
  EXPECT_EQ(object->layer, 0);
  EXPECT_FALSE(object->flags & gobjHidden);
  EXPECT_EQ(set(object, "layerno", execfx::integer(40)), layerErrBadLayer);
  EXPECT_EQ(set(object, "layerno", execfx::integer(300)), feErrRangeCheck);
  EXPECT_EQ(object->layer, 0);
}

TEST_F(LayerOps, ClumpElementHidingSwitch) {
  EXPECT_FALSE(layerClumpHideOn());
  ASSERT_EQ(run("aStartClumpElementLayerHide"), 0);
  EXPECT_TRUE(layerClumpHideOn());
  ASSERT_EQ(run("aEndClumpElementLayerHide"), 0);
  EXPECT_FALSE(layerClumpHideOn());
}

class DefaultObjectOps : public layerfx::LayerTest {
protected:
  void SetUp() override {
    LayerTest::SetUp();
    if (!execfx::defined("aSetDefaultStyle")) gobjOpsInit();
  }
};

TEST_F(DefaultObjectOps, DefaultObjectAsAGroupOfOne) {
  doc.defaultObject.color = 4;
  ASSERT_EQ(run("aDefaultObject aCount aObjectDefault aCount"), 0);
  EXPECT_EQ(stack(), "1 1");
  ASSERT_EQ(run("aDefaultObject"), 0);
  gobjRec* group = layerObject();
  EXPECT_EQ(grpFirst(reinterpret_cast<glist*>(group)), &doc.defaultObject);
  objRelease(&group);
  EXPECT_EQ(doc.defaultObject.refCount, gobjPermanent);
  // Without a document: no group (the signature ignores the answer).
  dbSetCurrentDoc(nullptr);
  ASSERT_EQ(run("aDefaultObject"), 0);
  EXPECT_EQ(stack(), "-null-");
}

TEST_F(DefaultObjectOps, SetDefaultStyleGivesStyleColourAndLayer) {
  layerEntry(2)->flags = layerHidden;
  define("Walls");
  doc.defaultObject.style = uint8_t(2 << 5 | 7);
  doc.defaultObject.color = 9;
  doc.defaultObject.layer = 3;
  gobjRec* a = put(2, 1);
  gobjRec* b = put(0, 2);
  grpBegin();
  grpAdd(a);
  grpAdd(b);
  glist* group = grpEnd();
  feObject value;
  feMakeObjRef(&value, group);
  clearStack();
  feDup(&value);
  fePush(feOperandStack(), &value);
  ASSERT_EQ(feExecString("aSetDefaultStyle"), 0);
  for (gobjRec* o : {a, b}) {
    EXPECT_EQ(o->style, doc.defaultObject.style);
    EXPECT_EQ(o->color, 9);
    EXPECT_EQ(o->layer, 3);
    EXPECT_FALSE(o->flags & gobjHidden);
  }
  fePush(feOperandStack(), &value);
  dbSetCurrentDoc(nullptr);
  EXPECT_EQ(feExecString("aSetDefaultStyle"), layerErrNoDoc);
  clearStack();
}

}  // namespace
