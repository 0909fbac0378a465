// Attribute writes and deletion with the lock rule.
#include "objects/objrecord.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "objects/update.h"

#include <cstring>

namespace {

enum { kLocked = -4126 };

int send(gobjRec* object, int message, const void* a, const void* b) {
  return objMeth(object->classId, message, object, reinterpret_cast<intptr_t>(a), reinterpret_cast<intptr_t>(b));
}

}  // namespace

int objSetPointCoord(gobjRec* object, const feObject* key, const feObject* value) {
  if (feType(key) != feTName) return feErrTypeCheck;
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  if (length < 3 || text[length - 2] != '.') return feErrUnknownKey;
  const char axis = text[length - 1];
  if (axis < 'x' || axis > 'z') return feErrUnknownKey;
  if (feType(value) != feTInt && feType(value) != feTReal) return feErrTypeCheck;

  feObject base, point;
  feMakeName(&base, text, length - 2);
  feMakeNull(&point);
  int answer = send(object, msgGetAttr, &base, &point);
  if (answer == 0 && (feType(&point) != feTArray || feArrayLength(&point) != 3)) answer = feErrTypeCheck;
  if (answer == 0) {
    feObject xyz[3];
    for (int i = 0; i < 3; ++i) feCopyValue(&xyz[i], feArrayElem(&point, i));
    feFree(&xyz[axis - 'x']);
    feCopyValue(&xyz[axis - 'x'], value);
    feObject changed;
    feMakeArray(&changed, xyz, 3);
    answer = send(object, msgSetAttr, &base, &changed);
    feFree(&changed);
  }
  feFree(&point);
  return answer;
}

int objPutAttr(gobjRec* object, const feObject* key, const feObject* value) {
  if ((object->flags & gobjLocked) && !feNameIs(key, "locked")) return kLocked;
  objUpdate(object, 1);
  int answer = send(object, msgSetAttr, key, value);
  if (answer == 0 || feType(key) != feTName) return answer;
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  if (length >= 3 && text[length - 2] == '.' && text[length - 1] >= 'x' && text[length - 1] <= 'z')
    answer = objSetPointCoord(object, key, value);
  return answer;
}

int objDelete(gobjRec* object, int damage) {
  if (object->flags & gobjLocked) return kLocked;
  // Resetting the selection cache joins this when selection exists.
  objUpdateDequeue(object);
  if (damage) objDamage(object);
  return objMeth(object->classId, msgDetach, object);
}

int objDeleteCb(gobjRec* object, void* context) {
  return objDelete(object, context != nullptr);
}
