// Reading a whole document from a drawing file: the blocks of the stream in
// order, the view-number remap, the objects handed to their models (or to
// the group under construction when importing) and the document window.
//
// A failure anywhere (the container's, a block that does not hold together,
// an early end of the file, an interrupt) leaves through the container's
// recovery point; the objects read are then released, sheets and models
// that nothing holds are freed and the view stack is popped as on success.
#include "views/docfile.h"
#include "views/docfile_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "objects/group.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "ui/app.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/view.h"
#include "views/vwtitle_io.h"
#include "views/wintitle.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

using docfile::importing;
using docfile::state;

// The fewest bytes of an old work-plane entry and of a model.
constexpr long kOldPlaneMinBytes = 12;
constexpr long kModelMinBytes = 2;
constexpr long kSheetMinBytes = 4;

struct ReadRun {
  docRec* doc = nullptr;
  ioCtx* ctx = nullptr;             // while the container is open
  std::vector<modelRec*> models;    // in file order
  sheetRec* reading = nullptr;      // the sheet being read
  sheetRec* show = nullptr;         // the last sheet read that had a window
  int32_t fileSheets = 0;
  int32_t box[4] = {};              // block 2, fitted
};

// Ends the read with code through the container's recovery point.
[[noreturn]] void stop(ReadRun& run, int code) {
  ioFail(run.ctx, code, nullptr, nullptr);
  // The context always has the read's recovery point; ioFail left above.
  throw ioFailure{nullptr, code};
}

void internalStop(ReadRun& run, const char* what) {
  docfile::internalError(what);
  stop(run, ioErrBadData);
}

// Blocks 1 to 6: title, window box, print setup, old planes, old view
// directions, flags. An import leaves the document's title, print setup,
// view directions and flags as they are. A document without view
// directions gets the standard ones.
void readHead(ReadRun& run) {
  ioCtx* ctx = run.ctx;
  docRec* doc = run.doc;
  const int version = state().version;
  char* title = nullptr;
  docfile::titleIO(ctx, &title, 0);
  if (!importing() && title) {
    uFreeIfSet(&doc->title);
    doc->title = title;
  } else {
    uFreeIfSet(&title);
  }
  if (version >= 4) docfile::boxIO(ctx, run.box, 0);
  else vwDefaultWindowBox(run.box);
  vwWindowBoxFit(run.box);
  if (version >= 5) {
    int32_t n = 0;
    ioFormat(ctx, "i", &n);
    docfile::checkCount(ctx, n, 1);
    std::vector<uint8_t> block(size_t(n) + 1);
    ioFormat(ctx, "*c", n, block.data());
    if (!importing()) {
      uAlloc(&doc->printSetup, &doc->printSetupLength, uint32_t(n), 1);
      if (n) std::memcpy(doc->printSetup, block.data(), size_t(n));
    }
  }
  if (version >= 1) {
    int32_t count = 0;
    ioFormat(ctx, "i", &count);
    docfile::checkCount(ctx, count, kOldPlaneMinBytes);
    for (int32_t i = 0; i < count; ++i) {
      ioOwnedText name;
      int16_t flags = 0;
      double doubles[10];
      docfile::titleIO(ctx, &name.text, 0);
      ioFormat(ctx, "s4d3d3d", &flags, doubles, doubles + 4, doubles + 7);
    }
  }
  if (version == 8 && vdefListIO(ctx, doc, 0, importing() ? 1 : 0) < 0) stop(run, ioErrBadData);
  if (!doc->firstVdir) vdefStandardSet(doc);
  if (version >= 13) {
    uint32_t flags = 0;
    ioFormat(ctx, "l", &flags);
    if (!importing()) doc->flags = flags;
  }
}

// Block 7: the models, linked to the document in file order (an import
// holds them itself).
void readModels(ReadRun& run) {
  int32_t count = 0;
  ioFormat(run.ctx, "i", &count);
  if (count == 0) internalStop(run, "nModels == 0");
  docfile::checkCount(run.ctx, count, kModelMinBytes);
  run.models.reserve(size_t(count) + 1);
  for (int32_t i = 0; i < count; ++i) {
    modelRec* model = nullptr;
    modelCreate(&model);
    run.models.push_back(model);
    if (importing()) {
      feObjRefRetain(model);
    } else {
      modelLink(model, run.doc);
      // Linking puts the model at the head; the document keeps file order.
      if (run.doc->firstModel == model && model->next && ownedUnlink(model) == 0) ownedInsert(model, ownedAppend);
    }
    int endOfFile = 0;
    if (const int answer = vwReadModel(model, run.ctx, &endOfFile)) stop(run, answer);
  }
  if (run.models.empty()) internalStop(run, "No Models");
}

// Block 8: the sheets. Sheets nothing holds (an import's) go at once.
void readSheets(ReadRun& run) {
  int32_t count = 0;
  ioFormat(run.ctx, "i", &count);
  docfile::checkCount(run.ctx, count, kSheetMinBytes);
  run.fileSheets = count;
  for (int32_t i = 0; i < count; ++i) {
    int hasWindow = 0;
    const int answer =
        vwReadSheet(run.doc, run.models.data(), uint32_t(run.models.size()), run.ctx, &run.reading, &hasWindow);
    if (answer) {
      docfile::internalError("vwReadSheet failed");
      stop(run, answer);
    }
    sheetRec* sheet = run.reading;
    run.reading = nullptr;
    if (sheet->head.object.refCount == 0) sheetFree(sheet);
    else if (hasWindow) run.show = sheet;
  }
}

// Without a sheet in the file the first model gets one; its first view
// takes the objects that belonged to a view. The first sheet's active view
// becomes current.
void settleSheets(ReadRun& run) {
  docRec* doc = run.doc;
  if (run.fileSheets == 0) {
    sheetRec* sheet = sheetCreate(doc, run.models.front(), nullptr);
    const viewRec* first = sheet ? sheet->firstView : nullptr;
    if (first)
      for (gobjRec* object : docfile::readList(run.models.front()))
        if (object->owner) object->owner = uint8_t(first->index);
  }
  if (!doc->firstSheet) internalStop(run, "No Sheets");
  if (!doc->firstSheet->activeView) internalStop(run, "No Sheet View");
  vwSetCurView(doc->firstSheet->activeView);
}

// Block 9, read only when the end mark does not follow: a file without a
// colour table ends its stream there.
void readColorTable(ReadRun& run) {
  ioCtx* ctx = run.ctx;
  const long at = ioTell(ctx);
  uint8_t mark[2] = {};
  const bool two = ioGetByte(ctx, &mark[0]) && ioGetByte(ctx, &mark[1]);
  ioSeek(ctx, at);
  if (!two || (mark[0] == 0xFF && mark[1] == 0xFF)) return;
  if (vwColorTableIOFn io = docfile::colorTableIO()) io(ctx, run.doc, 0);
  else dbgPrintf("[vwReadDoc] colour table not read\n");
}

// The owner numbers of objects that belonged to views whose numbers were
// taken: each follows the first triple of its number and model.
void remapOwners(ReadRun& run) {
  docRec* doc = run.doc;
  if (!doc->remapCount) return;
  for (uint32_t position = 0; position < run.models.size(); ++position)
    for (gobjRec* object : docfile::readList(run.models[position])) {
      if (!object->owner) continue;
      for (uint32_t t = 0; t + 2 < doc->remapCount; t += 3)
        if (doc->remap[t] == object->owner && doc->remap[t + 1] == position) {
          object->owner = uint8_t(doc->remap[t + 2]);
          break;
        }
    }
}

void emptyRemap(docRec* doc) {
  uFreeIfSet(&doc->remap);
  doc->remapCount = doc->remapCapacity = 0;
}

void postLoad(ReadRun& run) {
  for (modelRec* model : run.models)
    for (gobjRec* object : docfile::readList(model))
      objMeth(object->classId, msgPostLoad, object, reinterpret_cast<intptr_t>(run.ctx));
}

sheetRec* firstWithWindow(const docRec* doc) {
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (sheet->window) return sheet;
  return nullptr;
}

// The document window of the sheet to show (or the first sheet). A run
// without the frame window (the script runner, tests) has no document
// windows.
void windowStep(ReadRun& run) {
  docRec* doc = run.doc;
  doc->flags &= ~uint32_t{docUntitled};
  sheetRec* sheet = run.show ? run.show : doc->firstSheet;
  if (!sheet || !uiGetFrame()) return;
  int32_t box[4];
  std::memcpy(box, sheet->windowBox, sizeof box);
  if (box[2] <= box[0] || box[3] <= box[1]) std::memcpy(box, run.box, sizeof box);
  vwWindowBoxFit(box);
  const RECT rect{box[0], box[1], box[2], box[3]};
  char* title = vwWindowTitle(doc, sheet);
  windRecord* window = windCreateAndAnnounce(&rect, title ? title : "");
  uFreeIfSet(&title);
  if (window) sheetAttachWindow(sheet, window);
  if (sheetRec* front = firstWithWindow(doc)) {
    windActivate(front->window, 1);
    if (front->activeView) vwSetActiveView(front->activeView);
  }
}

// The objects read go to their destination, or are let go after a failure.
void handOut(ReadRun& run, bool ok) {
  for (modelRec* model : run.models) {
    for (gobjRec* object : docfile::readList(model)) {
      if (ok && importing()) grpAdd(object);
      else if (ok) sieveInsert(model->sieve, object);
      objRelease(&object);
    }
    docfile::readListDrop(model, false);
  }
}

// What every read ends with.
void finish(ReadRun& run, bool ok) {
  docfile::refsRelease();
  handOut(run, ok);
  emptyRemap(run.doc);
  if (sheetRec* sheet = run.reading; sheet && sheet->head.object.refCount == 0) sheetFree(sheet);
  run.reading = nullptr;
  if (ok) {
    if (scriptDefined("aThermUpdate")) {
      const int32_t depth = feOperandDepth();
      feExecf("100 aThermUpdate");
      feOperandRestore(depth);
    }
    docMenuUpdate();
    if (!(state().readFlags & (vwReadImport | vwReadNoWindow))) windowStep(run);
  }
  for (modelRec* model : run.models) {
    uint8_t& count = model->head.object.refCount;
    if (importing() && count != feObjPermanent && count > 0) --count;
    if (count == 0) modelFree(model);
  }
  run.models.clear();
  vwPopView();
}

int readAll(ReadRun& run, const char* name, uint32_t length, ioRecovery* recovery) {
  if (const int answer =
          ioOpen(&run.ctx, name, int(length), (state().readFlags | ioFlagRead) & ~uint32_t{ioFlagWrite}, 0, recovery))
    return answer;
  state().version = vwFileDocVersion(run.ctx);
  state().fileSize = run.ctx->fileSize;
  readHead(run);
  readModels(run);
  readSheets(run);
  if (!importing()) {
    settleSheets(run);
    readColorTable(run);
  }
  remapOwners(run);
  postLoad(run);
  docfile::refsRelease();
  ioCtx* ctx = run.ctx;
  run.ctx = nullptr;
  return ioClose(ctx);
}

}  // namespace

int vwReadDoc(docRec* doc, const char* name, uint32_t length, uint32_t flags) {
  if (!doc || !name) return ioErrBadArg;
  // New sheets copy the preferences document's: it is made before this
  // read's state is set up.
  vwGetDefaultDoc();
  docfile::State saved = std::move(state());
  state() = docfile::State{};
  state().readFlags = flags;
  vwPushView(nullptr);
  docSetCurrent(doc);
  ReadRun run;
  run.doc = doc;
  ioRecovery recovery;
  int code = 0;
  try {
    code = readAll(run, name, length, &recovery);
  } catch (const ioFailure& failure) {
    run.ctx = nullptr;  // freed on the way out
    code = failure.code ? failure.code : ioErrBadData;
  } catch (...) {
    if (ioCtx* ctx = run.ctx) {
      run.ctx = nullptr;
      ctx->recovery = nullptr;
      ioClose(ctx);
    }
    finish(run, false);
    state() = std::move(saved);
    throw;
  }
  finish(run, code == 0);
  state() = std::move(saved);
  return code;
}
