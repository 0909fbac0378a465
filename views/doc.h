// Documents: the unit a user opens, saves and closes. A document owns its
// models, its sheets with their views, its named view directions, a
// print-setup block and a settings record (objects/docstate.h). This module
// keeps the list of open documents (newest first), the current document,
// the preferences document every new document is copied from, the view
// numbers of the document's views, the document attribute keys, auto-save
// and the document operators.
#ifndef PLUMET_VIEWS_DOC_H
#define PLUMET_VIEWS_DOC_H

#include "fe/value.h"

#include <cstdint>

struct feArgs;
struct sheetRec;
struct modelRec;
struct dbDocRec;
struct vdefRec;

enum docFlag : uint32_t {
  docDirty = 0x01,        // changed since saved
  docUntitled = 0x02,     // never given a title, nor read from a file
  docShowPlane = 0x04,
  docAlignPlane = 0x08,
  docPlotShow = 0x20,     // also the settings variable "$SHOWPAGE"
  docPreview = 0x40,
  docAutoSaveDue = 0x80,  // changed since the last auto-save
};

// The record of class "document". Other flag bits are kept and copied.
struct docRec {
  feObjRecord object;       // class id, use count (255: permanent)
  uint32_t flags;           // docFlag
  char* title;              // allocator block, "" at creation
  sheetRec* firstSheet;
  modelRec* firstModel;
  docRec* nextOpen;         // the open-document list
  vdefRec* firstVdir;       // the first view direction
  uint8_t* printSetup;      // the print-setup block
  uint32_t printSetupLength;
  uint8_t* viewNumbers;     // bit n of the set marks view number n taken
  uint32_t viewNumbersLength;  // bytes
  uint32_t remapCapacity;   // the view-number remap table of a file read
  uint32_t remapCount;      // 32-bit words used
  uint32_t* remap;          // triples of words
  dbDocRec* settings;       // the settings record, made by the document events
  uint32_t registerWord;    // key of the file-lock record; 0: none
};

// Registers class "document" under viewobj, has the document events keep
// each document's settings record in its settings field, registers the
// settings variables, and answers the class id.
uint16_t docClassInit(uint16_t viewobjClass);
uint16_t docClassId();
// 1 when object is a document record.
int docIs(const void* object);

// Message 300 of the class: a new untitled document, signalling 0x1010001.
int docCreate(docRec** out);
// A new document with copies of the source's models, print setup, view
// directions, sheets and colour table.
int docCopy(docRec* source, docRec** out);
// Message 100.
void docFree(docRec* doc);
void docAddOpen(docRec* doc);
void docRemoveOpen(docRec* doc);
docRec* docFindOpen(const char* title, uint32_t length);
docRec* docFirstOpen();
void docSetCurrent(docRec* doc);
// While set, docSetCurrent does nothing (a file being read keeps its
// document from switching).
void docSetCurrentInhibit(int inhibit);
// 1 when the document is on the open list.
int docIsOpen(const docRec* doc);
// 1 for a document that was closed (or never opened) and that a script
// still holds: neither open nor the preferences document. Nothing may be
// linked to it, since nothing unlinks its parts again.
int docIsClosed(const docRec* doc);
// The menu state of the document list: bit 0 of the menu word says whether
// a document is open; when none is, 0x1010009 is signalled (with null).
void docMenuUpdate();
// Closes an open document (what aRemoveDoc does); -214 for one that is not
// open (the preferences document, or one closed already).
int docRemove(docRec* doc);
uint32_t docAllocViewNumber(docRec* doc, uint32_t wanted);
void docFreeViewNumber(docRec* doc, uint32_t number);
// Sets the dirty flag (and the auto-save flag).
void docMarkChanged(docRec* doc);
// Closes every open document and frees the preferences document: the
// state before the first document (at exit, and between tests).
void docResetAll();
// Documents closed while their reference count had saturated (255 values
// held them at once): no count can tell when the last holder lets go, so
// the emptied record stays, listed here, until the process ends.
int32_t docOutlivedCount();
// The preferences document, made on first use.
docRec* vwGetDefaultDoc();
// Copies count pen widths (doubles, two 32-bit words each; at most 8) into
// the pen weights of the preferences document's settings, which new
// documents copy; nothing before the preferences document exists.
void docSetPenPairs(int count, const int32_t* pairs);
// Registers the settings variables "$DLIST" and "$SHOWPAGE" (docClassInit
// does; again after the variable registry was emptied).
void docVarsInit();

// The lock record of the document's file, through its register word; null
// when there is none or the key is unknown.
struct fileLockRec;
fileLockRec* docLockRecord(const docRec* doc);

// Operator handlers (registered by vwInit).
int vwOpNewDoc(feArgs* args);
int vwOpRemoveDoc(feArgs* args);
int vwOpCurDoc(feArgs* args);            // aCurDoc, aCurDocX, aDefaultDoc
int vwOpDocNames(feArgs* args);
int vwOpOffsetWindowBBox(feArgs* args);
int vwOpGetDocRegister(feArgs* args);
int vwOpPutDocRegister(feArgs* args);
int vwOpAutoSaveConfig(feArgs* args);
int vwOpSaveAllUntitle(feArgs* args);
int vwOpAutoSaveAllDoc(feArgs* args);

#endif
