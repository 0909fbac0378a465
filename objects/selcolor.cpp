// The select colour operators.
#include "objects/selcolor.h"

#include "core/alloc.h"
#include "fe/opcall.h"
#include "objects/colortbl.h"
#include "objects/ctab.h"
#include "objects/docstate.h"
#include "objects/layer.h"
#include "objects/numtbl.h"
#include "objects/sieve.h"
#include "objects/update.h"

#include <cstring>

namespace {

int queueSelected(gobjRec* object, void*) {
  if (object->flags & gobjSelected) objUpdateQueue(object);
  return 0;
}

}  // namespace

int selColorSetOp(feArgs* args) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return layerErrNoDoc;
  const feArgText& name = args->in[0].text;
  int32_t id = -1;
  if (colorFindNameTranslated(name.text, uint32_t(name.length > 0 ? name.length : 0), &id) != 0)
    return tblErrNotFound;
  if (doc->selectColor == uint8_t(id)) return 0;
  doc->selectColor = uint8_t(id);
  sieveForEach(doc->sieve, queueSelected, nullptr);
  return 0;
}

int selColorGetOp(feArgs* args) {
  const dbDocRec* doc = dbCurrentDoc();
  const char* name = doc ? cTabIdName(nullptr, doc->selectColor) : "???";
  const uint32_t length = uint32_t(std::strlen(name));
  auto* out = static_cast<feArgText*>(args->out[0]);
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, length + 1, 1));
  if (!copy) return -1;
  std::memcpy(copy, name, length);
  out->text = copy;
  out->length = int32_t(length);
  return 0;
}
