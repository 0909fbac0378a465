// The macro table: one block per macro from the allocator, holding the two
// lengths, the link to the next older record, and the name's and the value's
// characters (without terminators).
#include "fe/macro.h"

#include "core/alloc.h"
#include "core/errors.h"

#include <cstdint>
#include <cstring>

namespace {

struct MacroRecord {
  uint16_t nameLength;
  uint16_t valueLength;
  MacroRecord* next;
  // The name's characters follow the record, then the value's.
};

MacroRecord* newest = nullptr;

const char* nameOf(const MacroRecord* record) { return reinterpret_cast<const char*>(record + 1); }
const char* valueOf(const MacroRecord* record) { return nameOf(record) + record->nameLength; }

}  // namespace

int feMacroDefine(const char* name, size_t nameLength, const char* value, size_t valueLength) {
  if (nameLength > feMacroMaxLength || valueLength > feMacroMaxLength) return feErrLimitCheck;
  if (nameLength == 0 || !name) return feErrSyntax;
  if (!value) valueLength = 0;

  const uint32_t bytes = uint32_t(sizeof(MacroRecord) + nameLength + valueLength);
  void* block = uAlloc(static_cast<uHandle>(nullptr), nullptr, bytes, 1);
  auto* record = static_cast<MacroRecord*>(block);
  record->nameLength = uint16_t(nameLength);
  record->valueLength = uint16_t(valueLength);
  record->next = newest;
  char* text = reinterpret_cast<char*>(record + 1);
  std::memcpy(text, name, nameLength);
  if (valueLength) std::memcpy(text + nameLength, value, valueLength);
  newest = record;
  return feOk;
}

bool feMacroFind(const char* name, size_t length, const char** text, size_t* textLength) {
  for (const MacroRecord* record = newest; record; record = record->next) {
    if (record->nameLength != length) continue;
    if (length && std::memcmp(nameOf(record), name, length) != 0) continue;
    *text = valueOf(record);
    *textLength = record->valueLength;
    return true;
  }
  return false;
}
