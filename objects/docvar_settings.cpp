// The settings variables stored by the document settings module: "$PARAMS",
// "$CHSTYLE" (its body is the style module's), "$PENWEIGHTS", "$VISUALCON",
// "$DEFAULTDIR", "$DEFAULTLIGHT", and the graphic objects' "$SELCOLOR" and
// "$WORKLAYER". Writing uses a block's
// full size; reading caps the stored count at it, and the record's end
// skips what is left.
#include "objects/docvar.h"
#include "objects/docvar_internal.h"

#include "core/alloc.h"
#include "objects/ddict.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/pen.h"
#include "objects/style_doc.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

char defaultDir[docDefaultDirSize];

// A count written with its block, or the count read capped at the block.
int32_t blockCount(ioCtx* ctx, int32_t full) {
  int32_t n = full;
  if (ioFormat(ctx, "i", &n) < 0) return -1;
  if (ctx->mode != 'r') return full;
  return std::clamp(n, int32_t(0), full);
}

bool sameName(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

int paramsIO(const char*, dbDocRec* doc, ioCtx* ctx) { return ddIO(&doc->params, ctx) < 0 ? -1 : 0; }

int penWeightsIO(const char*, dbDocRec* doc, ioCtx* ctx) {
  const int32_t n = blockCount(ctx, docPenWeightCount);
  if (n < 0) return -1;
  if (ioFormat(ctx, "*R", n, doc->penWeights) < 0) return -1;
  // The pen table takes the weights read.
  if (ctx->mode == 'r') penSetTable(doc->penWeights);
  return 0;
}

int visualIO(const char*, dbDocRec* doc, ioCtx* ctx) {
  const int32_t n = blockCount(ctx, docVisualSize);
  if (n < 0) return -1;
  return ioFormat(ctx, "*b", n, doc->visual) < 0 ? -1 : 0;
}

// Whether the file is the preferences file, the only one that keeps the
// default directory. File names compare without case.
bool isPrefsFile(const ioCtx* ctx) {
  static const char kPrefs[] = "PREFS.QDW";
  if (!ctx->name) return false;
  const size_t n = std::strlen(ctx->name), m = sizeof kPrefs - 1;
  for (size_t i = 0; i + m <= n; ++i) {
    size_t k = 0;
    while (k < m && std::toupper(static_cast<unsigned char>(ctx->name[i + k])) == kPrefs[k]) ++k;
    if (k == m) return true;
  }
  return false;
}

// The stored block is 2120 bytes; the directory is a 261-byte path slot.
// Writing pads the slot with zeros; reading keeps at most 260 characters
// and a NUL.
int defaultDirIO(const char*, dbDocRec*, ioCtx* ctx) {
  if (!isPrefsFile(ctx)) return 0;
  uint8_t stored[docDefaultDirStored] = {};
  if (ctx->mode != 'r') std::memcpy(stored, defaultDir, sizeof defaultDir);
  const int32_t n = blockCount(ctx, docDefaultDirStored);
  if (n < 0) return -1;
  if (ioFormat(ctx, "*b", n, stored) < 0) return -1;
  if (ctx->mode == 'r') {
    const size_t length = strnlen(reinterpret_cast<const char*>(stored), docDefaultDirSize - 1);
    std::memcpy(defaultDir, stored, length);
    defaultDir[length] = 0;
  }
  return 0;
}

int defaultLightIO(const char*, dbDocRec* doc, ioCtx* ctx) {
  const int32_t n = blockCount(ctx, docLightSize);
  if (n < 0) return -1;
  if (ioFormat(ctx, "*b", n, doc->defaultLights) < 0) return -1;
  if (ctx->mode == 'r') docLightRepair(doc->defaultLights);
  return 0;
}

int selectColorIO(const char*, dbDocRec* doc, ioCtx* ctx) {
  return ioFormat(ctx, "b", &doc->selectColor) < 0 ? -1 : 0;
}

int workLayerIO(const char*, dbDocRec* doc, ioCtx* ctx) {
  if (ctx->mode != 'r') {
    const char* text = nullptr;
    uint32_t length = 0;
    char* name = nullptr;
    if (layerName(doc->workLayer, &text, &length) == 0 && text) {
      uAlloc(&name, nullptr, length + 1, 1);
      std::memcpy(name, text, length);
    }
    const int answer = ioFormat(ctx, "S", &name);
    uFreeIfSet(&name);
    return answer < 0 ? -1 : 0;
  }
  char* name = nullptr;
  if (ioFormat(ctx, "S", &name) < 0) {
    uFreeIfSet(&name);
    return -1;
  }
  if (name && *name) {
    const int n = layerFind(name, uint32_t(std::strlen(name)), layerFindCreate);
    if (n >= 0) doc->workLayer = uint8_t(n);
  }
  uFreeIfSet(&name);
  return 0;
}

int settingsIO(const char* name, dbDocRec* doc, ioCtx* ctx) {
  if (sameName(name, "$PARAMS")) return paramsIO(name, doc, ctx);
  if (sameName(name, "$CHSTYLE")) return styleCharVarIO(doc, ctx);
  if (sameName(name, "$PENWEIGHTS")) return penWeightsIO(name, doc, ctx);
  if (sameName(name, "$VISUALCON")) return visualIO(name, doc, ctx);
  if (sameName(name, "$DEFAULTDIR")) return defaultDirIO(name, doc, ctx);
  if (sameName(name, "$DEFAULTLIGHT")) return defaultLightIO(name, doc, ctx);
  return 0;
}

int gobjSettingsIO(const char* name, dbDocRec* doc, ioCtx* ctx) {
  if (sameName(name, "$SELCOLOR")) return selectColorIO(name, doc, ctx);
  if (sameName(name, "$WORKLAYER")) return workLayerIO(name, doc, ctx);
  return 0;
}

}  // namespace

char* docDefaultDir() { return defaultDir; }

// Blocks written on machines of the other byte order show a non-zero byte 8
// (the first bytes of the second double); each 8-byte group is reversed.
void docLightRepair(uint8_t* block) {
  if (block[8] != 0) {
    for (uint32_t g = 0; g < docLightSize; g += 8) std::reverse(block + g, block + g + 8);
  } else if (block[15] == 0) {
    block[0] = 0x70;
  }
}

void docVarSettingsRegister() {
  varRegister(settingsIO, "$PARAMS", "$CHSTYLE", "$PENWEIGHTS", "$VISUALCON", "$DEFAULTDIR", "$DEFAULTLIGHT", nullptr);
  varRegister(gobjSettingsIO, "$SELCOLOR", "$WORKLAYER", nullptr);
}
