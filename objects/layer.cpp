// Layer tables: the current and the default table, new tables and copies,
// the mapping between two documents' layers, queries by number and name,
// and the zombie layer "unassigned".
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/xlate.h"
#include "objects/docstate.h"

#include <cstring>

namespace {

numTbl* defaultTable = nullptr;
bool clumpHide = false;

// The templates of the default layers, in number order.
const char* const kDefaultLayers[] = {"Layer^0", ".temp", "construction"};

void addDefaults(numTbl* table) {
  for (const char* tmpl : kDefaultLayers) {
    const char* text = tmpl;
    xlateStr(0, tmpl, &text);
    char* name;
    uint32_t length;
    if (tblGenName(table, text, uint32_t(std::strlen(text)), &name, &length) != 0) continue;
    tblAdd(table, name, length);
    uFree(&name);
  }
}

}  // namespace

numTbl* layerTblCurrent() {
  if (dbDocRec* doc = dbCurrentDoc(); doc && doc->layers) return doc->layers;
  if (!defaultTable) defaultTable = layerTblNew(1);
  return defaultTable;
}

numTbl* layerTblNew(int withDefaults) {
  numTbl* table = tblNew(layerMax, sizeof(layerRec));
  if (withDefaults & 1) addDefaults(table);
  return table;
}

numTbl* layerTblCopy(numTbl* table) {
  numTbl* copy = layerTblNew(0);
  const uint32_t n = tblCount(table) < layerMax ? tblCount(table) : layerMax;
  for (uint32_t i = 0; i < n; ++i) {
    const auto* from = static_cast<const layerRec*>(tblEntry(table, int32_t(i)));
    if (!from || !from->name || !from->name[0]) continue;
    int32_t number;
    if (tblFind(copy, from->name, uint32_t(std::strlen(from->name)), 1, &number) != 0) continue;
    layerAttrsCopy(from, static_cast<layerRec*>(tblEntry(copy, number)));
  }
  return copy;
}

layerRec* layerEntryIn(numTbl* table, int32_t number) {
  auto* rec = static_cast<layerRec*>(tblEntry(table, number));
  return rec && rec->name && rec->name[0] ? rec : nullptr;
}

layerRec* layerEntry(int32_t number) { return layerEntryIn(layerTblCurrent(), number); }

void layerAttrsCopy(const layerRec* from, layerRec* to) {
  to->flags = from->flags;
  to->color = from->color;
  to->pen = from->pen;
  to->font = from->font;
}

uint32_t layerAttrWord(const layerRec* rec) {
  return uint32_t(rec->flags) | uint32_t(rec->color) << 8 | uint32_t(rec->pen) << 16 | uint32_t(rec->font) << 24;
}

void layerSetAttrWord(layerRec* rec, uint32_t word) {
  rec->flags = uint8_t(word);
  rec->color = uint8_t(word >> 8);
  rec->pen = uint8_t(word >> 16);
  rec->font = uint8_t(word >> 24);
}

int layerMapDocs(dbDocRec* from, dbDocRec* to, int32_t** outMap, uint32_t* outCount) {
  *outMap = nullptr;
  *outCount = 0;
  if (!from || !to || !from->layers || !to->layers) return -1;
  const uint32_t n = tblCount(from->layers);
  if (n == 0) return 0;
  uint32_t count = 0;
  int32_t* map = uAlloc(outMap, &count, n, sizeof(int32_t));
  for (uint32_t i = 0; i < n; ++i) {
    const char* name;
    uint32_t length;
    map[i] = -1;
    if (tblName(from->layers, int32_t(i), &name, &length) == 0 && length > 0)
      tblFind(to->layers, name, length, 1, &map[i]);
  }
  *outCount = n;
  return 0;
}

uint8_t objLayerNo(const gobjRec* object) { return object->layer; }

int layerIsVisible(const gobjRec* object, int* outFlag) {
  int dummy;
  if (!outFlag) outFlag = &dummy;
  *outFlag = 0;
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return layerErrNoDoc;
  if (!doc->layers) return -2;
  const layerRec* rec = layerEntryIn(doc->layers, object->layer);
  if (!rec) return -1;
  *outFlag = (rec->flags & layerHidden) ? 0 : 1;
  return 0;
}

int layerQuery(int what, int32_t number) {
  const layerRec* rec = static_cast<const layerRec*>(tblEntry(layerTblCurrent(), number));
  if (!rec) return -1;
  const bool hidden = rec->flags & layerHidden;
  switch (what) {
    case 1: return hidden ? -1 : 0;
    case 2: return hidden ? 0 : -1;
    case 3: return number;
    case 4: return rec->name && rec->name[0] ? 0 : -1;
    default: return -1;
  }
}

int layerQueryByName(int what, const char* name, uint32_t length) {
  const int number = layerNumber(name, length);
  return number < 0 ? -1 : layerQuery(what, number);
}

int layerFind(const char* name, uint32_t length, int flags) {
  if ((flags & layerFindTranslate) && name) {
    const char* text = nullptr;
    uint32_t translatedLength = 0;
    xlateSpan(name, length, &text, &translatedLength);
    if (text) name = text, length = translatedLength;
  }
  int32_t number;
  const int answer = tblFind(layerTblCurrent(), name, length, (flags & layerFindCreate) ? 1 : 0, &number);
  return answer != 0 ? answer : number;
}

int layerNumber(const char* name, uint32_t length) { return layerFind(name, length, 0); }

int layerName(int32_t number, const char** outText, uint32_t* outLength) {
  return tblName(layerTblCurrent(), number, outText, outLength);
}

int layerGetAttrs(int32_t number, uint8_t* flags, uint8_t* color, uint8_t* pen, uint8_t* font) {
  const layerRec* rec = layerEntry(number);
  if (!rec) return -1;
  if (flags) *flags = rec->flags;
  if (color) *color = rec->color;
  if (pen) *pen = rec->pen;
  if (font) *font = rec->font;
  return 0;
}

uint32_t layerCount() { return tblCount(layerTblCurrent()); }

bool layerClumpHideOn() { return clumpHide; }

void layerSetClumpHide(bool on) { clumpHide = on; }

int MakeZombieLayer(ioCtx* ctx, numTbl* table) {
  static const char kZombie[] = "unassigned";
  if (ctx && !layerFileState(ctx).zombieLogged) {
    layerFileState(ctx).zombieLogged = true;
    dbgPrintf("[layer.c:MakeZombieLayer] Creating layer ZOMBIE_LAYER\n");
  }
  int32_t number;
  return tblFind(table, kZombie, sizeof kZombie - 1, 1, &number) == 0 ? number : -1;
}

int32_t layerWorkNumber() {
  const dbDocRec* doc = dbCurrentDoc();
  return doc ? doc->workLayer : gobjDefaultHead()->layer;
}

void layerTblDefaultFree() { tblFree(&defaultTable); }
