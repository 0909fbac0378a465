// The operator table: one entry per built-in word, appended in registration
// order and never removed. An operator value (type 11) holds its entry's
// index; the compiled image stores operators by that index.
#ifndef PLUMET_FE_OPERATOR_H
#define PLUMET_FE_OPERATOR_H

#include <cstddef>
#include <cstdint>

struct feOperator {
  void* handler;            // the native function (its type belongs to the argument machine)
  uintptr_t context;        // the registration's context word (instance handle; 0 from plug-ins)
  uint16_t name;            // name-table index of the operator's name
  int16_t signatureLength;  // bytes of the compiled signature
  uint16_t* signature;      // heap copy of the compiled codes, or null
};

// Appends an entry and answers its index (grown 100 entries at a time); -1
// when the table already holds 32768 operators.
int32_t feOpTableAppend(const feOperator& entry);
// The entry of an index, or null.
const feOperator* feOpEntry(int32_t index);
int32_t feOpCount();
// The operator's name (not terminated); an empty text for an unknown index.
void feOpNameText(int32_t index, const char** text, size_t* length);

#endif
