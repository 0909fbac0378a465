// The execution loop and the entry points through which native code runs FE
// text and values.
#ifndef PLUMET_FE_EXEC_H
#define PLUMET_FE_EXEC_H

#include "fe/opcall.h"
#include "fe/value.h"

#include <cstdint>

// Runs until the execution stack holds fewer than max(depth, 1) entries;
// answers the code of the last error raised during the run that no stopped
// of the script caught (0 when none: an error the script handled is not a
// failure of the run; one taken by an errordict handler still is) and stores
// the flags of the entry being executed when it stopped (0 when empty) in
// *flags (may be null). std::bad_alloc from a step takes the out-of-memory
// path (uOutOfMemory, which throws uAbortSignal); an abort passes through
// with the entry being executed restored.
int feExecute(int32_t depth, uint16_t* flags);
int feRun();
// Runs text as FE source on a fresh execution stack; answers the result.
// These runs are exception-safe: an abort from inside ends the run (its
// stack released, its frames popped, a stack it put aside discarded, the
// caller's stack back) and goes on to the recovery point.
int feExecString(const char* text);
// The same, with errors reported through handleerror (errorcheck); still
// answers the error code. The stopped of errorcheck does not count as a
// catch: an error that only it caught fails the run.
int feRunString(const char* text);
// Runs a copy of value on a fresh execution stack.
int feExecObject(const feObject* value);
// The procedure feRunString runs the text under ({stopped {handleerror} if},
// fetched from systemdict at the interpreter's start); a copy is kept. Until
// one is set feRunString looks "errorcheck" up in systemdict, and without
// one it runs the text as feExecString does.
void feSetErrorCheck(const feObject* proc);

// Called by stopped when a stop ended its procedure: the error of the
// innermost run is forgotten, unless the stopped is the one of errorcheck in
// a feRunString run.
void feExecStopCaught();

// The execution-stack entry being executed, or null after a step that
// rearranged the execution stack itself (the loop then leaves the top alone).
feObject* feCurrentEntry();
void feClearCurrent();

// Removes the top n entries of the execution stack (fewer when it holds
// fewer), from the top down: a procedure activation that pushed a procedure
// frame pops it, a file being run is closed, every value is released. Every
// discarding of execution-stack entries goes through here, so the frame
// stack always matches the activations that are left.
void feExecDiscard(int32_t n);
// The execution stack copied into array, bottom first (execstack, and the
// record of an error): 269 unless an array, 267 when the stack holds more
// entries. out is the array's prefix of the stack's count. The copies do not
// carry the frame bit: a copy never pops a frame it did not push.
int feExecStackCopy(const feObject* array, feObject* out);

// Milliseconds since the interpreter's timer base (monotonic).
uint32_t feTimerElapsed();
void feTimerStart();

// Operators.
int feOpVersion();    // -> "1.0"
int feOpUsertime();   // -> milliseconds since the timer base
// suspend ("S"): the running execution stack is put aside (one is held at a
// time: 270 when one is held already) and the text runs on a fresh one.
// resume: the current execution stack is dropped and the one put aside by
// suspend in the same run is reinstalled; 279 (invalidaccess) when none is.
// A run that ends with a stack still put aside discards it.
int feOpSuspend(feArgs* args);
int feOpResume();

#endif
