// The state of the drawing file being read or written: its document
// version, the read flags, the shared-reference table, the lists of objects
// read per model, and the small codings the blocks share.
#include "views/docfile.h"
#include "views/docfile_internal.h"

#include "core/debug.h"
#include "objects/ctab.h"
#include "objects/gobject.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/vwtitle_io.h"

#include <algorithm>
#include <cstdint>

namespace {

vwColorTableIOFn colorTableRoutine = nullptr;

// The colour table's own block, once its module is set up.
int colorTableBlock(ioCtx* ctx, docRec* doc, int write) {
  return cTabDocFileIO(ctx, doc ? doc->settings : nullptr, write);
}

}  // namespace

namespace docfile {

vwColorTableIOFn colorTableIO() {
  if (colorTableRoutine) return colorTableRoutine;
  return cTabFileBlockOn() ? colorTableBlock : nullptr;
}

State& state() {
  static State s{};
  return s;
}

bool importing() { return (state().readFlags & vwReadImport) != 0; }

int titleIO(ioCtx* ctx, char** title, int write) { return vwTitleIO(ctx, title, state().version, write); }

void internalError(const char* what) { dbgPanic("%s: '%s'", "Assert failed in DidUrur", what); }

void checkCount(ioCtx* ctx, int32_t count, long minBytes) {
  if (count >= 0 && int64_t(count) * minBytes <= ioBytesLeft(ctx)) return;
  ioFail(ctx, ioErrBadData, "SBad data in file", nullptr);
}

std::vector<gobjRec*>& readList(modelRec* model) {
  if (!model->readList) model->readList = new std::vector<gobjRec*>();
  return *static_cast<std::vector<gobjRec*>*>(model->readList);
}

void readListDrop(modelRec* model, bool release) {
  auto* list = static_cast<std::vector<gobjRec*>*>(model->readList);
  if (!list) return;
  model->readList = nullptr;
  if (release)
    for (gobjRec* object : *list) objRelease(&object);
  delete list;
}

void refsRelease() {
  std::vector<gobjRec*> refs;
  refs.swap(state().refs);
  for (gobjRec* object : refs) objRelease(&object);
}

void boxIO(ioCtx* ctx, int32_t box[4], int write) {
  if (!write) {
    ioFormat(ctx, "4l", box);
    return;
  }
  // The file keeps 16-bit coordinates: a box beyond them is held at their
  // limits rather than wrapped round.
  int16_t stored[4];
  for (int k = 0; k < 4; ++k) stored[k] = int16_t(std::clamp<int32_t>(box[k], INT16_MIN, INT16_MAX));
  ioFormat(ctx, "4s", stored);
}

int32_t modelPosition(const docRec* doc, const modelRec* model) {
  int32_t position = 0;
  for (const modelRec* m = doc ? doc->firstModel : nullptr; m; m = m->next, ++position)
    if (m == model) return position;
  return 0;
}

}  // namespace docfile

int vwDocVersion() { return docfile::state().version; }

void vwSetColorTableIO(vwColorTableIOFn io) { colorTableRoutine = io; }

void vwFileRefPush(gobjRec* object) {
  if (!object) return;
  objRetain(object);
  docfile::state().refs.push_back(object);
}
