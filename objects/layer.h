// Layers: every drawing object lies on one layer, named by the layer byte of
// its head. A document's layers form its layer table, a numbered table
// (objects/numtbl.h) of up to 256 layer records kept in dbDocRec; without a
// current document a default table stands in, made once on first use from
// the translated templates "Layer^0", ".temp" and "construction".
//
// A layer can be hidden (its objects then carry flag 0x0200), and has a
// colour, a pen index and a line font that objects placed on it may take
// over. Names beginning with "." are system layers: never listed, never the
// work layer, and not for scripts to define or rename to. The work layer is
// the byte dbDocRec::workLayer; the document's default object follows its
// attributes.
//
// The module also gives the classes "layer" (layer objects handed to
// scripts, with the keys "colorno", "linewidth", "linefontno", "visible",
// "layer"/"name") and "layrtbl" (the type of the layer segment in drawing
// files), the layer field of object records (format letter L) and the
// layer segment of the drawing file (header word 4), and the 17 layer
// operators. Layer changes are signalled as application events 0x20001
// (defined), 0x20002 (deleted) and 0x20007 (hidden, shown or renamed).
#ifndef PLUMET_OBJECTS_LAYER_H
#define PLUMET_OBJECTS_LAYER_H

#include "core/format.h"
#include "objects/gobject.h"
#include "objects/ioctx.h"
#include "objects/numtbl.h"

#include <cstdint>
#include <string>

struct dbDocRec;

// One record of a layer table. The four bytes after the name travel in
// files as one 32-bit word: flags | colour << 8 | pen << 16 | font << 24.
struct layerRec {
  char* name;       // owned; empty: a free slot
  uint8_t flags;    // layerHidden, layerNoWork
  uint8_t color;    // colour number
  uint8_t pen;      // pen width index 0-7
  uint8_t font;     // line-font number 0-31
};

enum : uint8_t {
  layerHidden = 0x01,   // objects on the layer carry flag 0x0200
  layerNoWork = 0x02,   // never chosen as the work layer by aCurLayer
};

enum : uint32_t { layerMax = 256 };
enum : uint16_t { layerMapNone = 65535 };   // a layer-map entry naming no layer

// The codes of layer operations (besides those of objects/numtbl.h).
enum layerError {
  layerErrBadLayer = -4106,
  layerErrLocked = -4126,
  layerErrCannotHideWorkLayer = -4128,
  layerErrCannotDeleteWorkLayer = -4130,
  layerErrCannotSetWorkLayer = -4142,
  layerErrNoDoc = -4146,
};

// Application events signalled by layer changes (argument 0).
enum : uint32_t {
  layerEvtDefined = 0x20001,
  layerEvtDeleted = 0x20002,
  layerEvtChanged = 0x20007,
};

// Registers the classes "layer" and "layrtbl", the 17 layer operators and
// the two table operators of layers, the L coder and the layer segment hook.
void layerInit();
uint16_t layerClassId();
uint16_t layrtblClassId();

// Tables. layerTblCurrent: the current document's table, else the default
// table (made on first use). layerTblNew: an empty table; bit 0 of the
// argument adds the default layers. layerTblCopy: a new table with a layer
// of the same name and attributes for each named layer of the given one.
numTbl* layerTblCurrent();
numTbl* layerTblNew(int withDefaults);
numTbl* layerTblCopy(numTbl* table);
// The record of a layer number in the current table, or null.
layerRec* layerEntry(int32_t number);
// For each layer of the first document's table, in number order, the layer
// of the same name in the second's (created when missing): a new allocator
// array of numbers (free it with uFree) and its count. -1 when either
// document has no table.
int layerMapDocs(dbDocRec* from, dbDocRec* to, int32_t** outMap, uint32_t* outCount);

// The object's layer byte.
uint8_t objLayerNo(const gobjRec* object);

// Places an object, or every member of a group, on layer n: the layer byte,
// and flag 0x0200 from the layer's hidden bit. With redraw set an object
// being hidden is damaged first and one being shown is queued for drawing.
// A document's default object (class "gobject" itself) cannot go to a hidden
// layer: -4128.
int layerSet(gobjRec* object, int32_t n, int redraw);
// The same with the layer found by name (never created): the find error
// when missing.
int layerSetByName(gobjRec* object, const char* name, uint32_t length, int redraw);
template <class... A>
int layerSetByFmt(gobjRec* object, int redraw, const char* format, const A&... args) {
  const std::string name = uFormat(format, args...);
  return layerSetByName(object, name.data(), uint32_t(name.size()), redraw);
}
// Flag 0x0200 of the object := the hidden bit of its layer (clear for a
// layer without a record). Reading an object record uses it after the layer
// number was read.
void layerTakeHidden(gobjRec* object);
// layerSet without redraw, then the object takes the layer's colour, pen
// (style bits 5-7) and line font (bits 0-4). -4106 for a layer without a
// record.
int layerSetWithAttrs(gobjRec* object, int32_t n);

// The layer test: answers 0 when the object's layer has a record (flag 1
// when the layer is shown, 0 when hidden); -4146 without a current
// document, -2 without a table, -1 for a layer number with no record. The
// insert of a document object counts any answer but 0 as a layer that is
// not usable (the object then goes to the work layer).
int layerIsVisible(const gobjRec* object, int* outFlag);
// 1: -1 hidden, 0 shown; 2: -1 shown, 0 hidden; 3: the number; 4: 0 when
// the layer has a non-empty name. Anything else and a missing layer: -1.
int layerQuery(int what, int32_t number);
int layerQueryByName(int what, const char* name, uint32_t length);
template <class... A>
int layerQueryByFmt(int what, const char* format, const A&... args) {
  const std::string name = uFormat(format, args...);
  return layerQueryByName(what, name.data(), uint32_t(name.size()));
}

enum : int {
  layerFindCreate = 1,      // create the layer when missing
  layerFindTranslate = 2,   // translate the name first (xlateStr)
};
// The number of a layer of the current table, or the find error.
int layerFind(const char* name, uint32_t length, int flags);
int layerNumber(const char* name, uint32_t length);
// The name of a layer (see tblName).
int layerName(int32_t number, const char** outText, uint32_t* outLength);
// 0 with the four attribute bytes (each out may be null), -1 for no record.
int layerGetAttrs(int32_t number, uint8_t* flags, uint8_t* color, uint8_t* pen, uint8_t* font);
uint32_t layerCount();
// Whether clump-element layer hiding is on (aStartClumpElementLayerHide).
bool layerClumpHideOn();

// The number of the layer "unassigned" of the table (found or created); the
// first time for a given file it logs that the layer is made. -1 when the
// table cannot take it.
int MakeZombieLayer(ioCtx* ctx, numTbl* table);

// The coder of format letter L: an object's layer number in a record (the
// compact integer of a 16-bit value), counted per layer while writing and
// mapped through the file's layer segment while reading.
int objLayerIO(ioCtx* ctx, uint8_t* layer);
// The hook of the layer segment (header word 4): events 11 to 16.
int layerTblIO(ioCtx* ctx, int event);

// The layer object of a layer number: a new record of class "layer" (count
// 0; the caller holds it), or null.
gobjRec* layerObjNew(int32_t number);

#endif
