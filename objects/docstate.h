// The current document as the object model sees it: the default object that
// new objects copy, the select colour, the work layer, the current model and
// the sieve that holds the document's objects.
//
// Until documents exist a program-wide default head stands in when there is
// no current document.
#ifndef PLUMET_OBJECTS_DOCSTATE_H
#define PLUMET_OBJECTS_DOCSTATE_H

#include "objects/gobject.h"

#include <cstdint>

struct dbDocRec {
  gobjRec defaultObject;   // style, colour and layer of new objects
  uint8_t selectColor;     // colour number of selected objects
  uint8_t workLayer;       // layer number new objects fall back to
  uint8_t currentModel;    // model number of the current model
  void* sieve;             // the current sieve, or null
};

// The current document, or null.
dbDocRec* dbCurrentDoc();
void dbSetCurrentDoc(dbDocRec* doc);

// The head new objects copy: the current document's default object, or the
// program-wide default when there is no document.
const gobjRec* gobjDefaultHead();

#endif
