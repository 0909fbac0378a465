// The byte codings of values in a drawing file, apart from the format
// interpreter that walks a record's fields (objects/ioformat.h).
//
// Encoders fill a caller's buffer and answer the byte count; the readers take
// bytes from a context's byte source and answer the bytes read, or 0 when the
// source ran dry (the value is then 0). Readers report nothing themselves:
// the interpreter decides how a failed read ends the call.
#ifndef PLUMET_OBJECTS_IOCODEC_H
#define PLUMET_OBJECTS_IOCODEC_H

#include "objects/ioctx.h"

#include <cstdint>

enum : int {
  ioLongMax = 5,     // longest compact integer
  ioDoubleMax = 9,   // longest compact double
};

// Compact integer of value into out; answers 1-5 (0 after the "bad write in
// putlong" panic, which an int32 never reaches).
int ioEncodeLong(int32_t value, uint8_t* out);
// Compact double of value after ioCleanDouble; answers 1-9.
int ioEncodeDouble(double value, uint8_t* out);

int ioReadLong(ioCtx* ctx, int32_t* out);
int ioReadDouble(ioCtx* ctx, double* out);

// A double stored in the older layout, as read back from its compact double.
double ioOldDouble(double stored);

#endif
