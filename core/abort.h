// The abort signal: thrown where the program gives up the current operation
// (memory exhausted) and caught at the recovery point, which reports it and
// re-enters the message loop.
#ifndef PLUMET_CORE_ABORT_H
#define PLUMET_CORE_ABORT_H

#include <exception>

struct uAbortSignal : std::exception {
  explicit uAbortSignal(int sig) : signal(sig) {}
  const char* what() const noexcept override { return "abort signal"; }
  int signal;  // the signal number the recovery point reports (SIGABRT)
};

#endif
