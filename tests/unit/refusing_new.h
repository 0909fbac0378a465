// A replacement of the global operator new for the test executables that
// try the out-of-memory path of the standard library (std::bad_alloc).
// While armed it counts the calls and refuses the refuseAt-th (counting
// from 1; 0: none), or every call while refuseAll is set; unarmed it only
// allocates. Include it in exactly one source file of an executable.
#ifndef PLUMET_TESTS_REFUSING_NEW_H
#define PLUMET_TESTS_REFUSING_NEW_H

#include <cstddef>
#include <cstdlib>
#include <new>

namespace refusingnew {

struct State {
  bool armed = false;
  bool refuseAll = false;
  size_t refuseAt = 0;
  size_t count = 0;    // calls while armed
  size_t refused = 0;  // of these, the refused ones
};
inline State state;

inline void* allocate(size_t size) {
  if (state.armed) {
    ++state.count;
    if (state.refuseAll || state.count == state.refuseAt) {
      ++state.refused;
      throw std::bad_alloc();
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace refusingnew

void* operator new(size_t size) { return refusingnew::allocate(size); }
void* operator new[](size_t size) { return refusingnew::allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

#endif
