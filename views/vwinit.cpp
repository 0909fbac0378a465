// The view module's set-up: operators, error names, classes, list
// descriptors, statistics and the object source "docAll".
#include "views/vwinit.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/control.h"
#include "fe/error.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "objects/sieve.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/docfile.h"
#include "views/model.h"
#include "views/natcompare.h"
#include "views/print.h"
#include "views/redraw.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/view.h"
#include "views/vwevent.h"
#include "views/vwflat.h"
#include "views/vwsort.h"
#include "views/vwtrack.h"
#include "views/vwunfold.h"
#include "views/wintitle.h"
#include "views/wplane.h"

#include <cmath>

namespace {

// Operators whose handlers arrive with later work (the drawing file, view
// directions, the rest of the views, window events, printing, view
// tracking, layer-sorted drawing, the display toggle) hold their places.
int opLater(feArgs*) { return feErrUnimplemented; }

const feOpSpec kOps[] = {
    // Documents.
    {"aNewDoc", vwOpNewDoc, "Q"},
    {"aRemoveDoc", vwOpRemoveDoc, "Q[document]"},
    {"aCurDoc", vwOpCurDoc, "i<0>#"},
    {"aCurDocX", vwOpCurDoc, "!i<1>#B"},
    {"aDefaultDoc", vwOpCurDoc, "i<2>#"},
    {"aDocNames", vwOpDocNames, "#I"},
    {"aOffsetWindowBBox", vwOpOffsetWindowBBox, "A{IIII}#A{IIII}"},
    {"aGetDocRegister", vwOpGetDocRegister, "Q#I"},
    {"aPutDocRegister", vwOpPutDocRegister, "QI"},
    {"aAutoSaveConfig", vwOpAutoSaveConfig, "II"},
    {"aSaveAllUntitle", vwOpSaveAllUntitle, ""},
    {"autoSaveAllDoc", vwOpAutoSaveAllDoc, ""},
    // The drawing file.
    {"aWrite", vwOpWrite, "S"},
    {"aFileRead", vwOpFileRead, "SI"},
    {"aEdit", vwOpEdit, "S"},
    {"aFileIsUnique", vwOpFileIsUnique, "S#B"},
    {"aImportFeldon", vwOpImportFeldon, "Si#Q"},
    {"aExportPlumet", vwOpExportPlumet, "SQ[group]Bii"},
    {"aImportViews", vwOpImportViews, "SQ[group]R"},
    // Models.
    {"aCurModelX", vwOpCurModelX, "!#B"},
    {"aModelCopy", vwOpModelCopy, "Q[model]#Q"},
    {"aModelWithName", vwOpModelWithName, "S#Q"},
    // Sheets.
    {"aSheetCopy", vwOpSheetCopy, "!Q[sheet]Q[document]#Q"},
    {"aScaleSheet2", vwOpScaleSheet2, "Q[sheet]RIIIII"},
    {"aScrollSheet", vwOpScrollSheet, "Q[sheet]II"},
    {"aDListState", vwOpDList, "i<0>#B"},
    {"aDListToggle", vwOpDList, "i<1>I<0>"},
    {"aDrawSheet", vwOpDrawSheet, "Q[sheet]i<-1>"},
    {"aDrawSheetFlags", vwOpDrawSheet, "Q[sheet]i"},
    {"aCurSheet", vwOpCurSheet, "#Q"},
    {"aViewAllSheet", vwOpViewAllSheet, "I"},
    {"aSheetCorners3", vwOpSheetCorners3, "A{4I}A{4I}"},
    {"aRollSheet", vwOpRollSheet, "I"},
    {"aSheetToScreen", vwOpSheetToScreen, "RR#II"},
    {"aSheetWithName", vwOpSheetWithName, "S#Q"},
    {"aScrollAdjust", vwOpScrollAdjust, "!II"},
    {"aSetScrollBars", vwOpSetScrollBars, "!"},
    // Work planes.
    {"aWPlaneNames", vwOpWPlaneNames, "!#I"},
    {"aWPlaneFind", vwOpWPlaneFind, "S#Q"},
    {"aSetWPlane", vwOpSetWPlane, "!Q[wplane]"},
    {"aPlaneToWorld", vwOpPlaneConvert, "!i<0>A{DDD}I<0>#A{DDD}"},
    {"aPlaneToWorldV", vwOpPlaneConvert, "!i<1>A{DDD}I<0>#A{DDD}"},
    {"aWorldToPlane", vwOpPlaneConvert, "!i<2>A{DDD}I<0>#A{DDD}"},
    {"aWorldToPlaneV", vwOpPlaneConvert, "!i<3>A{DDD}I<0>#A{DDD}"},
    {"aCurWPlane", vwOpCurWPlane, "#Q"},
    {"aWPlaneTrack", vwOpWPlaneTrack, "A{II}i#B"},
    // View directions.
    {"aVDefToView", vwOpVDefToView, "Q[vdefs]B"},
    {"aViewDirSet", vwOpVDefToView, "Q[vdefs]B<false>"},
    {"aViewDirFind", vwOpViewDirFind, "S#B"},
    // Current objects and names.
    {"aGetWindowName", vwOpGetWindowName, "#S"},
    {"aSortNames", vwOpSortNames, "O#O"},
    // Views.
    {"aScaleView2", vwOpScaleView2, "Q[view]RIIIII"},
    {"aScrollView", vwOpScrollView, "Q[view]II"},
    {"aRegenView", vwOpRegenView, "!"},
    {"aBringViewToFront", vwOpViewOrder, "Q[view]i<0>"},
    {"aSendViewToBack", vwOpViewOrder, "Q[view]i<1>"},
    {"aCurView", vwOpCurView, "#Q"},
    {"aCurViewX", vwOpCurViewX, "!#B"},
    {"aViewAllView", vwOpViewAllView, "I"},
    {"aViewCorners3", vwOpViewCorners3, "A{4I}A{4I}"},
    {"aRollView", vwOpRollView, "I"},
    {"aSetViewModel", vwOpSetViewModel, "Q[view]Q[model]"},
    {"aSwitchViewIndices", vwOpSwitchViewIndices, ""},
    {"aViewBox", vwOpViewBox, "i<0>#IIII"},
    {"aViewCenter", vwOpViewBox, "i<1>#II"},
    {"aViewWidth", vwOpViewBox, "i<2>#I"},
    {"aViewHeight", vwOpViewBox, "i<3>#I"},
    {"aGetViewScale", vwOpGetViewScale, "i<1>#R"},
    {"aInvalAll", vwOpInvalAll, "!"},
    {"aViewToSheet", vwOpViewToSheet, "#Q"},
    {"aViewFlattenEx", vwOpViewFlattenEx, "Q[view]Q[sheet]#Q"},
    {"aClipCorners", vwOpClipCorners, "Q[group]A{4R}#Q"},
    {"aGetUnfoldInfo", vwOpGetUnfoldInfo, "!#A{RRR}A{RRR}A{RRR}"},
    {"aSetCurViewIndex", vwOpSetCurViewIndex, "!Q"},
    {"aUnfoldTrack", vwOpUnfoldTrack, "A{II}#B"},
    {"aView", vwOpView, "R#B"},
    {"aViewTrackPan", vwOpViewTrackPan, "!A{II}Q[view]"},
    {"aViewTrackBox", vwOpViewTrackBox, "!A{II}#A{DDDD}B"},
    {"aViewTrack", vwOpViewTrack, "!A{II}RB#B"},
    {"aViewControlDraw", vwOpViewControlDraw, "!A{4I}"},
    {"aViewControlTrack", vwOpViewControlTrack, "!A{II}A{4I}"},
    // Drawing-window events.
    {"aPostMesgEvent", vwOpPostMesgEvent, "!I"},
    {"aPullString", vwOpPullString, "!S#S"},
    // Printing and plotting.
    {"aGraphicsBox", printOpGraphicsBox, "#IIII"},
    {"aGraphicCenter", printOpGraphicCenter, "#II"},
    {"aGraphicsW", printOpGraphicsSize, "I<0>#I/- # width/"},
    {"aGraphicsH", printOpGraphicsSize, "I<1>#I/- # height/"},
    {"aChangeScale", printOpChangeScale, "I<0>RI<0>"},
    {"aFitPlot", printOpFitPlot, "#R"},
    {"aCreatPlot", printOpCreatPlot, "!A{II}"},
    // Layer-sorted drawing.
    {"aStartLayerSortDraw", vwOpStartLayerSortDraw, "!"},
    {"aEndLayerSortDraw", vwOpEndLayerSortDraw, "!"},
    {"aSetDrawLayerPriority", vwOpSetDrawLayerPriority, "!O#l"},
};
static_assert(sizeof(kOps) / sizeof(kOps[0]) == 93);

const feOpSpec kOwnOps[] = {
    {"aDocAll", vwOpDocAll, "!P#Q"},
    {"aGetHLG", vwOpGetHLG, "!#Q"},
    {"aInvertDisplay", opLater, "!B"},
};

const struct {
  int code;
  const char* name;
} kErrors[] = {
    {-202, "ViewNotFound"}, {-205, "WPlaneNotFound"}, {-206, "NoCurSheet"},  {-207, "NoCurView"},
    {-208, "NoModDraftView"}, {-209, "BadKey"},      {-212, "NoCurDoc"},    {-213, "NoCurModel"},
    {-214, "BadObject"},    {-217, "BadViewLimits"}, {-218, "BadValue"},    {-219, "NoCurPlane"},
    {-220, "TitleTooLong"}, {-221, "TitleNotUnique"}, {-222, "BadTitle"},   {-223, "Locked"},
    {-224, "CannotDeleteWP"}, {-225, "BadScale"},    {-226, "NoOwner"},     {-227, "NotInList"},
    {-229, "AlreadyOwned"}, {-230, "TooFarOut"},     {-231, "BadWP"},       {-232, "BadArg"},
    {-233, "OutOfRange"},   {-234, "ScaleTooBig"},   {-235, "ScaleTooSmall"},
};

uint16_t viewobjClass = 0;
uint16_t fileClass = 0;
const double* curXform = nullptr;

int fileHandler(void*, int, intptr_t, intptr_t, intptr_t) { return -1; }

struct DocAllWalk {
  objMemberFn callback;
  void* context;
  int result;
};

int docAllStep(gobjRec* object, void* context) {
  auto* walk = static_cast<DocAllWalk*>(context);
  walk->result = walk->callback(object, walk->context);
  return walk->result;
}

void docAllModel(modelRec* model, void* context) {
  auto* walk = static_cast<DocAllWalk*>(context);
  if (walk->result) return;
  sieveForEach(modelGetList(model), docAllStep, walk);
}

// Every object of every model of the current document, model by model.
int enumDocAll(objMemberFn callback, void* context, intptr_t) {
  docRec* doc = vwCurDoc();
  if (!doc || !callback) return 0;
  DocAllWalk walk{callback, context, 0};
  docForEachModel(doc, docAllModel, &walk);
  return walk.result;
}

// Display lists take notes while they are on and not being rebuilt.
int dlistTakingNotes() { return sheetDListOn() && !sheetDListRebuilding(); }

void setDrawPort(HWND window) { gxSetWindow(window); }

}  // namespace

void vwInstallHooks() {
  vwCurRecords records{};
  viewFillCurRecords(&records);
  sheetFillCurRecords(&records);
  records.docMakeCurrent = docSetCurrent;
  records.setDrawPort = setDrawPort;
  vwSetCurRecords(&records);
  vwViewHooks hooks{};
  viewFillViewHooks(&hooks);
  hooks.drawFlags = vwGetDrawFlags;
  vwSetViewHooks(&hooks);
  dlistSetStateSource(dlistTakingNotes);
  vwRedrawInstall();
}

int viewobjHandler(void* object, int message, intptr_t, intptr_t, intptr_t) {
  if (message != 100) return -1;
  void* record = object;
  uFree(&record);
  return 0;
}

namespace {

// The window procedure aims drawing at the window it serves (painting,
// activation) through the drawing layer.
void installWindowDrawing() {
  windDrawHooks hooks{};
  hooks.setWindow = [](HWND window) { gxSetWindow(window); };
  hooks.currentWindow = gxGetWindow;
  hooks.setClip = gxSetClip;
  hooks.forgetWindow = gxForgetWindow;
  hooks.backgroundBrush = gdiBackgroundBrush;
  windSetDrawHooks(&hooks);
}

}  // namespace

void vwInit() {
  feOpSpecRegisterAll(kOps);
  for (const auto& e : kErrors) feDefError(e.code, e.name);
  viewobjClass = objClassRegister("viewobj", 0, viewobjHandler);
  viewClassInit(viewobjClass);
  sheetClassInit(viewobjClass);
  modelClassInit(viewobjClass);
  docClassInit(viewobjClass);
  wplaneClassInit(viewobjClass);
  vdefClassInit(viewobjClass);
  fileClass = objClassRegister("file", 0, fileHandler);
  vwInstallHooks();
  vwLiveCounts& live = vwLive();
  allocInfoRegister("doc", &live.docs, sizeof(docRec));
  allocInfoRegister("model", &live.models, sizeof(modelRec));
  allocInfoRegister("vwsheet", &live.sheets, sizeof(sheetRec));
  allocInfoRegister("views", &live.views, sizeof(viewRec));
  allocInfoRegister("vdirs", &live.vdirs, 0);
  allocInfoRegister("plane", &live.planes, sizeof(wplaneRec));
  grpDefine("docAll", enumDocAll, 0);
  // Sheet windows hand their events to the sheet event handler.
  sheetPaintInit();
  installWindowDrawing();
  feOpSpecRegisterAll(kOwnOps);
}

vwLiveCounts& vwLive() {
  static vwLiveCounts live{};
  return live;
}

uint16_t viewobjClassId() { return viewobjClass; }
uint16_t fileClassId() { return fileClass; }

const feOpSpec* vwOpTable(size_t* count) {
  *count = sizeof(kOps) / sizeof(kOps[0]);
  return kOps;
}

const double* vwCurXform() { return curXform; }
void vwSetCurXform(const double* matrix) { curXform = matrix; }

double vwCurScale() {
  if (!curXform) return 0;
  return std::sqrt(curXform[0] * curXform[0] + curXform[1] * curXform[1] + curXform[2] * curXform[2]);
}

void vwPointToPixel(const double point[3], int32_t pixel[2]) {
  if (vwScreenSpace() || !curXform) {
    pixel[0] = int32_t(point[0]);
    pixel[1] = int32_t(point[1]);
    return;
  }
  double screen[3];
  vwWorldToScreen(point, screen);
  pixel[0] = int32_t(std::lround(screen[0]));
  pixel[1] = int32_t(std::lround(screen[1]));
}

int vwOpDocAll(feArgs* args) {
  glist* group = grpOfSource("docAll");
  if (group && !grpIsGroup(group)) dbgPanic("expected group");
  *reinterpret_cast<glist**>(args->out[0]) = group;
  return 0;
}

int vwOpGetHLG(feArgs* args) {
  *reinterpret_cast<void**>(args->out[0]) = nullptr;
  return 0;
}
