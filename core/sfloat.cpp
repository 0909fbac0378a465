#include "core/sfloat.h"

#include <bit>
#include <limits>

namespace {

constexpr uint32_t kSignBit = 0x80000000u;
constexpr uint32_t kBeyondSingle = 0x47F00000u;   // upper words above: past the single range
// Upper words below: under 2^-126, the smallest normal single. Between
// 2^-128 and 2^-126 a single is subnormal and its code's last bit is worth
// more than the rounding unit below, so packing there would neither keep the
// order of the numbers nor round outward; those values are packed as tiny.
constexpr uint32_t kBelowSmallest = 0x38100000u;
constexpr uint16_t kSmallestPositive = 0x0080;    // 2^-126
constexpr uint16_t kSmallestNegative = 0xFF7F;    // -2^-126
constexpr uint16_t kNegativeFlip = 0x7FFF;

uint16_t packOne(int32_t direction, double x) {
  const uint64_t bits = std::bit_cast<uint64_t>(x);
  const uint32_t h = uint32_t(bits >> 32);
  const uint32_t l = uint32_t(bits);
  const uint32_t m = h & ~kSignBit;
  const bool negative = (h & kSignBit) != 0;
  if (m > kBeyondSingle) return negative ? sfloatMinusOverflow : sfloatPlusOverflow;
  if (m < kBelowSmallest) {
    if (!negative) return direction > 0 ? kSmallestPositive : 0x0000;
    return direction > 0 ? 0x0000 : kSmallestNegative;
  }
  double y = x;
  const bool fits = l == 0 && (h & 0x1FFF) == 0;  // already within the code's 7 mantissa bits
  const bool away = (direction > 0 && !negative) || (direction < 0 && negative);
  if (direction != 0 && !fits && away) {
    // One unit of the code's last mantissa bit: x's exponent lowered by 7.
    const double unit = std::bit_cast<double>(uint64_t((h & 0x7FF00000u) - (7u << 20)) << 32);
    y = negative ? x - unit : x + unit;
  }
  const uint32_t single = std::bit_cast<uint32_t>(static_cast<float>(y));
  const uint16_t upper = uint16_t(single >> 16);
  return (single & kSignBit) ? uint16_t(upper ^ kNegativeFlip) : upper;
}

double unpackOne(uint16_t code) {
  const uint16_t upper = (code & 0x8000) ? uint16_t(code ^ kNegativeFlip) : code;
  // Exponent all ones with a mantissa: a not-a-number pattern. These codes
  // lie beyond infinity in the codes' order, the overflow codes among them.
  if ((upper & 0x7F80) == 0x7F80 && (upper & 0x007F) != 0)
    return (upper & 0x8000) ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  return static_cast<double>(std::bit_cast<float>(uint32_t(upper) << 16));
}

}  // namespace

uint16_t* sfloatPack(int32_t direction, int32_t n, const double* source, uint16_t* destination) {
  for (int32_t i = 0; i < n; ++i) destination[i] = packOne(direction, source[i]);
  return destination;
}

double* sfloatUnpack(int32_t n, const uint16_t* source, double* destination) {
  for (int32_t i = 0; i < n; ++i) destination[i] = unpackOne(source[i]);
  return destination;
}

uint16_t sfloatPackOne(int32_t direction, double value) { return packOne(direction, value); }

double sfloatUnpackOne(uint16_t code) { return unpackOne(code); }
