// The vertex module's set-up, its format letter V and its statistics.
#include "objects/vertex.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/ioformat.h"
#include "objects/vertex_internal.h"

namespace {

using vtx::table;

int vertexLetter(ioCtx* ctx, int repeat, const ioArg** cursor) {
  auto** slots = reinterpret_cast<vertexRec**>(*(*cursor)++);
  int bytes = 0;
  for (int i = 0; i < repeat; ++i) {
    const int n = vertexIO(slots ? &slots[i] : nullptr, ctx);
    if (n < 0) return -1;
    bytes += n;
  }
  return bytes;
}

// "!": the length of every non-empty chain, ten to a line, and the totals.
int opVertexStat(feArgs*) {
  const auto& chains = table().chains;
  int shown = 0;
  for (size_t i = 0; i < chains.size(); ++i) {
    int32_t length = 0;
    for (vertexRec* v = chains[i]; v; v = v->next) ++length;
    if (!length) continue;
    dbgPrintf("%d:%d, ", int32_t(i), length);
    if (++shown % 10 == 0) dbgPrintf("\n");
  }
  if (shown % 10) dbgPrintf("\n");
  dbgPrintf("# verticies: %d (%d referenced)\n", vertexCount(), vertexReferencedCount());
  return 0;
}

const feOpSpec kOps[] = {
    {"aVertexStat", opVertexStat, "!"},
};

}  // namespace

void vertexInit() {
  vtx::Table& t = table();
  if (t.chains.empty()) {
    t.chains.assign(vertexMinChains, nullptr);
    static bool registered;
    if (!registered) {
      allocInfoRegister("vertex", &t.count, sizeof(vertexRec));
      registered = true;
    }
    // The origin is kept out of the chains: vertexFind answers it itself.
    const double zero[3] = {0.0, 0.0, 0.0};
    vertexRec* v = vertexFind(zero);
    t.chains[0] = v->next;
    v->next = nullptr;
    --t.count;
    t.origin = v;
    vtx::indexRebuild(t);
  }
  ioDefFormat('V', nullptr);  // set again without the log line of a redefinition
  ioDefFormat('V', vertexLetter);
  feOpSpecRegisterAll(kOps);
}

void vertexExit() {
  vtx::Table& t = table();
  for (vertexRec*& block : t.blocks) uFree(&block);
  // Everything back to the start (the table stays where it is: the
  // statistics read its count in place).
  t = vtx::Table{};
}

int vertexIO(vertexRec** slot, ioCtx* ctx) {
  double xyz[3] = {0.0, 0.0, 0.0};
  if (ctx->mode != 'w') {
    const int n = ioFormat(ctx, "3d", xyz);
    if (n < 0) {
      dbgPanic("Bad read in vertexIO");
      return n;
    }
    if (slot) vertexSet(xyz, slot);
    return n;
  }
  const vertexRec* v = slot && *slot ? *slot : vertexOrigin();
  xyz[0] = v->x;
  xyz[1] = v->y;
  xyz[2] = v->z;
  return ioFormat(ctx, "3d", xyz);
}
