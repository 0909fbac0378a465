// The pending lists of the models: each model's update list, kept here by
// model number (the model record has no place for it), and the source that
// tells the update queue which list is current.
#include "views/redraw.h"
#include "views/redraw_internal.h"

#include "objects/group.h"
#include "objects/objops.h"
#include "objects/update.h"
#include "views/current.h"
#include "views/model.h"

#include <map>

namespace {

struct Pending {
  modelRec* model;
  glist* list;
};

// Map nodes stay where they are, so a slot handed out stays valid while
// other models come and go.
std::map<uint32_t, Pending>& lists() {
  static std::map<uint32_t, Pending> table;
  return table;
}

glist** currentList() { return vwPendingSlot(vwCurModel()); }

}  // namespace

glist** vwPendingSlot(modelRec* model) {
  if (!model) return nullptr;
  Pending& entry = lists()[model->number];
  if (entry.model != model) {
    // The number belonged to a model that was not forgotten: its list is
    // nobody's now.
    grpFree(entry.list);
    entry = Pending{model, nullptr};
  }
  return &entry.list;
}

glist* vwPendingTake(modelRec* model) {
  glist** slot = vwPendingSlot(model);
  if (!slot) return nullptr;
  glist* list = *slot;
  *slot = nullptr;
  return list;
}

void vwRedrawForgetModel(modelRec* model) {
  if (!model) return;
  auto found = lists().find(model->number);
  if (found == lists().end() || found->second.model != model) return;
  grpFree(found->second.list);
  lists().erase(found);
}

void vwRedrawInstall() {
  objUpdateSetListSource(currentList);
  objSetDrawDeferHandler(vwOpDrawDeferList);
}

void vwRedrawReset() {
  redrawint::resetLists();
  redrawint::resetFlags();
  redrawint::resetHooks();
  redrawint::resetBlink();
  vwSetFeedbackHook(nullptr);
  vwSetSelModeSource(nullptr);
}

namespace redrawint {

void resetLists() {
  for (auto& [number, entry] : lists()) grpFree(entry.list);
  lists().clear();
}

}  // namespace redrawint
