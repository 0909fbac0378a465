// The field list: the field functions classes call on message 346, the
// gathering of several objects into one list, and the setters that apply an
// edited text to the objects shown.
#include "objects/objinfo_internal.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/format.h"
#include "core/units.h"
#include "fe/expeval.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/strings.h"
#include "fe/units_ops.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

enum { kNumberText = 32, kAngleText = 128 };
const char kBlank[] = "   ";
const char kNoEntry[] = "???";
const char kMore[] = "More...";

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

// The attribute key of a field: its name up to the first ";".
std::string keyOf(const infoField* field) { return field->name.substr(0, field->name.find(';')); }

// The choices of a choice field: its name after the first ";".
std::string choicesOf(const infoField* field) {
  const size_t at = field->name.find(';');
  return at == std::string::npos ? std::string() : field->name.substr(at + 1);
}

std::vector<std::string> splitChoices(const std::string& choices) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start < choices.size()) {
    size_t end = choices.find(';', start);
    if (end == std::string::npos) end = choices.size();
    list.push_back(choices.substr(start, end - start));
    start = end + 1;
  }
  return list;
}

// Sets the value on every object of the info group (the lock rule applies);
// answers the first refusal, 0 when all took it.
int putAll(const std::string& key, const feObject* value) {
  feObject name;
  feMakeName(&name, key.data(), key.size());
  struct Put {
    const feObject* key;
    const feObject* value;
    int first = 0;
  } put{&name, value};
  grpForEach(
      infoGlobal().group,
      [](gobjRec* object, void* context) {
        auto* p = static_cast<Put*>(context);
        const int answer = objPutAttr(object, p->key, p->value);
        if (answer != 0 && p->first == 0) p->first = answer;
        return 0;
      },
      &put);
  return put.first;
}

int setText(const infoField* field, const char* text, int32_t length) {
  feObject value;
  if (const int rc = feMakeString(&value, text, size_t(length < 0 ? 0 : length))) return rc;
  const int answer = putAll(keyOf(field), &value);
  feFree(&value);
  return answer;
}

int setNumber(const infoField* field, const char* text, int32_t length) {
  double number = 0;
  const std::string copy(text, size_t(length < 0 ? 0 : length));
  if (!field->converter || field->converter(copy.c_str(), int32_t(copy.size()), &number) != 0) {
    MessageBeep(0);
    return 0;
  }
  feObject value;
  feMakeReal(&value, number);
  return putAll(keyOf(field), &value);
}

int setInt(const infoField* field, const char* text, int32_t length) {
  const std::string copy(text, size_t(length < 0 ? 0 : length));
  char* end = nullptr;
  const long number = std::strtol(copy.c_str(), &end, 10);
  if (end == copy.c_str()) {
    MessageBeep(0);
    return 0;
  }
  feObject value;
  feMakeInt(&value, int32_t(number));
  return putAll(keyOf(field), &value);
}

// The chosen entry's position goes to the objects as an integer; an object
// that refuses it is offered a boolean (false for the first entry), then the
// entry's text.
int setChoice(const infoField* field, const char* text, int32_t length) {
  const std::string chosen(text, size_t(length < 0 ? 0 : length));
  if (field->blankChoice && chosen == kBlank) return 0;
  const std::vector<std::string> list = splitChoices(choicesOf(field));
  int32_t position = -1;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == chosen) {
      position = int32_t(i);
      break;
    }
  if (position < 0) {
    MessageBeep(0);
    return 0;
  }
  if (!field->moreName.empty() && chosen == field->moreName) {
    dbgPrintf("[INFO] More... Selected!\n");
    position = field->moreIndex;
  }
  const std::string key = keyOf(field);
  feObject value;
  feMakeInt(&value, position);
  int answer = putAll(key, &value);
  if (answer == 0) return 0;
  feMakeBool(&value, position != 0);
  answer = putAll(key, &value);
  if (answer == 0) return 0;
  return setText(field, chosen.data(), int32_t(chosen.size()));
}

int readLength(const char* text, int32_t length, double* out) { return unitParseLength(text, length, out); }
int readAngle(const char* text, int32_t length, double* out) { return unitParseAngle(text, length, out); }
int readFactor(const char* text, int32_t length, double* out) { return expEvalFactor(text, length, out); }

void addNumberField(const char* name, const char* text, int32_t editable, infoConverter converter) {
  infoField field;
  field.name = textOf(name);
  field.value = text;
  field.type = 'S';
  field.editable = infoEditable(editable);
  field.setter = setNumber;
  field.converter = converter;
  infoTake(std::move(field));
}

void addChoice(const std::string& name, const std::string& value, bool editable, bool blank) {
  infoField field;
  field.name = name;
  field.value = value;
  field.type = 'E';
  field.editable = editable;
  field.setter = setChoice;
  field.blankChoice = blank;
  infoTake(std::move(field));
}

}  // namespace

infoState& infoGlobal() {
  static infoState state;
  return state;
}

bool infoEditable(int32_t editable) {
  if (editable == 0) return false;
  if (editable != 1) return true;
  const gobjRec* object = infoGlobal().current;
  return !(object && (object->flags & gobjLocked));
}

void infoTake(infoField&& field) {
  infoState& s = infoGlobal();
  if (s.dump) {
    infoDumpField(field.name, field.value);
    return;
  }
  const int32_t index = s.next++;
  if (s.gathered == 0) {
    s.fields.push_back(std::make_unique<infoField>(std::move(field)));
    return;
  }
  if (index >= int32_t(s.fields.size())) return;
  infoField& entry = *s.fields[size_t(index)];
  if (entry.name != field.name || entry.setter != field.setter) {
    entry.common = false;
    return;
  }
  entry.editable = entry.editable && field.editable;
  if (entry.hasValue && entry.value != field.value) {
    entry.hasValue = false;
    entry.value.clear();
  }
}

void infoGatherBegin() {
  infoState& s = infoGlobal();
  s.fields.clear();
  s.gathered = 0;
  s.next = 0;
}

void infoGather(gobjRec* object) {
  infoState& s = infoGlobal();
  s.current = object;
  s.next = 0;
  s.moreNames.clear();
  objMeth(object->classId, msgPropPanel, object, reinterpret_cast<intptr_t>(object));
  for (size_t i = size_t(s.next); i < s.fields.size(); ++i) s.fields[i]->common = false;
  s.current = nullptr;
  ++s.gathered;
}

int infoFieldEdit(const infoField* field, const char* text, int32_t length) {
  if (!field || !field->setter || !field->editable) return -1;
  return field->setter(field, text ? text : "", text ? length : 0);
}

int32_t infoFieldCount() { return int32_t(infoGlobal().fields.size()); }

const infoField* infoFieldAt(int32_t index) {
  const infoState& s = infoGlobal();
  return index >= 0 && index < int32_t(s.fields.size()) ? s.fields[size_t(index)].get() : nullptr;
}

extern "C" {

void infoAddString(void*, const char* name, const char* text, int32_t length, int32_t editable) {
  infoField field;
  field.name = textOf(name);
  if (text && length > 0) field.value.assign(text, size_t(length));
  field.type = 'S';
  field.editable = infoEditable(editable);
  field.setter = setText;
  infoTake(std::move(field));
}

void infoAddNumber(void*, const char* name, double value, int32_t editable) {
  const infoState& s = infoGlobal();
  for (const std::string& more : s.moreNames)
    if (more == textOf(name)) return;
  char text[kNumberText];
  unitFormatDefault(value, sizeof text, text, unitPrecCurrent);
  addNumberField(name, text, editable, readLength);
}

void infoAddPoints(void*, const char* name, double value, int32_t editable) {
  char text[kNumberText];
  const int32_t flags = unitGetFlags();
  unitFormatValue(value, 1, sizeof text, text, 3, "points", flags | unitFlagAbbrev);
  if (std::strchr(text, '.'))
    unitFormatValue(value, 1, sizeof text, text, unitPrecCurrent, "points", flags & ~unitFlagAbbrev);
  addNumberField(name, text, editable, readLength);
}

void infoAddAngle(void*, const char* name, double value, int32_t editable) {
  char text[kAngleText];
  unitFormatAngle(value, sizeof text, text, -1);
  addNumberField(name, text, editable, readAngle);
}

void infoAddLength(void*, const char* name, double value, int32_t editable) {
  char text[kNumberText];
  unitFormatCurrent(value, sizeof text, text, -1);
  addNumberField(name, text, editable, readFactor);
}

void infoAddPoint(void* context, const char* name, const double* xyz, int32_t editable) {
  static const double kOrigin[3] = {0, 0, 0};
  if (!xyz) xyz = kOrigin;
  for (int axis = 0; axis < 3; ++axis) {
    const std::string part = textOf(name) + "." + char('x' + axis);
    infoAddNumber(context, part.c_str(), xyz[axis], editable);
  }
}

void infoAddInt(void*, const char* name, int32_t value, int32_t editable, const char* choices) {
  if (!choices) {
    infoField field;
    field.name = textOf(name);
    field.value = std::to_string(value);
    field.type = 'S';
    field.editable = infoEditable(editable);
    field.setter = setInt;
    infoTake(std::move(field));
    return;
  }
  const bool blank = value < 0;
  const int64_t entry = blank ? -int64_t(value) : int64_t(value);
  const std::vector<std::string> list = splitChoices(choices);
  std::string text = blank ? kBlank : kNoEntry;
  if (entry < int64_t(list.size())) text = list[size_t(entry)];
  addChoice(textOf(name) + ";" + choices, text, infoEditable(editable), blank);
}

void infoAddChoiceMore(void*, const char* name, const char* choices, int32_t editable, const char* current,
                       int32_t index, const char* extraName, const char* extraText) {
  const std::string list = textOf(choices);
  const std::string now = textOf(current);
  bool listed = false;
  for (const std::string& entry : splitChoices(list))
    if (entry == now) listed = true;
  const bool canEdit = infoEditable(editable);
  if (listed) {
    addChoice(textOf(name) + ";" + list, now, canEdit, false);
    return;
  }
  const std::string more = extraName ? std::string(extraName) : std::string(kMore);
  const std::string extra = textOf(extraText);
  infoField field;
  field.name = textOf(name) + ";" + more + ";" + extra + ";" + list;
  field.value = now;
  field.type = 'E';
  field.editable = canEdit;
  field.setter = setChoice;
  field.moreIndex = index;
  field.moreName = more;
  infoTake(std::move(field));
  infoGlobal().moreNames.push_back(more);

  infoField entry;
  entry.name = uFormat("%3d;%s;%s;%s", index, extra.c_str(), more.c_str(), now.c_str());
  entry.value = now;
  entry.type = 'T';
  entry.editable = canEdit;
  entry.moreIndex = index;
  entry.moreName = more;
  infoTake(std::move(entry));
}

}  // extern "C"
