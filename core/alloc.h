// The program's allocator. A block is always reached through the address of
// the variable that holds it (a uHandle), often with the address of a
// variable holding its element count: uAlloc allocates, grows, shrinks or
// frees in one call, zero-fills new elements and keeps the count current.
// When memory runs out the emergency reserve is given back once so that the
// scripts can offer to save the drawing; the operation is then abandoned
// (uAbortSignal, core/abort.h).
#ifndef PLUMET_CORE_ALLOC_H
#define PLUMET_CORE_ALLOC_H

#include <cstddef>
#include <cstdint>

typedef void** uHandle;

// Answers the block now held (null when freed). handle may be null (the new
// block is only returned); countVar may be null. The request is n * size
// bytes; a product past 32 bits is refused.
void* uAlloc(uHandle handle, uint32_t* countVar, uint32_t n, uint32_t size);
template <class T>
T* uAlloc(T** handle, uint32_t* countVar, uint32_t n, uint32_t size) {
  return static_cast<T*>(uAlloc(reinterpret_cast<uHandle>(handle), countVar, n, size));
}

// The single attempt behind uAlloc: 0, or -701 when refused (nothing changed).
int uResizeBlock(uHandle handle, uint32_t* countVar, uint32_t n, uint32_t size);

void uFree(uHandle handle);
template <class T>
void uFree(T** handle) { uFree(reinterpret_cast<uHandle>(handle)); }
void uFreeIfSet(uHandle handle);
template <class T>
void uFreeIfSet(T** handle) { uFreeIfSet(reinterpret_cast<uHandle>(handle)); }

// The exhaustion action run before each retry of a refused request.
void uOutOfMemory();

// The emergency reserve.
void uSetReserveSize(const char* text, int length);
uint32_t uReserveSize();
void uReserveRenew();
void uReserveFree();
bool uReserveHeld();

// Allocation statistics: record types and their live counts. A name that
// begins with "!" is listed but left out of the totals. The counter's low
// 16 bits are read as an unsigned number; it may be null (counts as 1).
void allocInfoRegister(const char* name, const uint16_t* counter, uint32_t size);
void allocInfoRegister(const char* name, const int32_t* counter, uint32_t size);
void allocInfoRegister(const char* name, std::nullptr_t counter, uint32_t size);
void allocInfoRegisterP(const char* name, const uint16_t* counter, const uint32_t* sizeVar);
void allocInfoRegisterP(const char* name, const int32_t* counter, const uint32_t* sizeVar);
void allocInfoRegisterP(const char* name, std::nullptr_t counter, const uint32_t* sizeVar);

// What the operators aAllocInfo and aGetReserverSize write to the debug log.
void allocInfoReport();
void allocReserveReport();

#endif
