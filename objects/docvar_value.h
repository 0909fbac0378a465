// The coding of saved script values in a drawing file's variable section:
// an "i" tag, then the payload.
//   0 null       nothing
//   1 boolean    "i" 0 or 1
//   2 integer    "l"
//   3 real       "x"
//   4 name       "i" length, then the bytes as a "C" field
//   5 string     as a name
//   6 array      "i" count, then each element
//   7 dictionary "i" count, then key and value of each entry
// Other types cannot be written. A value that contains itself cannot be
// written either (it would never end).
#ifndef PLUMET_OBJECTS_DOCVAR_VALUE_H
#define PLUMET_OBJECTS_DOCVAR_VALUE_H

#include "fe/value.h"
#include "objects/ioctx.h"

// Writes value; -1 (with nothing useful written) for a type that has no
// coding or a value that contains itself.
int feWrite(ioCtx* ctx, const feObject* value);
// Whether feWrite can write the value (logs the type that has no coding).
bool feWritable(const feObject* value);
// Reads one value into *out (a new value the caller owns; null on
// failure). -1 for an unknown tag, a count that cannot fit in what is left
// of the record, or a read past its end.
int feRead(ioCtx* ctx, feObject* out);

// A deep copy: strings, arrays and dictionaries are copied, not shared. A
// value that contains itself copies as null.
void feDeepCopy(const feObject* value, feObject* out);

#endif
