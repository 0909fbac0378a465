// The "program" dictionary: the program's name and its identity "QTRL".
#include "objects/progdict.h"

#include "core/proginfo.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/strings.h"

#include <cstring>

namespace {

int defString(const feObject* dict, const char* key, const char* text) {
  feObject value;
  int rc = feMakeString(&value, text, std::strlen(text));
  if (rc != 0) return rc;
  rc = feDictDefName(dict, key, &value);
  feFree(&value);
  return rc;
}

}  // namespace

int progInfoInit() {
  char name[256];
  progInfoString(progInfoName, int(sizeof name), name, "???");

  feObject dict;
  int rc = feMakeDict(&dict, 10);
  if (rc != 0) return rc;
  if ((rc = defString(&dict, "name", name)) == 0 && (rc = defString(&dict, "id", "QTRL")) == 0) {
    feObject key;
    rc = feMakeName(&key, "program", 7);
    if (rc == 0) {
      rc = feDictDef(&key, &dict);
      feFree(&key);
    }
  }
  feFree(&dict);
  return rc;
}
