// The line's keys (messages 107, 108 and 406) and its property panel (346).
#include "geometry/line_internal.h"

#include "core/classes.h"
#include "core/errors.h"
#include "core/vec.h"
#include "core/xlate.h"
#include "objects/attrnames.h"
#include "objects/gobject.h"
#include "objects/lnstyle.h"
#include "objects/objinfo.h"
#include "objects/objmsg.h"
#include "objects/style.h"
#include "ui/achk.h"
#include "views/view.h"
#include "views/wplane.h"

#include <cstring>

namespace {

enum : int {
  kLineFont = 3,
  kArrowType = 104,
  kEndPt = 114,
  kAngle = 118,
  kPtSel = 119,
  kLength = 126,
  kPt0 = 130,
  kPt1 = 140,
  kDelta = 150,
  kDeltaX = 151,
  kDeltaY = 152,
  kDeltaZ = 153,
  kTextSize = 160,
  kQAngle = 161,
  kQLength = 162,
  kArrowSize = 164,
  kArrowHead = 180,
};

// The keys message 406 lists, in order.
const int kKeyCodes[] = {kPt0, kPt1, kDelta, kLength, kAngle, kArrowHead, kArrowType, kArrowSize, 0};

int super(lineRec* line, int message, const void* a, const void* b) {
  return objMeth(objSuperClass(line->head.classId), message, line, reinterpret_cast<intptr_t>(a),
                 reinterpret_cast<intptr_t>(b));
}

// The entry's kind, size and up vector; kind 0, size 0 and the work
// plane's normal when the entry cannot be read, and the normal as well
// when the entry has none.
void currentArrow(const lineRec* line, int* kind, double* size, double* up) {
  *kind = 0;
  *size = 0;
  vecSet3(up, 0, 0, 0);
  lnstyleGet(line->arrows & lineArrowIndex, kind, size, up);
  if (vecLen3(up) == 0) wpGetAxis(2, up);
}

void setArrowEntry(lineRec* line, int kind, double size, const double* up) {
  const uint16_t index = lnstyleFind(kind, size, up);
  line->arrows = uint16_t((line->arrows & ~lineArrowIndex) | (index & lineArrowIndex));
}

// 180: the ends from value & 3; an arrowhead without a size takes the
// default of the current style, divided by the view scale.
void setArrowHead(lineRec* line, int32_t value) {
  const uint16_t old = line->arrows;
  const uint16_t ends = uint16_t(((value & 1) ? lineArrowStart : 0) | ((value & 2) ? lineArrowEnd : 0));
  line->arrows = uint16_t((line->arrows & ~(lineArrowStart | lineArrowEnd)) | ends);
  if (!ends) return;
  int kind;
  double size, up[3];
  currentArrow(line, &kind, &size, up);
  if (size > 0) return;
  size = styleGetReal(styleDefChar(), styleCodeSize, 0.0, nullptr);
  double scale = 1.0, scaled = size;
  vwGetViewScale(1, &scale);
  if (uSafeDiv(size, scale, &scaled) == 0) size = scaled;
  if (!(old & (lineArrowStart | lineArrowEnd))) kind = 0;
  setArrowEntry(line, kind, size, up);
}

// 151-153: one coordinate of the direction in the work plane.
void setDeltaCoord(lineRec* line, int axis, double value) {
  double d[3], plane[3], world[3], end[3];
  vecSub3(linemod::pt1(line), linemod::pt0(line), d);
  wpConvert(3, d, 0, plane);
  plane[axis] = value;
  wpConvert(1, plane, 0, world);
  vecAdd3(linemod::pt0(line), world, end);
  gobjRec* slot = &line->head;
  lineSet(&slot, nullptr, end, nullptr);
}

}  // namespace

namespace linemod {

int getAttr(lineRec* line, const feObject* key, feObject* out) {
  attrNamesInit();
  uiAChkData data;
  const int code = uiAChkKeyCode(attrNames(), key, &data);
  double point[3];
  int kind = 0;
  double size = 0, up[3];
  const bool arrows = arrowEntry(line, &kind, &size, up);
  switch (code) {
    case kArrowType: data.count = arrows ? kind : 0; break;
    case kArrowSize:
    case kTextSize:
      if (code == kTextSize) return super(line, msgGetAttr, key, out);
      data.real = arrows ? size : 0.0;
      break;
    case kArrowHead: data.count = line->arrows >> 14; break;
    case kPt0: vecCopy3(pt0(line), point), data.data = point; break;
    case kPt1:
    case kEndPt: vecCopy3(pt1(line), point), data.data = point; break;
    case kDelta: vecSub3(pt1(line), pt0(line), point), data.data = point; break;
    case kAngle: data.real = lineWpAngle(pt0(line), pt1(line)); break;
    case kLength: data.real = vecDist3(pt0(line), pt1(line)); break;
    default: return super(line, msgGetAttr, key, out);
  }
  uiAChkMakeValue(attrNames(), code, out, &data);
  return data.status;
}

int setAttr(lineRec* line, const feObject* key, const feObject* value) {
  attrNamesInit();
  uiAChkData data;
  const int code = uiAChkl(attrNames(), key, value, &data);
  // A key of the list with a value of the wrong type or length is refused
  // here; a key the list does not know goes to the superclass.
  if (data.status != 0 && data.status != feErrUndefined) return data.status;
  gobjRec* slot = &line->head;
  switch (code) {
    case kPt0: return lineSet(&slot, static_cast<const double*>(data.data), nullptr, nullptr);
    case kPt1:
    case kEndPt: return lineSet(&slot, nullptr, static_cast<const double*>(data.data), nullptr);
    case kDelta: {
      double end[3];
      vecAdd3(pt0(line), static_cast<const double*>(data.data), end);
      return lineSet(&slot, nullptr, end, nullptr);
    }
    case kDeltaX:
    case kDeltaY:
    case kDeltaZ: setDeltaCoord(line, code - kDeltaX, data.real); return 0;
    case kAngle:
    case kQAngle: rotateTo(line, data.real); return 0;
    case kLength:
    case kQLength: setLength(line, data.real); return 0;
    case kPtSel:
      line->ptSel = uint16_t(data.count & 3);
      if (line->ptSel) line->head.flags |= gobjPointSel;
      else line->head.flags &= uint16_t(~gobjPointSel);
      return 0;
    case kArrowType:
    case kArrowSize:
    case kTextSize: {
      if (!(line->arrows & (lineArrowStart | lineArrowEnd))) return 0;
      int kind;
      double size, up[3];
      currentArrow(line, &kind, &size, up);
      if (code == kArrowType) kind = data.count;
      else size = data.real;
      setArrowEntry(line, kind, size, up);
      return 0;
    }
    case kArrowHead: setArrowHead(line, data.count); return 0;
    default: break;
  }
  const int answer = super(line, msgSetAttr, key, value);
  // A new line font changes the dash fit.
  if (answer == 0 && code == kLineFont) lineSet(&slot, nullptr, nullptr, nullptr);
  return answer;
}

int enumKeys(lineRec* line, intptr_t callback, intptr_t context) {
  attrNamesInit();
  return gobjAttrEnum(reinterpret_cast<objKeyCallback>(callback), reinterpret_cast<void*>(context), kKeyCodes,
                      attrNames(), line->head.classId, line);
}

int propPanel(lineRec* line, void* context) {
  objMeth(objSuperClass(line->head.classId), msgPropPanel, line, reinterpret_cast<intptr_t>(context));
  infoAddPoint(context, "pt0", pt0(line), 1);
  infoAddPoint(context, "pt1", pt1(line), 1);
  infoAddNumber(context, "length", vecDist3(pt0(line), pt1(line)), 1);
  infoAddAngle(context, "angle", lineWpAngle(pt0(line), pt1(line)), 1);
  const char* choices = nullptr;
  xlateStr(0, "none;at-start;at-end;both", &choices);
  infoAddInt(context, "arrowhead", line->arrows >> 14, 1, choices);
  int kind = 0;
  double size = 0, up[3];
  if (arrowEntry(line, &kind, &size, up)) {
    infoAddInt(context, "arrowtype", kind, 1, nullptr);
    infoAddPoints(context, "arrowsize", size, 1);
  }
  return 0;
}

}  // namespace linemod
