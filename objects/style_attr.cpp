// Style attributes by key: messages 107 and 108 (a key), 109 and 110 (an
// array of a key, or of a hatch family number and a key), and the key/value
// pairs of the style operators. A key is looked up in the property table
// first, then taken as "name", then in the kind's check list.
#include "objects/style.h"
#include "objects/style_internal.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "ui/achk.h"

#include <cstring>

namespace {

// The property table: script name, code, value type (R real, I integer,
// S text).
struct styleProperty {
  const char* name;
  int code;
  char type;
};
const styleProperty kProperties[] = {
    {"topMargin", styleCodeTopMargin, 'R'},
    {"bottomMargin", styleCodeBottomMargin, 'R'},
    {"leftMargin", styleCodeLeftMargin, 'R'},
    {"rightMargin", styleCodeRightMargin, 'R'},
    {"xScale", styleCodeXScale, 'R'},
    {"align", styleCodeAlign, 'I'},
    {"beforeLead", styleCodeBeforeLead, 'R'},
    {"lineLead", styleCodeLineLead, 'R'},
    {"firstLineIndent", styleCodeFirstIndent, 'R'},
    {"leftIndent", styleCodeLeftIndent, 'R'},
    {"rightIndent", styleCodeRightIndent, 'R'},
    {"size", styleCodeSize, 'R'},
    {"slant", styleCodeSlant, 'R'},
    {"color", styleCodeColor, 'I'},
    {"flag", styleCodeFlags, 'I'},
    {"fontName", styleCodeFontName, 'S'},
    {"width", styleCodeWidth, 'I'},
};

// Check-list codes.
enum {
  kName = 1,
  kTen = 10,      // character size; hatch tolerance
  kEleven = 11,   // character slant; hatch offset
  kTwelve = 12,   // character font name; hatch rotation
  kThirteen = 13, // character colour; hatch scale
  kFourteen = 14, // character flags; family spacing
  kFifteen = 15,  // character width; family inter-line space
  kInset = 16,
  kLines = 17,
  kLineType = 18,
  kPhase = 19,
  kPhaseAngle = 20,
  kPatternLength = 21,
  kPattern = 22,
  kLinePhase = 23,
  kLockPoint = 24,
};

uiAChklEntry* charList;
uiAChklEntry* hatchList;

const styleProperty* propertyOf(const feObject* key) {
  if (feType(key) != feTName) return nullptr;
  for (const styleProperty& p : kProperties)
    if (feNameIs(key, p.name)) return &p;
  return nullptr;
}

// The characters of a string or name value; false for another type.
bool textOf(const feObject* value, const char** text, uint32_t* length) {
  if (feType(value) == feTString) {
    uint8_t* data = nullptr;
    uint16_t n = 0;
    feStringData(value, &data, &n);
    *text = reinterpret_cast<const char*>(data);
    *length = n;
    return true;
  }
  if (feType(value) == feTName) {
    size_t n = 0;
    feNameText(value, text, &n);
    *length = uint32_t(n);
    return true;
  }
  return false;
}

// The font of a character style by name. A font other than the current one
// takes the place of the old id's reference and brings its name along.
int setFontName(styleRec* s, const feObject* value) {
  const char* text = nullptr;
  uint32_t length = 0;
  if (!textOf(value, &text, &length)) return feErrTypeCheck;
  if (s->kind != styleKindChar) return styleOtherKind;
  const int32_t id = styleFontFind(text, length);
  if (id < 0) return styleErrUnknownFont;
  if (uint16_t(id) != s->chr.fontId) {
    styleFontUnref(s->chr.fontId);
    styleSetText(&s->chr.fontName, &s->chr.fontNameLength, text, length);
    s->chr.fontId = uint16_t(id);
    styleFontRef(s->chr.fontId);
  }
  return 0;
}

// A numeric property: reals take integers or reals, integers integers only.
int setProperty(styleRec* s, const styleProperty& p, const feObject* value) {
  if (p.type == 'S') return setFontName(s, value);
  int answer;
  if (p.type == 'I') {
    if (feType(value) != feTInt) return feErrTypeCheck;
    answer = styleSetInt(s, p.code, feGetInt(value));
  } else {
    if (feType(value) != feTInt && feType(value) != feTReal) return feErrTypeCheck;
    answer = styleSetReal(s, p.code, feGetNumber(value, nullptr));
  }
  return answer == 0 ? 0 : styleOtherKind;
}

int setName(styleRec* s, const feObject* value) {
  const char* text = nullptr;
  uint32_t length = 0;
  if (!textOf(value, &text, &length)) return feErrTypeCheck;
  styleSetText(&s->name, &s->nameLength, text, length);
  return 0;
}

// The head fields a hatch's check list names outside a family.
float* hatchHeadField(styleRec* s, int code) {
  switch (code) {
    case kTen: return &s->hatch.tolerance;
    case kEleven: return &s->hatch.offset;
    case kTwelve: return &s->hatch.rotation;
    case kThirteen: return &s->hatch.scale;
    default: return nullptr;
  }
}

// The float fields of a family by check-list code.
float* familyFloat(styleHatchLine* line, int code) {
  switch (code) {
    case kEleven: return &line->offset;
    case kTwelve: return &line->rotation;
    case kFourteen: return &line->spacing;
    case kFifteen: return &line->interLineSpace;
    case kInset: return &line->inset;
    case kPhase: return &line->phase;
    case kPhaseAngle: return &line->phaseAngle;
    case kLinePhase: return &line->linePhase;
    default: return nullptr;
  }
}

uint16_t* familyWord(styleHatchLine* line, int code) {
  switch (code) {
    case kLines: return &line->lines;
    case kLineType: return &line->lineType;
    case kPatternLength: return &line->patternLength;
    case kLockPoint: return &line->lockPoint;
    default: return nullptr;
  }
}

// Sets one field of a check list: character fields, or the hatch head
// (family codes without a family are passed over).
int setFromList(styleRec* s, const feObject* key, const feObject* value) {
  const uiAChklEntry* list = styleCheckList(s->kind);
  if (!list) return styleOtherKind;
  uiAChkData data;
  const int code = uiAChkl(list, key, value, &data);
  if (code == 0) return data.status == feErrUndefined ? styleOtherKind : data.status;
  if (code == kName) return setName(s, value);
  if (s->kind == styleKindChar) {
    switch (code) {
      case kTen: return styleSetReal(s, styleCodeSize, data.real);
      case kEleven: return styleSetReal(s, styleCodeSlant, data.real);
      case kTwelve: return setFontName(s, value);
      case kThirteen: return styleSetInt(s, styleCodeColor, data.count);
      case kFourteen: return styleSetInt(s, styleCodeFlags, data.count);
      case kFifteen: return styleSetInt(s, styleCodeWidth, data.count);
      default: return styleOtherKind;
    }
  }
  if (float* field = hatchHeadField(s, code)) *field = float(data.real);
  return 0;
}

int setFamilyField(styleRec* s, int family, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkl(hatchList, key, value, &data);
  if (code == 0) return data.status == feErrUndefined ? styleOtherKind : data.status;
  styleHatchLine* line = &s->hatch.families[family];
  if (float* f = familyFloat(line, code)) {
    *f = float(data.real);
    return 0;
  }
  if (uint16_t* w = familyWord(line, code)) {
    *w = uint16_t(data.count);
    return 0;
  }
  if (code == kPattern) {
    const auto* values = static_cast<const double*>(data.data);
    for (int i = 0; i < 6; ++i) line->pattern[i] = float(values[i]);
    return 0;
  }
  return styleOtherKind;
}

int getFamilyField(const styleRec* s, int family, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(hatchList, key, &data);
  auto* line = const_cast<styleHatchLine*>(&s->hatch.families[family]);
  if (const float* f = familyFloat(line, code)) return feMakeReal(out, *f);
  if (const uint16_t* w = familyWord(line, code)) return feMakeInt(out, *w);
  if (code == kPattern) {
    feObject values[6];
    for (int i = 0; i < 6; ++i) feMakeReal(&values[i], line->pattern[i]);
    return feMakeArray(out, values, 6);
  }
  return styleOtherKind;
}

// The family number of an index array's first element: 0 and *family, or
// 269 (not an integer, not a hatch) or 267 (beyond the families).
int familyOf(const styleRec* s, const feObject* number, int* family) {
  if (s->kind != styleKindHatch || feType(number) != feTInt) return feErrTypeCheck;
  const int32_t n = feGetInt(number);
  if (n < 0 || n >= int32_t(s->hatch.familyCount)) return feErrRangeCheck;
  *family = n;
  return 0;
}

// The one or two elements of an index array: 0, or 280.
int indexParts(const feObject* index, const feObject** first, const feObject** second) {
  if (feType(index) != feTArray) return feErrLengthCheck;
  const int32_t n = feArrayLength(index);
  if (n != 1 && n != 2) return feErrLengthCheck;
  *first = feArrayElem(index, 0);
  *second = n == 2 ? feArrayElem(index, 1) : nullptr;
  return 0;
}

}  // namespace

void styleAttrInit() {
  if (!charList)
    uiDefAChkl(&charList, kName, "name", "S", kTen, "size", "R", kEleven, "slant", "R", kThirteen, "color", "I",
               kFourteen, "flag", "I", kTwelve, "fontName", "S", kFifteen, "width", "I", 0);
  if (!hatchList)
    uiDefAChkl(&hatchList, kName, "name", "S", kTen, "tolerance", "R", kTwelve, "rotation", "R", kLines, "lines",
               "I", kEleven, "offset", "R", kThirteen, "scale", "R", kFourteen, "spacing", "R", kFifteen,
               "interLineSpace", "R", kInset, "inset", "R", kLineType, "lineType", "I", kPhase, "phase", "R",
               kPhaseAngle, "phaseAngle", "R", kLinePhase, "linephase", "R", kPatternLength, "patternlen", "I",
               kLockPoint, "lockpoint", "I", kPattern, "pattern", "6D", 0);
}

const uiAChklEntry* styleCheckList(uint16_t kind) {
  if (kind == styleKindChar) return charList;
  if (kind == styleKindHatch) return hatchList;
  return nullptr;
}

int styleGetAttr(const styleRec* s, const feObject* key, feObject* out) {
  if (const styleProperty* p = propertyOf(key)) {
    int status = styleUnknownCode;
    if (p->type == 'S') {
      const char* text = styleGetPtr(s, p->code, nullptr, &status);
      if (status != styleFound) return styleOtherKind;
      return feMakeString(out, text, std::strlen(text));
    }
    const double v = styleGetReal(s, p->code, 0.0, &status);
    if (status != styleFound) return styleOtherKind;
    return p->type == 'I' ? feMakeInt(out, styleGetInt(s, p->code, 0, nullptr)) : feMakeReal(out, v);
  }
  if (feNameIs(key, "name")) return feMakeString(out, s->name ? s->name : "", s->nameLength);
  if (s->kind == styleKindHatch) {
    uiAChkData data;
    const int code = uiAChkKeyCode(hatchList, key, &data);
    if (const float* field = hatchHeadField(const_cast<styleRec*>(s), code)) return feMakeReal(out, *field);
  }
  return styleOtherKind;
}

int styleSetAttr(styleRec* s, const feObject* key, const feObject* value) {
  if (const styleProperty* p = propertyOf(key)) return setProperty(s, *p, value);
  if (feNameIs(key, "name")) return setName(s, value);
  return setFromList(s, key, value);
}

int styleGetIndexed(const styleRec* s, const feObject* index, feObject* out) {
  const feObject* first = nullptr;
  const feObject* second = nullptr;
  if (const int answer = indexParts(index, &first, &second)) return answer;
  if (!second) return styleGetAttr(s, first, out);
  int family = 0;
  if (const int answer = familyOf(s, first, &family)) return answer;
  return getFamilyField(s, family, second, out);
}

int styleSetIndexed(styleRec* s, const feObject* index, const feObject* value) {
  const feObject* first = nullptr;
  const feObject* second = nullptr;
  if (const int answer = indexParts(index, &first, &second)) return answer;
  if (!second) return styleSetAttr(s, first, value);
  int family = 0;
  if (const int answer = familyOf(s, first, &family)) return answer;
  return setFamilyField(s, family, second, value);
}

int styleSetPairs(styleRec* s, const feObject* array) {
  if (feType(array) == feTNull) return 0;
  if (feType(array) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(array);
  for (int32_t i = 0; i < n; i += 2) {
    if (i + 1 >= n) return feErrLengthCheck;
    const feObject* key = feArrayElem(array, i);
    const feObject* value = feArrayElem(array, i + 1);
    int answer;
    if (s->kind == styleKindHatch && feType(key) == feTInt) {
      // Family n and the pairs of its fields; the record grows to hold it.
      const int32_t family = feGetInt(key);
      if (family < 0 || family > int32_t(styleFamilyMax)) return feErrRangeCheck;
      if (feType(value) != feTArray) return feErrTypeCheck;
      if (s->hatch.familyCount < uint32_t(family) + 1) styleResizeFamilies(s, uint32_t(family) + 1);
      answer = 0;
      const int32_t m = feArrayLength(value);
      for (int32_t k = 0; k < m && answer == 0; k += 2) {
        if (k + 1 >= m) return feErrLengthCheck;
        const feObject* fieldKey = feArrayElem(value, k);
        if (feType(fieldKey) != feTName) return feErrTypeCheck;
        answer = setFamilyField(s, family, fieldKey, feArrayElem(value, k + 1));
        if (answer == styleOtherKind) answer = 0;
      }
    } else {
      if (feType(key) != feTName) return feErrTypeCheck;
      answer = styleSetAttr(s, key, value);
    }
    if (answer != 0 && answer != styleOtherKind) return answer;
  }
  return 0;
}
