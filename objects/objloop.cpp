// The shared passes of the object loops.
#include "objects/objloop.h"

#include "core/errors.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/stack.h"

namespace {

feObject* entryAt(int32_t depth) { return feStackIndex(*feExecStack(), depth); }

}  // namespace

int objLoopTake(int stateType, objLoopEntries* out) {
  const feObject* self = entryAt(0);
  if (self && (self->flags & feFlagTerminated)) return 1;
  out->state = entryAt(1);
  out->body = entryAt(2);
  out->target = entryAt(3);
  if (!out->state || feType(out->state) != stateType || !out->body || feType(out->body) != feTArray ||
      !out->target || feType(out->target) != feTObject)
    return feErrTypeCheck;
  return 0;
}

int objLoopRun(feObject* key, feObject* value, const feObject* body) {
  feStack** operands = feOperandStack();
  int rc = fePush(operands, key);
  if (rc != feOk) {
    feFree(key);
    feFree(value);
    return rc;
  }
  if ((rc = fePush(operands, value)) != feOk) {
    feFree(value);
    feStackPopN(*operands, 1);
    return rc;
  }
  // The push may move the execution stack: body is not used after it.
  const feObject copy = *body;
  if ((rc = fePushDup(feExecStack(), &copy)) != feOk) {
    feStackPopN(*operands, 2);
    return rc;
  }
  feClearCurrent();
  return feOk;
}
