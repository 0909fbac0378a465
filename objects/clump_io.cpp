// A clump's record (message 312), after the head: the member count ("i"),
// each member as a whole object record, then from class version 2 on twelve
// doubles ("12d": the first three rows of the identity, ignored on reading).
// The class version comes from the file's type table (version 3 now).
//
// Clumps read from files of version 2 or below, or stored with a class
// version below 3, draw their members in their own colours (colour 254).
#include "objects/clump_internal.h"

#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"

namespace clumpint {

namespace {

enum {
  kVersion = 3,
  // Clumps nest as records inside records, each level one more frame of
  // native recursion: a file that nests deeper is refused.
  kMaxDepth = 256,
};

int depth;

struct DepthGuard {
  DepthGuard() { ++depth; }
  ~DepthGuard() { --depth; }
};

int readMembers(clumpRec* clump, ioCtx* ctx) {
  int32_t count = 0;
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  // Every member record takes at least two bytes: a larger count is damage.
  if (count < 0 || count > ioBytesLeft(ctx)) return -1;
  if (depth >= kMaxDepth) return -1;
  DepthGuard guard;
  for (int32_t i = 0; i < count; ++i) {
    int status = 0;
    gobjRec* member = nullptr;
    objRead(ctx, &status, &member);
    if (member) append(clump, member);
    // The end mark, or a record header that cannot be read: nothing more
    // of this clump can be read.
    if (status < 0) break;
  }
  return 0;
}

}  // namespace

int recordIO(clumpRec* clump, ioCtx* ctx) {
  const int version = ioTypeMap(ctx, clumpClassId(), kVersion);
  if (version < 0) return -1;
  if (ctx->mode == 'w') {
    int32_t count = clumpCount(clump);
    if (ioFormat(ctx, "i", &count) < 0) return -1;
    for (gobjRec* m = clump->first; m; m = m->nextInCell) objWrite(m, ctx);
  } else {
    if (ctx->version <= 2 || version < 3) clump->head.color = 254;
    releaseAll(clump);
    const int answer = readMembers(clump, ctx);
    recountKey(clump);
    if (answer < 0) return answer;
  }
  if (version >= 2) {
    double rows[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    if (ioFormat(ctx, "12d", rows) < 0) return -1;
  }
  return 0;
}

}  // namespace clumpint
