// A drawing-file context on a temporary file for record tests: opened for
// writing, its bytes read back as hex, or replaced by given bytes and turned
// to reading.
#ifndef PLUMET_TESTS_OBJECTS_MEMFILE_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_MEMFILE_FIXTURE_H

#include "objects/ioctx.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace memfile {

inline void open(ioCtx& ctx, uint32_t version) {
  ctx = ioCtx{};
  ctx.mode = 'w';
  ctx.writeEnable = 1;
  ctx.stream = std::tmpfile();
  ctx.readLimit = -1;
  ctx.version = version;
}

// Everything written, as hex bytes separated by blanks.
inline std::string written(ioCtx& ctx) {
  std::fflush(ctx.stream);
  const long end = std::ftell(ctx.stream);
  ioSeek(&ctx, 0);
  std::string hex;
  for (long i = 0; i < end; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%s%02X", i ? " " : "", unsigned(std::fgetc(ctx.stream)));
    hex += byte;
  }
  ctx.readPosKnown = false;  // read past the context's own count
  return hex;
}

// Turns the context to reading from the start of what was written.
inline void readFromStart(ioCtx& ctx) {
  std::fflush(ctx.stream);
  ioSeek(&ctx, 0);
  ctx.mode = 'r';
}

// Replaces the file by bytes and reads them.
inline void load(ioCtx& ctx, const std::vector<uint8_t>& bytes) {
  std::fclose(ctx.stream);
  ctx.stream = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), ctx.stream);
  readFromStart(ctx);
}

}  // namespace memfile

#endif
