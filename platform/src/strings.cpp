// String resources: each module of ours installs its table with
// plSetStringTable, and LoadStringA answers from it.
#include "layer.h"

#include <platform_resources.h>

#include <map>

namespace {

struct Table {
  const PlStringResource* entries;
  size_t count;
};

// Keyed by module handle; the program is always kept under null.
std::map<HINSTANCE, Table> tables;

HINSTANCE keyOf(HINSTANCE module) { return pl::isProgramModule(module) ? nullptr : module; }

}  // namespace

extern "C" void plSetStringTable(HINSTANCE module, const PlStringResource* table, size_t count) {
  if (!table || count == 0) {
    tables.erase(keyOf(module));
    return;
  }
  tables[keyOf(module)] = Table{table, count};
}

extern "C" int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  // A size of 0 asks Windows for a read-only pointer to the resource; that
  // form is not offered here.
  if (!lpBuffer || cchBufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpBuffer[0] = 0;
  auto found = tables.find(keyOf(hInstance));
  if (found != tables.end()) {
    // String ids are 16 bits wide.
    const Table& table = found->second;
    for (size_t i = 0; i < table.count; ++i) {
      const PlStringResource& entry = table.entries[i];
      if (static_cast<WORD>(entry.id) == static_cast<WORD>(uID) && entry.text && *entry.text) {
        return static_cast<int>(pl::copyTruncated(entry.text, lpBuffer, static_cast<size_t>(cchBufferMax)));
      }
    }
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return 0;
}

namespace pl {
void resetStrings() { tables.clear(); }
}  // namespace pl
