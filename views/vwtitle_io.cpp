// Titles in a drawing file by document version, and that version.
#include "views/vwtitle_io.h"

#include "core/alloc.h"
#include "core/text.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "views/vwinit.h"

#include <cstring>

int vwFileDocVersion(ioCtx* ctx) {
  const int index = ioTypeIndex(ctx, fileClassId(), false);
  if (index < 0 || ctx->version == 0) return 0;
  const uint16_t level = ctx->types[index].level;
  return level == ioNoLevel ? 0 : int(level);
}

int vwTitleIO(ioCtx* ctx, char** title, int version, int write) {
  if (!ctx || !title || (ctx->mode == 'w') != (write != 0)) return -1;
  if (version >= vwTitleCountedFrom) {
    if (write) {
      char* text = *title ? *title : const_cast<char*>("");
      return ioFormat(ctx, "S", &text) < 0 ? -1 : 0;
    }
    if (ioFormat(ctx, "S", title) < 0) return -1;
    if (!*title) *title = uStrDup("", 0, nullptr);
    return 0;
  }
  char bytes[vwTitleFixedBytes] = {};
  if (write) {
    if (*title) std::strncpy(bytes, *title, sizeof bytes);
    return ioFormat(ctx, "*c", int(sizeof bytes), bytes) < 0 ? -1 : 0;
  }
  if (ioFormat(ctx, "*c", int(sizeof bytes), bytes) < 0) return -1;
  const void* end = std::memchr(bytes, 0, sizeof bytes);
  const uint32_t length = end ? uint32_t(static_cast<const char*>(end) - bytes) : uint32_t(sizeof bytes);
  uStrDup(bytes, length, title);
  return 0;
}
