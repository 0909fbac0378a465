// The rounding letters of the snap engine: r and R round the cursor's
// world point within the box of world points one pixel around the cursor.
#ifndef PLUMET_TOOLS_SNAPROUND_H
#define PLUMET_TOOLS_SNAPROUND_H

// Rounds each coordinate of point, given the box corners lo and hi (sorted
// per coordinate). Letter 'r': the coordinate becomes the simplest binary
// number between the corners (daSimplestBetween). Letter 'R': with w half
// the corners' difference and nonzero, e = floor(log10 w) and the
// coordinate becomes round(c * 10^-e) * 10^e; a zero width leaves it.
void snapRoundPoint(int letter, const double lo[3], const double hi[3], double point[3]);

#endif
