// Typed arrays: text items separated by ";" read into reals by a parser, and
// arrays of numbers written as text by a formatter; the operators built on
// them and the two operators kept for scripts that still call them.
#include "fe/script.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/operator.h"
#include "fe/strings.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Hands one item to the parser. The item is copied into its own terminated
// buffer: the parser never sees, and can never change, the text it came
// from (a string body that other values share, or the name pool, which a
// parser that runs script code may grow).
double parseItem(feValueParser parser, const char* text, size_t length) {
  const std::string item(text, length);
  double value = 0.0;
  if (parser(item.c_str(), int32_t(item.size()), &value) != feOk) value = 0.0;
  return value;
}

// ---- Operators ----

feValueParser parserOf(const feArgs* args) { return reinterpret_cast<feValueParser>(args->in[1].word); }
feValueFormatter formatterOf(const feArgs* args) { return reinterpret_cast<feValueFormatter>(args->in[1].word); }

// "SP#O": the text, the parser; an array of the values read.
int opStringToArray(feArgs* args) {
  const feValueParser parser = parserOf(args);
  if (!parser) return feErrUnimplemented;
  const feArgText& text = args->in[0].text;
  double values[feTypedArrayMax];
  const int32_t n = feTypedArrayRead(text.text, text.length > 0 ? size_t(text.length) : 0, parser, values);
  return feMakeRealArray(static_cast<feObject*>(args->out[0]), values, uint32_t(n));
}

// "OP#S": the array, the formatter; the joined text.
int opArrayToString(feArgs* args) {
  const feValueFormatter formatter = formatterOf(args);
  if (!formatter) return feErrUnimplemented;
  char* text = nullptr;
  int32_t length = 0;
  if (const int rc = feTypedArrayWrite(args->in[0].value, formatter, &text, &length)) return rc;
  auto* out = static_cast<feArgText*>(args->out[0]);
  out->text = text;
  out->length = length;
  return feOk;
}

// "!": kept for scripts that call it; the log window is shown elsewhere.
int opPostFEWindow(feArgs*) { return feOk; }

// "O": kept for scripts that call it; accepts null or a file value.
int opSetLogFile(feArgs* args) {
  const int type = feType(args->in[0].value);
  return type == feTNull || type == feTFile ? feOk : feErrTypeCheck;
}

}  // namespace

int32_t feTypedArrayRead(const char* text, size_t length, feValueParser parser, double* out) {
  if (!text) length = 0;
  int32_t n = 0;
  size_t start = 0;
  while (n < feTypedArrayMax) {
    const void* semicolon = length > start ? std::memchr(text + start, ';', length - start) : nullptr;
    if (semicolon) {
      const size_t end = size_t(static_cast<const char*>(semicolon) - text);
      out[n++] = parseItem(parser, text + start, end - start);
      start = end + 1;
      continue;
    }
    // The last item: leading blanks skipped, nothing left means no item.
    while (start < length && isBlank(text[start])) ++start;
    if (start < length) out[n++] = parseItem(parser, text + start, length - start);
    break;
  }
  return n;
}

int feTypedArrayWrite(const feObject* array, feValueFormatter formatter, char** text, int32_t* textLength) {
  *text = nullptr;
  *textLength = 0;
  if (!array || feType(array) != feTArray) return feErrTypeCheck;
  const int32_t count = feArrayLength(array);
  std::string joined;
  for (int32_t i = 0; i < count; ++i) {
    const feObject* e = feArrayElem(array, i);
    if (feType(e) != feTInt && feType(e) != feTReal) return feErrTypeCheck;
    // Room for the longest item, its terminator, and a guard byte that
    // stays 0 whatever the formatter writes.
    char item[feTypedItemMax + 2] = {};
    formatter(feGetNumber(e, nullptr), feTypedItemMax + 1, item, -1);
    item[feTypedItemMax] = 0;
    if (i > 0) joined += "; ";
    joined += item;
    if (joined.size() > feStringMaxLength) return feErrLimitCheck;
  }
  if (joined.empty()) return feOk;
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(joined.size() + 1), 1));
  std::memcpy(block, joined.c_str(), joined.size() + 1);
  *text = block;
  *textLength = int32_t(joined.size());
  return feOk;
}

void scriptRegisterOps(const scriptConverters& c) {
  const auto word = [](auto fn) { return reinterpret_cast<uintptr_t>(fn); };
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  feRegisterOp("aStringToLengthArray", opStringToArray, "SP#O", word(c.length), instance);
  feRegisterOp("aStringToAngleArray", opStringToArray, "SP#O", word(c.angle), instance);
  feRegisterOp("aStringToAngleArray2", opStringToArray, "SP#O", word(c.angle), instance);
  feRegisterOp("aStringToFactorArray", opStringToArray, "SP#O", word(c.factor), instance);
  feRegisterOp("aAngleArrayToString", opArrayToString, "OP#S", word(c.angleText), instance);
  feRegisterOp("aLengthArrayToString", opArrayToString, "OP#S", word(c.lengthText), instance);
  feRegisterOp("aFactorArrayToString", opArrayToString, "OP#S", word(c.factorText), instance);
  feRegisterOp("aPostFEWindow", opPostFEWindow, "!", 0, instance);
  feRegisterOp("aSetLogFile", opSetLogFile, "O", 0, instance);
}
