// How an operator's handler is called. The argument machine fetches the
// operands its signature declares, converts each into one typed argument,
// and hands the handler one block: the inputs in signature order, then one
// pointer per declared result. Every call has its own block, so a handler
// that runs script code (and so other operators) never finds its arguments,
// temporaries or result slots overwritten by the nested call.
//
// This is a C-compatible interface: plug-ins register handlers of this type
// through the program's export table.
#ifndef PLUMET_FE_OPCALL_H
#define PLUMET_FE_OPCALL_H

#include <stdint.h>

#ifdef __cplusplus
struct feObject;
#else
typedef struct feObject feObject;
#endif

// A string or name handed in as characters (not terminated) and length.
typedef struct feArgText {
  const char* text;
  int32_t length;
} feArgText;

// One input argument. Which member is set depends on the signature letter:
//   O        value   the operand itself, valid during the call
//   B        i       0 or 1
//   I L l i  i       32-bit integer (also a constant in angle brackets)
//   R D      d       double
//   P        word    the registration's parameter word
//   Q        record  the program-object record
//   S        text    characters and length
//   C        cstr    a terminated copy, freed after the call
//   A{...}, AP{...}, AV{...}
//            block   the group's elements laid out in order, each with its
//                    natural size and alignment (D/R: double; I/L/l/i/B:
//                    int32_t; P: uintptr_t; O: const feObject*; Q: void*;
//                    S: feArgText; C: const char*), so A{DDD} is double[3]
//   AI AL Al Ai  list.count and list.items (int32_t*)
//   AR AD        list.count and list.items (double*)
//   AS           list.count and list.items (feArgText*)
typedef union feArg {
  int32_t i;
  double d;
  uintptr_t word;
  const feObject* value;
  void* record;
  feArgText text;
  const char* cstr;
  void* block;
  struct {
    int32_t count;
    void* items;
  } list;
} feArg;

// Result slots, one pointer per declared result (after "#"), in order:
//   O  feObject*     the handler stores a whole value; its reference passes on
//   B I L l i  int32_t*
//   R D        double*
//   Q          void**    a record; made into a reference (count raised)
//   S          feArgText* the handler stores a heap text from uAlloc and its
//                        length; it is made into a string and freed
//   C          char**    a terminated heap text from uAlloc; made into a
//                        string and freed
//   A{...}     a group block laid out like an input group, except that an O
//              member is a whole feObject the handler stores (its reference
//              passes on)
// Slots start zeroed (an O slot starts as null); results the handler never
// fills are pushed as those zeros or nulls.
typedef struct feArgs {
  feArg* in;
  int32_t inCount;
  void** out;
  int32_t outCount;
  uintptr_t context;  // the registration's context word
} feArgs;

// 0 for success, or an interpreter or program error code.
typedef int (*feOpHandler)(feArgs* args);

#endif
