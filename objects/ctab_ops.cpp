// The colour-table operators, the setting "$INVERTBKGRND", the drawing
// layer's colour hooks and the module's set-up.
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include "core/alloc.h"
#include "draw/gdi.h"
#include "fe/control.h"
#include "fe/strings.h"
#include "objects/colortbl.h"
#include "objects/docvar.h"
#include "objects/ioformat.h"

#include <algorithm>
#include <cstring>

namespace {

// Set by cTabSetUp: documents' files carry the colour table from then on.
bool fileBlockOn = false;

int32_t* intOut(feArgs* args, int slot = 0) { return static_cast<int32_t*>(args->out[slot]); }
feObject* valueOut(feArgs* args, int slot = 0) { return static_cast<feObject*>(args->out[slot]); }

// An S result: a heap copy of the text.
void giveText(feArgs* args, const char* text, uint32_t length) {
  auto* out = static_cast<feArgText*>(args->out[0]);
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, length + 1, 1));
  if (!copy) return;
  std::memcpy(copy, text, length);
  out->text = copy;
  out->length = int32_t(length);
}
void giveText(feArgs* args, const char* text) { giveText(args, text, uint32_t(std::strlen(text))); }

// "!#O": a new table with the default contents, made current.
int opMake(feArgs* args) {
  cTab* table = cTabMakeDefault();
  if (!table) return -1;
  cTabSetCurrent(table);
  cTabModule& m = cTabState();
  cTab* previous = m.made;
  m.made = table;
  cTabRelease(previous);
  return feMakeObjRef(valueOut(args), table);
}

int opGet(feArgs* args) { return feMakeObjRef(valueOut(args), cTabCurrent()); }

int opAvailCount(feArgs* args) { return feMakeInt(valueOut(args), cTabAvailCount(nullptr)); }

// "!i#O" translations; the parameter-less handlers share one shape.
int opIdToIndex(feArgs* args) { return feMakeInt(valueOut(args), cTabIdToIndex(nullptr, args->in[0].i)); }
int opIdToAIndex(feArgs* args) { return feMakeInt(valueOut(args), cTabIdToAIndex(nullptr, args->in[0].i)); }
int opIndexToId(feArgs* args) { return feMakeInt(valueOut(args), cTabIndexToId(nullptr, args->in[0].i)); }
int opAIndexToId(feArgs* args) { return feMakeInt(valueOut(args), cTabAIndexToId(nullptr, args->in[0].i)); }

// "!i#I": the palette entry of an id: its position among the in-use
// entries plus 11.
int opIdToSysEntry(feArgs* args) {
  *intOut(args) = cTabIdToAIndex(nullptr, args->in[0].i) + 11;
  return 0;
}

int opIdToName(feArgs* args) {
  giveText(args, cTabIdName(nullptr, args->in[0].i));
  return 0;
}
int opIndexToName(feArgs* args) {
  giveText(args, cTabIndexName(nullptr, args->in[0].i));
  return 0;
}
int opAIndexToName(feArgs* args) {
  giveText(args, cTabAIndexName(nullptr, args->in[0].i));
  return 0;
}

int opTruncateName(feArgs* args) {
  const feArgText& text = args->in[0].text;
  giveText(args, text.text, uint32_t(std::clamp(text.length, int32_t(0), int32_t(cTabNameMax))));
  return 0;
}

int opCubeOn(feArgs* args) {
  cTabState().cube = 1;
  return feMakeBool(valueOut(args), 1);
}
int opCubeOff(feArgs* args) {
  cTabState().cube = 0;
  return feMakeBool(valueOut(args), 0);
}
int opCubeBase(feArgs* args) { return feMakeInt(valueOut(args), cTabState().cubeBase); }
int opCubeSize(feArgs* args) { return feMakeInt(valueOut(args), cTabState().cubeSize); }

// "!": a new palette handle for the current table, from its rebuilt block.
int opRemakePalette(feArgs*) {
  cTab* table = cTabCurrent();
  if (!table) return 0;
  if (table->paletteHandle) {
    DeleteObject(table->paletteHandle);
    table->paletteHandle = nullptr;
  }
  cTabRebuild(table);
  cTabPaletteOf(table);
  return 0;
}

int opGetMenuSize(feArgs* args) { return feMakeInt(valueOut(args), cTabState().menuSize); }
int opSetMenuSize(feArgs* args) {
  const int32_t n = args->in[0].i;
  if (n >= 1 && n < 254) cTabState().menuSize = n;
  return 0;
}

int opMoreString(feArgs* args) {
  const char* more = cTabState().more;
  return feMakeString(valueOut(args), more, std::strlen(more));
}

int opSetInvert(feArgs* args) {
  colorSetInvert(args->in[0].i);
  return 0;
}
int opGetInvert(feArgs* args) {
  *intOut(args) = colorGetInvert();
  return 0;
}

const feOpSpec kOps[] = {
    {"aColorTableMake", opMake, "!#O"},
    {"aNewColorTable", opMake, "!#O"},
    {"aColorTableGet", opGet, "!#O"},
    {"aAvailColorCount", opAvailCount, "!#O"},
    {"aColorTranslateIDToIndex", opIdToIndex, "!i#O"},
    {"aColorTranslateIDToAIndex", opIdToAIndex, "!i#O"},
    {"aColorTranslateIndexToID", opIndexToId, "!i#O"},
    {"aColorTranslateAIndexToID", opAIndexToId, "!i#O"},
    {"aColorTranslateIDToSysEntry", opIdToSysEntry, "!i#I"},
    {"aColorTranslateIDToName", opIdToName, "!i#S"},
    {"aColorTranslateIndexToName", opIndexToName, "!i#S"},
    {"aColorTranslateAIndexToName", opAIndexToName, "!i#S"},
    {"aColorTruncateName", opTruncateName, "!S#S"},
    {"aCTabColorCubeOn", opCubeOn, "!#O"},
    {"aCTabColorCubeOff", opCubeOff, "!#O"},
    {"aCTabGetLastCubeBase", opCubeBase, "!#O"},
    {"aCTabGetLastCubeSize", opCubeSize, "!#O"},
    {"aCTabRemakePalette", opRemakePalette, "!"},
    {"aCTabGetMaxMenuSize", opGetMenuSize, "!#O"},
    {"aCTabSetMaxMenuSize", opSetMenuSize, "!i"},
    {"aCTabGetMoreString", opMoreString, "!#O"},
    {"aCTabRenameColor", cTabOpRenameColor, "!SS"},
    {"aCTabGetCurrentTongue", cTabOpCurrentTongue, "!S"},
    {"aColorSetInvert", opSetInvert, "!B"},
    {"aInvertGetState", opGetInvert, "!#B"},
};

// "$INVERTBKGRND": the invert flag, only in streams that carry the global
// settings.
int invertIO(const char*, dbDocRec*, ioCtx* ctx) {
  if (!(ctx->flags & ioFlagReadGlobals)) return 0;
  int32_t on = colorGetInvert();
  if (ioFormat(ctx, "l", &on) < 0) return -1;
  if (ctx->mode == 'r') colorSetInvert(on != 0);
  return 0;
}

// The drawing layer's colour index is a colour id.
bool hookEntry(int index, uint16_t rgb[3]) {
  colorEntryData data;
  if (!colorGetEntryData(index, &data)) return false;
  std::memcpy(rgb, data.rgb, sizeof data.rgb);
  return true;
}

const gdiColorHooks kHooks = {hookEntry, colorGetInvert, cTabRebuildCurrent};

}  // namespace

void cTabReset() {
  cTabModule& m = cTabState();
  m.current = nullptr;
  if (m.general) cTabFree(m.general);
  if (cTab* made = m.made) {
    m.made = nullptr;
    cTabRelease(made);
  }
  m.invert = 0;
  m.monochrome = 0;
  m.cube = 1;
  m.cubeBase = m.cubeSize = 0;
  m.menuSize = 7;
  std::strcpy(m.more, "More...");
  m.tongue[0] = 0;
  m.localiseCounter = 0;
  m.localising = 0;
  cTabDefaultsReset();
}

void cTabSetUp() {
  cTabClassesRegister();
  cTabReset();
  if (!docVarFind("$INVERTBKGRND", 13)) varRegister(invertIO, "$INVERTBKGRND");
  gdiSetColorHooks(&kHooks);
  fileBlockOn = true;
}

void cTabInit() {
  cTabSetUp();
  feOpSpecRegisterAll(kOps);
  colortblInit();
}

bool cTabFileBlockOn() { return fileBlockOn; }
