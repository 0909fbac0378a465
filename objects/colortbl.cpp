// The class "colortbl": the current colour table's names as a numbered
// name table, the colour-list operators and aColorFind.
#include "objects/colortbl.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/xlate.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/stack.h"
#include "objects/ctab.h"
#include "objects/numtbl.h"
#include "objects/objmsg.h"
#include "ui/achk.h"

#include <cstring>
#include <string>

namespace {

uint16_t classId = 0;
numTbl nameTable{};
char* joinedNames = nullptr;  // the last answer of message 409

const cTabEntry* namedEntry(int32_t id) {
  const int32_t index = cTabIdToIndex(nullptr, id);
  return cTabIndexInUse(nullptr, index) ? cTabEntryAt(nullptr, index) : nullptr;
}

int find(const char* name, uint32_t length, int32_t* outId) {
  *outId = -1;
  for (int32_t id = 0; id < colorNameIds; ++id) {
    const cTabEntry* entry = namedEntry(id);
    if (!entry || std::strlen(entry->name) != length || std::memcmp(entry->name, name, length) != 0) continue;
    *outId = id;
    return 0;
  }
  return -1;
}

// Every in-use entry's name at indexes 0..253, in index order.
template <class Visit>
void forEachName(Visit visit) {
  for (int32_t index = 0; index < colorNameIds; ++index)
    if (cTabIndexInUse(nullptr, index)) visit(cTabEntryAt(nullptr, index)->name);
}

int names(const char** outText) {
  std::string text;
  forEachName([&text](const char* name) { (text += name) += ';'; });
  if (joinedNames) uFree(&joinedNames);
  uAlloc(&joinedNames, nullptr, uint32_t(text.size() + 1), 1);
  if (!joinedNames) return -1;
  std::memcpy(joinedNames, text.data(), text.size());
  *outText = joinedNames;
  return 0;
}

int handler(void*, int message, intptr_t a, intptr_t b, intptr_t c) {
  switch (message) {
    case msgTblFind:
      return find(reinterpret_cast<const char*>(a), uint32_t(b), reinterpret_cast<int32_t*>(c));
    case msgTblName:
      return colorNameOf(int32_t(a), reinterpret_cast<const char**>(b), reinterpret_cast<uint32_t*>(c));
    case msgTblNames: return names(reinterpret_cast<const char**>(a));
    default: return -1;
  }
}

int pushText(const char* text) { return tblPushText(text, uint32_t(std::strlen(text))); }

int pushNames() {
  int rc = 0;
  forEachName([&rc](const char* name) {
    if (!rc) rc = pushText(name);
  });
  return rc;
}

// "!i<0>", "!i<1>".
int opListColors(feArgs*) { return pushNames(); }

// "!i<0>".
int opListColorsForMask(feArgs*) {
  if (const int rc = pushNames()) return rc;
  return pushText("COLOR_NONE");
}

enum { kFindName = 1, kFindNumber = 2 };

const uiAChklEntry* findList() {
  static uiAChklEntry* list;
  if (!list) uiDefAChkl(&list, kFindName, "name", "S", kFindNumber, "number", "I", 3, "rgb", "3s", 0);
  return list;
}

// "O#B": [key value] -> colorent true, or false.
int opColorFind(feArgs* args) {
  const feObject* array = args->in[0].value;
  auto* found = static_cast<int32_t*>(args->out[0]);
  if (feType(array) == feTNull) return 0;
  if (feType(array) != feTArray) return feErrTypeCheck;
  const int32_t length = feArrayLength(array);
  if (length % 2) return feErrLengthCheck;
  if (length == 0) return 0;
  uiAChkData data;
  const int code = uiAChkl(findList(), feArrayElem(array, 0), feArrayElem(array, 1), &data);
  int32_t id = -1;
  if (code == kFindName) {
    if (find(static_cast<const char*>(data.data), uint32_t(data.count), &id) != 0) return 0;
  } else if (code == kFindNumber) {
    id = data.count;
  } else {
    return feErrUnknownKey;
  }
  void* entry = colorentNew(id);
  if (!entry) return -1;
  feObject value;
  feMakeObjRef(&value, entry);
  if (const int rc = fePush(feOperandStack(), &value)) {
    feFree(&value);
    return rc;
  }
  *found = 1;
  return 0;
}

const feOpSpec kOps[] = {
    {"aListColors", opListColors, "!i<0>"},
    {"aListAllColors", opListColors, "!i<1>"},
    {"aListColorsForMask", opListColorsForMask, "!i<0>"},
    {"aColorFind", opColorFind, "O#B"},
};

}  // namespace

int colorFindName(const char* name, uint32_t length, int32_t* outId) {
  int32_t dummy;
  return find(name, length, outId ? outId : &dummy);
}

int colorFindNameTranslated(const char* name, uint32_t length, int32_t* outId) {
  int32_t dummy;
  if (!outId) outId = &dummy;
  if (find(name, length, outId) == 0) return 0;
  const char* text = nullptr;
  uint32_t textLength = 0;
  if (xlateSpan(name, length, &text, &textLength) != 0 || !text) return -1;
  return find(text, textLength, outId);
}

int colorNameOf(int32_t id, const char** outText, uint32_t* outLength) {
  const cTabEntry* entry = id >= 0 && id < colorNameIds ? namedEntry(id) : nullptr;
  const char* text = entry ? entry->name : "";
  if (outText) *outText = text;
  if (outLength) *outLength = uint32_t(std::strlen(text));
  return entry ? 0 : -1;
}

numTbl* colorNameTable() {
  nameTable.classId = colortblClassId();
  return &nameTable;
}

uint16_t colortblClassId() { return classId; }

void colortblSetUp() {
  classId = objClassRegister("colortbl", 0, handler);
  findList();
  colorSlotsSetUp();
}

void colortblInit() {
  colortblSetUp();
  feOpSpecRegisterAll(kOps);
}
