// The byte sink and source of a drawing file and the framing of records.
//
// While writing, each open record is a nesting level with a buffer of its
// own. The current level is ctx->level; the enclosing ones are kept in
// ctx->stack[0 .. depth-1] (entry 0 stands for the file itself), and the
// entries beyond the depth keep the buffers of levels that were closed, so
// that the next record opened at that depth reuses them. A record that
// outgrows ioRecordMax bytes becomes a segment: its header names a segment
// number whose total length the segment-length table keeps.
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include "core/alloc.h"
#include "core/debug.h"

#include <algorithm>
#include <cstring>

namespace {

enum : uint32_t {
  kGrowStep = 512,      // buffers grow in steps of this many bytes
  kStackStep = 4,       // nesting entries added at a time
  kSegStep = 16,        // segment-length entries added at a time
  kPassOnPiece = 4096,  // bytes handed to the enclosing level at a time
};

// Makes room for at least one more byte in the current level, ending and
// reopening the level as a segment when it is full.
void makeRoom(ioCtx* ctx) {
  ioLevel& level = ctx->level;
  if (level.cursor < level.end) return;
  if (level.end < ioRecordMax) {
    uint32_t want = (level.cursor + 1 + kGrowStep - 1) / kGrowStep * kGrowStep;
    want = std::max(want, level.end + kGrowStep);
    uAlloc(&level.base, &level.end, std::min<uint32_t>(want, ioRecordMax), 1);
    return;
  }
  ioRecordEnd(ctx, 0);
  if (ctx->level.end == 0) uAlloc(&ctx->level.base, &ctx->level.end, kGrowStep, 1);
}

void pushLevel(ioCtx* ctx, int tag) {
  if (ctx->depth + 1 > ctx->stackCap) uAlloc(&ctx->stack, &ctx->stackCap, ctx->stackCap + kStackStep, sizeof(ioLevel));
  ioLevel spare = ctx->stack[ctx->depth];
  ctx->stack[ctx->depth] = ctx->level;
  ++ctx->depth;
  ctx->level = {spare.base, 0, spare.end, tag, 0};
}

// Answers the level that was current; its buffer stays with the context.
ioLevel popLevel(ioCtx* ctx) {
  ioLevel ended = ctx->level;
  --ctx->depth;
  ctx->level = ctx->stack[ctx->depth];
  ctx->stack[ctx->depth] = ended;
  return ended;
}

uint32_t newSegment(ioCtx* ctx) {
  if (ctx->segCount == 0) ctx->segCount = 1;  // index 0 is never used
  if (ctx->segCount + 1 > ctx->segCap) uAlloc(&ctx->segLengths, &ctx->segCap, ctx->segCap + kSegStep, sizeof(uint32_t));
  uint32_t segment = ctx->segCount++;
  ctx->segLengths[segment] = 0;
  if (ctx->version < 2) {
    ctx->version = 2;
    uAlert(0, "WDrawing contains item too big for version 1.0 format, using version 2.0 format", nullptr);
  }
  return segment;
}

long streamEnd(ioCtx* ctx) {
  if (ctx->fileSize > 0) return ctx->fileSize;
  const long here = ioTell(ctx);
  ctx->readPosKnown = false;
  if (here < 0 || std::fseek(ctx->stream, 0, SEEK_END) != 0) return here;
  const long end = std::ftell(ctx->stream);
  ioSeek(ctx, here);
  return end;
}

}  // namespace

void ioPutByte(ioCtx* ctx, uint8_t byte) {
  if (!ctx->writeEnable) return;
  if (ctx->depth == 0) {
    ctx->readPosKnown = false;
    std::fputc(byte, ctx->stream);
    return;
  }
  makeRoom(ctx);
  ctx->level.base[ctx->level.cursor++] = byte;
}

void ioPutBytes(ioCtx* ctx, const uint8_t* bytes, size_t n) {
  if (!ctx->writeEnable) return;
  if (ctx->depth == 0) {
    ctx->readPosKnown = false;
    std::fwrite(bytes, 1, n, ctx->stream);
    return;
  }
  while (n > 0) {
    makeRoom(ctx);
    ioLevel& level = ctx->level;
    size_t piece = std::min<size_t>(n, level.end - level.cursor);
    std::memcpy(level.base + level.cursor, bytes, piece);
    level.cursor += uint32_t(piece);
    bytes += piece;
    n -= piece;
  }
}

bool ioGetByte(ioCtx* ctx, uint8_t* byte) {
  if (ctx->readLimit >= 0 && ioTell(ctx) >= ctx->readLimit) return false;
  const int c = std::fgetc(ctx->stream);
  if (c == EOF) {
    ctx->readPosKnown = false;
    return false;
  }
  ++ctx->readPos;
  *byte = uint8_t(c);
  return true;
}

long ioTell(ioCtx* ctx) {
  if (!ctx->readPosKnown) {
    ctx->readPos = std::ftell(ctx->stream);
    ctx->readPosKnown = ctx->readPos >= 0;
  }
  return ctx->readPos;
}

int ioSeek(ioCtx* ctx, long offset) {
  ctx->readPosKnown = false;
  if (std::fseek(ctx->stream, offset, SEEK_SET) != 0) return -1;
  ctx->readPos = offset;
  ctx->readPosKnown = true;
  return 0;
}

long ioBytesLeft(ioCtx* ctx) {
  if (!ctx->stream) return 0;
  long here = ioTell(ctx);
  if (here < 0) return 0;
  long limit = streamEnd(ctx);
  if (ctx->readLimit >= 0) limit = std::min(limit, ctx->readLimit);
  return std::max(0L, limit - here);
}

void ioRecordBegin(ioCtx* ctx, int tag) { pushLevel(ctx, tag); }

int ioRecordEnd(ioCtx* ctx, int mode) {
  if (ctx->depth == 0) {
    dbgPanic("[ioRecordEnd] no record open\n");
    return 0;
  }
  ioLevel ended = popLevel(ctx);
  // Take the ended level's buffer out of the stack while its bytes are
  // passed on: the enclosing level may itself overflow and reopen, and must
  // not pick this buffer up as its spare.
  ctx->stack[ctx->depth].base = nullptr;
  ctx->stack[ctx->depth].end = 0;
  int written = 0;
  uint32_t segment = ended.segment;
  if (segment == 0) {
    if (mode == 0) {
      segment = newSegment(ctx);
      written += putlong(ended.tag, ctx);
      written += putlong(int32_t(ioSegmentFlag + segment), ctx);
    } else {
      written += putlong(ended.tag, ctx);
      written += putlong(int32_t(ended.cursor & 0xFFFF), ctx);
    }
  }
  if (segment != 0) ctx->segLengths[segment] += ended.cursor;
  for (uint32_t done = 0; done < ended.cursor;) {
    uint32_t piece = std::min<uint32_t>(kPassOnPiece, ended.cursor - done);
    ioPutBytes(ctx, ended.base + done, piece);
    done += piece;
  }
  written += int(ended.cursor);
  ioLevel& spare = ctx->stack[ctx->depth];
  if (!spare.base) {
    spare.base = ended.base;
    spare.end = ended.end;
  } else {
    uFreeIfSet(&ended.base);
  }
  if (mode == 0) {
    pushLevel(ctx, ended.tag);
    ctx->level.segment = segment;
  }
  return written;
}

uint32_t ioSegLength(ioCtx* ctx, uint32_t lengthWord) {
  if (!(lengthWord & ioSegmentFlag)) return lengthWord & 0xFFFF;
  uint32_t segment = lengthWord - ioSegmentFlag;
  if (segment == 0 || segment >= ctx->segCount || !ctx->segLengths) {
    ioFail(ctx, -4139, "SBad data in file", nullptr);
    return 0;
  }
  return ctx->segLengths[segment];
}

void ioRecordFree(ioCtx* ctx) {
  uFreeIfSet(&ctx->level.base);
  ctx->level = {};
  for (uint32_t i = 0; i < ctx->stackCap; ++i) uFreeIfSet(&ctx->stack[i].base);
  uFreeIfSet(&ctx->stack);
  ctx->stackCap = ctx->depth = 0;
  uFreeIfSet(&ctx->segLengths);
  ctx->segCap = ctx->segCount = 0;
}
