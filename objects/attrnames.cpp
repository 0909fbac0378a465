// The attribute-name check list, built once at start and kept for the
// program's life. The order of the entries is fixed: a look-up by code
// finds the first key of that code, which names the attribute when keys are
// enumerated.
#include "objects/attrnames.h"

#include "ui/achk.h"

namespace {

uiAChklEntry* list;

}  // namespace

void attrNamesInit() {
  if (list) return;
  uiDefAChkl(&list,
             // layer and line attributes
             1, "layer", "S", 2, "layerno", "I", 3, "linefont", "S", 3, "pattern", "S", 8, "linefontno", "I",
             4, "color", "S", 7, "colorno", "I", 5, "linewidth", "I", 5, "weight", "I",
             9, "lineweight", "R", 20, "locked", "B", 21, "control-pts", "B", 21, "xvis", "B", 22, "xxvis", "B",
             205, "id", "I",
             // text and arrow sizes
             6, "text", "S", 160, "textsize", "R", 164, "arrowsize", "R", 164, "arrowheight", "R",
             165, "arrowwidth", "R", 163, "text-size", "R",
             // dimensions
             100, "dimstyle", "I", 101, "precision", "I", 102, "tolupper", "R", 103, "tollower", "R",
             104, "arrowtype", "I", 105, "rottext", "I", 106, "textpt", "3W", 107, "dimvect", "3V",
             108, "arrowpt0", "3W", 109, "arrowpt1", "3W", 190, "dimtext", "S", 110, "dimtype", "I",
             111, "dimoffset", "R", 111, "text-offset", "R", 114, "endpt", "3W", 115, "ctrpt", "3W",
             119, "ptmask", "I", 130, "pt0", "3W", 140, "pt1", "3W", 144, "pt2", "3W", 154, "tanang", "R",
             180, "arrowhead", "I",
             // measures
             116, "radius", "R", 117, "diameter", "R", 118, "angle", "R", 112, "startangle", "R",
             126, "length", "R", 162, "qlength", "R", 161, "qangle", "R", 155, "thickness", "R",
             // the delta
             150, "delta", "3V", 151, "delta.x", "R", 152, "delta.y", "R", 153, "delta.z", "R",
             // points and flags
             120, "startpt", "3W", 121, "quartdir", "3V", 123, "midpt", "3W", 124, "tanpt", "3W",
             125, "normdir", "3V", 119, "ptsel", "I", 127, "circle", "B", 129, "type", "S", 170, "origin", "3W",
             206, "docid", "I", 0);
}

const uiAChklEntry* attrNames() { return list; }
