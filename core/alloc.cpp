// TEMPORARY minimal allocator so that the other modules link; replaced by the
// real module.
#include "core/alloc.h"

#include <cstdlib>
#include <cstring>

int uResizeBlock(uHandle h, uint32_t* c, uint32_t n, uint32_t size) {
  void* tmp = nullptr;
  if (!h) h = &tmp;
  uint32_t old = (c && *h) ? *c : 0;
  void* p = realloc((c && *h) ? *h : nullptr, size_t(n) * size);
  if (!p) return -701;
  if (n > old) memset(static_cast<char*>(p) + size_t(old) * size, 0, size_t(n - old) * size);
  *h = p;
  if (c) *c = n;
  return 0;
}
void* uAlloc(uHandle h, uint32_t* c, uint32_t n, uint32_t size) {
  void* tmp = nullptr;
  if (!h) h = &tmp;
  if (uint64_t(n) * size == 0) { if (c && *h) free(*h); *h = nullptr; if (c) *c = 0; return nullptr; }
  uResizeBlock(h, c, n, size);
  return *h;
}
void uFree(uHandle h) { if (h) { free(*h); *h = nullptr; } }
void uFreeIfSet(uHandle h) { if (h && *h) uFree(h); }
void uOutOfMemory() {}
void uSetReserveSize(const char*, int) {}
uint32_t uReserveSize() { return 131072; }
void uReserveRenew() {}
void uReserveFree() {}
bool uReserveHeld() { return false; }
void allocInfoRegister(const char*, const uint16_t*, uint32_t) {}
void allocInfoRegister(const char*, const int32_t*, uint32_t) {}
void allocInfoRegister(const char*, std::nullptr_t, uint32_t) {}
void allocInfoRegisterP(const char*, const uint16_t*, const uint32_t*) {}
void allocInfoRegisterP(const char*, const int32_t*, const uint32_t*) {}
void allocInfoRegisterP(const char*, std::nullptr_t, const uint32_t*) {}
void allocInfoReport() {}
void allocReserveReport() {}
