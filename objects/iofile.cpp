// Placeholder bodies until the drawing file container lands.
#include "objects/iofile.h"

int ioOpen(ioCtx** out, const char*, int, uint32_t, int, ioRecovery*) { *out = nullptr; return -4100; }
int ioClose(ioCtx*) { return -4100; }
void ioFail(ioCtx* ctx, int code, const char*, const char*) {
  if (ctx && ctx->recovery) throw ioFailure{ctx->recovery, code};
}
int ioTypeMap(ioCtx*, uint16_t, int level) { return level; }
int ioTypeIndex(ioCtx*, uint16_t, bool) { return -1; }
void* ioNewType(ioCtx*, int) { return nullptr; }
void ioSetSegmentHook(int, ioSegmentHook) {}
int ioTypeTbl(ioCtx*, int) { return 0; }
