// The typed accessors of styles by attribute code: the high byte of a code
// names the kind it belongs to, and a code of another kind, or one the kind
// does not have, answers the caller's default with its status.
#include "objects/style.h"
#include "objects/style_internal.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum class Field { none, f32, f64, u16, text };

struct FieldRef {
  Field type = Field::none;
  void* at = nullptr;
};

// The field of a code in s; none when s's kind has no such code.
FieldRef fieldOf(const styleRec* s, int code) {
  auto* r = const_cast<styleRec*>(s);
  switch (code) {
    case styleCodeName: return {Field::text, &r->name};
    default: break;
  }
  if ((code >> 8) != (s->kind >> 8)) return {};
  switch (code) {
    case styleCodeTopMargin: return {Field::f64, &r->text.topMargin};
    case styleCodeBottomMargin: return {Field::f64, &r->text.bottomMargin};
    case styleCodeLeftMargin: return {Field::f64, &r->text.leftMargin};
    case styleCodeRightMargin: return {Field::f64, &r->text.rightMargin};
    case styleCodeXScale: return {Field::f32, &r->text.xScale};
    case styleCodeAlign: return {Field::u16, &r->para.align};
    case styleCodeBeforeLead: return {Field::f64, &r->para.beforeLead};
    case styleCodeLineLead: return {Field::f64, &r->para.lineLead};
    case styleCodeFirstIndent: return {Field::f64, &r->para.firstLineIndent};
    case styleCodeLeftIndent: return {Field::f64, &r->para.leftIndent};
    case styleCodeRightIndent: return {Field::f64, &r->para.rightIndent};
    case styleCodeSize: return {Field::f32, &r->chr.size};
    case styleCodeSlant: return {Field::f32, &r->chr.slant};
    case styleCodeFlags: return {Field::u16, &r->chr.flags};
    case styleCodeColor: return {Field::u16, &r->chr.color};
    case styleCodeFontId: return {Field::u16, &r->chr.fontId};
    case styleCodeFontName: return {Field::text, &r->chr.fontName};
    case styleCodeWidth: return {Field::u16, &r->chr.width};
    case styleCodeFamilyCount: return {Field::u16, &r->hatch.familyCount};
    case styleCodeHatchRotation: return {Field::f32, &r->hatch.rotation};
    case styleCodeHatchScale: return {Field::f32, &r->hatch.scale};
    case styleCodeHatchTolerance: return {Field::f32, &r->hatch.tolerance};
    case styleCodeHatchOffset: return {Field::f32, &r->hatch.offset};
    default: return {};
  }
}

// The status of a code that has no field in s.
int missing(const styleRec* s, int code) {
  const int kindByte = code >> 8;
  const bool someKind = kindByte >= (styleKindText >> 8) && kindByte <= (styleKindHatch >> 8);
  return someKind && kindByte != (s->kind >> 8) ? styleOtherKind : styleUnknownCode;
}

void setStatus(int* status, int value) {
  if (status) *status = value;
}

// A number as a 16-bit field keeps: truncated toward zero, clamped.
uint16_t toU16(double v) {
  if (!(v > 0)) return 0;
  if (v >= 65535.0) return 65535;
  return uint16_t(v);
}

// Number fields set from a double; the special fields keep their rules.
int setNumber(styleRec* s, int code, double value) {
  const FieldRef f = fieldOf(s, code);
  switch (f.type) {
    case Field::f32: *static_cast<float*>(f.at) = float(value); return 0;
    case Field::f64: *static_cast<double*>(f.at) = value; return 0;
    case Field::u16: {
      const uint16_t v = toU16(value);
      if (code == styleCodeFontId) {
        if (v != s->chr.fontId) {
          styleFontUnref(s->chr.fontId);
          s->chr.fontId = v;
          styleFontRef(v);
        }
        return 0;
      }
      if (code == styleCodeFamilyCount) {
        styleResizeFamilies(s, v > styleFamilyMax + 1 ? styleFamilyMax + 1 : v);
        return 0;
      }
      *static_cast<uint16_t*>(f.at) = v;
      return 0;
    }
    case Field::text: return styleUnknownCode;
    case Field::none: break;
  }
  return missing(s, code);
}

}  // namespace

double styleGetReal(const styleRec* s, int code, double def, int* status) {
  if (!s) {
    setStatus(status, styleUnknownCode);
    return def;
  }
  const FieldRef f = fieldOf(s, code);
  switch (f.type) {
    case Field::f32: setStatus(status, styleFound); return *static_cast<const float*>(f.at);
    case Field::f64: setStatus(status, styleFound); return *static_cast<const double*>(f.at);
    case Field::u16: setStatus(status, styleFound); return *static_cast<const uint16_t*>(f.at);
    case Field::text: setStatus(status, styleUnknownCode); return def;
    case Field::none: break;
  }
  setStatus(status, missing(s, code));
  return def;
}

int32_t styleGetInt(const styleRec* s, int code, int32_t def, int* status) {
  int found = styleUnknownCode;
  const double v = styleGetReal(s, code, 0.0, &found);
  setStatus(status, found);
  if (found != styleFound) return def;
  if (!std::isfinite(v)) return def;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

const char* styleGetPtr(const styleRec* s, int code, const char* def, int* status) {
  if (!s) {
    setStatus(status, styleUnknownCode);
    return def;
  }
  const FieldRef f = fieldOf(s, code);
  if (f.type == Field::text) {
    setStatus(status, styleFound);
    const char* text = *static_cast<char* const*>(f.at);
    return text ? text : "";
  }
  setStatus(status, f.type == Field::none ? missing(s, code) : styleUnknownCode);
  return def;
}

int styleSetReal(styleRec* s, int code, double value) {
  if (!s) return styleUnknownCode;
  return setNumber(s, code, value);
}

int styleSetInt(styleRec* s, int code, int32_t value) {
  if (!s) return styleUnknownCode;
  return setNumber(s, code, double(value));
}

int styleFontSpec(const styleRec* s, styleFontSpecRec* out) {
  if (!s || s->kind != styleKindChar) return styleOtherKind;
  out->size = s->chr.size;
  out->slant = s->chr.slant;
  out->flags = s->chr.flags;
  out->color = s->chr.color;
  out->fontId = s->chr.fontId;
  out->width = s->chr.width;
  out->fontNameLength = s->chr.fontNameLength;
  return 0;
}

int styleHatchFamily(const styleRec* s, int n, styleHatchLine* out) {
  if (!s || s->kind != styleKindHatch || n < 0 || n >= int(s->hatch.familyCount)) return styleOtherKind;
  *out = s->hatch.families[n];
  return 0;
}
