// Work-plane conversion of points for native code, and pushing points.
//
// The converter is the one installed for AP and AV signature groups
// (feSetPointConverter, fe/signature.h), so native code and signatures always
// convert alike; with none installed points pass unchanged.
#include "fe/script.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/signature.h"
#include "fe/stack.h"

#include <cstring>

namespace {
constexpr size_t kPointBytes = 3 * sizeof(double);
}  // namespace

int ptConvertByFlag(double point[3], int flag) {
  switch (flag) {
    case 1:
    case 2:
    case 257:
    case 258: break;
    default:
      dbgPanic("bad flag");
      return feErrRangeCheck;
  }
  if (fePointConverter convert = feGetPointConverter()) convert(point, flag);
  return feOk;
}

int fePushPoint(int mode, const double point[3]) {
  double p[3];
  std::memcpy(p, point, kPointBytes);
  if (mode == 1 || mode == 0) {
    if (const int rc = ptConvertByFlag(p, mode == 1 ? 257 : 258)) return rc;
  }
  feObject array;
  if (const int rc = feMakeRealArray(&array, p, 3)) return rc;
  const int rc = fePush(feOperandStack(), &array);
  if (rc) feFree(&array);
  return rc;
}
