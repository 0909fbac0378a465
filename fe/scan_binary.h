// Binary tokens of file sources: a lead byte, then the value's bytes in
// little-endian order, read straight from the file's stream.
//   132  4-byte integer          142  string, 1-byte length, then the bytes
//   134  2-byte signed integer   143  string, 2-byte length, then the bytes
//   136  1-byte signed integer   160  8-byte real (double)
#ifndef PLUMET_FE_SCAN_BINARY_H
#define PLUMET_FE_SCAN_BINARY_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

// Where the bytes come from: read answers how many of the n bytes it read.
struct feScanBytes {
  void* context;
  size_t (*read)(void* context, uint8_t* out, size_t n);
};

bool feScanIsBinaryLead(int byte);
// 0 with the token; 273 (ioerror) when the source gives fewer bytes than
// the token needs; 275 for a byte that does not lead a binary token.
int feScanBinaryToken(int lead, const feScanBytes* source, feObject* out);

#endif
