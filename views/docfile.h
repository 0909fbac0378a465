// The native drawing file: a whole document (title, window box, print
// setup, flags, models with their settings, work planes and objects, sheets
// with their views, the colour table) inside the drawing file container,
// and the file operators.
#ifndef PLUMET_VIEWS_DOCFILE_H
#define PLUMET_VIEWS_DOCFILE_H

#include <cstdint>

struct feArgs;
struct docRec;
struct gobjRec;
struct glist;
struct ioCtx;
struct modelRec;
struct sheetRec;

// Read flags.
enum : uint32_t {
  vwReadImport = 0x1,       // objects go to the group under construction
  vwReadDropCurves = 0x2,   // with vwReadImport: curves are left out
  vwReadNoWindow = 0x100,   // no document window at the end
};
// Write modes.
enum : uint32_t {
  vwWriteNoObjects = 0x100,
  vwWriteCap12 = 0x400,
};

// Document versions: the newest written, the one a group export writes.
enum { vwDocVersionNewest = 13, vwDocVersionGroup = 6 };

// Reads the file into the document (an import: into the current document's
// group under construction). Answers 0 or an error code: the container's,
// -1 for an unexpected end of the file or improper objects not ignored,
// 277 for an interrupt, -4139 for a file whose models, sheets or views do
// not hold together.
int vwReadDoc(docRec* doc, const char* name, uint32_t length, uint32_t flags);
// Writes the document (made current for the time of the write). Answers 0
// or an error code; on success, unless mode has vwWriteNoObjects, the
// document's dirty and untitled flags are cleared.
int vwWriteDoc(docRec* doc, const char* name, uint32_t length, uint32_t mode, int32_t fileType);
// Writes the group as a document of version 6 with one model titled after
// the current document and no sheet. -212 without a current document.
int vwWriteGroup(glist* group, const char* name, uint32_t length, uint32_t mode, int32_t fileType);
// The document version of the read or write in progress (0 outside one).
int vwDocVersion();

// One model of the stream being read: its title, settings block, work
// planes and objects. The objects are kept, each with a reference, on the
// model's list of objects read until the read ends. *endOfFile is set when
// the records ran out before the count did.
int vwReadModel(modelRec* model, ioCtx* ctx, int* endOfFile);
// One sheet of the stream being read with its views, the views' models
// taken from the array by position. Unless importing, the sheet is linked
// to the document.
int vwReadSheet(docRec* doc, modelRec** models, uint32_t modelCount, ioCtx* ctx, sheetRec** out, int* hasWindow);

// Keeps a reference to an object until the read in progress ends.
void vwFileRefPush(gobjRec* object);
// Fits a window box (left, top, right, bottom) into the default box.
void vwWindowBoxFit(int32_t box[4]);
// The default box: the frame's client area (the screen without a frame)
// inset by 4 pixels on the left, 42 at the top, 7 on the right and 5 at the
// bottom.
void vwDefaultWindowBox(int32_t box[4]);

// The colour table of a document in the stream (block 9). Until the colour
// tables are set up nothing is written and nothing read; then the block is
// the colour module's (cTabDocFileIO). A routine set here takes its place
// (null: back to the colour module's).
typedef int (*vwColorTableIOFn)(ioCtx* ctx, docRec* doc, int write);
void vwSetColorTableIO(vwColorTableIOFn io);

int vwOpWrite(feArgs* args);
int vwOpFileRead(feArgs* args);      // aFileRead
int vwOpEdit(feArgs* args);
int vwOpFileIsUnique(feArgs* args);
int vwOpImportFeldon(feArgs* args);
int vwOpExportPlumet(feArgs* args);
int vwOpImportViews(feArgs* args);

#endif
