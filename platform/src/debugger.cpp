// The debugger hand-off. No debugger is attached here: text sent to it is
// kept (and shown on standard error), and a breakpoint is only counted, so
// the process carries on.
#include "layer.h"

#include <platform_test.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string output;
int breaks = 0;

}  // namespace

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (!lpOutputString) return;
  size_t length = std::strlen(lpOutputString);
  output.append(lpOutputString, length);
  std::fwrite(lpOutputString, 1, length, stderr);
  std::fflush(stderr);
}

extern "C" void WINAPI DebugBreak(void) { ++breaks; }

const std::string& plTestDebugOutput() { return output; }

int plTestDebugBreaks() { return breaks; }

namespace pl {
void resetDebugger() {
  output.clear();
  breaks = 0;
}
}  // namespace pl
