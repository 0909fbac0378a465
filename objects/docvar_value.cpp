#include "objects/docvar_value.h"

#include "core/debug.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "objects/ioformat.h"

#include <cstring>
#include <vector>

namespace {

enum : int32_t {
  kTagNull = 0,
  kTagBool = 1,
  kTagInt = 2,
  kTagReal = 3,
  kTagName = 4,
  kTagString = 5,
  kTagArray = 6,
  kTagDict = 7,
};

// Nesting deeper than this is refused: no script builds it, and a file that
// claims it would otherwise run the reader's stack out.
enum { kMaxDepth = 1024, kBadData = -4139 };

// The bodies of the containers being walked, outermost first: a container
// met again among them contains itself.
using Path = std::vector<const void*>;

bool onPath(const Path& path, const void* body) {
  for (const void* p : path)
    if (p == body) return true;
  return false;
}

// Whether the value can be written whole: every type has a coding and no
// container contains itself.
bool writable(const feObject* value, Path& path) {
  switch (feType(value)) {
    case feTNull:
    case feTBool:
    case feTInt:
    case feTReal:
    case feTName:
    case feTString:
      return true;
    case feTArray: {
      if (onPath(path, value->w0.arr) || path.size() >= kMaxDepth) return false;
      path.push_back(value->w0.arr);
      bool ok = true;
      for (int32_t i = 0, n = feArrayLength(value); ok && i < n; ++i) ok = writable(feArrayElem(value, i), path);
      path.pop_back();
      return ok;
    }
    case feTDict: {
      const feDictBody* body = value->w0.dict;
      if (onPath(path, body) || path.size() >= kMaxDepth) return false;
      path.push_back(body);
      bool ok = true;
      for (uint32_t i = 0; ok && i < body->capacity; ++i) {
        const feDictEntry& e = body->entries[i];
        if (feType(&e.key) == feTEmpty) continue;
        ok = writable(&e.key, path) && writable(&e.value, path);
      }
      path.pop_back();
      return ok;
    }
    default:
      dbgPrintf("feWrite not legal for FE object type %d\n", int32_t(feType(value)));
      return false;
  }
}

// Whether a container is met again inside itself (or nests too deep).
bool containsItself(const feObject* value, Path& path) {
  const int type = feType(value);
  if (type != feTArray && type != feTDict) return false;
  const void* body = type == feTArray ? static_cast<const void*>(value->w0.arr) : value->w0.dict;
  if (onPath(path, body) || path.size() >= kMaxDepth) return true;
  path.push_back(body);
  bool found = false;
  if (type == feTArray) {
    for (int32_t i = 0, n = feArrayLength(value); !found && i < n; ++i) found = containsItself(feArrayElem(value, i), path);
  } else {
    const feDictBody* dict = value->w0.dict;
    for (uint32_t i = 0; !found && i < dict->capacity; ++i) {
      const feDictEntry& e = dict->entries[i];
      if (feType(&e.key) != feTEmpty) found = containsItself(&e.key, path) || containsItself(&e.value, path);
    }
  }
  path.pop_back();
  return found;
}

int writeText(ioCtx* ctx, int32_t tag, const char* text, size_t length) {
  int32_t n = int32_t(length);
  uint16_t field = uint16_t(length);
  return ioFormat(ctx, "iiC", &tag, &n, &field, text);
}

int writeValue(ioCtx* ctx, const feObject* value) {
  int32_t tag;
  switch (feType(value)) {
    case feTBool: {
      tag = kTagBool;
      int32_t b = feGetBool(value) ? 1 : 0;
      return ioFormat(ctx, "ii", &tag, &b);
    }
    case feTInt: {
      tag = kTagInt;
      int32_t i = feGetInt(value);
      return ioFormat(ctx, "il", &tag, &i);
    }
    case feTReal: {
      tag = kTagReal;
      double d = value->w0.d;
      return ioFormat(ctx, "ix", &tag, &d);
    }
    case feTName: {
      const char* text;
      size_t length;
      feNameText(value, &text, &length);
      return writeText(ctx, kTagName, text, length);
    }
    case feTString: {
      uint8_t* data;
      uint16_t length;
      feStringData(value, &data, &length);
      return writeText(ctx, kTagString, reinterpret_cast<const char*>(data), length);
    }
    case feTArray: {
      tag = kTagArray;
      int32_t n = feArrayLength(value);
      int total = ioFormat(ctx, "ii", &tag, &n);
      for (int32_t i = 0; total >= 0 && i < n; ++i) {
        const int bytes = writeValue(ctx, feArrayElem(value, i));
        total = bytes < 0 ? bytes : total + bytes;
      }
      return total;
    }
    case feTDict: {
      tag = kTagDict;
      const feDictBody* body = value->w0.dict;
      int32_t n = feDictLength(value);
      int total = ioFormat(ctx, "ii", &tag, &n);
      for (uint32_t i = 0; total >= 0 && i < body->capacity; ++i) {
        const feDictEntry& e = body->entries[i];
        if (feType(&e.key) == feTEmpty) continue;
        const int k = writeValue(ctx, &e.key);
        const int v = k < 0 ? k : writeValue(ctx, &e.value);
        total = v < 0 ? v : total + k + v;
      }
      return total;
    }
    default:
      tag = kTagNull;
      return ioFormat(ctx, "i", &tag);
  }
}

// A count read from the file must fit what is left of the record, each
// item taking at least minBytes, and the container's own limit.
bool countFits(ioCtx* ctx, int32_t n, int32_t minBytes, int32_t limit) {
  if (n < 0 || n > limit || long(n) * minBytes > ioBytesLeft(ctx)) {
    dbgPrintf("[feRead] count %ld does not fit (%ld bytes left)\n", n, int32_t(ioBytesLeft(ctx)));
    return false;
  }
  return true;
}

int readText(ioCtx* ctx, int32_t tag, feObject* out) {
  int32_t n = 0;
  if (ioFormat(ctx, "i", &n) < 0) return -1;
  if (!countFits(ctx, n, 1, feStringMaxLength)) return kBadData;
  std::vector<char> buffer(size_t(n) + 1);
  uint16_t field = uint16_t(n);
  if (ioFormat(ctx, "C", &field, buffer.data()) < 0) return -1;
  if (tag == kTagName) return feMakeName(out, buffer.data(), field);
  return feMakeString(out, buffer.data(), field);
}

int readValue(ioCtx* ctx, feObject* out, int depth) {
  feMakeNull(out);
  if (depth > kMaxDepth) return kBadData;
  const uint32_t failures = ctx->readFailures;
  int32_t tag = 0;
  if (ioFormat(ctx, "i", &tag) < 0 || ctx->readFailures != failures) return -1;
  int answer = 0;
  switch (tag) {
    case kTagNull:
      return 0;
    case kTagBool: {
      int32_t b = 0;
      if (ioFormat(ctx, "i", &b) < 0) return -1;
      return feMakeBool(out, b ? 1 : 0);
    }
    case kTagInt: {
      int32_t i = 0;
      if (ioFormat(ctx, "l", &i) < 0) return -1;
      return feMakeInt(out, i);
    }
    case kTagReal: {
      double d = 0;
      if (ioFormat(ctx, "x", &d) < 0) return -1;
      return feMakeReal(out, d);
    }
    case kTagName:
    case kTagString:
      answer = readText(ctx, tag, out);
      break;
    case kTagArray: {
      int32_t n = 0;
      if (ioFormat(ctx, "i", &n) < 0) return -1;
      if (!countFits(ctx, n, 1, feArrayMaxMake)) return kBadData;
      std::vector<feObject> items(static_cast<size_t>(n));
      for (auto& item : items) feMakeNull(&item);
      for (int32_t i = 0; answer == 0 && i < n; ++i) answer = readValue(ctx, &items[size_t(i)], depth + 1);
      if (answer == 0) answer = feMakeArray(out, items.data(), uint32_t(n));
      if (answer != 0)
        for (auto& item : items) feFree(&item);
      break;
    }
    case kTagDict: {
      int32_t n = 0;
      if (ioFormat(ctx, "i", &n) < 0) return -1;
      if (!countFits(ctx, n, 2, feDictMaxCapacity)) return kBadData;
      feObject dict;
      feMakeDict(&dict, n);
      for (int32_t i = 0; answer == 0 && i < n; ++i) {
        feObject key, value;
        answer = readValue(ctx, &key, depth + 1);
        if (answer == 0) answer = readValue(ctx, &value, depth + 1);
        else feMakeNull(&value);
        if (answer == 0 && feType(&key) != feTNull) answer = feDictPut(&dict, &key, &value);
        feFree(&key);
        feFree(&value);
      }
      if (answer == 0) *out = dict;
      else feFree(&dict);
      break;
    }
    default:
      return -1;
  }
  if (answer == 0 && ctx->readFailures != failures) answer = -1;
  if (answer != 0) {
    feFree(out);
    feMakeNull(out);
  }
  return answer;
}

void deepCopy(const feObject* value, feObject* out, Path& path) {
  switch (feType(value)) {
    case feTString: {
      uint8_t* data;
      uint16_t length;
      feStringData(value, &data, &length);
      feMakeString(out, reinterpret_cast<const char*>(data), length);
      out->flags = uint16_t((out->flags & ~feFlagExec) | (value->flags & feFlagExec));
      return;
    }
    case feTArray: {
      if (onPath(path, value->w0.arr) || path.size() >= kMaxDepth) {
        feMakeNull(out);
        return;
      }
      path.push_back(value->w0.arr);
      const int32_t n = feArrayLength(value);
      std::vector<feObject> items(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i) deepCopy(feArrayElem(value, i), &items[size_t(i)], path);
      path.pop_back();
      feMakeArray(out, items.data(), uint32_t(n));
      out->flags = uint16_t((out->flags & ~feFlagExec) | (value->flags & feFlagExec));
      return;
    }
    case feTDict: {
      const feDictBody* body = value->w0.dict;
      if (onPath(path, body) || path.size() >= kMaxDepth) {
        feMakeNull(out);
        return;
      }
      path.push_back(body);
      feMakeDict(out, body->capacity);
      for (uint32_t i = 0; i < body->capacity; ++i) {
        const feDictEntry& e = body->entries[i];
        if (feType(&e.key) == feTEmpty) continue;
        feObject key, item;
        deepCopy(&e.key, &key, path);
        deepCopy(&e.value, &item, path);
        feDictPut(out, &key, &item);
        feFree(&key);
        feFree(&item);
      }
      path.pop_back();
      return;
    }
    default:
      feCopyValue(out, value);
      return;
  }
}

}  // namespace

int feWrite(ioCtx* ctx, const feObject* value) {
  Path path;
  if (!writable(value, path)) return -1;
  return writeValue(ctx, value) < 0 ? -1 : 0;
}

bool feWritable(const feObject* value) {
  Path path;
  return writable(value, path);
}

int feRead(ioCtx* ctx, feObject* out) { return readValue(ctx, out, 0); }

void feDeepCopy(const feObject* value, feObject* out) {
  Path path;
  if (containsItself(value, path)) {
    feMakeNull(out);
    return;
  }
  deepCopy(value, out, path);
}
