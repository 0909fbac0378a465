#include "fe/scriptproc.h"

#include "fe/dict.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"

#include <cstring>

namespace {

const scriptProcedure kProcedures[] = {
    {"start", "nothing"},
    {"aSaveAsInNoMemory", "nothing"},
    {"aAlert", "a string"},
    {"aPrefFile", "nothing; leaves the file name"},
    {"aLoadPrefsHook", "the file name"},
    {"aKillSheet", "a sheet with a window"},
    {"aAutoSaveAs", "nothing"},
    {"aDocToolType", "nothing"},
    {"onKey", "the key code and text"},
    {"onModifier", "mark, changed and new modifier bits"},
    {"aViewPopup", "mark, the point as an array"},
    {"aSetScrollHook", "mark, two reals"},
    {"aDListMenuHook", "true or false"},
    {"aMenuShowPointsHook", "true or false"},
    {"aThermUpdate", "a percentage"},
    {"aLocalizeTongueReq", "the name aCTabGetCurrentTongue"},
    {"aBuildLnFontNoUse", "nothing"},
    {"aChackMakeHLRLayer", "nothing"},
    {"aSetToHLRLayer", "nothing"},
    {"aBug", "nothing"},
};

}  // namespace

const scriptProcedure* scriptProcedures(size_t* count) {
  if (count) *count = sizeof kProcedures / sizeof kProcedures[0];
  return kProcedures;
}

bool scriptDefined(const char* name) {
  feObject key{};
  if (feMakeName(&key, name, std::strlen(name)) != 0) return false;
  feObject dict{};
  bool found = feWhereDict(&key, &dict) == 0;
  if (found) feFree(&dict);
  feFree(&key);
  return found;
}

int scriptRunByName(const char* name) {
  if (!scriptDefined(name)) return 0;
  return feRunString(name);
}
