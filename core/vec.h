// Vector and scalar arithmetic on doubles: 3-D points and vectors (vec3),
// n-vectors (2, 3 or 4 elements in practice, homogeneous values included),
// boxes held as a minimum and a maximum n-vector, integer rounding for the
// screen, a guarded division, angles in turns (1.0 is a full circle) exact at
// every eighth of a turn, and special doubles.
//
// Every routine that produces a vector writes it to the output address the
// caller gives and answers that address; the output may be the same array as
// an input. The routines keep their scratch values in locals (no shared
// temporaries), so they may be entered again from anywhere. Plug-ins reach
// many of them through the export table, so their parameters are plain
// C-compatible types.
#ifndef PLUMET_CORE_VEC_H
#define PLUMET_CORE_VEC_H

#include <cstdint>

typedef double vec3[3];

// ---- 3-D vectors ----------------------------------------------------------

double* vecSet3(double* out, double x, double y, double z);
double* vecCopy3(const double* a, double* out);
// True when all 24 bytes are equal (so 0.0 and -0.0 differ, a NaN equals
// the same NaN).
bool vecEq3(const double* a, const double* b);
double* vecAdd3(const double* a, const double* b, double* out);  // a + b
double* vecSub3(const double* a, const double* b, double* out);  // a - b
double* vecNeg3(const double* a, double* out);
double* vecScale3(double t, const double* a, double* out);                  // t a
double* vecAxpy3(double t, const double* a, const double* b, double* out);  // a + t b
double vecDot3(const double* a, const double* b);
double* vecCross3(const double* a, const double* b, double* out);  // a x b; out may be a or b
double vecLen3(const double* a);
double vecDistSq3(const double* a, const double* b);
double vecDist3(const double* a, const double* b);
// a scaled to the given length; a zero vector is copied unchanged.
double* vecSetLen3(double length, const double* a, double* out);
// The unit vector of a; a zero vector is copied unchanged.
double* vecNormalize3(const double* a, double* out);

// ---- n-vectors ------------------------------------------------------------

// The largest n of the routines that work in scratch space (the distances).
// Beyond it they report a panic and answer NaN.
enum { vecScratchMax = 16 };

double* vecZeroN(uint32_t n, double* out);
// out = the n int arguments (int32_t) as doubles.
double* vecSetN(uint32_t n, double* out, ...);
// out = the n double arguments.
double* vecSetNd(uint32_t n, double* out, ...);
double* vecCopyN(uint32_t n, const double* a, double* out);  // nothing when a is out
// True when the n doubles are equal byte for byte (n 0 is equal).
bool vecEqN(uint32_t n, const double* a, const double* b);
double* vecAddN(uint32_t n, const double* a, const double* b, double* out);
double* vecSubN(uint32_t n, const double* a, const double* b, double* out);
double* vecNegN(uint32_t n, const double* a, double* out);
double* vecAbsN(uint32_t n, const double* a, double* out);
double* vecRecipN(uint32_t n, const double* a, double* out);  // 1 / a[i]
double* vecScaleN(uint32_t n, double t, const double* a, double* out);
// a / d: a copy when d is 1; otherwise a times the reciprocal of d through
// uSafeDiv, or times 1e20 when uSafeDiv refuses (d 0 included).
double* vecDivN(uint32_t n, double d, const double* a, double* out);
// a + t b and a + t (b - a), both worked from the last element to the first.
double* vecAxpyN(uint32_t n, double t, const double* a, const double* b, double* out);
double* vecLerpN(uint32_t n, double t, const double* a, const double* b, double* out);
// The sum of a[i] b[i]. When bits 8-15 of n are not zero the element count
// is the low byte and the sum starts from a[count], the element after the
// last one multiplied: a matrix row of four doubles against a point (x, y, z)
// with n 0x403 is the row applied to (x, y, z, 1).
double vecDotN(uint32_t n, const double* a, const double* b);
double vecLenN(uint32_t n, const double* a);
double vecDistSqN(uint32_t n, const double* a, const double* b);  // n at most vecScratchMax
double vecDistN(uint32_t n, const double* a, const double* b);    // n at most vecScratchMax
// a scaled to the given length; a zero vector is copied unchanged.
double* vecSetLenN(uint32_t n, double length, const double* a, double* out);

// Boxes: swaps min[i] and max[i] wherever max[i] < min[i].
void bboxSortN(uint32_t n, double* min, double* max);
// Widens the box to take the point p.
void bboxExtendN(uint32_t n, const double* p, double* min, double* max);

// Rounds half away from zero into 32-bit integers, saturating at the ends of
// the range; answers minus the number of values that did not fit (a NaN
// gives 0 and counts as not fitting).
int vecRoundN(uint32_t n, const double* a, int32_t* out);
// factor 1: vecRoundN. Otherwise each a[i] times the factor through
// uRoundToIntB with direction 0, and the answer is 0.
int vecToIntN(uint32_t n, int32_t factor, const double* a, int32_t* out);

// ---- scalars --------------------------------------------------------------

// Negative direction: floor; positive: ceiling; 0: floor of x + 0.5. The
// result is clamped to -2147483648..2147483647; a NaN gives 0.
int32_t uRoundToInt(int direction, double x);
int32_t uRoundToIntB(int direction, double x);  // the same rule

// The division a / b into out, refused (-9, out untouched) when
// |a| >= |b| * 1e60: any division by 0, and 0 / 0. Otherwise answers 0.
int uSafeDiv(double a, double b, double* out);

// Cosine and sine of an angle in turns. The angle is folded into the first
// eighth of a turn without rounding, so a quarter turn gives exactly (0, 1),
// a half turn exactly (-1, 0), and angles whole turns apart whose fractions
// are the same double (1.125 and 0.125) give identical bits.
void angSinCos(double angle, double* cosOut, double* sinOut);
double angTurnsToRad(double a);  // 2 pi a
// atan2(y, x) in turns (-0.5 to 0.5) into out; answers 0.
int angAtan2(double y, double x, double* out);
// The angle in turns whose cosine is a / b: angAtan2 of sqrt(max(b b - a a, 0))
// and a. Answers 0.
int angAcosT(double a, double b, double* out);

// 3 NaN, 2 infinity of either sign, 1 zero of either sign, 0 anything else
// (subnormals included).
int fClassify(double x);
// out = kind 1 zero, 2 infinity, 3 NaN (every exponent and mantissa bit set);
// a negative kind gives the value with the sign bit set. Any other kind
// reports the panic "bad switch in fSetSpecial" and leaves out unchanged.
void fSetSpecial(int kind, double* out);

#endif
