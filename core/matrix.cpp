// Matrix arithmetic on n x n row-major matrices of doubles (identity,
// product, transpose, inverse through Crout's LU decomposition) and the
// application of a 4x4 transformation to points and directions.
#include "core/matrix.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/vec.h"

#include <cstdint>
#include <cstring>

namespace {

// Scratch space for count elements: inside the object up to N, beyond that an
// allocator block released when the object goes, whatever the outcome.
template <class T, uint32_t N>
class Scratch {
public:
  explicit Scratch(uint64_t count) {
    if (count <= N) return;
    // A count past 32 bits is a bad request: the allocator reports it and
    // abandons the operation.
    const uint32_t n = count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count);
    uAlloc(&heap_, nullptr, n, sizeof(T));
  }
  ~Scratch() {
    if (heap_) uFree(&heap_);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  T* data() { return heap_ ? heap_ : local_; }

private:
  T local_[N] = {};
  T* heap_ = nullptr;
};

uint64_t squared(uint32_t n) { return uint64_t(n) * n; }

}  // namespace

int aMatrix(int32_t n, double* out) {
  if (n < 1 || n > 4) return feErrRangeCheck;
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = 0; j < n; ++j) out[i * n + j] = i == j ? 1.0 : 0.0;
  return 0;
}

double* matTransposeN(uint32_t n, const double* in, double* out) {
  if (in == out) {
    for (uint32_t i = 0; i < n; ++i)
      for (uint32_t j = i + 1; j < n; ++j) {
        const double t = out[i * n + j];
        out[i * n + j] = out[j * n + i];
        out[j * n + i] = t;
      }
    return out;
  }
  for (uint32_t i = 0; i < n; ++i)
    for (uint32_t j = 0; j < n; ++j) out[j * n + i] = in[i * n + j];
  return out;
}

double* matMulN(uint32_t n, const double* a, const double* b, double* out) {
  Scratch<double, 16> scratch(squared(n));
  double* t = scratch.data();
  for (uint32_t i = 0; i < n; ++i)
    for (uint32_t j = 0; j < n; ++j) {
      double sum = 0.0;
      for (uint32_t k = 0; k < n; ++k) sum += b[i * n + k] * a[k * n + j];
      t[i * n + j] = sum;
    }
  if (n) std::memcpy(out, t, squared(n) * sizeof(double));
  return out;
}

double* matMulTransN(uint32_t n, const double* a, const double* b, double* out) {
  Scratch<double, 16> scratch(squared(n));
  double* t = scratch.data();
  for (uint32_t i = 0; i < n; ++i)
    for (uint32_t j = 0; j < n; ++j) {
      double sum = 0.0;
      for (uint32_t k = 0; k < n; ++k) sum += b[i * n + k] * a[j * n + k];
      t[i * n + j] = sum;
    }
  if (n) std::memcpy(out, t, squared(n) * sizeof(double));
  return out;
}

int matLUDecompose(double* a, uint32_t n, int32_t* index, int32_t* parity) {
  Scratch<double, 8> scratch(n);
  double* scale = scratch.data();
  *parity = 1;

  // The reciprocal of each row's largest magnitude, for the scaled pivot
  // choice.
  for (uint32_t i = 0; i < n; ++i) {
    double big = 0.0;
    for (uint32_t j = 0; j < n; ++j) {
      const double v = a[i * n + j] < 0.0 ? -a[i * n + j] : a[i * n + j];
      if (v > big) big = v;
    }
    if (uSafeDiv(1.0, big, &scale[i]) != 0) {
      dbgPrintf("Singular matrix in routine LUDCMP1\n");
      return -1;
    }
  }

  for (uint32_t j = 0; j < n; ++j) {
    for (uint32_t i = 0; i < j; ++i) {
      double sum = a[i * n + j];
      for (uint32_t k = 0; k < i; ++k) sum -= a[i * n + k] * a[k * n + j];
      a[i * n + j] = sum;
    }
    double big = 0.0;
    uint32_t pivot = j;
    for (uint32_t i = j; i < n; ++i) {
      double sum = a[i * n + j];
      for (uint32_t k = 0; k < j; ++k) sum -= a[i * n + k] * a[k * n + j];
      a[i * n + j] = sum;
      const double weighted = scale[i] * (sum < 0.0 ? -sum : sum);
      if (weighted >= big) {  // on a tie the later row wins
        big = weighted;
        pivot = i;
      }
    }
    if (pivot != j) {
      for (uint32_t k = 0; k < n; ++k) {
        const double t = a[pivot * n + k];
        a[pivot * n + k] = a[j * n + k];
        a[j * n + k] = t;
      }
      *parity = -*parity;
      scale[pivot] = scale[j];
    }
    index[j] = static_cast<int32_t>(pivot);
    if (j + 1 < n) {
      const double divisor = a[j * n + j];
      for (uint32_t i = j + 1; i < n; ++i) {
        if (uSafeDiv(a[i * n + j], divisor, &a[i * n + j]) != 0) {
          dbgPrintf("Singular matrix in routine LUDCMP2\n");
          return -1;
        }
      }
    }
  }
  return 0;
}

int matLUSolve(const double* lu, uint32_t n, const int32_t* index, double* b) {
  // Forward substitution, applying the interchanges and skipping the leading
  // zeros of the right side.
  uint32_t first = n;  // the first non-zero element, n while there is none
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t ip = static_cast<uint32_t>(index[i]);
    double sum = b[ip];
    b[ip] = b[i];
    if (first < n) {
      for (uint32_t j = first; j < i; ++j) sum -= lu[i * n + j] * b[j];
    } else if (sum != 0.0) {
      first = i;
    }
    b[i] = sum;
  }
  // Back substitution.
  for (uint32_t i = n; i-- > 0;) {
    double sum = b[i];
    for (uint32_t j = i + 1; j < n; ++j) sum -= lu[i * n + j] * b[j];
    if (uSafeDiv(sum, lu[i * n + i], &b[i]) != 0) {
      dbgPrintf("Bad division in lubksb\n");
      return -1;
    }
  }
  return 0;
}

int matInvert(uint32_t n, const double* in, double* out, int alert) {
  // The factors and the inverse are built aside, so in stays as it was and
  // out is only written once the whole inverse is known.
  const uint64_t cells = squared(n);
  Scratch<double, 16 + 16 + 4> work(2 * cells + n);
  Scratch<int32_t, 4> pivots(n);
  double* lu = work.data();
  double* inverse = lu + cells;
  double* column = inverse + cells;
  int32_t* index = pivots.data();
  int32_t parity = 1;

  if (n) std::memcpy(lu, in, cells * sizeof(double));
  int result = matLUDecompose(lu, n, index, &parity);
  for (uint32_t j = 0; result == 0 && j < n; ++j) {
    for (uint32_t i = 0; i < n; ++i) column[i] = i == j ? 1.0 : 0.0;
    result = matLUSolve(lu, n, index, column);
    for (uint32_t i = 0; i < n; ++i) inverse[i * n + j] = column[i];
  }
  if (result != 0) {
    if (alert) uAlert(0, "TCan't invert matrix", nullptr);
    return -1;
  }
  if (n) std::memcpy(out, inverse, cells * sizeof(double));
  return 0;
}

int aPtTransform(uint32_t n, const double* point, const double* m, double* out) {
  uint32_t outCount = n & 0xFFu;
  uint32_t inCount = (n >> 8) & 0xFFu;
  if (inCount == 0) inCount = outCount;
  if (inCount > 4) inCount = 4;
  if (outCount > 4) outCount = 4;  // a 4x4 matrix has four rows

  if (inCount == 3 && out != point) {
    for (uint32_t k = 0; k < outCount; ++k) {
      const double* row = m + 4 * k;
      out[k] = row[3] + row[0] * point[0] + row[1] * point[1] + row[2] * point[2];
    }
    return 0;
  }
  double widened[4] = {0.0, 0.0, 0.0, 1.0};
  for (uint32_t i = 0; i < inCount; ++i) widened[i] = point[i];
  double result[4];
  for (uint32_t k = 0; k < outCount; ++k) result[k] = vecDotN(4, m + 4 * k, widened);
  vecCopyN(outCount, result, out);
  return 0;
}

int xformToInt(uint32_t n, const double* point, const double* m, int32_t* outInts) {
  double result[4];
  aPtTransform(n, point, m, result);
  const uint32_t count = (n & 0xFFu) > 4 ? 4 : (n & 0xFFu);
  return vecRoundN(count, result, outInts);
}

double* vectXform(uint32_t n, const double* v, const double* m, double* out) {
  if (n > 4) {
    dbgPanic("ndim too big in vectXform");
    return out;
  }
  double result[4];
  for (uint32_t k = 0; k < n; ++k) {
    double sum = 0.0;
    for (uint32_t i = 0; i < n; ++i) sum += v[i] * m[4 * k + i];
    result[k] = sum;
  }
  return vecCopyN(n, result, out);
}

bool xformIsMirrored(const double* m) {
  double normal[3];
  vecCross3(m, m + 4, normal);
  return vecDot3(normal, m + 8) < 0.0;
}
