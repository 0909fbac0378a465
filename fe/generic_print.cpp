// The text forms of values: fePrint (the forms of "=" and "=="), cvs and the
// type names.
#include "fe/generic.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/format.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/file.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/strings.h"

#include <cstring>

namespace {

constexpr const char kNoStringValue[] = "--nostringvalue--";  // printed form of values without one
constexpr const char kNoStringVal[] = "--nostringval--";      // cvs text of values without one

// The class name of a program object (at most 8 characters).
void className(const feObject* value, char (&buffer)[9]) { objClassName(value->w0.obj, sizeof buffer, buffer); }

}  // namespace

int fePrint(const feObject* value, int mode) {
  if (mode != 0 && mode != 1) return feOk;
  switch (feType(value)) {
    case feTNull:
      fePrintf("%s", mode == 0 ? kNoStringValue : "-null-");
      return feOk;
    case feTMark:
      fePrintf("%s", mode == 0 ? kNoStringValue : "-mark-");
      return feOk;
    case feTBool:
      fePrintf("%s", value->w0.i ? "true" : "false");
      return feOk;
    case feTInt:
      fePrintf("%ld", value->w0.i);
      return feOk;
    case feTReal:
      fePrintf("%lg", value->w0.d);
      return feOk;
    case feTObject: {
      if (mode == 0) {
        fePrintf("%s", kNoStringValue);
        return feOk;
      }
      char name[9];
      className(value, name);
      fePrintf("-%s-", name);
      return feOk;
    }
    case feTString:
      return feStringPrint(value, mode);
    case feTArray:
      return feArrayPrint(value, mode);
    case feTDict:
      return feDictPrint(value, mode);
    case feTName: {
      const char* text = nullptr;
      size_t length = 0;
      feNameText(value, &text, &length);
      if (mode == 0) fePrintf("%.*s", int32_t(length), text);
      else fePrintf("%s%.*s", feIsExec(value) ? "" : "/", int32_t(length), text);
      return feOk;
    }
    case feTOperator: {
      const char* text = nullptr;
      size_t length = 0;
      feOpNameText(int32_t(value->w0.u & 0xFFFFu), &text, &length);
      if (mode == 0) fePrintf("%.*s", int32_t(length), text);
      else fePrintf("--%.*s--", int32_t(length), text);
      return feOk;
    }
    case feTFile:
      // A file value without a body is malformed: reported like an illegal type.
      if (value->w0.file) return feFilePrint(value, mode);
      [[fallthrough]];
    default:
      dbgPanic("fePrint not legal for FE object type %d\n", int32_t(feType(value)));
      return feOk;
  }
}

int feCvs(const feObject* value, const feObject* destination, feObject* out) {
  if (destination && feType(destination) != feTString) return feErrTypeCheck;
  char buffer[64];
  const char* text = buffer;
  size_t length = 0;
  switch (feType(value)) {
    case feTBool:
      text = value->w0.i ? "true" : "false";
      length = std::strlen(text);
      break;
    case feTString: {
      if (!destination) {
        feCopyValue(out, value);
        return feOk;
      }
      uint8_t* data = nullptr;
      uint16_t n = 0;
      feStringData(value, &data, &n);
      text = reinterpret_cast<const char*>(data);
      length = n;
      break;
    }
    case feTName:
      feNameText(value, &text, &length);
      break;
    case feTInt:
      length = size_t(uSprintf(buffer, "%ld", value->w0.i));
      break;
    case feTReal:
      length = size_t(uSprintf(buffer, "%g", value->w0.d));
      break;
    default:
      text = kNoStringVal;
      length = sizeof kNoStringVal - 1;
      break;
  }
  if (!destination) return feMakeString(out, text, length);
  uint8_t* data = nullptr;
  uint16_t room = 0;
  feStringData(destination, &data, &room);
  if (length > room) return feErrRangeCheck;
  // The text may be a part of the destination's own body: move, not copy.
  if (length) std::memmove(data, text, length);
  *out = *destination;
  out->length = uint16_t(length);
  feDup(out);
  return feOk;
}

int feTypeName(const feObject* value, feObject* out) {
  static const char* const kNames[] = {
      nullptr,       "nulltype", "booleantype", "marktype",     "stringtype", "nametype",
      nullptr,       "integertype", "realtype",  "dicttype",    "arraytype",  "operatortype",
      "filetype",
  };
  const int type = feType(value);
  if (type == feTObject) {
    char name[9];
    className(value, name);
    char text[16];
    uSprintf(text, "%stype", name);
    return feNameExec(text, out);
  }
  if (type < int(sizeof kNames / sizeof kNames[0]) && kNames[type]) return feNameExec(kNames[type], out);
  dbgPanic("feType not legal for FE object type %d\n", int32_t(type));
  return feNameExec("???", out);
}
