// Making a clump of copies of a group's members: clumpMake and the
// operator aClump.
#include "objects/clump_internal.h"

#include "fe/attnpoll.h"
#include "core/errors.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/objsend.h"

#include <cstring>
#include <vector>

namespace clumpint {

namespace {

enum { kMixed = 254 };

// Scratch objects live on ".temp" and are never copied.
bool onTempLayer(const gobjRec* object) {
  const char* text = nullptr;
  uint32_t length = 0;
  return layerName(object->layer, &text, &length) == 0 && text && length == 5 && std::memcmp(text, ".temp", 5) == 0;
}

}  // namespace

int build(const std::vector<gobjRec*>& objects, const feObject* attrs, clumpRec** out) {
  *out = nullptr;
  auto* clump = reinterpret_cast<clumpRec*>(objNew(clumpClassId()));
  if (!clump) return -1;
  int answer = objPutAttrs(&clump->head, attrs);
  int color = -1;  // unset until the first member
  for (size_t i = 0; answer == 0 && i < objects.size(); ++i) {
    gobjRec* object = objects[i];
    if (feAttnPoll()) {
      answer = feErrInterrupt;
      break;
    }
    if (onTempLayer(object)) continue;
    if (color < 0) color = object->color;
    else if (object->color != color) color = kMixed;
    if (gobjRec* dup = objDuplicate(object)) append(clump, dup);
  }
  if (answer == 0 && !clump->first) answer = clumpErrEmpty;
  if (answer != 0) {
    objFree(&clump->head);
    return answer;
  }
  clump->head.flags |= gobjChanged;
  if (color >= 0 && color != kMixed) clump->head.color = uint8_t(color);
  recountKey(clump);
  *out = clump;
  return 0;
}

int opClump(feArgs* args) {
  clumpRec* clump = nullptr;
  const int answer = clumpMake(static_cast<glist*>(args->in[0].record), args->in[1].value, &clump);
  if (answer != 0) return answer;
  *reinterpret_cast<glist**>(args->out[0]) = grpOfOne(&clump->head);
  return 0;
}

}  // namespace clumpint

using namespace clumpint;

int clumpMake(glist* group, const feObject* attrs, clumpRec** out) {
  std::vector<gobjRec*> objects;
  grpForEach(group, [](gobjRec* member, void* list) {
    static_cast<std::vector<gobjRec*>*>(list)->push_back(member);
    return 0;
  }, &objects);
  return build(objects, attrs, out);
}
