// Reading a compiled image. The whole file is read into memory and every
// count is checked against the bytes that remain and against what it
// describes before anything is made, so that a damaged or cut file answers
// 273 and never reads or writes outside a block. What the reader makes
// (name table, blocks, bodies) stays with the image until it is put in use.
#include "core/abort.h"
#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/names_table.h"
#include "fe/newbio.h"
#include "fe/newbio_internal.h"
#include "fe/release.h"
#include "fe/strings.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

using namespace newbio;

namespace {

constexpr uint16_t kNullFlags = uint16_t(feTNull) | feFlagSimple;
constexpr uint32_t kMaxEntryCapacity = feNameMaxIndex + 1 + feNameEntryStep;

struct Block {
  char* name;
  void* data;
  uint32_t length;
};

// A body the reader made, for freeing an image whose graph was not taken.
struct Made {
  int type;  // feTString, feTArray or feTDict
  void* body;
};

void freeMade(const Made& m) {
  if (m.type == feTDict) {
    auto* body = static_cast<feDictBody*>(m.body);
    feNoteDictBodyFreed(body);
    feDictEntry* entries = body->entries;
    uFreeIfSet(&entries);
  } else if (m.type == feTArray) {
    feNoteArrayBodyFreed(static_cast<feArrayBody*>(m.body));
  }
  void* block = m.body;
  uFree(&block);
}

}  // namespace

struct feImage {
  feNameTable names{};
  bool namesHeld = false;  // the table above still belongs to the image
  std::vector<Block> blocks;
  feObject root{};
  bool rootHeld = false;
  std::vector<Made> bodies;
  std::vector<void*> objects;  // program-object records, one reference each

  ~feImage() {
    if (namesHeld) {
      uFreeIfSet(&names.pool);
      uFreeIfSet(&names.entries);
    }
    for (Block& b : blocks) {
      uFreeIfSet(&b.name);
      uFreeIfSet(&b.data);
    }
    if (rootHeld) {
      // Freed body by body: the graph may hold cycles, and its counts are
      // its own references only.
      for (void* record : objects) feObjRefRelease(record);
      for (const Made& m : bodies) freeMade(m);
    }
  }
};

namespace {

class Reader {
public:
  Reader(const uint8_t* data, size_t size, feImage* image) : file_(uArrayFromMemory(data, size)), image_(image) {}

  bool read() {
    return readHead() && readNames() && readBlocks() && readGraph() && file_.pos == file_.size;
  }

private:
  // A body whose children's bodies are still to be read: the elements of an
  // array, or the keys and values of a dictionary's used slots.
  struct Frame {
    feObject* elements;     // array
    feDictEntry* entries;   // dictionary
    uint32_t children;      // elements, or slots * 2
    uint32_t next;
  };

  uArrayFile file_;
  feImage* image_;
  std::unordered_map<uint32_t, Made> identities_;
  std::vector<Frame> frames_;

  size_t left() const { return file_.size - file_.pos; }

  // One record of exactly one item of size bytes.
  bool one(int tag, void* out, uint32_t size) {
    uint32_t n = 0;
    return uArrayRead(&file_, tag, out, &n, size, false, 1) == 0 && n == 1;
  }

  // One record of exactly count items of size bytes, into out.
  bool exactly(int tag, void* out, uint32_t count, uint32_t size) {
    uint32_t n = 0;
    return uArrayRead(&file_, tag, out, &n, size, false, count) == 0 && n == count;
  }

  bool readHead() {
    if (left() < kMagicLength + sizeof kVersion) return false;
    if (std::memcmp(file_.data, kMagic, kMagicLength) != 0) return false;
    if (std::memcmp(file_.data + kMagicLength, kVersion, sizeof kVersion) != 0) return false;
    file_.pos = kMagicLength + sizeof kVersion;
    return true;
  }

  bool readNames() {
    feNameTable& t = image_->names;
    image_->namesHeld = true;
    uint8_t word[4];
    uint8_t descriptor[kNameDescriptorSize];
    if (!one(kTagNameCount, word, 4) || !one(kTagNameDescriptor, descriptor, kNameDescriptorSize)) return false;
    const uint32_t count = get32(word);
    const uint32_t poolCapacity = get32(descriptor + 4);
    const uint32_t poolUsed = get32(descriptor + 8);
    const uint32_t entryCapacity = get32(descriptor + 16);
    if (count < 1 || count > uint32_t(feNameMaxIndex) + 1 || count > entryCapacity ||
        entryCapacity > kMaxEntryCapacity || poolUsed > poolCapacity || poolCapacity > left())
      return false;

    uint32_t n = 0;
    if (uArrayRead(&file_, kTagNamePool, &t.pool, &n, 1, true, poolCapacity) != 0) return false;
    t.poolCapacity = n;
    if (n != poolCapacity) return false;
    t.poolUsed = poolUsed;

    std::vector<uint8_t> raw(size_t(entryCapacity) * kNameEntrySize);
    if (!exactly(kTagNameEntries, raw.data(), entryCapacity, kNameEntrySize)) return false;
    uAlloc(&t.entries, &t.entryCapacity, entryCapacity, sizeof(feNameEntry));
    t.count = count;
    // The chain heads are rebuilt from the names themselves; the stored ones
    // are only checked for their size.
    std::vector<uint8_t> buckets(size_t(feNameBuckets) * 4);
    if (!one(kTagNameBuckets, buckets.data(), uint32_t(buckets.size()))) return false;

    for (uint32_t i = 1; i < count; ++i) {
      const uint8_t* p = &raw[size_t(i) * kNameEntrySize];
      feNameEntry& e = t.entries[i];
      e.offset = get32(p);
      // Each name lies inside the pool's used bytes.
      if (e.offset >= poolUsed || poolUsed - e.offset - 1 < t.pool[e.offset]) return false;
      // The local mark says how the name was defined and is kept; the
      // look-up cache belonged to the writer's dictionary stack.
      e.cache = uint16_t(get16(p + 8) & feNameCacheLocal);
      e.slot = 0;
      const char* text = reinterpret_cast<const char*>(t.pool + e.offset + 1);
      const uint8_t length = t.pool[e.offset];
      const uint32_t bucket = feNameHash(text, length);
      for (uint32_t j = t.buckets[bucket]; j != 0; j = t.entries[j].next) {
        const uint8_t* other = t.pool + t.entries[j].offset;
        if (other[0] == length && std::memcmp(other + 1, text, length) == 0) return false;  // a name twice
      }
      e.next = t.buckets[bucket];
      t.buckets[bucket] = i;
    }
    return true;
  }

  bool readBlocks() {
    uint8_t word[4];
    if (!one(kTagBlockCount, word, 4)) return false;
    const uint32_t count = get32(word);
    // Every block takes two record heads at least.
    if (count > left() / 12) return false;
    for (uint32_t i = 0; i < count; ++i) {
      Block b{nullptr, nullptr, 0};
      uint32_t n = 0;
      const int rc = uArrayRead(&file_, kTagBlockName, &b.name, &n, 1, true, uint32_t(left()));
      if (rc != 0) return false;
      image_->blocks.push_back(b);
      Block& kept = image_->blocks.back();
      if (n == 0 || kept.name[n - 1] != 0) return false;
      if (uArrayRead(&file_, kTagBlockData, &kept.data, &kept.length, 1, true, uint32_t(left())) != 0) return false;
    }
    return true;
  }

  // A value from its 10 bytes. A body is found later: until then word0
  // holds the body's identity. A free slot's key is left empty; a file, and
  // an empty value anywhere else, become null.
  bool decode(const uint8_t* p, feObject* v, bool key) {
    std::memset(v, 0, sizeof *v);
    const uint16_t flags = uint16_t(get16(p + 8));
    const int type = flags & feFlagTypeMask;
    const uint32_t word0 = get32(p);
    const uint16_t simple = uint16_t(flags | feFlagSimple);
    const uint16_t withBody = uint16_t(flags & ~feFlagSimple);
    switch (type) {
      case feTEmpty:
        if (!key) v->flags = kNullFlags;
        return true;
      case feTNull:
      case feTMark:
        v->flags = simple;
        return true;
      case feTBool:
        v->w0.i = word0 != 0;
        v->flags = simple;
        return true;
      case feTName:
        if (word0 == 0 || word0 >= image_->names.count || word0 > 0xFFFF) return false;
        v->w0.u = word0;
        v->flags = simple;
        return true;
      case feTInt:
        v->w0.i = int32_t(word0);
        v->flags = simple;
        return true;
      case feTReal: {
        const uint64_t bits = get64(p);
        std::memcpy(&v->w0.d, &bits, sizeof bits);
        v->flags = simple;
        return true;
      }
      case feTOperator:
        v->w0.u = word0 & 0xFFFFu;
        v->flags = simple;
        return true;
      case feTFile:
        // The stream of the writing program is gone.
        v->flags = kNullFlags;
        return true;
      case feTString:
      case feTArray:
        v->offset = uint16_t(get16(p + 4));
        v->length = uint16_t(get16(p + 6));
        [[fallthrough]];
      case feTDict:
      case feTObject:
        v->w0.u = word0;
        v->flags = withBody;
        return true;
      default:
        return false;
    }
  }

  bool remember(uint32_t identity, int type, void* body) {
    image_->bodies.push_back(Made{type, body});
    // An identity stands for one body only.
    return identities_.emplace(identity, Made{type, body}).second;
  }

  // A back-reference: the body read earlier under that identity, which must
  // be of the value's type. Its count takes the new reference.
  bool resolve(int type, void** body) {
    uint8_t ref[kRefSize];
    if (!one(type == feTString ? kTagStringRef : type == feTArray ? kTagArrayRef : kTagDictRef, ref, kRefSize))
      return false;
    auto it = identities_.find(get32(ref));
    if (it == identities_.end() || it->second.type != type) return false;
    *body = it->second.body;
    return true;
  }

  bool readString(feObject* v) {
    const uint32_t identity = v->w0.u;
    void* found;
    const int tag = uArrayPeek(&file_, nullptr, 0);
    feStringBody* body;
    if (tag == kTagStringRef) {
      if (!resolve(feTString, &found)) return false;
      body = static_cast<feStringBody*>(found);
      if (body->refs < UINT32_MAX) ++body->refs;
    } else {
      uint8_t head[kBodyHeadSize];
      if (!one(kTagStringHead, head, kBodyHeadSize)) return false;
      const uint32_t length = get16(head + 2);
      if (length > left()) return false;
      feObject made;
      if (feMakeString(&made, nullptr, length) != feOk) return false;
      body = made.w0.str;
      if (!remember(identity, feTString, body)) return false;
      if (!exactly(kTagStringBytes, feStringBytes(body), length, 1)) return false;
      body->serial = get32(head + 4);
      feSerialAtLeast(body->serial);
    }
    v->w0.ptr = nullptr;
    v->w0.str = body;
    return uint32_t(v->offset) + v->length <= body->length;
  }

  bool readArray(feObject* v) {
    const uint32_t identity = v->w0.u;
    void* found;
    const int tag = uArrayPeek(&file_, nullptr, 0);
    feArrayBody* body;
    if (tag == kTagArrayRef) {
      if (!resolve(feTArray, &found)) return false;
      body = static_cast<feArrayBody*>(found);
      if (body->refs < UINT32_MAX) ++body->refs;
    } else {
      uint8_t head[kBodyHeadSize];
      if (!one(kTagArrayHead, head, kBodyHeadSize)) return false;
      const uint32_t length = get16(head + 2);
      if (length > left() / kValueSize) return false;
      std::vector<uint8_t> items(size_t(length) * kValueSize);
      if (!exactly(kTagArrayElems, items.data(), length, kValueSize)) return false;
      feObject made;
      if (feMakeArray(&made, nullptr, length) != feOk) return false;
      body = made.w0.arr;
      if (!remember(identity, feTArray, body)) return false;
      body->serial = get32(head + 4);
      feSerialAtLeast(body->serial);
      feObject* elements = feArrayElems(body);
      for (uint32_t i = 0; i < length; ++i)
        if (!decode(&items[size_t(i) * kValueSize], &elements[i], false)) return false;
      frames_.push_back(Frame{elements, nullptr, length, 0});
    }
    v->w0.ptr = nullptr;
    v->w0.arr = body;
    return uint32_t(v->offset) + v->length <= body->length;
  }

  bool readDict(feObject* v) {
    const uint32_t identity = v->w0.u;
    void* found;
    const int tag = uArrayPeek(&file_, nullptr, 0);
    feDictBody* body;
    if (tag == kTagDictRef) {
      if (!resolve(feTDict, &found)) return false;
      body = static_cast<feDictBody*>(found);
      if (body->refs < UINT32_MAX) ++body->refs;
    } else {
      uint8_t head[kDictHeadSize];
      if (!one(kTagDictHead, head, kDictHeadSize)) return false;
      const uint32_t capacity = get16(head + 2);
      const uint32_t used = get16(head + 4);
      if (capacity < feDictMinCapacity || capacity > feDictMaxCapacity || capacity > left() / kSlotSize)
        return false;
      std::vector<uint8_t> slots(size_t(capacity) * kSlotSize);
      if (!exactly(kTagDictSlots, slots.data(), capacity, kSlotSize)) return false;
      feObject made;
      if (feMakeDict(&made, int32_t(capacity)) != feOk) return false;
      body = made.w0.dict;
      if (!remember(identity, feTDict, body)) return false;
      if (body->capacity != capacity) return false;
      body->serial = get32(head + 6);
      feSerialAtLeast(body->serial);
      // The slots stay where the writer's probing put them.
      uint32_t inUse = 0;
      for (uint32_t s = 0; s < capacity; ++s) {
        feDictEntry& e = body->entries[s];
        const uint8_t* p = &slots[size_t(s) * kSlotSize];
        if (!decode(p, &e.key, true)) return false;
        if (feType(&e.key) == feTEmpty) continue;
        if (!decode(p + kValueSize, &e.value, false)) return false;
        ++inUse;
      }
      if (inUse != used) return false;
      body->used = uint16_t(inUse);
      frames_.push_back(Frame{nullptr, body->entries, capacity * 2, 0});
    }
    v->w0.ptr = nullptr;
    v->w0.dict = body;
    return true;
  }

  // A program object: its class makes it from the record (message 122). A
  // class that is not registered or does not make it leaves a null.
  bool readObject(feObject* v) {
    uint8_t word[4];
    if (!one(kTagObjectSize, word, 4)) return false;
    const uint32_t size = get32(word);
    if (size < 2 || size > left()) return false;
    std::vector<uint8_t> bytes(size);
    if (!exactly(kTagObjectRecord, bytes.data(), size, 1)) return false;
    std::memset(v, 0, sizeof *v);
    v->flags = kNullFlags;
    const uint32_t classId = get16(bytes.data());
    if (classId == 0 || classId >= objClassCount()) return true;
    const feImageRecord record{bytes.data(), size};
    feObject made;
    std::memset(&made, 0, sizeof made);
    made.flags = kNullFlags;
    const int rc = objMeth(uint16_t(classId), feMsgImage, nullptr, intptr_t(&made), 0, intptr_t(&record));
    if (rc == 0 && feType(&made) == feTObject && made.w0.obj) {
      image_->objects.push_back(made.w0.obj);
      *v = made;
    } else if (rc == 0) {
      feFree(&made);
    }
    return true;
  }

  bool readBody(feObject* v) {
    switch (feType(v)) {
      case feTString: return readString(v);
      case feTArray: return readArray(v);
      case feTDict: return readDict(v);
      case feTObject: return readObject(v);
      default: return true;
    }
  }

  bool readGraph() {
    uint8_t encoded[kValueSize];
    if (!one(kTagRoot, encoded, kValueSize)) return false;
    feObject& root = image_->root;
    if (!decode(encoded, &root, false) || feType(&root) != feTDict) return false;
    // From here on the bodies made belong to the image's graph.
    image_->rootHeld = true;
    if (!readDict(&root)) return false;
    // Depth first, in the order the children are listed.
    while (!frames_.empty()) {
      Frame& f = frames_.back();
      if (f.next >= f.children) {
        frames_.pop_back();
        continue;
      }
      const uint32_t child = f.next++;
      feObject* v;
      if (f.entries) {
        feDictEntry& e = f.entries[child / 2];
        if (feType(&e.key) == feTEmpty) continue;
        v = (child & 1) ? &e.value : &e.key;
      } else {
        v = &f.elements[child];
      }
      // Reading may push a frame: f is not used past this point.
      if (!readBody(v)) return false;
    }
    return true;
  }
};

// The whole file, or the code for a file that cannot be opened or read.
int slurp(const char* path, std::vector<uint8_t>* out) {
  FILE* fp = std::fopen(hostPath(path).c_str(), "rb");
  if (!fp) return feErrInvalidFileAccess;
  uint8_t chunk[1 << 16];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, fp)) > 0) out->insert(out->end(), chunk, chunk + n);
  const bool failed = std::ferror(fp) != 0;
  std::fclose(fp);
  return failed ? feErrIo : feOk;
}

}  // namespace

int feImageRead(const char* path, feImage** out) {
  *out = nullptr;
  if (!path || !*path) return feErrInvalidFileAccess;
  std::unique_ptr<feImage> image;
  try {
    std::vector<uint8_t> data;
    const int rc = slurp(path, &data);
    if (rc != feOk) return rc;
    image = std::make_unique<feImage>();
    if (!Reader(data.data(), data.size(), image.get()).read()) return feErrIo;
  } catch (const std::bad_alloc&) {
    return feErrLimitCheck;
  } catch (const uAbortSignal&) {
    return feErrLimitCheck;
  }
  *out = image.release();
  return feOk;
}

const feObject* feImageSystemDict(const feImage* image) { return image && image->rootHeld ? &image->root : nullptr; }

void feImageUseNames(feImage* image) {
  if (!image || !image->namesHeld) return;
  feNameTable* live = feNameTableGet();
  uFreeIfSet(&live->pool);
  uFreeIfSet(&live->entries);
  *live = image->names;
  image->names = feNameTable{};
  image->namesHeld = false;
}

void feImageUseBlocks(feImage* image) {
  if (!image) return;
  for (Block& b : image->blocks) blocksAdopt(b.name, b.data, b.length);
  image->blocks.clear();
}

void feImageTakeSystemDict(feImage* image, feObject* out) {
  if (!image || !image->rootHeld) {
    feMakeNull(out);
    return;
  }
  *out = image->root;
  image->rootHeld = false;
  image->bodies.clear();
  image->objects.clear();
}

void feImageFree(feImage* image) { delete image; }
