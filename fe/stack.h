// The interpreter's four stacks: operands, execution, dictionaries and
// procedure frames (local dictionaries). A stack is a chain of blocks; a full
// block is replaced by a bigger copy that keeps the old one as its previous.
#ifndef PLUMET_FE_STACK_H
#define PLUMET_FE_STACK_H

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

// Pushes move the value in (no reference change); fePushDup pushes a copy
// (a value with flags 0 is ignored); fePushSlot reserves the next slot. All
// grow a full stack; at the largest capacity they answer 270 and push
// nothing (fePushSlot answers null).
int fePush(feStack** stack, const feObject* value);
int fePushDup(feStack** stack, const feObject* value);
feObject* fePushSlot(feStack** stack);
// Moves the top out (no release; the caller checks the count first: an empty
// stack gives null).
void fePop(feStack* stack, feObject* out);
int32_t feStackCount(const feStack* stack);
// The value at depth (0 = top), null beyond the bottom.
feObject* feStackIndex(const feStack* stack, int32_t depth);
int fePushIndex(feStack** stack, int32_t depth);
void feStackPopN(feStack* stack, int32_t n);   // releases and removes n values
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
feStack** feOperandStack();
feStack** feExecStack();
feStack** feDictStack();
feStack** feFrameStack();

feObject* feExecTop();
void feExecPop();
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
