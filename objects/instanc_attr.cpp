// The keys of instances (messages 107, 108 and 406): the placement's
// origin, the item number and quantity texts, and the symbol's parameters
// by name; and the parameter arrays that scripts give aInstance.
#include "objects/instanc.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/script.h"
#include "fe/units_ops.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "ui/achk.h"

#include <cstring>
#include <string_view>

namespace {

enum : int { kPt0 = 130, kOrigin = 170, kItemNo = 200, kQuantity = 201, kControlPts = 21 };

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kPt0, "pt0", "3W", kOrigin, "origin", "3W", kItemNo, "itemno", "S", kQuantity, "quantity", "S",
               kControlPts, "control-pts", "B", kControlPts, "xvis", "B", 0);
  return list;
}

std::string_view keyText(const feObject* key) {
  if (!key || feType(key) != feTName) return {};
  const char* text = nullptr;
  size_t length = 0;
  feNameText(key, &text, &length);
  return {text ? text : "", length};
}

const symbParam* findParam(int32_t count, const symbParam* params, std::string_view name) {
  for (int32_t i = 0; i < count; ++i)
    if (params[i].name && name == params[i].name) return &params[i];
  return nullptr;
}

int super(instRec* instance, int message, const feObject* key, const void* value) {
  return objMeth(objSuperClass(instClassId()), message, instance, reinterpret_cast<intptr_t>(key),
                 reinterpret_cast<intptr_t>(value));
}

void setText(char** slot, const uiAChkData& data) {
  uFreeIfSet(slot);
  *slot = uStrDup(data.data ? static_cast<const char*>(data.data) : "", uint32_t(data.count > 0 ? data.count : 0),
                  nullptr);
}

// A symbol parameter set by name: kept pending until message 320.
int setParam(instRec* instance, std::string_view name, const feObject* value, int fallback) {
  if (feType(value) != feTInt && feType(value) != feTReal) return fallback;
  const double number = feGetNumber(value, nullptr);
  dbgPrintf("setattr: key: %.*s, value: %g\n", int32_t(name.size()), name.data(), number);
  int32_t count = 0;
  const symbParam* params = nullptr;
  symbInfo(instance->symbol, nullptr, &count, &params);
  if (!findParam(count, params, name)) return fallback;
  if (!instance->pending) {
    instance->pending = symbParamsCopy(count, params);
    instance->pendingCount = instance->pending ? count : 0;
  }
  for (int32_t i = 0; i < instance->pendingCount; ++i)
    if (instance->pending[i].name && name == instance->pending[i].name) instance->pending[i].value = number;
  objDocDirty(&instance->head);
  return 0;
}

}  // namespace

int instGetAttr(instRec* instance, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  double origin[3] = {instance->placement[3], instance->placement[7], instance->placement[11]};
  switch (code) {
    case kPt0:
    case kOrigin: data.data = origin; break;
    case kItemNo:
      data.data = instance->itemNo;
      data.count = instance->itemNo ? int32_t(std::strlen(instance->itemNo)) : 0;
      break;
    case kQuantity:
      data.data = instance->quantity;
      data.count = instance->quantity ? int32_t(std::strlen(instance->quantity)) : 0;
      break;
    default: {
      const int answer = super(instance, msgGetAttr, key, out);
      if (answer == 0) return 0;
      int32_t count = 0;
      const symbParam* params = nullptr;
      symbInfo(instance->symbol, nullptr, &count, &params);
      const std::string_view name = keyText(key);
      const symbParam* param = name.empty() ? nullptr : findParam(count, params, name);
      if (!param) return answer;
      feFree(out);
      return feMakeReal(out, param->value);
    }
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int instSetAttr(instRec* instance, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  if (code != 0 && data.status != 0) return data.status;
  switch (code) {
    case kOrigin: {
      const auto* point = static_cast<const double*>(data.data);
      instance->placement[3] = point[0];
      instance->placement[7] = point[1];
      instance->placement[11] = point[2];
      instUpdateBox(instance);
      return 0;
    }
    case kItemNo: setText(&instance->itemNo, data); return 0;
    case kQuantity: setText(&instance->quantity, data); return 0;
    case kPt0: return super(instance, msgSetAttr, key, value);
    default: {
      const int answer = super(instance, msgSetAttr, key, value);
      if (answer == 0) return 0;
      const std::string_view name = keyText(key);
      return name.empty() ? answer : setParam(instance, name, value, answer);
    }
  }
}

int instEnumKeys(instRec* instance, objKeyCallback callback, void* context) {
  static const int codes[] = {kOrigin, kItemNo, kQuantity, 0};
  return gobjAttrEnum(callback, context, codes, checkList(), instClassId(), instance);
}

int instParseParams(const feObject* array, int32_t* count, symbParam** params) {
  *count = 0;
  *params = nullptr;
  if (!array || feType(array) != feTArray) return feErrTypeCheck;
  // Pairs: an odd last element has no value and is left out.
  const int32_t pairs = feArrayLength(array) / 2;
  if (pairs <= 0) return 0;
  if (pairs > 0xFFFF) return feErrLimitCheck;
  symbParam* list = nullptr;
  uAlloc(&list, nullptr, uint32_t(pairs), sizeof(symbParam));
  for (int32_t i = 0; i < pairs; ++i) {
    const feObject* key = feArrayElem(array, 2 * i);
    const feObject* value = feArrayElem(array, 2 * i + 1);
    const char* text = nullptr;
    int32_t length = 0;
    int failure = 0;
    if (feGetString(key, &text, &length) != feOk) failure = feErrTypeCheck;
    double number = 0;
    if (!failure) {
      const char* valueText = nullptr;
      int32_t valueLength = 0;
      if (feType(value) == feTInt || feType(value) == feTReal) number = feGetNumber(value, nullptr);
      else if (feGetString(value, &valueText, &valueLength) == feOk)
        failure = unitParseLength(valueText, valueLength, &number);
      else failure = feErrTypeCheck;
    }
    if (failure) {
      symbParamsFree(i, &list);
      return failure;
    }
    list[i].name = uStrDup(text ? text : "", uint32_t(length), nullptr);
    list[i].value = number;
  }
  *count = pairs;
  *params = list;
  return 0;
}
