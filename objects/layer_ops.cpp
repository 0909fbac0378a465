// The layer operators, registered by layerInit in their fixed order, and the
// module's set-up.
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "core/debug.h"
#include "core/errors.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/script.h"
#include "fe/stack.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum : uint8_t { kMarkShown = 18, kMarkHidden = 202, kMarkWork = 165, kMarkOther = 202 };
enum { kListNameMax = 80 };

const feArgText& text(const feArgs* args, int i) { return args->in[i].text; }
uint32_t len(const feArgText& t) { return uint32_t(t.length); }

// The number of an existing layer of the current table, or the find error.
int existing(const feArgText& name) { return layerFind(name.text, len(name), 0); }

int opLayer(feArgs* args) {
  const int n = existing(text(args, 1));
  if (n < 0) return n;
  *reinterpret_cast<glist**>(args->out[0]) = layerObjects(n);
  return 0;
}

// Entries that begin with a mark byte sort by the name behind the two marks.
const char* sortKey(const std::string& entry) {
  const uint8_t first = entry.empty() ? 0 : uint8_t(entry[0]);
  return entry.c_str() + ((first == kMarkHidden || first == kMarkShown) && entry.size() >= 2 ? 2 : 0);
}

int opListLayers(feArgs* args) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return feErrUndefined;
  const bool marks = args->in[0].i != 0, shownOnly = args->in[1].i != 0;
  numTbl* table = layerTblCurrent();
  std::vector<std::string> entries;
  for (uint32_t i = 0; i < tblCount(table); ++i) {
    const layerRec* rec = layerEntryIn(table, int32_t(i));
    if (!rec || rec->name[0] == '.') continue;
    const bool hidden = rec->flags & layerHidden;
    if (shownOnly && hidden) continue;
    std::string entry;
    if (marks) {
      entry += char(hidden ? kMarkHidden : kMarkShown);
      entry += char(i == doc->workLayer ? kMarkWork : kMarkOther);
    }
    entry.append(rec->name, std::min<size_t>(std::strlen(rec->name), kListNameMax));
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    const int order = uStrNatCmpAll(sortKey(a), sortKey(b));
    return order != 0 ? order < 0 : std::strcmp(sortKey(a), sortKey(b)) < 0;
  });
  for (const std::string& entry : entries)
    if (const int rc = tblPushText(entry.data(), uint32_t(entry.size()))) return rc;
  return 0;
}

int opStripName(feArgs* args) {
  const feArgText& in = text(args, 0);
  int32_t skip = 0;
  while (skip < in.length && tblIsMark(uint8_t(in.text[skip]))) ++skip;
  tblGiveText(args, 0, in.text + skip, uint32_t(in.length - skip));
  return 0;
}

int opLayerFind(feArgs* args) {
  const feArgText& name = text(args, 0);
  const feObject* array = args->in[1].value;
  if (!array || feType(array) != feTArray) return feErrTypeCheck;
  for (int32_t i = 0; i < array->length; ++i) {
    const char* item;
    int32_t length;
    if (feGetString(feArrayElem(array, i), &item, &length) != 0) continue;
    if (length > 1) item += 2, length -= 2;
    if (length != name.length || std::memcmp(item, name.text, size_t(length)) != 0) continue;
    feObject index;
    feMakeInt(&index, i);
    if (const int rc = fePush(feOperandStack(), &index)) return rc;
    *static_cast<int32_t*>(args->out[0]) = 1;
    return 0;
  }
  return 0;
}

int opLayerHide(feArgs* args) {
  const int n = existing(text(args, 0));
  return n < 0 ? n : layerHideNumber(n, args->in[1].i);
}

int opLayerDelete(feArgs* args) {
  const int n = existing(text(args, 0));
  return n < 0 ? n : layerDeleteNumber(n);
}

int opLayerRename(feArgs* args) {
  const feArgText& from = text(args, 0);
  const feArgText& to = text(args, 1);
  if (!to.text || to.length <= 0 || to.text[0] == '.') return tblErrBadName;
  const int n = existing(from);
  const int other = layerNumber(to.text, len(to));
  if (other >= 0 && other != n) return tblErrNameExists;
  if (n < 0) return n;
  return layerRenameNumber(n, to.text, len(to));
}

int opLayerDefine(feArgs* args) { return layerDefine(text(args, 0).text, len(text(args, 0))); }

// The source members by signature, in 256 buckets keyed by its low byte.
struct SignatureTable {
  std::vector<std::pair<int32_t, uint8_t>> buckets[256];
};

int enterSource(gobjRec* member, void* context) {
  int32_t signature = 0;
  objSignature(member, &signature);
  static_cast<SignatureTable*>(context)->buckets[uint8_t(signature)].push_back({signature, member->layer});
  return 0;
}

struct MatchCount {
  const SignatureTable* table;
  int32_t hits = 0, misses = 0;
};

int matchTarget(gobjRec* member, void* context) {
  auto* match = static_cast<MatchCount*>(context);
  member->layer = 0;
  int32_t signature = 0;
  objSignature(member, &signature);
  int found = 0;
  uint8_t layer = 0;
  for (const auto& [sig, l] : match->table->buckets[uint8_t(signature)])
    if (sig == signature) ++found, layer = l;
  if (found == 1) {
    member->layer = layer;
    ++match->hits;
  } else {
    ++match->misses;
  }
  return 0;
}

int opLayerMatch(feArgs* args) {
  const void* source = args->in[0].record;
  const void* target = args->in[1].record;
  if (!grpIsGroup(source) || !grpIsGroup(target)) return feErrTypeCheck;
  SignatureTable table;
  grpForEach(static_cast<const glist*>(source), enterSource, &table);
  MatchCount match{&table};
  grpForEach(static_cast<const glist*>(target), matchTarget, &match);
  dbgPrintf("[layerMatch] %ld hits, %ld misses\n", match.hits, match.misses);
  return 0;
}

int opSetWorkLayer(feArgs* args) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return layerErrNoDoc;
  const int n = existing(text(args, 0));
  if (n < 0) return n;
  if (layerEntry(n)->flags & layerHidden) return layerErrCannotSetWorkLayer;
  doc->workLayer = uint8_t(n);
  return layerSetWithAttrs(&doc->defaultObject, n);
}

int opCurLayer(feArgs* args) {
  void** out = static_cast<void**>(args->out[0]);
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) {
    *out = layerObjNew(0);
    return layerErrNoDoc;
  }
  const layerRec* work = layerEntry(doc->workLayer);
  if (!work || (work->flags & layerHidden)) {
    numTbl* table = layerTblCurrent();
    for (uint32_t i = 0; i < tblCount(table) && i < layerMax; ++i) {
      const layerRec* rec = layerEntryIn(table, int32_t(i));
      if (!rec || rec->name[0] == '.' || (rec->flags & (layerHidden | layerNoWork))) continue;
      doc->workLayer = uint8_t(i);
      layerSetWithAttrs(&doc->defaultObject, int32_t(i));
      break;
    }
  }
  *out = layerObjNew(doc->workLayer);
  return 0;
}

int opFindNamedLayer(feArgs* args) {
  const int n = layerFind(text(args, 0).text, len(text(args, 0)), layerFindCreate);
  if (n < 0) return n;
  *static_cast<void**>(args->out[0]) = layerObjNew(n);
  return 0;
}

int opStartClumpHide(feArgs*) {
  layerSetClumpHide(true);
  return 0;
}

int opEndClumpHide(feArgs*) {
  layerSetClumpHide(false);
  return 0;
}

const feOpSpec kOps[] = {
    {"aLayer", opLayer, "PS#Q"},
    {"aListLayers", opListLayers, "BB<false>"},
    {"aListVisLayers", opListLayers, "BB<true>"},
    {"aStripName", opStripName, "!S#S"},
    {"aLayerFind", opLayerFind, "!SO#B"},
    {"aLayerHide", opLayerHide, "SI"},
    {"aLayerDelete", opLayerDelete, "S"},
    {"aLayerRename", opLayerRename, "SS"},
    {"aLayerDefine", opLayerDefine, "S"},
    {"aLayerNumber", tblOpNumber, "PSI<0>#I"},
    {"aLayerGenName", tblOpGenName, "PS#S"},
    {"aLayerMatch", opLayerMatch, "!QQ"},
    {"aSetWorkLayer2", opSetWorkLayer, "S"},
    {"aCurLayer", opCurLayer, "!#Q"},
    {"aFindNamedLayer", opFindNamedLayer, "S#Q"},
    {"aStartClumpElementLayerHide", opStartClumpHide, "!"},
    {"aEndClumpElementLayerHide", opEndClumpHide, "!"},
};

}  // namespace

void layerInit() {
  layerClassesInit();
  feOpSpecRegisterAll(kOps);
  ioSetLayerCoder(objLayerIO);
  ioSetSegmentHook(ioWordLayers, layerTblIO);
}
