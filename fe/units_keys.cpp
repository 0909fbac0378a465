// Keyed access to a units record: the keys scripts use with the class
// "units" (get and put) and with aLengthSetParams.
#include "core/errors.h"
#include "core/units.h"
#include "fe/names.h"
#include "fe/script.h"
#include "fe/strings.h"
#include "fe/units_ops.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

const char* const kKeys[] = {nullptr, "precision", "format", "fraction", "abrv", "lead0", "trail0",
                             "value", "dimension", "precflag", "internal", "string"};

const uint16_t kFlagOf[] = {0, 0, 0, unitFlagFraction, unitFlagAbbrev, unitFlagLead0, unitFlagTrail0};

}  // namespace

int unitKeyCode(const feObject* key) {
  const char* text = nullptr;
  int32_t length = 0;
  if (!key || feGetString(key, &text, &length) != 0) return 0;
  for (int code = unitKeyPrecision; code <= unitKeyString; ++code)
    if (std::strlen(kKeys[code]) == size_t(length) && std::memcmp(kKeys[code], text, size_t(length)) == 0)
      return code;
  return 0;
}

int unitRecordSet(unitsRec* record, int code, const feObject* value) {
  switch (code) {
    case unitKeyPrecision: {
      double step = 0;
      if (feGetRealArg(value, &step)) return feErrTypeCheck;
      unitSetStep(record, step, true);
      return feOk;
    }
    case unitKeyFormat: {
      const char* text = nullptr;
      int32_t length = 0;
      if (feGetString(value, &text, &length)) return feErrTypeCheck;
      int32_t list[unitListMax + 1];
      // Names that are all unknown leave the record's units as they were.
      if (unitParseList(text, length, list, unitListMax) > 0) std::memcpy(record->units, list, sizeof list);
      return feOk;
    }
    case unitKeyFraction:
    case unitKeyAbrv:
    case unitKeyLead0:
    case unitKeyTrail0:
      if (!value || feType(value) != feTBool) return feErrTypeCheck;
      if (feGetBool(value)) record->flags |= kFlagOf[code];
      else record->flags &= uint16_t(~kFlagOf[code]);
      return feOk;
    default:
      return feErrUnknownKey;
  }
}

int unitRecordGet(const unitsRec* record, int code, feObject* out) {
  switch (code) {
    case unitKeyPrecision:
      return feMakeReal(out, record->step);
    case unitKeyFormat: {
      std::string names;
      for (int32_t i = 0; i < unitListMax && record->units[i] >= 0; ++i) {
        const unitDef* u = unitAt(record->units[i]);
        if (!u) continue;
        if (!names.empty()) names += ' ';
        names += u->abbrev;
      }
      return feMakeString(out, names.data(), names.size());
    }
    case unitKeyFraction:
    case unitKeyAbrv:
    case unitKeyLead0:
    case unitKeyTrail0:
      return feMakeBool(out, (record->flags & kFlagOf[code]) ? 1 : 0);
    case unitKeyPrecFlag: {
      if (record->flags & unitFlagFraction) {
        const double k = std::log2(1.0 / record->step);
        if (std::fabs(k - std::round(k)) < 1e-9 && k >= 0 && k <= 9) return feMakeInt(out, unitPrecBinary + int32_t(std::round(k)));
      }
      return feMakeInt(out, record->decimals);
    }
    case unitKeyInternal:
      return feMakeBool(out, (unitGetMode() & 1) ? 1 : 0);
    default:
      return feErrUnknownKey;
  }
}
