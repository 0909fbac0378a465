// What the model files share among themselves: the model table.
#ifndef PLUMET_VIEWS_MODEL_INTERNAL_H
#define PLUMET_VIEWS_MODEL_INTERNAL_H

#include <cstdint>

struct modelRec;

namespace modelint {

// Puts the model in the first empty slot of the table (grown by 8 slots)
// and answers the slot's number.
uint32_t tableTake(modelRec* model);
// Empties the model's slot and frees its note lists.
void tableDrop(modelRec* model);

}  // namespace modelint

#endif
