// The quit request. The message queue comes later; for now PostQuitMessage
// only records that a quit was asked for, and with which exit code.
#include "layer.h"

#include <platform_test.h>

namespace {

bool quitPosted = false;
int quitCode = 0;

}  // namespace

extern "C" void WINAPI PostQuitMessage(int nExitCode) {
  quitPosted = true;
  quitCode = nExitCode;  // a later request's code replaces an earlier one
}

bool plTestQuitPosted(int* exitCode) {
  if (quitPosted && exitCode) *exitCode = quitCode;
  return quitPosted;
}

void plTestClearQuit() {
  quitPosted = false;
  quitCode = 0;
}

namespace pl {
void resetQuit() { plTestClearQuit(); }
}  // namespace pl
