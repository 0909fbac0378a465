// The selection as object sources, and aSelect.
#include "objects/selsource.h"

#include "core/errors.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "objects/selmode.h"
#include "objects/sieve.h"

namespace {

// Objects of the current sieve with any of the flags in mask set.
int flagged(gobjRec* object, void* mask) {
  return (object->flags & static_cast<uint16_t>(reinterpret_cast<uintptr_t>(mask))) != 0;
}

int enumFlagged(objMemberFn callback, void* context, intptr_t mask) {
  return sieveForAll(callback, context, flagged, reinterpret_cast<void*>(mask));
}

int selectOne(gobjRec* object, void* mode) {
  objSelect(object, int(reinterpret_cast<intptr_t>(mode)));
  return 0;
}

const feOpSpec kOps[] = {
    {"aSelect", selSelectOp, "QI"},
};

}  // namespace

void selInit() {
  grpDefine("selected", enumFlagged, gobjSelected);
  grpDefine("ptselected", enumFlagged, gobjSelected | gobjPointSel);
  feOpSpecRegisterAll(kOps);
  selModeInit();
  selModeRegisterOps();
}

int selSelectOp(feArgs* args) {
  void* record = args->in[0].record;
  auto* mode = reinterpret_cast<void*>(intptr_t(args->in[1].i));
  if (record && !grpIsGroup(record) && !gobjIs(record)) return feErrTypeCheck;
  if (grpIsGroup(record)) grpForEach(static_cast<glist*>(record), selectOne, mode);
  else if (record) selectOne(static_cast<gobjRec*>(record), mode);
  return 0;
}
