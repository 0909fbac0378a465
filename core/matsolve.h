// A small dense linear system solved in place: Gaussian elimination with
// scaled partial pivoting. Offered to plug-ins, hence the C linkage.
#ifndef PLUMET_CORE_MATSOLVE_H
#define PLUMET_CORE_MATSOLVE_H

#include <stdint.h>

enum {
  matSolveMaxN = 8,           // the most equations matSolveN takes
  matSolveErrPivot = -1,      // no usable pivot: the rows are dependent
  matSolveErrDiagonal = -2,   // a diagonal too small in back substitution
  matSolveErrSize = -3,       // more than matSolveMaxN equations (or fewer than 0)
  matSolveErrZeroRow = -4,    // a row whose coefficients are all (nearly) 0
};

#ifdef __cplusplus
extern "C" {
#endif

// Solves a(i,0) x0 + ... + a(i,n-1) x(n-1) + c(i) = 0 for i < n. rows holds
// n pointers, each to n + 1 doubles: the coefficients, then the constant
// term. The pointers are reordered and the rows overwritten. A coefficient
// or pivot below 1e-10 in magnitude counts as 0. Answers 0 with x filled, or
// one of the codes above (x then unreliable). A size out of range answers
// before anything is touched.
int matSolveN(int32_t n, double** rows, double* x);

#ifdef __cplusplus
}
#endif

#endif
