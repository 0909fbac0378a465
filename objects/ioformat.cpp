// Placeholder bodies until the record format interpreter lands.
#include "objects/ioformat.h"

int ioFormatArgs(ioCtx*, const char*, const ioArg*, size_t) { return -1; }
void ioDefFormat(char, ioFormatHandler) {}
void ioSetLayerCoder(ioLayerCoder) {}
int putlong(int32_t, ioCtx*) { return 0; }
int getlong(int32_t* out) { *out = 0; return 0; }
int ioPutDouble(double, ioCtx*) { return 0; }
int ioGetDouble(double* out) { *out = 0; return 0; }
double ioCleanDouble(double value) { return value; }
int ioSpecialCode(uint8_t) { return 0; }
uint8_t ioSpecialChar(int) { return 0; }
int ioSpecialCount(const uint8_t*, size_t) { return 0; }
