// The extension operators and the continuations of aCond and aForallN.
// Handlers get their operands through their signatures; an operator that
// runs a procedure replaces itself on the execution stack by the procedure
// (or by its loop state and continuation), so that the procedure runs after
// the operator has returned and exit, stop and errors behave as in the core
// loops.
#include "fe/extops.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "fe/value.h"


#include <cstring>
#include <initializer_list>

namespace {

feStack** operands() { return feOperandStack(); }
feStack** execStack() { return feExecStack(); }

// The execution-stack entry at depth (0 = the running continuation itself).
feObject* entryAt(int32_t depth) { return feStackIndex(*execStack(), depth); }

bool isArray(const feObject* v) { return v && feType(v) == feTArray; }
bool isProcedure(const feObject* v) { return isArray(v) && feIsExec(v); }
bool isTrue(const feObject* v) { return v && feType(v) == feTBool && v->w0.i != 0; }

// Moves a string or array value forward by n elements.
void advance(feObject* v, int32_t n) {
  v->offset = uint16_t(v->offset + n);
  v->length = uint16_t(v->length - n);
}

int contCond(feArgs*);
int contForallN(feArgs*);

feContinuationSpec continuations[] = {
    {"@cond", contCond, feFlagExec, {}, false},
    {"@forallN", contForallN, feFlagExec | feFlagLoop, {}, false},
};
enum ContinuationIndex { kCond, kForallN };
bool initialised;

const feObject* continuation(ContinuationIndex i) {
  if (!initialised) feExtOpsInit();
  return continuations[i].made ? &continuations[i].value : nullptr;
}

// @cond: the array of tests and actions below it. With an even number of
// elements left the next one is a test: it is pushed to run above the
// continuation. With an odd number a test has just run: its answer (the top
// operand, when there is one) is removed; true replaces the array and the
// continuation by the action, anything else skips the action and the next
// test follows at once. An exhausted array ends it.
int contCond(feArgs*) {
  feObject* pairs = entryAt(1);
  if (!isArray(pairs)) return feErrTypeCheck;
  const bool answered = (pairs->length & 1) != 0;
  const int32_t before = feStackCount(*operands());
  if (answered && before > 0 && isTrue(feStackIndex(*operands(), 0))) {
    feObject action;
    feCopyValue(&action, feArrayElem(pairs, 0));
    feStackPopN(*operands(), 1);
    feExecDiscard(2);
    feClearCurrent();
    // Two entries were just removed: the push has room.
    const int rc = fePush(execStack(), &action);
    if (rc != feOk) feFree(&action);
    return rc;
  }
  const int32_t skip = answered ? 1 : 0;
  if (pairs->length == skip) {
    if (answered && before > 0) feStackPopN(*operands(), 1);
    return feContinuationDone(2);
  }
  const feObject test = *feArrayElem(pairs, skip);
  advance(pairs, skip + 1);
  if (const int rc = fePushDup(execStack(), &test)) {
    advance(pairs, -(skip + 1));
    return rc;
  }
  if (answered && before > 0) feStackPopN(*operands(), 1);
  feClearCurrent();
  return feOk;
}

// @forallN: the array, the procedure and the group size below it. Each pass
// pushes the next n elements (the first deepest) and the procedure; fewer
// than n left end the loop.
int contForallN(feArgs*) {
  const feObject* self = entryAt(0);
  if (self && (self->flags & feFlagTerminated)) return feContinuationDone(4);
  feObject* array = entryAt(1);
  const feObject* body = entryAt(2);
  const feObject* size = entryAt(3);
  if (!isArray(array) || !isProcedure(body) || !size || feType(size) != feTInt) return feErrTypeCheck;
  const int32_t n = size->w0.i;
  if (n < 0 || int32_t(array->length) < n) return feContinuationDone(4);
  int32_t pushed = 0;
  int rc = feOk;
  while (pushed < n && (rc = fePushDup(operands(), feArrayElem(array, pushed))) == feOk) ++pushed;
  if (rc != feOk) {
    feStackPopN(*operands(), pushed);
    return rc;
  }
  advance(array, n);
  const feObject copy = *body;
  if ((rc = fePushDup(execStack(), &copy)) != feOk) {
    advance(array, -n);
    feStackPopN(*operands(), n);
    return rc;
  }
  feClearCurrent();
  return feOk;
}

// Pushes value (moved in) and then flag; on an error neither stays pushed
// and the value is released.
int pushAnswer(feObject* value, bool found) {
  if (found) {
    if (const int rc = fePush(operands(), value)) {
      feFree(value);
      return rc;
    }
  }
  feObject flag = found ? *feTrue() : *feFalse();
  if (const int rc = fePush(operands(), &flag)) {
    if (found) feStackPopN(*operands(), 1);
    return rc;
  }
  return feOk;
}

// The "@st" marker the execution loop leaves above the name of a traced
// procedure.
bool isMarker(const feObject* v, const feObject* marker) {
  return v && marker && feType(v) == feTOperator && (v->w0.u & 0xFFFFu) == (marker->w0.u & 0xFFFFu);
}

// Prints a copy of value in plain form, then the line end. The copy keeps
// the value alive while a script sink runs.
void printTraced(const feObject* value, const char* end) {
  feObject copy;
  feCopyValue(&copy, value);
  fePrint(&copy, 0);
  feFree(&copy);
  feOutWrite(end, std::strlen(end));
}

// The longest string or array a value can hold.
constexpr size_t kLongest = 65535;

// A new value holding both strings' bytes; 270 past the longest string.
int catStrings(const feObject* a, const feObject* b, feObject* out) {
  uint8_t *first = nullptr, *second = nullptr;
  uint16_t firstLength = 0, secondLength = 0;
  feStringData(a, &first, &firstLength);
  feStringData(b, &second, &secondLength);
  const size_t total = size_t(firstLength) + secondLength;
  if (total > kLongest) return feErrLimitCheck;
  if (const int rc = feMakeString(out, nullptr, total)) return rc;
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(out, &data, &length);
  if (firstLength) std::memcpy(data, first, firstLength);
  if (secondLength) std::memcpy(data + firstLength, second, secondLength);
  return feOk;
}

// A new literal array holding copies of both arrays' elements; 270 past the
// longest array.
int catArrays(const feObject* a, const feObject* b, feObject* out) {
  const uint32_t firstLength = a->length, secondLength = b->length;
  const uint32_t total = firstLength + secondLength;
  if (total > kLongest) return feErrLimitCheck;
  feObject* elements = nullptr;
  if (total) elements = uAlloc(&elements, nullptr, total, uint32_t(sizeof(feObject)));
  for (uint32_t k = 0; k < firstLength; ++k) feCopyValue(&elements[k], feArrayElem(a, int32_t(k)));
  for (uint32_t k = 0; k < secondLength; ++k) feCopyValue(&elements[firstLength + k], feArrayElem(b, int32_t(k)));
  const int rc = feMakeArray(out, elements, total);
  if (rc != feOk)
    for (uint32_t k = 0; k < total; ++k) feFree(&elements[k]);
  uFreeIfSet(&elements);
  return rc;
}

// Puts copies of key and value into dict (the source may be dict itself).
int putCopy(const feObject* dict, const feObject* key, const feObject* value) {
  feObject k, v;
  feCopyValue(&k, key);
  feCopyValue(&v, value);
  const int rc = feDictPut(dict, &k, &v);
  feFree(&k);
  feFree(&v);
  return rc;
}

const feOpSpec kSpecs[] = {
    {"aCvs", feOpACvs, "O#O"},
    {"aCase", feOpACase, "OO"},
    {"aCond", feOpACond, "O"},
    {"aGetX", feOpAGetX, "OO"},
    {"aAGetX", feOpAAGetX, "OO"},
    {"known", feOpKnown, "OO#B"},
    {"aMerge", feOpAMerge, "OO"},
    {"aForallN", feOpAForallN, "OOI"},
    {"aForall2", feOpAForallN, "OOI<2>"},
    {"aMdef", feOpAMdef, "O"},
    {"aSetDebugFlags", feOpASetDebugFlags, "!I"},
    {"aDebugFlags", feOpADebugFlags, "!"},
    {"aStackTrace", feOpAStackTrace, "!"},
    {"aStackCrawl", feOpAStackCrawl, "!"},
    {"aCat", feOpACat, "OO#O"},
    {"aLogPrint", feOpALogPrint, "!"},
};

}  // namespace

void feExtOpsInit() {
  if (initialised) return;
  initialised = true;
  feMakeContinuations(continuations, sizeof continuations / sizeof continuations[0]);
  feDictSetOverwriteHook(feStackCrawl);
}

const feObject* feExtContinuation(const char* name) {
  if (!name) return nullptr;
  if (std::strcmp(name, "@cond") == 0) return continuation(kCond);
  if (std::strcmp(name, "@forallN") == 0) return continuation(kForallN);
  return nullptr;
}

void feStackCrawl() {
  const feObject* marker = feContinuation("@st");
  for (int32_t depth = 0; depth + 1 < feStackCount(*execStack()); ++depth)
    if (isMarker(entryAt(depth), marker)) printTraced(entryAt(depth + 1), " \r");
}

// aCvs: a string gives a new string with its bytes, anything else the text
// that cvs writes.
int feOpACvs(feArgs* args) {
  const feObject* value = args->in[0].value;
  auto* out = static_cast<feObject*>(args->out[0]);
  if (feType(value) == feTString) {
    uint8_t* data = nullptr;
    uint16_t length = 0;
    feStringData(value, &data, &length);
    return feMakeString(out, reinterpret_cast<const char*>(data), length);
  }
  return feCvs(value, nullptr, out);
}

// aCase: the procedure of the first key equal to the value, else that of the
// first key equal to the name default; it runs after aCase.
int feOpACase(feArgs* args) {
  const feObject* value = args->in[0].value;
  const feObject* pairs = args->in[1].value;
  if (!isArray(pairs)) return feErrTypeCheck;
  if (pairs->length & 1) return feErrLengthCheck;
  const int32_t n = pairs->length;
  for (int32_t k = 0; k < n; k += 2)
    if (feEq(feArrayElem(pairs, k), value) == feOk) return feExecReplaceTop({feArrayElem(pairs, k + 1)});
  feObject fallback;
  if (const int rc = feMakeName(&fallback, "default", 7)) return rc;
  for (int32_t k = 0; k < n; k += 2)
    if (feEq(feArrayElem(pairs, k), &fallback) == feOk) return feExecReplaceTop({feArrayElem(pairs, k + 1)});
  return feOk;
}

// aCond: the array and "@cond" in place of the operator.
int feOpACond(feArgs* args) {
  const feObject* pairs = args->in[0].value;
  if (!isArray(pairs)) return feErrTypeCheck;
  if (pairs->length & 1) return feErrLengthCheck;
  const feObject* cont = continuation(kCond);
  if (!cont) return feErrUnimplemented;
  return feExecReplaceTop({pairs, cont});
}

int feOpAGetX(feArgs* args) {
  feObject value;
  const bool found = feGet(args->in[0].value, args->in[1].value, &value) == feOk;
  return pushAnswer(&value, found);
}

// aAGetX: aget on copies of the operands; on success its result is taken
// over, on any failure the copies go again.
int feOpAAGetX(feArgs* args) {
  feStack** stack = operands();
  const int32_t depth = feStackCount(*stack);
  if (const int rc = fePushDup(stack, args->in[0].value)) return rc;
  if (const int rc = fePushDup(stack, args->in[1].value)) {
    feStackPopN(*stack, 1);
    return rc;
  }
  if (feOpAget() == feOk) {
    feObject value;
    fePop(*stack, &value);
    return pushAnswer(&value, true);
  }
  feStackPopN(*stack, feStackCount(*stack) - depth);
  return pushAnswer(nullptr, false);
}

int feOpKnown(feArgs* args) {
  feObject value;
  const bool found = feGet(args->in[0].value, args->in[1].value, &value) == feOk;
  if (found) feFree(&value);
  *static_cast<int32_t*>(args->out[0]) = found ? 1 : 0;
  return feOk;
}

// aMerge: every used entry of a dictionary source, or the key and value
// pairs of an array source (an odd last element is ignored), put into dict.
int feOpAMerge(feArgs* args) {
  const feObject* dict = args->in[0].value;
  const feObject* source = args->in[1].value;
  if (feType(dict) != feTDict) return feErrTypeCheck;
  if (feType(source) == feTDict) {
    int32_t capacity = 0;
    feDictMaxLength(source, &capacity);
    for (int32_t slot = 0; slot < capacity; ++slot) {
      feObject* key = nullptr;
      feObject* value = nullptr;
      if (feDictEntryAt(source, slot, &key, &value) != feOk) break;
      if (feType(key) == feTEmpty) continue;
      if (const int rc = putCopy(dict, key, value)) return rc;
      // A put may have grown dict; when dict is the source its capacity
      // stays (every key is already there).
      feDictMaxLength(source, &capacity);
    }
    return feOk;
  }
  if (feType(source) != feTArray) return feErrTypeCheck;
  const int32_t n = source->length;
  for (int32_t k = 0; k + 1 < n; k += 2)
    if (const int rc = putCopy(dict, feArrayElem(source, k), feArrayElem(source, k + 1))) return rc;
  return feOk;
}

// aForallN and aForall2: n, the procedure, the array and "@forallN" in place
// of the operator.
int feOpAForallN(feArgs* args) {
  const feObject* array = args->in[0].value;
  const feObject* proc = args->in[1].value;
  const int32_t n = args->in[2].i;
  if (!isArray(array) || !isProcedure(proc)) return feErrTypeCheck;
  if (n < 0) return feErrRangeCheck;
  if (n >= feForallNLimit) return feErrLimitCheck;
  const feObject* cont = continuation(kForallN);
  if (!cont) return feErrUnimplemented;
  feObject size;
  feMakeInt(&size, n);
  return feExecReplaceTop({&size, proc, array, cont});
}

// aMdef: the i-th name is defined as the i-th of the n values below the
// array (the first name gets the deepest), in the dictionary def uses.
int feOpAMdef(feArgs* args) {
  const feObject* names = args->in[0].value;
  if (!isArray(names)) return feErrTypeCheck;
  const int32_t n = names->length;
  if (feStackCount(*operands()) < n) return feErrStackUnderflow;
  for (int32_t i = 0; i < n; ++i) {
    // Copies: a definition may run script code (the report of a hidden
    // name goes to the output sink), which may change the operand stack.
    feObject key, value;
    feCopyValue(&key, feArrayElem(names, i));
    const feObject* slot = feStackIndex(*operands(), n - 1 - i);
    if (!slot) {
      feFree(&key);
      return feErrStackUnderflow;
    }
    feCopyValue(&value, slot);
    const int rc = feDictDef(&key, &value);
    feFree(&key);
    feFree(&value);
    if (rc != feOk) return rc;
  }
  feStackPopN(*operands(), n);
  return feOk;
}

int feOpASetDebugFlags(feArgs* args) {
  const int32_t flags = args->in[0].i;
  dbgSetFlags(uint32_t(flags));
  dbgPrintf("[fe.dir:feSetDebugFlags] %ld\n", flags);
  return feOk;
}

int feOpADebugFlags(feArgs*) {
  feObject flags;
  feMakeInt(&flags, int32_t(dbgFlags()));
  return fePush(operands(), &flags);
}

// aStackTrace: the traced names of the execution stack saved with the last
// error ($error's estack, bottom first), innermost first.
int feOpAStackTrace(feArgs*) {
  const feObject* record = feErrorRecordDict();
  const feObject* marker = feContinuation("@st");
  feObject estack;
  if (!record || feDictGetName(record, "estack", &estack) != feOk) return feOk;
  if (isArray(&estack))
    for (int32_t i = int32_t(estack.length) - 1; i >= 1; --i)
      if (isMarker(feArrayElem(&estack, i), marker)) printTraced(feArrayElem(&estack, i - 1), "\r");
  feFree(&estack);
  return feOk;
}

int feOpAStackCrawl(feArgs*) {
  feStackCrawl();
  return feOk;
}

int feOpACat(feArgs* args) {
  const feObject* a = args->in[0].value;
  const feObject* b = args->in[1].value;
  auto* out = static_cast<feObject*>(args->out[0]);
  if (feType(a) == feTString && feType(b) == feTString) return catStrings(a, b, out);
  if (feType(a) == feTArray && feType(b) == feTArray) return catArrays(a, b, out);
  return feErrTypeCheck;
}

// aLogPrint: the call-trace ring, newest first: the slot's word and the
// operator's name.
int feOpALogPrint(feArgs*) {
  feOpTraceEntry entries[feOpTraceSlots];
  const int32_t n = feOpTraceRead(entries);
  for (int32_t k = 0; k < n; ++k) {
    const char* text = nullptr;
    size_t length = 0;
    feNameTextOf(entries[k].name, &text, &length);
    fePrintf("%d %.*s\n", int32_t(entries[k].word), int32_t(length), text);
  }
  return feOk;
}

const feOpSpec* feExtOpSpec(const char* name) { return feOpSpecFind(kSpecs, name); }
