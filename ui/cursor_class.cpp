// The class "cursor": making cursor objects from scripts, their keyed
// attributes, their release, and their record in compiled images.
#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/newbio.h"
#include "fe/value.h"
#include "ui/achk.h"
#include "ui/cursor.h"
#include "ui/cursor_internal.h"

#include <cstdlib>
#include <cstring>

namespace {

enum { kData = 1, kMask = 2, kX = 3, kY = 4 };
enum { kRecordSize = sizeof(cursorRec), kHighestIndex = 4095 };

uint16_t classId = 0;
uiAChklEntry* checkList = nullptr;

cursorRec* newCursor() {
  auto* c = static_cast<cursorRec*>(std::calloc(1, sizeof(cursorRec)));
  if (c) c->classId = classId;
  return c;
}

// "data" of exactly 32 bytes: two bytes a row into rows 0-15 of the image.
void setData(cursorRec* c, const uint8_t* bytes, int32_t length) {
  if (length != 32) return;
  c->width = 32;
  for (int row = 0; row < 16; ++row) {
    c->image[row * 4] = bytes[row * 2];
    c->image[row * 4 + 1] = bytes[row * 2 + 1];
  }
}

// Message 100: the object leaves every entry holding it, then is freed.
int cursorRelease(cursorRec* c) {
  cursorForget(c);
  std::free(c);
  return 0;
}

// Message 107: "x" or "y".
int cursorGet(cursorRec* c, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList, key, &data);
  switch (code) {
    case kX: data.count = c->hotX; break;
    case kY: data.count = c->hotY; break;
    case 0: return data.status;
    default: return feErrTypeCheck;
  }
  uiAChkMakeValue(checkList, code, out, &data);
  return data.status;
}

// Message 108: "x" or "y" move the hot spot; entries showing the object get
// a native cursor made anew. "data" and "mask" cannot be set.
int cursorPut(cursorRec* c, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkl(checkList, key, value, &data);
  switch (code) {
    case kX: c->hotX = uint16_t(data.count); break;
    case kY: c->hotY = uint16_t(data.count); break;
    case 0: return data.status;
    default: return feErrTypeCheck;
  }
  cursorRemake(c);
  return 0;
}

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Message 122, writing: tag 11 the record size (one 4-byte item), tag 12 the
// record as one 138-byte item, little-endian whatever the machine's order.
int cursorWrite(const cursorRec* c, uArrayFile* file) {
  const uint8_t size[4] = {kRecordSize, 0, 0, 0};
  uint8_t bytes[kRecordSize];
  put16(bytes, c->classId);
  bytes[2] = c->refCount;
  bytes[3] = c->flags;
  put16(bytes + 4, c->width);
  put16(bytes + 6, c->hotX);
  put16(bytes + 8, c->hotY);
  std::memcpy(bytes + 10, c->image, sizeof c->image);
  if (uArrayWrite(file, 11, size, 1, 4) != 0 || uArrayWrite(file, 12, bytes, 1, kRecordSize) != 0) return feErrIo;
  return 0;
}

// Message 122, reading: a new object from the written bytes (its count and
// class id are this program's, not the record's).
int cursorRead(const feImageRecord* record, feObject* out) {
  if (!record || !out || record->size != kRecordSize) return feErrIo;
  cursorRec* c = newCursor();
  if (!c) return feErrIo;
  const uint8_t* p = record->data;
  c->flags = p[3];
  c->width = get16(p + 4);
  c->hotX = get16(p + 6);
  c->hotY = get16(p + 8);
  std::memcpy(c->image, p + 10, sizeof c->image);
  return feMakeObjRef(out, c);
}

int cursorHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* cursor = static_cast<cursorRec*>(object);
  switch (message) {
    case feMsgFree: return cursor ? cursorRelease(cursor) : 0;
    case feMsgGetAttr:
      if (!cursor) break;
      return cursorGet(cursor, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case feMsgPutAttr:
      if (!cursor) break;
      return cursorPut(cursor, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case feMsgImage:
      if (b == 1) return cursor ? cursorWrite(cursor, reinterpret_cast<uArrayFile*>(c)) : 0;
      if (b == 0)
        return cursorRead(reinterpret_cast<const feImageRecord*>(c), reinterpret_cast<feObject*>(a));
      return 0;
    default: break;
  }
  return objMeth(objSuperClass(classId), message, object, a, b, c);
}

}  // namespace

uint16_t cursorRegisterClass() {
  classId = objClassRegister("cursor", 0, cursorHandler);
  // Built anew at every start: the keys are indices of the interpreter's
  // name table, which a fresh interpreter makes again.
  uFreeIfSet(&checkList);
  uiDefAChkl(&checkList, kData, "data", "S", kMask, "mask", "S", kX, "x", "I", kY, "y", "I", 0);
  return classId;
}

uint16_t cursorClassId() { return classId; }

int aCursor(feArgs* args) {
  if (!checkList) cursorRegisterClass();
  const feObject* pairs = args->in[0].value;
  if (!pairs || feType(pairs) != feTArray) return feErrTypeCheck;
  cursorRec* c = newCursor();
  if (!c) return feErrLimitCheck;
  const int32_t length = feArrayLength(pairs);
  for (int32_t i = 0; i < length; i += 2) {
    if (i + 1 >= length) {  // a key without its value
      std::free(c);
      return feErrRangeCheck;
    }
    uiAChkData data;
    switch (uiAChkl(checkList, feArrayElem(pairs, i), feArrayElem(pairs, i + 1), &data)) {
      case kData: setData(c, static_cast<const uint8_t*>(data.data), data.count); break;
      case kMask: break;
      case kX: c->hotX = uint16_t(data.count); break;
      case kY: c->hotY = uint16_t(data.count); break;
      default:
        std::free(c);
        return data.status ? data.status : feErrTypeCheck;
    }
  }
  *static_cast<void**>(args->out[0]) = c;
  return 0;
}

int aUseCursor(feArgs* args) {
  const int32_t index = args->in[0].i;
  auto* object = static_cast<cursorRec*>(args->in[1].record);
  if (index < 0 || index > kHighestIndex) return feErrRangeCheck;
  if (object && (classId == 0 || objInClass(object, "cursor") != 1)) return feErrTypeCheck;
  cursorSetEntry(uint32_t(index), object);
  return 0;
}
