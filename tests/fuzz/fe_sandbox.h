// A bounded interpreter for untrusted script text, shared by the fuzz
// targets whose readers run script code (FE text, translation files, drawing
// files).
//
// - Runs work in the process's scratch folder (scratch.h), and
//   the operators that reach outside the process's memory are refused with
//   invalidaccess wherever they are called from: files (open, run, include,
//   read, write), the configuration file, the compiled image, translation
//   files and templates, quit.
// - Every operator call counts against a step budget: at the soft limit the
//   call fails with interrupt (the script's error handling runs as usual);
//   a script that goes on past the hard limit is abandoned (an exception
//   through the execution loop, as memory exhaustion does). A wall-clock
//   limit answers the interrupt poll of the long-running operators.
// - Single allocations above a limit are refused, so that they end as
//   exhaustion (uAbortSignal) instead of as the fuzzer's malloc-limit report.
// - After every input the stacks are emptied and systemdict, userdict,
//   errordict and $error are put back as they were at the start, so that
//   one input never sees what an earlier one defined.
// - Then the arrays and dictionaries that only hold each other (an array
//   put into itself), which reference counting never frees, are emptied so
//   that they go: a script may make them, and they are no leak of the code
//   under test. Every other body that outlives the input is still reported.
#ifndef PLUMET_TESTS_FUZZ_FE_SANDBOX_H
#define PLUMET_TESTS_FUZZ_FE_SANDBOX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzfe {

// Starts the interpreter once through start (feInitFresh, or the program's
// environment), then sets the sandbox up as above. Later calls do nothing.
// The operators named in allowed (a null-terminated list, or null) are not
// refused: a target that puts back what they change after every input may
// let its inputs use them.
void sandboxStart(int (*start)(), const char* const* allowed = nullptr);

// Runs fn(context) within the budget: an abandoned run (budget spent,
// memory refused) is caught. Then the interpreter's state is put back.
// Answers true when fn returned normally.
bool sandboxRun(void (*fn)(void*), void* context);
template <class F>
bool sandboxRun(F& fn) {
  return sandboxRun([](void* c) { (*static_cast<F*>(c))(); }, &fn);
}

// Frees the cycles of arrays and dictionaries, made since the start, that
// nothing outside them refers to (sandboxRun does it after every input; a
// target that releases more afterwards calls it again).
void collectCycles();

// The names of every operator of the running interpreter, in table order.
std::vector<std::string> operatorNames();

// Runs bytes as script text the way the program runs text (under
// errorcheck, errors reported through handleerror). NUL bytes are part of
// the text.
void runScriptBytes(const uint8_t* data, size_t size);

}  // namespace fuzzfe

#endif
