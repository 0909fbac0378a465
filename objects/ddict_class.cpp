// The class "docdict": a small program object that gives scripts the
// attribute dictionary of a document. Keys and values are strings; the
// object only refers to the document and never frees its dictionary. Its
// forall (message 119) runs a procedure for each key and value through the
// loop continuation "@ddloop", whose state on the execution stack is the
// object, the procedure and the index of the next entry.
//
// A script may keep the object after the document is closed, so the object
// holds the number of the document's settings record (objects/doclive.h)
// and looks the record up at each use: once it is gone every message but
// 100 answers -4146, and a forall under way ends with that error.
#include "objects/ddict.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "objects/doclive.h"
#include "objects/docstate.h"
#include "objects/docvar.h"
#include "objects/gobject.h"
#include "objects/objloop.h"
#include "objects/objmsg.h"

namespace {

struct docdictRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t spare;
  uint32_t document;   // the number of the document's settings record (0: none)
};

// The document's record, or null once it is gone.
dbDocRec* documentOf(const docdictRec* self) { return docLiveFind(self->document); }

uint16_t classId;

// The text of a string value; false for any other value.
bool stringText(const feObject* value, const char** text, uint32_t* length) {
  if (!value || feType(value) != feTString) return false;
  uint8_t* data;
  uint16_t n;
  feStringData(value, &data, &n);
  *text = reinterpret_cast<const char*>(data);
  *length = n;
  return true;
}

int getValue(dbDocRec* document, const feObject* key, feObject* out) {
  const char* text;
  uint32_t length;
  if (!stringText(key, &text, &length)) return feErrTypeCheck;
  const char* value;
  uint32_t valueLength;
  int found;
  if (ddLookup(&document->attrs, text, length, &value, &valueLength, &found) != 0) return feErrUndefined;
  return feMakeString(out, value, valueLength);
}

int setValue(dbDocRec* document, const feObject* key, const feObject* value) {
  const char *keyText, *valueText;
  uint32_t keyLength, valueLength;
  if (!stringText(key, &keyText, &keyLength) || !stringText(value, &valueText, &valueLength)) return feErrTypeCheck;
  return ddSet(&document->attrs, keyText, keyLength, valueText, valueLength);
}

int enumKeys(const dbDocRec* document, objKeyCallback callback, void* context) {
  const ddBlock* block = document->attrs;
  for (uint32_t i = 0; i < ddCount(block); ++i) {
    const char* key;
    uint32_t length;
    ddGetEntry(block, i, &key, &length, nullptr, nullptr);
    if (length > ddKeyMax) continue;
    feObject name;
    if (feMakeName(&name, key, length) != feOk) continue;
    if (const int answer = callback(&name, context)) return answer;
  }
  return 0;
}

int contDdLoop(feArgs*);

feContinuationSpec continuations[] = {
    {"@ddloop", contDdLoop, feFlagExec | feFlagLoop, {}, false},
};

// Below the continuation: the index of the next entry, the procedure and the
// object. Each pass pushes the entry's key and value as strings and runs the
// procedure; the loop ends at the dictionary's count as it is then, so the
// procedure may change the dictionary, and with -4146 when the procedure
// closed the document.
int contDdLoop(feArgs*) {
  objLoopEntries loop;
  if (const int rc = objLoopTake(feTInt, &loop)) return rc == 1 ? feContinuationDone(4) : rc;
  const auto* object = static_cast<const docdictRec*>(loop.target->w0.obj);
  const dbDocRec* document = documentOf(object);
  if (!document) return docErrNoDoc;
  const ddBlock* block = document->attrs;
  const int32_t i = feGetInt(loop.state);
  const char *key, *value;
  uint32_t keyLength, valueLength;
  if (ddGetEntry(block, uint32_t(i), &key, &keyLength, &value, &valueLength) != 0) return feContinuationDone(4);
  feSetIntValue(loop.state, i + 1);
  feObject k, v;
  if (const int rc = feMakeString(&k, key, keyLength)) return rc;
  if (const int rc = feMakeString(&v, value, valueLength)) {
    feFree(&k);
    return rc;
  }
  return objLoopRun(&k, &v, loop.body);
}

int forAll(docdictRec* self, const feObject* procedure) {
  if (!procedure || feType(procedure) != feTArray || !feIsExec(procedure)) return feErrTypeCheck;
  if (!continuations[0].made) return feErrUnimplemented;
  feObject target, start;
  feMakeNull(&target);
  target.w0.obj = self;
  target.flags = feTObject;
  feMakeInt(&start, 0);
  return feExecReplaceTop({&target, procedure, &start, &continuations[0].value});
}

int handler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* self = static_cast<docdictRec*>(record);
  // A message to the class itself (the image writer sends 500 to every
  // class) has no object to look at.
  if (!self) return objMeth(objSuperClass(classId), message, record, a, b, c);
  if (message == msgFree) {
    uFree(&self);
    return 0;
  }
  dbDocRec* document = documentOf(self);
  if (!document) return docErrNoDoc;
  switch (message) {
    case msgGetAttr:
      return getValue(document, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return setValue(document, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgForAll: return forAll(self, reinterpret_cast<const feObject*>(a));
    case msgEnumKeys:
      return enumKeys(document, reinterpret_cast<objKeyCallback>(a), reinterpret_cast<void*>(b));
    default: return objMeth(objSuperClass(classId), message, record, a, b, c);
  }
}

}  // namespace

uint16_t docdictClassId() {
  if (!classId) {
    classId = objClassRegister("docdict", 0, handler);
    feMakeContinuations(continuations, sizeof continuations / sizeof continuations[0]);
  }
  return classId;
}

int docdictNew(dbDocRec* document, void** out) {
  auto* self = static_cast<docdictRec*>(uAlloc(nullptr, nullptr, 1, sizeof(docdictRec)));
  self->classId = docdictClassId();
  self->document = docLiveNumber(document);
  *out = self;
  return 0;
}
