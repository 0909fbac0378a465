// The pen list text and the pen operators aListPenSizes and aDefPenSizes.
#include "objects/pen.h"
#include "objects/pen_internal.h"

#include "core/errors.h"
#include "core/units.h"
#include "fe/script.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/numtbl.h"

#include <cstring>

namespace {

enum { kItemSize = 64 };

// The widths formatted for a list: in inches (3 decimals, suffix "inch") or
// in millimetres (2 decimals, "mm", leading zero); only the first item shows
// its unit.
struct PenItems {
  char text[penCount][kItemSize];
  uint32_t length[penCount];
};

void formatItems(bool millimetres, PenItems* items) {
  for (int i = 0; i < penCount; ++i) {
    const bool first = i == 0;
    const int32_t flags = millimetres ? (first ? 28 : 24) : (first ? 20 : 16);
    const int32_t n = unitFormatValue(penWidthAt(i), 1, kItemSize, items->text[i], millimetres ? 2 : 3,
                                      millimetres ? "mm" : "inch", flags);
    items->length[i] = n > 0 ? uint32_t(n) : uint32_t(std::strlen(items->text[i]));
  }
}

const PenItems* listed;
void enumItems(numTbl*, tblNameCollector collect, void* context) {
  for (int i = 0; i < penCount; ++i) collect(listed->text[i], listed->length[i], context);
}

char* listText;
uint32_t listSize;

void buildList(bool millimetres) {
  PenItems items;
  formatItems(millimetres, &items);
  listed = &items;
  nameListBuild(&listText, &listSize, enumItems, nullptr);
  listed = nullptr;
}

}  // namespace

const char* penGetList() {
  if (!listText) buildList(false);
  return listText;
}

int aListPenSizes(feArgs* args) {
  const bool millimetres = args->in[0].i != 0;
  PenItems items;
  formatItems(millimetres, &items);
  for (int i = 0; i < penCount; ++i)
    if (const int rc = tblPushText(items.text[i], items.length[i])) return rc;
  buildList(millimetres);
  return 0;
}

// The numbers read replace the first widths even when the array then turns
// out to be wrong: a non-number stops the reading (269), and an array of
// another length than the numbers read (more than 8 included) answers -1.
int aDefPenSizes(feArgs* args) {
  const feObject* value = args->in[0].value;
  if (!value || feType(value) != feTArray) return feErrTypeCheck;
  double widths[penCount];
  int32_t count = penCount;
  const int read = feGetRealArray(value, &count, widths);
  if (dbDocRec* doc = dbDocCurrent())
    for (int32_t i = 0; i < count; ++i) doc->penWeights[i] = widths[i];
  penReadNewWidths(widths, count);
  return read;
}
