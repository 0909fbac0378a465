// Keyed argument check lists: building a list from (code, key, spec) triples.
#include "ui/achk.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "fe/names.h"
#include "fe/output.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace {

uint32_t entryCount(const uiAChklEntry* list) {
  uint32_t n = 0;
  if (list)
    while (list[n].code != 0) ++n;
  return n;
}

// Reads spec into entry (type, count, class). False when the entry cannot be
// stored.
bool parseSpec(const char* spec, uiAChklEntry* entry) {
  const char* p = spec;
  if (*p >= '0' && *p <= '9') {
    uint32_t count = 0;
    while (*p >= '0' && *p <= '9') {
      count = count * 10 + uint32_t(*p++ - '0');
      if (count > 255) {
        // The count is one byte: a larger one would silently wrap to another
        // length, and a handler would read past the converted data.
        dbgPanic("uiDefAChkl: count above 255 in '%s'", spec);
        return false;
      }
    }
    entry->count = uint8_t(count);
    entry->type = *p;
  } else if (*p == 'n') {
    entry->count = uiAChkAnyLength;
    entry->type = p[1];
  } else {
    entry->type = *p;
    if (*p && p[1]) {
      const size_t length = std::strlen(p);
      if ((*p == 'O' || *p == 'Q') && p[1] == '[' && p[length - 1] == ']' && length >= 3) {
        char name[64];
        const size_t n = std::min(length - 3, sizeof name - 1);
        std::memcpy(name, p + 2, n);
        name[n] = '\0';
        entry->classId = objClassByName(name);
      } else {
        fePrintf("uiDefAChkl: illegal Class spec '%s' ignored\n", p + 1);
      }
    }
  }
  if (entry->type == 'H') {
    dbgPanic("uiDefAChkl: def string has an 'H'");
    entry->type = 'i';
  }
  return true;
}

void append(uiAChklEntry** list, int code, const char* key, const char* spec) {
  uiAChklEntry entry{};
  entry.code = uint16_t(code);
  if (!parseSpec(spec ? spec : "", &entry)) return;
  uint16_t index = 0;
  feNameIntern(key, key ? std::strlen(key) : 0, &index);
  entry.key = index;
  uint32_t held = entryCount(*list) + 1;  // the zero entry included
  uiAChklEntry* block = uAlloc(list, &held, held + 1, uint32_t(sizeof(uiAChklEntry)));
  block[held - 2] = entry;  // the new zero entry at held - 1 is zero-filled
}

}  // namespace

extern "C" {

void uiDefAChkl(uiAChklEntry** list, int code, const char* key, const char* spec, ...) {
  if (!list) return;
  if (!*list) {
    uint32_t held = 0;
    uAlloc(list, &held, 1, uint32_t(sizeof(uiAChklEntry)));
  }
  va_list args;
  va_start(args, spec);
  while (code != 0) {
    append(list, code, key, spec);
    code = va_arg(args, int);
    if (code == 0) break;
    key = va_arg(args, const char*);
    spec = va_arg(args, const char*);
  }
  va_end(args);
}

}  // extern "C"
