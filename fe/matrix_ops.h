// The script operators of the matrix and transformation routines
// (core/matrix.h).
#ifndef PLUMET_FE_MATRIX_OPS_H
#define PLUMET_FE_MATRIX_OPS_H

#include "fe/opcall.h"

#include <cstddef>

// aMatrix "!i<4>#A{16D}", aMirror "A{16D}A{DDD}#A{16D}", aPtDist
// "!A{DDD}A{DDD}#R", aPtExpand "A{16D}A{DDD}A{DDD}A{DDD}#A{16D}" (matrix,
// centre, from, to), aPtRotate "A{16D}A{DDD}A{DDD}A{DDD}A{DDD}#A{16D}"
// (matrix, centre, from, to, normal), aPtTransform "!i<3>A{3D}A{16D}#A{3D}",
// aRotate "!A{16D}A{3D}A{3D}RR#A{16D}" (matrix, point, direction, cosine,
// sine), aScale "A{16D}R#A{16D}", aTranslate "A{16D}A{DDD}#A{16D}".
struct matOpSpec {
  const char* name;
  feOpHandler handler;
  const char* signature;
};
// The table above, in the order the operators are registered.
const matOpSpec* matOpSpecs(size_t* count);
// Registers the operators of the table, in its order, in systemdict.
void matRegisterOps();

#endif
