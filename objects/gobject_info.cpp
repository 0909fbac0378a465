// The common drawing attributes of a graphic object as information fields
// (what "gobject" answers to message 346, and what derived classes may
// list of them).
#include "core/alloc.h"
#include "objects/attr.h"
#include "objects/ddict.h"
#include "objects/objinfo.h"

#include <string>

namespace {

enum : uint32_t {
  kDictionary = 0x01,
  kLocked = 0x02,
  kLayer = 0x04,
  kColor = 0x08,
  kLineFont = 0x10,
  kWeight = 0x20,
  kControlPts = 0x40,
};

// A text field of an attribute read as text; left out when it cannot be read.
void textField(gobjRec* object, void* context, const char* key) {
  char* text = nullptr;
  uint32_t length = 0;
  if (attrGet(object, key, attrTypeText, &text, &length) != 0) return;
  infoAddString(context, key, text, int32_t(length), 1);
  uFree(&text);
}

void dictionaryFields(gobjRec* object, void* context) {
  for (uint32_t i = 0; i < ddCount(object->attrs); ++i) {
    const char* key = nullptr;
    const char* value = nullptr;
    uint32_t keyLength = 0, valueLength = 0;
    if (ddGetEntry(object->attrs, i, &key, &keyLength, &value, &valueLength) != 0) break;
    if (keyLength == 0 || key[0] == '.') continue;
    while (valueLength > 0 && value[valueLength - 1] == '\0') --valueLength;
    const std::string name = "@" + std::string(key, keyLength);
    infoAddString(context, name.c_str(), value, int32_t(valueLength), 1);
  }
}

}  // namespace

void gobjAttrText(gobjRec* object, void* context, uint32_t parts) {
  if (!object) return;
  if (parts & kLocked) infoAddInt(context, "locked", (object->flags & gobjLocked) ? 1 : 0, 1, "unlocked;locked");
  if (parts & kLayer) textField(object, context, "layer");
  if (parts & kColor) textField(object, context, "color");
  if (parts & kWeight) infoAddInt(context, "weight", gobjPen(object), 1, nullptr);
  if (parts & kLineFont) textField(object, context, "linefont");
  if (parts & kControlPts)
    infoAddInt(context, "control-pts", (object->flags & gobjControlPts) ? 1 : 0, 1, "false;true");
  if (parts & kDictionary) dictionaryFields(object, context);
}
