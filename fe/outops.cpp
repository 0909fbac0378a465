// The output operators. stack and pstack print from a copy of the operand
// stack, so that a script sink, which runs on the operand stack, cannot
// disturb the values being printed; both stop with 277 (interrupt) when the
// attention flag is raised.
#include "fe/outops.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/attnpoll.h"
#include "fe/generic.h"
#include "fe/output.h"
#include "fe/stack.h"
#include "fe/value.h"

#include <cstring>

namespace {

void lineEnd() { feOutWrite("\r", 1); }

// The syntax form with the wrap limit of ==; the previous limit comes back
// afterwards.
int printSyntax(const feObject* value) {
  const int32_t previous = feOutWrapLimit();
  feOutSetWrapLimit(feSyntaxWrapLimit);
  const int rc = fePrint(value, 1);
  feOutSetWrapLimit(previous);
  return rc;
}

int printLine(const feObject* value, bool syntax) {
  const int rc = syntax ? printSyntax(value) : fePrint(value, 0);
  lineEnd();
  return rc;
}

// Every operand, top first, as = or == prints it.
int printStack(bool syntax) {
  feStack* stack = *feOperandStack();
  const int32_t n = feStackCount(stack);
  if (n == 0) return feOk;
  feObject snapshot, filled;
  if (const int rc = feMakeArray(&snapshot, nullptr, uint32_t(n))) return rc;
  int rc = feArrayFromStackCopy(stack, &snapshot, &filled);
  if (rc == feOk) {
    for (int32_t i = n - 1; i >= 0 && rc == feOk; --i) {
      if (feAttnPoll()) {
        rc = feErrInterrupt;
        break;
      }
      rc = printLine(feArrayElem(&filled, i), syntax);
    }
    feFree(&filled);
  }
  feFree(&snapshot);
  return rc;
}

const feOpSpec kSpecs[] = {
    {"aOut", feOpAOut, "!O"},     {"print", feOpPrint, "O"},   {"=", feOpEqual, "O"},
    {"==", feOpEqEq, "O"},        {"stack", feOpStack, ""},    {"pstack", feOpPStack, ""},
    {"prompt", feOpPrompt, ""},
};

}  // namespace

int feOpAOut(feArgs* args) {
  feOutSetSink(args->in[0].value);
  return feOk;
}

int feOpPrint(feArgs* args) { return fePrint(args->in[0].value, 0); }

int feOpEqual(feArgs* args) { return printLine(args->in[0].value, false); }

int feOpEqEq(feArgs* args) { return printLine(args->in[0].value, true); }

int feOpStack(feArgs*) { return printStack(false); }

int feOpPStack(feArgs*) { return printStack(true); }

int feOpPrompt(feArgs*) {
  feOutWrite("PS>", 3);
  return feOk;
}

const feOpSpec* feOutOpSpec(const char* name) { return feOpSpecFind(kSpecs, name); }
