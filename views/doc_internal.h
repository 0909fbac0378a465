// Shared between the files of the document module: its state and the
// helpers several of them use.
#ifndef PLUMET_VIEWS_DOC_INTERNAL_H
#define PLUMET_VIEWS_DOC_INTERNAL_H

#include "views/doc.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct docModuleState {
  docRec* openHead;    // the open list, newest first
  docRec* prefs;       // the preferences document, once made
  bool inhibit;        // docSetCurrent does nothing
  bool autoSaving;     // aSaveAllUntitle or autoSaveAllDoc is running
};
docModuleState& docState();

// Takes every sheet off the document; a sheet nothing else uses is freed.
void docUnlinkSheets(docRec* doc);

// After a close: a record whose count saturated is listed as outlived.
void docKeepIfOutlived(docRec* doc);

// Takes a document that is on no list apart: its sheets unlinked and freed,
// its models removed (with the document current for the time); the
// caller's use of it (if it holds one) is dropped, and the record is freed
// unless a script still refers to it.
void docDiscard(docRec* doc);

// Push a reference to a record (null pushes null) or a string onto the
// operand stack: 0, or the interpreter's error (nothing pushed).
int docPushRecord(void* record);
int docPushText(const char* text, size_t length);

// Copies a print-setup block into the document's (replacing it).
void docPutPrintSetup(docRec* doc, const uint8_t* block, uint32_t length);

// The window cascade of aOffsetWindowBBox over the top-left corners of the
// open sheet windows (screen coordinates): while a corner lies less than 7
// pixels from the box's top-left in x and in y and the box is at least 40
// wide and 40 high, the box's left and top move by 18.
void docCascadeBox(int32_t box[4], const POINT* corners, uint32_t count);

// The attribute messages of the class (107 and 108).
int docGetAttr(void* object, const feObject* key, feObject* out);
int docSetAttr(void* object, const feObject* key, const feObject* value);

// Back to the state before the first auto-save configuration.
void docAutoSaveReset();

#endif
