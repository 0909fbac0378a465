// The operand-stack operators: copy, index, roll, clear, count, mark (also
// "[" and "<<"), cleartomark, counttomark, and APP, which runs a procedure
// on the arguments above a mark and then takes the mark away.
#include "fe/stdops.h"

#include "fe/control.h"
#include "fe/dict.h"
#include "fe/exec.h"
#include "fe/operator.h"
#include "fe/stdops_groups.h"

#include <windows.h>

#include <cstring>

namespace festd {
namespace {

feStack** operands() { return feOperandStack(); }

// copy ("O"): with an integer n the top n remaining operands are duplicated
// in order; with a string, array or dictionary the operand below it (of the
// same type) is copied into it, and the filled part replaces both.
int opCopy(feArgs* a) {
  const feObject* top = inValue(a, 0);
  feStack** stack = operands();
  if (isInt(top)) {
    const int32_t n = top->w0.i;
    if (n < 0) return feErrRangeCheck;
    if (n > feStackCount(*stack)) return feErrStackUnderflow;
    for (int32_t k = 0; k < n; ++k) {
      // The deepest value of the window is always at depth n - 1.
      if (const int rc = fePushIndex(stack, n - 1)) {
        feStackPopN(*stack, k);
        return rc;
      }
    }
    return feOk;
  }
  const int type = feType(top);
  if (type != feTString && type != feTArray && type != feTDict) return feErrTypeCheck;
  const feObject* below = feStackIndex(*stack, 0);
  if (!below) return feErrStackUnderflow;
  if (feType(below) != type) return feErrTypeCheck;
  feObject filled;
  if (const int rc = feCopyInto(below, top, &filled)) return rc;
  feObject source;
  fePop(*stack, &source);
  fePush(stack, &filled);   // into the slot just freed
  feFree(&source);
  return feOk;
}

// index ("I#O"): a copy of the n-th remaining operand, 0 being the top.
int opIndex(feArgs* a) {
  const int32_t n = a->in[0].i;
  const feObject* v = feStackIndex(*operands(), n);
  if (n < 0 || !v) return feErrRangeCheck;
  feCopyValue(outValue(a, 0), v);
  return feOk;
}

// roll ("II"): n j roll rotates the top n operands by j places; a positive j
// moves the top element down.
int opRoll(feArgs* a) {
  const int32_t n = a->in[0].i;
  const int32_t j = a->in[1].i;
  if (n < 0 || n > feStackCount(*operands())) return feErrRangeCheck;
  return feStackRoll(*operands(), n, j);
}

int opClear() {
  feStackClear(*operands());
  return feOk;
}

// count ("#I").
int opCount(feArgs* a) {
  *outInt(a, 0) = feStackCount(*operands());
  return feOk;
}

int opMark() {
  feObject mark;
  feMakeMark(&mark);
  return fePush(operands(), &mark);
}

int opClearToMark() {
  int32_t above = 0;
  if (const int rc = feCountToMark(*operands(), feTMark, &above)) return rc;
  feStackPopN(*operands(), above + 1);
  return feOk;
}

// counttomark ("#I").
int opCountToMark(feArgs* a) {
  return feCountToMark(*operands(), feTMark, outInt(a, 0));
}

// APP: proc mark a1 ... an APP runs proc with the mark and the arguments in
// place. Its entry on the execution stack is replaced by the position of the
// mark (counted from the bottom of the operand stack once proc has left it),
// the continuation "@app" and proc. When proc has finished, "@app" removes
// the mark at that position, so that proc's results are left where the mark
// was; a mark that proc itself pushed is never taken for it.
feObject appValue;
bool appMade;

int contApp();

int opApp() {
  const feObject* cont = feAppContinuation();
  if (!cont) return feErrUnimplemented;
  feStack** stack = operands();
  int32_t above = 0;
  if (const int rc = feCountToMark(*stack, feTMark, &above)) return rc;
  const feObject* found = feStackIndex(*stack, above + 1);
  if (!found) return feErrStackUnderflow;
  // The call syntax "name(args)" leaves the procedure's name below the mark:
  // its value is the procedure that runs.
  feObject proc;
  if (feType(found) == feTName) {
    if (const int rc = feLoad(found, &proc)) return rc;
  } else {
    feCopyValue(&proc, found);
  }
  if (feType(&proc) != feTArray || !feIsExec(&proc)) {
    feFree(&proc);
    return feErrTypeCheck;
  }
  feObject position;
  feMakeInt(&position, feStackCount(*stack) - above - 2);
  const int rc = feExecReplaceTop({&position, cont, &proc});
  feFree(&proc);
  if (rc != feOk) return rc;
  // Take the procedure (or its name) out of the operand stack: rolled to the
  // top, then released.
  feStackRoll(*stack, above + 2, -1);
  feStackPopN(*stack, 1);
  return feOk;
}

// @app: the mark's position lies right below it on the execution stack.
int contApp() {
  feStack** exec = feExecStack();
  const feObject* positionEntry = feStackIndex(*exec, 1);
  feStack* stack = *operands();
  const int32_t count = feStackCount(stack);
  if (positionEntry && isInt(positionEntry)) {
    const int32_t position = positionEntry->w0.i;
    const feObject* mark = feStackIndex(stack, count - 1 - position);
    if (position >= 0 && mark && feType(mark) == feTMark) {
      feStackRoll(stack, count - position, -1);
      feStackPopN(stack, 1);
      feExecDiscard(2);
      feClearCurrent();
      return feOk;
    }
  }
  // proc took the mark away: the error names this continuation, which is
  // left alone on top of the execution stack (its position entry goes) for
  // the error machinery to take.
  const bool hasPosition = positionEntry && isInt(positionEntry);
  feObject self;
  fePop(*exec, &self);
  if (hasPosition) feExecDiscard(1);
  fePush(exec, &self);
  feClearCurrent();
  return feErrUnmatchedMark;
}

const feOpSpec kOps[] = {
    {"copy", opCopy, "O"},
    {"index", opIndex, "I#O"},
    {"roll", opRoll, "II"},
    {"clear", feStackOp<opClear>, ""},
    {"count", opCount, "#I"},
    {"mark", feStackOp<opMark>, ""},
    {"[", feStackOp<opMark>, ""},
    {"<<", feStackOp<opMark>, ""},
    {"cleartomark", feStackOp<opClearToMark>, ""},
    {"counttomark", opCountToMark, "#I"},
    {"APP", feStackOp<opApp>, ""},
};

// The shortcut for index with an integer at the top of the operand stack
// that names a remaining operand: the copy replaces the integer in place, as
// opIndex makes it. Any other case is declined before the stack is touched.
int directIndex() {
  feStack* stack = *operands();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* top = &stack->slots[stack->top];
  if (!isInt(top)) return feOpDeclined;
  const int32_t n = top->w0.i;
  if (n < 0 || n >= stack->top) return feOpDeclined;
  feCopyValue(top, &stack->slots[stack->top - 1 - n]);
  return feOk;
}

}  // namespace

Group stackOps() { return group(kOps); }

int (*stackDirect(feOpHandler handler, const char* signature))() {
  if (!handler || !signature) return nullptr;
  if (handler == opIndex && std::strcmp(signature, "I#O") == 0) return directIndex;
  return nullptr;
}

}  // namespace festd

void feStdOpsInit() {
  using namespace festd;
  if (appMade) return;
  static const char kName[] = "@app";
  const uintptr_t context = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  if (feMakeOp(&appValue, kName, sizeof kName - 1, feStackOp<contApp>, "", 0, context) != feOk) return;
  appValue.flags |= feFlagExec;
  appMade = true;
}

const feObject* feAppContinuation() {
  feStdOpsInit();
  return festd::appMade ? &festd::appValue : nullptr;
}
