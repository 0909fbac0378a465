// The model operators.
#include "views/model.h"

#include "fe/opcall.h"
#include "fe/script.h"
#include "views/current.h"
#include "views/view.h"
#include "views/vwinit.h"

// "!#B": the current view's model, when it has one, then whether it did.
int vwOpCurModelX(feArgs* args) {
  const viewRec* view = vwCurView();
  modelRec* model = view ? view->model : nullptr;
  if (model) fePushValue(model);
  *static_cast<int32_t*>(args->out[0]) = model ? 1 : 0;
  return 0;
}

// "Q[model]#Q".
int vwOpModelCopy(feArgs* args) {
  modelRec* copy = nullptr;
  if (const int answer = modelCopy(static_cast<const modelRec*>(args->in[0].record), &copy)) return answer;
  *static_cast<void**>(args->out[0]) = copy;
  return 0;
}

// "S#Q": the current document's model of that title; -1 when none.
int vwOpModelWithName(feArgs* args) {
  const docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  const feArgText& title = args->in[0].text;
  modelRec* model = modelFind(doc, title.text, uint32_t(title.length));
  if (!model) return -1;
  *static_cast<void**>(args->out[0]) = model;
  return 0;
}
