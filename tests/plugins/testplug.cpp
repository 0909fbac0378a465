// A plug-in for the tests: a library that links nothing of the program and
// reaches it only through the export table. Its ordinal 1 binds the imports
// and registers the operator tpHello ("I#I"), which prints a greeting
// through the exported feExecf and answers its argument plus 1.
#include "app/exports.h"

namespace {

plumetImports imp;

int tpHello(feArgs* args) {
  imp.feExecf("(tpHello says hello) =");
  *static_cast<int32_t*>(args->out[0]) = args->in[0].i + 1;
  return 0;
}

INT_PTR WINAPI init() {
  if (!plumetBindImports(plProgramOrdinals(), &imp)) return -1;
  return imp.feRegisterOp("tpHello", tpHello, "I#I", 0, 0);
}

const FARPROC ordinals[] = {nullptr, init};

}  // namespace

extern "C" __attribute__((visibility("default"))) const plOrdinalTable plumet_ordinals = {
    PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION, sizeof ordinals / sizeof ordinals[0], ordinals};
