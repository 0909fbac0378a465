// Placing objects and groups on layers: the layer byte, the hidden flag
// that follows the layer, and the redraw of what appears or disappears.
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "objects/group.h"
#include "objects/objrecord.h"
#include "objects/update.h"

namespace {

uint16_t hiddenFlagOf(int32_t n) {
  const layerRec* rec = layerEntry(n);
  return rec && (rec->flags & layerHidden) ? gobjHidden : 0;
}

// A document's default object is of the class "gobject" itself.
bool isDefaultObject(const gobjRec* object) { return object->classId == gobjClassId(); }

struct GroupPlace {
  uint8_t n;
  uint16_t hidden;
  int answer = 0;
};

int placeMember(gobjRec* member, void* context) {
  auto* place = static_cast<GroupPlace*>(context);
  if (place->hidden && isDefaultObject(member)) {
    place->answer = layerErrCannotHideWorkLayer;
    return 1;
  }
  member->layer = place->n;
  member->flags = uint16_t((member->flags & ~gobjHidden) | place->hidden);
  return 0;
}

int queueMember(gobjRec* member, void*) {
  objUpdateQueue(member);
  return 0;
}

}  // namespace

int layerSet(gobjRec* object, int32_t n, int redraw) {
  if (!object) return -1;
  const uint16_t hidden = hiddenFlagOf(n);
  if (grpIsGroup(object)) {
    const glist* group = reinterpret_cast<const glist*>(object);
    if (redraw && hidden) grpDamage(group);
    GroupPlace place{uint8_t(n), hidden};
    grpForEach(group, placeMember, &place);
    if (place.answer) return place.answer;
    if (redraw && !hidden) grpForEach(group, queueMember, nullptr);
    return 0;
  }
  if (hidden && isDefaultObject(object)) return layerErrCannotHideWorkLayer;
  object->layer = uint8_t(n);
  if ((object->flags & gobjHidden) == hidden) return 0;
  if (redraw && hidden) objDamage(object);
  object->flags ^= gobjHidden;
  if (redraw && !hidden) objUpdateQueue(object);
  return 0;
}

int layerSetByName(gobjRec* object, const char* name, uint32_t length, int redraw) {
  const int n = layerNumber(name, length);
  return n < 0 ? n : layerSet(object, n, redraw);
}

void layerTakeHidden(gobjRec* object) {
  object->flags = uint16_t((object->flags & ~gobjHidden) | hiddenFlagOf(object->layer));
}

namespace {

void takeAttrs(gobjRec* object, const layerRec* rec) {
  object->color = rec->color;
  object->style = uint8_t((rec->pen & 7) << 5 | (rec->font & 31));
}

int takeAttrsCb(gobjRec* member, void* context) {
  takeAttrs(member, static_cast<const layerRec*>(context));
  return 0;
}

}  // namespace

int layerSetWithAttrs(gobjRec* object, int32_t n) {
  const layerRec* rec = layerEntry(n);
  if (!rec) return layerErrBadLayer;
  if (const int answer = layerSet(object, n, 0)) return answer;
  if (grpIsGroup(object)) grpForEach(reinterpret_cast<const glist*>(object), takeAttrsCb, const_cast<layerRec*>(rec));
  else takeAttrs(object, rec);
  return 0;
}
