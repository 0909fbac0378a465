// Binary tokens: fixed-size little-endian values and counted strings.
#include "fe/scan_binary.h"

#include "core/errors.h"
#include "fe/strings.h"

#include <cstring>

namespace {

int readExactly(const feScanBytes* source, uint8_t* out, size_t n) {
  return source->read(source->context, out, n) == n ? int(feOk) : int(feErrIo);
}

uint64_t littleEndian(const uint8_t* bytes, size_t n) {
  uint64_t v = 0;
  for (size_t i = n; i-- > 0;) v = (v << 8) | bytes[i];
  return v;
}

// A counted string: its bytes go straight into the new string's body.
int readString(const feScanBytes* source, size_t lengthBytes, feObject* out) {
  uint8_t head[2];
  if (const int err = readExactly(source, head, lengthBytes)) return err;
  const size_t length = size_t(littleEndian(head, lengthBytes));
  feObject value;
  if (const int err = feMakeString(&value, nullptr, length)) return err;
  uint8_t* bytes = nullptr;
  uint16_t stored = 0;
  feStringData(&value, &bytes, &stored);
  if (const int err = length ? readExactly(source, bytes, length) : 0) {
    feStringRelease(&value);
    return err;
  }
  *out = value;
  return feOk;
}

}  // namespace

bool feScanIsBinaryLead(int byte) {
  switch (byte) {
    case 132: case 134: case 136: case 142: case 143: case 160:
      return true;
    default:
      return false;
  }
}

int feScanBinaryToken(int lead, const feScanBytes* source, feObject* out) {
  uint8_t bytes[8];
  switch (lead) {
    case 132:
      if (const int err = readExactly(source, bytes, 4)) return err;
      return feMakeInt(out, int32_t(uint32_t(littleEndian(bytes, 4))));
    case 134:
      if (const int err = readExactly(source, bytes, 2)) return err;
      return feMakeInt(out, int16_t(uint16_t(littleEndian(bytes, 2))));
    case 136:
      if (const int err = readExactly(source, bytes, 1)) return err;
      return feMakeInt(out, int8_t(bytes[0]));
    case 142:
      return readString(source, 1, out);
    case 143:
      return readString(source, 2, out);
    case 160: {
      if (const int err = readExactly(source, bytes, 8)) return err;
      const uint64_t bits = littleEndian(bytes, 8);
      double d = 0.0;
      std::memcpy(&d, &bits, sizeof d);
      return feMakeReal(out, d);
    }
    default:
      return feErrUnimplemented;
  }
}
