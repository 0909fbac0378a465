// aWorldToScreen: vwWorldToScreen for scripts.
#include "draw/xforms.h"

#include "fe/opcall.h"

int vwOpWorldToScreen(feArgs* args) {
  vwWorldToScreen(static_cast<const double*>(args->in[0].block), static_cast<double*>(args->out[0]));
  return 0;
}
