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
// bytes:
// - 0 bytes: frees the block when countVar is given (without countVar the
//   block is only dropped from the handle), stores null and count 0;
// - with countVar and a block held: resizes it, keeping its first elements;
//   otherwise a fresh block (the handle's old block is neither reused nor
//   freed);
// - elements from the old count up to n are zero-filled; countVar becomes n.
// A product past 32 bits is a bad request, not exhaustion: it is reported
// with a panic and the operation is abandoned (uAbortSignal) without touching
// the reserve. A refused request goes to uOutOfMemory. Never answers null for
// a non-zero request.
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

// The exhaustion action for a refused request; never returns. With the
// reserve held it gives the reserve back, alerts, runs the scripts' save
// offer (a script abandoned in turn does not keep the next from running) and
// abandons the operation; without it, it shows the fatal alert "Out of
// memory." and abandons the operation. Both throw uAbortSignal. The fatal
// path allocates nothing on its way to the box (the text is fixed and not
// translated); a request refused while it is shown (by the at-quit routines
// the fatal alert runs) is abandoned without a second alert. Also the
// program's answer to std::bad_alloc where native code meets the
// interpreter or the message loop.
[[noreturn]] void uOutOfMemory();

// Runs a script text for the out-of-memory path (the alert asking to save
// and the scripts' save offer). The program's start-up sets it to the
// interpreter's run with error reporting; null (the default) runs nothing.
typedef int (*uScriptRunner)(const char* text);
void uSetLowMemoryRunner(uScriptRunner runner);

// The emergency reserve. uSetReserveSize reads a decimal number (leading
// blanks and a sign allowed) from the first length characters of text (at
// most 63) and keeps it within 131072 .. 1073741824; text that is not a
// number gives 131072. uReserveRenew takes the reserve block once per run;
// later calls do nothing, also after the reserve has been spent.
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
