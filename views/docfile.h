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

int vwReadDoc(docRec* doc, const char* name, uint32_t length, uint32_t flags);
int vwWriteDoc(docRec* doc, const char* name, uint32_t length, uint32_t mode, int32_t fileType);
// The document version of the read or write in progress (0 outside one).
int vwDocVersion();
// Keeps a reference to an object until the read in progress ends.
void vwFileRefPush(gobjRec* object);
// Fits a window box (left, top, right, bottom) into the default box.
void vwWindowBoxFit(int32_t box[4]);

int vwOpWrite(feArgs* args);
int vwOpFileRead(feArgs* args);      // aFileRead
int vwOpEdit(feArgs* args);
int vwOpFileIsUnique(feArgs* args);
int vwOpImportFeldon(feArgs* args);
int vwOpExportPlumet(feArgs* args);
int vwOpImportViews(feArgs* args);

#endif
