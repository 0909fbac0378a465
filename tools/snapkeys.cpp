#include "tools/snapkeys.h"

#include "core/xlate.h"
#include "ui/event.h"

#include <string>
#include <vector>

namespace {

// Each entry: the code, then its label.
const char* const builtIn[snapKeyEntries] = {
    "n",         "ggrid",   "iintersect", "eendpoint",  "mmidpoint", "oon",     "ttangent", "pperpendicular",
    "ccenter",   "qquadrant", "vvertex",  "aalign:^0",  "%%point",   "Bbehind", "ffront",   "zzero",
};

std::vector<std::string>& translated() {
  static std::vector<std::string> table;
  return table;
}

int foldLower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

}  // namespace

const char* snapCodesForKey(int code) {
  if (code == 0) return "";
  for (const std::string& entry : translated())
    if (static_cast<unsigned char>(entry[0]) == code) return entry.c_str() + 1;
  for (const char* entry : builtIn)
    if (static_cast<unsigned char>(entry[0]) == code) return entry + 1;
  return "";
}

int snapCodeForChar(int character) {
  if (character == 0) return 0;
  int c = foldLower(character);
  for (const std::string& entry : translated())
    if (entry.size() > 1 && static_cast<unsigned char>(entry[1]) == c) return static_cast<unsigned char>(entry[0]);
  for (const char* entry : builtIn)
    if (entry[1] != '\0' && static_cast<unsigned char>(entry[1]) == c) return static_cast<unsigned char>(entry[0]);
  return c;
}

int snapKeyTyped() { return snapCodeForChar(eventPeekKey()); }

void snapKeysTranslate(bool twoByteText) {
  std::vector<std::string>& table = translated();
  table.clear();
  if (twoByteText) return;
  for (const char* entry : builtIn) {
    if (entry[1] == '\0') continue;
    const char* out = nullptr;
    if (xlateStr(0, entry + 1, &out) == 0 && out != nullptr) table.push_back(std::string(1, entry[0]) + out);
  }
}

void snapKeysClearTranslated() { translated().clear(); }
