// Model records: creation, linking into a document, removal and freeing,
// the current model, copies and look-up by title.
#include "views/model.h"
#include "views/redraw.h"
#include "views/model_internal.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "core/xlate.h"
#include "objects/docvar_sheet.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/uniquename.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <cstring>
#include <string>

namespace {

constexpr double kSieveExtent = 300;  // a new model's sieve spans -300..300 on every axis

int modelTaken(void* context, const char* name, uint32_t length) {
  return modelFind(static_cast<const docRec*>(context), name, length) != nullptr;
}

// Every view of every sheet of the document that shows the model goes.
void deleteViewsOf(docRec* doc, const modelRec* model) {
  if (!doc) return;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    viewRec* view = sheet->firstView;
    while (view) {
      viewRec* next = view->next;
      if (view->model == model) vwDelete(view);
      view = next;
    }
  }
}

// Unlinks the model, deletes the views that show it and drops the
// document's reference. The model is held while its views go, since each
// view gives back a reference of its own.
int detach(modelRec* model) {
  docRec* doc = model->owner;
  if (const int answer = ownedUnlink(model)) return answer;
  feObjRefRetain(model);
  deleteViewsOf(doc, model);
  model->owner = nullptr;
  // A script may keep the model past its document: its sieve lets go of the
  // document's settings record, which goes with the document; its pending
  // redraws go and it is no longer current, as nothing shows it any more.
  sieveSetDoc(model->sieve, nullptr);
  vwRedrawForgetModel(model);
  if (vwCurModel() == model) vwRecordCurModel(nullptr);
  if (vwActiveModel() == model) vwSetActiveModel(nullptr);
  if (const wplaneRec* plane = wpCurrent(); plane && plane->owner == model) wpSetCurrent(nullptr);
  feObjRefRelease(model);
  feObjRefRelease(model);
  return 0;
}

int deleteObject(gobjRec* object, void*) {
  objMeth(object->classId, msgDetach, object);
  return 0;
}

}  // namespace

int modelCreate(modelRec** out) {
  modelRec* model = nullptr;
  uAlloc(&model, nullptr, 1, sizeof(modelRec));
  std::memset(model, 0, sizeof *model);
  ++vwLive().models;
  model->head.object.classId = modelClassId();
  model->head.desc = modelListDesc();
  model->number = modelint::tableTake(model);
  model->title = uStrDup("", 0, nullptr);
  const char* world = "World";
  xlateStr(0, "World", &world);
  const double origin[3] = {0, 0, 0}, right[3] = {1, 0, 0}, up[3] = {0, 1, 0};
  wplaneRec* plane = wpCreate(world ? world : "World", wpWorld, origin, right, up);
  wpAddToModel(model, plane);
  model->curPlane = plane;
  sheetNew(&model->settings);
  *out = model;
  return 0;
}

void modelLink(modelRec* model, docRec* doc) {
  if (!model || !doc || model->owner) return;
  bool keep = false;
  if (model->title && *model->title) {
    keep = !modelFind(doc, model->title, uint32_t(std::strlen(model->title)));
    if (!keep) uAlert(0, "TModel '^0' already exists", model->title);
  }
  if (!keep) uniqueName(&model->title, "Model ^0", modelTaken, doc);
  model->owner = doc;
  ownedInsert(model, 0);
  feObjRefRetain(model);
  if (!model->sieve) {
    const double low[3] = {-kSieveExtent, -kSieveExtent, -kSieveExtent};
    const double high[3] = {kSieveExtent, kSieveExtent, kSieveExtent};
    int16_t box[6];
    bboxFromCorners(low, high, box);
    model->sieve = sieveNew(sieveMinCells, box, doc->settings, uint16_t(model->number));
  } else {
    sieveSetDoc(model->sieve, doc->settings);
  }
}

int modelIsShown(const modelRec* model) {
  if (!model || !model->owner) return 0;
  for (const sheetRec* sheet = model->owner->firstSheet; sheet; sheet = sheet->next)
    if (sheet->activeView && sheet->activeView->model == model) return 1;
  return 0;
}

int modelRemove(modelRec* model) {
  if (!model) return vwErrBadArg;
  if (modelIsShown(model)) return vwErrNoCurModel;
  return detach(model);
}

void docRemoveModels(docRec* doc) {
  if (!doc) return;
  while (modelRec* model = doc->firstModel) {
    if (detach(model) != 0) {
      dbgPanic("model of a closing document stays");
      break;
    }
  }
  doc->firstModel = nullptr;
}

void modelFree(modelRec* model) {
  if (!model) return;
  if (vwCurModel() == model) vwRecordCurModel(nullptr);
  if (vwActiveModel() == model) vwSetActiveModel(nullptr);
  vwRedrawForgetModel(model);
  if (model->sieve) sieveForEach(model->sieve, deleteObject, nullptr);
  if (model->settings) sheetFree(model->settings);
  model->settings = nullptr;
  if (model->sieve) {
    if (sieveCurrent() == model->sieve) sieveSetCurrent(nullptr);
    sieveFree(model->sieve, 1);
    model->sieve = nullptr;
  }
  // The planes go with the model, the locked ones and the current one too.
  wpDeleteAll(model);
  modelint::tableDrop(model);
  uFreeIfSet(&model->title);
  uFree(&model);
  --vwLive().models;
}

void modelSetCurrent(modelRec* model) {
  if (model == vwCurModel()) return;
  dbSheetRec* settings = model ? model->settings : nullptr;
  sheetSetCurrent(settings);
  vwRecordCurModel(model);
  sieveSetCurrent(model ? model->sieve : nullptr);
  if (!model) return;
  // A document that aligns the plane keeps the current plane across
  // models.
  const docRec* doc = vwCurDoc();
  const bool keepPlane = model->owner && wpCurrent() && (!doc || (doc->flags & docAlignPlane));
  if (!keepPlane) wpSetCurrent(model->curPlane);
}

int modelCopy(const modelRec* source, modelRec** out) {
  if (!source) return vwErrBadArg;
  modelRec* model = nullptr;
  modelCreate(&model);
  uStrDup(source->title, uint32_t(std::strlen(source->title)), &model->title);
  wpCopyPlanes(source, model);
  *out = model;
  return 0;
}

modelRec* modelFind(const docRec* doc, const char* title, uint32_t length) {
  if (!doc || !title) return nullptr;
  const std::string wanted(title, length);
  for (modelRec* model = doc->firstModel; model; model = model->next)
    if (uStrNatCmpAll(model->title, wanted.c_str()) == 0) return model;
  return nullptr;
}

void docForEachModel(docRec* doc, void (*callback)(modelRec* model, void* argument), void* argument) {
  if (!doc || !callback) return;
  modelRec* model = doc->firstModel;
  while (model) {
    modelRec* next = model->next;
    callback(model, argument);
    model = next;
  }
}

sieveRec* modelGetList(const modelRec* model) { return model ? model->sieve : nullptr; }
