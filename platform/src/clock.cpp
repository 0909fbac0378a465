// GetTickCount: the system's monotonic clock in milliseconds, or a manual
// clock that only tests move.
#include "layer.h"

#include <platform_test.h>

#include <chrono>
#include <thread>

namespace {

bool manual = false;
DWORD manualTicks = 0;

DWORD systemTicks() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<DWORD>(static_cast<unsigned long long>(ms));  // wraps every 49.7 days
}

}  // namespace

extern "C" DWORD WINAPI GetTickCount(void) { return manual ? manualTicks : systemTicks(); }

void plTestSetTickCount(DWORD milliseconds) {
  manual = true;
  manualTicks = milliseconds;
}

void plTestAdvanceClock(DWORD milliseconds) {
  // Advancing the system clock freezes it at its current reading first.
  if (!manual) plTestSetTickCount(systemTicks());
  manualTicks += milliseconds;  // unsigned: wraps like the real count
}

void plTestUseSystemClock() { manual = false; }

extern "C" void WINAPI Sleep(DWORD dwMilliseconds) {
  // A manual clock only moves when told: sleeping moves it instead of waiting.
  if (manual) manualTicks += dwMilliseconds;
  else std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

namespace pl {
bool clockIsManual() { return manual; }
void resetClock() {
  manual = false;
  manualTicks = 0;
}
}  // namespace pl
