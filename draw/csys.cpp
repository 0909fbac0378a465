// The coordinate-system stack: 16 frames, the current transform and its
// stamp, the composite matrix and the cached inverse.
#include "draw/csys.h"

#include "core/debug.h"
#include "core/vec.h"

#include <cmath>
#include <cstring>

namespace {

struct csysFrame {
  xform4 matrix;              // the transform while this frame is on top
  double* savedCurrent;       // the current transform of before the push
  uint32_t savedStamp;
  xform4 composite;           // the composite while compositing in this frame
  double* savedComposite;
  bool savedCompositing;
};

const xform4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

csysFrame gFrames[csysFrameCount];
int gDepth = 0;
xform4 gBase;                 // the current transform below every frame
double* gCurrent = gBase;
uint32_t gStamp = 0;
uint32_t gCounter = 0;
bool gCompositing = false;
xform4 gBaseComposite;
double* gComposite = gBaseComposite;
xform4 gInverse;
uint32_t gInverseStamp = 0;   // 0: nothing cached

// Pushes refused at the top of the stack, and the current transform and
// stamp of the first refusal, brought back by the pop that ends them.
int gRefused = 0;
xform4 gSpill;
uint32_t gSpillStamp = 0;

void copy(double* to, const double* from) { std::memcpy(to, from, sizeof(xform4)); }

uint32_t newStamp() {
  if (++gCounter == 0) ++gCounter;   // 0 means "no stamp"
  return gStamp = gCounter;
}

// 0 popped a frame, 1 ended a refused push, -1 underflow.
int popFrame() {
  if (gRefused > 0) {
    if (--gRefused == 0) {
      copy(gCurrent, gSpill);
      gStamp = gSpillStamp;
    }
    return 1;
  }
  if (gDepth == 0) {
    dbgPanic("csys Stack underflow");
    return -1;
  }
  const csysFrame& f = gFrames[--gDepth];
  gCurrent = f.savedCurrent;
  gStamp = f.savedStamp;
  gComposite = f.savedComposite;
  gCompositing = f.savedCompositing;
  return 0;
}

}  // namespace

void csysInit() {
  gDepth = 0;
  gRefused = 0;
  copy(gBase, kIdentity);
  gCurrent = gBase;
  copy(gBaseComposite, kIdentity);
  gComposite = gBaseComposite;
  gCompositing = false;
  gInverseStamp = 0;
  newStamp();
  csysPush();
  csysLoad(kIdentity);
}

int csysPush() {
  if (gDepth >= csysFrameCount || gRefused > 0) {
    dbgPanic("csys Stack overflow");
    if (gRefused++ == 0) {
      copy(gSpill, gCurrent);
      gSpillStamp = gStamp;
    }
    return -1;
  }
  csysFrame& f = gFrames[gDepth++];
  f.savedCurrent = gCurrent;
  f.savedStamp = gStamp;
  copy(f.matrix, gCurrent);
  gCurrent = f.matrix;
  newStamp();
  f.savedComposite = gComposite;
  f.savedCompositing = gCompositing;
  if (gCompositing) {
    copy(f.composite, gComposite);
    gComposite = f.composite;
  }
  return 0;
}

int csysPop() { return popFrame() < 0 ? -1 : 0; }

int csysStack(int direction) {
  if (direction == 1) {
    if (csysPush() != 0) return -1;
    csysFrame& f = gFrames[gDepth - 1];
    gComposite = f.composite;   // a composite of the frame's own
    copy(gComposite, kIdentity);
    gCompositing = true;
    return 0;
  }
  if (direction == -1) return popFrame() < 0 ? -1 : 0;
  return -1;
}

int csysDepth() { return gDepth; }

void csysLoad(const double* matrix) {
  const double* enclosing = gDepth > 0 ? gFrames[gDepth - 1].savedCurrent : kIdentity;
  matMulN(4, matrix, enclosing, gCurrent);
  if (gCompositing) matMulN(4, matrix, gComposite, gComposite);
  newStamp();
}

void csysSetMatrix(const xform4 matrix) { csysLoad(matrix); }

void csysLoadMatrix(const double* matrix) { csysLoad(matrix); }

void csysLoadRotation(double turns) {
  const double angle = angTurnsToRad(turns);
  const double c = std::cos(angle), s = std::sin(angle);
  const xform4 rotation = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  csysLoad(rotation);
}

void csysSetOrigin(const double* point) {
  xformPreTranslate(gCurrent, point, gCurrent);
  newStamp();
}

void csysReset() {
  copy(gCurrent, kIdentity);
  newStamp();
}

uint32_t csysLoadStamped(const double* matrix, uint32_t stamp) {
  if (matrix != gCurrent) copy(gCurrent, matrix);
  if (stamp == 0) return newStamp();
  return gStamp = stamp;
}

int csysGetInverse(double* out) {
  if (gInverseStamp != gStamp || gInverseStamp == 0) {
    gInverseStamp = 0;
    if (matInvert(4, gCurrent, gInverse, 0) != 0) return -1;
    gInverseStamp = gStamp;
  }
  copy(out, gInverse);
  return 0;
}

const double* csysCurrent() { return gComposite; }

const double* csysTransform() { return gCurrent; }

uint32_t csysStamp() { return gStamp; }
