// The control operators (if, ifelse, loop, repeat, for, exit, stop, stopped,
// exec, execstack, countexecstack, forall) and the continuation operators
// that drive loops from the execution stack. An operator that starts a loop
// replaces itself on the execution stack by the loop's state and its
// continuation; the continuation runs after each pass of the body and either
// pushes the body again or removes itself and its state.
#include "fe/control.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/operator.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <windows.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

feStack** execStack() { return feExecStack(); }
feStack** operands() { return feOperandStack(); }

// The execution-stack entry at depth (0 = the running continuation itself).
feObject* entryAt(int32_t depth) { return feStackIndex(*execStack(), depth); }

bool isProcedure(const feObject* v) { return v && feType(v) == feTArray && feIsExec(v); }
bool isInt(const feObject* v) { return v && feType(v) == feTInt; }
bool isReal(const feObject* v) { return v && feType(v) == feTReal; }
bool isNumber(const feObject* v) { return isInt(v) || isReal(v); }

bool terminated() {
  const feObject* self = entryAt(0);
  return self && (self->flags & feFlagTerminated);
}

// Pushes a copy of the loop body on the execution stack for the next pass.
// Done last by every continuation: the push may move the execution stack to
// a new block, after which pointers into it no longer reach the live values.
int pushBody(const feObject* body) {
  const feObject copy = *body;
  const int rc = fePushDup(execStack(), &copy);
  if (rc == feOk) feClearCurrent();
  return rc;
}

// Takes back the operands a continuation pushed when the body could not be
// pushed after them.
void dropOperands(int32_t n) { feStackPopN(*operands(), n); }

// The continuation operators, made once in this order by feControlInit.
int contStop(feArgs*);
int contStopped(feArgs*);
int contLoop(feArgs*);
int contRepeat(feArgs*);
int contRealFor(feArgs*);
int contIntFor(feArgs*);
int contTrace(feArgs*);
int contStringForall(feArgs*);
int contArrayForall(feArgs*);
int contDictForall(feArgs*);

feContinuationSpec continuations[] = {
    {"stop", contStop, feFlagExec, {}, false},
    {"@stopped", contStopped, feFlagExec | feFlagStopped, {}, false},
    {"@loop", contLoop, feFlagExec | feFlagLoop, {}, false},
    {"@repeat", contRepeat, feFlagExec | feFlagLoop, {}, false},
    {"@rfor", contRealFor, feFlagExec | feFlagLoop, {}, false},
    {"@ifor", contIntFor, feFlagExec | feFlagLoop, {}, false},
    {"@st", contTrace, feFlagExec, {}, false},
    {"@stringforall", contStringForall, feFlagExec | feFlagLoop, {}, false},
    {"@arrayforall", contArrayForall, feFlagExec | feFlagLoop, {}, false},
    {"@dictforall", contDictForall, feFlagExec | feFlagLoop, {}, false},
};
bool continuationsMade;

enum ContinuationIndex { kStop, kStopped, kLoop, kRepeat, kRealFor, kIntFor, kTrace, kStringForall, kArrayForall, kDictForall };

const feObject* continuation(ContinuationIndex i) {
  if (!continuationsMade) feControlInit();
  return continuations[i].made ? &continuations[i].value : nullptr;
}

// Pushes the loop's state, its continuation and (for loop and repeat) the
// first pass of the body in place of the running operator; 275 when the
// continuations could not be made.
int startLoop(std::initializer_list<const feObject*> state, ContinuationIndex which, const feObject* body) {
  const feObject* cont = continuation(which);
  if (!cont) return feErrUnimplemented;
  const feObject* entries[6];
  int32_t n = 0;
  for (const feObject* v : state) entries[n++] = v;
  entries[n++] = cont;
  if (body) entries[n++] = body;
  return feExecReplaceTop(entries, n);
}

// stop: unwinds to the nearest stopped; without one the whole execution
// stack goes and the run ends.
int contStop(feArgs*) {
  if (feUnwindTo(feFlagStopped, feFlagTerminated | feFlagStop) != feOk) {
    feExecDiscard(feStackCount(*execStack()));
    feClearCurrent();
  }
  return feOk;
}

// @stopped: true when a stop (or an exit) ended the procedure, else false;
// the loop then removes it. A stop caught here ends what an error started:
// the run no longer fails on that error.
int contStopped(feArgs*) {
  const feObject* self = entryAt(0);
  const bool stopped = self && (self->flags & feFlagStop);
  feObject answer = terminated() ? *feTrue() : *feFalse();
  const int rc = fePush(operands(), &answer);
  if (rc == feOk && stopped) feExecStopCaught();
  return rc;
}

// @loop: procedure below it.
int contLoop(feArgs*) {
  if (terminated()) return feContinuationDone(2);
  const feObject* body = entryAt(1);
  if (!isProcedure(body)) return feErrTypeCheck;
  return pushBody(body);
}

// @repeat: procedure, remaining count below it.
int contRepeat(feArgs*) {
  if (terminated()) return feContinuationDone(3);
  feObject* count = entryAt(1);
  const feObject* body = entryAt(2);
  if (!isInt(count) || !isProcedure(body)) return feErrTypeCheck;
  const int32_t left = count->w0.i;
  if (left <= 0) return feContinuationDone(3);
  count->w0.i = left - 1;
  const int rc = pushBody(body);
  if (rc != feOk) count->w0.i = left;
  return rc;
}

// @ifor: procedure, limit, increment, control value below it. The pass for
// the control value c runs; c + i becomes the next control value. When
// c + i leaves the 32-bit range this pass is the last: the continuation marks
// itself terminated instead of storing a wrapped value.
int contIntFor(feArgs*) {
  if (terminated()) return feContinuationDone(5);
  feObject* self = entryAt(0);
  feObject* control = entryAt(1);
  const feObject* step = entryAt(2);
  const feObject* limit = entryAt(3);
  const feObject* body = entryAt(4);
  if (!isInt(control) || !isInt(step) || !isInt(limit) || !isProcedure(body)) return feErrTypeCheck;
  const int32_t c = control->w0.i, i = step->w0.i, l = limit->w0.i;
  if ((i < 0 && c < l) || (i >= 0 && c > l)) return feContinuationDone(5);
  feObject value;
  feMakeInt(&value, c);
  if (const int rc = fePush(operands(), &value)) return rc;
  const int64_t next = int64_t(c) + i;
  const uint16_t flags = self->flags;
  if (next > INT32_MAX || next < INT32_MIN) self->flags |= feFlagTerminated;
  else control->w0.i = int32_t(next);
  const int rc = pushBody(body);
  if (rc != feOk) {
    self->flags = flags;
    control->w0.i = c;
    dropOperands(1);
  }
  return rc;
}

// @rfor: the same with reals; the value pushed is the new control value
// minus the increment. A NaN anywhere ends the loop.
int contRealFor(feArgs*) {
  if (terminated()) return feContinuationDone(5);
  feObject* control = entryAt(1);
  const feObject* step = entryAt(2);
  const feObject* limit = entryAt(3);
  const feObject* body = entryAt(4);
  if (!isReal(control) || !isReal(step) || !isReal(limit) || !isProcedure(body)) return feErrTypeCheck;
  const double c = control->w0.d, i = step->w0.d, l = limit->w0.d;
  if (std::isnan(c) || std::isnan(i) || std::isnan(l) || (i < 0 && c < l) || (i >= 0 && c > l)) return feContinuationDone(5);
  const double next = c + i;
  feObject value;
  feMakeReal(&value, next - i);
  if (const int rc = fePush(operands(), &value)) return rc;
  control->w0.d = next;
  const int rc = pushBody(body);
  if (rc != feOk) {
    control->w0.d = c;
    dropOperands(1);
  }
  return rc;
}

// @st: the trace entry of a named procedure; removes itself and the name
// below it once the procedure has finished.
int contTrace(feArgs*) { return feContinuationDone(2); }

// @stringforall: procedure, string (advanced one byte per pass) below it.
int contStringForall(feArgs*) {
  if (terminated()) return feContinuationDone(3);
  feObject* string = entryAt(1);
  const feObject* body = entryAt(2);
  if (!string || feType(string) != feTString || !isProcedure(body)) return feErrTypeCheck;
  if (string->length == 0) return feContinuationDone(3);
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(string, &data, &length);
  feObject byte;
  feMakeInt(&byte, data[0]);
  if (const int rc = fePush(operands(), &byte)) return rc;
  ++string->offset;
  --string->length;
  const int rc = pushBody(body);
  if (rc != feOk) {
    --string->offset;
    ++string->length;
    dropOperands(1);
  }
  return rc;
}

// @arrayforall: procedure, array (advanced one element per pass) below it.
int contArrayForall(feArgs*) {
  if (terminated()) return feContinuationDone(3);
  feObject* array = entryAt(1);
  const feObject* body = entryAt(2);
  if (!array || feType(array) != feTArray || !isProcedure(body)) return feErrTypeCheck;
  if (array->length == 0) return feContinuationDone(3);
  if (const int rc = fePushDup(operands(), feArrayElem(array, 0))) return rc;
  ++array->offset;
  --array->length;
  const int rc = pushBody(body);
  if (rc != feOk) {
    --array->offset;
    ++array->length;
    dropOperands(1);
  }
  return rc;
}

// @dictforall: dictionary, procedure, next slot index below it. Each pass
// pushes the key and the value of the next used slot.
int contDictForall(feArgs*) {
  if (terminated()) return feContinuationDone(4);
  feObject* index = entryAt(1);
  const feObject* body = entryAt(2);
  const feObject* dict = entryAt(3);
  if (!isInt(index) || !isProcedure(body) || !dict || feType(dict) != feTDict) return feErrTypeCheck;
  int32_t capacity = 0;
  feDictMaxLength(dict, &capacity);
  const int32_t start = index->w0.i;
  for (int32_t slot = start < 0 ? 0 : start; slot < capacity; ++slot) {
    feObject* key = nullptr;
    feObject* value = nullptr;
    if (feDictEntryAt(dict, slot, &key, &value) != feOk) break;
    if (feType(key) == feTEmpty) continue;
    if (const int rc = fePushDup(operands(), key)) return rc;
    if (const int rc = fePushDup(operands(), value)) {
      dropOperands(1);
      return rc;
    }
    index->w0.i = slot + 1;
    const int rc = pushBody(body);
    if (rc != feOk) {
      index->w0.i = start;
      dropOperands(2);
    }
    return rc;
  }
  return feContinuationDone(4);
}

// if and ifelse share the branch: the chosen procedure (if any) replaces the
// operator; with none the loop removes the operator.
int branch(const feObject* chosen) { return chosen ? feExecReplaceTop({chosen}) : feOk; }

// if ("BOI<0>"): the constant stands for the missing third argument.
int opIf(feArgs* a) { return branch(a->in[0].i ? a->in[1].value : nullptr); }

// ifelse ("BOO").
int opIfElse(feArgs* a) { return branch(a->in[0].i ? a->in[1].value : a->in[2].value); }

// loop ("O"): procedure, "@loop", procedure.
int opLoop(feArgs* a) {
  const feObject* body = a->in[0].value;
  if (!isProcedure(body)) return feErrTypeCheck;
  return startLoop({body}, kLoop, body);
}

// repeat ("IO"): procedure, count - 1, "@repeat", procedure; 0 runs nothing.
int opRepeat(feArgs* a) {
  const int32_t count = a->in[0].i;
  const feObject* body = a->in[1].value;
  if (!isProcedure(body)) return feErrTypeCheck;
  if (count < 0) return feErrRangeCheck;
  if (count == 0) return feOk;
  feObject left;
  feMakeInt(&left, count - 1);
  return startLoop({body, &left}, kRepeat, body);
}

// for ("OOOO": initial, increment, limit, procedure). Integers when the
// initial value and the increment are integers and the limit has the
// increment's type; reals otherwise. The continuation runs first.
int opFor(feArgs* a) {
  const feObject* initial = a->in[0].value;
  const feObject* step = a->in[1].value;
  const feObject* limit = a->in[2].value;
  const feObject* body = a->in[3].value;
  if (!isProcedure(body)) return feErrTypeCheck;
  if (isInt(initial) && isInt(step) && isInt(limit)) return startLoop({body, limit, step, initial}, kIntFor, nullptr);
  if (!isNumber(initial) || !isNumber(step) || !isNumber(limit)) return feErrTypeCheck;
  feObject l, i, c;
  feMakeReal(&l, feGetNumber(limit, nullptr));
  feMakeReal(&i, feGetNumber(step, nullptr));
  feMakeReal(&c, feGetNumber(initial, nullptr));
  return startLoop({body, &l, &i, &c}, kRealFor, nullptr);
}

// exit: ends the nearest loop or stopped.
int opExit(feArgs*) { return feUnwindTo(feFlagLoop | feFlagStopped, feFlagTerminated); }

// stopped ("O"): "@stopped" and the procedure in place of the operator.
int opStopped(feArgs* a) {
  const feObject* cont = continuation(kStopped);
  if (!cont) return feErrUnimplemented;
  return feExecReplaceTop({cont, a->in[0].value});
}

// exec ("O"): an executable value runs next; a literal stays on the operand
// stack.
int opExec(feArgs* a) {
  const feObject* v = a->in[0].value;
  if (feIsExec(v)) return feExecReplaceTop({v});
  return fePushDup(operands(), v);
}

// execstack ("O#O").
int opExecStack(feArgs* a) {
  feObject out;
  if (const int rc = feExecStackCopy(a->in[0].value, &out)) return rc;
  *static_cast<feObject*>(a->out[0]) = out;
  return feOk;
}

// countexecstack ("#I").
int opCountExecStack(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = feStackCount(*execStack());
  return feOk;
}

// forall ("OO").
int opForall(feArgs* a) { return feForall(a->in[0].value, a->in[1].value); }

const feOpSpec opSpecs[] = {
    {"if", opIf, "BOI<0>"},
    {"ifelse", opIfElse, "BOO"},
    {"loop", opLoop, "O"},
    {"repeat", opRepeat, "IO"},
    {"for", opFor, "OOOO"},
    {"exit", opExit, ""},
    {"stop", contStop, ""},
    {"stopped", opStopped, "O"},
    {"execstack", opExecStack, "O#O"},
    {"countexecstack", opCountExecStack, "#I"},
    {"exec", opExec, "O"},
    {"suspend", feOpSuspend, "S"},
    {"resume", feStackOp<feOpResume>, ""},
    {"forall", opForall, "OO"},
    {"version", feStackOp<feOpVersion>, ""},
    {"usertime", feStackOp<feOpUsertime>, ""},
};

uintptr_t instance() { return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr)); }

}  // namespace

// Replaces the running operator at the top of the execution stack by copies
// of n values (the first ends deepest). On an error (the execution stack is
// full) nothing changes.
int feExecReplaceTop(const feObject* const* values, int32_t n) {
  constexpr int32_t kMost = 6;
  if (n > kMost) return feErrLimitCheck;
  feObject copies[kMost];
  for (int32_t k = 0; k < n; ++k) copies[k] = *values[k];   // before the stack moves
  feStack** stack = feExecStack();
  feObject* top = feExecTop();
  const bool replacing = top && top == feCurrentEntry();
  feObject self;
  if (replacing) fePop(*stack, &self);
  int32_t pushed = 0;
  int rc = feOk;
  while (pushed < n && (rc = fePushDup(stack, &copies[pushed])) == feOk) ++pushed;
  if (rc != feOk) {
    feStackPopN(*stack, pushed);
    if (replacing) fePush(stack, &self);
    return rc;
  }
  if (replacing) {
    feFree(&self);
    feClearCurrent();
  }
  return feOk;
}

// A continuation that is done removes itself and its state.
int feContinuationDone(int32_t entries) {
  feExecDiscard(entries);
  feClearCurrent();
  return feOk;
}

void feControlInit() {
  if (continuationsMade) return;
  continuationsMade = true;
  feMakeContinuations(continuations, sizeof continuations / sizeof continuations[0]);
}

void feMakeContinuations(feContinuationSpec* list, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    feContinuationSpec& c = list[i];
    if (feMakeOp(&c.value, c.name, std::strlen(c.name), c.handler, "", 0, instance()) != feOk) continue;
    c.value.flags |= c.flags;
    c.made = true;
  }
}

const feObject* feContinuation(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < int(sizeof continuations / sizeof continuations[0]); ++i)
    if (std::strcmp(continuations[i].name, name) == 0) return continuation(ContinuationIndex(i));
  return nullptr;
}

int feUnwindTo(uint16_t mask, uint16_t bits) {
  const feStack* stack = *execStack();
  const int32_t count = feStackCount(stack);
  for (int32_t depth = 0; depth < count; ++depth) {
    feObject* entry = feStackIndex(stack, depth);
    if (!(entry->flags & mask)) continue;
    entry->flags |= bits;
    feExecDiscard(depth);
    feClearCurrent();
    return feOk;
  }
  return feErrInvalidExit;
}

int feForall(const feObject* object, const feObject* proc) {
  switch (feType(object)) {
    case feTString:
      if (!isProcedure(proc)) return feErrTypeCheck;
      return startLoop({proc, object}, kStringForall, nullptr);
    case feTArray:
      if (!isProcedure(proc)) return feErrTypeCheck;
      return startLoop({proc, object}, kArrayForall, nullptr);
    case feTDict: {
      if (!isProcedure(proc)) return feErrTypeCheck;
      feObject first;
      feMakeInt(&first, 0);
      return startLoop({object, proc, &first}, kDictForall, nullptr);
    }
    case feTObject: {
      const auto* record = static_cast<const feObjRecord*>(object->w0.obj);
      if (!record) return feErrUnimplemented;
      const int rc = objMeth(record->classId, feMsgForall, object->w0.obj, reinterpret_cast<intptr_t>(proc));
      return rc == objNotHandled ? int(feErrUnimplemented) : rc;
    }
    default:
      return feErrUnimplemented;
  }
}

const feOpSpec* feOpSpecFind(const feOpSpec* table, size_t count, const char* name) {
  if (!name) return nullptr;
  for (size_t i = 0; i < count; ++i)
    if (std::strcmp(table[i].name, name) == 0) return &table[i];
  return nullptr;
}

void feOpSpecRegisterAll(const feOpSpec* table, size_t count) {
  for (size_t i = 0; i < count; ++i) feRegisterOp(table[i].name, table[i].handler, table[i].signature, 0, instance());
}

const feOpSpec* feControlOpSpec(const char* name) { return feOpSpecFind(opSpecs, name); }

void feControlRegister() {
  feOpSpecRegisterAll(opSpecs);
}
