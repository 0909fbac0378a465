// The instance operators: placing a symbol (aInstance, aInstance2), the
// outcome of the last resolution and the name of an instance's symbol.
#include "objects/instanc.h"

#include "core/debug.h"
#include "core/matrix.h"
#include "fe/opcall.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "objects/group.h"
#include "objects/uphooks.h"

#include <cmath>
#include <cstring>

namespace {


// The placement of a new instance: turned about z by the direction (when
// given), then carried into the current work plane at the location (when
// given). -4100 for a direction without length in x and y.
int placement(const double* location, const double* direction, double out[16]) {
  static const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  std::memcpy(out, identity, sizeof identity);
  if (direction) {
    const double length = std::hypot(direction[0], direction[1]);
    const double c = length > 0 ? direction[0] / length : 0, s = length > 0 ? direction[1] / length : 0;
    if (std::hypot(c, s) < 0.5) {
      uAlert(0, "TBad direction vector", nullptr);
      return symbErrBadArg;
    }
    const double turn[16] = {c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    matMulN(4, out, turn, out);
  }
  // Columns: the plane's right, up and normal axes and the location.
  double right[3], up[3], normal[3];
  objPlaneAxis(0, right);
  objPlaneAxis(1, up);
  objPlaneAxis(2, normal);
  double plane[16] = {right[0], up[0], normal[0], 0, right[1], up[1], normal[1], 0,
                      right[2], up[2], normal[2], 0, 0, 0, 0, 1};
  if (location) {
    plane[3] = location[0];
    plane[7] = location[1];
    plane[11] = location[2];
  }
  matMulN(4, out, plane, out);
  return 0;
}

bool anyMemberShowsPoints(symbRec* symbol) {
  bool shows = false;
  if (symbol)
    grpForEach(symbol->members, [](gobjRec* member, void* context) {
      if (member->flags & gobjControlPts) *static_cast<bool*>(context) = true;
      return 0;
    }, &shows);
  return shows;
}

}  // namespace

// "OS AP{3D} A{3D}#Q" (aInstance) and "OSPP#Q" (aInstance2, whose parameter
// words of 0 give neither location nor direction).
int instOpInstance(feArgs* args) {
  int32_t count = 0;
  symbParam* params = nullptr;
  if (const int answer = instParseParams(args->in[0].value, &count, &params)) return answer;
  const double* location = static_cast<const double*>(args->in[2].block);
  const double* direction = static_cast<const double*>(args->in[3].block);
  double matrix[16];
  if (const int answer = placement(location, direction, matrix)) {
    symbParamsFree(count, &params);
    return answer;
  }
  symbRec* master = symbFind(args->in[1].text.text, args->in[1].text.length, 1);
  gobjRec* object = instMake(master, matrix, count, params, nullptr);
  if (!object) return -1;
  auto* instance = reinterpret_cast<instRec*>(object);
  if (anyMemberShowsPoints(instance->symbol)) object->flags |= gobjControlPts;
  else object->flags &= uint16_t(~gobjControlPts);
  *reinterpret_cast<void**>(args->out[0]) = grpOfOne(object);
  return 0;
}

// "!#B".
int instOpError(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = instLastResolveFailed() ? 1 : 0;
  return 0;
}

// "Q[instanc2]#O": the master's name as a string.
int instOpName(feArgs* args) {
  const char* name = "";
  symbInfo(instSymbol(args->in[0].record), &name, nullptr, nullptr);
  return feMakeString(static_cast<feObject*>(args->out[0]), name, std::strlen(name));
}
