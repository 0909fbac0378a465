// The general object operators: the creation of an object from a keyed list
// (aCreate) and the registration of the 74 general operators in their fixed
// order (a compiled image stores operators by table index): uAllocInfo,
// aAllocInfo, aAlphaEq, aBoxOrder, aCleanUp, aConfigMesg, aCreate,
// aDefPenSizes, aDelete, aDocAttr, aDrawDeferList, aDump, aDuplicate,
// aFlag3D, aFlatten, aGetColorMap, aGetConfigMesg, aGetInfo, aGetLineNormal,
// aGetType, aLineArrow, aLinearDup, aListPenSizes, aMatrix, aMirror,
// aOnEvent, aPickColor, aCustomColorGet, aCustomColorSet, aPtDist,
// aPtExpand, aPtRotate, aPtTransform, aQuery, aQueryOrigin, aQuestion,
// aRotate, aRegen, aScale, aSetAttr, aSetColorMap, aSetCurObj, aSetLength,
// aSetLock, aSetPort, aSetSelMask, aSetUnSelect, aSetWindow, aSetXVis,
// aSound, aStore, aSystemIcon, aTrackStroke, aTransform, aTranslate,
// aVarSave, aGlobalVarSave, aXlateFTypes, aXlateFileExtension, aXlateIn,
// aXlateList, aXlateNeedsAccuracy, aXlateNeedsDataOption, aXlateNotWork,
// aXlateOut, aXlateTest, aXlateTestFType, aFilePatMatch, aResetSelection,
// aFormat, aCleanUp2, aObjErase, aSetReserverSize, aGetReserverSize.
// Operators of modules not built yet answer 275.
#ifndef PLUMET_OBJECTS_OBJOPS_H
#define PLUMET_OBJECTS_OBJOPS_H

#include "fe/control.h"
#include "objects/gobject.h"

#include <cstddef>

struct feObject;

// Registers the general object operators in their fixed order, sets up
// the object information (objects/objinfo.h), then the class "docdict" with
// its loop continuation.
void objOpsInit();
// The operators in registration order, as registered.
const feOpSpec* objOpSpecs(size_t* count);

// The work of aDrawDeferList, installed by the views (null: the operator
// answers 275).
void objSetDrawDeferHandler(feOpHandler handler);

// Makes an object from an array of alternating keys and values whose "type"
// names the class (message 402 to that class). 269 for a non-array, the
// reader's status for a missing "type", -2 for an unknown class.
int objCreate(const feObject* keyedList, gobjRec** out);

#endif
