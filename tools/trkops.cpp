// The point-input operators that work on the chain of recent objects and
// its entered points: reading entered points, adding start points, lines
// and existing objects, backing up one segment and ending the chain.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "core/errors.h"
#include "core/vec.h"
#include "fe/opcall.h"
#include "geometry/line.h"
#include "geometry/point.h"
#include "objects/docvar_sheet.h"
#include "objects/grpedit.h"
#include "objects/layer.h"
#include "objects/nearcurve.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "core/classes.h"

#include <algorithm>

namespace trk {

int addStartPoint(const double p[3]) {
  if (!sheet()) return errNoSheet;
  pointRec* made = pointNew(p);
  if (!made) return -1;
  gobjRec* point = &made->head;
  layerSetByName(point, ".temp", 5, 0);
  if (objInsert(point) != 0) {
    // No document took it: nothing else holds it.
    objFree(point);
    return -1;
  }
  trkAddObject(point);
  sheet()->recentFlags |= sheetRecentChanged;
  return 0;
}

// "I<0>#AP{3D}" aStartPoint, "I#AP{3D}" aIndexPoint, "I<-1>#AP{3D}"
// aCurPoint: the entered point of an index taken modulo the count, so that
// -1 is the newest and the count itself the oldest.
int opEnteredPoint(feArgs* args) {
  dbSheetRec* s = sheet();
  if (!s) return errNoSheet;
  const int count = s->enteredCount;
  if (count <= 0) return errNoPoint;
  int index = args->in[0].i % count;
  if (index < 0) index += count;
  std::copy(s->entered[index], s->entered[index] + 3, static_cast<double*>(args->out[0]));
  return 0;
}

// "!#I".
int opPointCount(feArgs* args) {
  dbSheetRec* s = sheet();
  if (!s) return errNoSheet;
  *static_cast<int32_t*>(args->out[0]) = s->enteredCount;
  return 0;
}

// "!": ends the chain. Each object is held while it leaves the list and,
// on ".temp", the document; an object still in the document is queued for
// redrawing (its selection mark goes), and one that nothing holds any more
// is freed when the hold is given back.
int opNewCurrent(feArgs*) {
  dbSheetRec* s = sheet();
  if (!s) return 0;
  markHide();
  while (s->recentCount > 0) {
    gobjRec* object = s->recent[s->recentCount - 1];
    objRetain(object);
    if (trkRemoveObject(object) != 0) {
      objRelease(&object);
      break;
    }
    if (objOnScratchLayer(object) && (object->flags & gobjInSieve)) objDelete(object, 1);
    if (object->flags & gobjInSieve) objUpdateQueue(object);
    objRelease(&object);
  }
  s->recentCount = 0;
  s->enteredCount = 0;
  return 0;
}

// "!Q[gobject]".
int opMakeCurrent(feArgs* args) {
  auto* object = static_cast<gobjRec*>(args->in[0].record);
  if (!object) return 0;
  if (!(object->flags & gobjInSieve)) objInsert(object);
  trkAddObject(object);
  return 0;
}

// "!AP{3D}".
int opAddStartPoint(feArgs* args) { return addStartPoint(static_cast<const double*>(args->in[0].block)); }

// "!IAP{3D}": mode 0 to the point, 1 by the point from the last point, 2
// polar (radius, angle in turns) from the last point.
int opAddLine(feArgs* args) {
  dbSheetRec* s = sheet();
  if (!s) return errNoSheet;
  const int mode = args->in[0].i;
  const auto* p = static_cast<const double*>(args->in[1].block);
  if (s->enteredCount <= 0) {
    if (mode != 0) return errCannotDelta;
    const int answer = addStartPoint(p);
    markHide();
    return answer;
  }
  if (mode < 0 || mode > 2) return feErrRangeCheck;
  markHide();
  const double* last = s->lastPoint;
  double end[3];
  if (mode == 0) {
    std::copy(p, p + 3, end);
  } else if (mode == 1) {
    for (int k = 0; k < 3; ++k) end[k] = last[k] + p[k];
  } else {
    double c = 0, sn = 0;
    angSinCos(p[1], &c, &sn);
    end[0] = last[0] + p[0] * c;
    end[1] = last[1] + p[0] * sn;
    end[2] = last[2];
  }
  const double start[3] = {last[0], last[1], last[2]};
  if (gobjRec* line = lineMake(start, end)) {
    objSelect(line, 1);
    if (objInsert(line) == 0) {
      trkAddObject(line);
      s->recentFlags |= sheetRecentChanged;
    } else {
      objFree(line);
    }
  }
  markShowLast();
  return 0;
}

// "!": a chain of one line gives way to a start point at its start;
// otherwise the newest object is deleted (the deletion takes it out of the
// chain).
int opLineBackup(feArgs*) {
  dbSheetRec* s = sheet();
  if (!s) return errNoSheet;
  if (s->recentCount <= 0) return 0;
  gobjRec* newest = s->recent[s->recentCount - 1];
  if (s->recentCount == 1 && objInClass(newest, "line") == 1) {
    double start[3];
    crvPoint(newest, 0.0, start);
    if (objDelete(newest, 1) != 0) return 0;
    return addStartPoint(start);
  }
  objDelete(newest, 1);
  return 0;
}

}  // namespace trk
