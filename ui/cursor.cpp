// The cursor table: system cursors and cursors made from "cursor" objects,
// selected by number.
#include "ui/cursor.h"

#include "core/alloc.h"
#include "core/startstate.h"
#include "ui/cursor_internal.h"

#include <cstring>

namespace {

cursorEntry* table = nullptr;
uint32_t tableSize = 0;
int32_t current = -1;
uint8_t andMask[128];

// The start-up entries; 0 leaves the entry without a cursor.
constexpr uintptr_t kSystemCursors[] = {32512, 32513, 0,     32512, 32512, 32512, 32640,
                                        32641, 32644, 32645, 32642, 32643, 32514, 32515};

void grow(uint32_t index) {
  if (index >= tableSize) uAlloc(&table, &tableSize, index + 1, sizeof(cursorEntry));
}

// Replaces an entry's native cursor, destroying the old one when it was made
// from an object and is not the new one.
void replaceNative(cursorEntry* entry, HCURSOR native, bool made) {
  const HCURSOR old = entry->native;
  const bool oldMade = entry->made;
  entry->native = native;
  entry->made = made;
  if (int32_t(entry - table) == current && native) SetCursor(native);
  if (oldMade && old && old != native) DestroyCursor(old);
}

}  // namespace

uint32_t cursorSet(uint32_t index) {
  if (tableSize == 0) return 0;
  uint32_t n = index;
  if (n >= tableSize) n = current >= 0 && uint32_t(current) < tableSize ? uint32_t(current) : 0;
  if (!table[n].native) n = 0;
  SetCursor(table[n].native);
  current = int32_t(n);
  return n;
}

void cursorSetEntry(uint32_t index, cursorRec* object) {
  grow(index);
  cursorEntry* entry = &table[index];
  if (entry->object == object) return;
  entry->object = object;
  if (object) replaceNative(entry, cursorCreateNative(object), true);
}

void cursorSetSystem(uint32_t index, HCURSOR native) {
  grow(index);
  table[index].object = nullptr;
  replaceNative(&table[index], native, false);
}

int cursorFindObject(int32_t* index, const cursorRec* object) {
  for (uint32_t i = 0; i < tableSize; ++i)
    if (object && table[i].object == object) {
      if (index) *index = int32_t(i);
      return 0;
    }
  if (index) *index = -1;
  return -1;
}

HCURSOR cursorCreateNative(const cursorRec* object) {
  return CreateCursor(appGetInstance(), object->hotX, object->hotY, 32, 32, andMask, object->image);
}

void cursorForget(const cursorRec* object) {
  bool shownGone = false;
  for (uint32_t i = 0; i < tableSize; ++i) {
    if (!object || table[i].object != object) continue;
    table[i].object = nullptr;
    if (table[i].made && table[i].native) DestroyCursor(table[i].native);
    table[i].native = nullptr;
    table[i].made = false;
    shownGone = shownGone || int32_t(i) == current;
  }
  if (shownGone) cursorSet(uint32_t(current));
}

void cursorRemake(cursorRec* object) {
  for (uint32_t i = 0; i < tableSize; ++i) {
    if (!object || table[i].object != object) continue;
    // Cleared and set again: the entry's cursor is made anew from the object.
    cursorSetEntry(i, nullptr);
    cursorSetEntry(i, object);
  }
}

int cursorClassInit() {
  cursorRegisterClass();
  std::memset(andMask, 0xFF, sizeof andMask);
  current = -1;
  for (uint32_t i = 0; i < sizeof kSystemCursors / sizeof kSystemCursors[0]; ++i)
    cursorSetSystem(i, kSystemCursors[i] ? LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemCursors[i])) : nullptr);
  cursorSet(0);
  return -1;
}

void cursorTerm() {
  for (uint32_t i = 0; i < tableSize; ++i)
    if (table[i].made && table[i].native) DestroyCursor(table[i].native);
  uAlloc(&table, &tableSize, 0, sizeof(cursorEntry));
  current = -1;
}

uint32_t cursorTableSize() { return tableSize; }
int32_t cursorCurrent() { return current; }
const cursorEntry* cursorEntryAt(uint32_t index) { return index < tableSize ? &table[index] : nullptr; }
