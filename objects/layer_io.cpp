// Layers in drawing files: the layer number of each object record (format
// letter L) and the layer segment (header word 4).
//
// The segment holds the count of layers, then per layer its name, its
// attribute word and the number of objects written on it. While writing,
// the file's layer map counts the objects per layer; while reading, it maps
// the layer numbers stored in the file to layers of the receiving table
// (found by name, or added), 65535 standing for none. A number that maps to
// no layer puts the object on the layer "unassigned".
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/docstate.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <cstring>
#include <map>

namespace {

std::map<const ioCtx*, layerFileNotes>& notes() {
  static std::map<const ioCtx*, layerFileNotes> table;
  return table;
}

void freeMap(ioCtx* ctx) {
  uFreeIfSet(&ctx->layerMap);
  ctx->layerMapCount = 0;
}

// A map of n entries; with fill set every new entry is 65535 (none).
void sizeMap(ioCtx* ctx, uint32_t n, bool fill) {
  const uint32_t before = ctx->layerMap ? ctx->layerMapCount : 0;
  if (!ctx->layerMap) ctx->layerMapCount = 0;
  if (n == 0) {
    freeMap(ctx);
    return;
  }
  uAlloc(&ctx->layerMap, &ctx->layerMapCount, n, sizeof(uint16_t));
  if (fill)
    for (uint32_t i = before; i < n; ++i) ctx->layerMap[i] = layerMapNone;
}

void countObject(ioCtx* ctx, uint8_t layer) {
  if (!ctx->layerMap) sizeMap(ctx, tblCount(layerTblCurrent()), false);
  if (layer >= ctx->layerMapCount) {
    dbgPrintf("Bad layer in saved data\n");
    return;
  }
  if (ctx->layerMap[layer] != layerMapNone) ++ctx->layerMap[layer];
}

// A stored number through the file's layer map: the receiving layer, or
// 65535 for none (with three log lines once per file when the map does not
// cover the number).
uint32_t mapStored(ioCtx* ctx, uint16_t stored) {
  if (!ctx->layerMap || stored >= ctx->layerMapCount) {
    layerFileNotes& note = layerFileState(ctx);
    if (!note.badMapLogged) {
      note.badMapLogged = true;
      dbgPrintf("[objLayerIO] stored layer %d, layer map of %d entries\n", int32_t(stored),
                int32_t(ctx->layerMap ? ctx->layerMapCount : 0));
      dbgPrintf("[objLayerIO] the file has %s layer map\n", ctx->layerMap ? "a" : "no");
      dbgPrintf("Bad layer in file[at draft.dir:layer.c\n");
    }
    return layerMapNone;
  }
  uint16_t& entry = ctx->layerMap[stored];
  if (entry == layerMapNone) {
    const int zombie = MakeZombieLayer(ctx, layerTblCurrent());
    if (zombie >= 0) entry = uint16_t(zombie);
  }
  return entry;
}

int readLayerNumber(ioCtx* ctx, uint8_t* layer, int16_t stored) {
  if (ctx->flags & ioFlagRaw) {
    *layer = uint8_t(stored);
    return 0;
  }
  uint32_t n = (ctx->flags & ioFlagLayersToZero) ? uint32_t(layerWorkNumber()) : mapStored(ctx, uint16_t(stored));
  numTbl* table = layerTblCurrent();
  if (n >= layerMax || !layerEntryIn(table, int32_t(n))) {
    layerFileNotes& note = layerFileState(ctx);
    if (!note.missingLogged) {
      note.missingLogged = true;
      dbgPrintf("[objLayerIO] no layer %d: the object goes to the layer unassigned\n", int32_t(n));
    }
    const int zombie = MakeZombieLayer(ctx, table);
    n = zombie >= 0 ? uint32_t(zombie) : 0;
  }
  *layer = uint8_t(n);
  return 0;
}

// The attribute word of a layer new to the table: the file's, or, from a
// file that does not know the layer segment's type, the file's flags with
// the default object's colour, pen and line font.
uint32_t newLayerWord(uint32_t word, bool typeKnown) {
  if (typeKnown) return word;
  const gobjRec* head = gobjDefaultHead();
  return (word & 0xFF) | uint32_t(head->color) << 8 | uint32_t(gobjPen(head)) << 16 |
         uint32_t(gobjLineFont(head)) << 24;
}

int readSegment(ioCtx* ctx) {
  const bool typeKnown = ioTypeIndex(ctx, layrtblClassId(), false) >= 0;
  int32_t n = 0;
  if (ioFormat(ctx, "i", &n) < 0) return -1;
  // Each entry takes at least three bytes (name, word and count).
  if (n < 0 || n > ioBytesLeft(ctx) / 3) {
    ioFail(ctx, ioErrBadData, "SBad data in file", nullptr);
    return -2;
  }
  freeMap(ctx);
  sizeMap(ctx, uint32_t(n), true);
  dbDocRec* doc = dbCurrentDoc();
  if (n > 0 && doc && !(ctx->flags & (ioFlagMerge | ioFlagLayersToZero | ioFlagRaw))) {
    tblFree(&doc->layers);
    doc->layers = layerTblNew(0);
  }
  numTbl* table = layerTblCurrent();
  for (int32_t i = 0; i < n; ++i) {
    char* name = nullptr;
    uint32_t word = 0;
    int16_t count = 0;
    const int read = ioFormat(ctx, "Sls", &name, &word, &count);
    const uint32_t length = name ? uint32_t(std::strlen(name)) : 0;
    uint16_t entry = layerMapNone;
    if (read < 0) {
      uFreeIfSet(&name);
      return -1;
    }
    if (ctx->flags & ioFlagLayersToZero) {
      entry = 0;
    } else if (length > 0) {
      int32_t number;
      if (tblFind(table, name, length, 0, &number) == 0) {
        entry = uint16_t(number);
      } else if (tblFind(table, name, length, 1, &number) == 0) {
        if (layerRec* rec = layerEntryIn(table, number)) layerSetAttrWord(rec, newLayerWord(word, typeKnown));
        entry = uint16_t(number);
      }
    }
    // The entry keeps all 16 bits: "none" must not become layer 255.
    ctx->layerMap[i] = entry;
    uFreeIfSet(&name);
  }
  return 0;
}

int writeSegment(ioCtx* ctx) {
  numTbl* table = layerTblCurrent();
  int32_t n = int32_t(tblCount(table));
  ioTypeMap(ctx, layrtblClassId(), 0);
  if (ioFormat(ctx, "i", &n) < 0) return -1;
  if (uint32_t(n) != (ctx->layerMap ? ctx->layerMapCount : 0)) sizeMap(ctx, uint32_t(n), false);
  for (int32_t i = 0; i < n; ++i) {
    const auto* rec = static_cast<const layerRec*>(tblEntry(table, i));
    char* name = rec->name;
    uint32_t word = layerAttrWord(rec);
    int16_t count = int16_t(ctx->layerMap[i]);
    if (ioFormat(ctx, "Sls", &name, &word, &count) < 0) return -1;
  }
  return 0;
}

}  // namespace

layerFileNotes& layerFileState(const ioCtx* ctx) { return notes()[ctx]; }

void layerFileForget(const ioCtx* ctx) { notes().erase(ctx); }

int objLayerIO(ioCtx* ctx, uint8_t* layer) {
  if (ctx->mode != 'r') {
    int16_t stored = *layer;
    const int bytes = ioFormat(ctx, "s", &stored);
    if (bytes >= 0 && ctx->writeEnable && !(ctx->flags & ioFlagRaw)) countObject(ctx, *layer);
    return bytes;
  }
  int16_t stored = 0;
  const int bytes = ioFormat(ctx, "s", &stored);
  if (bytes < 0) {
    *layer = 0;
    return bytes;
  }
  readLayerNumber(ctx, layer, stored);
  return bytes;
}

int layerTblIO(ioCtx* ctx, int event) {
  switch (event) {
    case ioEvHeaderRead:
    case ioEvHeaderWritten:
      freeMap(ctx);
      layerFileForget(ctx);
      return 0;
    case ioEvReadEnd:
    case ioEvWriteEnd:
      freeMap(ctx);
      layerFileForget(ctx);
      return 0;
    default: break;
  }
  if (ctx->flags & ioFlagRaw) return 0;
  if (event == ioEvReadSegment) return readSegment(ctx);
  if (event == ioEvWriteSegment) return writeSegment(ctx);
  return 0;
}
