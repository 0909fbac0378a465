// The names under which scripts see the program's error codes (-4097 to
// -4157, 13 and 32): an error handler in errordict is found by these names
// and a report prints them ("VarNotDefined" for -4141).
#ifndef PLUMET_OBJECTS_ERRNAMES_H
#define PLUMET_OBJECTS_ERRNAMES_H

// Module set-up: appends the names to the interpreter's error-name table in
// their fixed order (-4097 downwards, then 13 and 32). -4109 and -4148 have
// no name and are reported as their numbers.
void errNamesInit();

#endif
