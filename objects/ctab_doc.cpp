// The colour state of documents: each document's settings record owns one
// colour table, made with the default contents when the document is made,
// made current with the document and released with it; a copied document
// takes the source's colours; the drawing file carries the table as the
// last block of the document stream.
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include "objects/docstate.h"

void colorStateCreate(dbDocRec* rec) {
  if (rec && !rec->colorState) rec->colorState = cTabMakeDefault();
}

void colorStateActivate(dbDocRec* rec) {
  if (rec && rec->colorState) cTabSetCurrent(rec->colorState);
}

void colorStateRelease(dbDocRec* rec) {
  if (!rec) return;
  cTab* table = rec->colorState;
  rec->colorState = nullptr;
  cTabRelease(table);
}

void colorStateCopy(const dbDocRec* from, dbDocRec* to) {
  if (from && to && from->colorState && to->colorState) cTabCopyEntries(from->colorState, to->colorState);
}

namespace {

// A table read only to pass its block; freed however the read ends.
struct Scratch {
  cTab* table = cTabNew();
  ~Scratch() { cTabFree(table); }
};

}  // namespace

int cTabDocFileIO(ioCtx* ctx, dbDocRec* settings, int write) {
  cTab* table = settings ? settings->colorState : nullptr;
  if (write) return table ? cTabIO(ctx, table) : 0;
  if (table) return cTabIO(ctx, table);
  Scratch scratch;
  return cTabIO(ctx, scratch.table);
}
