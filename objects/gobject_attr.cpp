// The attribute keys of "gobject" (messages 107, 108, 406) and the loop of
// message 119, which runs a script procedure for each key and value from
// the execution stack, as the interpreter's own loops do.
#include "objects/gobject_internal.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/script.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "objects/attrnames.h"
#include "objects/colortbl.h"
#include "objects/ddict.h"
#include "objects/layer.h"
#include "objects/lnfont.h"
#include "objects/numtbl.h"
#include "objects/objloop.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/pen.h"
#include "ui/achk.h"

#include <cstring>
#include <vector>

namespace {

// The keys of "gobject" in the order they are enumerated.
const int kCodes[] = {attrType,      attrId,     attrLayer,   attrLayerNo,    attrLineFont, attrLineFontNo,
                      attrColor,     attrColorNo, attrWeight, attrLineWeight, attrLocked,   attrControlPts, 0};

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

const uiAChklEntry* names() {
  attrNamesInit();
  return attrNames();
}

// The text of a name key; false for any other value.
bool keyText(const feObject* key, const char** text, size_t* length) {
  if (!key || feType(key) != feTName) return false;
  feNameText(key, text, length);
  return true;
}

// Keys of the attribute dictionary: "@" and at least one more character, or
// a capital first letter.
bool isDictKey(const char* text, size_t length) {
  return (length >= 2 && text[0] == '@') || (length >= 1 && text[0] >= 'A' && text[0] <= 'Z');
}

// The axis (0-2) of a coordinate key "name.x", "name.y", "name.z"; -1 for
// any other key.
int coordAxis(const char* text, size_t length) {
  if (length < 3 || text[length - 2] != '.') return -1;
  const char axis = text[length - 1];
  return axis >= 'x' && axis <= 'z' ? axis - 'x' : -1;
}

// A dictionary entry: "@" keys answer their value as a string, capitalised
// keys as a name. An absent entry is an unknown key.
int getDictEntry(const gobjRec* object, const char* text, size_t length, feObject* out) {
  const char* value;
  uint32_t valueLength;
  int found;
  if (length > ddKeyMax || ddLookup(&object->attrs, text, uint32_t(length), &value, &valueLength, &found) != 0)
    return feErrUnknownKey;
  if (text[0] == '@') return feMakeString(out, value, valueLength);
  return feMakeName(out, value, valueLength);
}

// Sets a dictionary entry from a string (a name is taken as well, so that
// what a capitalised key answers can be stored again); null removes it. A
// read-only entry answers -4157 and keeps its value.
int setDictEntry(gobjRec* object, const char* text, size_t length, const feObject* value) {
  int readOnly = 0;
  if (length <= ddKeyMax && ddGetFlags(&object->attrs, text, uint32_t(length), ddReadOnly, &readOnly) == 0 &&
      readOnly)
    return ddErrReadOnly;
  switch (feType(value)) {
    case feTNull: {
      const int rc = ddDelete(&object->attrs, text, uint32_t(length));
      return rc == ddErrAbsent || rc == ddErrNoBlock ? 0 : rc;
    }
    case feTString: {
      uint8_t* data;
      uint16_t n;
      feStringData(value, &data, &n);
      return ddSet(&object->attrs, text, uint32_t(length), data, n);
    }
    case feTName:
      if (text[0] != '@') {
        const char* name;
        size_t n;
        feNameText(value, &name, &n);
        return ddSet(&object->attrs, text, uint32_t(length), name, uint32_t(n));
      }
      return feErrUnknownKey;
    default: return feErrUnknownKey;
  }
}

// 107 for keys outside the check list's codes of "gobject".
int getOther(gobjRec* object, const feObject* key, feObject* out) {
  const char* text;
  size_t length;
  if (!keyText(key, &text, &length)) return feErrUnknownKey;
  if (isDictKey(text, length)) return getDictEntry(object, text, length, out);
  const int axis = coordAxis(text, length);
  if (axis < 0) return feErrUnknownKey;
  feObject base, point;
  if (const int rc = feMakeName(&base, text, length - 2)) return rc;
  feMakeNull(&point);
  int answer = objMeth(object->classId, msgGetAttr, object, word(&base), word(&point));
  double xyz[3];
  if (answer == 0) answer = feGetVec3(&point, xyz);
  if (answer == 0) feMakeReal(out, xyz[axis]);
  feFree(&point);
  return answer;
}

// 108 for keys outside the check list's codes of "gobject".
int setOther(gobjRec* object, const feObject* key, const feObject* value) {
  const char* text;
  size_t length;
  if (!keyText(key, &text, &length)) return feErrUnknownKey;
  if (isDictKey(text, length)) return setDictEntry(object, text, length, value);
  if (coordAxis(text, length) < 0) return feErrUnknownKey;
  return objSetPointCoord(object, key, value);
}

void setFlag(gobjRec* object, uint16_t flag, bool on) {
  object->flags = uint16_t(on ? object->flags | flag : object->flags & ~flag);
}

int collectKey(const feObject* key, void* context) {
  feObject copy;
  feCopyValue(&copy, key);
  static_cast<std::vector<feObject>*>(context)->push_back(copy);
  return 0;
}

// "@gloop": below it the keys still to visit (an array), the procedure and
// the object. Each pass pushes the next key whose value can be read, and
// that value; keys whose get fails are passed over.
int contGLoop(feArgs*);

feContinuationSpec continuations[] = {
    {"@gloop", contGLoop, feFlagExec | feFlagLoop, {}, false},
};
bool loopMade;

int contGLoop(feArgs*) {
  objLoopEntries loop;
  if (const int rc = objLoopTake(feTArray, &loop)) return rc == 1 ? feContinuationDone(4) : rc;
  feObject* keys = loop.state;
  auto* object = static_cast<gobjRec*>(loop.target->w0.obj);
  while (keys->length > 0) {
    feObject key;
    feCopyValue(&key, feArrayElem(keys, 0));
    ++keys->offset;
    --keys->length;
    feObject value;
    feMakeNull(&value);
    if (objMeth(object->classId, msgGetAttr, object, word(&key), word(&value)) != 0) {
      feFree(&key);
      feFree(&value);
      continue;
    }
    return objLoopRun(&key, &value, loop.body);
  }
  return feContinuationDone(4);
}

}  // namespace

void gobjLoopInit() {
  if (loopMade) return;
  loopMade = true;
  feMakeContinuations(continuations, sizeof continuations / sizeof continuations[0]);
}

int gobjGetAttr(gobjRec* object, const feObject* key, feObject* out) {
  const uiAChklEntry* list = names();
  uiAChkData data;
  char type[16];
  const int code = uiAChkKeyCode(list, key, &data);
  switch (code) {
    case attrType:
      objClassName(object, sizeof type, type);
      data.data = type;
      data.count = int32_t(std::strlen(type));
      break;
    case attrId: data.count = int32_t(object->id & 0xFFFFFF); break;
    case attrDocId: data.count = int32_t(object->id >> 24); break;
    case attrLayerNo: data.count = object->layer; break;
    case attrLayer: {
      const char* name;
      uint32_t length;
      if (const int answer = layerName(object->layer, &name, &length)) return answer;
      data.data = const_cast<char*>(name);
      data.count = int32_t(length);
      break;
    }
    case attrLineFontNo: data.count = gobjLineFont(object); break;
    case attrLineFont: {
      const char* name;
      uint32_t length;
      if (const int answer = tblName(lnfontTable(), gobjLineFont(object), &name, &length)) return answer;
      data.data = const_cast<char*>(name);
      data.count = int32_t(length);
      break;
    }
    case attrLineWeight: penGetWidth(object, &data.real); break;
    case attrColorNo: data.count = object->color; break;
    case attrWeight: data.count = gobjPen(object); break;
    case attrLocked: data.count = (object->flags & gobjLocked) != 0; break;
    case attrControlPts: data.count = (object->flags & gobjControlPts) != 0; break;
    case attrColor: {
      // The name of the object's colour in the current colour table; a
      // number without an entry in use is not a colour.
      const char* name;
      uint32_t length;
      if (colorNameOf(object->color, &name, &length) != 0) return ddErrNotFound;
      data.data = const_cast<char*>(name);
      data.count = int32_t(length);
      break;
    }
    default: return getOther(object, key, out);
  }
  uiAChkMakeValue(list, code, out, &data);
  return data.status;
}

int gobjSetAttr(gobjRec* object, const feObject* key, const feObject* value) {
  const uiAChklEntry* list = names();
  uiAChkData data;
  const int code = uiAChkKeyCode(list, key, &data);
  switch (code) {
    case attrType: return 0;
    case attrId:
    case attrDocId: return feErrUnknownKey;  // read only
    case attrLayer:
    case attrLayerNo:
    case attrLineFont:
    case attrLineFontNo:
    case attrLineWeight:
    case attrColor:
    case attrColorNo:
    case attrWeight:
    case attrLocked:
    case attrControlPts: break;
    default: return setOther(object, key, value);
  }
  if (uiAChkl(list, key, value, &data) == 0) return data.status;
  const int32_t v = data.count;
  switch (code) {
    case attrLayer: return layerSetByName(object, static_cast<const char*>(data.data), uint32_t(v), 1);
    case attrLayerNo:
      if (v < 0 || v > 255) return feErrRangeCheck;
      if (!layerEntry(v)) return layerErrBadLayer;
      return layerSet(object, v, 1);
    case attrColorNo:
      if (v < 0 || v > 255) return feErrRangeCheck;
      object->color = uint8_t(v);
      break;
    case attrColor: {
      // By name; a name not found is translated and tried again.
      int32_t color = 0;
      if (colorFindNameTranslated(static_cast<const char*>(data.data), uint32_t(v), &color) != 0)
        return ddErrNotFound;
      object->color = uint8_t(color);
      break;
    }
    case attrLineFontNo: object->style = uint8_t((object->style & ~31) | (v & 31)); break;
    case attrLineFont: {
      // By name; an unknown name answers the table's error.
      int32_t font = 0;
      const int answer = tblFind(lnfontTable(), static_cast<const char*>(data.data), uint32_t(v), 0, &font);
      if (answer != 0) return answer;
      object->style = uint8_t((object->style & ~31) | (font & 31));
      break;
    }
    case attrLineWeight: penSetWidth(object, data.real); break;
    case attrWeight: object->style = uint8_t((object->style & 31) | (v & 7) << 5); break;
    case attrLocked: setFlag(object, gobjLocked, v != 0); break;
    case attrControlPts: setFlag(object, gobjControlPts, v != 0); break;
    default: break;
  }
  return 0;
}

int gobjForAll(gobjRec* object, const feObject* procedure) {
  if (!procedure || feType(procedure) != feTArray || !feIsExec(procedure)) return feErrTypeCheck;
  const feObject* loop = continuations[0].made ? &continuations[0].value : nullptr;
  if (!loop) return feErrUnimplemented;
  std::vector<feObject> keys;
  objMeth(object->classId, msgEnumKeys, object, word(reinterpret_cast<void*>(collectKey)), word(&keys));
  feObject array;
  if (const int rc = feMakeArray(&array, keys.data(), uint32_t(keys.size()))) {
    for (feObject& k : keys) feFree(&k);
    return rc;
  }
  // The execution stack takes its own reference to the object.
  feObject self;
  feMakeNull(&self);
  self.w0.obj = object;
  self.flags = feTObject;
  const int rc = feExecReplaceTop({&self, procedure, &array, loop});
  feFree(&array);
  return rc;
}

int gobjEnumKeys(gobjRec* object, objKeyCallback callback, void* context) {
  if (const int answer = gobjAttrEnum(callback, context, kCodes, names(), 0, object)) return answer;
  // Then the dictionary's keys; the callback may change the dictionary, so
  // each entry is looked up afresh.
  for (uint32_t i = 0; i < ddCount(object->attrs); ++i) {
    const char* text;
    uint32_t length;
    ddGetEntry(object->attrs, i, &text, &length, nullptr, nullptr);
    if (length > ddKeyMax) continue;
    feObject key;
    if (feMakeName(&key, text, length) != feOk) continue;
    if (const int answer = callback(&key, context)) return answer;
  }
  return 0;
}

int gobjAttrEnum(objKeyCallback callback, void* context, const int* codes, const uiAChklEntry* list,
                 uint16_t classId, void* object) {
  if (classId) {
    const int answer = objMeth(objSuperClass(classId), msgEnumKeys, object, word(reinterpret_cast<void*>(callback)),
                               word(context));
    if (answer != 0 && answer != objNotHandled) return answer;
  }
  for (const int* code = codes; code && *code; ++code) {
    feObject key;
    if (uiAChkKeyName(list, *code, &key) != feOk) continue;
    if (const int answer = callback(&key, context)) return answer;
  }
  return 0;
}
