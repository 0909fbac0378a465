// Control operators and the continuation operators through which loops keep
// their state on the execution stack instead of in native recursion.
//
// A loop's state lies right below its continuation on the execution stack:
//   loop:    procedure, "@loop"
//   repeat:  procedure, remaining count, "@repeat"
//   for:     procedure, limit, increment, control value, "@ifor" or "@rfor"
//   forall:  procedure, string or array, "@stringforall" or "@arrayforall";
//            dictionary, procedure, slot index, "@dictforall"
// Every continuation that finds its terminated bit set (exit, stop) removes
// itself and its state and does nothing else.
#ifndef PLUMET_FE_CONTROL_H
#define PLUMET_FE_CONTROL_H

#include "fe/opcall.h"
#include "fe/value.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Makes the continuation operators ("stop", "@stopped", "@loop", "@repeat",
// "@rfor", "@ifor", "@st", "@stringforall", "@arrayforall", "@dictforall"),
// in this order, once; they are never defined in a dictionary. The
// interpreter's start calls it at a fixed point so that their table indices
// are the same in every run; later calls do nothing.
void feControlInit();
// A continuation operator value by name, or null for another name. Makes them
// all (feControlInit) when the interpreter's start has not yet done so.
const feObject* feContinuation(const char* name);

// Unwinds the execution stack to the nearest entry whose flags meet mask and
// sets bits on it: the entries above it are removed (feExecDiscard). 276 when
// none, and nothing changes.
int feUnwindTo(uint16_t mask, uint16_t bits);

// forall: replaces the running operator (the top of the execution stack) by
// the loop over a string, an array or a dictionary; a program object gets
// message 119 with the procedure. 269 unless proc is an executable array
// (program objects decide for themselves); 275 for other types. On an error
// nothing changes.
int feForall(const feObject* object, const feObject* proc);

// One operator of a module's table as it is registered.
struct feOpSpec {
  const char* name;
  feOpHandler handler;
  const char* signature;
};
// The entry of a module's table with the name; null for another name.
const feOpSpec* feOpSpecFind(const feOpSpec* table, size_t count, const char* name);
template <size_t N>
const feOpSpec* feOpSpecFind(const feOpSpec (&table)[N], const char* name) {
  return feOpSpecFind(table, N, name);
}
// Registers every operator of the table in its order, with the program's
// instance as the context word.
void feOpSpecRegisterAll(const feOpSpec* table, size_t count);
template <size_t N>
void feOpSpecRegisterAll(const feOpSpec (&table)[N]) {
  feOpSpecRegisterAll(table, N);
}
// The registration of "if", "ifelse", "loop", "repeat", "for", "exit",
// "stop", "stopped", "execstack", "countexecstack", "exec", "suspend",
// "resume", "forall", "version" or "usertime"; null for another name. The
// interpreter's start registers them at their places in its fixed order.
const feOpSpec* feControlOpSpec(const char* name);

// Registers all of the operators above, in the order listed (for a partial
// interpreter, e.g. in tests; the interpreter's start uses feControlOpSpec).
void feControlRegister();

// For operators and continuations that rearrange the execution stack: the
// running operator at the top is replaced by copies of n values (the first
// ends deepest); called outside the loop the values are only pushed. On an
// error (the execution stack is full) nothing changes.
int feExecReplaceTop(const feObject* const* values, int32_t n);
inline int feExecReplaceTop(std::initializer_list<const feObject*> values) {
  return feExecReplaceTop(values.begin(), int32_t(values.size()));
}
// A continuation that is done removes itself and its state (entries in all).
int feContinuationDone(int32_t entries);

// An internal operator made once at interpreter start and never defined in a
// dictionary (loop continuations and the like); flags are added to its value.
struct feContinuationSpec {
  const char* name;
  feOpHandler handler;
  uint16_t flags;
  feObject value;
  bool made;
};
// Makes every operator of the list, in order (their table indices follow the
// order); one that cannot be made stays unmade.
void feMakeContinuations(feContinuationSpec* list, size_t count);

#endif
