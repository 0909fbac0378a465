// aSetSelMask: which objects of the document may be selected, by class,
// layer and colour names.
#include "objects/grpedit.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/value.h"
#include "objects/colortbl.h"
#include "objects/layer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

enum : uint8_t { kClassBit = 1, kLayerBit = 2, kColorBit = 4 };

// Null or an array of names (or strings): 0; anything else 269.
int checkList(const feObject* list) {
  if (!list || feType(list) == feTNull) return 0;
  if (feType(list) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i < n; ++i) {
    const char* text;
    int32_t length;
    if (feGetString(feArrayElem(list, i), &text, &length) != 0) return feErrTypeCheck;
  }
  return 0;
}

bool given(const feObject* list) { return list && feType(list) == feTArray; }

// Marks the number of each name that resolves (resolve answers -1 for none).
template <class Resolve>
void mark(const feObject* list, std::vector<uint8_t>& table, uint8_t bit, Resolve resolve) {
  if (!given(list)) return;
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i < n; ++i) {
    const char* text;
    int32_t length;
    feGetString(feArrayElem(list, i), &text, &length);
    const int32_t number = resolve(text, uint32_t(length));
    if (number >= 0 && size_t(number) < table.size()) table[size_t(number)] |= bit;
  }
}

struct MaskPass {
  const std::vector<uint8_t>* table;
  bool classes, layers, colors;
};

int clearNoSelect(gobjRec* object, void*) {
  object->flags &= uint16_t(~gobjNoSelect);
  return 0;
}

int applyMask(gobjRec* object, void* context) {
  const auto* pass = static_cast<const MaskPass*>(context);
  const std::vector<uint8_t>& t = *pass->table;
  auto marked = [&](uint32_t number, uint8_t bit) { return number < t.size() && (t[number] & bit); };
  bool blocked;
  if (pass->classes) blocked = !marked(object->classId, kClassBit);
  else if (pass->layers) blocked = !marked(object->layer, kLayerBit);
  else blocked = !marked(object->color, kColorBit);
  if (blocked) object->flags |= gobjNoSelect;
  return 0;
}

}  // namespace

// "OOO#" (classes, layers, colours): every object of the document becomes
// selectable; then, unless all three are null, the objects whose class is
// not listed (when classes are given), or else whose layer is not listed
// (when layers are given), or else whose colour is not listed, become not
// selectable (flag 0x4000). Classes are matched exactly (8 significant
// characters), layers by name without creating one, colours by name in the
// current colour table.
int aSetSelMaskOp(feArgs* args) {
  const feObject* classes = args->in[0].value;
  const feObject* layers = args->in[1].value;
  const feObject* colors = args->in[2].value;
  for (const feObject* list : {classes, layers, colors})
    if (const int rc = checkList(list)) return rc;

  glist* all = grpOfSource("all");
  grpForEach(all, clearNoSelect, nullptr);
  if (given(classes) || given(layers) || given(colors)) {
    // One entry per class id, layer number and colour number: a listed class
    // may have a higher id than any object of the document.
    std::vector<uint8_t> table(std::max<size_t>(objClassCount(), 256), 0);
    mark(classes, table, kClassBit, [](const char* text, uint32_t length) {
      char name[9] = {};
      std::memcpy(name, text, std::min<uint32_t>(length, 8));
      const uint16_t id = objClassByName(name);
      return id ? int32_t(id) : -1;
    });
    mark(layers, table, kLayerBit, [](const char* text, uint32_t length) {
      const int number = layerFind(text, length, 0);
      return number >= 0 ? int32_t(number) : -1;
    });
    mark(colors, table, kColorBit, [](const char* text, uint32_t length) {
      int32_t id = -1;
      return colorFindName(text, length, &id) == 0 ? id : -1;
    });
    MaskPass pass{&table, given(classes), given(layers), given(colors)};
    grpForEach(all, applyMask, &pass);
  }
  grpRelease(&all);
  return 0;
}
