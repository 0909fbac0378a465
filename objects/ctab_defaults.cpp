// The default colours: the 64 named colours every new table starts with,
// the default contents of a table, and the localisation of the default
// names through the scripts "aLocalizeTongueReq" (which reports the user's
// language with aCTabGetCurrentTongue) and "aLocalizeColorName" (which
// renames colours with aCTabRenameColor). Renamed colours move to the front
// of the list in the order of renaming; their ids stay.
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include "fe/output.h"
#include "fe/script.h"
#include "fe/scriptproc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

struct Colour {
  int32_t number;
  const char* name;
  double rgb[3];
};

const Colour kColours[cTabDefaultCount] = {
    {1, "Black", {0.0, 0.0, 0.0}},
    {2, "Red", {1.0, 0.0, 0.0}},
    {3, "Yellow", {1.0, 1.0, 0.0}},
    {4, "Green", {0.0, 1.0, 0.0}},
    {5, "Cyan", {0.0, 1.0, 1.0}},
    {6, "Blue", {0.0, 0.0, 1.0}},
    {7, "Magenta", {1.0, 0.0, 0.61}},
    {8, "White", {1.0, 1.0, 1.0}},
    {9, "Apricot", {1.0, 0.76, 0.65}},
    {10, "Aquamarine", {0.0, 0.95, 0.84}},
    {11, "Bittersweet", {0.81, 0.04, 0.0}},
    {12, "Blue Green", {0.0, 0.71, 0.66}},
    {13, "Blue Gray", {0.16, 0.46, 0.65}},
    {14, "Blue Violet", {0.1, 0.0, 0.25}},
    {15, "Brick Red", {0.64, 0.01, 0.0}},
    {16, "Burnt Orange", {0.71, 0.31, 0.0}},
    {17, "Burnt Sienna", {0.56, 0.1, 0.05}},
    {18, "Cadet Blue", {0.31, 0.31, 0.56}},
    {19, "Carnation Pink", {1.0, 0.35, 0.52}},
    {20, "Corn Flower", {0.42, 0.42, 1.0}},
    {21, "Forest Green", {0.0, 0.36, 0.09}},
    {22, "Gold", {0.68, 0.37, 0.0}},
    {23, "Goldenrod", {1.0, 0.36, 0.0}},
    {24, "Gray", {0.5, 0.5, 0.5}},
    {25, "Green Blue", {0.0, 0.58, 0.8}},
    {26, "Green Yellow", {0.9, 1.0, 0.0}},
    {27, "Indian Red", {0.5, 0.0, 0.0}},
    {28, "Lavender", {1.0, 0.56, 0.78}},
    {29, "Lemon Yellow", {1.0, 0.86, 0.04}},
    {30, "Maize", {1.0, 0.67, 0.0}},
    {31, "Maroon", {0.5, 0.0, 0.23}},
    {32, "Melon", {0.96, 0.37, 0.3}},
    {33, "Midnight Blue", {0.0, 0.0, 0.36}},
    {34, "Brown", {0.2, 0.032, 0.0}},
    {35, "Mulberry", {0.76, 0.0, 0.47}},
    {36, "Navy Blue", {0.0, 0.0, 0.48}},
    {37, "Olive Green", {0.49, 0.49, 0.0}},
    {38, "Orange Red", {0.75, 0.03, 0.0}},
    {39, "Orange Yellow", {1.0, 0.5, 0.0}},
    {40, "Orange", {1.0, 0.12, 0.0}},
    {41, "Orchid", {0.95, 0.22, 0.81}},
    {42, "Peach", {1.0, 0.64, 0.49}},
    {43, "Periwinkle", {0.68, 0.75, 1.0}},
    {44, "Pine Green", {0.0, 0.36, 0.27}},
    {45, "Raw Sienna", {0.58, 0.22, 0.01}},
    {46, "Raw Umber", {0.32, 0.15, 0.0}},
    {47, "Red Orange", {1.0, 0.04, 0.0}},
    {48, "Red Violet", {0.62, 0.0, 0.55}},
    {49, "Salmon", {1.0, 0.49, 0.37}},
    {50, "Sea Green", {0.16, 1.0, 0.16}},
    {51, "Sepia", {0.16, 0.032, 0.0}},
    {52, "Silver", {0.72, 0.72, 0.72}},
    {53, "Sky Blue", {0.44, 0.85, 1.0}},
    {54, "Spring Green", {0.74, 1.0, 0.26}},
    {55, "Tan", {0.71, 0.16, 0.0}},
    {56, "Thistle", {0.82, 0.04, 0.66}},
    {57, "Turquoise Blue", {0.0, 0.56, 0.64}},
    {58, "Violet Blue", {0.04, 0.0, 0.16}},
    {59, "Violet Red", {0.64, 0.0, 0.25}},
    {60, "Violet", {0.09, 0.0, 0.12}},
    {61, "Yellow Green", {0.49, 1.0, 0.0}},
    {62, "Yellow Orange", {1.0, 0.23, 0.0}},
    {63, "Wild Strawberry", {0.8, 0.0, 0.2}},
    {64, "Vivid Tangerine", {1.0, 0.4, 0.0}},
};

enum : int32_t { kKeyBase = 500000, kKeyStep = 1000 };
enum : uint16_t { kGrey = 32767 };

const char kMoreText[] = "More...";

bool sameText(const char* a, const feArgText& b) {
  return std::strlen(a) == size_t(b.length) && std::memcmp(a, b.text, size_t(b.length)) == 0;
}

}  // namespace

void cTabDefaultsReset() {
  cTabModule& m = cTabState();
  for (uint32_t i = 0; i < cTabDefaultCount; ++i) {
    cTabDefault& d = m.defaults[i];
    d.number = kColours[i].number;
    cTabCopyName(d.name, cTabDefaultNameMax, kColours[i].name, uint32_t(std::strlen(kColours[i].name)));
    std::copy(kColours[i].rgb, kColours[i].rgb + 3, d.rgb);
    d.key = d.number;
  }
}

void cTabLocalize() {
  cTabModule& m = cTabState();
  char before[cTabTongueMax + 1];
  std::memcpy(before, m.tongue, sizeof before);
  if (scriptDefined("aLocalizeTongueReq")) {
    const int32_t depth = feOperandDepth();
    feExecf("(aCTabGetCurrentTongue) aLocalizeTongueReq");
    feOperandRestore(depth);
  }
  if (std::strcmp(before, m.tongue) == 0) return;
  // The tongue comes from a script: it is printed, never run as script text.
  fePrintf("(New Tongue:%s)\n", m.tongue);
  m.localiseCounter = 0;
  for (uint32_t i = 0; i < cTabDefaultCount; ++i)
    m.defaults[i].key = m.defaults[i].number % kKeyStep + kKeyBase + kKeyStep * int32_t(i);
  m.localising = 1;
  if (scriptDefined("aLocalizeColorName")) {
    const int32_t depth = feOperandDepth();
    scriptRunByName("aLocalizeColorName");
    feOperandRestore(depth);
  }
  m.localising = 0;
  std::stable_sort(m.defaults, m.defaults + cTabDefaultCount,
                   [](const cTabDefault& a, const cTabDefault& b) { return a.key < b.key; });
  for (cTabDefault& d : m.defaults) d.key %= kKeyStep;
}

void cTabSetDefaults(cTab* table) {
  if (!table || !table->entries) return;
  char name[32];
  for (int32_t i = 0; i < table->count; ++i) {
    cTabEntry& e = table->entries[i];
    e.id = i;
    e.rgb[0] = e.rgb[1] = e.rgb[2] = kGrey;
    std::snprintf(name, sizeof name, "User <%d>", int(i + 1));
    cTabCopyName(e.name, cTabNameMax, name, uint32_t(std::strlen(name)));
    e.flags = i < int32_t(cTabDefaultCount) ? uint32_t(cTabEntryInUse) : 0u;
  }
  cTabLocalize();
  const cTabModule& m = cTabState();
  for (int32_t p = 0; p < int32_t(cTabDefaultCount); ++p) {
    const cTabDefault& d = m.defaults[p];
    if (p >= table->count || d.number >= table->count || d.number < 1) continue;
    cTabEntry& e = table->entries[p];
    e.id = d.number - 1;
    for (int c = 0; c < 3; ++c) e.rgb[c] = uint16_t(int32_t(d.rgb[c] * 65535.0));
    cTabCopyName(e.name, cTabNameMax, d.name, uint32_t(std::strlen(d.name)));
  }
  cTabRebuild(table);
}

cTab* cTabMakeDefault() {
  cTab* table = cTabNew();
  // The defaults run the localisation scripts: a run abandoned there
  // (memory ran out) takes the new table with it.
  try {
    cTabSetDefaults(table);
  } catch (...) {
    cTabRelease(table);
    throw;
  }
  return table;
}

int cTabOpRenameColor(feArgs* args) {
  cTabModule& m = cTabState();
  if (!m.localising) return 0;
  const feArgText& from = args->in[0].text;
  const feArgText& to = args->in[1].text;
  if (sameText(kMoreText, from)) {
    if (to.length > 0) cTabCopyName(m.more, cTabMoreMax, to.text, uint32_t(to.length));
    return 0;
  }
  for (cTabDefault& d : m.defaults) {
    if (!sameText(d.name, from)) continue;
    if (to.length > 0) cTabCopyName(d.name, cTabDefaultNameMax, to.text, uint32_t(to.length));
    ++m.localiseCounter;
    d.key = d.key % kKeyStep + m.localiseCounter * kKeyStep;
    return 0;
  }
  return 0;
}

int cTabOpCurrentTongue(feArgs* args) {
  const feArgText& text = args->in[0].text;
  cTabCopyName(cTabState().tongue, cTabTongueMax, text.text, uint32_t(text.length));
  return 0;
}
