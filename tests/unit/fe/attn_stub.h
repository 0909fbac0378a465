// Stands in for the user-interface layer's interrupt poll in the
// interpreter's tests: the operators that poll see the flag set here.
#ifndef PLUMET_TESTS_FE_ATTN_STUB_H
#define PLUMET_TESTS_FE_ATTN_STUB_H

#include "fe/attnpoll.h"

namespace attnstub {

inline int& flag() {
  static int value;
  return value;
}

inline int poll() { return flag(); }

// Sets the attention value the poll answers (0 removes the poll).
inline void setAttn(int value) {
  flag() = value;
  feSetAttnPoll(value ? poll : nullptr);
}

}  // namespace attnstub

#endif
