// Counted-array records on a stdio file or in memory: a little-endian 16-bit
// tag and 32-bit count, then the items as they are.
#include "core/alloc.h"
#include "fe/newbio.h"
#include "fe/newbio_internal.h"

#include <cstring>

using namespace newbio;

namespace {

constexpr uint32_t kHeadSize = 6;

bool writeBytes(uArrayFile* f, const void* data, size_t n) {
  if (n == 0) return true;
  if (f->sink) {
    const auto* p = static_cast<const uint8_t*>(data);
    f->sink->insert(f->sink->end(), p, p + n);
    return true;
  }
  if (f->replace) return uReplaceWrite(f->replace, data, n);
  return f->fp && std::fwrite(data, 1, n, f->fp) == n;
}

// Bytes still to be read, or SIZE_MAX when a file cannot tell.
size_t remaining(uArrayFile* f) {
  if (f->data || !f->fp) return f->pos <= f->size ? f->size - f->pos : 0;
  const long here = std::ftell(f->fp);
  if (here < 0 || std::fseek(f->fp, 0, SEEK_END) != 0) return SIZE_MAX;
  const long end = std::ftell(f->fp);
  std::fseek(f->fp, here, SEEK_SET);
  return end >= here ? size_t(end - here) : 0;
}

bool readBytes(uArrayFile* f, void* out, size_t n) {
  if (n == 0) return true;
  if (f->data || !f->fp) {
    if (n > remaining(f)) return false;
    std::memcpy(out, f->data + f->pos, n);
    f->pos += n;
    return true;
  }
  return std::fread(out, 1, n, f->fp) == n;
}

// The position, for peeking, and the return to it.
long tell(uArrayFile* f) { return (f->data || !f->fp) ? long(f->pos) : std::ftell(f->fp); }
void seek(uArrayFile* f, long where) {
  if (f->data || !f->fp) f->pos = size_t(where);
  else std::fseek(f->fp, where, SEEK_SET);
}

bool readHead(uArrayFile* f, int* tag, uint32_t* count) {
  uint8_t head[kHeadSize];
  if (!readBytes(f, head, kHeadSize)) return false;
  *tag = int16_t(get16(head));
  *count = get32(head + 2);
  return true;
}

}  // namespace

uArrayFile uArrayOnFile(FILE* fp) {
  uArrayFile f;
  f.fp = fp;
  return f;
}

uArrayFile uArrayOnReplace(uReplaceFile* file) {
  uArrayFile f;
  f.replace = file;
  return f;
}

uArrayFile uArrayToMemory(std::vector<uint8_t>* sink) {
  uArrayFile f;
  f.sink = sink;
  return f;
}

uArrayFile uArrayFromMemory(const uint8_t* data, size_t size) {
  uArrayFile f;
  f.data = data;
  f.size = data ? size : 0;
  return f;
}

int uArrayWrite(uArrayFile* file, int tag, const void* data, uint32_t count, uint32_t itemSize) {
  if (!file) return uArrayWriteError;
  const uint64_t bytes = uint64_t(count) * itemSize;
  if (bytes > SIZE_MAX || (bytes && !data)) return uArrayWriteError;
  uint8_t head[kHeadSize];
  put16(head, uint32_t(tag) & 0xFFFFu);
  put32(head + 2, count);
  if (!writeBytes(file, head, kHeadSize) || !writeBytes(file, data, size_t(bytes))) return uArrayWriteError;
  return 0;
}

int uArrayRead(uArrayFile* file, int tag, void* destination, uint32_t* count, uint32_t itemSize, bool allocate,
               uint32_t capacity) {
  if (!file || (allocate && !destination)) return uArrayReadError;
  int found;
  uint32_t n;
  if (!readHead(file, &found, &n) || found != int16_t(tag)) return uArrayReadError;
  if (n > capacity) return uArrayReadError;
  const uint64_t bytes = uint64_t(n) * itemSize;
  // Checked before anything is allocated or written, so that a damaged count
  // never asks for more than the file can hold.
  if (bytes > remaining(file) || bytes > UINT32_MAX) return uArrayReadError;
  if (allocate) {
    void* block = nullptr;
    if (bytes) block = uAlloc(nullptr, nullptr, n, itemSize);
    if (!readBytes(file, block, size_t(bytes))) {
      if (block) uFree(&block);
      return uArrayReadError;
    }
    *static_cast<void**>(destination) = block;
  } else if ((bytes && !destination) || !readBytes(file, destination, size_t(bytes))) {
    return uArrayReadError;
  }
  if (count) *count = n;
  return 0;
}

int uArrayPeek(uArrayFile* file, void* buffer, uint32_t size, uint32_t* count) {
  if (!file) return uArrayReadError;
  const long start = tell(file);
  if (start < 0) return uArrayReadError;
  int tag;
  uint32_t n;
  bool ok = readHead(file, &tag, &n);
  if (ok && buffer && size) ok = readBytes(file, buffer, size);
  seek(file, start);
  if (!ok) return uArrayReadError;
  if (count) *count = n;
  return tag;
}
