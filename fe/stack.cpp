// The interpreter's stacks: blocks of capacity + 1 values, grown by 20 into a
// new block that keeps the old one as its previous (so pointers taken into
// the old block stay readable), recycling of the common 40-value blocks, and
// the stack operations and operators built on them.
#include "fe/stack.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/stack_test.h"

#include <cstring>

feStackSet feStacks;

namespace {

constexpr int32_t kGrowStep = 20;
constexpr int32_t kRecycledCapacity = 40;   // the size of operand and execution stacks
constexpr int kMaxRecycled = 4;
constexpr int32_t kFirstCapacity = 40;      // a stack pushed to before it was made
constexpr int32_t kOperandCapacity = 40;
constexpr int32_t kDictCapacity = 4;
constexpr int32_t kFrameCapacity = 4;

feStack*& operandStack = feStacks.operand;
feStack*& execStack = feStacks.exec;
feStack*& dictStack = feStacks.dict;
feStack*& frameStack = feStacks.frame;
bool& initialised = feStacks.initialised;

// Allocation statistics: blocks held (in use or waiting for reuse) and their
// bytes.
int32_t blockCount;
uint32_t byteTotal;

feStack* recycled[kMaxRecycled];
int recycledCount;

// The window that roll rotates through; grown as needed and kept.
feObject* rollScratch;
uint32_t rollScratchCapacity;

uint32_t blockBytes(int32_t capacity) {
  return uint32_t(sizeof(feStack) + size_t(capacity + 1) * sizeof(feObject));
}

void resetBlock(feStack* s, int32_t capacity) {
  s->capacity = capacity;
  s->top = -1;
  s->previous = nullptr;
  s->slots = reinterpret_cast<feObject*>(s + 1);
}

feStack* allocBlock(int32_t capacity) {
  static_assert(sizeof(feStack) % alignof(feObject) == 0, "slots follow the head");
  void* block = nullptr;
  const uint32_t bytes = blockBytes(capacity);
  uAlloc(&block, nullptr, 1, bytes);   // zero-filled
  ++blockCount;
  byteTotal += bytes;
  auto* s = static_cast<feStack*>(block);
  resetBlock(s, capacity);
  return s;
}

void releaseBlock(feStack* s) {
  if (s->capacity == kRecycledCapacity && recycledCount < kMaxRecycled) {
    recycled[recycledCount++] = s;
    return;
  }
  --blockCount;
  byteTotal -= blockBytes(s->capacity);
  void* block = s;
  uFree(&block);
}

// Releases the block's values from the top down. The value leaves the stack
// before it is released, so a release that reaches the stacks sees them
// consistent.
void releaseValues(feStack* s) {
  while (s->top >= 0) {
    feObject v = s->slots[s->top--];
    feFree(&v);
  }
}

// Replaces a full stack by a block of 20 more values. The old block is kept
// as the previous one with its top at -1: its values now live in the new
// block, and pointers into it still read them.
int grow(feStack** sp) {
  feStack* old = *sp;
  if (!old) return feStackNew(sp, kFirstCapacity);
  const int32_t capacity = old->capacity + kGrowStep;
  if (capacity > feStackMaxCapacity) {
    // Runaway recursion ends here with an error instead of eating memory.
    dbgPanic("FE stack overflow");
    return feErrLimitCheck;
  }
  feStack* s = allocBlock(capacity);
  std::memcpy(s->slots, old->slots, size_t(old->capacity + 1) * sizeof(feObject));
  s->top = old->top;
  s->previous = old;
  old->top = -1;
  *sp = s;
  // The interpreter's pointer follows even when the caller passed a copy.
  for (feStack** g : {&operandStack, &execStack, &dictStack, &frameStack})
    if (*g == old) *g = s;
  return 0;
}

// The next free slot, growing the stack when full; null at the limit.
feObject* reserve(feStack** sp) {
  if (!*sp || (*sp)->top >= (*sp)->capacity) {
    if (grow(sp) != 0) return nullptr;
  }
  feStack* s = *sp;
  return &s->slots[++s->top];
}

void ensureInit() {
  if (!initialised) feStackInit();
}

}  // namespace

int feStackNew(feStack** slot, int32_t capacity) {
  if (capacity < 1 || capacity > feStackMaxCapacity) return feErrLimitCheck;
  if (capacity == kRecycledCapacity && recycledCount > 0) {
    feStack* s = recycled[--recycledCount];
    resetBlock(s, capacity);
    std::memset(s->slots, 0, size_t(capacity + 1) * sizeof(feObject));
    *slot = s;
    return 0;
  }
  *slot = allocBlock(capacity);
  return 0;
}

void feStackFree(feStack** slot) {
  feStack* s = *slot;
  if (!s) return;
  *slot = nullptr;
  for (feStack* p = s->previous; p;) {
    feStack* older = p->previous;
    releaseValues(p);
    releaseBlock(p);
    p = older;
  }
  releaseValues(s);
  releaseBlock(s);
}

void feStackDropPrevious(feStack* stack) {
  if (!stack) return;
  for (feStack* p = stack->previous; p;) {
    feStack* older = p->previous;
    releaseValues(p);
    releaseBlock(p);
    p = older;
  }
  stack->previous = nullptr;
}

void feStackInit() {
  if (!initialised) {
    allocInfoRegisterP("feStack", &blockCount, &byteTotal);
    initialised = true;
  }
  if (!operandStack) feStackNew(&operandStack, kOperandCapacity);
  if (!dictStack) feStackNew(&dictStack, kDictCapacity);
  if (!frameStack) feStackNew(&frameStack, kFrameCapacity);
}

int feStackPushSlow(feStack** stack, const feObject* value) {
  const feObject v = *value;   // value may lie in the block being replaced
  feObject* slot = reserve(stack);
  if (!slot) return feErrLimitCheck;
  *slot = v;
  return 0;
}

int feStackPushDupSlow(feStack** stack, const feObject* value) {
  if (value->flags == 0) return 0;
  const feObject v = *value;
  feObject* slot = reserve(stack);
  if (!slot) return feErrLimitCheck;
  *slot = v;
  feDup(slot);
  return 0;
}

feObject* fePushSlot(feStack** stack) {
  feObject* slot = reserve(stack);
  if (slot) feMakeNull(slot);
  return slot;
}

int fePushIndex(feStack** stack, int32_t depth) {
  const feObject* v = feStackIndex(*stack, depth);
  if (!v) return feErrStackUnderflow;
  return fePushDup(stack, v);
}

void feStackClear(feStack* stack) {
  if (stack) releaseValues(stack);
}

int feStackRoll(feStack* stack, int32_t n, int32_t j) {
  if (n < 0) return feErrRangeCheck;
  if (n == 0) return 0;
  if (n > feStackCount(stack)) return feErrStackUnderflow;
  int32_t shift = j % n;
  if (shift < 0) shift += n;
  if (shift == 0) return 0;
  if (rollScratchCapacity < uint32_t(n)) uAlloc(&rollScratch, &rollScratchCapacity, uint32_t(n), sizeof(feObject));
  feObject* window = &stack->slots[stack->top - n + 1];
  std::memcpy(rollScratch, window, size_t(n) * sizeof(feObject));
  // Each value moves shift places towards the top, wrapping to the bottom of
  // the window: a b c 3 1 roll gives c a b.
  for (int32_t i = 0; i < n; ++i) window[(i + shift) % n] = rollScratch[i];
  return 0;
}

int feCountToMark(const feStack* stack, int type, int32_t* count) {
  for (int32_t depth = 0; depth < feStackCount(stack); ++depth) {
    if (feType(&stack->slots[stack->top - depth]) == type) {
      *count = depth;
      return 0;
    }
  }
  return feErrUnmatchedMark;
}

int feArrayFromStack(feStack* stack, int32_t n, feObject* out) {
  if (n < 0) return feErrRangeCheck;
  if (n > feStackCount(stack)) return feErrStackUnderflow;
  // The array takes over the values' references: they are moved, not copied.
  if (const int err = feMakeArray(out, &stack->slots[stack->top - n + 1], uint32_t(n))) return err;
  stack->top -= n;
  return 0;
}

int feExecStackPush(feStack** saved) {
  ensureInit();
  feStack* fresh = nullptr;
  if (const int err = feStackNew(&fresh, kRecycledCapacity)) return err;
  *saved = execStack;
  execStack = fresh;
  return 0;
}

void feExecStackRestore(feStack* saved) {
  // Whatever the run left on its stack is released with it.
  feStackFree(&execStack);
  execStack = saved;
}

int feCurrentFrame(feObject* out) {
  const feObject* top = feStackIndex(*feFrameStack(), 0);
  if (!top || feType(top) != feTDict) return feErrTypeCheck;
  *out = *top;
  return 0;
}

int feOpDup() {
  feStack** s = feOperandStack();
  if (feStackCount(*s) < 1) return feErrStackUnderflow;
  return fePushIndex(s, 0);
}

int feOpPop() {
  feStack* s = *feOperandStack();
  if (feStackCount(s) < 1) return feErrStackUnderflow;
  feStackPopN(s, 1);
  return 0;
}

int feOpExch() {
  feStack* s = *feOperandStack();
  if (feStackCount(s) < 2) return feErrStackUnderflow;
  feObject* a = &s->slots[s->top];
  feObject* b = &s->slots[s->top - 1];
  const feObject t = *a;
  *a = *b;
  *b = t;
  return 0;
}

int32_t feStackTestBlocks() { return blockCount; }

uint32_t feStackTestBytes() { return byteTotal; }

int feStackTestRecycled() { return recycledCount; }
