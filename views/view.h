// Views: a view shows one model of a document inside a rectangle of a
// sheet. Each sheet owns an ordered list of views, one of them its draft
// view (the flat page of two-dimensional drafting). A view holds the
// matrices that carry world coordinates to the sheet and the screen,
// rebuilt lazily after every change, and a short history of view states.
// This module also keeps the current view and the view stack.
#ifndef PLUMET_VIEWS_VIEW_H
#define PLUMET_VIEWS_VIEW_H

#include "core/matrix.h"

#include <cstdint>

struct feArgs;
struct sheetRec;
struct modelRec;
struct docRec;

enum viewFlag : uint16_t {
  viewCreated = 0x0001,
  viewDraft = 0x0002,
  viewChanged = 0x0008,     // matrices must be rebuilt
  viewAutoFront = 0x0100,
  viewAttached = 0x1000,
  viewGridShown = 0x2000,
};

struct viewState {
  double scale;
  double pan[2];
  double centre[3];
  double normal[3];
  double up[3];
};

enum { viewStateMax = 6 };

struct viewRec {
  uint16_t classId;
  uint8_t refCount;         // release is refused while it is not 0
  char* title;
  sheetRec* sheet;
  uint16_t flags;           // viewFlag
  viewRec* next;            // next view of the sheet
  double box[4];            // sheet coordinates x1, y1, x2, y2
  int32_t screenBox[4];     // left, top, right, bottom
  int32_t outerBox[4];      // with the frame
  modelRec* model;          // reference counted
  uint32_t index;           // unique within the document
  uint32_t stamp;           // raised whenever the matrices are rebuilt
  xform4 base1;
  xform4 base2;
  xform4 scaleMatrix;
  xform4 orientation;
  xform4 orientScale;
  xform4 baseOrient;
  xform4 screenToWorld;
  xform4 worldToScreen;
  uint8_t stateCount;       // 1..6
  uint8_t spare;
  viewState states[viewStateMax];
  uint32_t serial;
  int16_t renderMode;       // 0 wire frame, 1 and 2 rendered
  uint16_t perspective;
  double perspectiveEye[3];
  uint32_t extraWord;       // copied with the view
  double extra[3];
  double perspectiveDist;
  double perspectiveAngle;
};

uint16_t viewClassInit(uint16_t viewobjClass);
uint16_t viewClassId();
int viewIs(const void* object);

int vwAttachToSheet(viewRec* view, sheetRec* sheet, modelRec* model);
viewRec* vwCreate(sheetRec* sheet, modelRec* model, const double* box, int draft);
int vwCopy(const viewRec* view, sheetRec* sheet, viewRec** out);
int vwDelete(viewRec* view);
int vwFree(viewRec* view);
void vwPushState(viewRec* view);
void vwSetCurView(viewRec* view);
viewRec* vwGetSetCurView(viewRec* view, viewRec** old);
int vwViewStack(int op);
void vwPushView(viewRec* view);
void vwPopView();
// Rebuilds the matrices of a changed view (nothing for an unchanged one).
void vwRebuildMatrices(viewRec* view);
// The screen and outer boxes from the sheet box through the sheet's matrix.
void vwComputeScreenBox(viewRec* view);
// Changes the model shown (use counts of both models).
void vwSetModel(viewRec* view, modelRec* model);
viewRec* vwViewOfIndex(const docRec* doc, uint32_t index);

#endif
