#include "objects/docstate.h"

namespace {

dbDocRec* current = nullptr;

// What new objects copy while no document is current: line font 0, pen 0,
// colour 0, layer 0, no flags.
const gobjRec programDefault = {};

}  // namespace

dbDocRec* dbCurrentDoc() { return current; }

dbDocRec* dbDocCurrent() { return current; }

void dbSetCurrentDoc(dbDocRec* doc) { current = doc; }

const gobjRec* gobjDefaultHead() { return current ? &current->defaultObject : &programDefault; }

gobjRec* docDefaultObj() { return current ? &current->defaultObject : nullptr; }

void docWorkLayerSet(uint8_t layer) {
  if (current) current->workLayer = layer;
}

uint8_t docWorkLayerGet() { return current ? current->workLayer : 0; }
