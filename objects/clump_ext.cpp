// The clump extension: extended clumps whose members have names and one free
// attribute text each, kept as attributes of the members, and the operators
// that make, edit and find them. Every operator answers through its boolean
// result alone (its signature ignores the handler's answer): a failed check
// leaves false and nothing else; success pushes the other results first.
//
// Arrays of member names are built as values here, never as script text,
// so that a name is only ever data.
#include "objects/clump_internal.h"

#include "core/classes.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/opcall.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "fe/value.h"
#include "objects/ddict.h"
#include "objects/group.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace clumpint {

namespace {

const char kKey[] = "ExClumpKey";
const char kKeyValue[] = "ExClump";
const char kId[] = "ExClumpID";
const char kName[] = "ExClumpMemName";
const char kAttribute[] = "ExClumpAttribute";

template <size_t N>
uint32_t keyLength(const char (&)[N]) {
  return uint32_t(N - 1);
}

// A text attribute of an object: false when it has none.
template <size_t N>
bool textOf(const gobjRec* object, const char (&key)[N], feArgText* out) {
  const char* value = nullptr;
  uint32_t length = 0;
  int found = 0;
  ddLookup(&object->attrs, key, keyLength(key), &value, &length, &found);
  if (!found) return false;
  *out = feArgText{value, int32_t(length)};
  return true;
}

bool same(const feArgText& a, const feArgText& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.text, b.text, size_t(a.length)) == 0);
}

template <size_t N>
bool hasText(const gobjRec* object, const char (&key)[N], const feArgText& text) {
  feArgText value;
  return textOf(object, key, &value) && same(value, text);
}

// Sets a text attribute, counted in the statistics; false when the
// dictionary refuses it.
template <size_t N>
bool setText(gobjRec* object, const char (&key)[N], const char* text, uint32_t length) {
  if (ddSet(&object->attrs, key, keyLength(key), text, length) != 0) return false;
  ++textsWritten;
  textBytes += length;
  return true;
}

std::string decimal(int32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", n);
  return text;
}

// The member's number, or -1 when it has none that reads as one.
int32_t idOf(const gobjRec* member) {
  feArgText text;
  if (!textOf(member, kId, &text) || text.length <= 0 || text.length > 11) return -1;
  char buffer[12] = {};
  std::memcpy(buffer, text.text, size_t(text.length));
  char* end = nullptr;
  const long value = std::strtol(buffer, &end, 10);
  return *end == 0 && value >= 0 && value <= INT32_MAX ? int32_t(value) : -1;
}

gobjRec* memberNamed(const clumpRec* clump, const feArgText& name) {
  for (gobjRec* m = clump->first; m; m = m->nextInCell)
    if (hasText(m, kName, name)) return m;
  return nullptr;
}

// The clump operand when it is an extended clump, else null.
clumpRec* extended(const feArgs* args) {
  void* record = args->in[0].record;
  return isExtended(static_cast<gobjRec*>(record)) ? static_cast<clumpRec*>(record) : nullptr;
}

// Pushes the values in order, or none of them: a stack that cannot take them
// all gets back what was pushed, and every value not pushed is released.
bool pushAll(std::vector<feObject>& values) {
  size_t pushed = 0;
  for (; pushed < values.size(); ++pushed)
    if (fePush(feOperandStack(), &values[pushed]) != 0) break;
  if (pushed == values.size()) return true;
  for (size_t k = pushed; k < values.size(); ++k) feFree(&values[k]);
  while (pushed-- > 0) {
    feObject v;
    fePop(*feOperandStack(), &v);
    feFree(&v);
  }
  return false;
}

// The array of the member names in chain order (a member without a name
// gives the empty string).
bool namesValue(const clumpRec* clump, feObject* out) {
  std::vector<feObject> names;
  for (gobjRec* m = clump->first; m; m = m->nextInCell) {
    feArgText name{"", 0};
    textOf(m, kName, &name);
    feObject v;
    if (feMakeString(&v, name.text, size_t(name.length)) != 0) {
      for (feObject& made : names) feFree(&made);
      return false;
    }
    names.push_back(v);
  }
  if (feMakeArray(out, names.data(), uint32_t(names.size())) == 0) return true;
  for (feObject& made : names) feFree(&made);
  return false;
}

feObject objectValue(void* record) {
  feObject v;
  feMakeObjRef(&v, record);
  return v;
}

// Pushes the member names and then the clump.
bool pushNamesAndClump(clumpRec* clump) {
  feObject names;
  if (!namesValue(clump, &names)) return false;
  std::vector<feObject> values{names, objectValue(clump)};
  return pushAll(values);
}

bool pushOne(feObject value) {
  std::vector<feObject> values{value};
  return pushAll(values);
}

int answer(feArgs* args, bool ok) {
  *static_cast<int32_t*>(args->out[args->outCount - 1]) = ok ? 1 : 0;
  return 0;
}

bool nonEmpty(const feArgText& text) { return text.length > 0; }

// The search of the Find operators: a group of the group's extended clumps
// that have a member whose text under key equals text, each clump once, in
// group order. False when there is none.
template <size_t N>
bool findClumps(feArgs* args, const char (&key)[N]) {
  struct Search {
    const char* key;
    uint32_t keyLength;
    feArgText text;
    bool any;
  } search{key, keyLength(key), args->in[1].text, false};
  grpBegin();
  grpForEach(static_cast<glist*>(args->in[0].record), [](gobjRec* object, void* context) {
    auto* s = static_cast<Search*>(context);
    if (!isExtended(object)) return 0;
    for (gobjRec* m = reinterpret_cast<clumpRec*>(object)->first; m; m = m->nextInCell) {
      const char* value = nullptr;
      uint32_t length = 0;
      int found = 0;
      ddLookup(&m->attrs, s->key, s->keyLength, &value, &length, &found);
      if (found && same(feArgText{value, int32_t(length)}, s->text)) {
        grpAdd(object);
        s->any = true;
        break;
      }
    }
    return 0;
  }, &search);
  glist* found = grpEnd();
  if (!search.any || !pushOne(objectValue(found))) {
    grpFree(found);
    return false;
  }
  return true;
}

}  // namespace

// "!O#B": array -> names clump true. Each element is copied and numbered;
// the clump is made of copies of those copies, which are then released.
int opCreate(feArgs* args) {
  const feObject* list = args->in[0].value;
  if (feType(list) != feTArray || feArrayLength(list) > clumpMaxExtended) return answer(args, false);
  const int32_t n = feArrayLength(list);
  std::vector<gobjRec*> objects;
  for (int32_t i = 0; i < n; ++i) {
    void* record = nullptr;
    if (feGetObjRef(feArrayElem(list, i), "gobject", &record) != 0 || !record) return answer(args, false);
    if (isExtended(static_cast<gobjRec*>(record))) return answer(args, false);
    objects.push_back(static_cast<gobjRec*>(record));
  }
  std::vector<gobjRec*> firstCopies;
  bool copied = true;
  for (int32_t i = 0; i < n && copied; ++i) {
    gobjRec* dup = objDuplicate(objects[size_t(i)]);
    if (!dup) {
      copied = false;
      break;
    }
    objRetain(dup);
    firstCopies.push_back(dup);
    const std::string number = decimal(i);
    copied = setText(dup, kId, number.data(), uint32_t(number.size())) &&
             setText(dup, kName, number.data(), uint32_t(number.size()));
  }
  clumpRec* clump = nullptr;
  const int made = copied ? build(firstCopies, nullptr, &clump) : -1;
  for (gobjRec* dup : firstCopies) objRelease(&dup);
  if (made != 0) return answer(args, false);
  clump->head.color = 254;
  if (!setText(&clump->head, kKey, kKeyValue, keyLength(kKeyValue))) {
    objFree(&clump->head);
    return answer(args, false);
  }
  recountKey(clump);
  objRetain(&clump->head);  // held while its value is made
  const bool pushed = pushNamesAndClump(clump);
  gobjRec* held = &clump->head;
  objRelease(&held);
  return answer(args, pushed);
}

// "!Q[clump]Q[gobject]S#B": clump object name -> names clump true.
int opAddMember(feArgs* args) {
  clumpRec* clump = extended(args);
  auto* object = static_cast<gobjRec*>(args->in[1].record);
  const feArgText& name = args->in[2].text;
  if (!clump || !object) return answer(args, false);
  int32_t highest = -1, count = 0;
  for (gobjRec* m = clump->first; m; m = m->nextInCell, ++count) {
    if (nonEmpty(name) && hasText(m, kName, name)) return answer(args, false);
    if (const int32_t id = idOf(m); id > highest) highest = id;
  }
  if (count >= clumpMaxExtended || highest == INT32_MAX) return answer(args, false);
  const int32_t id = highest + 1;
  const std::string number = decimal(id);
  const feArgText given = nonEmpty(name) ? name : feArgText{number.data(), int32_t(number.size())};
  // A name made from the number must be free as well.
  if (memberNamed(clump, given)) return answer(args, false);
  gobjRec* dup = objDuplicate(object);
  if (!dup) return answer(args, false);
  if (!setText(dup, kId, number.data(), uint32_t(number.size())) ||
      !setText(dup, kName, given.text, uint32_t(given.length))) {
    objFree(dup);
    return answer(args, false);
  }
  append(clump, dup);
  objChanged(&clump->head, 1);
  return answer(args, pushNamesAndClump(clump));
}

// "!Q[clump]S#B": clump name -> clump true, or null true when the last
// member went. A clump left empty leaves its document; the references its
// holders have (the operand among them) keep it until they are released.
int opDelMember(feArgs* args) {
  clumpRec* clump = extended(args);
  if (!clump) return answer(args, false);
  gobjRec* member = memberNamed(clump, args->in[1].text);
  if (!member) return answer(args, false);
  objDamage(&clump->head);
  unlink(clump, member);
  objRelease(&member);
  if (clump->first) {
    objChanged(&clump->head, 1);
    return answer(args, pushOne(objectValue(clump)));
  }
  if (clump->head.flags & gobjInSieve) objMeth(clump->head.classId, msgDetach, clump);
  feObject null;
  feMakeNull(&null);
  return answer(args, pushOne(null));
}

// "!Q[clump]#B": clump -> names true.
int opGetAllMemName(feArgs* args) {
  clumpRec* clump = extended(args);
  feObject names;
  if (!clump || !namesValue(clump, &names)) return answer(args, false);
  return answer(args, pushOne(names));
}

// "!Q[clump]SS#B": clump old new -> true.
int opChangeMemName(feArgs* args) {
  clumpRec* clump = extended(args);
  const feArgText& from = args->in[1].text;
  const feArgText& to = args->in[2].text;
  if (!clump || !nonEmpty(from) || !nonEmpty(to) || memberNamed(clump, to)) return answer(args, false);
  gobjRec* member = memberNamed(clump, from);
  return answer(args, member && setText(member, kName, to.text, uint32_t(to.length)));
}

// "!Q[clump]SS#B": clump name text -> true.
int opSetAttribute(feArgs* args) {
  clumpRec* clump = extended(args);
  const feArgText& name = args->in[1].text;
  const feArgText& text = args->in[2].text;
  if (!clump || !nonEmpty(name) || !nonEmpty(text)) return answer(args, false);
  gobjRec* member = memberNamed(clump, name);
  return answer(args, member && setText(member, kAttribute, text.text, uint32_t(text.length)));
}

// "!Q[clump]S#B": clump name -> text true.
int opGetAttribute(feArgs* args) {
  clumpRec* clump = extended(args);
  gobjRec* member = clump ? memberNamed(clump, args->in[1].text) : nullptr;
  feArgText text;
  if (!member || !textOf(member, kAttribute, &text)) return answer(args, false);
  feObject value;
  if (feMakeString(&value, text.text, size_t(text.length)) != 0) return answer(args, false);
  return answer(args, pushOne(value));
}

// "!Q[clump]S#B": clump name -> copy true.
int opGetDuplicate(feArgs* args) {
  clumpRec* clump = extended(args);
  gobjRec* member = clump ? memberNamed(clump, args->in[1].text) : nullptr;
  gobjRec* dup = member ? objDuplicate(member) : nullptr;
  if (!dup) return answer(args, false);
  return answer(args, pushOne(objectValue(dup)));
}

// "!Q[group]S#B": group name -> group true.
int opFindByMemName(feArgs* args) { return answer(args, findClumps(args, kName)); }

// "!Q[group]S#B": group text -> group true.
int opFindByAttribute(feArgs* args) { return answer(args, findClumps(args, kAttribute)); }

}  // namespace clumpint
