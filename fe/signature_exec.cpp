// The argument machine: runs a compiled signature for one operator call.
//
// Everything a call uses lives in its own storage: the taken operands, the
// argument list, the result slots, the group blocks and the list of
// temporaries belong to one Call object on the native stack (with one heap
// block when they do not fit its inline buffer). A handler that runs script
// code, and so other operators, therefore never sees its arguments,
// temporaries or result slots touched by the nested calls.
//
// The Call object also restores the operand stack when the call fails in any
// way, an abandoned operation (an exception thrown by the allocator or the
// handler) included: the taken operands go back in their former order and
// everything the call made is released.
#include "fe/signature.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/signature_code.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "fe/value.h"

#include <cstring>

namespace {

using namespace fesig;
using List = decltype(feArg::list);

fePointConverter pointConverter;

void convertPoint(void* block, int flag) {
  if (pointConverter) pointConverter(static_cast<double*>(block), flag);
}

// A read position in a compiled program; reading past its end marks it bad
// instead of reading outside the program.
struct Reader {
  const uint16_t* words;
  size_t count;
  size_t pos;
  bool bad = false;

  uint16_t next() {
    if (pos >= count) {
      bad = true;
      return 0;
    }
    return words[pos++];
  }
  // The address of the next n words, skipped; null when they are not there.
  const uint16_t* take(size_t n) {
    if (pos > count || n > count - pos) {
      bad = true;
      pos = count;
      return nullptr;
    }
    const uint16_t* at = words + pos;
    pos += n;
    return at;
  }
  uint32_t get32() {
    const uint16_t* w = take(2);
    return w ? uint32_t(w[0]) | uint32_t(w[1]) << 16 : 0;
  }
  uint64_t get64() {
    const uint16_t* w = take(4);
    if (!w) return 0;
    uint64_t v = 0;
    for (int k = 0; k < 4; ++k) v |= uint64_t(w[k]) << (16 * k);
    return v;
  }
  // A text: its length word, then the text with a terminator.
  const char* text(uint16_t* length) {
    *length = next();
    const uint16_t* w = take(textWords(*length));
    return w ? reinterpret_cast<const char*>(w) : nullptr;
  }
};

constexpr int kMaxTemporaries = 20;  // heap copies listed per call
constexpr size_t kInlineBytes = 512;

size_t align8(size_t n) { return (n + 7) & ~size_t(7); }

class Call {
public:
  Call(feOpHandler handler, uintptr_t context, const uint16_t* codes, size_t words)
      : handler_(handler), context_(context), codes_(codes), words_(words) {}

  ~Call() {
    if (!finished_) finish(false);
  }

  int run() {
    if (words_ < size_t(kHeaderWords) || (codes_[kHeaderMarker] & kMarkerMask) != kMarker ||
        codes_[kHeaderResultStart] < kHeaderWords || codes_[kHeaderResultStart] > codes_[kHeaderDocStart] ||
        codes_[kHeaderDocStart] >= words_) {
      dbgPanic("%x: unknown code in argexec", uint32_t(words_ ? codes_[0] : 0));
      return feErrUnimplemented;
    }
    if (!handler_) return feErrUnimplemented;
    bang_ = (codes_[kHeaderMarker] & kBang) != 0;
    operands_ = codes_[kHeaderOperands];
    inputs_ = codes_[kHeaderInputs];
    results_ = codes_[kHeaderResults];

    feStack** stack = feOperandStack();
    if (feStackCount(*stack) < int32_t(operands_)) return feErrStackUnderflow;
    allocate();
    // Every O result slot starts as null, and nested result groups get their
    // blocks, before anything can fail.
    Reader r = resultReader();
    for (uint32_t k = 0; k < results_; ++k) {
      const int rc = prepareResult(r, nullptr);
      if (rc) return rc;
    }

    // Take the operands: the deepest becomes the first.
    for (uint32_t k = operands_; k-- > 0;) fePop(*stack, &frame_[k]);
    taken_ = true;

    Reader in{codes_, codes_[kHeaderResultStart], size_t(kHeaderWords)};
    uint32_t used = 0;
    for (uint32_t k = 0; k < inputs_; ++k) {
      const int rc = fetch(in, frame_, operands_, &used, nullptr);
      if (rc) return rc;
    }
    if (used != operands_) return badCode(codes_[kHeaderMarker]);

    feArgs args{in_, int32_t(inputs_), out_, int32_t(results_), context_};
    const int answer = handler_(&args);
    if (answer != 0 && !bang_) return answer;

    r = resultReader();
    for (uint32_t k = 0; k < results_; ++k) {
      const int rc = make(r, nullptr, &made_[k]);
      if (rc) return rc;
      ++madeCount_;
    }
    // Push the results, the first deepest. A full stack takes back what was
    // pushed so that the call fails with the stack as it was.
    uint32_t pushed = 0;
    for (; pushed < results_; ++pushed)
      if (fePush(feOperandStack(), &made_[pushed]) != 0) break;
    if (pushed < results_) {
      while (pushed > 0) fePop(*feOperandStack(), &made_[--pushed]);
      return feErrLimitCheck;
    }
    madeCount_ = 0;
    finish(true);
    return 0;
  }

private:
  Reader resultReader() const { return Reader{codes_, codes_[kHeaderDocStart], codes_[kHeaderResultStart]}; }

  int badCode(uint16_t word) {
    dbgPanic("%x: unknown code in argexec", uint32_t(word));
    return feErrUnimplemented;
  }

  // One block for the taken operands, the made results, the argument list,
  // the result pointers and the two areas of slots and group blocks.
  void allocate() {
    inArea_ = codes_[kHeaderInArea];
    outArea_ = codes_[kHeaderOutArea];
    const size_t frameBytes = size_t(operands_) * sizeof(feObject);
    const size_t madeBytes = size_t(results_) * sizeof(feObject);
    const size_t inBytes = size_t(inputs_) * sizeof(feArg);
    const size_t outBytes = align8(size_t(results_) * sizeof(void*));
    const size_t total = frameBytes + madeBytes + inBytes + outBytes + align8(inArea_) + align8(outArea_);
    uint8_t* base = inline_;
    if (total > kInlineBytes) {
      base = static_cast<uint8_t*>(uAlloc(&heap_, nullptr, uint32_t(total), 1));
    } else {
      std::memset(inline_, 0, total);
    }
    frame_ = reinterpret_cast<feObject*>(base);
    made_ = reinterpret_cast<feObject*>(base + frameBytes);
    in_ = reinterpret_cast<feArg*>(base + frameBytes + madeBytes);
    out_ = reinterpret_cast<void**>(base + frameBytes + madeBytes + inBytes);
    inBlocks_ = base + frameBytes + madeBytes + inBytes + outBytes;
    outBlocks_ = inBlocks_ + align8(inArea_);
  }

  // A block of an area, or null when the program places it outside.
  static uint8_t* block(uint8_t* area, size_t areaSize, size_t offset, size_t size) {
    return offset + size <= areaSize ? area + offset : nullptr;
  }

  // ---- Temporaries ----

  // Heap copies made for the handler: the terminated texts of C and the
  // converted lists count against the per-call limit; copies of name texts
  // (which would move when the name pool grows during the call) do not.
  void* temporary(size_t bytes, bool counted) {
    if (counted) ++counted_;
    if (tempCount_ == tempCapacity_) {
      void** grown = static_cast<void**>(uAlloc(nullptr, nullptr, tempCapacity_ * 2, sizeof(void*)));
      std::memcpy(grown, temps_, tempCount_ * sizeof(void*));
      if (temps_ != tempInline_) uFree(&temps_);
      temps_ = grown;
      tempCapacity_ *= 2;
    }
    void* p = uAlloc(nullptr, nullptr, uint32_t(bytes), 1);
    temps_[tempCount_++] = p;
    return p;
  }

  void freeTemporaries() {
    for (uint32_t k = 0; k < tempCount_; ++k) uFree(&temps_[k]);
    tempCount_ = 0;
    if (temps_ != tempInline_) uFree(&temps_);
    temps_ = tempInline_;
  }

  bool roomForCounted() const { return counted_ < kMaxTemporaries; }

  // ---- Inputs ----

  // Characters of a string, or a copy of a name's.
  int text(const feObject* v, feArgText* out) {
    if (feType(v) == feTString) {
      uint8_t* data;
      uint16_t length;
      feStringData(v, &data, &length);
      out->text = reinterpret_cast<const char*>(data);
      out->length = length;
      return 0;
    }
    if (feType(v) != feTName) return feErrTypeCheck;
    const char* name;
    size_t length;
    feNameText(v, &name, &length);
    char* copy = static_cast<char*>(temporary(length + 1, false));
    std::memcpy(copy, name, length);
    out->text = copy;
    out->length = int32_t(length);
    return 0;
  }

  // Fetches one element into its slot: an outermost one into the argument
  // list, a group member into its group's block. Elements with a constant
  // (and P) take nothing; the others take the next of the count values at
  // elems.
  int fetch(Reader& r, const feObject* elems, uint32_t count, uint32_t* used, uint8_t* groupBlock) {
    const uint16_t word = r.next();
    const uint16_t slot = r.next();
    const uint16_t type = word & kTypeMask;
    void* dest;
    if (groupBlock) {
      dest = groupBlock + slot;
    } else {
      if (slot >= inputs_) return badCode(word);
      dest = &in_[slot];
    }

    if (word & kConst) {
      switch (type) {
        case kB:
        case kI: {
          const int32_t v = int32_t(r.get32());
          std::memcpy(dest, &v, sizeof v);
          break;
        }
        case kR: {
          const uint64_t bits = r.get64();
          double v;
          std::memcpy(&v, &bits, sizeof v);
          std::memcpy(dest, &v, sizeof v);
          break;
        }
        case kP: {
          const uintptr_t v = uintptr_t(r.get64());
          std::memcpy(dest, &v, sizeof v);
          break;
        }
        case kS: {
          uint16_t length;
          const char* t = r.text(&length);
          const feArgText v{t, length};
          std::memcpy(dest, &v, sizeof v);
          break;
        }
        case kC: {
          uint16_t length;
          const char* t = r.text(&length);
          std::memcpy(dest, &t, sizeof t);
          break;
        }
        default:
          dbgPanic("%x: unknown inparam type in argexec", uint32_t(word));
          return feErrUnimplemented;
      }
      return r.bad ? badCode(word) : 0;
    }

    const char* className = nullptr;
    if (word & kClass) {
      uint16_t length;
      className = r.text(&length);
    }
    uint16_t members = 0, blockOffset = 0, blockSize = 0;
    if (isGroup(type)) {
      members = r.next();
      blockOffset = r.next();
      blockSize = r.next();
    }
    if (r.bad) return badCode(word);

    // The element: a missing one is a length fault of its group.
    if (*used >= count) return groupBlock ? feErrLengthCheck : badCode(word);
    const feObject* v = &elems[(*used)++];

    switch (type) {
      case kO:
        std::memcpy(dest, &v, sizeof v);
        return 0;
      case kB: {
        if (feType(v) != feTBool) return feErrTypeCheck;
        const int32_t b = v->w0.i != 0;
        std::memcpy(dest, &b, sizeof b);
        return 0;
      }
      case kI: {
        if (feType(v) != feTInt) return feErrTypeCheck;
        std::memcpy(dest, &v->w0.i, sizeof(int32_t));
        return 0;
      }
      case kR: {
        if (feType(v) != feTInt && feType(v) != feTReal) return feErrTypeCheck;
        const double d = feGetNumber(v, nullptr);
        std::memcpy(dest, &d, sizeof d);
        return 0;
      }
      case kQ: {
        void* record = nullptr;
        const int rc = feGetObjRef(v, className, &record);
        if (rc) return rc;
        std::memcpy(dest, &record, sizeof record);
        return 0;
      }
      case kS: {
        feArgText t;
        const int rc = text(v, &t);
        if (rc) return rc;
        std::memcpy(dest, &t, sizeof t);
        return 0;
      }
      case kC: {
        if (feType(v) != feTString && feType(v) != feTName) return feErrTypeCheck;
        if (!roomForCounted()) return feErrTypeCheck;
        feArgText t;
        const int rc = text(v, &t);
        if (rc) return rc;
        char* copy = static_cast<char*>(temporary(size_t(t.length) + 1, true));
        std::memcpy(copy, t.text, size_t(t.length));
        std::memcpy(dest, &copy, sizeof copy);
        return 0;
      }
      case kA:
      case kAP:
      case kAV: {
        if (feType(v) != feTArray) return feErrTypeCheck;
        uint8_t* b = block(inBlocks_, inArea_, blockOffset, blockSize);
        if (!b) return badCode(word);
        const uint32_t length = uint32_t(feArrayLength(v));
        const feObject* inner = length ? feArrayElem(v, 0) : nullptr;
        uint32_t innerUsed = 0;
        for (uint16_t m = 0; m < members; ++m) {
          const int rc = fetch(r, inner, length, &innerUsed, b);
          if (rc) return rc;
        }
        // The group must use the whole array.
        if (innerUsed != length) return feErrLengthCheck;
        if (type == kAP) convertPoint(b, 1);
        if (type == kAV) convertPoint(b, 2);
        std::memcpy(dest, &b, sizeof b);
        return 0;
      }
      case kAI:
      case kAR:
      case kAS:
        return fetchList(type, v, dest);
      default:
        dbgPanic("%x: unknown inparam type in argexec", uint32_t(word));
        return feErrUnimplemented;
    }
  }

  // An array converted into a temporary native list; every element must
  // have the list's type.
  int fetchList(uint16_t type, const feObject* v, void* dest) {
    if (feType(v) != feTArray) return feErrTypeCheck;
    const int32_t length = feArrayLength(v);
    List list{length, nullptr};
    size_t bytes = 0;
    for (int32_t k = 0; k < length; ++k) {
      const int t = feType(feArrayElem(v, k));
      const bool ok = type == kAI   ? t == feTInt
                      : type == kAR ? (t == feTInt || t == feTReal)
                                    : (t == feTString || t == feTName);
      if (!ok) return feErrTypeCheck;
      if (t == feTName) {
        const char* name;
        size_t n;
        feNameText(feArrayElem(v, k), &name, &n);
        bytes += n;
      }
    }
    if (length > 0) {
      if (!roomForCounted()) return feErrTypeCheck;
      if (type == kAI) {
        auto* items = static_cast<int32_t*>(temporary(size_t(length) * sizeof(int32_t), true));
        for (int32_t k = 0; k < length; ++k) items[k] = feArrayElem(v, k)->w0.i;
        list.items = items;
      } else if (type == kAR) {
        auto* items = static_cast<double*>(temporary(size_t(length) * sizeof(double), true));
        for (int32_t k = 0; k < length; ++k) items[k] = feGetNumber(feArrayElem(v, k), nullptr);
        list.items = items;
      } else {
        // The texts and, behind them, copies of the names' characters.
        auto* items = static_cast<feArgText*>(temporary(size_t(length) * sizeof(feArgText) + bytes, true));
        char* names = reinterpret_cast<char*>(items + length);
        for (int32_t k = 0; k < length; ++k) {
          const feObject* e = feArrayElem(v, k);
          if (feType(e) == feTString) {
            uint8_t* data;
            uint16_t n;
            feStringData(e, &data, &n);
            items[k] = feArgText{reinterpret_cast<const char*>(data), n};
          } else {
            const char* name;
            size_t n;
            feNameText(e, &name, &n);
            std::memcpy(names, name, n);
            items[k] = feArgText{names, int32_t(n)};
            names += n;
          }
        }
        list.items = items;
      }
    }
    std::memcpy(dest, &list, sizeof list);
    return 0;
  }

  // ---- Results ----

  // The slot of a result element: an outermost one in the result area, a
  // group member in its group's block.
  uint8_t* resultSlot(uint16_t slot, uint8_t* groupBlock, size_t size) {
    if (groupBlock) return groupBlock + slot;
    if (size_t(slot) + size > outArea_) return nullptr;
    return outBlocks_ + slot;
  }

  static size_t resultSize(uint16_t type) {
    switch (type) {
      case kO: return sizeof(feObject);
      case kB:
      case kI: return sizeof(int32_t);
      case kR: return sizeof(double);
      case kS: return sizeof(feArgText);
      default: return sizeof(void*);
    }
  }

  // Reads a result element's header; false for an unknown type or a slot
  // outside the area.
  bool resultHeader(Reader& r, uint8_t* groupBlock, uint16_t* word, uint8_t** slot, uint16_t* members,
                    uint8_t** groupOf) {
    *word = r.next();
    const uint16_t type = *word & kTypeMask;
    const uint16_t offset = r.next();
    if (*word & kClass) {
      uint16_t length;
      r.text(&length);
    }
    *members = 0;
    *groupOf = nullptr;
    if (isGroup(type)) {
      *members = r.next();
      const uint16_t blockOffset = r.next();
      const uint16_t blockSize = r.next();
      *groupOf = block(outBlocks_, outArea_, blockOffset, blockSize);
      if (!*groupOf) return false;
    }
    if (r.bad || type < kO || type > kC || type == kP || type == kAI || type == kAR || type == kAS) return false;
    *slot = resultSlot(offset, groupBlock, resultSize(type));
    return *slot != nullptr;
  }

  // Before the call: O slots hold null, group members that are groups point
  // to their blocks.
  int prepareResult(Reader& r, uint8_t* groupBlock) {
    uint16_t word, members;
    uint8_t *slot, *b;
    if (!resultHeader(r, groupBlock, &word, &slot, &members, &b)) {
      dbgPanic("%x: unknown outparam type in argexec", uint32_t(word));
      return feErrUnimplemented;
    }
    const uint16_t type = word & kTypeMask;
    if (type == kO) feMakeNull(reinterpret_cast<feObject*>(slot));
    if (isGroup(type)) {
      if (groupBlock) std::memcpy(slot, &b, sizeof b);
      for (uint16_t m = 0; m < members; ++m) {
        const int rc = prepareResult(r, b);
        if (rc) return rc;
      }
    }
    if (!groupBlock) out_[outIndex_++] = isGroup(type) ? b : slot;
    return 0;
  }

  // Makes the value of one result. O values and heap texts leave their
  // slots as they are taken (the slot becomes null), so that the release
  // pass frees exactly what is left.
  int make(Reader& r, uint8_t* groupBlock, feObject* out) {
    uint16_t word, members;
    uint8_t *slot, *b;
    resultHeader(r, groupBlock, &word, &slot, &members, &b);
    switch (word & kTypeMask) {
      case kO: {
        auto* s = reinterpret_cast<feObject*>(slot);
        if (s->flags == 0) feMakeNull(out);
        else *out = *s;
        feMakeNull(s);
        return 0;
      }
      case kB: {
        int32_t v;
        std::memcpy(&v, slot, sizeof v);
        return feMakeBool(out, v);
      }
      case kI: {
        int32_t v;
        std::memcpy(&v, slot, sizeof v);
        return feMakeInt(out, v);
      }
      case kR: {
        double v;
        std::memcpy(&v, slot, sizeof v);
        return feMakeReal(out, v);
      }
      case kQ: {
        void* record;
        std::memcpy(&record, slot, sizeof record);
        return feMakeObjRef(out, record);
      }
      case kS: {
        feArgText t;
        std::memcpy(&t, slot, sizeof t);
        const size_t length = t.text && t.length > 0 ? size_t(t.length) : 0;
        const int rc = feMakeString(out, t.text, length);
        char* heap = const_cast<char*>(t.text);
        uFreeIfSet(&heap);
        std::memset(slot, 0, sizeof t);
        if (rc) feMakeNull(out);
        return rc;
      }
      case kC: {
        char* heap;
        std::memcpy(&heap, slot, sizeof heap);
        const int rc = feMakeString(out, heap, heap ? std::strlen(heap) : 0);
        uFreeIfSet(&heap);
        std::memset(slot, 0, sizeof heap);
        if (rc) feMakeNull(out);
        return rc;
      }
      default: {  // groups
        const uint16_t type = word & kTypeMask;
        if (type == kAP) convertPoint(b, 257);
        if (type == kAV) convertPoint(b, 258);
        feObject array;
        int rc = feMakeArray(&array, nullptr, members);
        if (rc) return rc;
        for (uint16_t m = 0; m < members; ++m) {
          feObject value;
          rc = make(r, b, &value);
          if (rc) {
            feFree(&array);
            return rc;
          }
          feArrayPut(&array, m, &value);
        }
        *out = array;
        return 0;
      }
    }
  }

  // Releases what the result slots still hold: O values and heap texts the
  // handler left and that were not made into results.
  void releaseResult(Reader& r, uint8_t* groupBlock) {
    uint16_t word, members;
    uint8_t *slot, *b;
    if (!resultHeader(r, groupBlock, &word, &slot, &members, &b)) return;
    switch (word & kTypeMask) {
      case kO: {
        auto* s = reinterpret_cast<feObject*>(slot);
        if (s->flags != 0) feFree(s);
        feMakeNull(s);
        return;
      }
      case kS: {
        feArgText t;
        std::memcpy(&t, slot, sizeof t);
        char* heap = const_cast<char*>(t.text);
        uFreeIfSet(&heap);
        std::memset(slot, 0, sizeof t);
        return;
      }
      case kC: {
        char* heap;
        std::memcpy(&heap, slot, sizeof heap);
        uFreeIfSet(&heap);
        std::memset(slot, 0, sizeof heap);
        return;
      }
      case kA:
      case kAP:
      case kAV:
        for (uint16_t m = 0; m < members; ++m) releaseResult(r, b);
        return;
      default:
        return;
    }
  }

  // ---- End of the call ----

  void finish(bool success) {
    finished_ = true;
    for (uint32_t k = 0; k < madeCount_; ++k) feFree(&made_[k]);
    madeCount_ = 0;
    if (frame_) {
      Reader r = resultReader();
      for (uint32_t k = 0; k < results_ && !r.bad; ++k) releaseResult(r, nullptr);
    }
    if (taken_) {
      if (success) {
        for (uint32_t k = 0; k < operands_; ++k) feFree(&frame_[k]);
      } else {
        uint32_t k = 0;
        for (; k < operands_; ++k)
          if (fePush(feOperandStack(), &frame_[k]) != 0) break;
        for (; k < operands_; ++k) feFree(&frame_[k]);
      }
      taken_ = false;
    }
    freeTemporaries();
    uFreeIfSet(&heap_);
  }

  feOpHandler handler_;
  uintptr_t context_;
  const uint16_t* codes_;
  size_t words_;
  bool bang_ = false;
  bool finished_ = false;
  bool taken_ = false;
  uint32_t operands_ = 0, inputs_ = 0, results_ = 0;
  size_t inArea_ = 0, outArea_ = 0;

  alignas(16) uint8_t inline_[kInlineBytes];
  void* heap_ = nullptr;
  feObject* frame_ = nullptr;
  feObject* made_ = nullptr;
  uint32_t madeCount_ = 0;
  feArg* in_ = nullptr;
  void** out_ = nullptr;
  uint32_t outIndex_ = 0;
  uint8_t* inBlocks_ = nullptr;
  uint8_t* outBlocks_ = nullptr;

  void* tempInline_[24];
  void** temps_ = tempInline_;
  uint32_t tempCount_ = 0;
  uint32_t tempCapacity_ = 24;
  int counted_ = 0;
};

}  // namespace

int argexec(feOpHandler handler, uintptr_t context, const uint16_t* codes, int32_t length) {
  if (!codes || length < 0) {
    dbgPanic("%x: unknown code in argexec", uint32_t(0));
    return feErrUnimplemented;
  }
  Call call(handler, context, codes, size_t(length) / 2);
  return call.run();
}

void feSetPointConverter(fePointConverter converter) { pointConverter = converter; }

fePointConverter feGetPointConverter() { return pointConverter; }
