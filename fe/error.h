// Error names, the handling of errors raised by execution steps, the record
// of the last error in $error, the standard report handleerror and quit.
#ifndef PLUMET_FE_ERROR_H
#define PLUMET_FE_ERROR_H

#include "fe/value.h"

#include <cstdint>

// Appends a record to the error-name table (the text is copied; the name is
// interned at once so that its index is fixed from the start).
void feDefError(int code, const char* name);
// Registers the error names in their fixed order, defines the built-in
// handleerror in errordict and makes recorderror (an operator that no
// dictionary holds). The operator handleerror of systemdict is registered
// with the other standard operators, in their order (feOpHandleError).
void feErrorInit();
// The name of a code, or null.
const char* feErrorName(int code);
// Entered by the execution loop for every non-zero step result: the
// offending entry leaves the execution stack and goes to the handler under
// the error's name (or its code, for a code without a name) in errordict;
// without one, command and name go to recorderror, which records the error
// in $error and stops.
void feError(int code);
// The built-in handleerror of errordict: prints the report once per error
// ("newerror" true), then sets "newerror" false.
int feErrorReport();
// Reports printed by feErrorReport since the start (the runner's exit status).
uint32_t feErrorReportCount();

// The interpreter's dictionaries (systemdict, userdict, errordict, $error):
// null before the interpreter has been started.
const feObject* feSystemDict();
const feObject* feUserDict();
const feObject* feErrorDict();
const feObject* feErrorRecordDict();
// Keeps copies of the four dictionaries (start-up).
void feErrorSetDicts(const feObject* systemdict, const feObject* userdict, const feObject* errordict,
                     const feObject* errorRecord);
// Operators.
int feOpHandleError();   // runs errordict's handleerror
int feOpQuit();          // the at-quit routines, then the quit request

#endif
