// The operator table: one entry per built-in word, appended in registration
// order and never removed. An operator value (type 11) holds its entry's
// index; the compiled image stores operators by that index.
#ifndef PLUMET_FE_OPERATOR_H
#define PLUMET_FE_OPERATOR_H

#include "fe/opcall.h"
#include "fe/value.h"

#include <cstddef>
#include <cstdint>

struct feSigPlan;

// A shortcut for the common cases of a few standard operators: works on the
// operand stack directly and answers feOpDeclined when the operands are not
// a case it knows, after which the call takes its ordinary way. It changes
// nothing before declining.
typedef int (*feOpDirect)();
enum { feOpDeclined = -1 };

struct feOperator {
  feOpHandler handler;      // the native function
  uintptr_t context;        // the registration's context word (instance handle; 0 from plug-ins)
  uint16_t name;            // name-table index of the operator's name
  int16_t signatureLength;  // bytes of the compiled signature
  uint16_t* signature;      // heap copy of the compiled codes, or null
  const feSigPlan* plan;    // the call plan of signature, or null (see fe/signature.h)
  feOpDirect direct;        // the shortcut tried first, or null
};

// Appends an entry and answers its index (grown 100 entries at a time); -1
// when the table already holds 32768 operators.
int32_t feOpTableAppend(const feOperator& entry);
// The table itself; read through feOpEntry, which is inline because every
// operator call goes through it.
struct feOpTable {
  feOperator* entries;
  uint32_t capacity;
  int32_t count;
};
extern feOpTable feOpTableData;
// The entry of an index, or null.
inline const feOperator* feOpEntry(int32_t index) {
  return index >= 0 && index < feOpTableData.count ? &feOpTableData.entries[index] : nullptr;
}
int32_t feOpCount();
// The operator's name (not terminated); an empty text for an unknown index.
void feOpNameText(int32_t index, const char** text, size_t* length);


// Makes the table entry and the operator value (flags 0x10B) without defining
// it anywhere. A signature that does not compile writes
// "[feMakeOp] Error: name '%.*s', argstr '%s'\n" to the interpreter output,
// raises the alert "WError in defining op '^0'" and answers the compiler's
// code; no entry is made.
int feMakeOp(feObject* out, const char* name, size_t nameLength, feOpHandler handler, const char* signature,
             uintptr_t parameter, uintptr_t context);
// feMakeOp, then (while the defining flag is set) the definition of the
// executable operator value under its name in dict; checks that a stored
// operator of that name has the same index ("[feInstallOpDict] name mismatch").
// A dict that is not a dictionary answers 269 (the table entry is made all
// the same, so that the indices stay in registration order).
int feInstallOpDict(const feObject* dict, const char* name, feOpHandler handler, const char* signature,
                    uintptr_t parameter, uintptr_t context);
// feInstallOpDict into systemdict: the registration every module and plug-in uses.
int feRegisterOp(const char* name, feOpHandler handler, const char* signature, uintptr_t parameter,
                 uintptr_t context);
// Calls an operator value: the handler through its signature, or with an
// empty argument block when it has none. With debug flag 0x8 the operator's
// name and a line end are written to the interpreter output first. An index
// outside the table answers 275 with a panic; an entry without a handler
// answers 275.
int feCallOp(const feObject* op);
// feCallOp for the operator of a given table index.
int feCallOpIndex(int32_t index);
// The table index held in an operator value's word (signed 16 bits).
inline int32_t feOpIndexOf(uint32_t word) { return int16_t(word & 0xFFFFu); }
// The direct shortcut of a standard operator made from handler with exactly
// this signature text, or null (fe/operator_direct.cpp).
feOpDirect feOpDirectFor(feOpHandler handler, const char* signature);
// The defining flag: while clear, registrations make table entries only.
// It is set when the program starts (a fresh interpreter defines).
void feSetOpDefining(bool on);
bool feOpDefining();

// The call-trace ring: while debug flag 0x1 is set, feCallOp records every
// call (the operator's name index and the word 0). It holds the latest 50.
enum { feOpTraceSlots = 50 };
struct feOpTraceEntry {
  uint16_t name;  // name-table index
  uint32_t word;
};
void feOpTraceRecord(uint16_t name, uint32_t word);
// Copies the recorded entries into out (room for feOpTraceSlots), newest
// first, and answers how many there are.
int32_t feOpTraceRead(feOpTraceEntry* out);
void feOpTraceClear();

// For operators that work on the stacks themselves (empty signature): a
// handler that calls fn() and ignores its argument block.
template <int (*fn)()>
int feStackOp(feArgs*) { return fn(); }

#endif
