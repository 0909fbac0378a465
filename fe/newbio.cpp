// The start of the interpreter from a compiled image, and the operators
// aUnload, aLoad and aBOut.
#include "fe/newbio.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/generic.h"
#include "fe/init.h"
#include "fe/names.h"
#include "fe/operator.h"

#include <cstring>
#include <string>

namespace {

const feObject* systemDict() {
  const feObject* d = feSystemDict();
  return d ? d : feDictAtLevel(1);
}

// The operator index a value holds, or -1 for another value.
int32_t operatorIndex(const feObject* v) { return feType(v) == feTOperator ? int32_t(v->w0.u & 0xFFFFu) : -1; }

// Whether every operator that this program defines in mine under a name is
// the operator of the same table index in theirs (when theirs defines the
// name as an operator at all). The first difference is logged.
bool sameOperators(const feObject* mine, const feObject* theirs) {
  int32_t capacity = 0;
  if (feDictMaxLength(mine, &capacity) != feOk) return true;
  for (int32_t s = 0; s < capacity; ++s) {
    feObject* key;
    feObject* value;
    if (feDictEntryAt(mine, s, &key, &value) != feOk || feType(key) == feTEmpty) continue;
    const int32_t here = operatorIndex(value);
    if (here < 0) continue;
    feObject stored;
    if (feDictGet(theirs, key, &stored) != feOk) continue;
    const int32_t there = operatorIndex(&stored);
    feFree(&stored);
    if (there >= 0 && there != here) {
      const char* text;
      size_t length;
      feNameText(key, &text, &length);
      dbgPrintf("[feInitFromImage] operator %.*s is number %d in the image, %d in this program\n", int32_t(length),
                text, there, here);
      return false;
    }
  }
  return true;
}

// The dictionary systemdict holds under name, as a copy; false when it holds
// none.
bool dictNamed(const feObject* systemdict, const char* name, feObject* out) {
  if (feDictGetName(systemdict, name, out) != feOk) return false;
  if (feType(out) == feTDict) return true;
  feFree(out);
  return false;
}

// A dictionary that is no longer used: the dictionaries it holds are
// replaced by nulls, so that the cycles through it (systemdict holds itself)
// do not keep it alive, and then it is released.
void dropStandIn(feObject* dict) {
  int32_t capacity = 0;
  if (feDictMaxLength(dict, &capacity) == feOk) {
    feObject null;
    feMakeNull(&null);
    for (int32_t s = 0; s < capacity; ++s) {
      feObject* key;
      feObject* value;
      if (feDictEntryAt(dict, s, &key, &value) != feOk || feType(key) == feTEmpty) continue;
      if (feType(value) == feTDict) {
        const feObject k = *key;
        feDictPut(dict, &k, &null);
      }
    }
  }
  feFree(dict);
}

int opUnload(feArgs* args) {
  feObject key;
  const int rc = feMakeName(&key, args->in[0].text.text, size_t(args->in[0].text.length));
  if (rc != feOk) return rc;
  return feDictPut(systemDict(), &key, args->in[1].value);
}

int opLoad(feArgs* args) {
  feObject key;
  const int rc = feMakeName(&key, args->in[0].text.text, size_t(args->in[0].text.length));
  if (rc != feOk) return rc;
  return feDictGet(systemDict(), &key, static_cast<feObject*>(args->out[0]));
}

int opBOut(feArgs* args) {
  const std::string path(args->in[0].text.text, size_t(args->in[0].text.length));
  return feBOut(path.c_str());
}

const feOpSpec kOps[] = {
    {"aUnload", opUnload, "SO"},
    {"aLoad", opLoad, "S#O"},
    {"aBOut", opBOut, "S"},
};

}  // namespace

const feOpSpec* feImageOpSpec(const char* name) { return feOpSpecFind(kOps, name); }

int feInitFromImage(const char* path) {
  if (!feInitClaim()) return feOk;

  feImage* image = nullptr;
  int rc = feImageRead(path, &image);
  if (rc != feOk) {
    feInitPrepare();
    feInitFinishFresh();
    return rc;
  }

  // The names first: registering the operators interns their names, which
  // then keep the indices the image's values hold.
  feImageUseNames(image);
  const feObject* theirs = feImageSystemDict(image);
  feObject userdict, errordict, errorRecord;
  bool complete = dictNamed(theirs, "userdict", &userdict);
  if (complete && !dictNamed(theirs, "errordict", &errordict)) {
    feFree(&userdict);
    complete = false;
  }
  if (complete && !dictNamed(theirs, "$error", &errorRecord)) {
    feFree(&userdict);
    feFree(&errordict);
    complete = false;
  }

  // The operators are registered as on a fresh start, into dictionaries of
  // their own; the image is used only when it defines each of them under the
  // same index (a program that registers in another order would otherwise
  // call the wrong handlers). A refused image leaves that fresh start.
  feInitPrepare();
  if (complete && (!sameOperators(systemDict(), theirs) || !sameOperators(feErrorDict(), &errordict))) {
    feFree(&userdict);
    feFree(&errordict);
    feFree(&errorRecord);
    complete = false;
  }
  if (!complete) {
    feImageFree(image);
    feInitFinishFresh();
    return feErrIo;
  }

  feObject systemdict;
  feImageTakeSystemDict(image, &systemdict);
  feImageUseBlocks(image);
  feImageFree(image);

  feObject standIn[2];
  feCopyValue(&standIn[0], systemDict());
  feCopyValue(&standIn[1], feErrorDict());
  feDictStackInit(&systemdict, &userdict);
  feErrorSetDicts(&systemdict, &userdict, &errordict, &errorRecord);
  for (feObject& d : standIn) dropStandIn(&d);
  feFree(&systemdict);
  feFree(&userdict);
  feFree(&errordict);
  feFree(&errorRecord);

  // The image holds the definitions: operators registered from here on (the
  // modules') are only checked against them until the start is complete.
  feSetOpDefining(false);
  feInitFinishImage();
  return feOk;
}
