// Writing a compiled image: the head, the name table, the named blocks and
// the value graph, each body written whole the first time it is met and by
// its identity number afterwards; and aBOut with its statistics.
#include "core/classes.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/names_table.h"
#include "fe/newbio.h"
#include "fe/newbio_internal.h"
#include "fe/output.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace newbio;

namespace {

constexpr uint16_t kNullFlags = uint16_t(feTNull) | feFlagSimple;

// A class's record of one program object, as it wrote it.
using ObjectBytes = std::vector<uint8_t>;

// A body whose children are being written: the elements of an array, or the
// keys and values of a dictionary's used slots.
struct Frame {
  bool dict;
  const feObject* elements;     // array
  const feDictEntry* entries;   // dictionary
  uint32_t count;               // elements, or slots
  uint32_t next;                // the next child: an element, or slot * 2 + (0 key, 1 value)
  std::vector<ObjectBytes> objects;  // records of the program objects among the children, by child
};

class Writer {
public:
  Writer(uArrayFile* file, feImageStats* stats) : file_(file), stats_(stats) {}

  int write(const feObject* root) {
    if (!put(kMagic, kMagicLength) || !put(kVersion, sizeof kVersion)) return feErrIo;
    if (!writeNames() || !writeBlocks() || !writeGraph(root)) return feErrIo;
    return feOk;
  }

private:
  struct Identity {
    uint32_t id;
    bool written;
  };

  uArrayFile* file_;
  feImageStats* stats_;
  std::unordered_map<const void*, Identity> ids_;
  uint32_t nextId_ = 1;
  std::vector<Frame> frames_;

  // The magic text and the version go out without a record head.
  bool put(const void* data, size_t n) {
    if (file_->sink) {
      const auto* p = static_cast<const uint8_t*>(data);
      file_->sink->insert(file_->sink->end(), p, p + n);
      return true;
    }
    if (file_->replace) return uReplaceWrite(file_->replace, data, n);
    return file_->fp && std::fwrite(data, 1, n, file_->fp) == n;
  }

  bool record(int tag, const void* data, uint32_t count, uint32_t itemSize) {
    return uArrayWrite(file_, tag, data, count, itemSize) == 0;
  }

  bool writeNames() {
    const feNameTable* t = feNameTableGet();
    uint8_t word[4];
    put32(word, t->count);
    uint8_t descriptor[kNameDescriptorSize] = {};
    // The bases are addresses of this run: written as 0.
    put32(descriptor + 4, t->poolCapacity);
    put32(descriptor + 8, t->poolUsed);
    put32(descriptor + 16, t->entryCapacity);
    std::vector<uint8_t> entries(size_t(t->entryCapacity) * kNameEntrySize);
    for (uint32_t i = 0; i < t->entryCapacity; ++i) {
      uint8_t* p = &entries[size_t(i) * kNameEntrySize];
      put32(p, t->entries[i].offset);
      put32(p + 4, t->entries[i].next);
      put16(p + 8, t->entries[i].cache);
      put16(p + 10, t->entries[i].slot);
    }
    std::vector<uint8_t> buckets(size_t(feNameBuckets) * 4);
    for (uint32_t i = 0; i < feNameBuckets; ++i) put32(&buckets[size_t(i) * 4], t->buckets[i]);
    return record(kTagNameCount, word, 1, 4) && record(kTagNameDescriptor, descriptor, 1, kNameDescriptorSize) &&
           record(kTagNamePool, t->pool, t->pool ? t->poolCapacity : 0, 1) &&
           record(kTagNameEntries, entries.data(), t->entryCapacity, kNameEntrySize) &&
           record(kTagNameBuckets, buckets.data(), 1, uint32_t(buckets.size()));
  }

  static int writeBlock(void* context, const char* name, const void* data, uint32_t length) {
    Writer* w = static_cast<Writer*>(context);
    const bool ok = w->record(kTagBlockName, name, uint32_t(std::strlen(name)) + 1, 1) &&
                    w->record(kTagBlockData, data, length, 1);
    return ok ? 0 : 1;
  }

  bool writeBlocks() {
    uint8_t word[4];
    put32(word, uint32_t(blocksVisit(nullptr, nullptr)));
    return record(kTagBlockCount, word, 1, 4) && blocksVisit(writeBlock, this) == 0;
  }

  // The body a value refers to, or null for a value without one.
  static const void* bodyOf(const feObject& v) {
    switch (feType(&v)) {
      case feTString:
      case feTArray:
      case feTDict:
      case feTObject:
        return v.w0.ptr;
      default:
        return nullptr;
    }
  }

  uint32_t idOf(const void* body) {
    auto it = ids_.find(body);
    if (it != ids_.end()) return it->second.id;
    const uint32_t id = nextId_++;
    ids_.emplace(body, Identity{id, false});
    return id;
  }

  void count(const feObject& v) {
    if (!stats_ || feType(&v) == feTEmpty) return;
    ++stats_->values;
    switch (feType(&v)) {
      case feTOperator: ++stats_->operators; break;
      case feTName: ++stats_->names; break;
      case feTInt: ++stats_->integers; break;
      case feTReal: ++stats_->reals; break;
      case feTString: ++stats_->strings; break;
      case feTDict: ++stats_->dicts; break;
      case feTArray: ++stats_->arrays; break;
      default: break;
    }
  }

  // The 10-byte form of a value. A file value, a program object whose class
  // did not write its record, and a value without its body become null.
  void encode(const feObject& v, bool objectWritten, uint8_t* out) {
    std::memset(out, 0, kValueSize);
    feObject shown = v;
    const int type = feType(&v);
    const bool needsBody = type == feTString || type == feTArray || type == feTDict || type == feTObject;
    if (type == feTFile || (needsBody && !v.w0.ptr) || (type == feTObject && !objectWritten)) {
      std::memset(&shown, 0, sizeof shown);
      shown.flags = kNullFlags;
    }
    count(shown);
    switch (feType(&shown)) {
      case feTBool: put32(out, shown.w0.i != 0); break;
      case feTName:
      case feTOperator: put32(out, shown.w0.u & 0xFFFFu); break;
      case feTInt: put32(out, uint32_t(shown.w0.i)); break;
      case feTReal: {
        uint64_t bits;
        std::memcpy(&bits, &shown.w0.d, sizeof bits);
        put64(out, bits);
        break;
      }
      case feTString:
      case feTArray:
        put32(out, idOf(shown.w0.ptr));
        put16(out + 4, shown.offset);
        put16(out + 6, shown.length);
        break;
      case feTDict:
      case feTObject: put32(out, idOf(shown.w0.ptr)); break;
      default: break;
    }
    put16(out + 8, shown.flags);
  }

  // Asks the object's class for its record (message 122, into memory), so
  // that a class that does not write one is known before the value is. The
  // record must be the two records the class is asked for, beginning with
  // the object's class id; tag 12 may hold the bytes as s one-byte items or
  // as one s-byte item (the image itself always stores s one-byte items).
  static bool captureObject(const feObject& v, ObjectBytes* out) {
    const auto* head = static_cast<const feObjRecord*>(v.w0.obj);
    if (!head || head->classId >= objClassCount()) return false;
    std::vector<uint8_t> bytes;
    uArrayFile memory = uArrayToMemory(&bytes);
    if (objMeth(head->classId, feMsgImage, v.w0.obj, intptr_t(&v), 1, intptr_t(&memory)) != 0) return false;
    constexpr size_t kHeads = 6 + 4 + 6;
    if (bytes.size() < kHeads || get16(&bytes[0]) != kTagObjectSize || get32(&bytes[2]) != 1) return false;
    const uint32_t size = get32(&bytes[6]);
    if (get16(&bytes[10]) != kTagObjectRecord || (get32(&bytes[12]) != size && get32(&bytes[12]) != 1) || size < 2 ||
        bytes.size() != kHeads + size || get16(&bytes[kHeads]) != head->classId)
      return false;
    out->assign(bytes.begin() + kHeads, bytes.end());
    return true;
  }

  // The 10-byte forms of a list of children, with the records of the
  // program objects among them taken first.
  void encodeList(const feObject* values, uint32_t n, uint32_t stride, Frame* frame, uint32_t childBase,
                  uint32_t childStep, std::vector<uint8_t>* out) {
    for (uint32_t i = 0; i < n; ++i) {
      const feObject& v = values[size_t(i) * stride];
      bool objectWritten = false;
      if (feType(&v) == feTObject && v.w0.obj) {
        ObjectBytes bytes;
        objectWritten = captureObject(v, &bytes);
        if (objectWritten) {
          const uint32_t child = childBase + i * childStep;
          if (frame->objects.size() <= child) frame->objects.resize(child + 1);
          frame->objects[child] = std::move(bytes);
        }
      }
      uint8_t encoded[kValueSize];
      encode(v, objectWritten, encoded);
      out->insert(out->end(), encoded, encoded + kValueSize);
    }
  }

  bool writeString(const feObject& v) {
    const feStringBody* body = v.w0.str;
    uint8_t head[kBodyHeadSize];
    put16(head, saturate16(body->refs));
    put16(head + 2, body->length);
    put32(head + 4, body->serial);
    if (stats_) stats_->stringLength += body->length;
    // The whole body, whatever part of it the value shows.
    return record(kTagStringHead, head, 1, kBodyHeadSize) &&
           record(kTagStringBytes, feStringBytes(v.w0.str), body->length, 1);
  }

  bool writeArray(const feObject& v) {
    feArrayBody* body = v.w0.arr;
    uint8_t head[kBodyHeadSize];
    put16(head, saturate16(body->refs));
    put16(head + 2, body->length);
    put32(head + 4, body->serial);
    if (stats_) stats_->arrayLength += body->length;
    Frame frame{false, feArrayElems(body), nullptr, body->length, 0, {}};
    std::vector<uint8_t> items;
    items.reserve(size_t(body->length) * kValueSize);
    encodeList(frame.elements, body->length, 1, &frame, 0, 1, &items);
    if (!record(kTagArrayHead, head, 1, kBodyHeadSize) ||
        !record(kTagArrayElems, items.data(), body->length, kValueSize))
      return false;
    frames_.push_back(std::move(frame));
    return true;
  }

  bool writeDict(const feObject& v) {
    const feDictBody* body = v.w0.dict;
    uint8_t head[kDictHeadSize] = {};
    put16(head, saturate16(body->refs));
    put16(head + 2, body->capacity);
    put16(head + 4, body->used);
    put32(head + 6, body->serial);
    // head + 10: the entries' address in memory, meaningless in a file.
    if (stats_) {
      stats_->dictLength += body->used;
      stats_->dictCapacity += body->capacity;
    }
    Frame frame{true, nullptr, body->entries, body->capacity, 0, {}};
    std::vector<uint8_t> slots;
    slots.reserve(size_t(body->capacity) * kSlotSize);
    for (uint32_t s = 0; s < body->capacity; ++s) {
      const feDictEntry& e = body->entries[s];
      if (feType(&e.key) == feTEmpty) {
        // A free slot is written as zeros.
        slots.insert(slots.end(), kSlotSize, 0);
        continue;
      }
      encodeList(&e.key, 1, 1, &frame, s * 2, 1, &slots);
      encodeList(&e.value, 1, 1, &frame, s * 2 + 1, 1, &slots);
    }
    if (!record(kTagDictHead, head, 1, kDictHeadSize) ||
        !record(kTagDictSlots, slots.data(), body->capacity, kSlotSize))
      return false;
    frames_.push_back(std::move(frame));
    return true;
  }

  // The body of a value met as child number child of the frame on top (or
  // as the root when there is none).
  bool writeBody(const feObject& v, const ObjectBytes* object) {
    const int type = feType(&v);
    if (type == feTObject) {
      if (!object) return true;  // written as null
      uint8_t size[4];
      put32(size, uint32_t(object->size()));
      return record(kTagObjectSize, size, 1, 4) &&
             record(kTagObjectRecord, object->data(), uint32_t(object->size()), 1);
    }
    if (type != feTString && type != feTArray && type != feTDict) return true;
    if (!v.w0.ptr) return true;  // written as null
    Identity& identity = ids_[v.w0.ptr];
    if (identity.id == 0) identity.id = nextId_++;
    if (identity.written) {
      uint8_t ref[kRefSize];
      put32(ref, identity.id);
      const int tag = type == feTString ? kTagStringRef : type == feTArray ? kTagArrayRef : kTagDictRef;
      return record(tag, ref, 1, kRefSize);
    }
    identity.written = true;
    if (type == feTString) return writeString(v);
    if (type == feTArray) return writeArray(v);
    return writeDict(v);
  }

  // The child of a frame, by number: null when it has no body to write.
  static const feObject* childOf(const Frame& f, uint32_t child) {
    if (!f.dict) return &f.elements[child];
    const feDictEntry& e = f.entries[child / 2];
    if (feType(&e.key) == feTEmpty) return nullptr;
    return (child & 1) ? &e.value : &e.key;
  }

  void reportFailures() {
    for (auto f = frames_.rbegin(); f != frames_.rend(); ++f) {
      if (!f->dict || f->next == 0) continue;
      const uint32_t child = f->next - 1;
      const feDictEntry& e = f->entries[child / 2];
      if ((child & 1) == 0) {
        fePrintf("dict key ");
        fePrint(&e.key, 0);
        fePrintf(" not output\r");
      } else {
        fePrintf("dict key: ");
        fePrint(&e.key, 0);
        fePrintf(", value: ");
        fePrint(&e.value, 0);
        fePrintf(" not output\r");
      }
    }
  }

  bool writeGraph(const feObject* root) {
    uint8_t encoded[kValueSize];
    encode(*root, false, encoded);
    if (!record(kTagRoot, encoded, 1, kValueSize) || !writeBody(*root, nullptr)) return false;
    // Depth first, in the order the children are listed: each body is
    // written before the bodies it refers to.
    while (!frames_.empty()) {
      Frame& f = frames_.back();
      const uint32_t children = f.dict ? f.count * 2 : f.count;
      if (f.next >= children) {
        frames_.pop_back();
        continue;
      }
      const uint32_t child = f.next++;
      const feObject* v = childOf(f, child);
      if (!v) continue;
      // Taken out of the frame: writing the body may push a frame and move
      // this one. Each child is visited once.
      const feObject value = *v;
      ObjectBytes object;
      if (child < f.objects.size()) object = std::move(f.objects[child]);
      if (!writeBody(value, object.empty() ? nullptr : &object)) {
        reportFailures();
        frames_.clear();
        return false;
      }
    }
    return true;
  }
};

}  // namespace

int feImageWrite(const char* path, const feObject* root, feImageStats* stats) {
  if (stats) *stats = feImageStats{};
  if (!root || feType(root) != feTDict || !root->w0.dict) return feErrTypeCheck;
  if (!path || !*path) return feErrInvalidFileAccess;
  // The image is replaced whole: a failed write leaves the earlier one.
  uReplaceFile* out = uReplaceBegin(hostPath(path).c_str());
  if (!out) return feErrInvalidFileAccess;
  uArrayFile file = uArrayOnReplace(out);
  int status;
  try {
    status = Writer(&file, stats).write(root);
  } catch (...) {
    // Abandoned (memory ran out): the temporary file goes, the earlier
    // image stays.
    uReplaceAbort(out);
    throw;
  }
  if (status != feOk) {
    uReplaceAbort(out);
    return status;
  }
  return uReplaceCommit(out) ? feOk : feErrIo;
}

int feBOut(const char* path) {
  blocksRunSaveRoutines();
  for (uint32_t id = objClassCount(); id-- > 0;) objMeth(uint16_t(id), feMsgPreSave, nullptr);

  feImageStats s{};
  const feObject* systemdict = feSystemDict();
  const int status = systemdict ? feImageWrite(path, systemdict, &s) : feErrUndefined;

  fePrintf("\nStatistics from [fe.dir:newbio] feBOutOp:\n");
  fePrintf("Status = %d\n", int32_t(status));
  fePrintf("numfeobj %ld, numop %ld, numname %ld, numint %ld\n", s.values, s.operators, s.names, s.integers);
  fePrintf("numreal %ld, numstr %ld, numdict %ld, numarray %ld\n", s.reals, s.strings, s.dicts, s.arrays);
  fePrintf("lenarray %ld, lendict %ld, maxlendict %ld, lenstr %ld\n\n", s.arrayLength, s.dictLength, s.dictCapacity,
           s.stringLength);
  return status;
}
