// The line's record (message 312), one routine for both directions. Its
// layout version is fixed per file in the type table under "line":
//
//   version 0  head, "VV"            the start and end vertices
//   version 1  + "bb"                fontStart, fontEnd (patterned fonts only)
//   version 2  + ".s .s"             the arrowhead at start, at end
//              + "bf"                arrow kind and size (with an arrowhead)
//   version 3  + "3d"                the arrowhead's up vector (with an arrowhead)
//
// Reading finds or adds the arrowhead's line-style entry (up vector
// (0, 0, 1) before version 3) and refits the dash phase.
#include "geometry/line_internal.h"

#include "core/classes.h"
#include "core/vec.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"

namespace {

constexpr int kVersion = 3;

}  // namespace

namespace linemod {

int recordIO(lineRec* line, ioCtx* ctx, gobjRec** slot) {
  if (!ctx) return -1;
  const int version = ioTypeMap(ctx, line->head.classId, kVersion);
  if (version < 0) return -1;
  const int head = objMeth(objSuperClass(line->head.classId), msgIO, line, reinterpret_cast<intptr_t>(ctx),
                           reinterpret_cast<intptr_t>(slot));
  if (head < 0) return head;
  const bool reading = ctx->mode == 'r';
  int total = 0;
  auto add = [&total](int bytes) {
    if (bytes < 0) return false;
    total += bytes;
    return true;
  };
  if (!add(ioFormat(ctx, "VV", &line->p0, &line->p1))) return -1;
  if (version >= 1 && patterned(line) && !add(ioFormat(ctx, "bb", &line->fontStart, &line->fontEnd))) return -1;
  if (version >= 2) {
    if (reading) line->arrows = 0;
    if (!add(ioFormat(ctx, ".s .s", lineArrowStart, &line->arrows, lineArrowEnd, &line->arrows))) return -1;
    if (line->arrows & (lineArrowStart | lineArrowEnd)) {
      int kind = 0;
      double size = 0, up[3] = {0, 0, 1};
      if (!reading) lnstyleGet(line->arrows & lineArrowIndex, &kind, &size, up);
      uint8_t kindByte = uint8_t(kind);
      float sizeFloat = float(size);
      if (!add(ioFormat(ctx, "bf", &kindByte, &sizeFloat))) return -1;
      if (version >= 3 && !add(ioFormat(ctx, "3d", up))) return -1;
      if (reading) {
        const uint16_t index = lnstyleFind(kindByte, sizeFloat, up);
        line->arrows = uint16_t(line->arrows | (index & lineArrowIndex));
      }
    }
  }
  if (reading) {
    fitPhase(line);
    endsChanged(line);
  }
  return total;
}

}  // namespace linemod
