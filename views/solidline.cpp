#include "views/solidline.h"

#include "draw/xforms.h"
#include "objects/lnfont.h"
#include "objects/pen.h"

extern "C" void drawSolidLineW(const double p[3], const double q[3]) {
  // Font 1 draws through the device's own dotted pen style, without the
  // dash walker; feedback lines stay cheap to draw and to erase.
  lnfontSelect(1);
  penSelect(0);
  vwMoveToW(p);
  vwLineToW(q);
}
