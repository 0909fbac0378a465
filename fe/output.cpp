// The interpreter output: the script sink installed by aOut, the default
// destination (the log window or a hook) with its line wrap, and the
// formatted writers built on them.
#include "fe/output.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "fe/value.h"

#include <cstring>

namespace {

feOutHook outHook;
void* outContext;
constexpr size_t kBufferSize = 512;

// The script sink (type feTEmpty: none) and whether it is running.
feObject sink{};
bool sinkRunning;

// The line wrap of the default destination.
int32_t wrapLimit;
int32_t column;

void emit(const char* text, size_t length) {
  if (outHook) outHook(outContext, text, length);
  else dbgLogAppend(text, length);
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// The default destination: a "\r" goes first when the text would take the
// current line past the wrap limit.
void toDefault(const char* text, size_t length) {
  size_t firstEnd = 0;
  while (firstEnd < length && !isLineEnd(text[firstEnd])) ++firstEnd;
  if (wrapLimit > 0 && column > 0 && int64_t(column) + int64_t(firstEnd) > wrapLimit) {
    emit("\r", 1);
    column = 0;
  }
  emit(text, length);
  size_t lastEnd = length;
  while (lastEnd > 0 && !isLineEnd(text[lastEnd - 1])) --lastEnd;
  const size_t tail = length - lastEnd;
  const int64_t next = (lastEnd > 0 ? 0 : int64_t(column)) + int64_t(tail);
  column = next > INT32_MAX ? INT32_MAX : int32_t(next);
}

// Marks the sink as running for the lifetime of the guard, also when the
// run is abandoned by an exception.
struct SinkRun {
  SinkRun() { sinkRunning = true; }
  ~SinkRun() { sinkRunning = false; }
  SinkRun(const SinkRun&) = delete;
  SinkRun& operator=(const SinkRun&) = delete;
};

// One piece of text (at most the longest string) for the sink: false when
// the string could not be made or pushed, so that the caller writes the text
// to the default destination instead.
bool toSink(const char* text, size_t length) {
  feObject piece;
  if (feMakeString(&piece, text, length) != feOk) return false;
  if (fePush(feOperandStack(), &piece) != feOk) {
    feFree(&piece);
    return false;
  }
  // The run holds its own copy of the sink: the sink may replace itself
  // (aOut) while it runs. The copy goes also when the run is abandoned.
  struct Running {
    feObject value;
    ~Running() { feFree(&value); }
  } running;
  feCopyValue(&running.value, &sink);
  const SinkRun guard;
  feExecObject(&running.value);
  return true;
}

}  // namespace

void feSetOutHook(feOutHook hook, void* context) {
  outHook = hook;
  outContext = context;
}

void feOutWrite(const char* text, size_t length) {
  if (!text || length == 0) return;
  if (feType(&sink) == feTEmpty || sinkRunning) {
    toDefault(text, length);
    return;
  }
  while (length > 0) {
    const size_t piece = length < size_t(feStringMaxLength) ? length : size_t(feStringMaxLength);
    if (feType(&sink) == feTEmpty || sinkRunning || !toSink(text, piece)) toDefault(text, piece);
    text += piece;
    length -= piece;
  }
}

void feOutSetSink(const feObject* value) {
  feObject old = sink;
  if (value && feType(value) != feTNull && feType(value) != feTEmpty) feCopyValue(&sink, value);
  else std::memset(static_cast<void*>(&sink), 0, sizeof sink);
  if (feType(&old) != feTEmpty) feFree(&old);
}

const feObject* feOutSink() { return feType(&sink) == feTEmpty ? nullptr : &sink; }

bool feOutSinkRunning() { return sinkRunning; }

void feOutSetWrapLimit(int32_t limit) { wrapLimit = limit > 0 ? limit : 0; }

int32_t feOutWrapLimit() { return wrapLimit; }

int32_t feOutColumn() { return column; }

void feVPrintfArgs(const char* format, const uFmtArg* args, size_t count) {
  char buffer[kBufferSize];
  const int n = uVSprintfArgs(buffer, sizeof buffer, format ? format : "", args, count);
  if (n > 0) feOutWrite(buffer, static_cast<size_t>(n));
}

extern "C" void fePrintfC(const char* format, ...) {
  char buffer[kBufferSize];
  va_list args;
  va_start(args, format);
  const int n = uVSprintf(buffer, sizeof buffer, format ? format : "", args);
  va_end(args);
  if (n > 0) feOutWrite(buffer, static_cast<size_t>(n));
}
