// The symbol operators, with the preview that draws a master fitted into a
// screen box (aSymbolDraw) or at a screen position (aSymbolTrack).
#include "objects/symb.h"

#include "core/classes.h"
#include "draw/csys.h"
#include "fe/names.h"
#include "fe/opcall.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/instanc.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint32_t symbolFlag = 0;

// Members drawn in a preview: those of line font 1 only when they are
// instances.
bool previewed(const gobjRec* member) { return gobjLineFont(member) != 1 || instIs(member); }

struct PreviewBox {
  bool any = false;
  double c[6] = {0, 0, 0, 0, 0, 0};
};

void previewExtent(const symbRec* master, PreviewBox* box) {
  grpForEach(master->members, [](gobjRec* member, void* context) {
    auto* b = static_cast<PreviewBox*>(context);
    double c[6];
    if (grpIsGroup(member) || !previewed(member) || objGetExtents(member, c) != 0) return 0;
    for (int i = 0; i < 3; ++i) {
      if (!b->any || c[i] < b->c[i]) b->c[i] = c[i];
      if (!b->any || c[i + 3] > b->c[i + 3]) b->c[i + 3] = c[i + 3];
    }
    b->any = true;
    return 0;
  }, box);
}

int pushInt(int32_t value) {
  feObject v;
  feMakeInt(&v, value);
  return fePush(feOperandStack(), &v);
}

}  // namespace

void vwSetSymbolFlag(uint32_t value) { symbolFlag = value; }
uint32_t vwGetSymbolFlag() { return symbolFlag; }

// "!": the names of the current document's masters, list order.
int symbOpList(feArgs*) {
  const dbDocRec* doc = dbCurrentDoc();
  for (const symbRec* master = doc ? doc->symbols : nullptr; master; master = master->next) {
    feObject name;
    const char* text = master->name ? master->name : "";
    if (const int rc = feMakeString(&name, text, std::strlen(text))) return rc;
    if (const int rc = fePush(feOperandStack(), &name)) {
      feFree(&name);
      return rc;
    }
  }
  return 0;
}

// "S#Q": the master's member group.
int symbOpPeek(feArgs* args) {
  const symbRec* master = symbFind(args->in[0].text.text, args->in[0].text.length, 0);
  if (!master) return -1;
  *static_cast<void**>(args->out[0]) = master->members;
  return 0;
}

// aSymbolDraw "I<0>A{iiii}SR<1>I<0>I<1>#" and aSymbolTrack
// "I<1>A{iiii}SRA{II}I<1>#": mode, screen box, name, scale, where, inset.
int symbOpDraw(feArgs* args) {
  const bool tracking = args->in[0].i != 0;
  const auto* screen = static_cast<const int32_t*>(args->in[1].block);
  const symbRec* master = symbFind(args->in[2].text.text, args->in[2].text.length, 0);
  if (!master) return -1;
  const double given = args->in[3].d;
  const int32_t inset = args->in[5].i;
  const double left = screen[0] + inset, top = screen[1] + inset;
  const double right = screen[2] - inset, bottom = screen[3] - inset;
  PreviewBox box;
  previewExtent(master, &box);
  const double width = box.c[3] - box.c[0], height = box.c[4] - box.c[1];
  // The largest scale at which both axes fit; an axis without extent does
  // not limit it.
  double fit = 0;
  if (width > 0) fit = (right - left) / width;
  if (height > 0) fit = fit > 0 ? std::min(fit, (bottom - top) / height) : (bottom - top) / height;
  if (!(fit > 0)) fit = 1;
  double scale = tracking ? given * fit : std::copysign(std::min(std::fabs(given), fit), given == 0 ? 1.0 : given);
  if (scale == 0) scale = fit;
  double centre[2] = {(left + right) / 2, (top + bottom) / 2};
  if (tracking) {
    const auto* where = static_cast<const int32_t*>(args->in[4].block);
    centre[0] = where[0];
    centre[1] = where[1];
  }
  const double mid[2] = {(box.c[0] + box.c[3]) / 2, (box.c[1] + box.c[4]) / 2};
  // Screen y grows downwards.
  const double matrix[16] = {scale, 0, 0, centre[0] - scale * mid[0], 0, -scale, 0, centre[1] + scale * mid[1],
                             0, 0, scale, 0, 0, 0, 0, 1};
  const uint32_t flag = vwGetSymbolFlag();
  vwSetSymbolFlag(1);
  if (csysPush() == 0) {
    csysLoadStamped(matrix, 0);
    grpForEach(master->members, [](gobjRec* member, void*) {
      if (!grpIsGroup(member) && previewed(member) && !(member->flags & gobjHidden))
        objMeth(member->classId, msgDraw, member);
      return 0;
    }, nullptr);
    csysPop();
  }
  vwSetSymbolFlag(flag);
  return 0;
}

// "Q[group]S#": defines or redefines the named master.
int symbOpDefine(feArgs* args) {
  const feArgText& name = args->in[1].text;
  symbRec* master = symbFind(name.text, name.length, 0);
  const int answer = symbDefine(static_cast<glist*>(args->in[0].record), name.text, name.length, nullptr, &master);
  // Without a document nothing holds a new master.
  if (master && master->uses == 0) symbRelease(&master);
  return answer;
}

// "!S#B".
int symbOpTest(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = symbFind(args->in[0].text.text, args->in[0].text.length, 0) ? 1 : 0;
  return 0;
}

// "!S#B": the id below true, or false alone.
int symbOpTestId(feArgs* args) {
  const symbRec* master = symbFind(args->in[0].text.text, args->in[0].text.length, 0);
  if (master)
    if (const int rc = pushInt(master->id)) return rc;
  *static_cast<int32_t*>(args->out[0]) = master ? 1 : 0;
  return 0;
}

// "!SI".
int symbOpSetId(feArgs* args) {
  symbRec* master = symbFind(args->in[0].text.text, args->in[0].text.length, 0);
  if (!master) return symbErrBadArg;
  master->id = args->in[1].i;
  return 0;
}
