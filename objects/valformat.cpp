// aFormat: values placed into a template as text.
#include "core/alloc.h"
#include "core/errors.h"
#include "core/format.h"
#include "fe/arrays.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "objects/scriptsvc.h"

#include <cstring>

namespace {

enum { kElementSize = 64, kEllipsisRoom = 16 };

const char kUnknown[] = "???";

// Appends text when it fits below limit; -1 otherwise.
int append(std::string* out, const char* text, size_t length, size_t limit) {
  if (out->size() + length >= limit) return -1;
  out->append(text, length);
  return 0;
}
int append(std::string* out, const std::string& text, size_t limit) {
  return append(out, text.data(), text.size(), limit);
}

int arrayText(const feObject* array, std::string* out, size_t limit) {
  if (append(out, "[", 1, limit)) return -1;
  const int32_t n = feArrayLength(array);
  for (int32_t i = 0; i < n; ++i) {
    if (limit - out->size() < kEllipsisRoom) return append(out, "...]", 4, limit);
    // Each element in at most 64 bytes: a longer one is cut.
    std::string element;
    if (fmtValueText(feArrayElem(array, i), &element, kElementSize) != 0) element.resize(0);
    if (i > 0 && append(out, " ", 1, limit)) return -1;
    if (append(out, element, limit)) return -1;
  }
  return append(out, "]", 1, limit);
}

}  // namespace

int fmtValueText(const feObject* value, std::string* out, size_t limit) {
  if (!value) return append(out, kUnknown, 3, limit);
  switch (feType(value)) {
    case feTString: {
      uint8_t* data = nullptr;
      uint16_t length = 0;
      feStringData(value, &data, &length);
      if (out->size() + length >= limit) {
        // Cut to what fits (an element's 64 bytes), then report the overflow.
        out->append(reinterpret_cast<const char*>(data), limit - 1 - out->size());
        return -1;
      }
      return append(out, reinterpret_cast<const char*>(data), length, limit);
    }
    case feTName: {
      const char* text = nullptr;
      size_t length = 0;
      feNameText(value, &text, &length);
      return append(out, text, length, limit);
    }
    case feTInt: return append(out, uFormat("%ld", feGetInt(value)), limit);
    case feTReal: return append(out, uFormat("%g", feGetNumber(value, nullptr)), limit);
    case feTBool: return feGetBool(value) ? append(out, "true", 4, limit) : append(out, "false", 5, limit);
    case feTArray: return arrayText(value, out, limit);
    default: return append(out, kUnknown, 3, limit);
  }
}

int fmtTemplate(const feObject* value, const char* templ, size_t length, std::string* out) {
  out->clear();
  const bool isArray = value && feType(value) == feTArray;
  for (size_t i = 0; i < length; ++i) {
    const char c = templ[i];
    if (c != '^') {
      if (append(out, &c, 1, fmtResultSize)) return -1;
      continue;
    }
    if (++i >= length) break;  // a caret at the end gives nothing
    const char next = templ[i];
    if (next < '0' || next > '9') {
      if (append(out, &next, 1, fmtResultSize)) return -1;
      continue;
    }
    const int d = next - '0';
    const feObject* item = nullptr;
    if (isArray) {
      if (d < feArrayLength(value)) item = feArrayElem(value, d);
    } else if (d == 0) {
      item = value;
    }
    const int rc = item ? fmtValueText(item, out, fmtResultSize) : append(out, kUnknown, 3, fmtResultSize);
    if (rc) return -1;
  }
  return 0;
}

// "OS#S".
int aFormatOp(feArgs* args) {
  std::string text;
  if (fmtTemplate(args->in[0].value, args->in[1].text.text, size_t(args->in[1].text.length), &text)) return -1;
  auto* out = static_cast<feArgText*>(args->out[0]);
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(text.size() + 1), 1));
  if (!copy) return feErrLimitCheck;
  std::memcpy(copy, text.data(), text.size());
  out->text = copy;
  out->length = int32_t(text.size());
  return 0;
}
