// bind: replaces, inside a procedure and the procedures nested in it, every
// executable name whose current value is an operator by that operator.
//
// The walk keeps a work list instead of recursing, and remembers every
// procedure range it has taken up, so a procedure that contains itself (or
// is reachable along several paths) is bound once and the walk always ends,
// however deep the nesting.
#include "fe/generic.h"

#include "core/errors.h"
#include "fe/dict.h"
#include "fe/stack.h"

#include <set>
#include <tuple>
#include <vector>

namespace {

using Range = std::tuple<const feArrayBody*, uint16_t, uint16_t>;

void bindProcedure(const feObject* procedure) {
  std::set<Range> seen;
  std::vector<feObject> work;
  seen.emplace(procedure->w0.arr, procedure->offset, procedure->length);
  work.push_back(*procedure);
  while (!work.empty()) {
    const feObject current = work.back();
    work.pop_back();
    feObject* elements = feArrayElems(current.w0.arr) + current.offset;
    for (uint16_t i = 0; i < current.length; ++i) {
      feObject* e = &elements[i];
      if (!feIsExec(e)) continue;
      if (feType(e) == feTArray) {
        if (seen.emplace(e->w0.arr, e->offset, e->length).second) work.push_back(*e);
      } else if (feType(e) == feTName) {
        feObject value;
        if (feLoad(e, &value) != feOk) continue;
        if (feType(&value) == feTOperator) {
          feFree(e);
          *e = value;
        } else {
          feFree(&value);
        }
      }
    }
  }
}

}  // namespace

int feOpBind() {
  feStack* stack = *feOperandStack();
  if (feStackCount(stack) < 1) return feErrStackUnderflow;
  const feObject procedure = *feStackIndex(stack, 0);
  if (feType(&procedure) != feTArray || !feIsExec(&procedure)) return feErrTypeCheck;
  bindProcedure(&procedure);
  return feOk;
}
