// Header include: scripts share numeric constants with C-style header files.
// Reading a header records every line that begins with "#define" as a macro
// (fe/macro.h); the scanner then replaces a word "#NAME" by the macro's
// value. Every other line is ignored.
//
// A definition line is "#define", white space, the name (up to the next
// white space), white space, and the value: the whole rest of the line, so a
// trailing comment or trailing blanks stay in the value. Lines may end in
// LF, CR, or a CR LF pair. A definition whose name or value is longer than
// 255 characters is skipped with the debug-log line
// "file %s, line %d: error %d\n" (file name, line from 1, error code), and
// reading goes on.
#ifndef PLUMET_FE_INCLUDE_H
#define PLUMET_FE_INCLUDE_H

#include "fe/control.h"
#include "fe/opcall.h"

#include <cstddef>

// Reads the header file named by the first length bytes of name ("\" and
// "/" both separate directories): 0, or 271 (invalidfilename) when it
// cannot be opened (nothing is recorded then). Errors of single definitions
// do not fail the read.
int feIncludeFile(const char* name, size_t length);

// aInclude ("S"): filename -> (nothing).
int feOpAInclude(feArgs* args);

// The registration of "aInclude" (handler and signature), or null for
// another name.
const feOpSpec* feIncludeOpSpec(const char* name);

#endif
