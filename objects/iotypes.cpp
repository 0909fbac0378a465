// The table of stored classes (segment of header word 3) and the
// segment-length table (word 7) of a drawing file.
//
// The type table maps a record's type index to a class and the record level
// (layout version) the class wrote. It is written at the end of the file as
// `i` count, then per entry `C` the class name and, from version 1 on, `s`
// the level. The segment-length table holds the total lengths of records
// that outgrew one buffer: `ii` 0 and the count, then `*l` the lengths
// (entry 0 unused).
#include "objects/iofile.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "objects/gobject.h"
#include "objects/ioformat.h"

#include <algorithm>
#include <cstring>

namespace {

const char kCorrupt[] = "SFile has been corrupted. Cannot read.";

// Reads a table with read (false when it cannot be read) and reports a
// failure: -4139 through ioFail with the alert, and the hook answers -2. A
// read that failed inside ioFormat may already leave for the recovery point;
// the alert is shown on the way.
int readTable(ioCtx* ctx, bool (*read)(ioCtx*)) {
  bool ok;
  try {
    ok = read(ctx);
  } catch (const ioFailure&) {
    uAlert(0, kCorrupt, nullptr);
    throw;
  }
  if (ok) return 0;
  ioFail(ctx, ioErrBadData, kCorrupt, nullptr);
  return -2;
}

uint32_t roundUp(uint32_t n, uint32_t step) { return (n + step - 1) / step * step; }

// The class of a stored name, or 0 (with an alert) when no class has it.
uint16_t storedClass(const char* name) {
  // Old files spell this class with one "o".
  const char* wanted = std::strcmp(name, "ballon") == 0 ? "balloon" : name;
  const uint16_t classId = objClassByName(wanted);
  if (!classId) {
    uAlert(0, "WFile contains object(s) of type '^0' that cannot be read", name);
    dbgPrintf("[ioTypeTbl] '%s': unknown Class\n", name);
  }
  return classId;
}

bool readTypes(ioCtx* ctx) {
  int32_t count = 0;
  if (ioFormat(ctx, "i", &count) < 0) return false;
  // Every entry takes at least its name's count byte, and its level byte.
  const long perEntry = ctx->version >= 1 ? 2 : 1;
  if (count < 0 || uint32_t(count) > ioTypeMax || count * perEntry > ioBytesLeft(ctx)) return false;
  ctx->typeCount = 0;
  if (count > 0 && ctx->typeCap < uint32_t(count))
    uAlloc(&ctx->types, &ctx->typeCap, roundUp(uint32_t(count), 8), sizeof(ioTypeEntry));
  for (int32_t i = 0; i < count; ++i) {
    char name[16] = {};
    uint16_t length = sizeof name - 1;
    if (ioFormat(ctx, "C", &length, name) < 0) return false;
    int16_t level = 0;
    if (ctx->version >= 1 && ioFormat(ctx, "s", &level) < 0) return false;
    name[std::min<uint16_t>(length, 8)] = 0;
    ctx->types[ctx->typeCount++] = ioTypeEntry{storedClass(name), uint16_t(level)};
  }
  return true;
}

int writeTypes(ioCtx* ctx) {
  int32_t count = int32_t(ctx->typeCount);
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  for (uint32_t i = 0; i < ctx->typeCount; ++i) {
    const ioTypeEntry& entry = ctx->types[i];
    const objClassRec* rec = objClassEntry(entry.classId);
    char name[8] = {};
    uint16_t length = 0;
    if (rec) {
      const void* end = std::memchr(rec->name, 0, sizeof rec->name);
      length = uint16_t(end ? static_cast<const char*>(end) - rec->name : sizeof rec->name);
      std::memcpy(name, rec->name, length);
    }
    if (ioFormat(ctx, "C", &length, name) < 0) return -1;
    // An entry whose class never asked for its level has written level 0.
    int16_t level = entry.level == ioNoLevel ? 0 : int16_t(entry.level);
    if (ctx->version >= 1 && ioFormat(ctx, "s", &level) < 0) return -1;
  }
  return 0;
}

bool readSegLengths(ioCtx* ctx) {
  int32_t zero = 0, count = 0;
  if (ioFormat(ctx, "ii", &zero, &count) < 0) return false;
  // Each length takes at least one byte.
  if (count < 0 || count > ioBytesLeft(ctx)) return false;
  if (count > 0) {
    if (ctx->segCap < uint32_t(count))
      uAlloc(&ctx->segLengths, &ctx->segCap, roundUp(uint32_t(count), 16), sizeof(uint32_t));
    if (ioFormat(ctx, "*l", count, ctx->segLengths) < 0) return false;
  }
  ctx->segCount = uint32_t(count);
  return true;
}

int writeSegLengths(ioCtx* ctx) {
  int32_t zero = 0, count = int32_t(ctx->segCount);
  if (ioFormat(ctx, "ii", &zero, &count) < 0) return -1;
  if (count > 0 && ioFormat(ctx, "*l", count, ctx->segLengths) < 0) return -1;
  return 0;
}

}  // namespace

int ioTypeIndex(ioCtx* ctx, uint16_t classId, bool add) {
  if (!ctx) return -1;
  for (uint32_t i = 0; i < ctx->typeCount; ++i)
    if (ctx->types[i].classId == classId) return int(i);
  if (!add) return -1;
  if (ctx->typeCount >= ctx->typeCap) uAlloc(&ctx->types, &ctx->typeCap, ctx->typeCap + 8, sizeof(ioTypeEntry));
  ctx->types[ctx->typeCount] = ioTypeEntry{classId, ioNoLevel};
  return int(ctx->typeCount++);
}

int ioTypeMap(ioCtx* ctx, uint16_t classId, int level) {
  const int index = ioTypeIndex(ctx, classId, true);
  if (index < 0) return 0;
  ioTypeEntry& entry = ctx->types[index];
  // A class registered while the file is at version 0 writes the oldest
  // layout; storing 0 keeps the table truthful when the version is raised
  // later in the same file.
  if (ctx->mode == 'w' && entry.level == ioNoLevel) entry.level = ctx->version == 0 ? 0 : uint16_t(level);
  if (ctx->version == 0 || entry.level == ioNoLevel) return 0;
  return entry.level;
}

void* ioNewType(ioCtx* ctx, int typeIndex) {
  if (!ctx || typeIndex < 0 || uint32_t(typeIndex) >= ctx->typeCount) {
    dbgPrintf("[ioNewType] bad type: %d\n", int32_t(typeIndex));
    return nullptr;
  }
  const uint16_t classId = ctx->types[typeIndex].classId;
  if (!classId) {
    dbgPrintf("bad Class in ioNewType\n");
    return nullptr;
  }
  gobjRec* object = objNew(classId);
  if (!object) {
    char name[9] = {};
    if (const objClassRec* rec = objClassEntry(classId)) std::memcpy(name, rec->name, 8);
    dbgPrintf("[ioNewType] Type '%.8s' [%d], new failed\n", static_cast<const char*>(name), int32_t(typeIndex));
  }
  return object;
}

int ioTypeTbl(ioCtx* ctx, int event) {
  if (event == ioEvReadSegment) return readTable(ctx, readTypes);
  if (event == ioEvWriteSegment) return writeTypes(ctx);
  return 0;
}

int ioSegLengthTbl(ioCtx* ctx, int event) {
  if (event == ioEvReadSegment) return readTable(ctx, readSegLengths);
  if (event == ioEvWriteSegment) return writeSegLengths(ctx);
  return 0;
}
