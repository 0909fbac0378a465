// The models of a document in the drawing file (block 7): each model's
// title, settings block, work planes and object records, with the progress
// display, the interrupt poll and the handling of improper objects and of
// a file that ends too early while reading.
#include "views/docfile.h"
#include "views/docfile_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "objects/docvar_sheet.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"
#include "objects/sieve.h"
#include "ui/attn.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/view.h"
#include "views/wplane.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

enum : int { kErrInterrupt = 277, kProgressStepMax = 500, kProgressSlices = 16 };

// Every record takes at least its type index and its length.
constexpr long kRecordMinBytes = 2;

// The model keeps the title read unless it is empty or another model of
// its document has it: then the name it was given when linked stays.
void takeTitle(modelRec* model, char* title) {
  const bool keep = title && *title &&
                    (!model->owner || !modelFind(model->owner, title, uint32_t(std::strlen(title))) ||
                     modelFind(model->owner, title, uint32_t(std::strlen(title))) == model);
  if (keep) {
    uFreeIfSet(&model->title);
    model->title = title;
  } else {
    uFreeIfSet(&title);
  }
}

// The progress display: the file position as a percentage of the file's
// size goes to the scripts' "aThermUpdate"; answers true on an interrupt.
bool progress(ioCtx* ctx) {
  const long size = docfile::state().fileSize;
  const long at = ioTell(ctx);
  const int percent = size > 0 && at >= 0 ? int(std::min<long>(100, at * 100 / size)) : 100;
  if (scriptDefined("aThermUpdate")) {
    const int32_t depth = feOperandDepth();
    feExecf("%d aThermUpdate", percent);
    feOperandRestore(depth);
  }
  return evPollAttn() != 0;
}

// An improper object: the first one asks whether improper objects are to
// be skipped. Answers true when the read goes on.
bool skipImproper() {
  docfile::State& st = docfile::state();
  if (st.ignoreImproper) return true;
  // The question answers true when the user chose not to ignore them.
  if (uAskYesNo(0, "WImproper Graphics found - Ignore them?")) return false;
  st.ignoreImproper = true;
  return true;
}

bool droppedCurve(gobjRec* object) {
  const uint32_t flags = docfile::state().readFlags;
  if ((flags & (vwReadImport | vwReadDropCurves)) != (vwReadImport | vwReadDropCurves)) return false;
  return objInClass(object, "curve") == 1;
}

struct CountWalk {
  int32_t count;
};

int countOne(gobjRec* object, void* context) {
  if (!viewIs(object)) ++static_cast<CountWalk*>(context)->count;
  return 0;
}

int writeOne(gobjRec* object, void* context) {
  if (viewIs(object)) return 0;
  objWrite(object, static_cast<ioCtx*>(context));
  evProgressTick(1);
  return 0;
}

}  // namespace

int vwReadModel(modelRec* model, ioCtx* ctx, int* endOfFile) {
  *endOfFile = 0;
  const int version = docfile::state().version;
  char* title = nullptr;
  if (docfile::titleIO(ctx, &title, 0) != 0) {
    uFreeIfSet(&title);
    return ioErrBadData;
  }
  takeTitle(model, title);
  if (version >= 6 && sheetIO(ctx, &model->settings) < 0) return ioErrBadData;
  if (version >= 10) {
    if (const int answer = wpModelPlanesIO(model, ctx, 0); answer < 0) return answer;
  }
  int32_t count = 0;
  ioFormat(ctx, "l", &count);
  // A count beyond the records the file could hold is damage, not an early
  // end of the file.
  docfile::checkCount(ctx, count, kRecordMinBytes);
  std::vector<gobjRec*>& list = docfile::readList(model);
  const int32_t step = std::max(1, std::min<int32_t>(kProgressStepMax, count / kProgressSlices));
  for (int32_t i = 0; i < count; ++i) {
    int status = 0;
    gobjRec* object = nullptr;
    const int answer = ioBytesLeft(ctx) > 0 ? objRead(ctx, &status, &object) : (status = -1);
    if (status == -1) {
      dbgPrintf("[vwReadModel] read %ld out of %ld items\n", int32_t(i), int32_t(count));
      uAlert(0, "SUnexpected EOF", nullptr);
      *endOfFile = 1;
      return -1;
    }
    if (status < 0) return status;
    if (answer < 0 || !object) {
      if (!skipImproper()) return -1;
    } else if (droppedCurve(object)) {
      if (object->refCount == 0) objFree(object);
    } else {
      objRetain(object);
      list.push_back(object);
    }
    if ((i + 1) % step == 0 && progress(ctx)) return kErrInterrupt;
  }
  return 0;
}

namespace docfile {

int writeModel(ioCtx* ctx, modelRec* model, uint32_t mode) {
  const int version = state().version;
  if (titleIO(ctx, &model->title, 1) != 0) return -1;
  if (version >= 6 && sheetIO(ctx, &model->settings) < 0) return -1;
  if (version >= 10) {
    for (wplaneRec* plane = model->firstPlane; plane; plane = plane->next)
      if (plane->flags & wpStale) wpUpdate(plane);
    if (wpModelPlanesIO(model, ctx, 1) < 0) return -1;
  }
  CountWalk walk{0};
  if (!(mode & vwWriteNoObjects)) sieveForEach(model->sieve, countOne, &walk);
  if (ioFormat(ctx, "l", &walk.count) < 0) return -1;
  if (walk.count) sieveForEach(model->sieve, writeOne, ctx);
  return 0;
}

}  // namespace docfile
