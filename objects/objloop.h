// The passes of the object loops (message 119 of "gobject" and "docdict"):
// their continuation keeps the target object, the procedure and a state
// value below it on the execution stack, and each pass pushes a key and a
// value and runs the procedure.
#ifndef PLUMET_OBJECTS_OBJLOOP_H
#define PLUMET_OBJECTS_OBJLOOP_H

#include "fe/value.h"

struct objLoopEntries {
  feObject* state;         // the loop's own state (type checked by the caller's stateType)
  const feObject* body;    // the procedure
  const feObject* target;  // the object (type 6)
};

// The entries below the running continuation: 0 with them filled, 1 when
// the loop was terminated (exit, stop: the caller answers
// feContinuationDone(4)), 269 when they are not a state of stateType, a
// procedure and an object.
int objLoopTake(int stateType, objLoopEntries* out);

// Pushes key and value (both moved in) on the operand stack and the
// procedure on the execution stack. On an error both are released and the
// stacks are as before.
int objLoopRun(feObject* key, feObject* value, const feObject* body);

#endif
