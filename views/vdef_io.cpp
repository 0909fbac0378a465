// View directions in the drawing file: the stored record, the list, and the
// container segment that carries the current document's list.
#include "views/vdef.h"

#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/vwtitle_io.h"

#include <cstring>

namespace {

// The fewest bytes a stored record takes: a title (at least its count),
// the flags word and nine doubles of at least one byte each.
constexpr long kRecordMinBytes = 11;

int writeList(ioCtx* ctx, docRec* doc) {
  int32_t count = doc ? int32_t(ownedCount(doc->firstVdir)) : 0;
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  for (vdefRec* record = doc ? doc->firstVdir : nullptr; record; record = record->next)
    if (vdefRecordIO(ctx, &record, 1) != 0) return -1;
  return 0;
}

int readList(ioCtx* ctx, docRec* doc, int import) {
  int32_t count = 0;
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  if (count < 0 || count > ioBytesLeft(ctx) / kRecordMinBytes) {
    ioFail(ctx, ioErrBadData, "SBad data in file", nullptr);
    return ioErrBadData;
  }
  for (int32_t i = 0; i < count; ++i) {
    vdefRec* record = nullptr;
    if (vdefRecordIO(ctx, &record, 0) != 0) return -1;
    const bool taken = doc && vdefFind(doc, record->title, uint32_t(std::strlen(record->title)));
    // A record that cannot be added (import, a title taken, a direction
    // without one) is not kept.
    if (import || !doc || taken || vdefAdd(doc, record) != 0) vdefFree(record);
  }
  return 0;
}

}  // namespace

int vdefRecordIO(ioCtx* ctx, vdefRec** record, int write) {
  if (!ctx || !record || (write && !*record)) return -1;
  const int version = vwFileDocVersion(ctx);
  vdefRec* target = write ? *record : vdefNew();
  bool ok = false;
  try {
    ok = vwTitleIO(ctx, &target->title, version, write) == 0 &&
         ioFormat(ctx, "i3d3d3d", &target->flags, target->centre, target->eye, target->up) >= 0;
  } catch (...) {
    // A failed read throws to the file's recovery point: the record made
    // for it is nobody's yet and goes first.
    if (!write) vdefFree(target);
    throw;
  }
  if (write) return ok ? 0 : -1;
  if (!ok) {
    vdefFree(target);
    return -1;
  }
  *record = target;
  return 0;
}

int vdefListIO(ioCtx* ctx, docRec* doc, int write, int import) {
  if (!ctx) return -1;
  return write ? writeList(ctx, doc) : readList(ctx, doc, import);
}

int vdefSegmentHook(ioCtx* ctx, int event) {
  int32_t word = 0;
  switch (event) {
    case ioEvReadSegment:
      if (ioFormat(ctx, "i", &word) < 0) return -1;
      return vdefListIO(ctx, vwCurDoc(), 0, (ctx->flags & ioFlagMerge) ? 1 : 0);
    case ioEvWriteSegment:
      if (ioFormat(ctx, "i", &word) < 0) return -1;
      return vdefListIO(ctx, vwCurDoc(), 1, 0);
    default: return 0;
  }
}
