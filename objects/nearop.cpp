// aNearest: the probe described by a keyed list, and the module's set-up.
#include "objects/nearprobe.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "fe/value.h"
#include "objects/group.h"
#include "ui/achk.h"

#include <cstring>

namespace {

enum {
  kProbe = 1,
  kHitRad = 2,
  kType = 3,
  kLookIn = 4,
  kSelect = 5,
  kLocked = 6,
  kCount = 7,
  kBox = 8,
  kXform = 9,
};

const uiAChklEntry* nearestList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kProbe, "probe", "2D", kHitRad, "hitrad", "I", kType, "type", "S", kLookIn, "lookin", "B",
               kSelect, "select", "B", kLocked, "locked", "B", kXform, "xform", "B", kCount, "count", "I", kBox, "box",
               "4D", 0);
  return list;
}

// A boolean key that adds its flag to the mask, and to the value when true.
void flagKey(nearProbeRec* probe, uint16_t flag, bool on) {
  probe->mask = uint16_t(probe->mask | flag);
  if (on) probe->value = uint16_t(probe->value | flag);
  else probe->value = uint16_t(probe->value & ~flag);
}

const feOpSpec kOps[] = {
    {"aNearest", nearNearestOp, "!O#Q/attributes # group/"},
};

}  // namespace

int nearNearestOp(feArgs* args) {
  const feObject* list = args->in[0].value;
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  nearProbeRec probe;
  nearProbeInit(&probe);
  int count = 1;
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    uiAChkData data;
    const int code = uiAChkl(nearestList(), feArrayElem(list, i), feArrayElem(list, i + 1), &data);
    if (code == 0) return data.status;
    const auto* numbers = static_cast<const double*>(data.data);
    switch (code) {
      case kProbe:
        probe.point[0] = numbers[0];
        probe.point[1] = numbers[1];
        break;
      case kHitRad: probe.hitRadius = data.count; break;
      case kType: nearProbeSetClass(&probe, static_cast<const char*>(data.data), data.count); break;
      case kLookIn: probe.lookIn = data.count != 0; break;
      case kSelect: flagKey(&probe, gobjSelected, data.count != 0); break;
      case kLocked: flagKey(&probe, gobjLocked, data.count != 0); break;
      case kXform: probe.xform = data.count != 0; break;
      case kCount: count = data.count; break;
      case kBox:
        probe.point[0] = (numbers[0] + numbers[2]) / 2;
        probe.point[1] = (numbers[1] + numbers[3]) / 2;
        break;
      default: break;
    }
  }
  glist* group = nullptr;
  nearRun(&probe, count, &group);
  *reinterpret_cast<void**>(args->out[0]) = group;
  return 0;
}

void nearInit() { feOpSpecRegisterAll(kOps); }
