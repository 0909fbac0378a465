// Script procedures attached to application events (aOnEvent) and the
// catcher that runs them at the end of a command.
#include "core/debug.h"
#include "core/proginfo.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/stack.h"
#include "fe/value.h"
#include "objects/event.h"
#include "objects/scriptsvc.h"

#include <cstring>
#include <vector>

namespace {

// The debug flag bit that turns on the handlers' timing lines.
constexpr uint32_t kTimingFlag = 0x1000;
constexpr int kMaxPasses = 12;
constexpr uint32_t kSlowHandlerTicks = 9;
constexpr uint32_t kSlowRunTicks = 7;

struct NameBits {
  const char* name;
  uint16_t mask;
  uint16_t value;
};

const NameBits kKinds[] = {
    {"all", 0x0000, 0x0000},        {"any", 0x0000, 0x0000},      {"new", 0xFFFF, 0x0001},
    {"delete", 0xFFFF, 0x0002},     {"deactivate", 0xFFFF, 0x0003}, {"activate", 0xFFFF, 0x0004},
    {"draw", 0xFFFF, 0x0006},       {"change", 0xFFFF, 0x0007},   {"allgone", 0xFFFF, 0x0009},
};
const NameBits kSources[] = {
    {"document", 0xFFFF, 0x0101}, {"sheet", 0xFFFF, 0x0102},   {"model", 0xFFFF, 0x0103},
    {"view", 0xFFFF, 0x0104},     {"workplane", 0xFFFF, 0x0105}, {"viewdir", 0xFFFF, 0x0106},
    {"vdir", 0xFFFF, 0x0106},     {"layer", 0xFFFF, 0x0002},   {"ctable", 0xFFFF, 0x0300},
};

template <size_t N>
const NameBits* lookUp(const NameBits (&table)[N], const char* name, size_t length) {
  for (const NameBits& entry : table)
    if (std::strlen(entry.name) == length && std::memcmp(entry.name, name, length) == 0) return &entry;
  return nullptr;
}

struct Handler {
  uint32_t mask;
  uint32_t value;
  uint32_t flags;  // bit 0: marked to run
  feObject procedure;
};

struct State {
  std::vector<Handler> handlers;
  bool caught = false;   // the catcher is in the event table
  int pending = 0;
  bool running = false;  // passes are under way
};
State& state() {
  static State s;
  return s;
}

// Runs one handler between a mark and the clearing of everything above it;
// the operand stack is put back to its depth before the mark even when the
// procedure took the mark away.
void runHandler(size_t index) {
  feObject procedure;
  feCopyValue(&procedure, &state().handlers[index].procedure);
  const uint32_t mask = state().handlers[index].mask;
  const uint32_t value = state().handlers[index].value;
  feStack** stack = feOperandStack();
  const int32_t depth = feStackCount(*stack);
  const uint32_t start = uTicks();
  feObject mark;
  feMakeMark(&mark);
  fePush(stack, &mark);
  fePush(stack, &procedure);  // the stack takes the copy's reference
  const int error = feExecString("exec");
  if (error) {
    dbgPrintf("[evCatcher] ERR=%d [%lx/%lx]\n", error, mask, value);
    feExecString("aBug");
  }
  const int32_t above = feStackCount(*stack) - depth;
  if (above > 0) feStackPopN(*stack, above);
  if (dbgFlags() & kTimingFlag) {
    const uint32_t took = uTicks() - start;
    if (took >= kSlowHandlerTicks && index < state().handlers.size()) {
      dbgPrintf("[evCatcher] %ld ticks for event cmd: ", took);
      feObject copy;
      feCopyValue(&copy, &state().handlers[index].procedure);
      fePush(stack, &copy);
      feExecString("==");
    }
  }
}

void clearMarks() {
  for (Handler& h : state().handlers) h.flags &= ~1u;
  state().pending = 0;
}

}  // namespace

void evCatcher(uint32_t code, intptr_t) {
  State& s = state();
  for (Handler& h : s.handlers) {
    if ((code & h.mask) == h.value) {
      h.flags |= 1u;
      ++s.pending;
    }
  }
  // Only the end of a command runs handlers, and a run already under way
  // takes the new marks in its next pass.
  if (code != evtCommandEnd || !s.pending || s.running) return;
  s.running = true;
  const uint32_t start = uTicks();
  int passes = 0;
  while (s.pending) {
    if (passes == kMaxPasses) {
      uAlert(0, "TonEvent's keep looping.", nullptr);
      clearMarks();
      break;
    }
    s.pending = 0;
    // By index: a handler may add handlers while it runs.
    for (size_t i = 0; i < s.handlers.size(); ++i) {
      if (!(s.handlers[i].flags & 1u)) continue;
      s.handlers[i].flags &= ~1u;
      runHandler(i);
    }
    ++passes;
  }
  s.running = false;
  if (dbgFlags() & kTimingFlag) {
    const uint32_t took = uTicks() - start;
    if (took >= kSlowRunTicks) dbgPrintf("[evCatcher] Event handler: %ld ticks\n", took);
  }
}

int scriptEvtAdd(const feObject* procedure, const char* kind, size_t kindLength, const char* source,
                 size_t sourceLength) {
  State& s = state();
  if (!s.caught) {
    evtAdd(0, 0, evCatcher);
    s.caught = true;
  }
  const NameBits* k = lookUp(kKinds, kind, kindLength);
  const NameBits* src = lookUp(kSources, source, sourceLength);
  if (!k || !src) return -1;
  Handler h{};
  h.mask = uint32_t(src->mask) << 16 | k->mask;
  h.value = uint32_t(src->value) << 16 | k->value;
  feCopyValue(&h.procedure, procedure);
  s.handlers.push_back(h);
  return 0;
}

size_t scriptEvtCount() { return state().handlers.size(); }

void scriptEvtReset() {
  State& s = state();
  std::vector<Handler> old;
  old.swap(s.handlers);
  for (Handler& h : old) feFree(&h.procedure);
  s.pending = 0;
}

void scriptEvtForgetCatcher() { state().caught = false; }

// "!OSS": procedure, kind, source.
int aOnEventOp(feArgs* args) {
  scriptEvtAdd(args->in[0].value, args->in[1].text.text, size_t(args->in[1].text.length), args->in[2].text.text,
               size_t(args->in[2].text.length));
  return 0;
}
