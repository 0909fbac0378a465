// The current document as the object model sees it: the default object that
// new objects copy, the select colour, the work layer, the current model,
// the sieve that holds the document's objects, its layer table and the
// counter of its object ids.
//
// Until documents exist a program-wide default head stands in when there is
// no current document.
#ifndef PLUMET_OBJECTS_DOCSTATE_H
#define PLUMET_OBJECTS_DOCSTATE_H

#include "objects/gobject.h"

#include <cstdint>

struct sieveRec;
struct numTbl;

struct dbDocRec {
  gobjRec defaultObject;   // style, colour and layer of new objects
  uint8_t selectColor;     // colour number of selected objects
  uint8_t workLayer;       // layer number new objects fall back to
  uint8_t currentModel;    // model number of the current model
  sieveRec* sieve;         // the current sieve, or null
  numTbl* layers;          // the document's layer table, or null
  uint32_t idCounter;      // the next object id the document gives
  uint16_t docId;          // the document's number
};

// The current document, or null.
dbDocRec* dbCurrentDoc();
void dbSetCurrentDoc(dbDocRec* doc);

// The head new objects copy: the current document's default object, or the
// program-wide default when there is no document.
const gobjRec* gobjDefaultHead();

#endif
