// The line operators: making lines from keyed lists and construction
// lines, the perpendicular and the angle of lines, the stress test, the
// phase-scaling switch, and the arrowhead choice of a group of lines.
#include "geometry/line_internal.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/vec.h"
#include "core/xlate.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/arrays.h"
#include "fe/attnpoll.h"
#include "fe/opcall.h"
#include "fe/operator.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/docvar_sheet.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "views/sheet.h"
#include "views/wplane.h"

#include <cmath>
#include <cstring>

namespace {

// Lines drawn in the pattern-fitting scale (aLnfontPhaseScalingOn).
int phaseScaling = 0;
lineClipFn clipHook = nullptr;

// The Degenerate error of the program's error table.
constexpr int kDegenerate = -4150;
constexpr int32_t kTestLines = 100000;

bool isLine(const gobjRec* object) { return object && !grpIsGroup(object) && objInClass(object, "line") == 1; }

// "O#Q": a line from a keyed array, answered as a group of one.
int aLineMakeOp(feArgs* args) {
  gobjRec* line = nullptr;
  const int answer = linemod::makeKeyed(args->in[0].value, &line);
  if (answer != 0) return answer;
  *reinterpret_cast<glist**>(args->out[0]) = grpOfOne(line);
  return 0;
}

// Applies the keyed array of aConstrMake2 to a line: 0, or the first
// failure (280 for a key without a value).
int applyKeys(gobjRec* line, const feObject* list) {
  if (!list || feType(list) != feTArray) return 0;
  const int32_t n = feArrayLength(list);
  if (n % 2) return feErrLengthCheck;
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const int answer = objMeth(line->classId, msgSetAttr, line, reinterpret_cast<intptr_t>(feArrayElem(list, i)),
                               reinterpret_cast<intptr_t>(feArrayElem(list, i + 1)));
    if (answer != 0) return answer;
  }
  return 0;
}

// One construction line through base + r (N x dir) / |N x dir| along dir,
// cut to the plot bounds on screen.
gobjRec* constructionLine(const double* base, double r, double turns, int* status) {
  double x[3], y[3], n[3], c, s, dir[3], side[3], through[3];
  wpGetAxis(0, x);
  wpGetAxis(1, y);
  wpGetAxis(2, n);
  angSinCos(turns, &c, &s);
  for (int i = 0; i < 3; ++i) dir[i] = c * x[i] + s * y[i];
  vecCross3(n, dir, side);
  const double sideLength = vecLen3(side);
  vecCopy3(base, through);
  if (sideLength > 0) vecAxpy3(r / sideLength, base, side, through);
  double t0 = 0, t1 = 0;
  clipHook(through, dir, 1, &t0, &t1);
  double a[3], b[3];
  vecAxpy3(t0, through, dir, a);
  vecAxpy3(t1, through, dir, b);
  gobjRec* line = lineMake(a, b);
  if (!line) {
    *status = -1;
    return nullptr;
  }
  line->style = 1;
  const char* name = nullptr;
  xlateStr(0, "construction", &name);
  if (name) layerSetByName(line, name, uint32_t(std::strlen(name)), 0);
  return line;
}

// "! AP{3D} AR AR O#Q": construction lines through a point (the current
// sheet record's reference point when none is given), one for each offset
// and angle.
int aConstrMake2Op(feArgs* args) {
  if (!clipHook) return feErrUnimplemented;
  const auto* point = static_cast<const double*>(args->in[0].block);
  const int32_t nOffsets = args->in[1].list.count, nAngles = args->in[2].list.count;
  const auto* offsets = static_cast<const double*>(args->in[1].list.items);
  const auto* angles = static_cast<const double*>(args->in[2].list.items);
  const feObject* attributes = args->in[3].value;
  double base[3];
  if (point) {
    vecCopy3(point, base);
  } else {
    dbSheetRec* sheet = nullptr;
    sheetCurrent(&sheet);
    if (!sheet) {
      grpBegin();
      *reinterpret_cast<glist**>(args->out[0]) = grpEnd();
      return 0;
    }
    vecCopy3(sheet->origin, base);
  }
  grpBegin();
  gxStatePush();
  if (void* window = vwGetDrawWindow()) gxSetWindow(static_cast<HWND>(window));
  int status = 0;
  for (int32_t i = 0; i < nOffsets && status == 0; ++i)
    for (int32_t k = 0; k < nAngles && status == 0; ++k) {
      gobjRec* line = constructionLine(base, offsets[i], angles[k], &status);
      if (!line) break;
      grpAdd(line);
      status = applyKeys(line, attributes);
    }
  gxStatePop();
  glist* group = grpEnd();
  if (status != 0) {
    grpFree(group);
    return status;
  }
  *reinterpret_cast<glist**>(args->out[0]) = group;
  return 0;
}

struct PerpPass {
  int found = 0;            // lines of nonzero length
  bool degenerate = false;  // a line of no length was met
  double vector[3] = {0, 0, 0};
};

// "Q[group]#AV{3D}": (p1 - p0) x N of the group's one line.
int aLinePerpOp(feArgs* args) {
  PerpPass pass;
  grpForEach(static_cast<glist*>(args->in[0].record), [](gobjRec* member, void* context) {
    auto* pass = static_cast<PerpPass*>(context);
    if (!isLine(member)) return 0;
    const auto* line = reinterpret_cast<const lineRec*>(member);
    double d[3], n[3];
    vecSub3(linemod::pt1(line), linemod::pt0(line), d);
    if (vecLen3(d) == 0) {
      pass->degenerate = true;
      return 0;
    }
    wpGetAxis(2, n);
    vecCross3(d, n, pass->vector);
    ++pass->found;
    return 0;
  }, &pass);
  if (pass.found == 1) {
    std::memcpy(args->out[0], pass.vector, sizeof pass.vector);
    return 0;
  }
  return pass.degenerate ? kDegenerate : -1;
}

// "!Q[group]R": every line turned about its start to the angle.
int aSetAngleOp(feArgs* args) {
  double turns = args->in[1].d;
  grpForEach(static_cast<glist*>(args->in[0].record), [](gobjRec* member, void* context) {
    if (!isLine(member)) return 0;
    objUpdate(member, 0);
    linemod::rotateTo(reinterpret_cast<lineRec*>(member), *static_cast<double*>(context));
    return 0;
  }, &turns);
  return 0;
}

// "!": inserts 100,000 horizontal lines into the current document. The
// interrupt poll (Escape) ends it early; the lines made so far stay. The
// signature ignores the answer: the operator never fails.
int aLineTestOp(feArgs*) {
  double y = 0;
  for (int32_t i = 0; i < kTestLines; ++i) {
    if (i % 1024 == 0 && feAttnPoll()) return feErrInterrupt;
    if (i % 10 == 0) dbgPrintf("[lineTest] line count %ld\n", int32_t(i));
    const double a[3] = {-1, y, 0}, b[3] = {1, y, 0};
    if (gobjRec* line = lineMake(a, b)) {
      if (objInsert(line) != 0) objFree(line);
    }
    y += 0.01;
  }
  return 0;
}

// Sets the switch and redraws the current sheet.
int setPhaseScaling(int on) {
  phaseScaling = on;
  void* sheet = nullptr;
  void* out[1] = {&sheet};
  feArgs cur{nullptr, 0, out, 1, 0};
  int answer = vwOpCurSheet(&cur);
  if (answer != 0) return answer;
  feArg in[2];
  in[0].record = sheet;
  in[1].i = -1;
  feArgs draw{in, 2, nullptr, 0, 0};
  return vwOpDrawSheet(&draw);
}

int aLnfontPhaseScalingOnOp(feArgs*) { return setPhaseScaling(1); }
int aLnfontPhaseScalingOffOp(feArgs*) { return setPhaseScaling(0); }

// "!#l".
int aGetLnfontPhaseScalingOp(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = phaseScaling;
  return 0;
}

struct OpSpec {
  const char* name;
  feOpHandler handler;
  const char* signature;
};

const OpSpec kOps[] = {
    {"aLineMake", aLineMakeOp, "O#Q/attribute-array # line/"},
    {"aConstrMake2", aConstrMake2Op, "! AP{3D} AR AR O#Q"},
    {"aLinePerp", aLinePerpOp, "Q[group]#AV{3D}"},
    {"aSetAngle", aSetAngleOp, "!Q[group]R"},
    {"aLineTest", aLineTestOp, "!"},
    {"aLnfontPhaseScalingOn", aLnfontPhaseScalingOnOp, "!"},
    {"aLnfontPhaseScalingOff", aLnfontPhaseScalingOffOp, "!"},
    {"aGetLnfontPhaseScaling", aGetLnfontPhaseScalingOp, "!#l"},
};

}  // namespace

namespace linemod {

int registerOps() {
  int first = 0;
  for (const OpSpec& op : kOps) {
    const int answer = feRegisterOp(op.name, op.handler, op.signature, 0, 0);
    if (answer != 0 && first == 0) first = answer;
  }
  return first;
}

}  // namespace linemod

int lineGroupArrows(const glist* group) {
  struct Count {
    uint16_t lineClass;
    int n = 0, a = 0, b = 0;
  } count{lineClassId()};
  if (group)
    grpForEach(group, [](gobjRec* member, void* context) {
      auto* c = static_cast<Count*>(context);
      if (!member || member->classId != c->lineClass) return 0;
      const uint16_t arrows = reinterpret_cast<const lineRec*>(member)->arrows;
      ++c->n;
      if (arrows & lineArrowStart) ++c->a;
      if (arrows & lineArrowEnd) ++c->b;
      return 0;
    }, &count);
  const dbDocRec* doc = dbCurrentDoc();
  const uint16_t defaults = doc ? doc->arrowEnds : 0;
  int a = count.a, b = count.b;
  const int n = count.n;
  if (a == n - a && (defaults & 1)) ++a;
  if (b == n - b && (defaults & 2)) ++b;
  return (a > n - a ? 1 : 0) | (b > n - b ? 2 : 0);
}

int lineGetPhaseScaling() { return phaseScaling; }
void lineSetPhaseScaling(int on) { phaseScaling = on ? 1 : 0; }

lineClipFn lineSetClipHook(lineClipFn clip) {
  const lineClipFn previous = clipHook;
  clipHook = clip;
  return previous;
}
