// The record of a packed dictionary: "iiss" (a zero word, a zero word, the
// entry count, the data bytes used), then each entry's key and value as
// counted texts ("CC").
//
// Reading trusts nothing from the file: the counts must make a block below
// the size limit and fit in what is left of the record, every key must be
// below 32 bytes and the keys and values together must stay within the
// stated byte count. A first word other than 0 is a layout this program
// never writes. Any misfit fails with -4139 and leaves the slot empty.
#include "objects/ddict.h"

#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <vector>

namespace {

int misfit(ddBlock** slot, ioCtx* ctx) {
  ddFree(slot);
  ioFail(ctx, ioErrBadData, nullptr, nullptr);
  return ioErrBadData;
}

int writeDict(ddBlock* block, ioCtx* ctx) {
  int32_t zero = 0;
  int16_t count = int16_t(ddCount(block)), bytes = int16_t(block ? block->dataUsed : 0);
  int total = ioFormat(ctx, "iiss", &zero, &zero, &count, &bytes);
  if (total < 0) return -1;
  for (uint32_t i = 0; i < ddCount(block); ++i) {
    const char *key, *value;
    uint32_t keyLength, valueLength;
    ddGetEntry(block, i, &key, &keyLength, &value, &valueLength);
    uint16_t kl = uint16_t(keyLength), vl = uint16_t(valueLength);
    const int n = ioFormat(ctx, "CC", &kl, key, &vl, value);
    if (n < 0) return -1;
    total += n;
  }
  return total;
}

// One counted text of at most limit bytes into buffer (limit + 1 bytes of
// room, so that a longer text shows as one byte too many): its length, or
// -1 when the read failed.
int readText(ioCtx* ctx, std::vector<char>& buffer, uint32_t limit, int* total) {
  buffer.resize(limit + 2);
  uint16_t length = uint16_t(limit + 1);
  const int n = ioFormat(ctx, "C", &length, buffer.data());
  if (n < 0) return -1;
  *total += n;
  return length;
}

}  // namespace

int ddIO(ddBlock** slot, ioCtx* ctx) {
  if (ctx->mode != 'r') return writeDict(*slot, ctx);
  ddFree(slot);
  int32_t first = 0, second = 0;
  int16_t count16 = 0, bytes16 = 0;
  int total = ioFormat(ctx, "iiss", &first, &second, &count16, &bytes16);
  if (total < 0) return -1;
  const uint32_t count = uint16_t(count16), bytes = uint16_t(bytes16);
  if (first != 0) return misfit(slot, ctx);
  if (count == 0 && bytes == 0) return total;
  // Each entry takes at least its two length bytes besides its data.
  const uint32_t indexCapacity = (count + 1) & ~1u;
  const uint32_t dataCapacity = (bytes + 7) & ~7u;
  if (sizeof(ddBlock) + indexCapacity * sizeof(ddIndexEntry) + dataCapacity >= ddBlockLimit ||
      long(bytes) + 2 * long(count) > ioBytesLeft(ctx))
    return misfit(slot, ctx);

  std::vector<char> key, value;
  uint32_t left = bytes;
  for (uint32_t i = 0; i < count; ++i) {
    const int keyLength = readText(ctx, key, ddKeyMax, &total);
    if (keyLength < 0) return (ddFree(slot), -1);
    if (uint32_t(keyLength) > ddKeyMax || uint32_t(keyLength) > left) return misfit(slot, ctx);
    left -= uint32_t(keyLength);
    const int valueLength = readText(ctx, value, left, &total);
    if (valueLength < 0) return (ddFree(slot), -1);
    if (uint32_t(valueLength) > left) return misfit(slot, ctx);
    left -= uint32_t(valueLength);
    // Within the limits checked above this cannot be refused.
    if (ddSet(slot, key.data(), uint32_t(keyLength), value.data(), uint32_t(valueLength)) != 0)
      return misfit(slot, ctx);
  }
  return total;
}
