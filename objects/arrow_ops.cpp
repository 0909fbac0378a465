// The operator aDefArrow and the module's start-up.
#include "objects/arrow.h"

#include "core/errors.h"
#include "fe/opcall.h"
#include "fe/operator.h"
#include "fe/value.h"

#include <windows.h>

namespace {

// aDefArrow "iBRRO": type, filled, point scale, size factor, and an array of
// integers x1 y1 x2 y2 ... The slot is left as it was on any error.
int opDefArrow(feArgs* args) {
  const feObject* list = args->in[4].value;
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  const int32_t length = list->length;
  if (length % 2 != 0) return feErrLengthCheck;
  if (length / 2 > arrowMaxPairs) return feErrLimitCheck;
  int32_t pairs[2 * arrowMaxPairs];
  const feObject* elements = length > 0 ? feArrayElems(list->w0.arr) + list->offset : nullptr;
  for (int32_t i = 0; i < length; ++i) {
    if (feType(&elements[i]) != feTInt) return feErrTypeCheck;
    pairs[i] = elements[i].w0.i;
  }
  arrowDefine(args->in[0].i, args->in[1].i != 0, args->in[2].d, args->in[3].d, pairs, length / 2);
  return 0;
}

}  // namespace

void arrowInit() {
  arrowLoadDefaults();
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  feRegisterOp("aDefArrow", opDefArrow, "iBRRO", 0, instance);
}
