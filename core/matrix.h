// Matrices and transformations.
//
// A transformation is an xform4: 16 doubles, row-major, applied to points
// held as columns (x, y, z, 1):
//   x' = m[0] x + m[1] y + m[2] z + m[3], y' from m[4..7], z' from m[8..11];
// m[3], m[7], m[11] hold the translation and the fourth row is normally
// (0, 0, 0, 1). "a followed by b" is the product b a. The general routines
// take n x n matrices (n*n doubles, row-major); the point routines always
// step through the four-column layout.
//
// Every builder takes an input matrix and writes the input transformation
// followed by the new one to out, which may be the input.
#ifndef PLUMET_CORE_MATRIX_H
#define PLUMET_CORE_MATRIX_H

#include <cstddef>
#include <cstdint>

typedef double xform4[16];

// Answer of aMirror when the normal is too short to divide by.
enum { matErrMirrorNormal = -4100 };

// ---- matrix arithmetic ----------------------------------------------------

// The n x n identity into out (n from 1 to 4) and 0; any other n answers 267
// (rangecheck) and leaves out untouched.
int aMatrix(int32_t n, double* out);
// out = the transpose of in (in place when they are the same array).
double* matTransposeN(uint32_t n, const double* in, double* out);
// out = b a (a followed by b); out may be a or b.
double* matMulN(uint32_t n, const double* a, const double* b, double* out);
// out = b times the transpose of a; out may be a or b.
double* matMulTransN(uint32_t n, const double* a, const double* b, double* out);
// out = the inverse of in; answers 0, or -1 for a singular matrix with out
// untouched, after the trace alert "TCan't invert matrix" when alert is not
// zero. in is never changed; out may be in.
int matInvert(uint32_t n, const double* in, double* out, int alert);
// Crout's LU decomposition of a (n x n, row-major, replaced by its factors)
// with implicit (scaled) partial pivoting: the row interchanges go to index
// (n entries) and their parity (+1 or -1) to *parity. Answers 0, or -1 for a
// singular matrix, with "Singular matrix in routine LUDCMP1\n" (a row without
// a usable largest element) or "... LUDCMP2\n" (a pivot too small to divide
// by) in the debug log.
int matLUDecompose(double* a, uint32_t n, int32_t* index, int32_t* parity);
// Solves lu x = b in place in b with the factors and interchanges of
// matLUDecompose. Answers 0, or -1 with "Bad division in lubksb\n" in the
// debug log when a diagonal element is too small to divide by.
int matLUSolve(const double* lu, uint32_t n, const int32_t* index, double* b);

// ---- applying matrices ----------------------------------------------------

// Transforms a point. The low byte of n is the number of output coordinates
// (rows of m used; at most 4, a 4x4 matrix has no more); bits 8-15, when not
// zero, the number of input coordinates (above 4 counts as 4), else the same
// as the output count. With 3 inputs and out not the point:
//   out[k] = m[4k+3] + m[4k] x + m[4k+1] y + m[4k+2] z;
// otherwise the point is widened to four (zeros up to the third coordinate,
// 1 as the fourth when fewer than 4 are given) and each output is its dot
// product with row k. There is no division by the fourth coordinate. So
// 0x0203 maps a 2-D point (x, y) through three rows as (x, y, 0, 1).
// Answers 0.
int aPtTransform(uint32_t n, const double* point, const double* m, double* out);
// aPtTransform, then vecRoundN of the low-byte count into outInts; answers
// vecRoundN's answer.
int xformToInt(uint32_t n, const double* point, const double* m, int32_t* outInts);
// out[k] = sum over i < n of v[i] m[4k+i], for k < n: a direction through the
// upper n x n part of m (out may be v). n above 4 would read past the
// matrix: it reports the panic "ndim too big in vectXform" and leaves out
// unchanged.
double* vectXform(uint32_t n, const double* v, const double* m, double* out);
// True when the transformation reverses orientation: (row 0 x row 1) . row 2
// of the upper 3x3 part is negative.
bool xformIsMirrored(const double* m);

// ---- builders -------------------------------------------------------------

// m followed by a translation by v (v added to m[3], m[7], m[11]).
double* aTranslate(const double* m, const double* v, double* out);
// A translation by v followed by m.
double* xformPreTranslate(const double* m, const double* v, double* out);
// m followed by a uniform scale about the origin (the first 12 elements
// times the factor).
double* aScale(const double* m, double factor, double* out);
// m followed by the reflection in the plane through the origin with the
// given normal. Answers 0, or matErrMirrorNormal (out untouched) when n . n
// is too small to divide 1 by (uSafeDiv).
int aMirror(const double* m, const double* normal, double* out);
// m followed by the rotation about z with cosine c and sine s.
double* xformRotateZ(const double* m, double c, double s, double* out);
// m followed by the rotation about the axis through p with direction d by
// the angle whose cosine and sine are c and s. Answers 0, or -1 with out = m
// for a zero axis. With debug flags set the intermediate matrices and the
// images of p and of p plus each basis vector go to the debug log.
int aRotate(const double* m, const double* p, const double* d, double c, double s, double* out);
// m followed by the rotation about the axis n through the centre c that
// turns the direction of a - c into that of b - c. Answers 0, or -1 (out
// untouched) when a - c or b - c is zero or parallel to n, or n is zero.
int aPtRotate(const double* m, const double* c, const double* a, const double* b, const double* n, double* out);
// m followed by a scale by the factor about p.
double* xformScaleAbout(const double* m, const double* p, double factor, double* out);
// xformScaleAbout about c by |b - c| / |a - c| (1 when that division is
// refused, a = c for example).
double* aPtExpand(const double* m, const double* c, const double* a, const double* b, double* out);
// The distance of two 3-D points.
double aPtDist(const double* a, const double* b);

// The start-up arithmetic check: two fixed rotations through aRotate, their
// matrices written to the debug log. Does nothing unless debug flags are set.
void matSelfCheck();

#endif
