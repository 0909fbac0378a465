// The registry of settings variables and the variable section of a drawing
// file (header word 6), with the sheet's variable section beside it.
#include "objects/docvar.h"
#include "objects/docvar_internal.h"
#include "objects/docvar_sheet.h"
#include "objects/docvar_value.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <cstdio>
#include <cstring>

namespace {

struct docVar {
  char* name;              // owned copy, NUL-terminated
  docVarRoutine routine;
};

uint32_t varCount;
uint32_t varCap;
docVar* vars;

enum : uint32_t { kNameMax = 255 };
const char kEnd[] = "$END";

void writeName(ioCtx* ctx, const char* name, size_t length) {
  uint16_t field = uint16_t(length);
  ioFormat(ctx, "C", &field, name);
}

void writeEndRecord(ioCtx* ctx) {
  ioRecordBegin(ctx, 0);
  writeName(ctx, kEnd, 4);
  ioRecordEnd(ctx, 1);
}

// One record being read: its name, where its body ends, and the reader's
// own limit and recovery point, set aside while the body is read so that a
// failing body fails only its record.
struct varRecord {
  char name[kNameMax + 1];
  uint16_t nameLength;
  long start;
  long length;
  long end;
  long outerLimit;
  ioRecovery* recovery;
};

// Reads a record's header and name. 0, or -4139 for a header that cannot be
// read, a kind other than 0 or a length beyond the section.
int openRecord(ioCtx* ctx, varRecord* rec) {
  int32_t kind = 0, lengthWord = 0;
  const uint32_t failures = ctx->readFailures;
  if (ioFormat(ctx, "il", &kind, &lengthWord) < 0 || ctx->readFailures != failures || kind != 0) {
    ioFail(ctx, docErrBadData, "Tfile corrupted in var section", nullptr);
    return docErrBadData;
  }
  rec->start = ioTell(ctx);
  rec->length = long(ioSegLength(ctx, uint32_t(lengthWord)));
  if (rec->start < 0 || rec->length > ioBytesLeft(ctx)) {
    ioFail(ctx, docErrBadData, "Tfile corrupted in var section", nullptr);
    return docErrBadData;
  }
  rec->end = rec->start + rec->length;
  rec->outerLimit = ctx->readLimit;
  rec->recovery = ctx->recovery;
  ctx->readLimit = rec->end;
  ctx->recovery = nullptr;
  rec->nameLength = kNameMax;
  std::memset(rec->name, 0, sizeof rec->name);
  ioFormat(ctx, "C", &rec->nameLength, rec->name);
  rec->name[rec->nameLength] = 0;
  return 0;
}

// Puts the stream at the record's end when its body was shorter or longer
// than stored. 0, or -4139 when the seek fails.
int closeRecord(ioCtx* ctx, varRecord* rec, const char* routine) {
  ctx->readLimit = rec->outerLimit;
  ctx->recovery = rec->recovery;
  const long here = ioTell(ctx);
  if (here == rec->end) return 0;
  if (routine) {
    dbgPrintf("[ioSheetVar]%s: io: adjust %ld bytes\n", rec->name, int32_t(rec->end - here));
  } else {
    dbgPrintf("[ERR docVarIO] %s: io: adjust %ld bytes at off:%ld nbytes:%ld\n", rec->name,
              int32_t(rec->end - here), int32_t(rec->start), int32_t(rec->length));
  }
  if (ioSeek(ctx, rec->end) != 0) {
    dbgPanic("bad seek [%ld,%ld,%d,%s]", int32_t(rec->start), int32_t(rec->length), int32_t(rec->nameLength),
             rec->name);
    ioFail(ctx, docErrBadData, "TBad seek", nullptr);
    return docErrBadData;
  }
  if (!routine) dbgPrintf("[docVarIO] reset to offset:%ld\n\n", int32_t(rec->end));
  return 0;
}

bool isEnd(const varRecord& rec) { return rec.nameLength == 4 && std::memcmp(rec.name, kEnd, 4) == 0; }

int writeSection(ioCtx* ctx, dbDocRec* doc) {
  for (uint32_t i = 0; i < varCount; ++i) {
    ioRecordBegin(ctx, 0);
    writeName(ctx, vars[i].name, std::strlen(vars[i].name));
    vars[i].routine(vars[i].name, doc, ctx);
    ioRecordEnd(ctx, 1);
  }
  docVarCapture(doc);
  for (uint32_t i = 0; i < varSaveCount(); ++i) {
    const varSaveEntry* e = varSaveEntryAt(i);
    // The current value decides whether the entry can be written: a value
    // that contains itself was captured as null but is still refused.
    feObject current;
    const bool loaded = feLoad(&e->name, &current) == 0;
    if (e->global && (!(ctx->flags & ioFlagWriteGlobals) || !loaded)) {
      if (loaded) feFree(&current);
      continue;
    }
    const bool ok = !loaded || feWritable(&current);
    if (ok) {
      ioRecordBegin(ctx, 0);
      writeName(ctx, e->text, e->length);
      if (e->global) {
        feWrite(ctx, &current);
      } else {
        feObject null;
        feMakeNull(&null);
        feWrite(ctx, i < doc->savedCount ? &doc->savedValues[i] : &null);
      }
      ioRecordEnd(ctx, 1);
    } else {
      uAlert(0, "TfeWrite failed [^0]", e->text);
    }
    if (loaded) feFree(&current);
  }
  writeEndRecord(ctx);
  return 0;
}

// The body of a saved variable's record.
void readSaved(ioCtx* ctx, dbDocRec* doc, int index) {
  const varSaveEntry* e = varSaveEntryAt(uint32_t(index));
  if (e->global && !(ctx->flags & ioFlagReadGlobals)) return;
  feObject value;
  if (feRead(ctx, &value) != 0) {
    dbgPrintf("[docVarIO] %s: value not read\n", e->text);
    return;
  }
  if (feType(&value) == feTNull) {
    feObject current;
    if (feLoad(&e->name, &current) == 0) {
      feDeepCopy(&current, &value);
      feFree(&current);
    }
  }
  if (doc->savedCount < varSaveCount()) {
    uint32_t count = doc->savedCount;
    uAlloc(&doc->savedValues, &count, varSaveCount(), sizeof(feObject));
    for (uint32_t i = doc->savedCount; i < count; ++i) feMakeNull(&doc->savedValues[i]);
    doc->savedCount = count;
  }
  if (e->global) feStore(&e->name, &value);
  feFree(&doc->savedValues[index]);
  doc->savedValues[index] = value;
}

int readSection(ioCtx* ctx, dbDocRec* doc) {
  for (;;) {
    varRecord rec;
    if (int answer = openRecord(ctx, &rec)) return answer;
    if (isEnd(rec)) {
      if (int answer = closeRecord(ctx, &rec, nullptr)) return answer;
      break;
    }
    if (rec.name[0] == '$') {
      if (const int index = docVarIndex(rec.name, rec.nameLength); index >= 0) {
        vars[index].routine(vars[index].name, doc, ctx);
      } else {
        dbgPrintf("var '%s': cannot find\n", rec.name);
      }
    } else if (const int index = varSaveFind(rec.name, rec.nameLength); index >= 0) {
      readSaved(ctx, doc, index);
    } else {
      dbgPrintf("var '%s': cannot find\n", rec.name);
    }
    if (int answer = closeRecord(ctx, &rec, nullptr)) return answer;
  }
  docVarRestore(doc);
  return 0;
}

}  // namespace

void varRegisterList(docVarRoutine routine, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (!name) break;
    if (varCount == varCap) {
      uint32_t cap = varCap;
      uAlloc(&vars, &cap, varCap + 8, sizeof(docVar));
      varCap = cap;
    }
    const size_t length = std::strlen(name);
    docVar& v = vars[varCount++];
    v.name = nullptr;
    uAlloc(&v.name, nullptr, uint32_t(length + 1), 1);
    std::memcpy(v.name, name, length);
    v.routine = routine;
  }
}

uint32_t docVarCount() { return varCount; }

const char* docVarName(uint32_t i) { return i < varCount ? vars[i].name : nullptr; }

int docVarIndex(const char* name, uint32_t length) {
  for (uint32_t i = 0; i < varCount; ++i)
    if (std::strlen(vars[i].name) == length && std::memcmp(vars[i].name, name, length) == 0) return int(i);
  return -1;
}

docVarRoutine docVarFind(const char* name, uint32_t length) {
  const int i = docVarIndex(name, length);
  return i < 0 ? nullptr : vars[i].routine;
}

void docVarReset() {
  for (uint32_t i = 0; i < varCount; ++i) uFree(&vars[i].name);
  if (vars) uFree(&vars);
  vars = nullptr;
  varCount = varCap = 0;
}

int docVarIO(ioCtx* ctx, int event) {
  if (event != ioEvReadSegment && event != ioEvWriteSegment) return 0;
  dbDocRec* doc = dbDocCurrent();
  if (!doc) return docErrNoDoc;
  if (ctx->flags & (ioFlagMerge | ioFlagRaw)) return 0;
  return event == ioEvWriteSegment ? writeSection(ctx, doc) : readSection(ctx, doc);
}

int ioSheetVar(ioCtx* ctx) {
  if (ctx->mode != 'r') {
    writeEndRecord(ctx);
    return 0;
  }
  for (;;) {
    varRecord rec;
    if (int answer = openRecord(ctx, &rec)) return answer;
    const bool end = isEnd(rec);
    if (int answer = closeRecord(ctx, &rec, "ioSheetVar")) return answer;
    if (end) return 0;
  }
}
