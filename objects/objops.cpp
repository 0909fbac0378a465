// The general object operators, registered in their fixed order: a compiled
// image stores operators by table index, so every start must register these
// 74 names in exactly this order. aCreate makes an object of the class named
// by the "type" entry of a keyed list, through the class's own creation from
// keyed attributes (message 402). The transform operators come from the
// matrix module's table, the document-state operators from objects/docvar.h.
//
// The object-information operators come from objects/objinfo.h, which
// objOpsInit also sets up (the selection's refresh of the panel).
//
// The script events, point queries and system services come from
// objects/scriptsvc.h. Operators whose modules are not built yet (sounds,
// translators) hold their places with a handler that answers 275
// (unimplemented); each is replaced by its real handler when its module
// arrives, at the same place in the table.
#include "objects/objops.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/text.h"
#include "fe/control.h"
#include "fe/matrix_ops.h"
#include "fe/value.h"
#include "objects/ddict.h"
#include "objects/docvar.h"
#include "objects/grpedit.h"
#include "objects/lnstyle.h"
#include "objects/objinfo.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objstore.h"
#include "objects/pen.h"
#include "objects/scriptsvc.h"
#include "objects/selmode.h"
#include "ui/achk.h"

#include <cstring>
#include <vector>

namespace {

enum { kCodeType = 1, kUnknownClass = -2 };

const uiAChklEntry* createList() {
  static uiAChklEntry* list;
  if (!list) uiDefAChkl(&list, kCodeType, "type", "C", 0);
  return list;
}

// "O#Q": keyed list -> object.
int opCreate(feArgs* args) {
  return objCreate(args->in[0].value, reinterpret_cast<gobjRec**>(args->out[0]));
}

// Operators that do nothing (the interpreter pushes their zeroed results).
int opNothing(feArgs*) { return 0; }

// Operators of modules not built yet.
int opLater(feArgs*) { return feErrUnimplemented; }

// "!": drawing the pending updates needs the views, which install the
// handler; without one the operator is not available yet.
feOpHandler drawDeferHandler = nullptr;
int opDrawDeferList(feArgs* args) { return drawDeferHandler ? drawDeferHandler(args) : feErrUnimplemented; }

// "Q": takes its object and answers 0.
int opDelete(feArgs*) { return 0; }

// "!": the allocation statistics to the debug log.
int opAllocInfo(feArgs*) {
  allocInfoReport();
  return 0;
}

// "!S": the size of the emergency reserve (for a reserve not yet taken).
int opSetReserverSize(feArgs* args) {
  uSetReserveSize(args->in[0].text.text, args->in[0].text.length);
  return 0;
}

// "!": the reserve size to the debug log.
int opGetReserverSize(feArgs*) {
  allocReserveReport();
  return 0;
}

// "!SS#B": equal length and equal without case.
int opAlphaEq(feArgs* args) {
  const feArgText& a = args->in[0].text;
  const feArgText& b = args->in[1].text;
  *static_cast<int32_t*>(args->out[0]) = uAlphaEq(a.text, uint32_t(a.length), b.text, uint32_t(b.length)) ? 1 : 0;
  return 0;
}

// A null handler takes the handler of the same name from the matrix
// module's table.
const feOpSpec kOps[] = {
    {"uAllocInfo", opNothing, "!"},
    {"aAllocInfo", opAllocInfo, "!"},
    {"aAlphaEq", opAlphaEq, "!SS#B"},
    {"aBoxOrder", aBoxOrderOp, "!IIII#IIII"},
    {"aCleanUp", aCleanUpOp, "Q<group>#Q"},
    {"aConfigMesg", aConfigMesgOp, "!S"},
    {"aCreate", opCreate, "O#Q"},
    {"aDefPenSizes", aDefPenSizes, "O"},
    {"aDelete", opDelete, "Q"},
    {"aDocAttr", aDocAttr, "#Q"},
    {"aDrawDeferList", opDrawDeferList, "!"},
    {"aDump", aDumpOp, "OQ<group>"},
    {"aDuplicate", aDuplicateOp, "Q[group]#Q"},
    {"aFlag3D", aFlag3DOp, "!#B"},
    {"aFlatten", aFlattenOp, "!Q[group]#Q"},
    {"aGetColorMap", opNothing, "!iI<0>#A{iii}"},
    {"aGetConfigMesg", aGetConfigMesgOp, "!#Si"},
    {"aGetInfo", aGetInfoOp, "O"},
    {"aGetLineNormal", aGetLineNormalOp, "Q[group]# AP{3D} AV{3D} AP{3D}"},
    {"aGetType", aGetTypeOp, "QS#Q"},
    {"aLineArrow", aLineArrowOp, "QiRiB"},
    {"aLinearDup", aLinearDupOp, "Q[group]O"},
    {"aListPenSizes", aListPenSizes, "!B"},
    {"aMatrix", nullptr, "!i<4>#A{16D}"},
    {"aMirror", nullptr, "A{16D}A{DDD}#A{16D}"},
    {"aOnEvent", aOnEventOp, "!OSS"},
    {"aPickColor", aPickColorOp, "!A{II}SA{iii}#A{iii}B"},
    {"aCustomColorGet", aCustomColorOp, "i<0>I#A{iii}"},
    {"aCustomColorSet", aCustomColorOp, "i<1>IA{iii}"},
    {"aPtDist", nullptr, "!A{DDD}A{DDD}#R"},
    {"aPtExpand", nullptr, "A{16D}A{DDD}A{DDD}A{DDD}#A{16D}"},
    {"aPtRotate", nullptr, "A{16D}A{DDD}A{DDD}A{DDD}A{DDD}#A{16D}"},
    {"aPtTransform", nullptr, "!i<3>A{3D}A{16D}#A{3D}"},
    {"aQuery", aQueryOp, "!A{II}S#B"},
    {"aQueryOrigin", aQueryOriginOp, "!AP{3D}"},
    {"aQuestion", aQuestionOp, "!S#B"},
    {"aRotate", nullptr, "!A{16D}A{3D}A{3D}RR#A{16D}"},
    {"aRegen", aRegen, "!"},
    {"aScale", nullptr, "A{16D}R#A{16D}"},
    {"aSetAttr", aSetAttrOp, "Q[group]O"},
    {"aSetColorMap", opNothing, "!iA{iii}I<0>"},
    {"aSetCurObj", aSetCurObj, "!Q[group]"},
    {"aSetLength", aSetLengthOp, "Q[group]R"},
    {"aSetLock", aSetLockOp, "!Q[group]I"},
    {"aSetPort", aSetPortOp, "!"},
    {"aSetSelMask", aSetSelMaskOp, "OOO#"},
    {"aSetUnSelect", aSetUnSelectOp, "!Q[group]I"},
    {"aSetWindow", opNothing, "!Q"},
    {"aSetXVis", aSetXVisOp, "!Q[group]I"},
    {"aSound", opLater, "O"},
    {"aStore", objStoreOp, "Q"},
    {"aSystemIcon", aSystemIconOp, "S#I"},
    {"aTrackStroke", aTrackStrokeOp, "!A{II}#A{II}A{II}I/scrPoint # startPt endPt code/"},
    {"aTransform", aTransformOp, "!Q[group]A{DDDDDDDDDDDDDDDD}I/group matrix copyflag # -/"},
    {"aTranslate", nullptr, "A{16D}A{DDD}#A{16D}"},
    {"aVarSave", aVarSave, "Si<0>"},
    {"aGlobalVarSave", aVarSave, "Si<1>"},
    {"aXlateFTypes", opLater, "!Oi"},
    {"aXlateFileExtension", opLater, "!SS#S"},
    {"aXlateIn", opLater, "i<1>SSi<0>I#Q"},
    {"aXlateList", opLater, "!i"},
    {"aXlateNeedsAccuracy", opLater, "!S#B"},
    {"aXlateNeedsDataOption", opLater, "!S#B"},
    {"aXlateNotWork", opLater, "!S#B"},
    {"aXlateOut", opLater, "i<0>SSiIQ[group]"},
    {"aXlateTest", opLater, "!SS#B"},
    {"aXlateTestFType", opLater, "!SSS#B"},
    {"aFilePatMatch", opLater, "!SS#B"},
    {"aResetSelection", selResetOp, "!"},
    {"aFormat", aFormatOp, "OS#S"},
    {"aCleanUp2", aCleanUp2Op, "Q<group>#Q"},
    {"aObjErase", objEraseOp, "!Q"},
    {"aSetReserverSize", opSetReserverSize, "!S"},
    {"aGetReserverSize", opGetReserverSize, "!"},
};

feOpHandler matrixHandler(const char* name) {
  size_t count = 0;
  const matOpSpec* specs = matOpSpecs(&count);
  for (size_t i = 0; i < count; ++i)
    if (std::strcmp(specs[i].name, name) == 0) return specs[i].handler;
  return nullptr;
}

}  // namespace

const feOpSpec* objOpSpecs(size_t* count) {
  static std::vector<feOpSpec> table;
  if (table.empty()) {
    for (const feOpSpec& op : kOps)
      table.push_back({op.name, op.handler ? op.handler : matrixHandler(op.name), op.signature});
  }
  *count = table.size();
  return table.data();
}

void objOpsInit() {
  size_t count = 0;
  const feOpSpec* table = objOpSpecs(&count);
  feOpSpecRegisterAll(table, count);
  // The selection's refresh updates the information panel.
  infoInit();
  // The class "docdict" and its loop continuation, at a fixed point of the
  // start.
  docdictClassId();
}

void objSetDrawDeferHandler(feOpHandler handler) { drawDeferHandler = handler; }

int objCreate(const feObject* keyedList, gobjRec** out) {
  if (!keyedList || feType(keyedList) != feTArray) return feErrTypeCheck;
  uiAChkData data;
  if (uiAChkGet(createList(), keyedList, kCodeType, &data) == 0) return data.status;
  const uint16_t id = objClassByName(static_cast<const char*>(data.data));
  if (!id) return kUnknownClass;
  return objMeth(id, msgCreate, nullptr, reinterpret_cast<intptr_t>(keyedList), reinterpret_cast<intptr_t>(out));
}
