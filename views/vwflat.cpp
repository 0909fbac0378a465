// Flattening a view onto its sheet's draft view (aViewToSheet,
// aViewFlattenEx), and the hooks through which flattening and clipping reach
// the curve, trim and volume classes.
#include "views/vwflat.h"

#include "core/classes.h"
#include "core/matrix.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "objects/docvar.h"
#include "objects/docvar_sheet.h"
#include "objects/group.h"
#include "objects/grpedit.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

namespace {

int flattenMode = 0;
bool hlrSetUp = false;  // "aChackMakeHLRLayer" has run
vwFlattenHooks hooks{};

struct Flattening {
  const viewRec* view;
  double mapping[16];
  glist* copies;       // the copies placed so far (one reference each)
};

// Makes the object the current object while "aSetToHLRLayer" runs; the
// current-object group is put back afterwards.
void runSetToHlrLayer(gobjRec* copy) {
  glist* old = curObjGroup();
  if (old) grpRetain(old);
  glist* one = grpOfOne(copy);
  grpRetain(one);
  feArg in{};
  in.record = one;
  feArgs args{&in, 1, nullptr, 0, 0};
  aSetCurObj(&args);
  feExecf("aSetToHLRLayer");
  glist* back = old ? old : grpOfOne(nullptr);
  if (!old) grpRetain(back);
  in.record = back;
  aSetCurObj(&args);
  grpRelease(&back);
  grpRelease(&one);
}

// A transformed copy of the object added to the group being built; answers
// the copy (held by the group) or null.
gobjRec* placeCopy(gobjRec* object, Flattening* f) {
  gobjRec* copy = nullptr;
  if (objCopyWith(object, f->mapping, &copy) != 0 || !copy) return nullptr;
  grpAddTo(copy, &f->copies);
  return copy;
}

// A volume in render mode 1: its outline curves in its place.
void placeOutlines(gobjRec* volume, Flattening* f) {
  if (!hooks.volumeCopyMembers) return;
  glist* outlines = nullptr;
  if (hooks.volumeCopyMembers(volume, "curve", &outlines) != 0 || !outlines) return;
  grpRetain(outlines);
  if (!hlrSetUp) {
    hlrSetUp = true;
    feExecf("aChackMakeHLRLayer");
  }
  grpForEach(outlines, [](gobjRec* curve, void* context) {
    auto* f = static_cast<Flattening*>(context);
    if (gobjRec* copy = placeCopy(curve, f)) runSetToHlrLayer(copy);
    return 0;
  }, f);
  grpRelease(&outlines);
}

int flattenOne(gobjRec* object, void* context) {
  auto* f = static_cast<Flattening*>(context);
  const int mode = f->view->renderMode;
  if (grpIsGroup(object) || objOnScratchLayer(object)) return 0;
  if (object->owner != 0 && object->owner != f->view->index) return 0;
  if (mode != 0) {
    if (objInClass(object, "surface") == 1 || objInClass(object, "light") == 1) return 0;
    if (objInClass(object, "volume") == 1) {
      if (mode == 1) placeOutlines(object, f);
      return 0;
    }
  }
  placeCopy(object, f);
  return 0;
}

int insertCb(gobjRec* object, void*) {
  objInsert(object);
  return 0;
}

}  // namespace

int vwFlattenMode() { return flattenMode; }

void vwSetFlattenHooks(const vwFlattenHooks* given) { hooks = given ? *given : vwFlattenHooks{}; }

gobjRec* vwFlattenLine(const double a[3], const double b[3]) {
  return hooks.lineMake ? hooks.lineMake(a, b) : nullptr;
}

int vwFlattenSplit(gobjRec* object, glist* sides, glist** out) {
  *out = nullptr;
  if (!hooks.trimSplit) return -1;
  glist* const groups[1] = {sides};
  return hooks.trimSplit(object, groups, 1, out);
}

// Message 307 takes the parameter by address.
int crvPointAt(gobjRec* curve, double t, double out[3]) {
  return objMeth(curve->classId, msgPointAtT, curve, reinterpret_cast<intptr_t>(&t), reinterpret_cast<intptr_t>(out));
}

int vwFlattenView(viewRec* view, sheetRec* sheet, glist** out) {
  *out = nullptr;
  if (!view) view = vwCurView();
  if (!view) return vwErrNoCurView;
  if (!sheet) sheet = vwCurSheet();
  viewRec* draft = sheet ? sheet->activeView : nullptr;
  if (!draft) return vwErrNoCurSheet;
  if (view == draft) return -1;
  if (view->model == draft->model) return -2;
  vwSetCurView(draft);
  vwRebuildMatrices(view);
  vwRebuildMatrices(draft);
  Flattening f{view, {}, nullptr};
  matMulN(4, view->worldToScreen, draft->screenToWorld, f.mapping);  // to the screen, then to the draft world
  const int renderMode = view->renderMode;
  flattenMode = vwFlattening;
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  if (renderMode == 0 || !view->perspective) sieveForEach(sieve, flattenOne, &f);
  flattenMode = 0;
  vwDelete(view);
  if (!f.copies) f.copies = grpOfOne(nullptr);
  // Rendered copies join the draft view's model (current since above).
  if (renderMode == 1) grpForEach(f.copies, insertCb, nullptr);
  *out = f.copies;
  return 0;
}

void vwFlattenReset() {
  hlrSetUp = false;
  flattenMode = 0;
  hooks = vwFlattenHooks{};
}

int vwOpViewToSheet(feArgs* args) {
  glist* group = nullptr;
  const int answer = vwFlattenView(nullptr, nullptr, &group);
  *reinterpret_cast<glist**>(args->out[0]) = group;
  return answer;
}

int vwOpViewFlattenEx(feArgs* args) {
  auto* view = static_cast<viewRec*>(args->in[0].record);
  auto* sheet = static_cast<sheetRec*>(args->in[1].record);
  glist* group = nullptr;
  const int answer = vwFlattenView(view, sheet, &group);
  *reinterpret_cast<glist**>(args->out[0]) = group;
  return answer;
}
