// The curves of the current sieve near a world point.
#include "objects/nearprobe.h"

#include "core/classes.h"
#include "draw/xforms.h"
#include "objects/docstate.h"
#include "objects/nearcurve.h"
#include "objects/sieve.h"

#include <cmath>
#include <cstring>

namespace {

struct Near {
  double screen[2];
  double d;             // world units
  double pixel;         // world units per pixel
  uint8_t model;
  sieveNearFn callback;
  void* argument;
};

int visit(gobjRec* object, void* context) {
  auto* n = static_cast<Near*>(context);
  if (object->flags & (gobjHidden | gobjNoSelect)) return 0;
  if (object->owner != 0 && object->owner != n->model) return 0;
  if (objInClass(object, "curve") != 1) return 0;
  double squared = -1, param = -1;
  if (crvNearest(object, n->screen, n->d / n->pixel, &squared, &param, 1) < 0 || squared < 0) return 0;
  if (std::sqrt(squared) * n->pixel >= n->d) return 0;
  return n->callback(object, n->argument, param);
}

}  // namespace

int sieveNear(const double* point, double d, sieveNearFn callback, void* argument) {
  sieveRec* sieve = sieveCurrent();
  if (!sieve || !callback || !point) return 0;
  Near n{};
  double screen[3];
  // The curves measure themselves on the screen: the point goes there, and
  // their pixel distances come back in world units.
  if (vwCurViewRec()) {
    vwWorldToScreen(point, screen);
    if (vwCurPixelSize(&n.pixel) != 0 || !(n.pixel > 0)) n.pixel = 1;
  } else {
    std::memcpy(screen, point, sizeof screen);
    n.pixel = 1;
  }
  n.screen[0] = screen[0];
  n.screen[1] = screen[1];
  n.d = d;
  const dbDocRec* doc = dbCurrentDoc();
  n.model = doc ? doc->currentModel : 0;
  n.callback = callback;
  n.argument = argument;
  const double a[3] = {point[0] - d, point[1] - d, -1e30}, b[3] = {point[0] + d, point[1] + d, 1e30};
  return sieveSearchBox(sieve, visit, &n, 0, a, b);
}
