#include "fe/ini_ops.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "core/ini.h"
#include "fe/control.h"
#include "fe/operator.h"

#include <cstring>
#include <string>

namespace {

char* heapText(const std::string& text) {
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(text.size() + 1), 1));
  std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

// "CC#C": key path, default -> the value, or the default.
int opGetIniString(feArgs* args) {
  const char* path = args->in[0].cstr;
  const char* fallback = args->in[1].cstr ? args->in[1].cstr : "";
  std::string section, key, value;
  const bool found = iniSplitKeyPath(path, &section, &key) &&
                     iniGetString(iniCurrent(), section.c_str(), key.c_str(), &value);
  *static_cast<char**>(args->out[0]) = heapText(found ? value : std::string(fallback));
  return feOk;
}

// "CC": key path, value -> sets the value and rewrites the file.
int opPutIniString(feArgs* args) {
  iniFile* ini = iniCurrent();
  std::string section, key;
  if (!ini || !iniSplitKeyPath(args->in[0].cstr, &section, &key)) return feErrIo;
  const char* value = args->in[1].cstr ? args->in[1].cstr : "";
  return iniSet(ini, section.c_str(), key.c_str(), value) ? feOk : feErrIo;
}

const feOpSpec kOps[] = {
    {"aGetIniString", opGetIniString, "CC#C"},
    {"aPutIniString", opPutIniString, "CC"},
};

}  // namespace

const feOpSpec* iniOpSpec(const char* name) { return feOpSpecFind(kOps, name); }

void iniRegisterOps() {
  feOpSpecRegisterAll(kOps);
}
