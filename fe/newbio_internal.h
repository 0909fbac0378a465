// Private to the compiled image: the record tags, the head of the file and
// the little-endian field helpers shared by the writer and the reader.
#ifndef PLUMET_FE_NEWBIO_INTERNAL_H
#define PLUMET_FE_NEWBIO_INTERNAL_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace newbio {

enum Tag : int {
  kTagNameDescriptor = 1,
  kTagNamePool = 2,
  kTagNameEntries = 3,
  kTagNameBuckets = 4,
  kTagNameCount = 5,
  kTagRoot = 6,
  kTagBlockCount = 7,
  kTagBlockName = 8,
  kTagBlockData = 9,
  kTagObjectSize = 11,
  kTagObjectRecord = 12,
  kTagStringHead = 13,
  kTagStringBytes = 14,
  kTagDictRef = 16,
  kTagDictHead = 17,
  kTagArrayHead = 18,
  kTagDictSlots = 19,
  kTagArrayElems = 20,
  kTagArrayRef = 21,
  kTagStringRef = 22,
};

enum : uint32_t {
  kValueSize = 10,        // a value in the file
  kSlotSize = 20,         // a dictionary slot: key and value
  kDictHeadSize = 14,
  kBodyHeadSize = 8,      // string and array heads
  kNameDescriptorSize = 20,
  kNameEntrySize = 12,
  kRefSize = 4,           // a back-reference: the body's identity
};

constexpr char kMagic[] = "Korvan \"Plumet\" binary FE file.";
constexpr size_t kMagicLength = sizeof kMagic - 1;
static_assert(kMagicLength == 31, "the magic text has 31 characters");
constexpr uint8_t kVersion[4] = {0x00, 0x00, 0x01, 0x04};

inline void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline uint32_t get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline uint64_t get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// A count written into a 16-bit field of the file: at most 65535.
inline uint32_t saturate16(uint32_t v) { return v > 0xFFFF ? 0xFFFF : v; }

// A file name from a script as the C library takes it: scripts may separate
// directories with "\" as well as "/".
inline std::string hostPath(const char* path) {
  std::string p = path ? path : "";
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// Named blocks that came from an image are handed to the block table.
void blocksAdopt(char* name, void* data, uint32_t length);
// Every at-save routine, in registration order.
void blocksRunSaveRoutines();
// Calls fn(name, data, length) for every block that holds data, in table
// order; answers the number of such blocks when fn is null.
typedef int (*BlockVisitor)(void* context, const char* name, const void* data, uint32_t length);
int blocksVisit(BlockVisitor fn, void* context);

}  // namespace newbio

#endif
