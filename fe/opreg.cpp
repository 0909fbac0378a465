// Making operators, registering them under their names, and calling them.
#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/operator_test.h"
#include "fe/output.h"
#include "fe/signature.h"

#include <cstring>

namespace {

// Cleared while a compiled image supplies the definitions; set again once
// the module initialisations are done.
bool defining = true;

// Cleared by tests to force the general argument machine.
bool shortcuts = true;

// Set by bounded runs of untrusted scripts (feOpTestSetCallHook).
feOpCallHook callHook;

struct TraceRing {
  feOpTraceEntry slots[feOpTraceSlots];
  int32_t next;  // the slot the next call goes into
  int32_t used;
};
TraceRing ring;

constexpr int kMaxAlertName = 31;  // characters of the name in the alert

int32_t indexOf(const feObject* op) { return feOpIndexOf(op->w0.u); }

}  // namespace

void feSetOpDefining(bool on) { defining = on; }
void feOpTestUseShortcuts(bool on) { shortcuts = on; }
void feOpTestSetCallHook(feOpCallHook hook) { callHook = hook; }
bool feOpDefining() { return defining; }

void feOpTraceRecord(uint16_t name, uint32_t word) {
  ring.slots[ring.next] = feOpTraceEntry{name, word};
  ring.next = (ring.next + 1) % feOpTraceSlots;
  if (ring.used < feOpTraceSlots) ++ring.used;
}

int32_t feOpTraceRead(feOpTraceEntry* out) {
  for (int32_t k = 0; k < ring.used; ++k)
    out[k] = ring.slots[(ring.next - 1 - k + feOpTraceSlots) % feOpTraceSlots];
  return ring.used;
}

void feOpTraceClear() { ring = TraceRing{}; }

int feMakeOp(feObject* out, const char* name, size_t nameLength, feOpHandler handler, const char* signature,
             uintptr_t parameter, uintptr_t context) {
  if (!name) nameLength = 0;
  const uint16_t* codes = nullptr;
  int32_t codesLength = 0;
  if (signature && *signature) {
    const int rc = feCompileSig(signature, &codes, &codesLength, parameter);
    if (rc) {
      fePrintf("[feMakeOp] Error: name '%.*s', argstr '%s'\n", int32_t(nameLength), name ? name : "", signature);
      char shown[kMaxAlertName + 1];
      const size_t n = nameLength < size_t(kMaxAlertName) ? nameLength : size_t(kMaxAlertName);
      if (n) std::memcpy(shown, name, n);
      shown[n] = 0;
      uAlert(0, "WError in defining op '^0'", shown);
      return rc;
    }
  }

  feOperator entry{};
  entry.handler = handler;
  entry.context = context;
  const int rc = feNameIntern(name, nameLength, &entry.name);
  if (rc) return rc;
  if (codes) {
    entry.signature = static_cast<uint16_t*>(uAlloc(nullptr, nullptr, uint32_t(codesLength) / 2, sizeof(uint16_t)));
    std::memcpy(entry.signature, codes, size_t(codesLength));
    entry.signatureLength = int16_t(codesLength);
    entry.plan = feSigPlanMake(entry.signature, codesLength);
  }
  entry.direct = feOpDirectFor(handler, signature);
  const int32_t index = feOpTableAppend(entry);
  if (index < 0) {
    uFreeIfSet(&entry.signature);
    auto* plan = const_cast<feSigPlan*>(entry.plan);
    uFreeIfSet(&plan);
    return feErrLimitCheck;
  }
  out->w0.ptr = nullptr;
  out->w0.u = uint32_t(index);
  out->offset = 0;
  out->length = 0;
  out->flags = uint16_t(feTOperator) | feFlagSimple;
  return 0;
}

int feInstallOpDict(const feObject* dict, const char* name, feOpHandler handler, const char* signature,
                    uintptr_t parameter, uintptr_t context) {
  const size_t length = name ? std::strlen(name) : 0;
  feObject op;
  int rc = feMakeOp(&op, name, length, handler, signature, parameter, context);
  if (rc) return rc;
  if (!dict || feType(dict) != feTDict) return feErrTypeCheck;
  feObject key;
  rc = feMakeName(&key, name, length);
  if (rc) return rc;

  int result = 0;
  if (defining) {
    op.flags |= feFlagExec;
    if (feDictFind(dict, &key) >= 0)
      fePrintf("[feInstallOpDict] Warning: Operator %s defined more than once.\n", name ? name : "");
    result = feDictPut(dict, &key, &op);
  }

  // The compiled image stores operators by index: a stored operator of this
  // name must be the one just made, or the image and this program disagree
  // on the registration order.
  feObject stored;
  if (feDictGet(dict, &key, &stored) == 0) {
    if (feType(&stored) == feTOperator && indexOf(&stored) != indexOf(&op)) {
      const char* storedName;
      size_t storedLength;
      feOpNameText(indexOf(&stored), &storedName, &storedLength);
      const char* newName;
      size_t newLength;
      feOpNameText(indexOf(&op), &newName, &newLength);
      dbgPanic("[feInstallOpDict] name mismatch %.*s!=%.*s", int32_t(storedLength), storedName, int32_t(newLength),
               newName);
    }
    feFree(&stored);
  }
  return result;
}

int feRegisterOp(const char* name, feOpHandler handler, const char* signature, uintptr_t parameter,
                 uintptr_t context) {
  // systemdict is the bottom of the dictionary stack.
  return feInstallOpDict(feDictAtLevel(1), name, handler, signature, parameter, context);
}

int feCallOp(const feObject* op) { return feCallOpIndex(op ? indexOf(op) : -1); }

int feCallOpIndex(int32_t index) {
  const feOperator* entry = feOpEntry(index);
  if (!entry) {
    dbgPanic("[feCallOp] operator index %d outside the table (%d operators)\n", index, feOpCount());
    return feErrUnimplemented;
  }
  const uint32_t flags = dbgFlags();
  if (flags & 0x8) {
    const char* text;
    size_t length;
    feNameTextOf(entry->name, &text, &length);
    fePrintf("%.*s\n", int32_t(length), text);
  }
  if (flags & 0x1) feOpTraceRecord(entry->name, 0);
  if (callHook) {
    if (const int rc = callHook(index)) return rc;
  }
  if (!entry->handler) return feErrUnimplemented;
  if (shortcuts) {
    if (entry->direct) {
      const int rc = entry->direct();
      if (rc != feOpDeclined) return rc;
    }
    if (entry->plan) return feSigPlanRun(entry->plan, entry->handler, entry->context);
  }
  if (!entry->signature) {
    feArgs args{nullptr, 0, nullptr, 0, entry->context};
    return entry->handler(&args);
  }
  return argexec(entry->handler, entry->context, entry->signature, entry->signatureLength);
}
