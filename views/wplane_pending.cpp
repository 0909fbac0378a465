// Placeholders for the routines of views/wplane.h not written yet; each goes when its
// real definition lands, and the file with the last of them.
#include "views/wplane.h"
#include "fe/opcall.h"
#include "views/owned.h"

uint16_t wplaneClassInit(uint16_t /*viewobjClass*/) { return 0; }
uint16_t wplaneClassId() { return 0; }
int wplaneIs(const void* /*object*/) { return 0; }
const vwListDesc* wplaneListDesc() { return nullptr; }
int wpNew(wplaneRec** /*out*/) { return 0; }
int wpCopy(const wplaneRec* /*source*/, wplaneRec** /*out*/) { return 0; }
wplaneRec* wpCreate(const char* /*title*/, uint16_t /*flags*/, const double /*origin*/*, const double /*right*/*, const double /*up*/*) { return nullptr; }
int wpUpdate(wplaneRec* /*plane*/) { return 0; }
int wpAddToModel(modelRec* /*model*/, wplaneRec* /*plane*/) { return 0; }
wplaneRec* wpFind(const modelRec* /*model*/, const char* /*title*/, uint32_t /*length*/) { return nullptr; }
wplaneRec* wpSetCurrent(wplaneRec* /*plane*/) { return nullptr; }
wplaneRec* wpCurrent() { return nullptr; }
wplaneRec* wpTemp(modelRec* /*model*/, const double /*origin*/*, const double /*right*/*, const double /*up*/*) { return nullptr; }
void wpFromView(viewRec* /*view*/) {  }
void wpCopyPlanes(const modelRec* /*source*/, modelRec* /*target*/) {  }
int wpConvert(int /*kind*/, const double /*in*/*, intptr_t /*plane*/, double /*out*/*) { return 0; }
void wpGetEquation(double /*out*/*) {  }
void wpGetOrigin(double /*out*/*) {  }
void wpGetAxis(int /*index*/, double /*out*/*) {  }
void wpGetMatrices(double /*worldToPlane*/*, double /*planeToWorld*/*) {  }
void vwWorldToPixel(const double /*point*/*, int32_t /*pixel*/*) {  }
void vwPixelToWorld(const int32_t /*pixel*/*, double /*point*/*) {  }
int vwOpWPlaneNames(feArgs* /*args*/) { return 275; }
int vwOpWPlaneFind(feArgs* /*args*/) { return 275; }
int vwOpSetWPlane(feArgs* /*args*/) { return 275; }
int vwOpPlaneConvert(feArgs* /*args*/) { return 275; }
int vwOpCurWPlane(feArgs* /*args*/) { return 275; }
int vwOpWPlaneTrack(feArgs* /*args*/) { return 275; }
