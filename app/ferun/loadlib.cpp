// The runner's tLoadLib: plug-ins loaded by scripts before the program's
// own loader exists.
#include "app/ferun/standins.h"

#include "fe/opcall.h"
#include "fe/operator.h"

#include <windows.h>

namespace {

int loadLib(feArgs* args) {
  int32_t* answer = static_cast<int32_t*>(args->out[0]);
  HMODULE library = LoadLibraryA(args->in[0].cstr);
  if (!library) {
    *answer = -1;
    return 0;
  }
  FARPROC init = GetProcAddress(library, MAKEINTRESOURCEA(1));
  if (!init) {
    *answer = -2;
    return 0;
  }
  init();
  *answer = 0;
  return 0;
}

}  // namespace

void standinsLoadLibInit() { feRegisterOp("tLoadLib", loadLib, "C#I", 0, 0); }
