// Precompiled call plans: for a signature made only of plain elements (O B I
// R Q operands, constants, and O B I R Q results, none of them in groups) the
// compiled program is read once, when the operator is made, into a fixed
// table of steps. A call then runs that table instead of decoding the
// program element by element, and keeps everything in a small frame on the
// native stack instead of the general machine's 512-byte block.
//
// The steps do exactly what the general machine does for these elements, in
// the same order: the same checks and error codes, the same zeroed argument
// and result slots, the operands restored on any failure (an exception
// included), the results made and pushed the same way. Signatures with
// anything else (texts taken from operands, copies, lists, groups) have no
// plan and run through the general machine.
#include "fe/signature.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/signature_code.h"
#include "fe/stack.h"
#include "fe/value.h"

#include <cstring>

using namespace fesig;

struct feSigPlan {
  enum : int { kMaxInputs = 8, kMaxResults = 4 };
  struct Input {
    uint16_t type;          // kO kB kI kR kQ; 0 for a constant
    uint16_t slot;          // index in the argument list
    const char* className;  // Q: the class the record must belong to, or null
    feArg constant;         // a constant's value, laid out as the general machine does
  };
  bool bang;
  uint8_t operands;
  uint8_t inputs;
  uint8_t results;
  Input in[kMaxInputs];
  uint16_t out[kMaxResults];  // result types: kO kB kI kR kQ
};

namespace {

// Reads the words at pos, answering false when they run past the end.
struct PlanReader {
  const uint16_t* words;
  size_t count;
  size_t pos;
  bool take(size_t n, const uint16_t** at) {
    if (pos > count || n > count - pos) return false;
    *at = words + pos;
    pos += n;
    return true;
  }
  bool next(uint16_t* v) {
    const uint16_t* at;
    if (!take(1, &at)) return false;
    *v = *at;
    return true;
  }
  bool text(const char** t) {
    uint16_t length;
    const uint16_t* at;
    if (!next(&length) || !take(textWords(length), &at)) return false;
    *t = reinterpret_cast<const char*>(at);
    return true;
  }
};

bool readInput(PlanReader& r, feSigPlan::Input* in, uint32_t inputs) {
  uint16_t word, slot;
  if (!r.next(&word) || !r.next(&slot) || slot >= inputs) return false;
  const uint16_t type = word & kTypeMask;
  *in = feSigPlan::Input{};
  in->slot = slot;
  if (word & kConst) {
    in->type = 0;
    void* dest = &in->constant;
    const uint16_t* w;
    switch (type) {
      case kB:
      case kI: {
        if (!r.take(2, &w)) return false;
        const int32_t v = int32_t(uint32_t(w[0]) | uint32_t(w[1]) << 16);
        std::memcpy(dest, &v, sizeof v);
        return true;
      }
      case kR:
      case kP: {
        if (!r.take(4, &w)) return false;
        uint64_t bits = 0;
        for (int k = 0; k < 4; ++k) bits |= uint64_t(w[k]) << (16 * k);
        if (type == kR) {
          double v;
          std::memcpy(&v, &bits, sizeof v);
          std::memcpy(dest, &v, sizeof v);
        } else {
          const uintptr_t v = uintptr_t(bits);
          std::memcpy(dest, &v, sizeof v);
        }
        return true;
      }
      case kS: {
        uint16_t length;
        const uint16_t* at;
        if (!r.next(&length) || !r.take(textWords(length), &at)) return false;
        const feArgText v{reinterpret_cast<const char*>(at), length};
        std::memcpy(dest, &v, sizeof v);
        return true;
      }
      case kC: {
        const char* t;
        if (!r.text(&t)) return false;
        std::memcpy(dest, &t, sizeof t);
        return true;
      }
      default:
        return false;
    }
  }
  if (word & kClass) {
    if (!r.text(&in->className)) return false;
  }
  switch (type) {
    case kO:
    case kB:
    case kI:
    case kR:
    case kQ:
      in->type = type;
      return true;
    default:
      return false;
  }
}

bool readResult(PlanReader& r, uint16_t* type) {
  uint16_t word, offset;
  if (!r.next(&word) || !r.next(&offset)) return false;
  if (word & kClass) {
    const char* t;
    if (!r.text(&t)) return false;
  }
  *type = word & kTypeMask;
  return *type == kO || *type == kB || *type == kI || *type == kR || *type == kQ;
}

// One call's storage and the undoing of a failed call, as the general
// machine's Call object does it.
struct PlanCall {
  const feSigPlan* plan;
  feObject frame[feSigPlan::kMaxInputs];
  feObject made[feSigPlan::kMaxResults];
  union Slot {
    feObject value;
    int32_t i;
    double d;
    void* record;
  } slots[feSigPlan::kMaxResults];
  uint32_t madeCount = 0;
  bool prepared = false;  // the result slots hold their starting values
  bool taken = false;
  bool finished = false;

  explicit PlanCall(const feSigPlan* p) : plan(p) {}
  ~PlanCall() {
    if (!finished) finish(false);
  }

  void finish(bool success) {
    finished = true;
    for (uint32_t k = 0; k < madeCount; ++k) feFree(&made[k]);
    madeCount = 0;
    for (uint32_t k = 0; k < plan->results && prepared; ++k) {
      if (plan->out[k] != kO) continue;
      feObject* s = &slots[k].value;
      if (s->flags != 0) feFree(s);
      feMakeNull(s);
    }
    if (taken) {
      const uint32_t n = plan->operands;
      if (success) {
        for (uint32_t k = 0; k < n; ++k) feFree(&frame[k]);
      } else {
        uint32_t k = 0;
        for (; k < n; ++k)
          if (fePush(feOperandStack(), &frame[k]) != 0) break;
        for (; k < n; ++k) feFree(&frame[k]);
      }
      taken = false;
    }
  }

  int make(uint32_t k, feObject* out) {
    Slot* s = &slots[k];
    switch (plan->out[k]) {
      case kO:
        if (s->value.flags == 0) feMakeNull(out);
        else *out = s->value;
        feMakeNull(&s->value);
        return 0;
      case kB: return feMakeBool(out, s->i);
      case kI: return feMakeInt(out, s->i);
      case kR: return feMakeReal(out, s->d);
      default: return feMakeObjRef(out, s->record);
    }
  }

  int run(feOpHandler handler, uintptr_t context) {
    const feSigPlan& p = *plan;
    feStack** stack = feOperandStack();
    if (feStackCount(*stack) < int32_t(p.operands)) return feErrStackUnderflow;

    void* out[feSigPlan::kMaxResults];
    std::memset(slots, 0, sizeof(Slot) * p.results);
    for (uint32_t k = 0; k < p.results; ++k) {
      if (p.out[k] == kO) feMakeNull(&slots[k].value);
      out[k] = &slots[k];
    }
    prepared = true;

    // Take the operands: the deepest becomes the first.
    for (uint32_t k = p.operands; k-- > 0;) fePop(*stack, &frame[k]);
    taken = true;

    feArg in[feSigPlan::kMaxInputs];
    uint32_t used = 0;
    for (uint32_t k = 0; k < p.inputs; ++k) {
      const feSigPlan::Input& step = p.in[k];
      feArg* dest = &in[step.slot];
      if (step.type == 0) {
        *dest = step.constant;
        continue;
      }
      std::memset(dest, 0, sizeof *dest);
      const feObject* v = &frame[used++];
      switch (step.type) {
        case kO:
          dest->value = v;
          break;
        case kB:
          if (feType(v) != feTBool) return feErrTypeCheck;
          dest->i = v->w0.i != 0;
          break;
        case kI:
          if (feType(v) != feTInt) return feErrTypeCheck;
          dest->i = v->w0.i;
          break;
        case kR:
          if (feType(v) == feTInt) dest->d = double(v->w0.i);
          else if (feType(v) == feTReal) dest->d = feGetNumber(v, nullptr);
          else return feErrTypeCheck;
          break;
        default: {  // kQ
          void* record = nullptr;
          if (const int rc = feGetObjRef(v, step.className, &record)) return rc;
          dest->record = record;
          break;
        }
      }
    }

    feArgs args{in, int32_t(p.inputs), out, int32_t(p.results), context};
    const int answer = handler(&args);
    if (answer != 0 && !p.bang) return answer;

    for (uint32_t k = 0; k < p.results; ++k) {
      if (const int rc = make(k, &made[k])) return rc;
      ++madeCount;
    }
    // Push the results, the first deepest; a full stack takes back what was
    // pushed so that the call fails with the stack as it was.
    uint32_t pushed = 0;
    for (; pushed < p.results; ++pushed)
      if (fePush(feOperandStack(), &made[pushed]) != 0) break;
    if (pushed < p.results) {
      while (pushed > 0) fePop(*feOperandStack(), &made[--pushed]);
      return feErrLimitCheck;
    }
    madeCount = 0;
    finish(true);
    return 0;
  }
};

}  // namespace

const feSigPlan* feSigPlanMake(const uint16_t* codes, int32_t length) {
  if (!codes || length < 0) return nullptr;
  const size_t words = size_t(length) / 2;
  // The same header checks as the general machine; a program that fails
  // them keeps going through it so that it reports the fault.
  if (words < size_t(kHeaderWords) || (codes[kHeaderMarker] & kMarkerMask) != kMarker ||
      codes[kHeaderResultStart] < kHeaderWords || codes[kHeaderResultStart] > codes[kHeaderDocStart] ||
      codes[kHeaderDocStart] >= words)
    return nullptr;
  const uint32_t operands = codes[kHeaderOperands];
  const uint32_t inputs = codes[kHeaderInputs];
  const uint32_t results = codes[kHeaderResults];
  if (inputs > feSigPlan::kMaxInputs || operands > inputs || results > feSigPlan::kMaxResults) return nullptr;

  feSigPlan plan{};
  plan.bang = (codes[kHeaderMarker] & kBang) != 0;
  plan.operands = uint8_t(operands);
  plan.inputs = uint8_t(inputs);
  plan.results = uint8_t(results);

  PlanReader in{codes, codes[kHeaderResultStart], size_t(kHeaderWords)};
  uint32_t taking = 0;
  bool seen[feSigPlan::kMaxInputs] = {};
  for (uint32_t k = 0; k < inputs; ++k) {
    if (!readInput(in, &plan.in[k], inputs) || seen[plan.in[k].slot]) return nullptr;
    seen[plan.in[k].slot] = true;
    if (plan.in[k].type != 0) ++taking;
  }
  if (taking != operands || in.pos != in.count) return nullptr;

  PlanReader out{codes, codes[kHeaderDocStart], codes[kHeaderResultStart]};
  for (uint32_t k = 0; k < results; ++k)
    if (!readResult(out, &plan.out[k])) return nullptr;
  if (out.pos != out.count) return nullptr;

  auto* made = static_cast<feSigPlan*>(uAlloc(nullptr, nullptr, 1, sizeof(feSigPlan)));
  *made = plan;
  return made;
}

int feSigPlanRun(const feSigPlan* plan, feOpHandler handler, uintptr_t context) {
  PlanCall call(plan);
  return call.run(handler, context);
}
