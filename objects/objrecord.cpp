#include "objects/objrecord.h"

#include "core/classes.h"
#include "core/debug.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"

#include <cstdio>

namespace {

enum { kAlertedReadErrors = 10 };

uint32_t readCount;
uint32_t readErrors;

void reportReadError(ioCtx* ctx, int typeIndex, gobjRec* object) {
  char name[16] = "?";
  if (object) {
    objClassName(object, sizeof name, name);
  } else if (typeIndex >= 0 && uint32_t(typeIndex) < ctx->typeCount) {
    const objClassRec* entry = objClassEntry(ctx->types[typeIndex].classId);
    if (entry) std::snprintf(name, sizeof name, "%.8s", entry->name);
  }
  if (++readErrors <= kAlertedReadErrors) uAlert(0, "WError reading object of type ^0", name);
  else dbgPrintf("Error reading object of type %s\n", name);
}

// Frees an object nobody holds (count 0); held objects stay with their holders.
void dropUnheld(gobjRec* object) {
  if (object && object->refCount == 0) objFree(object);
}

}  // namespace

int objWrite(gobjRec* object, ioCtx* ctx) {
  int typeIndex = ioTypeIndex(ctx, object->classId, true);
  if (typeIndex < 0) return 0;
  ioRecordBegin(ctx, typeIndex);
  gobjRec* slot = object;
  objMeth(object->classId, msgIO, object, reinterpret_cast<intptr_t>(ctx), reinterpret_cast<intptr_t>(&slot));
  return ioRecordEnd(ctx, 1);
}

int objRead(ioCtx* ctx, int* status, gobjRec** out) {
  *out = nullptr;
  *status = 0;
  int32_t typeIndex = -1, lengthWord = 0;
  uint32_t failuresBefore = ctx->readFailures;
  if (ioFormat(ctx, "il", &typeIndex, &lengthWord) < 0 || ctx->readFailures != failuresBefore) {
    // A header that cannot be read is damage, not the end mark.
    *status = -4139;
    return -1;
  }
  if (typeIndex < 0) {
    *status = -1;
    return -1;
  }
  ++readCount;
  const long start = ioTell(ctx);
  const long length = long(ioSegLength(ctx, uint32_t(lengthWord)));
  if (start < 0 || length > ioBytesLeft(ctx)) {
    ioFail(ctx, -4139, "SBad data in file", nullptr);
    *status = -4139;
    return -1;
  }
  const long end = start + length;

  // The record is read within its own bounds, and a class that runs past
  // them fails only its own record: the recovery point is set aside while
  // the class reads, so the stream is put right below and reading goes on.
  const long outerLimit = ctx->readLimit;
  ioRecovery* recovery = ctx->recovery;
  ctx->readLimit = end;
  ctx->recovery = nullptr;
  failuresBefore = ctx->readFailures;

  gobjRec* first = static_cast<gobjRec*>(ioNewType(ctx, typeIndex));
  gobjRec* slot = first;
  int answer = -1;
  if (first) {
    try {
      answer = objMeth(first->classId, msgIO, first, reinterpret_cast<intptr_t>(ctx),
                       reinterpret_cast<intptr_t>(&slot));
    } catch (...) {
      ctx->readLimit = outerLimit;
      ctx->recovery = recovery;
      if (slot != first) dropUnheld(slot);
      dropUnheld(first);
      throw;
    }
    // The class may have replaced the object in the slot; the first one
    // goes when nobody holds it.
    if (slot != first) dropUnheld(first);
  }
  ctx->recovery = recovery;
  ctx->readLimit = outerLimit;

  const bool failed = answer < 0 || !slot || ctx->readFailures != failuresBefore;
  if (failed) {
    reportReadError(ctx, typeIndex, slot ? slot : first);
    if (answer >= 0) answer = -4139;
    dropUnheld(slot);
    slot = nullptr;
  }

  const long here = ioTell(ctx);
  if (here != end) {
    if (slot) {
      char name[16] = "";
      objClassName(slot, sizeof name, name);
      dbgPrintf("[objRead] %.12s: io: adjust %ld bytes\n", name, int32_t(end - here));
      dbgPrintf("[objRead] rcnt=%d, offset=%ld, n=%ld, endoff=%ld\n", int32_t(readCount), int32_t(start),
                int32_t(length), int32_t(end));
    }
    if (ioSeek(ctx, end) != 0) {
      dropUnheld(slot);
      ioFail(ctx, -4139, "TBad seek", nullptr);
      *status = -4139;
      return -4139;
    }
  }
  *out = slot;
  return answer;
}

uint32_t objReadCount() { return readCount; }
uint32_t objReadErrors() { return readErrors; }
