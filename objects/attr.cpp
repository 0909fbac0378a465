// Attributes by name from native code: the key becomes a name value, the
// value is converted by a type code, and messages 107 and 108 do the rest.
#include "objects/attr.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "objects/attr_internal.h"
#include "objects/objmsg.h"

#include <cstdarg>
#include <cstring>

namespace {

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

// Exactly n numbers of an array answer into out.
int numbers(const feObject* value, int32_t n, double* out) {
  if (feType(value) != feTArray || feArrayLength(value) != n) return feErrTypeCheck;
  for (int32_t i = 0; i < n; ++i) {
    const feObject* item = feArrayElem(value, i);
    if (feType(item) != feTInt && feType(item) != feTReal) return feErrTypeCheck;
    out[i] = feGetNumber(item, nullptr);
  }
  return 0;
}

int convert(const feObject* value, uint32_t type, void* out, uint32_t* outLength) {
  switch (type) {
    case attrTypeText: {
      const char* text;
      size_t length;
      if (feType(value) == feTString) {
        uint8_t* data;
        uint16_t n;
        feStringData(value, &data, &n);
        text = reinterpret_cast<const char*>(data);
        length = n;
      } else if (feType(value) == feTName) {
        feNameText(value, &text, &length);
      } else {
        return feErrTypeCheck;
      }
      char* copy = static_cast<char*>(uAlloc(static_cast<char**>(out), nullptr, uint32_t(length + 1), 1));
      std::memcpy(copy, text, length);
      copy[length] = 0;
      if (outLength) *outLength = uint32_t(length);
      return 0;
    }
    case attrTypeInt:
      if (feType(value) != feTInt) return feErrTypeCheck;
      *static_cast<int32_t*>(out) = feGetInt(value);
      return 0;
    case attrTypeRealE:
    case attrTypeReal:
      if (feType(value) != feTInt && feType(value) != feTReal) return feErrTypeCheck;
      *static_cast<double*>(out) = feGetNumber(value, nullptr);
      return 0;
    case attrType3D: return numbers(value, 3, static_cast<double*>(out));
    case attrType9D: return numbers(value, 9, static_cast<double*>(out));
    default: return feErrUnknownKey;
  }
}

}  // namespace

int attrMakeValue(uint32_t type, va_list* args, feObject* out) {
  switch (type) {
    case attrTypeReal: return feMakeReal(out, va_arg(*args, double));
    case attrTypeText: {
      const char* text = va_arg(*args, const char*);
      const int length = va_arg(*args, int);
      return feMakeString(out, text, length > 0 ? size_t(length) : 0);
    }
    case attrType3D: {
      const double* xyz = va_arg(*args, const double*);
      feObject items[3];
      for (int i = 0; i < 3; ++i) feMakeReal(&items[i], xyz[i]);
      return feMakeArray(out, items, 3);
    }
    case attrTypeInt:
    case attrTypeHInt: return feMakeInt(out, va_arg(*args, int));
    case attrTypeBool: return feMakeBool(out, va_arg(*args, int) != 0);
    case attrTypeCText: {
      const char* text = va_arg(*args, const char*);
      return feMakeString(out, text, text ? std::strlen(text) : 0);
    }
    default: return -1;
  }
}

int attrGet(gobjRec* object, const char* key, uint32_t type, void* out, uint32_t* outLength) {
  feObject name, value;
  if (const int rc = feMakeName(&name, key, std::strlen(key))) return rc;
  feMakeNull(&value);
  int answer = objMeth(object->classId, msgGetAttr, object, word(&name), word(&value));
  if (answer == 0) answer = convert(&value, type, out, outLength);
  feFree(&value);
  return answer;
}

int attrSet(gobjRec* object, const char* key, uint32_t type, ...) {
  va_list args;
  va_start(args, type);
  feObject value;
  int answer = attrMakeValue(type, &args, &value);
  va_end(args);
  if (answer != 0) return answer;
  feObject name;
  answer = feMakeName(&name, key, std::strlen(key));
  if (answer == 0) answer = objMeth(object->classId, msgSetAttr, object, word(&name), word(&value));
  feFree(&value);
  return answer;
}
