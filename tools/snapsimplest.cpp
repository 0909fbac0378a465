#include "tools/snapsimplest.h"

#include <bit>
#include <cmath>
#include <cstdint>

double daSimplestBetween1(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::nan("");
  if (a == b) return a;
  // A zero bound shares its sign bit with the positive (or negative) other
  // bound, so the bit rule would give a tiny number near the smallest
  // exponent instead of the plainly simplest value 0.
  if (a == 0.0 || b == 0.0) return 0.0;
  if ((a < 0.0) != (b < 0.0)) return 0.0;
  uint64_t bitsA = std::bit_cast<uint64_t>(a);
  uint64_t bitsB = std::bit_cast<uint64_t>(b);
  // Same sign: the larger magnitude has the larger pattern, and it holds
  // the 1 at the first differing bit.
  uint64_t larger = bitsA > bitsB ? bitsA : bitsB;
  uint64_t differ = bitsA ^ bitsB;
  int top = 63 - std::countl_zero(differ);
  uint64_t keep = ~((uint64_t{1} << top) - 1);  // bits from the top down to the first difference
  return std::bit_cast<double>(larger & keep);
}

void daSimplestBetween(int n, const double* boundsA, const double* boundsB, double* out) {
  for (int i = 0; i < n; ++i) out[i] = daSimplestBetween1(boundsA[i], boundsB[i]);
}
