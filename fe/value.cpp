// Makers and accessors of interpreter values, program-object references and
// the serial counter of bodies.
#include "fe/value.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/release.h"

namespace {

// Every maker clears the whole first word before setting its field, so that
// simple values copy and compare predictably whatever the field's width.
void clearValue(feObject* slot, uint16_t flags) {
  static_assert(sizeof slot->w0 == sizeof(void*), "the pointer spans the whole first word");
  slot->w0.ptr = nullptr;
  slot->offset = 0;
  slot->length = 0;
  slot->flags = flags;
}

// The serial counter shared by every string, array and dictionary body.
uint32_t serialCounter;

// The cells behind feGetRealPtr and feGetNumberPtr.
double realCell;
double numberCell;

}  // namespace

int feMakeInt(feObject* slot, int32_t value) {
  clearValue(slot, uint16_t(feTInt) | feFlagSimple);
  slot->w0.i = value;
  return 0;
}

int feMakeReal(feObject* slot, double value) {
  clearValue(slot, uint16_t(feTReal) | feFlagSimple);
  slot->w0.d = value;
  return 0;
}

int feMakeBool(feObject* slot, int32_t value) {
  if (value != 0 && value != 1) uAlert(0, "TBad value in feMakeBool", nullptr);
  clearValue(slot, uint16_t(feTBool) | feFlagSimple);
  slot->w0.i = value != 0;
  return 0;
}

int feMakeNull(feObject* slot) {
  clearValue(slot, uint16_t(feTNull) | feFlagSimple);
  return 0;
}

int feMakeMark(feObject* slot) {
  clearValue(slot, uint16_t(feTMark) | feFlagSimple);
  return 0;
}

void feObjRefRetain(void* record) {
  auto* head = static_cast<feObjRecord*>(record);
  if (head && head->refCount != feObjPermanent) ++head->refCount;
}

void feObjRefRelease(void* record) {
  auto* head = static_cast<feObjRecord*>(record);
  // A permanent record is never counted down; a count already at 0 belongs
  // to a record that was freed or never counted, so nothing is sent twice.
  if (!head || head->refCount == feObjPermanent || head->refCount == 0) return;
  // Sent through the release work list, which keeps nested releases off
  // the native stack.
  if (--head->refCount == 0) feReleaseRecord(head);
}

int feMakeObjRef(feObject* slot, void* record) {
  if (!record) return feMakeNull(slot);
  clearValue(slot, feTObject);
  slot->w0.obj = record;
  feObjRefRetain(record);
  return 0;
}

int feGetObjRef(const feObject* value, const char* className, void** out) {
  *out = nullptr;
  switch (feType(value)) {
    case feTNull:
      return 0;
    case feTObject:
      // objInClass answers 1 for a member, 0 or a negative code otherwise.
      if (className && objInClass(value->w0.obj, className) != 1) return feErrTypeCheck;
      *out = value->w0.obj;
      return 0;
    default:
      return feErrTypeCheck;
  }
}

int32_t feGetInt(const feObject* value) { return value->w0.i; }

void feSetIntValue(feObject* value, int32_t i) {
  value->w0.ptr = nullptr;
  value->w0.i = i;
}

int32_t feGetBool(const feObject* value) { return value->w0.i; }

double* feGetRealPtr(const feObject* value) {
  realCell = feGetNumber(value, nullptr);
  return &realCell;
}

double feGetNumber(const feObject* value, uint32_t* flag) {
  switch (feType(value)) {
    case feTInt:
      return double(value->w0.i);
    case feTReal:
      if (flag) *flag |= 1;
      return value->w0.d;
    default:
      return 0.0;
  }
}

double* feGetNumberPtr(const feObject* value, uint32_t* flag) {
  numberCell = feGetNumber(value, flag);
  return &numberCell;
}

const feObject* feTrue() {
  static const feObject value = [] {
    feObject v;
    feMakeBool(&v, 1);
    return v;
  }();
  return &value;
}

const feObject* feFalse() {
  static const feObject value = [] {
    feObject v;
    feMakeBool(&v, 0);
    return v;
  }();
  return &value;
}

uint32_t feSerialNext() { return serialCounter++; }

uint32_t feSerialPeek() { return serialCounter; }

void feSerialAtLeast(uint32_t v) {
  if (v >= serialCounter) serialCounter = v + 1;
}

void feSerialSet(uint32_t v) { serialCounter = v; }
