// Numbered name tables: records, look-up and creation by name, names by
// number, renaming and the spare word. The name list and the generated names
// are in numtbl_list.cpp, the operators in numtbl_ops.cpp.
#include "objects/numtbl.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/text.h"
#include "objects/layer.h"
#include "objects/objmsg.h"

#include <cstring>

namespace {

char** nameSlot(const numTbl* table, uint32_t number) {
  return reinterpret_cast<char**>(static_cast<uint8_t*>(table->records) + size_t(number) * table->recordSize);
}

const char* recordName(const numTbl* table, uint32_t number, uint32_t* length) {
  const char* name = *nameSlot(table, number);
  if (!name) name = "";
  if (length) *length = uint32_t(std::strlen(name));
  return name;
}

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

// A null table stands for the current layer table.
numTbl* resolve(numTbl* table) { return table ? table : layerTblCurrent(); }

}  // namespace

// The list-box marks that scripts put before names (aListLayers).
bool tblIsMark(uint8_t c) { return c == 0x12 || c == 0xCA || c == 0xA5; }

numTbl* tblNew(uint32_t maximum, uint32_t recordSize) {
  numTbl* table = static_cast<numTbl*>(uAlloc(nullptr, nullptr, 1, sizeof(numTbl)));
  table->maxCount = maximum == 0 || maximum > tblMaxDefault ? tblMaxDefault : maximum;
  table->recordSize = recordSize < sizeof(char*) ? uint32_t(sizeof(char*)) : recordSize;
  return table;
}

void tblFree(numTbl** slot) {
  if (!slot || !*slot) return;
  numTbl* table = *slot;
  for (uint32_t i = 0; i < table->count; ++i) uFreeIfSet(nameSlot(table, i));
  uFreeIfSet(&table->nameList);
  uFreeIfSet(&table->records);
  uFree(slot);
}

int tblFind(numTbl* table, const char* name, uint32_t length, int create, int32_t* outNumber) {
  int32_t dummy;
  if (!outNumber) outNumber = &dummy;
  *outNumber = -1;
  table = resolve(table);
  if (!table) return tblErrNoTable;
  while (length > 0 && name && tblIsMark(uint8_t(*name))) ++name, --length;
  if (length == 0 || !name) return tblErrBadName;
  if (table->classId) return objMeth(table->classId, msgTblFind, table, word(name), length, word(outNumber));
  int32_t freeSlot = -1;
  for (uint32_t i = 0; i < table->count; ++i) {
    uint32_t have;
    const char* text = recordName(table, i, &have);
    if (have == 0) {
      freeSlot = int32_t(i);
      continue;
    }
    if (uAlphaEq(text, have, name, length)) {
      *outNumber = int32_t(i);
      return 0;
    }
  }
  if (!create) return tblErrNotFound;
  int32_t number = freeSlot;
  if (number < 0) {
    if (table->count >= table->maxCount) return tblErrTableFull;
    if (table->count >= table->capacity) {
      uint32_t capacity = table->capacity;
      uAlloc(&table->records, &capacity, table->capacity + tblGrowBy, table->recordSize);
      table->capacity = capacity;
    }
    number = int32_t(table->count++);
    std::memset(nameSlot(table, uint32_t(number)), 0, table->recordSize);
  }
  uStrDup(name, length, nameSlot(table, uint32_t(number)));
  table->nameListValid = 0;
  *outNumber = number;
  return 0;
}

void* tblEntry(numTbl* table, int32_t number) {
  if (!table || number < 0 || uint32_t(number) >= table->count) return nullptr;
  return nameSlot(table, uint32_t(number));
}

int tblName(numTbl* table, int32_t number, const char** outText, uint32_t* outLength) {
  const char* dummyText;
  uint32_t dummyLength;
  if (!outText) outText = &dummyText;
  if (!outLength) outLength = &dummyLength;
  *outText = "";
  *outLength = 0;
  table = resolve(table);
  if (!table) return tblErrNoTable;
  if (table->classId) return objMeth(table->classId, msgTblName, table, number, word(outText), word(outLength));
  if (number < 0 || uint32_t(number) >= table->count) return tblErrNotFound;
  *outText = recordName(table, uint32_t(number), outLength);
  return 0;
}

int tblRename(numTbl* table, int32_t number, const char* newName, uint32_t newLength, char** oldName,
              uint32_t* oldLength) {
  table = resolve(table);
  if (!table) return tblErrNoTable;
  if (number < 0 || uint32_t(number) >= table->count) return tblErrNotFound;
  if (!newName) newLength = 0;
  // Every free slot has the empty name: renaming to it frees this slot and
  // never collides with them.
  if (newLength > 0) {
    for (uint32_t i = 0; i < table->count; ++i) {
      uint32_t have;
      const char* text = recordName(table, i, &have);
      if (i != uint32_t(number) && uAlphaEq(text, have, newName, newLength)) return tblErrNameExists;
    }
  }
  char** slot = nameSlot(table, uint32_t(number));
  char* old = *slot;
  *slot = nullptr;
  uStrDup(newName, newLength, slot);
  if (oldName) {
    if (oldLength) *oldLength = old ? uint32_t(std::strlen(old)) : 0;
    *oldName = old;
  } else {
    uFreeIfSet(&old);
  }
  table->nameListValid = 0;
  return 0;
}

int tblAdd(numTbl* table, const char* name, uint32_t length, int32_t* outNumber) {
  if (!name || length == 0) return tblErrBadName;
  int32_t number;
  const int found = tblFind(table, name, length, 0, &number);
  if (found == 0) return tblErrNameExists;
  if (found != tblErrNotFound) return found;
  const int answer = tblFind(table, name, length, 1, &number);
  if (answer == 0 && outNumber) *outNumber = number;
  return answer;
}

bool tblIsFull(const numTbl* table) { return table && table->count >= table->maxCount; }

uint32_t tblCount(const numTbl* table) { return table ? table->count : 0; }

void tblSpare(numTbl* table, uint32_t newValue, uint32_t* old) {
  if (!table) return;
  if (old) *old = table->spare;
  table->spare = newValue;
}

void tblTouch(numTbl* table) {
  if (table) table->nameListValid = 0;
}

void tblEnumNames(numTbl* table, tblNameCollector collect, void* context) {
  if (!table) return;
  for (uint32_t i = 0; i < table->count; ++i) {
    uint32_t length;
    const char* name = recordName(table, i, &length);
    collect(name, name[0] == '.' ? 0 : length, context);
  }
}
