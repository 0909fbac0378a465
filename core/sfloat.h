// Compact 16-bit floats: the upper half of an IEEE single-precision number,
// with negative values stored with their low 15 bits inverted, so that the
// codes compared as signed 16-bit integers are in the order of the numbers
// they stand for. Object extent boxes hold them, so boxes are tested and
// merged with integer comparisons.
//
//   0x8000 negative overflow < ... < 0xFF7F (-2^-126) < 0xFFFF (-0)
//   < 0x0000 (0) < 0x0080 (2^-126) < ... < 0x3F80 (1.0) < ... < 0x7FFF
//   positive overflow
#ifndef PLUMET_CORE_SFLOAT_H
#define PLUMET_CORE_SFLOAT_H

#include <cstdint>

// The overflow codes, largest and smallest in signed order.
enum : uint16_t { sfloatPlusOverflow = 0x7FFF, sfloatMinusOverflow = 0x8000 };

// Packs n doubles into codes. direction < 0 rounds down, > 0 rounds up, 0
// truncates (towards zero); a packed box whose minima were rounded down and
// maxima up always contains the exact one. Magnitudes beyond the single
// range give the overflow codes; magnitudes below 2^-126 (zero included)
// give 0 or +-2^-126 by the direction (0 counting as down there).
// Nothing happens for n <= 0. Answers destination.
uint16_t* sfloatPack(int32_t direction, int32_t n, const double* source, uint16_t* destination);

// Unpacks n codes into doubles. The overflow codes, and every other code
// whose upper half would be a not-a-number pattern, unpack to the infinity
// of their sign, so that unpacked values keep the codes' order. Nothing
// happens for n <= 0. Answers destination.
double* sfloatUnpack(int32_t n, const uint16_t* source, double* destination);

// One value each way.
uint16_t sfloatPackOne(int32_t direction, double value);
double sfloatUnpackOne(uint16_t code);

#endif
