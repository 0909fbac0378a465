// Collecting the snap candidates: the objects the sieve finds in the pick
// box, containers opened, and the construction lines still shown as
// feedback.
#include "tools/snap_internal.h"

#include "core/classes.h"
#include "core/sfloat.h"
#include "draw/csys.h"
#include "draw/xforms.h"
#include "geometry/curve.h"
#include "objects/docstate.h"
#include "objects/gobject.h"
#include "objects/objsend.h"
#include "tools/track.h"

namespace snapint {
namespace {

// Objects never snapped to, and those hidden outside a volume.
constexpr uint16_t gobjNoSnap = 0x0010;
constexpr uint16_t hiddenOutsideVolume = gobjNoSelect | gobjHidden;

// Set while a volume's members are collected: hidden members count.
int insideVolume = 0;

int collectMember(gobjRec* object, void* context);

// The stored extents against the pick box: outside when all eight corners
// lie beyond one same side.
bool boxTouches(const gobjRec* object, const int32_t* pick) {
  double box[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(object->box), box);
  int left = 0, top = 0, right = 0, bottom = 0;
  for (int corner = 0; corner < 8; ++corner) {
    const double world[3] = {box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]};
    double screen[3];
    vwWorldToScreen(world, screen);
    left += screen[0] < pick[0];
    right += screen[0] > pick[2];
    top += screen[1] < pick[1];
    bottom += screen[1] > pick[3];
  }
  return left < 8 && right < 8 && top < 8 && bottom < 8;
}

int collectMember(gobjRec* object, void* context) {
  auto* set = static_cast<snapCandSet*>(context);
  if (boxTouches(object, set->pickBox)) collect(object, set);
  return 0;
}

}  // namespace

int collect(gobjRec* object, void* context) {
  auto* set = static_cast<snapCandSet*>(context);
  if (object == nullptr || (object->flags & gobjNoSnap)) return 0;
  if (!insideVolume && (object->flags & hiddenOutsideVolume)) return 0;
  const dbDocRec* doc = dbCurrentDoc();
  const uint8_t model = doc ? doc->currentModel : 0;
  if (object->owner != 0 && object->owner != model) return 0;
  if (set->count >= snapCandMax) return 0;
  if (crvClipTest(object) == 0) return 0;

  if (!objIsContainer(object)) {
    if (set->depth > 0) {
      // A member of a container is snapped to where it shows: a new copy
      // placed by the container's frame, held by the candidate alone.
      gobjRec* copy = nullptr;
      if (objCopyWith(object, csysCurrent(), &copy) != 0 || copy == nullptr) return 0;
      if (snapCandAdd(set, copy, 0, nullptr, nullptr, nullptr) < 0) objFree(copy);
      return 0;
    }
    snapCandAdd(set, object, 0, nullptr, nullptr, nullptr);
    return 0;
  }

  if (set->depth == 0 && objInClass(object, "clump") == 1) {
    objEnumMembers(object, collectMember, set);
    return 0;
  }
  ++set->depth;
  if (objInClass(object, "surface") == 1) {
    objSend358(object, reinterpret_cast<intptr_t>(&collect), reinterpret_cast<intptr_t>(set));
    snapCandAdd(set, object, 0, nullptr, nullptr, nullptr);
  } else if (objInClass(object, "volume") == 1) {
    ++insideVolume;
    objEnumMembers(object, collectMember, set);
    --insideVolume;
  } else {
    objEnumMembers(object, collectMember, set);
  }
  --set->depth;
  return 0;
}

void collectFeedback(snapCandSet* set) {
  trackFeedbackState shown;
  trackFeedbackGet(&shown);
  for (int i = 0; i < shown.itemCount; ++i) {
    const snapCand& item = shown.items[i];
    if (item.kind == 0 || item.kind == 'g') continue;
    snapCandAdd(set, item.object, item.kind, item.point, item.direction, item.label);
  }
}

}  // namespace snapint
