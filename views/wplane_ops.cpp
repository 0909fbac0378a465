// The work-plane operators, and the plane aWPlaneTrack makes from the
// points it tracks.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/errors.h"
#include "core/vec.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "views/current.h"
#include "views/model.h"
#include "views/vwinit.h"

#include <cstring>

namespace {

constexpr double kAxisMin = 0.5;

}  // namespace

int wpTrackMake(const double points[][3], int count, int mode) {
  modelRec* model = vwCurModel();
  if (count < (mode ? 1 : 3) || !model) return 0;
  double right[3], up[3], normal[3];
  if (mode) {
    wpGetAxis(0, right);
    wpGetAxis(1, up);
  } else {
    vecSub3(points[1], points[0], right);
    vecSub3(points[2], points[0], up);
  }
  vecNormalize3(right, right);
  vecNormalize3(up, up);
  vecCross3(right, up, normal);
  vecNormalize3(normal, normal);
  if (vecLen3(right) < kAxisMin || vecLen3(up) < kAxisMin || vecLen3(normal) < kAxisMin) return vwErrBadWP;
  wplaneRec* plane = wpTemp(model, points[0], right, up);
  if (!plane) return 0;
  plane->flags |= wpStale;
  if (const int answer = modelSetWorkPlane(model, plane)) return answer;
  return 1;
}

// "!#I": the titles of the current model's planes, then their count.
int vwOpWPlaneNames(feArgs* args) {
  int32_t count = 0;
  if (const modelRec* model = vwCurModel()) {
    for (const wplaneRec* plane = model->firstPlane; plane; plane = plane->next, ++count)
      if (const int answer = fePushString(plane->title, std::strlen(plane->title))) return answer;
  }
  *static_cast<int32_t*>(args->out[0]) = count;
  return 0;
}

// "S#Q": the current model's plane of that title.
int vwOpWPlaneFind(feArgs* args) {
  const modelRec* model = vwCurModel();
  if (!model) return vwErrNoCurDoc;
  const feArgText& title = args->in[0].text;
  wplaneRec* plane = wpFind(model, title.text, uint32_t(title.length));
  if (!plane) return vwErrWPlaneNotFound;
  *static_cast<void**>(args->out[0]) = plane;
  return 0;
}

// "!Q[wplane]".
int vwOpSetWPlane(feArgs* args) {
  wpSetCurrent(static_cast<wplaneRec*>(args->in[0].record));
  return 0;
}

// "!i<kind>A{DDD}I<0>#A{DDD}": the kind is fixed by the registration, and so
// is the plane argument (0), so every call converts through the current
// plane.
int vwOpPlaneConvert(feArgs* args) {
  const int kind = args->in[0].i;
  const auto* point = static_cast<const double*>(args->in[1].block);
  auto* out = static_cast<double*>(args->out[0]);
  return wpConvert(kind, point, 0, out);
}

// "#Q": the current plane. Without a current model or plane the operator
// fails with NoCurPlane, a named error the scripts can catch.
int vwOpCurWPlane(feArgs* args) {
  wplaneRec* plane = wpint::activePlane();
  if (!plane) return vwErrNoCurPlane;
  *static_cast<void**>(args->out[0]) = plane;
  return 0;
}

