// The units operators: the internal unit, angle and length parameters,
// values to text and text to values, unit definitions and the current units
// record.
#include "fe/units_ops.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/units.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/expeval.h"
#include "fe/operator.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum { kTextSize = 256 };

unitModeStore modeStore;

// Hands a terminated text to an "S" result slot.
int putText(feArgs* args, int slot, const char* text) {
  const uint32_t n = uint32_t(std::strlen(text));
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, n + 1, 1));
  std::memcpy(block, text, n + 1);
  auto* out = static_cast<feArgText*>(args->out[slot]);
  out->text = block;
  out->length = int32_t(n);
  return feOk;
}

double* realOut(feArgs* args, int slot) { return static_cast<double*>(args->out[slot]); }

// The evaluator brings the operand with the lower unit tag to the higher.
double convertTag(double value, int16_t from, int16_t to) { return unitRescale(to, value, from); }

// "!B": the internal unit is the millimetre (true) or the inch.
int opSetMM(feArgs* args) {
  const uint32_t word = args->in[0].i ? 1 : 0;
  unitSetMode(word);
  if (modeStore) modeStore(word);
  return feOk;
}

// "!#B"
int opGetMM(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = unitGetMode() == 1;
  return feOk;
}

// "!RRR": offset, factor, step.
int opAngleSetParams(feArgs* args) {
  unitAngleSetParams(args->in[0].d, args->in[1].d, args->in[2].d);
  return feOk;
}

// "!#RRR": offset, factor, step.
int opAngleGetParams(feArgs* args) {
  unitAngleGetParams(realOut(args, 0), realOut(args, 1), realOut(args, 2));
  return feOk;
}

// An array of alternating keys and values: its length, 269 for another
// value, 280 for an odd length.
int keyList(const feObject* list, int32_t* length) {
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  *length = feArrayLength(list);
  return (*length % 2) ? feErrLengthCheck : feOk;
}

// "O": key-value pairs applied to the current units record.
int opLengthSetParams(feArgs* args) {
  const feObject* list = args->in[0].value;
  int32_t n = 0;
  if (const int rc = keyList(list, &n)) return rc;
  for (int32_t i = 0; i < n; i += 2) {
    const int rc = unitRecordSet(unitCurrent(), unitKeyCode(feArrayElem(list, i)), feArrayElem(list, i + 1));
    if (rc) return rc;
  }
  return feOk;
}

// "!R#S"
int opLengthToString(feArgs* args) {
  char text[kTextSize];
  unitFormatDefault(args->in[0].d, kTextSize, text, unitPrecCurrent);
  return putText(args, 0, text);
}

// "!R#S": a scale as "1:n" below 1, else "n:1" (the C library's "%g").
int opScaleToString(feArgs* args) {
  const double scale = args->in[0].d;
  char text[kTextSize];
  if (scale < 1) std::snprintf(text, sizeof text, "1:%g", 1.0 / scale);
  else std::snprintf(text, sizeof text, "%g:1", scale);
  return putText(args, 0, text);
}

// "!Ri#S": a value of a dimension; dimension 0 a plain number rounded to 6
// decimals without trailing or leading zeros.
int opCV2S(feArgs* args) {
  const double value = args->in[0].d;
  const int32_t dimension = args->in[1].i;
  char text[kTextSize];
  if (dimension == 0) {
    const double magnitude = std::fabs(value) + 0.5e-6;
    const bool negative = value < 0 && std::fabs(value) >= 0.5e-6;
    unitFormatNumber(text, kTextSize, negative ? -magnitude : magnitude, 6, false, false);
  } else {
    unitFormatValue(value, dimension, kTextSize, text, unitPrecCurrent, nullptr, -1);
  }
  return putText(args, 0, text);
}

// "Si#R": text to a value of a dimension (10: a length).
int opCS2V(feArgs* args) {
  const feArgText& t = args->in[0].text;
  return unitParseValue(t.text, t.length, args->in[1].i, realOut(args, 0));
}

// "!R#S": a plain number with the current flags.
int opScalar2S(feArgs* args) {
  char text[kTextSize];
  unitFormatValue(args->in[0].d, 0, kTextSize, text, unitPrecCurrent, nullptr, -1);
  return putText(args, 0, text);
}

// "S#R" and "!S#R"
int opStringToLength(feArgs* args) {
  const feArgText& t = args->in[0].text;
  return unitParseLength(t.text, t.length, realOut(args, 0));
}

int opStringToAngle(feArgs* args) {
  const feArgText& t = args->in[0].text;
  return unitParseAngle(t.text, t.length, realOut(args, 0));
}

// "!R#S": an angle in turns, in the automatic mode.
int opAngleToString(feArgs* args) {
  char text[kTextSize];
  unitFormatAngle(args->in[0].d, kTextSize, text, -1);
  return putText(args, 0, text);
}

// The text of a key-value argument, terminated.
bool keyText(const feObject* value, std::string* out) {
  const char* text = nullptr;
  int32_t length = 0;
  if (feGetString(value, &text, &length)) return false;
  out->assign(text, size_t(length));
  return true;
}

// "O#S": "value", "dimension", "precflag", "format" and the flag switches
// "fraction", "abrv", "lead0", "trail0" for this call only.
int opValueToString(feArgs* args) {
  const feObject* list = args->in[0].value;
  int32_t n = 0;
  if (const int rc = keyList(list, &n)) return rc;
  double value = 0;
  int32_t dimension = 0, precision = unitPrecCurrent;
  int32_t flags = unitGetFlags();
  std::string format;
  for (int32_t i = 0; i < n; i += 2) {
    const feObject* v = feArrayElem(list, i + 1);
    const int code = unitKeyCode(feArrayElem(list, i));
    switch (code) {
      case unitKeyValue:
        if (feGetRealArg(v, &value)) return feErrTypeCheck;
        break;
      case unitKeyDimension:
        if (feGetIntArg(v, &dimension)) return feErrTypeCheck;
        break;
      case unitKeyPrecFlag:
        if (feGetIntArg(v, &precision)) return feErrTypeCheck;
        break;
      case unitKeyFormat:
        if (!keyText(v, &format)) return feErrTypeCheck;
        break;
      case unitKeyFraction:
      case unitKeyAbrv:
      case unitKeyLead0:
      case unitKeyTrail0: {
        // The switch applies to a scratch record, so the current one is
        // never changed.
        unitsRec scratch = *unitCurrent();
        scratch.flags = uint16_t(flags);
        if (const int rc = unitRecordSet(&scratch, code, v)) return rc;
        flags = scratch.flags;
        break;
      }
      default:
        return feErrUnknownKey;
    }
  }
  char text[kTextSize];
  unitFormatValue(value, dimension, kTextSize, text, precision, format.empty() ? nullptr : format.c_str(), flags);
  return putText(args, 0, text);
}

// Makes a units record with another unit list current while it lives.
class displayUnitsScope {
public:
  explicit displayUnitsScope(const std::string& names) : saved_(unitCurrent()) {
    if (names.empty()) return;
    scratch_ = *saved_;
    if (unitParseList(names.data(), int32_t(names.size()), scratch_.units, unitListMax) == 0) return;
    unitSetCurrent(&scratch_);
    active_ = true;
  }
  ~displayUnitsScope() {
    if (active_) unitSetCurrent(saved_);
  }
  displayUnitsScope(const displayUnitsScope&) = delete;
  displayUnitsScope& operator=(const displayUnitsScope&) = delete;

private:
  unitsRec* saved_;
  unitsRec scratch_{};
  bool active_ = false;
};

// "O#R": "string", "dimension", "format".
int opStringToValue(feArgs* args) {
  const feObject* list = args->in[0].value;
  int32_t n = 0;
  if (const int rc = keyList(list, &n)) return rc;
  std::string text, format;
  int32_t dimension = 0;
  for (int32_t i = 0; i < n; i += 2) {
    const feObject* v = feArrayElem(list, i + 1);
    switch (unitKeyCode(feArrayElem(list, i))) {
      case unitKeyString:
        if (!keyText(v, &text)) return feErrTypeCheck;
        break;
      case unitKeyDimension:
        if (feGetIntArg(v, &dimension)) return feErrTypeCheck;
        break;
      case unitKeyFormat:
        if (!keyText(v, &format)) return feErrTypeCheck;
        break;
      default:
        return feErrUnknownKey;
    }
  }
  displayUnitsScope scope(format);
  return unitParseValue(text.data(), int32_t(text.size()), dimension, realOut(args, 0));
}

// "!SR": names and a size in internal units.
int opDefUnit(feArgs* args) {
  const feArgText& names = args->in[0].text;
  const double size = args->in[1].d;
  const bool metric = (unitGetMode() & 1) != 0;
  unitDefine(names.text, names.length, metric ? size / 25.4 : size, metric ? size : size * 25.4);
  return feOk;
}

// "!R#R": an internal value in inches.
int opCnvtInternal(feArgs* args) {
  double v = args->in[0].d;
  unitFromMetric(1, &v);
  *realOut(args, 0) = v;
  return feOk;
}

// "!": the unit table to the log.
int opPrUnits(feArgs*) {
  for (int32_t i = 0; i < unitCount(); ++i) {
    const unitDef* u = unitAt(i);
    const double sizes[2] = {u->inchSize, u->mmSize};
    dbgPrintf("%-20s: %2s: %2R\n", u->names, u->abbrev, sizes);
  }
  return feOk;
}

// "!#Q": the current units record, through its permanent stand-in (a
// document's record would leave scripts a dangling reference when the
// document is freed).
int opUnits(feArgs* args) {
  unitSyncField(unitCurrent());
  *static_cast<void**>(args->out[0]) = unitCurrentHandle();
  return feOk;
}

// "R": the carry threshold of multi-unit output.
int opUnitThreshold(feArgs* args) {
  unitSetThreshold(float(args->in[0].d - 0.5));
  return feOk;
}

const feOpSpec kOps[] = {
    {"aSetMM", opSetMM, "!B"},
    {"aGetMM", opGetMM, "!#B"},
    {"aAngleSetParams", opAngleSetParams, "!RRR/offset factor prec # -/"},
    {"aAngleGetParams", opAngleGetParams, "!#RRR/- # offset factor prec/"},
    {"aLengthSetParams", opLengthSetParams, "O"},
    {"aLengthToString", opLengthToString, "!R#S/real # string/"},
    {"aScaleToString", opScaleToString, "!R#S/real # string/"},
    {"aCV2S", opCV2S, "!Ri#S/real dimension # string/"},
    {"aCS2V", opCS2V, "Si#R/string dimension # value/"},
    {"aScalar2S", opScalar2S, "!R#S/real # string/"},
    {"aStringToLength", opStringToLength, "S#R/string # real/"},
    {"aStringToAngle", opStringToAngle, "!S#R/string # real/"},
    {"aAngleToString", opAngleToString, "!R#S/real # string/"},
    {"aValueToString", opValueToString, "O#S"},
    {"aStringToValue", opStringToValue, "O#R"},
    {"aDefUnit", opDefUnit, "!SR/string value # -/"},
    {"aCnvtInternal", opCnvtInternal, "!R#R"},
    {"aPrUnits", opPrUnits, "!"},
    {"aUnits", opUnits, "!#Q"},
    {"aUnitThreshold", opUnitThreshold, "R"},
};

}  // namespace

void unitSetModeStore(unitModeStore store) { modeStore = store; }

void unitOpsRegister() {
  expSetTagConverter(convertTag);
  feOpSpecRegisterAll(kOps);
}
