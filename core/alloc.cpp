// The allocator behind uAlloc and the emergency reserve.
#include "core/alloc.h"

#include "core/abort.h"
#include "core/alloc_test.h"
#include "core/debug.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t reserveMin = 131072;
constexpr uint32_t reserveMax = 1073741824;

uScriptRunner lowMemoryRunner;

// Set while the fatal alert is being shown: what it runs (the at-quit
// routines) may run out again, and is then abandoned without a second alert.
bool reportingFatal;

// A script of the save offer. One that is abandoned (memory ran out again,
// the fatal alert then being shown) does not keep the next from running.
void runLowMemoryScript(const char* text) {
  if (!lowMemoryRunner) return;
  try {
    lowMemoryRunner(text);
  } catch (const uAbortSignal&) {
  } catch (const std::bad_alloc&) {
  }
}

// The system's resize call; tests replace it to refuse on demand.
void* (*systemRealloc)(void*, size_t) = std::realloc;

struct Reserve {
  uint32_t size = reserveMin;
  void* block = nullptr;
  bool taken = false;  // stays set once the reserve was allocated in this run
};
Reserve reserve;

bool productFits(uint32_t n, uint32_t size) { return uint64_t(n) * size <= UINT32_MAX; }

}  // namespace

int uResizeBlock(uHandle handle, uint32_t* countVar, uint32_t n, uint32_t size) {
  void* temp = nullptr;
  if (!handle) handle = &temp;
  if (!productFits(n, size)) return -701;
  const size_t bytes = size_t(n) * size;
  // Without a count variable the held block's size is unknown, so it cannot
  // be resized: a fresh block is made and the old one is left to the caller.
  const bool resize = countVar && *handle;
  if (bytes == 0) {
    if (resize) std::free(*handle);
    *handle = nullptr;
    if (countVar) *countVar = 0;
    return 0;
  }
  const uint32_t old = resize ? *countVar : 0;
  void* block = systemRealloc(resize ? *handle : nullptr, bytes);
  if (!block) return -701;
  if (n > old) std::memset(static_cast<char*>(block) + size_t(old) * size, 0, size_t(n - old) * size);
  *handle = block;
  if (countVar) *countVar = n;
  return 0;
}

void* uAlloc(uHandle handle, uint32_t* countVar, uint32_t n, uint32_t size) {
  void* temp = nullptr;
  if (!handle) handle = &temp;
  if (!productFits(n, size)) {
    // A count that does not fit is a caller's fault; wrapping it would hand
    // out a small block that the zero fill and the caller then overrun.
    dbgPanic("[uAlloc] request too large: %ud * %ud bytes\n", n, size);
    throw uAbortSignal(SIGABRT);
  }
  if (uResizeBlock(handle, countVar, n, size) != 0) uOutOfMemory();
  return *handle;
}

void uFree(uHandle handle) {
  if (!handle) return;
  std::free(*handle);
  *handle = nullptr;
}

void uFreeIfSet(uHandle handle) {
  if (handle && *handle) uFree(handle);
}

void uOutOfMemory() {
  if (reportingFatal) throw uAbortSignal(SIGABRT);
  if (reserve.block) {
    // Give the reserve back so that the scripts have room to save the
    // drawing, then leave the operation that ran out.
    std::free(reserve.block);
    reserve.block = nullptr;
    uAlert(4, "SCritically low on memory.", nullptr);
    runLowMemoryScript("(Please save current document in temporary file.)aAlert");
    runLowMemoryScript("aSaveAsInNoMemory");
    throw uAbortSignal(SIGABRT);
  }
  // Nothing left to give back. Retrying would only show the alert again for
  // as long as memory stays short; the fatal alert asks the program to quit.
  // Nothing on this path allocates: uAlert builds its message in place, and
  // the text is marked with "@" so that no translation look-up records it as
  // missing.
  struct Reporting {
    Reporting() { reportingFatal = true; }
    ~Reporting() { reportingFatal = false; }
  };
  {
    const Reporting reporting;
    uAlert(0, "F@Out of memory.", nullptr);
  }
  throw uAbortSignal(SIGABRT);
}

void uSetLowMemoryRunner(uScriptRunner runner) { lowMemoryRunner = runner; }

void uSetReserveSize(const char* text, int length) {
  char buffer[64];
  size_t used = 0;
  if (text && length > 0) {
    const size_t limit = length < 63 ? size_t(length) : 63;
    while (used < limit && text[used]) {
      buffer[used] = text[used];
      ++used;
    }
  }
  buffer[used] = 0;

  // Decimal number with leading blanks and a sign. Anything beyond the
  // largest reserve reads as the largest, so the value never overflows.
  const char* p = buffer;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + uint64_t(*p - '0');
    if (value >= reserveMax) value = reserveMax;
  }
  if (negative || value <= reserveMin) reserve.size = reserveMin;
  else reserve.size = uint32_t(value);
}

uint32_t uReserveSize() { return reserve.size; }

void uReserveRenew() {
  if (reserve.taken) return;
  reserve.block = systemRealloc(nullptr, reserve.size);
  reserve.taken = true;
}

void uReserveFree() {
  std::free(reserve.block);
  reserve.block = nullptr;
}

bool uReserveHeld() { return reserve.block != nullptr; }

void allocReserveReport() { dbgPrintf("%ld Byte\n", reserve.size); }

void uSetSystemRealloc(void* (*resize)(void*, size_t)) {
  systemRealloc = resize ? resize : std::realloc;
}

void uReserveTestReset() {
  std::free(reserve.block);
  reserve = Reserve{};
}
