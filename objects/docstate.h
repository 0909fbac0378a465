// The current document as the object model sees it: one dbDocRec per open
// document, one of them current. The record holds the default object that
// new objects copy, the select colour, the work layer, the current model,
// the sieve that holds the document's objects, its layer table, the counter
// of its object ids, and the settings that travel with the document's file
// (objects/docvar.h): the parameter dictionary, pen weights, visual
// settings, default lights, tool types and the values of the scripts' saved
// variables.
//
// Records are made, switched and freed by the document events of
// dbDocEvent (objects/docvar.h); objects that scripts keep find them by
// number (objects/doclive.h). Until documents exist a program-wide default
// head stands in when there is no current document.
#ifndef PLUMET_OBJECTS_DOCSTATE_H
#define PLUMET_OBJECTS_DOCSTATE_H

#include "core/units.h"
#include "objects/gobject.h"

#include <cstdint>

struct sieveRec;
struct numTbl;
struct feObject;
struct ddBlock;
struct cTab;

enum : uint32_t {
  docPenWeightCount = 8,
  docVisualSize = 16,
  docLightSize = 368,
  docGridSize = 64,     // the grid module's block (kept zeroed until it exists)
  docAssistSize = 64,   // the drafting assistant's block (kept zeroed until it exists)
};

struct dbDocRec {
  gobjRec defaultObject;   // style, colour and layer of new objects (class gobject, permanent)
  uint8_t selectColor;     // colour number of selected objects ($SELCOLOR)
  uint8_t workLayer;       // layer number new objects fall back to ($WORKLAYER)
  uint8_t currentModel;    // model number of the current model
  sieveRec* sieve;         // the current sieve, or null
  numTbl* layers;          // the document's layer table, or null
  uint32_t idCounter;      // the next object id the document gives
  uint16_t docId;          // the document's number

  uint16_t word0;          // always 0
  uint8_t useCount;        // 255: never freed; saturates
  void* document;          // the document that owns this record
  uint32_t identifier;     // n << 24 | n, n the count of records made so far
  uint32_t identifierHigh; // n << 24
  uint32_t hitRadius;      // pick distance in pixels
  feObject* savedValues;   // one value per entry of the saved-variable list
  uint32_t savedCount;
  ddBlock* params;         // $PARAMS, a packed dictionary (null: empty)
  void* charStyle;         // $CHSTYLE: a styleRec (objects/style.h), one reference held;
                           // kept by the style module's document hook (null before styleInit)
  uint16_t unitsMode;      // the units mode word
  uint16_t arrowEnds;      // default arrowhead ends of new lines: bit 0 start, bit 1 end (aLineArrow)
  gobjRec* owned;          // an object owned by the record, freed with it
  uint8_t grid[docGridSize];
  unitsRec units;          // the units record (eight words, core/units.h)
  uint8_t assist[docAssistSize];
  double penWeights[docPenWeightCount];   // $PENWEIGHTS
  cTab* colorState;        // the document's colour table (one reference held)
  uint8_t visual[docVisualSize];          // $VISUALCON
  uint8_t* toolTypes;      // one byte per icon
  uint32_t toolTypeCount;
  uint8_t defaultLights[docLightSize];    // $DEFAULTLIGHT
  ddBlock* attrs;          // the document's attribute dictionary (class docdict reaches it)
  struct symbRec* symbols; // the document's symbol masters, newest first (objects/symb.h); not copied
  uint32_t liveNumber;     // the record's number among those that exist (objects/doclive.h)
  uint8_t defaultHeld;     // set once the default object was given to a script (aDefaultObject):
                           // the record is then retired rather than freed with its document
};

// The current document, or null (dbDocCurrent is the same).
dbDocRec* dbCurrentDoc();
dbDocRec* dbDocCurrent();
// Makes a record current without the document events (tests and stand-ins
// that fill a record by hand).
void dbSetCurrentDoc(dbDocRec* doc);

// The head new objects copy: the current document's default object, or the
// program-wide default when there is no document.
const gobjRec* gobjDefaultHead();
// The default object of the current record, or null.
gobjRec* docDefaultObj();

// The work layer of the current record (0 without one); setting does
// nothing without a current record.
void docWorkLayerSet(uint8_t layer);
uint8_t docWorkLayerGet();

#endif
