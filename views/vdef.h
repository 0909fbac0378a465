// View directions: named viewing setups of a document (centre, eye point,
// up vector) that a view can be turned to. Each document holds a list of
// them, the standard "Isometric", "Right", "Front" and "Top" among them.
#ifndef PLUMET_VIEWS_VDEF_H
#define PLUMET_VIEWS_VDEF_H

#include "views/owned.h"

#include <cstdint>

struct feArgs;
struct docRec;
struct ioCtx;

enum : uint32_t { vdefLocked = 0x1 };

struct vdefRec {
  vwOwnedHead head;
  uint32_t flags;      // vdefLocked
  char* title;
  vdefRec* next;
  docRec* owner;
  double centre[3];
  double eye[3];       // at unit distance from the centre once added
  double up[3];
};

uint16_t vdefClassInit(uint16_t viewobjClass);
uint16_t vdefClassId();
int vdefIs(const void* object);
const vwListDesc* vdefListDesc();

vdefRec* vdefNew();
int vdefAdd(docRec* doc, vdefRec* record);
int vdefMake(docRec* doc, const double eye[3], const double centre[3], const double up[3], const char* title);
int vdefRemove(vdefRec* record);
void docRemoveVdefs(docRec* doc);
void vdefFree(vdefRec* record);
vdefRec* vdefFind(const docRec* doc, const char* title, uint32_t length);
int vdefCopy(const vdefRec* source, vdefRec** out);
void vdefCopyAll(docRec* doc, const vdefRec* first);
// The title of the first direction of the document matching the up vector
// and eye direction, or "" (a constant or the record's own title).
const char* vdefNameOfDirection(const docRec* doc, const double up[3], const double eye[3]);
void vdefStandardSet(docRec* doc);
// One stored record: the title (title coding of the drawing file's version)
// and "i 3d 3d 3d". Reading makes a new record into *record.
int vdefRecordIO(ioCtx* ctx, vdefRec** record, int write);
// The list: "i" count and the records; reading adds them to the document
// (unless importing, or a direction of the title exists; those not added
// are freed).
int vdefListIO(ioCtx* ctx, docRec* doc, int write, int import);
// The hook of container segment 6 (installed by vdefClassInit): reading
// (11), an "i" word that is skipped and the list into the current document,
// not added when the file is opened for an import (open flag 0x1);
// writing (12), "i" 0 and the current document's list.
int vdefSegmentHook(ioCtx* ctx, int event);

int vwOpVDefToView(feArgs* args);    // aVDefToView, aViewDirSet
int vwOpViewDirFind(feArgs* args);

#endif
