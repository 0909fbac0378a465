// The script operator over the class registry.
#include "fe/classops.h"

#include "core/classes.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/value.h"

#include <string>

namespace {

// "!QS#B": the name arrives as characters and a length and objInClass wants
// a terminated text. A broken class chain (-302, reported by objInClass
// itself) is not membership and answers false.
int opObjInClass(feArgs* args) {
  const feArgText& name = args->in[1].text;
  const std::string text(name.text, size_t(name.length));
  *static_cast<int32_t*>(args->out[0]) = objInClass(args->in[0].record, text.c_str()) == 1 ? 1 : 0;
  return 0;
}

const feOpSpec kOps[] = {
    {"aObjInClass", opObjInClass, "!QS#B"},
};

}  // namespace

void feClassOpsRegister() {
  const feObject* systemdict = feDictAtLevel(1);
  if (!systemdict || feType(systemdict) != feTDict) return;
  feOpSpecRegisterAll(kOps);
}
