// The script operators on transformations. Matrices reach the handlers as
// blocks of 16 doubles and points as blocks of 3 (the signatures' A{16D} and
// A{DDD}); every result is a fresh block the interpreter makes into an array.
#include "fe/matrix_ops.h"

#include "core/matrix.h"

#include "core/errors.h"
#include "fe/operator.h"

#include <windows.h>

#include <cstdint>

namespace {

const double* inBlock(const feArgs* args, int i) { return static_cast<const double*>(args->in[i].block); }
double* outBlock(const feArgs* args, int i) { return static_cast<double*>(args->out[i]); }

// "!i<4>#A{16D}"
int opMatrix(feArgs* args) {
  const int32_t n = args->in[0].i;
  // The result block holds 16 doubles: the identity of n above 4 has no room.
  if (n < 1 || n > 4) return feErrRangeCheck;
  return aMatrix(n, outBlock(args, 0));
}

// "A{16D}A{DDD}#A{16D}"
int opMirror(feArgs* args) { return aMirror(inBlock(args, 0), inBlock(args, 1), outBlock(args, 0)); }

// "!A{DDD}A{DDD}#R"
int opPtDist(feArgs* args) {
  *outBlock(args, 0) = aPtDist(inBlock(args, 0), inBlock(args, 1));
  return feOk;
}

// "A{16D}A{DDD}A{DDD}A{DDD}#A{16D}": matrix, centre, from, to.
int opPtExpand(feArgs* args) {
  aPtExpand(inBlock(args, 0), inBlock(args, 1), inBlock(args, 2), inBlock(args, 3), outBlock(args, 0));
  return feOk;
}

// "A{16D}A{DDD}A{DDD}A{DDD}A{DDD}#A{16D}": matrix, centre, from, to, normal.
int opPtRotate(feArgs* args) {
  return aPtRotate(inBlock(args, 0), inBlock(args, 1), inBlock(args, 2), inBlock(args, 3), inBlock(args, 4),
                   outBlock(args, 0));
}

// "!i<3>A{3D}A{16D}#A{3D}"
int opPtTransform(feArgs* args) {
  const uint32_t n = static_cast<uint32_t>(args->in[0].i);
  // The point and the result hold three doubles each.
  if ((n & 0xFFu) > 3 || ((n >> 8) & 0xFFu) > 3) return feErrRangeCheck;
  return aPtTransform(n, inBlock(args, 1), inBlock(args, 2), outBlock(args, 0));
}

// "!A{16D}A{3D}A{3D}RR#A{16D}": matrix, point, direction, cosine, sine.
int opRotate(feArgs* args) {
  return aRotate(inBlock(args, 0), inBlock(args, 1), inBlock(args, 2), args->in[3].d, args->in[4].d,
                 outBlock(args, 0));
}

// "A{16D}R#A{16D}"
int opScale(feArgs* args) {
  aScale(inBlock(args, 0), args->in[1].d, outBlock(args, 0));
  return feOk;
}

// "A{16D}A{DDD}#A{16D}"
int opTranslate(feArgs* args) {
  aTranslate(inBlock(args, 0), inBlock(args, 1), outBlock(args, 0));
  return feOk;
}

const matOpSpec kOps[] = {
    {"aMatrix", opMatrix, "!i<4>#A{16D}"},
    {"aMirror", opMirror, "A{16D}A{DDD}#A{16D}"},
    {"aPtDist", opPtDist, "!A{DDD}A{DDD}#R"},
    {"aPtExpand", opPtExpand, "A{16D}A{DDD}A{DDD}A{DDD}#A{16D}"},
    {"aPtRotate", opPtRotate, "A{16D}A{DDD}A{DDD}A{DDD}A{DDD}#A{16D}"},
    {"aPtTransform", opPtTransform, "!i<3>A{3D}A{16D}#A{3D}"},
    {"aRotate", opRotate, "!A{16D}A{3D}A{3D}RR#A{16D}"},
    {"aScale", opScale, "A{16D}R#A{16D}"},
    {"aTranslate", opTranslate, "A{16D}A{DDD}#A{16D}"},
};

}  // namespace

const matOpSpec* matOpSpecs(size_t* count) {
  *count = sizeof kOps / sizeof kOps[0];
  return kOps;
}

void matRegisterOps() {
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  // A failure has been reported by the registration itself.
  for (const matOpSpec& op : kOps) feRegisterOp(op.name, op.handler, op.signature, 0, instance);
}
