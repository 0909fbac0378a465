// The execution loop: each turn executes the top entry of the execution
// stack by its type (names, procedures, executable strings, token sources,
// operators, literals), hands a failing step to the error machinery, and
// removes the entry when the step left it alone. Also the entry points
// through which native code runs FE text and values, the timer, and the
// operators version, usertime, suspend and resume.
#include "fe/exec.h"
#include "fe/exec_test.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/file.h"
#include "fe/generic.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/scanner.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// The entry being executed; null once a step has rearranged the execution
// stack itself.
feObject* current;

// GetTickCount at the timer's start.
DWORD timerBase;

// The test hook run before every step (feExecTestSetStepHook).
feExecStepHook stepHook;

// Runs started from native code that are in progress (feExecString and the
// others); suspend ties the stack it puts aside to the run that did it.
int32_t runDepth;
feStack* suspended;
int32_t suspendedRun;
// A stack that resume took off while one of its entries was still running:
// freed once the step has returned.
feStack* dropped;

// The answer of the innermost loop that is running (feExecute's result):
// every error a step raises is stored in it, and a stopped of the script
// that catches the error clears it again, so that a run fails only on an
// error nothing caught. Null while no loop runs.
int* runError;
// Whether the innermost run from native code runs its text under errorcheck
// (feRunString): the stopped of errorcheck catches every error of the text,
// but an error it catches still fails the run.
bool guardedRun;

// Debug flag bits read by the name step.
constexpr uint32_t kTraceNamed = 0x2;
constexpr uint32_t kPrintNamed = 0x4;

feStack** execStack() { return feExecStack(); }
feStack** operands() { return feOperandStack(); }

// A file being run (run marks its entry) is closed when the entry is
// discarded, even while other values still refer to its body.
void closeRunFile(feObject* entry) {
  if (entry->w0.file) feFileClose(entry);
}

void popFrame() {
  feStack* frames = *feFrameStack();
  if (feStackCount(frames) > 0) feStackPopN(frames, 1);
}

// Discards every entry of a stack that is no longer current (one put aside
// by suspend): pops the frames its activations pushed, then frees it.
void discardStack(feStack** stack) {
  if (!*stack) return;
  feStack* live = *execStack();
  *execStack() = *stack;
  feExecDiscard(feStackCount(*stack));
  *stack = *execStack();
  *execStack() = live;
  feStackFree(stack);
}

// Moves the top entry (in place at the top of the execution stack) to the
// operand stack.
int moveToOperands() {
  feObject* top = feExecTop();
  if (const int rc = fePush(operands(), top)) return rc;
  feObject moved;
  fePop(*execStack(), &moved);   // its reference went to the operand stack
  current = nullptr;
  return feOk;
}

// Lets go of outgrown stack blocks as between two turns of the outermost loop.
void runPendingDrop();

// Runs an operator just pushed on the execution stack in this step, as the
// next turn of the loop would run it: the blocks the stacks outgrew are let
// go first (as between two turns), and the operator runs as the current
// entry, so that its failure and its removal go through the loop unchanged.
int callPushedOperator() {
  runPendingDrop();
  current = feExecTop();
  return feCallOp(current);
}

// The same, for a caller that holds the operator's value word: the operator
// is found by it rather than by reading back the entry just stored.
int callPushedOperator(uint32_t word) {
  runPendingDrop();
  current = feExecTop();
  return feCallOpIndex(feOpIndexOf(word));
}

// The name step: the value of the name goes to the execution stack when it
// is executable, to the operand stack otherwise; the name itself is removed.
// *pushedExec (may be null) tells whether the value went to the execution
// stack, where it is then the top.
int nameStep(feObject* entry, bool* pushedExec = nullptr) {
  const feObject name = *entry;   // simple
  feObject value;
  if (const int rc = feLoad(&name, &value)) return rc;
  if (!feIsExec(&value)) {
    const int rc = fePush(operands(), &value);
    if (rc != feOk) {
      feFree(&value);
      return rc;
    }
    feExecPop();
    current = nullptr;
    return feOk;
  }
  const bool named = (value.flags & feFlagNamed) != 0;
  const uint32_t debug = dbgFlags();
  feExecPop();
  int rc = feOk;
  int32_t pushed = 0;
  const feObject* trace = named && (debug & kTraceNamed) ? feContinuation("@st") : nullptr;
  if (trace) {
    // A trace entry: the name with "@st" above it stays below the procedure
    // while it runs; "@st" removes both when the procedure has finished.
    rc = fePush(execStack(), &name);
    if (rc == feOk) {
      ++pushed;
      rc = fePush(execStack(), trace);
      if (rc == feOk) ++pushed;
    }
  }
  if (rc == feOk) rc = fePush(execStack(), &value);
  if (rc != feOk) {
    // The execution stack is full: put the name back as the failing command.
    feStackPopN(*execStack(), pushed);
    fePush(execStack(), &name);
    feFree(&value);
    return rc;
  }
  if (named && (debug & kPrintNamed)) {
    fePrint(&name, 1);
    fePrintf("\n");
  }
  if (pushedExec) *pushedExec = true;
  current = nullptr;
  return feOk;
}

// Ends the turn of the loop in which an element of the procedure entry ran,
// after a step that succeeded, doing what feExecute does between two turns.
// True when the next turn would step that same entry again: the procedure
// step then goes on with it itself, sparing the trip through the loop. False
// leaves the loop nothing to do for the turn (current is null). Only called
// when no step hook is set, since the hook runs before every turn.
bool endTurnInProcedure(feObject* entry);

// What nameElementStep answers when it leaves the name to the general path.
constexpr int kNameStepDeclined = -1;

// The shortcut of the procedure step for an executable name element (the
// procedure already advanced past it): when the execution stack has room
// without growing and the name is defined, its value goes where the name
// step would put it, without the name being pushed on the execution stack
// and popped again. Whenever the name step could fail (an undefined name, a
// full stack) or would trace a named procedure, the shortcut declines before
// changing anything but the name's look-up cache, and the general path,
// which repeats the look-up, fails or traces as usual.
int nameElementStep(const feObject* name) {
  feStack* exec = *execStack();
  if (!exec || exec->top >= exec->capacity) return kNameStepDeclined;
  // The cached answer is lent: it is copied (with a reference) where it
  // goes, and its flags and operator index are read from the dictionary.
  if (const feObject* found = feLoadCachedName(name)) {
    const uint16_t flags = found->flags;
    if (!(flags & feFlagExec)) {
      if (fePushDup(operands(), found) != feOk) return kNameStepDeclined;
      current = nullptr;
      return feOk;
    }
    if ((flags & feFlagNamed) && (dbgFlags() & (kTraceNamed | kPrintNamed))) return kNameStepDeclined;
    const uint32_t word = found->w0.u;
    feObject* slot = &exec->slots[++exec->top];
    *slot = *found;
    if (!feStackDetail::plain(slot)) feDup(slot);
    if ((flags & feFlagTypeMask) == feTOperator) return callPushedOperator(word);
    current = nullptr;
    return feOk;
  }
  feObject value;
  if (feLoad(name, &value) != feOk) return kNameStepDeclined;
  if (!feIsExec(&value)) {
    if (fePush(operands(), &value) != feOk) {
      feFree(&value);
      return kNameStepDeclined;
    }
    current = nullptr;
    return feOk;
  }
  if ((value.flags & feFlagNamed) && (dbgFlags() & (kTraceNamed | kPrintNamed))) {
    feFree(&value);
    return kNameStepDeclined;
  }
  exec->slots[++exec->top] = value;
  if (feType(&value) == feTOperator) return callPushedOperator();
  current = nullptr;
  return feOk;
}

// The procedure step: the entry is consumed in place, one element at a time.
// Literal elements (and procedures inside the procedure) go to the operand
// stack; the first other executable element goes to the execution stack and
// ends the step. A named or local procedure entered at its full length
// pushes a procedure frame (a null, or a new dictionary of capacity 4 for a
// procedure with a local dictionary) and pops it when it is finished.
int procedureStep(feObject* entry) {
restart:
  const feArrayBody* body = entry->w0.arr;
  if (entry->length != 0 && body && entry->length == body->length && entry->offset == 0 &&
      (entry->flags & (feFlagNamed | feFlagLocal)) && !(entry->flags & feFlagFrame)) {
    if (entry->flags & feFlagLocal) {
      feObject frame;
      feMakeDict(&frame, 4);
      if (const int rc = fePush(feFrameStack(), &frame)) {
        feFree(&frame);
        return rc;
      }
    } else {
      // The null frame is made in its slot (fePushSlot stores a null).
      if (!fePushSlot(feFrameStack())) return feErrLimitCheck;
    }
    entry->flags |= feFlagFrame;
  }
  for (;;) {
    if (entry->length == 0) {
      if (entry->flags & feFlagFrame) {
        popFrame();
        entry->flags &= uint16_t(~feFlagFrame);
      }
      return feOk;   // the loop removes the finished entry
    }
    // The first element, read in place (the length was checked above). Its
    // flags are taken from the body, not from the copy just stored: reading
    // part of a fresh 16-byte store back stalls the load on some processors.
    const feObject* at = feArrayElems(entry->w0.arr) + entry->offset;
    const uint16_t elementFlags = at->flags;
    const feObject element = *at;
    const int elementType = elementFlags & feFlagTypeMask;
    const bool toExec = (elementFlags & feFlagExec) && elementType != feTArray;
    if (!toExec) {
      if (const int rc = fePushDup(operands(), at)) return rc;
      ++entry->offset;
      --entry->length;
      continue;
    }
    // Advance first: the push may move the execution stack to a new block,
    // after which entry no longer points at the live value.
    ++entry->offset;
    --entry->length;
    if (elementType == feTName) {
      // The name is read in the body, which the entry keeps alive.
      const int rc = nameElementStep(at);
      if (rc != kNameStepDeclined) {
        if (rc == feOk && !stepHook && endTurnInProcedure(entry)) goto restart;
        return rc;
      }
    }
    if (const int rc = fePushDup(execStack(), &element)) {
      --entry->offset;
      ++entry->length;
      return rc;
    }
    // An executable name is resolved now rather than in the next turn of
    // the loop: the name step runs on the entry just pushed, as the loop
    // would have run it, failing with that entry as the current one.
    if (elementType == feTName) {
      current = feExecTop();
      bool pushedExec = false;
      const int rc = nameStep(current, &pushedExec);
      if (rc != feOk || !pushedExec) return rc;
      if (feType(feExecTop()) == feTOperator) return callPushedOperator();
      return feOk;
    }
    if (elementType == feTOperator) {
      const int rc = callPushedOperator();
      if (rc == feOk && !stepHook && endTurnInProcedure(entry)) goto restart;
      return rc;
    }
    current = nullptr;
    return feOk;
  }
}

// A string source with nothing left to give. Bytes the scanner gave back
// stay in the value itself (its length counts them), so an empty value has
// nothing pending.
bool sourceExhausted(const feObject* source) { return source->length == 0; }

// Reads one token from a source on the execution stack (an executable
// string, a token-source program object or a file): an executable token that
// is not a procedure goes to the execution stack, any other to the operand
// stack. The end of the source finishes it (the loop removes it). A string
// that has nothing left after the token is removed before the token runs.
int tokenStep(feObject* entry, bool dropWhenEmpty) {
  feObject token;
  int rc = feScanTokenChecked(entry, &token);
  if (rc == feErrEof) return feOk;
  if (rc != feOk) return rc;
  if (dropWhenEmpty && sourceExhausted(entry)) {
    feExecPop();
  }
  const bool toExec = feIsExec(&token) && feType(&token) != feTArray;
  rc = fePush(toExec ? execStack() : operands(), &token);
  if (rc != feOk) feFree(&token);
  current = nullptr;
  return rc;
}

int step(feObject* entry) {
  switch (feType(entry)) {
    case feTOperator:
      // Operators run whether or not they carry the executable flag: the
      // internal ones are made without it and only ever pushed here.
      return feCallOp(entry);
    case feTName:
      return feIsExec(entry) ? nameStep(entry) : moveToOperands();
    case feTArray:
      return feIsExec(entry) ? procedureStep(entry) : moveToOperands();
    case feTString:
      return feIsExec(entry) ? tokenStep(entry, true) : moveToOperands();
    case feTObject:
      return (entry->flags & feFlagTokenSource) ? tokenStep(entry, false) : moveToOperands();
    case feTFile:
      return feIsExec(entry) ? tokenStep(entry, false) : moveToOperands();
    case feTNull:
    case feTEmpty:
      return feOk;   // removed by the loop
    default:
      return moveToOperands();
  }
}

// Frees the stack that resume dropped during the step that just returned.
void freeDropped() {
  if (dropped) discardStack(&dropped);
}

// Ends a run of runFresh: whatever the run left on its stack, and a stack it
// put aside with suspend, is discarded (popping the procedure frames its
// activations pushed) before the previous stack comes back.
void endFresh(feStack* saved) {
  feExecDiscard(feStackCount(*execStack()));
  if (suspended && suspendedRun == runDepth) discardStack(&suspended);
  --runDepth;
  feExecStackRestore(saved);
}

// Runs entry (moved in) on a fresh execution stack. A run abandoned by an
// abort (memory ran out) is ended the same way before the abort goes on to
// the recovery point, so that the interpreter is back on the caller's stack
// and nothing of the run is left behind.
int runFresh(feObject* entry, bool guarded = false) {
  feStack* saved = nullptr;
  try {
    if (const int rc = feExecStackPush(&saved)) {
      if (entry) feFree(entry);
      return rc;
    }
  } catch (...) {
    if (entry) feFree(entry);
    throw;
  }
  ++runDepth;
  const bool outerGuarded = guardedRun;
  guardedRun = guarded;
  int result;
  try {
    if (entry) fePush(execStack(), entry);
    result = feRun();
  } catch (...) {
    guardedRun = outerGuarded;
    endFresh(saved);
    throw;
  }
  guardedRun = outerGuarded;
  endFresh(saved);
  return result;
}

// An executable string holding text.
int execString(const char* text, feObject* out) {
  if (const int rc = feMakeString(out, text, text ? std::strlen(text) : 0)) return rc;
  out->flags |= feFlagExec;
  return feOk;
}

feObject errorCheck;   // the copy kept by feSetErrorCheck (type 0: none)

// errorcheck: the copy set at start, else systemdict's current definition.
bool findErrorCheck(feObject* out) {
  if (feType(&errorCheck) != feTEmpty) {
    feCopyValue(out, &errorCheck);
    return true;
  }
  const feObject* systemdict = feSystemDict();
  if (!systemdict) systemdict = feDictAtLevel(1);
  return systemdict && feDictGetName(systemdict, "errorcheck", out) == feOk;
}

}  // namespace

feObject* feCurrentEntry() { return current; }

void feClearCurrent() { current = nullptr; }

namespace {

// How many runs of the loop are active (runs nest when an operator runs
// script code).
int nesting;

struct NestingGuard {
  explicit NestingGuard(int* result) : outerError(runError) {
    ++nesting;
    runError = result;
  }
  ~NestingGuard() {
    runError = outerError;
    --nesting;
  }
  int* const outerError;
};

// A stack that grows keeps the blocks it replaced, so that pointers taken
// into them during a step stay valid. Between two steps of the outermost run
// no such pointer is held, and the replaced blocks are freed: otherwise a
// runaway recursion would keep every block it ever outgrew.
void dropReplacedBlocks() {
  feStackDropPrevious(*feOperandStack());
  feStackDropPrevious(*feExecStack());
  feStackDropPrevious(*feDictStack());
  feStackDropPrevious(*feFrameStack());
}

}  // namespace

namespace {

void runPendingDrop() {
  if (nesting == 1 && feStacksKeepReplaced()) dropReplacedBlocks();
}

bool endTurnInProcedure(feObject* entry) {
  // The end of a turn in feExecute, with the step's answer feOk.
  freeDropped();
  if (nesting == 1 && feStacksKeepReplaced()) dropReplacedBlocks();
  if (current) feExecPop();
  current = nullptr;
  // The same slot at the top means the stack neither moved nor changed
  // depth; the entry's own flags say whether it is still a procedure.
  feObject* top = feExecTop();
  if (top != entry || feType(top) != feTArray || !feIsExec(top)) return false;
  current = entry;
  return true;
}

}  // namespace

void feExecTestSetStepHook(feExecStepHook hook) { stepHook = hook; }

int feExecute(int32_t depth, uint16_t* flags) {
  feObject* const outer = current;
  int result = feOk;
  const NestingGuard guard(&result);
  const int32_t need = depth > 1 ? depth : 1;
  // The border between the interpreter and the native code it calls: memory
  // refused to the standard library (std::bad_alloc) takes the program's own
  // out-of-memory path, which abandons the operation with an abort. The try
  // block costs nothing while nothing is thrown.
  bool outOfMemory = false;
  try {
    while (feStackCount(*execStack()) >= need) {
      if (stepHook) stepHook();
      current = feExecTop();
      const int rc = step(current);
      freeDropped();
      if (nesting == 1 && feStacksKeepReplaced()) dropReplacedBlocks();
      if (rc != feOk) {
        result = rc;
        feError(rc);
        // The error machinery takes the failing entry off the stack. Should it
        // not have (no error handling installed), the entry goes here, so that
        // the run moves on instead of failing on it again.
        if (current) feExecDiscard(1);
        continue;
      }
      if (current) feExecPop();
    }
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  } catch (...) {
    freeDropped();
    current = outer;
    throw;
  }
  if (outOfMemory) {
    // Outside the handler, so that the save offer it runs does not nest in it.
    freeDropped();
    current = outer;
    uOutOfMemory();
  }
  if (flags) {
    const feObject* top = feExecTop();
    *flags = top ? top->flags : 0;
  }
  current = outer;
  return result;
}

int feRun() { return feExecute(0, nullptr); }

int feExecString(const char* text) {
  feObject source;
  if (const int rc = execString(text, &source)) return rc;
  return runFresh(&source);
}

int feRunString(const char* text) {
  feObject source;
  if (const int rc = execString(text, &source)) return rc;
  feObject check;
  bool found;
  try {
    found = findErrorCheck(&check);
  } catch (...) {
    feFree(&source);
    throw;
  }
  if (!found) return runFresh(&source);
  // errorcheck takes the text from the operand stack and runs it under
  // stopped; an error is reported by handleerror.
  int rc;
  try {
    rc = fePush(operands(), &source);
  } catch (...) {
    feFree(&source);
    feFree(&check);
    throw;
  }
  if (rc != feOk) {
    feFree(&source);
    feFree(&check);
    return rc;
  }
  return runFresh(&check, true);
}

int feExecObject(const feObject* value) {
  feObject copy;
  feCopyValue(&copy, value);
  return runFresh(&copy);
}

void feExecStopCaught() {
  if (!runError) return;
  // errorcheck sits at the bottom of a guarded run's own stack, its stopped
  // right above it: what that stopped catches was caught by nothing in the
  // text. (A stack put aside by suspend is the run's own; the one suspend
  // runs on is not.)
  const bool onOwnStack = !(suspended && suspendedRun == runDepth);
  if (guardedRun && onOwnStack && feStackCount(*execStack()) == 2) return;
  *runError = feOk;
}

void feSetErrorCheck(const feObject* proc) {
  feObject old = errorCheck;
  if (proc) feCopyValue(&errorCheck, proc);
  else std::memset(static_cast<void*>(&errorCheck), 0, sizeof errorCheck);
  if (feType(&old) != feTEmpty) feFree(&old);
}

void feExecDiscard(int32_t n) {
  feStack* stack = *execStack();
  for (; n > 0 && feStackCount(stack) > 0; --n) {
    feObject entry;
    fePop(stack, &entry);
    if (entry.flags & feFlagFrame) popFrame();
    if (feType(&entry) == feTFile && (entry.flags & feFlagTokenSource)) closeRunFile(&entry);
    feFree(&entry);
    stack = *execStack();
  }
}

int feExecStackCopy(const feObject* array, feObject* out) {
  if (const int rc = feArrayFromStackCopy(*execStack(), array, out)) return rc;
  for (int32_t i = 0; i < feArrayLength(out); ++i) feArrayElem(out, i)->flags &= uint16_t(~feFlagFrame);
  return feOk;
}

uint32_t feTimerElapsed() { return GetTickCount() - timerBase; }

void feTimerStart() { timerBase = GetTickCount(); }

int feOpVersion() {
  feObject version;
  if (const int rc = feMakeString(&version, "1.0", 3)) return rc;
  const int rc = fePush(operands(), &version);
  if (rc != feOk) feFree(&version);
  return rc;
}

int feOpUsertime() {
  feObject ms;
  feMakeInt(&ms, int32_t(feTimerElapsed()));
  return fePush(operands(), &ms);
}

int feOpSuspend(feArgs* args) {
  if (suspended) return feErrLimitCheck;
  feObject source;
  feMakeString(&source, args->in[0].text.text, size_t(args->in[0].text.length));
  source.flags |= feFlagExec;
  // The suspend entry itself is done: when the stack comes back, what
  // follows it runs.
  feStack* fresh = nullptr;
  int rc;
  try {
    rc = feStackNew(&fresh, 40);
  } catch (...) {
    feFree(&source);
    throw;
  }
  if (rc != feOk) {
    feFree(&source);
    return rc;
  }
  feExecPop();
  current = nullptr;
  suspended = *execStack();
  suspendedRun = runDepth;
  *execStack() = fresh;
  fePush(execStack(), &source);
  return feOk;
}

int feOpResume() {
  if (!suspended || suspendedRun != runDepth) return feErrInvalidAccess;
  // The running entry (resume itself) lives in the stack being dropped: it
  // is freed once this step has returned.
  dropped = *execStack();
  *execStack() = suspended;
  suspended = nullptr;
  current = nullptr;
  return feOk;
}
