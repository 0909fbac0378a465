// The hit radius: the current document's, or a program-wide 16-bit value
// while no document is current; and the text hit mode.
#include "objects/hitrad.h"

#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/docstate.h"

namespace {

int16_t gProgramRadius = 8;
uint16_t gHitMode = 0;

// "!i": sets the radius.
int opSetHitRad(feArgs* args) {
  aSetHitRad(args->in[0].i);
  return 0;
}

// "!#i": pushes the radius.
int opHitRad(feArgs* args) {
  aHitRad(static_cast<int32_t*>(args->out[0]));
  return 0;
}

const feOpSpec kOps[] = {
    {"aSetHitRad", opSetHitRad, "!i"},
    {"aHitRad", opHitRad, "!#i"},
};

}  // namespace

void aHitRad(int32_t* out) {
  const dbDocRec* doc = dbCurrentDoc();
  *out = doc ? int32_t(doc->hitRadius) : gProgramRadius;
}

void aSetHitRad(int32_t radius) {
  if (dbDocRec* doc = dbCurrentDoc())
    doc->hitRadius = uint32_t(radius);
  else
    gProgramRadius = int16_t(radius);   // the program-wide value keeps 16 bits
}

uint16_t hitModeGet() { return gHitMode; }

void hitModeSet(uint16_t mode) { gHitMode = mode; }

void hitRadInit() { feOpSpecRegisterAll(kOps); }
