// Compact integers, compact doubles, the cleaning of doubles and the special
// characters of texts in drawing files.
#include "objects/iocodec.h"

#include "core/debug.h"
#include "objects/ioformat.h"

#include <bit>
#include <cstring>

namespace {

// The one-byte doubles, by index.
const double kSmallDoubles[16] = {0.0,  1.0,  2.0,  0.0, 0.0, 0.25,  0.5,  0.75,
                                  -0.0, -1.0, -2.0, 0.0, 0.0, -0.25, -0.5, -0.75};

// Bytes of texts that a file holds as 0xFF and a code (the code is the
// position plus 1).
const uint8_t kSpecials[5] = {0xFF, 0xB0, 0xB1, 0xD8, 0xAD};

// The value that stands for every double too large for a file: high word
// 0x5A4FFFFF, low word all ones (about 1.083e127).
const uint64_t kLargestBits = 0x5A4FFFFFFFFFFFFFull;
const int kLargestExponent = 0x5A4;

uint64_t bitsOf(double value) { return std::bit_cast<uint64_t>(value); }
double doubleOf(uint64_t bits) { return std::bit_cast<double>(bits); }

// Writes the coding of value through ctx's byte sink.
template <class T>
int putCoded(int (*encode)(T, uint8_t*), T value, ioCtx* ctx) {
  uint8_t bytes[ioDoubleMax];
  const int n = encode(value, bytes);
  ioPutBytes(ctx, bytes, static_cast<size_t>(n));
  return n;
}

}  // namespace

double ioCleanDouble(double value) {
  const uint64_t bits = bitsOf(value);
  const uint64_t sign = bits & 0x8000000000000000ull;
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  if ((bits & ~0x8000000000000000ull) == 0) return 0.0;
  if (exponent == 0) {
    dbgPrintf("Invalid SMALL float found on I/O - set to 0.0!\n");
    return 0.0;
  }
  if (exponent > kLargestExponent) {
    if (exponent == 0x7FF) {
      if (bits & 0x000FFFFFFFFFFFFFull) uAlert(0, "WFloating Point ERROR - NAN found in I/O", nullptr);
      else uAlert(0, "WFloating Point ERROR - INFinity found in I/O", nullptr);
    }
    dbgPrintf("Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n");
    return doubleOf(kLargestBits | sign);
  }
  return value;
}

int ioEncodeLong(int32_t value, uint8_t* out) {
  if (value >= -64 && value <= 63) {
    out[0] = static_cast<uint8_t>(value);
    return 1;
  }
  // k low bytes, most significant first, behind a lead byte that holds the
  // rest (-16..15) tagged with k. 64-bit shifts: k = 4 shifts by 32.
  const int64_t wide = value;
  int k = 1;
  while (k <= 4) {
    const int64_t high = wide >> (8 * k);
    if (high >= -16 && high <= 15) break;
    ++k;
  }
  if (k > 4) {
    dbgPanic("bad write in putlong");
    return 0;
  }
  const int64_t high = wide >> (8 * k);
  out[0] = static_cast<uint8_t>(high ^ (0x30 + 0x10 * k));
  for (int i = 1; i <= k; ++i) out[i] = static_cast<uint8_t>(wide >> (8 * (k - i)));
  return k + 1;
}

int putlong(int32_t value, ioCtx* ctx) { return putCoded(ioEncodeLong, value, ctx); }

int ioReadLong(ioCtx* ctx, int32_t* out) {
  *out = 0;
  uint8_t lead;
  if (!ioGetByte(ctx, &lead)) return 0;
  const int nibble = lead >> 4;
  const int64_t signedLead = static_cast<int8_t>(lead);
  if (nibble <= 3 || nibble >= 0xC) {
    *out = static_cast<int32_t>(signedLead);
    return 1;
  }
  // 4/B: one more byte, 5/A: two, 6/9: three, 7/8: four.
  const int k = nibble <= 7 ? nibble - 3 : 0xC - nibble;
  int64_t value = signedLead ^ (0x30 + 0x10 * k);
  for (int i = 0; i < k; ++i) {
    uint8_t byte;
    if (!ioGetByte(ctx, &byte)) return 0;
    value = value * 256 + byte;
  }
  *out = static_cast<int32_t>(static_cast<uint32_t>(value));
  return k + 1;
}

int ioEncodeDouble(double value, uint8_t* out) {
  const uint64_t bits = bitsOf(ioCleanDouble(value));
  const uint32_t h = static_cast<uint32_t>(bits >> 32);
  const uint32_t l = static_cast<uint32_t>(bits);
  const int e = static_cast<int>((h >> 20) & 0x7FF) - 1023;
  const uint8_t s = static_cast<uint8_t>((h >> 24) & 0x80);

  if (l == 0 && (h & 0xFFFFF) == 0) {
    for (int i = 0; i < 16; ++i) {
      if (h == static_cast<uint32_t>(bitsOf(kSmallDoubles[i]) >> 32)) {
        out[0] = static_cast<uint8_t>(i);
        return 1;
      }
    }
  }
  if (e <= -127 || e >= 127) {
    out[0] = 0x80;
    for (int i = 0; i < 8; ++i) out[1 + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    return 9;
  }
  if (l == 0 && (h & 0xFFF) == 0 && e >= -7 && e <= 8) {
    out[0] = static_cast<uint8_t>((e + 7) | 0x10 | s);
    out[1] = static_cast<uint8_t>(h >> 12);
    return 2;
  }
  // The exponent shrunk to 8 bits and as many mantissa bytes as are not
  // trailing zeros.
  const int e8 = e + 127;
  int n;
  if (l & 0xFF) n = 6;
  else if (l & 0xFF00) n = 5;
  else if (l & 0xFF0000) n = 4;
  else if (l) n = 3;
  else if (h & 0xFF) n = 2;
  else n = 1;
  out[0] = static_cast<uint8_t>((e8 >> 4) | s | (0x10 * (n + 1)));
  out[1] = static_cast<uint8_t>(((e8 & 15) << 4) | ((h >> 16) & 0xF));
  const uint8_t rest[6] = {static_cast<uint8_t>(h >> 8),  static_cast<uint8_t>(h),
                           static_cast<uint8_t>(l >> 24), static_cast<uint8_t>(l >> 16),
                           static_cast<uint8_t>(l >> 8),  static_cast<uint8_t>(l)};
  std::memcpy(out + 2, rest, static_cast<size_t>(n));
  return n + 2;
}

int ioPutDouble(double value, ioCtx* ctx) { return putCoded(ioEncodeDouble, value, ctx); }

int ioReadDouble(ioCtx* ctx, double* out) {
  *out = 0.0;
  uint8_t lead;
  if (!ioGetByte(ctx, &lead)) return 0;
  const int nibble = lead >> 4;
  if (nibble == 0) {
    *out = kSmallDoubles[lead & 15];
    return 1;
  }
  if (nibble == 8) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
      uint8_t byte;
      if (!ioGetByte(ctx, &byte)) return 0;
      bits = (bits << 8) | byte;
    }
    *out = ioCleanDouble(doubleOf(bits));
    return 9;
  }
  if (nibble == 1 || nibble == 9) {
    uint8_t top;
    if (!ioGetByte(ctx, &top)) return 0;
    const uint64_t h = (static_cast<uint64_t>(lead & 0x80) << 24) |
                       (static_cast<uint64_t>((lead & 15) + 1016) << 20) |
                       (static_cast<uint64_t>(top) << 12);
    *out = doubleOf(h << 32);
    return 2;
  }
  // 2..7 further bytes: the first completes the top 16 bits (the 8-bit
  // exponent widened back by 0x3800), the others fill the mantissa from the
  // top down; missing bytes are zero.
  const int count = (lead >> 4) & 7;
  uint8_t bytes[7];
  for (int i = 0; i < count; ++i) {
    if (!ioGetByte(ctx, &bytes[i])) return 0;
  }
  const uint64_t top = ((static_cast<uint64_t>(lead & 0x8F) << 8) | bytes[0]) + 0x3800;
  uint64_t bits = top << 48;
  for (int i = 1; i < count; ++i) bits |= static_cast<uint64_t>(bytes[i]) << (48 - 8 * i);
  *out = doubleOf(bits);
  return count + 1;
}

double ioOldDouble(double stored) {
  // Only the low 12 bits of the top word survive the shift, so a sign in
  // bit 15 of the older layout does not come back.
  const uint64_t bits = bitsOf(stored);
  const uint32_t top = static_cast<uint32_t>(bits >> 48);
  const uint32_t low = static_cast<uint32_t>(bits);
  if ((top & 0x3FFF) <= 0x3C00) return 0.0;
  const uint32_t h = ((top + 0x400) << 20) | (low >> 12);
  const uint32_t l = low << 20;
  return doubleOf((static_cast<uint64_t>(h) << 32) | l);
}

int ioSpecialCode(uint8_t byte) {
  for (int i = 0; i < 5; ++i) {
    if (kSpecials[i] == byte) return i + 1;
  }
  return 0;
}

uint8_t ioSpecialChar(int code) {
  if (code >= 1 && code <= 5) return kSpecials[code - 1];
  if (code >= 6 && code <= 25) return static_cast<uint8_t>('A' + code);
  return 0xA5;
}

int ioSpecialCount(const uint8_t* bytes, size_t n) {
  int count = 0;
  for (size_t i = 0; i < n; ++i) {
    if (ioSpecialCode(bytes[i])) ++count;
  }
  return count;
}
