// Opening and closing drawing files: the header, the segment hooks, the safe
// save through a temporary file, and the failure path with its recovery point.
#include "objects/iofile.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/ioformat.h"
#include "objects/style.h"
#include "objects/symb.h"
#include "ui/filesys.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// The segment hooks in the order they receive events 13-16 and write their
// segments; reading goes from the last to the first, so the type table is
// read before anything that makes objects.
struct ioHookSlot {
  int word;
  ioSegmentHook hook;
};
ioHookSlot hookTable[] = {
    {ioWordViewDirs, nullptr}, {ioWordVariables, nullptr},        {ioWordSymbols, nullptr},
    {ioWordLayers, nullptr},   {ioWordSegLengths, ioSegLengthTbl}, {ioWordTypes, ioTypeTbl},
};

int (*unitsFlagSource)() = nullptr;

void sendAll(ioCtx* ctx, int event) {
  for (const ioHookSlot& slot : hookTable)
    if (slot.hook) slot.hook(ctx, event);
}

uint32_t headerWord(const uint8_t* header, int word) {
  const uint8_t* p = header + 4 * word;
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void putHeaderWord(uint8_t* header, int word, uint32_t value) {
  uint8_t* p = header + 4 * word;
  p[0] = uint8_t(value >> 24);
  p[1] = uint8_t(value >> 16);
  p[2] = uint8_t(value >> 8);
  p[3] = uint8_t(value);
}

char* copyName(const char* name, size_t length) {
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(length + 1), 1));
  std::memcpy(copy, name, length);
  copy[length] = 0;
  return copy;
}

// Frees the context and everything it holds. A file still open for writing
// through a temporary name loses the temporary file; the hooks get the end
// event when they had the start event and not yet the end.
void freeCtx(ioCtx* ctx) {
  const char mode = ctx->mode;
  ctx->mode = 0;
  if (mode == 'r') sendAll(ctx, ioEvReadEnd);
  if (mode == 'w') sendAll(ctx, ioEvWriteEnd);
  if (ctx->stream) std::fclose(ctx->stream);
  ctx->stream = nullptr;
  if (ctx->tempName) aDeleteFile(ctx->tempName, int(std::strlen(ctx->tempName)), nullptr);
  uFreeIfSet(&ctx->tempName);
  uFreeIfSet(&ctx->name);
  uFreeIfSet(&ctx->types);
  // The per-file style and symbol tables go with the stream, and with them
  // the references of a stream abandoned half way.
  styleIOClose(ctx);
  symbIOClose(ctx);
  // The layer map is the layer hook's, but dies with the context whatever
  // events the hook saw.
  uFreeIfSet(&ctx->layerMap);
  ctx->layerMapCount = 0;
  ioRecordFree(ctx);
  delete ctx;
}

// A failure of ioOpen: through ioFail (which may leave for the recovery
// point), then the context goes.
int openFailed(ioCtx* ctx, int code, const char* alertText) {
  ioFail(ctx, code, alertText, nullptr);
  freeCtx(ctx);
  return code;
}

int openRead(ioCtx* ctx) {
  ctx->stream = std::fopen(ctx->name, "rb");
  if (!ctx->stream) return openFailed(ctx, ioErrCannotOpen, nullptr);
  uint8_t header[ioHeaderSize];
  if (std::fread(header, 1, ioHeaderSize, ctx->stream) != ioHeaderSize)
    return openFailed(ctx, ioErrCannotRead, nullptr);
  const uint32_t magic = headerWord(header, ioWordMagic);
  if (!(ctx->flags & ioFlagRaw) && (magic & ~15u) != ioMagic) return openFailed(ctx, ioErrBadMagic, nullptr);
  ctx->unitsFlag = uint8_t(magic & 15);
  ctx->version = headerWord(header, ioWordVersion);
  if (ctx->version > ioVersionMax) return openFailed(ctx, ioErrBadVersion, nullptr);

  ctx->mode = 'r';
  sendAll(ctx, ioEvHeaderRead);
  ctx->readPosKnown = false;
  if (std::fseek(ctx->stream, 0, SEEK_END) != 0 || (ctx->fileSize = std::ftell(ctx->stream)) < 0)
    return openFailed(ctx, ioErrCannotRead, nullptr);
  ctx->readLimit = ctx->fileSize;

  // A segment that would lie behind the end refuses the whole file before
  // any hook reads.
  for (int word = ioWordTypes; word <= ioWordViewDirs; ++word)
    if (long(headerWord(header, word)) > ctx->fileSize)
      return openFailed(ctx, ioErrTruncated, "SFile appears to have been truncated");

  for (int i = int(std::size(hookTable)) - 1; i >= 0; --i) {
    const ioHookSlot& slot = hookTable[i];
    const long offset = long(headerWord(header, slot.word));
    if (!slot.hook || offset == 0) continue;
    if (ioSeek(ctx, offset) != 0) {
      uAlert(0, "Wfseek failed in ioOpen1", nullptr);
      continue;
    }
    ctx->readLimit = ctx->fileSize;
    if (slot.hook(ctx, ioEvReadSegment) < 0)
      return openFailed(ctx, ctx->pendingError ? ctx->pendingError : ioErrBadData, nullptr);
  }
  ctx->readLimit = ctx->fileSize;

  // Without its record stream the file cannot be read at all.
  const long stream = long(headerWord(header, ioWordStream));
  if (stream > ctx->fileSize || ioSeek(ctx, stream) != 0) {
    dbgPrintf("[ioOpen] fseek failed: couldn't find data segment [%lx, %d]\n", int32_t(stream),
              int32_t(ctx->fileSize));
    return openFailed(ctx, ioErrCannotRead, nullptr);
  }
  return 0;
}

// The temporary file of a safe save: the name with its last character
// replaced by "$", "#", "%", "_" or "@", or dropped; the first that can be
// created (it must not exist yet) is kept.
int makeTempFile(ioCtx* ctx, size_t length) {
  const std::string stem(ctx->name, length - 1);
  int result = 0;
  for (const char* mark : {"$", "#", "%", "_", "@", ""}) {
    const std::string candidate = stem + mark;
    if (candidate.empty()) continue;
    aCreateFile(candidate.data(), int(candidate.size()), "QTRL", 4, "QTR0", 4, &result);
    if (result == uiFileOk) {
      ctx->tempName = copyName(candidate.data(), candidate.size());
      return 0;
    }
  }
  return result == uiFileExists ? ioErrCannotCreateTemp : result;
}

int openWrite(ioCtx* ctx, size_t length, int version) {
  if (!(ctx->flags & ioFlagRaw)) {
    const int code = makeTempFile(ctx, length);
    if (code) return openFailed(ctx, code, nullptr);
  } else {
    // Writing in place: the file may exist already and is then rewritten.
    aCreateFile(ctx->name, int(length), "QTRL", 4, "????", 4, nullptr);
  }
  ctx->version = version < 0 || version > int(ioVersionMax) ? ioVersionMax : uint32_t(version);
  ctx->stream = std::fopen(ctx->tempName ? ctx->tempName : ctx->name, "wb");
  if (!ctx->stream) return openFailed(ctx, ioErrCannotOpen, nullptr);
  uint8_t header[ioHeaderSize] = {};
  putHeaderWord(header, ioWordVersion, ctx->version);
  putHeaderWord(header, ioWordStream, ioHeaderSize);
  if (std::fwrite(header, 1, ioHeaderSize, ctx->stream) != ioHeaderSize)
    return openFailed(ctx, ioErrCannotWrite, nullptr);
  ctx->mode = 'w';
  sendAll(ctx, ioEvHeaderWritten);
  if (ioSeek(ctx, ioHeaderSize) != 0) return openFailed(ctx, ioErrCannotWrite, nullptr);
  return 0;
}

// The end of a written file: the end mark, the segments in table order, and
// the header with their offsets. Answers 0 or -4104.
int writeTail(ioCtx* ctx) {
  int code = 0;
  // A record still open would swallow the end mark and the segments.
  if (ctx->depth != 0) code = ioErrCannotWrite;
  int32_t endMark = -1;
  if (ioFormat(ctx, "ii", &endMark, &endMark) < 0) code = ioErrCannotWrite;
  uint8_t header[ioHeaderSize] = {};
  for (const ioHookSlot& slot : hookTable) {
    if (!slot.hook) continue;
    putHeaderWord(header, slot.word, uint32_t(std::ftell(ctx->stream)));
    if (slot.hook(ctx, ioEvWriteSegment) < 0) code = ioErrCannotWrite;
  }
  const int metric = unitsFlagSource && unitsFlagSource() ? 1 : 0;
  putHeaderWord(header, ioWordMagic, ctx->version <= 2 ? ioMagicOld : ioMagic | metric);
  putHeaderWord(header, ioWordVersion, ctx->version);
  putHeaderWord(header, ioWordStream, ioHeaderSize);
  putHeaderWord(header, ioWordTime, uiTimeNow());
  if (ioSeek(ctx, 0) != 0 || std::fwrite(header, 1, ioHeaderSize, ctx->stream) != ioHeaderSize)
    code = ioErrCannotWrite;
  ctx->readPosKnown = false;
  std::fseek(ctx->stream, 0, SEEK_END);
  if (std::ferror(ctx->stream)) code = ioErrCannotWrite;
  return code;
}

// Closes a written file. With a temporary file the new data replaces the
// target in one rename; when anything failed the temporary file goes and the
// target stays as it was.
int closeWrite(ioCtx* ctx) {
  int code = writeTail(ctx);
  ctx->mode = 0;
  sendAll(ctx, ioEvWriteEnd);
  // The temporary file goes over the target only once its data is on the
  // disk: a crash right after the rename must not leave a file of holes.
  if (std::fflush(ctx->stream) != 0 && !code) code = ioErrCannotWrite;
  if (ctx->tempName && !code && _commit(_fileno(ctx->stream)) != 0) code = ioErrCannotWrite;
  if (std::fclose(ctx->stream) != 0 && !code) code = ioErrCannotWrite;
  ctx->stream = nullptr;
  if (!code) code = ctx->pendingError;
  if (ctx->tempName) {
    const int nameLength = int(std::strlen(ctx->name));
    const int tempLength = int(std::strlen(ctx->tempName));
    if (!code) aRenameFile(ctx->tempName, tempLength, ctx->name, nameLength, &code);
    if (code) aDeleteFile(ctx->tempName, tempLength, nullptr);
    uFree(&ctx->tempName);
  }
  return code;
}

int closeRead(ioCtx* ctx) {
  ctx->mode = 0;
  sendAll(ctx, ioEvReadEnd);
  const int code = std::ferror(ctx->stream) ? -1 : 0;
  std::fclose(ctx->stream);
  ctx->stream = nullptr;
  return code;
}

}  // namespace

int ioOpen(ioCtx** out, const char* name, int nameLength, uint32_t flags, int version,
           ioRecovery* recovery) {
  if (out) *out = nullptr;
  ioCtx* ctx = new ioCtx{};
  ctx->recovery = recovery;
  ctx->flags = flags;
  ctx->writeEnable = 1;
  ctx->readLimit = -1;
  const uint32_t mode = flags & ioFlagModeMask;
  // A zero byte inside the counted name would open a shorter name.
  if (!out || !name || nameLength <= 0 || (mode != ioFlagRead && mode != ioFlagWrite) ||
      std::memchr(name, 0, size_t(nameLength)))
    return openFailed(ctx, ioErrBadArg, "TBad Arg in ioOpen");
  ctx->name = copyName(name, size_t(nameLength));
  const int code = mode == ioFlagRead ? openRead(ctx) : openWrite(ctx, size_t(nameLength), version);
  if (code) return code;
  *out = ctx;
  return 0;
}

int ioClose(ioCtx* ctx) {
  if (!ctx) return ioErrBadArg;
  int code = 0;
  if (ctx->mode == 'w') code = closeWrite(ctx);
  else if (ctx->mode == 'r') code = closeRead(ctx);
  if (code) ioFail(ctx, code, nullptr, nullptr);
  freeCtx(ctx);
  return code;
}

void ioFail(ioCtx* ctx, int code, const char* alertText, const char* arg) {
  if (alertText) uAlert(0, alertText, arg);
  if (!ctx) return;
  // The first failure is kept: a written file with one is not put in place.
  if (!ctx->pendingError) ctx->pendingError = code;
  ioRecovery* point = ctx->recovery;
  if (!point) return;
  freeCtx(ctx);
  point->code = code;
  throw ioFailure{point, code};
}

void ioSetSegmentHook(int headerWord, ioSegmentHook hook) {
  if (headerWord == ioWordTypes || headerWord == ioWordSegLengths) {
    dbgPanic("[ioSetSegmentHook] word %d has its own hook\n", int32_t(headerWord));
    return;
  }
  for (ioHookSlot& slot : hookTable)
    if (slot.word == headerWord) {
      slot.hook = hook;
      return;
    }
  dbgPanic("[ioSetSegmentHook] word %d holds no segment\n", int32_t(headerWord));
}

void ioSetUnitsFlagSource(int (*source)()) {
  unitsFlagSource = source;
}
