// The simplest number between two bounds: the snap engine's letter r rounds
// the cursor's world point to it, coordinate by coordinate, so that a point
// picked within a pixel gets the shortest binary form the pixel allows.
#ifndef PLUMET_TOOLS_SNAPSIMPLEST_H
#define PLUMET_TOOLS_SNAPSIMPLEST_H

// For each of the n coordinates, with lo and hi the two bounds (in either
// order): equal bounds give the bound; bounds of different sign, or a bound
// that is zero, give 0; otherwise the value with the shortest binary form
// between them: the bits both share from the top (sign and exponent first,
// then mantissa), then the first differing bit taken from the bound of
// larger magnitude, zeros below. The result lies between the bounds (it may
// equal the larger-magnitude bound). A NaN bound gives NaN. out may alias
// either bound array.
void daSimplestBetween(int n, const double* boundsA, const double* boundsB, double* out);

// One coordinate of the above.
double daSimplestBetween1(double a, double b);

#endif
