// The quit request. PostQuitMessage does not post a message: it marks the
// queue, and WM_QUIT comes out once the posted messages are gone (queue.cpp).
#include "layer.h"

#include <platform_test.h>

namespace {

bool quitPosted = false;   // ever asked for since the last clear
bool quitWaiting = false;  // asked for and not yet taken as WM_QUIT
int quitCode = 0;

}  // namespace

extern "C" void WINAPI PostQuitMessage(int nExitCode) {
  quitPosted = true;
  quitWaiting = true;
  quitCode = nExitCode;  // a later request's code replaces an earlier one
}

bool plTestQuitPosted(int* exitCode) {
  if (quitPosted && exitCode) *exitCode = quitCode;
  return quitPosted;
}

void plTestClearQuit() {
  quitPosted = false;
  quitWaiting = false;
  quitCode = 0;
}

namespace pl {
bool quitPending(int* exitCode) {
  if (quitWaiting && exitCode) *exitCode = quitCode;
  return quitWaiting;
}
void takeQuit() { quitWaiting = false; }
int lastQuitCode() { return quitCode; }
void resetQuit() { plTestClearQuit(); }
}  // namespace pl
