// The model table, which the display-list drawing indexes by model number,
// and the display-list notes and counters of each model.
#include "views/model.h"
#include "views/model_internal.h"

#include "core/alloc.h"
#include "core/errors.h"

namespace {

constexpr uint32_t kTableGrowth = 8;
constexpr uint32_t kNoteGrowth = 32;
constexpr uint32_t kNoteGrowLimit = 100;  // a full list above this many entries takes no more

modelRec** table = nullptr;
uint32_t tableCount = 0;
dlistStateFn stateSource = nullptr;

int note(uint32_t number, gobjRec* object, modelNoteList modelRec::*which) {
  modelRec* model = dlistOfModel(number);
  if (!model || !stateSource || !stateSource()) return -1;
  modelNoteList& list = model->*which;
  if (list.count == list.capacity) {
    if (list.count > kNoteGrowLimit) return feErrLimitCheck;
    uAlloc(&list.items, &list.capacity, list.capacity + kNoteGrowth, sizeof(gobjRec*));
  }
  list.items[list.count++] = object;
  return 0;
}

void freeNotes(modelNoteList& list) {
  uFreeIfSet(&list.items);
  list.capacity = list.count = 0;
}

}  // namespace

modelRec* dlistOfModel(uint32_t number) { return number < tableCount ? table[number] : nullptr; }

int dlistNoteRemove(uint32_t modelNumber, gobjRec* object) { return note(modelNumber, object, &modelRec::removed); }
int dlistNoteInsert(gobjRec* object, uint32_t modelNumber) { return note(modelNumber, object, &modelRec::inserted); }

void dlistSetStateSource(dlistStateFn source) { stateSource = source; }

uint32_t modelDlCounter(const modelRec* model, int index) {
  return model && index >= 0 && index < 4 ? model->dlCounters[index] : 0;
}

void modelDlCounterRaise(modelRec* model, int index) {
  if (model && (index == 0 || index == 2)) ++model->dlCounters[index];
}

namespace modelint {

uint32_t tableTake(modelRec* model) {
  uint32_t slot = 0;
  while (slot < tableCount && table[slot]) ++slot;
  if (slot == tableCount) uAlloc(&table, &tableCount, tableCount + kTableGrowth, sizeof(modelRec*));
  table[slot] = model;
  return slot;
}

void tableDrop(modelRec* model) {
  if (model->number < tableCount && table[model->number] == model) table[model->number] = nullptr;
  freeNotes(model->removed);
  freeNotes(model->inserted);
}

}  // namespace modelint
