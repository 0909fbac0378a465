// Keyed argument check lists: converting between script values and native
// data tested against a list. Each record converts into its own storage.
#include "ui/achk.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/script.h"
#include "fe/strings.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

uiAChkData::~uiAChkData() { uFreeIfSet(&store); }

namespace {

int fail(uiAChkData* data, int status) {
  data->status = status;
  return 0;
}

// The record's storage of at least bytes bytes. Growing may move it; callers
// grow only once they know the conversion succeeds.
uint8_t* reserve(uiAChkData* data, size_t bytes) {
  if (bytes > data->storeSize) uAlloc(&data->store, &data->storeSize, uint32_t(bytes), 1);
  return static_cast<uint8_t*>(data->store);
}

bool isInt(const feObject* v) { return feType(v) == feTInt; }
bool isNumber(const feObject* v) { return feType(v) == feTInt || feType(v) == feTReal; }

int convertScalar(const uiAChklEntry* entry, const feObject* value, uiAChkData* data) {
  switch (entry->type) {
    case 'B':
      if (feType(value) != feTBool) return feErrTypeCheck;
      data->count = feGetBool(value) ? 1 : 0;
      return feOk;
    case 'I':
    case 'i':
    case 'N':
    case 's':
      if (!isInt(value)) return feErrTypeCheck;
      data->count = feGetInt(value);
      return feOk;
    case 'R':
      if (!isNumber(value)) return feErrTypeCheck;
      data->real = feGetNumber(value, nullptr);
      return feOk;
    case 'S':
    case 'C':
    case 'P': {
      const char* text = nullptr;
      int32_t textLength = 0;
      if (feGetString(value, &text, &textLength) != feOk) return feErrTypeCheck;
      const size_t length = size_t(textLength);
      if (entry->type == 'S' && feType(value) == feTString) {
        // The text stays inside the caller's string.
        data->data = const_cast<char*>(text);
        data->count = int32_t(length);
        return feOk;
      }
      if (entry->type == 'P' && length > 255) return feErrTypeCheck;
      // A name's characters live in the name pool, which moves when it grows:
      // S takes a copy of them like C does.
      const size_t prefix = entry->type == 'P' ? 1 : 0;
      uint8_t* copy = reserve(data, prefix + length + 1);
      if (prefix) copy[0] = uint8_t(length);
      if (length) std::memcpy(copy + prefix, text, length);
      copy[prefix + length] = '\0';
      data->data = copy;
      data->count = int32_t(length);
      return feOk;
    }
    case 'O': {
      // A plain copy: no reference is taken, the caller's value keeps the body.
      uint8_t* copy = reserve(data, sizeof(feObject));
      std::memcpy(copy, value, sizeof(feObject));
      data->data = copy;
      data->count = 0;
      return feOk;
    }
    case 'Q': {
      void* record = nullptr;
      if (feGetObjRef(value, nullptr, &record) != feOk) return feErrTypeCheck;
      // A restricted entry takes only objects of exactly that class.
      if (record && entry->classId && static_cast<const feObjRecord*>(record)->classId != entry->classId)
        return feErrTypeCheck;
      data->data = record;
      data->count = 0;
      return feOk;
    }
    default:  // D, V, W and unknown letters have no single form
      return feErrTypeCheck;
  }
}

int convertArray(const uiAChklEntry* entry, const feObject* value, uiAChkData* data) {
  const char t = entry->type;
  const bool ints = t == 'I' || t == 'i' || t == 'N' || t == 's';
  const bool reals = t == 'R' || t == 'D' || t == 'W' || t == 'V';
  if ((!ints && !reals) || feType(value) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(value);
  const int8_t count = int8_t(entry->count);
  if (count > 0 && n != count) return feErrLengthCheck;
  // Every element is tested before anything is written, so a failed
  // conversion leaves the record's data as it was.
  for (int32_t i = 0; i < n; ++i) {
    const feObject* e = feArrayElem(value, i);
    if (ints ? !isInt(e) : !isNumber(e)) return feErrTypeCheck;
  }
  if (ints) {
    const size_t width = t == 's' ? sizeof(int16_t) : sizeof(int32_t);
    uint8_t* out = reserve(data, size_t(n) * width);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t v = feGetInt(feArrayElem(value, i));
      if (t == 's') {
        const int16_t s = int16_t(v);
        std::memcpy(out + size_t(i) * width, &s, width);
      } else {
        std::memcpy(out + size_t(i) * width, &v, width);
      }
    }
    data->data = out;
  } else {
    double* out = reinterpret_cast<double*>(reserve(data, size_t(n) * sizeof(double)));
    double converted[3];
    for (int32_t i = 0; i < n; ++i) {
      const double v = feGetNumber(feArrayElem(value, i), nullptr);
      if (n == 3) converted[i] = v;
      else out[i] = v;
    }
    if (n == 3) {
      if (t == 'W' || t == 'V') {
        if (const int rc = ptConvertByFlag(converted, t == 'W' ? 1 : 2)) return rc;
      }
      std::memcpy(out, converted, sizeof converted);
    }
    data->data = out;
  }
  data->count = n;
  return feOk;
}

const uiAChklEntry* byCode(const uiAChklEntry* list, int code) {
  if (!list) return nullptr;
  for (; list->code != 0; ++list)
    if (int16_t(list->code) == int16_t(code)) return list;
  return nullptr;
}

const uiAChklEntry* byKey(const uiAChklEntry* list, uint16_t key) {
  if (!list || key == 0) return nullptr;
  for (; list->code != 0; ++list)
    if (list->key == key) return list;
  return nullptr;
}

uint16_t nameIndexOf(const feObject* key) { return feType(key) == feTName ? feNameIndex(key) : 0; }

// Converts the value under the entry's key in dict; false when it holds none.
bool convertFromDict(const uiAChklEntry* entry, const feObject* dict, uiAChkData* data, int* result) {
  feObject value;
  if (feDictGetNameIdx(dict, uint16_t(entry->key), &value) != feOk) return false;
  // The dictionary keeps its own reference, so text pointing into the value
  // stays valid after the copy is released.
  *result = uiAChkConvert(entry, &value, data);
  feFree(&value);
  return true;
}

}  // namespace

extern "C" {

int uiAChkConvert(const uiAChklEntry* entry, const feObject* value, uiAChkData* data) {
  const int rc = entry->count == 0 ? convertScalar(entry, value, data) : convertArray(entry, value, data);
  if (rc) return fail(data, rc);
  data->status = feOk;
  return int16_t(entry->code);
}

int uiAChkl(const uiAChklEntry* list, const feObject* key, const feObject* value, uiAChkData* data) {
  if (feType(key) != feTName) {
    char type[12];
    std::snprintf(type, sizeof type, "%d", feType(key));
    uAlert(0, "TuiAChkl: key is not a name - ^0", type);
    return fail(data, feErrUndefined);
  }
  const uiAChklEntry* entry = byKey(list, feNameIndex(key));
  if (!entry) return fail(data, feErrUndefined);
  const int code = uiAChkConvert(entry, value, data);
  if (data->status == feErrTypeCheck) {
    const char* text = nullptr;
    size_t length = 0;
    feNameTextOf(uint16_t(entry->key), &text, &length);
    dbgPrintf("WARNING - Type wrong in UI Argument Checker\n");
    // The value's text goes to the debug output with the rest of the
    // warning, never to the script's own output.
    feObject shown;
    const char* valueText = "";
    int32_t valueLength = 0;
    const bool haveText = feCvs(value, nullptr, &shown) == feOk;
    if (haveText) feGetString(&shown, &valueText, &valueLength);
    dbgPrintf("    Type = %c, Key = /%.*s, Value = %.*s\n", entry->type, int32_t(length), text, valueLength, valueText);
    if (haveText) feFree(&shown);
  }
  return code;
}

int uiAChkKeyCode(const uiAChklEntry* list, const feObject* key, uiAChkData* data) {
  const uiAChklEntry* entry = byKey(list, nameIndexOf(key));
  if (!entry) return fail(data, feErrUndefined);
  data->status = feOk;
  return int16_t(entry->code);
}

int uiAChkMakeValue(const uiAChklEntry* list, int code, feObject* slot, uiAChkData* data) {
  const uiAChklEntry* entry = byCode(list, code);
  if (!entry) return fail(data, feErrUndefined);
  data->status = feOk;
  const int result = int16_t(entry->code);
  const char t = entry->type;
  if (entry->count == 0) {
    switch (t) {
      case 'B': feMakeBool(slot, data->count ? 1 : 0); break;
      case 'I':
      case 'i':
      case 'N':
      case 's': feMakeInt(slot, data->count); break;
      case 'R': feMakeReal(slot, data->real); break;
      case 'S': {
        const size_t length = data->count > 0 ? size_t(data->count) : 0;
        if (const int rc = feMakeString(slot, data->data ? static_cast<const char*>(data->data) : nullptr, length))
          return fail(data, rc);
        break;
      }
      case 'C': {
        const char* text = data->data ? static_cast<const char*>(data->data) : "";
        if (const int rc = feMakeString(slot, text, std::strlen(text))) return fail(data, rc);
        break;
      }
      case 'P': {
        const uint8_t* text = static_cast<const uint8_t*>(data->data);
        if (const int rc = feMakeString(slot, text ? reinterpret_cast<const char*>(text + 1) : "", text ? text[0] : 0))
          return fail(data, rc);
        break;
      }
      case 'O':
        if (data->data) feCopyValue(slot, static_cast<const feObject*>(data->data));
        else feMakeNull(slot);
        break;
      case 'Q': feMakeObjRef(slot, data->data); break;
      default: break;  // no single form
    }
    return result;
  }
  const bool ints = t == 'I' || t == 'i' || t == 'N' || t == 's';
  const bool reals = t == 'R' || t == 'D' || t == 'W' || t == 'V';
  if (!ints && !reals) return result;
  const int8_t fixed = int8_t(entry->count);
  int32_t n = fixed > 0 ? fixed : data->count;
  if (n < 0) n = 0;
  if (n > 0 && !data->data) return fail(data, feErrTypeCheck);
  feObject array;
  if (const int rc = feMakeArray(&array, nullptr, uint32_t(n))) return fail(data, rc);
  const uint8_t* bytes = static_cast<const uint8_t*>(data->data);
  double point[3];
  if (reals && n == 3) {
    std::memcpy(point, bytes, sizeof point);
    if (t == 'W' || t == 'V') {
      if (const int rc = ptConvertByFlag(point, t == 'W' ? 257 : 258)) {
        feFree(&array);
        return fail(data, rc);
      }
    }
  }
  for (int32_t i = 0; i < n; ++i) {
    feObject element;
    if (t == 's') {
      int16_t v;
      std::memcpy(&v, bytes + size_t(i) * sizeof v, sizeof v);
      feMakeInt(&element, v);
    } else if (ints) {
      int32_t v;
      std::memcpy(&v, bytes + size_t(i) * sizeof v, sizeof v);
      feMakeInt(&element, v);
    } else {
      double v;
      if (n == 3) v = point[i];
      else std::memcpy(&v, bytes + size_t(i) * sizeof v, sizeof v);
      feMakeReal(&element, v);
    }
    feArrayPut(&array, i, &element);
  }
  *slot = array;
  return result;
}

int uiAChkKeyName(const uiAChklEntry* list, int code, feObject* slot) {
  const uiAChklEntry* entry = byCode(list, code);
  if (!entry) return feErrUndefined;
  return feSetName(slot, uint16_t(entry->key)) == feOk ? feOk : feErrUndefined;
}

int uiAChkGet(const uiAChklEntry* list, const feObject* array, int code, uiAChkData* data) {
  if (feType(array) != feTArray) return fail(data, feErrTypeCheck);
  const uiAChklEntry* entry = byCode(list, code);
  if (!entry) return fail(data, feErrUndefined);
  const int32_t n = feArrayLength(array);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    if (nameIndexOf(feArrayElem(array, i)) == entry->key) return uiAChkConvert(entry, feArrayElem(array, i + 1), data);
  }
  return fail(data, feErrUndefined);
}

int uiAChkDictGet(const uiAChklEntry* list, const feObject* dict, int code, uiAChkData* data) {
  if (feType(dict) != feTDict) return fail(data, feErrTypeCheck);
  for (const uiAChklEntry* entry = byCode(list, code); entry; entry = byCode(entry + 1, code)) {
    int result = 0;
    if (convertFromDict(entry, dict, data, &result)) return result;
  }
  return fail(data, feErrUndefined);
}

void uiDictForEach(const feObject* dict, uiDictCallback callback, void* context, void* argument) {
  if (feType(dict) != feTDict || !callback) return;
  // The entries are copied first, in slot order: a callback that grows the
  // dictionary moves its entries to other slots, and a walk by slot would
  // then miss some and see others twice.
  std::vector<std::pair<feObject, feObject>> entries;
  int32_t capacity = 0;
  feDictMaxLength(dict, &capacity);
  for (int32_t i = 0; i < capacity; ++i) {
    feObject* key = nullptr;
    feObject* value = nullptr;
    if (feDictEntryAt(dict, i, &key, &value) != feOk) break;
    if (feType(key) == feTEmpty) continue;
    feObject k, v;
    feCopyValue(&k, key);
    feCopyValue(&v, value);
    entries.emplace_back(k, v);
  }
  for (auto& [k, v] : entries) {
    callback(context, &k, &v, argument);
    feFree(&k);
    feFree(&v);
  }
}

int uiAChkDictVisit(const feObject* dict, const uiAChklEntry* list, int code, uiDictCallback callback, void* context,
                    void* argument) {
  const uiAChklEntry* entry = byCode(list, code);
  if (!entry || !callback || feType(dict) != feTDict) return 0;
  feObject value;
  if (feDictGetNameIdx(dict, uint16_t(entry->key), &value) != feOk) return 0;
  feObject key;
  feSetName(&key, uint16_t(entry->key));
  callback(context, &key, &value, argument);
  feFree(&value);
  return 0;
}

}  // extern "C"
