// The interpreter's four stacks: operands, execution, dictionaries and
// procedure frames (local dictionaries). A stack is a chain of blocks; a full
// block is replaced by a bigger copy that keeps the old one as its previous.
#ifndef PLUMET_FE_STACK_H
#define PLUMET_FE_STACK_H

#include "fe/generic.h"
#include "fe/value.h"

#include <cstdint>

struct feStack {
  int32_t capacity;   // the block holds capacity + 1 values
  int32_t top;        // -1 when empty
  feStack* previous;  // the block this one replaced, or null
  feObject* slots;    // capacity + 1 values
};

// The largest capacity a stack may reach; a push beyond answers 270
// (limitcheck) without pushing.
enum { feStackMaxCapacity = 32767 - 20 };

// A new stack block stored in *slot (recycled blocks of capacity 40 are
// reused). 0, or 270 for a capacity outside 1..feStackMaxCapacity.
int feStackNew(feStack** slot, int32_t capacity);
// Frees a stack: its chain of previous blocks, then its values from the top.
// Blocks of capacity 40 go to a recycling list of up to 4.
void feStackFree(feStack** slot);
// Frees the chain of blocks that stack replaced when it grew, so that they
// stop holding memory; pointers taken into those blocks become invalid. For
// a caller that knows no such pointer is held (between runs).
void feStackDropPrevious(feStack* stack);
// Registers "feStack" with the allocation statistics and makes the operand
// (40), dictionary (4) and frame (4) stacks. Also made on first use.
void feStackInit();

// The interpreter's four stacks and whether they have been made. Read through
// the accessors below; the pointers change when a stack grows.
struct feStackSet {
  feStack* operand;
  feStack* exec;
  feStack* dict;
  feStack* frame;
  bool initialised;
};
extern feStackSet feStacks;

// The out-of-line halves of the pushes: growing a full (or missing) stack.
int feStackPushSlow(feStack** stack, const feObject* value);
int feStackPushDupSlow(feStack** stack, const feObject* value);

// Value types without a body: releasing or copying them changes no
// reference, so the stack operations skip the call for them.
namespace feStackDetail {
constexpr uint32_t kPlainTypes = (1u << feTNull) | (1u << feTBool) | (1u << feTMark) | (1u << feTName) |
                                 (1u << feTInt) | (1u << feTReal) | (1u << feTOperator);
inline bool plain(const feObject* v) { return (kPlainTypes >> feType(v)) & 1u; }
}  // namespace feStackDetail

// Pushes move the value in (no reference change); fePushDup pushes a copy
// (a value with flags 0 is ignored); fePushSlot reserves the next slot. All
// grow a full stack; at the largest capacity they answer 270 and push
// nothing (fePushSlot answers null).
inline int fePush(feStack** stack, const feObject* value) {
  feStack* s = *stack;
  if (s && s->top < s->capacity) {
    const feObject v = *value;
    s->slots[++s->top] = v;
    return 0;
  }
  return feStackPushSlow(stack, value);
}
inline int fePushDup(feStack** stack, const feObject* value) {
  if (value->flags == 0) return 0;
  feStack* s = *stack;
  if (s && s->top < s->capacity) {
    const feObject v = *value;
    feObject* slot = &s->slots[++s->top];
    *slot = v;
    if (!feStackDetail::plain(slot)) feDup(slot);
    return 0;
  }
  return feStackPushDupSlow(stack, value);
}
feObject* fePushSlot(feStack** stack);
// Moves the top out (no release; the caller checks the count first: an empty
// stack gives null).
inline void fePop(feStack* stack, feObject* out) {
  if (!stack || stack->top < 0) {
    feMakeNull(out);
    return;
  }
  *out = stack->slots[stack->top--];
}
inline int32_t feStackCount(const feStack* stack) { return stack ? stack->top + 1 : 0; }
// The value at depth (0 = top), null beyond the bottom.
inline feObject* feStackIndex(const feStack* stack, int32_t depth) {
  if (!stack || depth < 0 || depth > stack->top) return nullptr;
  return &stack->slots[stack->top - depth];
}
int fePushIndex(feStack** stack, int32_t depth);
// Releases and removes n values. Each value leaves the stack before it is
// released, so a release that reaches the stacks sees them consistent.
inline void feStackPopN(feStack* stack, int32_t n) {
  if (!stack) return;
  for (; n > 0 && stack->top >= 0; --n) {
    // The type is read in place: a value without a body needs no copy.
    const feObject* slot = &stack->slots[stack->top--];
    if (feStackDetail::plain(slot)) continue;
    feObject v = *slot;
    feFree(&v);
  }
}
void feStackClear(feStack* stack);
// Rotates the top n values by j (a b c 3 1 roll gives c a b); 267 when n < 0,
// 263 when fewer than n values are held.
int feStackRoll(feStack* stack, int32_t n, int32_t j);
// The number of values above the nearest value of the given type (3: mark);
// 262 when none.
int feCountToMark(const feStack* stack, int type, int32_t* count);
// Moves the top n values into a new array (bottom first); 263 when fewer,
// 267 when n < 0.
int feArrayFromStack(feStack* stack, int32_t n, feObject* out);

// The interpreter's stacks. The pointers change when a stack grows, so
// callers pass their address to the pushes.
// The execution stack exists only while a run has installed one (null
// otherwise; a push onto a null stack makes one of capacity 40).
inline feStack** feOperandStack() {
  if (!feStacks.initialised) feStackInit();
  return &feStacks.operand;
}
inline feStack** feExecStack() {
  if (!feStacks.initialised) feStackInit();
  return &feStacks.exec;
}
inline feStack** feDictStack() {
  if (!feStacks.initialised) feStackInit();
  return &feStacks.dict;
}
inline feStack** feFrameStack() {
  if (!feStacks.initialised) feStackInit();
  return &feStacks.frame;
}

inline feObject* feExecTop() { return feStackIndex(feStacks.exec, 0); }
inline void feExecPop() { feStackPopN(feStacks.exec, 1); }
// True when one of the interpreter's four stacks still keeps blocks it
// outgrew (see feStackDropPrevious).
inline bool feStacksKeepReplaced() {
  return (feStacks.operand && feStacks.operand->previous) || (feStacks.exec && feStacks.exec->previous) ||
         (feStacks.dict && feStacks.dict->previous) || (feStacks.frame && feStacks.frame->previous);
}
// Saves the current execution stack in *saved and installs a fresh one of
// capacity 40; restore frees the current one (releasing its values) and
// reinstalls the saved one.
int feExecStackPush(feStack** saved);
void feExecStackRestore(feStack* saved);
// The current local dictionary: 269 when the frame stack is empty or its top
// is not a dictionary (null). The value is lent: no reference is added.
int feCurrentFrame(feObject* out);

// Operators on the operand stack.
int feOpDup();
int feOpPop();
int feOpExch();

#endif
