// Errors raised by execution steps: the error-name table, the hand-over of
// an error to its errordict handler or to recorderror, the record of the
// last error in $error, the report of handleerror, the operators handleerror
// and quit, and the interpreter's dictionaries.
#include "fe/error.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error_test.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/quit.h"
#include "fe/stack.h"

#include <windows.h>

#include <cstring>

namespace {

struct ErrorName {
  int32_t code;
  uint16_t name;     // name-table index; 0 when the table was full
  char* text;        // terminated copy
};

struct ErrorState {
  ErrorName* names = nullptr;
  uint32_t nameCount = 0;
  uint32_t nameCapacity = 0;
  feObject systemdict{};
  feObject userdict{};
  feObject errordict{};
  feObject record{};      // $error
  feObject recorderror{};
  feObject builtinReport{};   // errordict's own handleerror
  uint32_t reports = 0;
};
ErrorState state;

constexpr uint32_t kNameGrowth = 10;

// The codes with a name, in the order the table is filled at start.
const struct {
  int code;
  const char* name;
} kErrorNames[] = {
    {feErrSyntax, "syntaxerror"},         {feErrNotANumber, "notanumber"},
    {feErrUnmatchedMark, "unmatchedmark"}, {feErrStackUnderflow, "stackunderflow"},
    {feErrUndefined, "undefined"},        {feErrDictFull, "dictfull"},
    {feErrRangeCheck, "rangecheck"},      {feErrTypeCheck, "typecheck"},
    {feErrLimitCheck, "limitcheck"},      {feErrInvalidFileName, "invalidfilename"},
    {feErrInvalidFileAccess, "invalidfileaccess"}, {feErrIo, "ioerror"},
    {feErrUndefinedResult, "undefinedresult"}, {feErrUnimplemented, "unimplemented"},
    {feErrInvalidExit, "invalidexit"},    {feErrInvalidAccess, "invalidaccess"},
    {feErrInterrupt, "interrupt"},        {feErrDictStackUnderflow, "dictstackunderflow"},
    {feErrEof, "eof"},                    {feErrLengthCheck, "lengthcheck"},
};

bool isDict(const feObject& v) { return feType(&v) == feTDict; }

const ErrorName* findName(int code) {
  for (uint32_t i = 0; i < state.nameCount; ++i)
    if (state.names[i].code == code) return &state.names[i];
  return nullptr;
}

// The key under which errordict holds the handler of a code: the error's
// name, or the code itself when it has none.
void errorKey(int code, feObject* key) {
  const ErrorName* record = findName(code);
  if (!record || record->name == 0 || feSetName(key, record->name) != feOk) feMakeInt(key, code);
}

// The stack's values, bottom first, in a new array. The execution stack is
// copied by its own module (the copies must not carry its frame bits).
void snapshot(feStack* stack, bool exec, feObject* out) {
  feMakeArray(out, nullptr, uint32_t(feStackCount(stack)));
  feObject filled;
  const int rc = exec ? feExecStackCopy(out, &filled) : feArrayFromStackCopy(stack, out, &filled);
  if (rc == feOk) feFree(&filled);
}

void keep(feObject* slot, const feObject* value) {
  feObject old = *slot;
  if (value) feCopyValue(slot, value);
  else std::memset(static_cast<void*>(slot), 0, sizeof *slot);
  if (feType(&old) != feTEmpty) feFree(&old);
}

// An operator that replaces itself on the execution stack by another entry:
// its own entry goes (when the loop is running it) and the loop is told not
// to remove the new top.
int replaceCurrent(feObject* entry) {
  feObject* current = feCurrentEntry();
  if (current && current == feExecTop()) feExecPop();
  const int rc = fePush(feExecStack(), entry);
  if (rc != feOk) feFree(entry);
  feClearCurrent();
  return rc;
}

// recorderror ("OO": command, error name).
int recordError(feArgs* args) {
  const feObject* rec = &state.record;
  if (!isDict(*rec)) return feErrUndefined;
  int rc = feDictDefName(rec, "newerror", feTrue());
  if (rc == feOk) rc = feDictDefName(rec, "command", args->in[0].value);
  if (rc == feOk) rc = feDictDefName(rec, "errorname", args->in[1].value);
  static const char* const kStacks[] = {"ostack", "dstack", "estack"};
  feStack* stacks[] = {*feOperandStack(), *feDictStack(), *feExecStack()};
  for (int i = 0; i < 3 && rc == feOk; ++i) {
    feObject copy;
    snapshot(stacks[i], i == 2, &copy);
    rc = feDictDefName(rec, kStacks[i], &copy);
    feFree(&copy);
  }
  if (rc != feOk) return rc;
  // Unwind to the nearest stopped (errorcheck in a run from native code).
  const feObject* stop = feContinuation("stop");
  if (!stop) return feOk;
  feObject entry = *stop;
  return replaceCurrent(&entry);
}

}  // namespace

void feDefError(int code, const char* name) {
  if (!name) return;
  if (state.nameCount == state.nameCapacity)
    uAlloc(&state.names, &state.nameCapacity, state.nameCapacity + kNameGrowth, sizeof(ErrorName));
  const size_t length = std::strlen(name);
  ErrorName& record = state.names[state.nameCount++];
  record.code = code;
  record.text = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(length + 1), 1));
  std::memcpy(record.text, name, length + 1);
  uint16_t index = 0;
  if (feNameIntern(name, length, &index) != feOk) index = 0;
  record.name = index;
}

const char* feErrorName(int code) {
  const ErrorName* record = findName(code);
  return record ? record->text : nullptr;
}

void feErrorInit() {
  for (const auto& e : kErrorNames) feDefError(e.code, e.name);
  const uintptr_t context = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  if (isDict(state.errordict) &&
      feInstallOpDict(&state.errordict, "handleerror", feStackOp<feErrorReport>, "", 0, context) == feOk) {
    feObject builtin;
    if (feDictGetName(&state.errordict, "handleerror", &builtin) == feOk) keep(&state.builtinReport, &builtin);
  }
  static const char kRecordError[] = "recorderror";
  if (feMakeOp(&state.recorderror, kRecordError, sizeof kRecordError - 1, recordError, "OO", 0, context) == feOk)
    state.recorderror.flags |= feFlagExec;
}

void feError(int code) {
  feClearCurrent();
  feObject command;
  feStack** exec = feExecStack();
  if (feStackCount(*exec) > 0) fePop(*exec, &command);
  else feMakeNull(&command);

  feObject key;
  errorKey(code, &key);
  feObject handler;
  const bool handled = isDict(state.errordict) && feDictGet(&state.errordict, &key, &handler) == feOk;

  // An error raised because the operand stack is full leaves no room for the
  // command and the error name. The operands are dropped then, so that the
  // handler still receives what it expects instead of two stray operands.
  feStack** operands = feOperandStack();
  int rc = fePush(operands, &command);
  if (rc == feOk && !handled) {
    rc = fePush(operands, &key);
    if (rc != feOk) fePop(*operands, &command);
  }
  if (rc != feOk) {
    feStackClear(*operands);
    rc = fePush(operands, &command);
    if (rc == feOk && !handled) fePush(operands, &key);
    if (rc != feOk) feFree(&command);
  }

  if (handled) {
    if (fePush(exec, &handler) != feOk) feFree(&handler);
    return;
  }
  if (feType(&state.recorderror) == feTOperator) fePush(exec, &state.recorderror);
}

int feErrorReport() {
  const feObject* rec = &state.record;
  if (!isDict(*rec)) return feErrUndefined;
  feObject flag;
  int rc = feDictGetName(rec, "newerror", &flag);
  if (rc != feOk) return rc;
  const bool fresh = feType(&flag) == feTBool && feGetBool(&flag) != 0;
  feFree(&flag);
  if (!fresh) return feOk;
  rc = feDictDefName(rec, "newerror", feFalse());
  if (rc != feOk) return rc;
  ++state.reports;

  fePrintf("%s[ Error: ", "%%");
  feObject part;
  if ((rc = feDictGetName(rec, "errorname", &part)) != feOk) return rc;
  fePrint(&part, 0);
  feFree(&part);
  fePrintf("; OffendingCommand: ");
  if ((rc = feDictGetName(rec, "command", &part)) != feOk) return rc;
  fePrint(&part, 0);
  feFree(&part);
  fePrintf(" ]%s\r", "%%");
  return feOk;
}

uint32_t feErrorReportCount() { return state.reports; }

int feOpHandleError() {
  feObject handler;
  if (!isDict(state.errordict) || feDictGetName(&state.errordict, "handleerror", &handler) != feOk)
    return feErrUndefined;
  return replaceCurrent(&handler);
}

int feOpQuit() {
  feQuitRun();
  return feOk;
}

const feObject* feSystemDict() { return isDict(state.systemdict) ? &state.systemdict : nullptr; }
const feObject* feUserDict() { return isDict(state.userdict) ? &state.userdict : nullptr; }
const feObject* feErrorDict() { return isDict(state.errordict) ? &state.errordict : nullptr; }
const feObject* feErrorRecordDict() { return isDict(state.record) ? &state.record : nullptr; }

void feErrorSetDicts(const feObject* systemdict, const feObject* userdict, const feObject* errordict,
                     const feObject* errorRecord) {
  keep(&state.systemdict, systemdict);
  keep(&state.userdict, userdict);
  keep(&state.errordict, errordict);
  keep(&state.record, errorRecord);
}

void feErrorTestResetHandlers() {
  if (!isDict(state.errordict)) return;
  feObject fresh;
  feMakeDict(&fresh, 20);
  if (feType(&state.builtinReport) != feTEmpty) feDictDefName(&fresh, "handleerror", &state.builtinReport);
  keep(&state.errordict, &fresh);
  if (isDict(state.systemdict)) feDictDefName(&state.systemdict, "errordict", &fresh);
  feFree(&fresh);
  if (isDict(state.record)) feDictDefName(&state.record, "newerror", feFalse());
}
