// The coordinate-system stack: the current transform (an xform4 shared with
// the drawing layer) and up to 16 saved frames, so that drawing and
// enumeration can work in the coordinates of a composite's members and come
// back. Every change of the current transform takes a new stamp from one
// program-wide counter (never 0), so that results cached for a transform
// (its inverse, a screen cache) know when it changed.
//
// Each push copies the current transform into a new frame, which becomes
// the current transform; loading a matrix into a frame composes it with the
// enclosing transform: current = enclosing * given (given applied first).
// A pop brings back the enclosing transform with its stamp.
//
// While compositing is on (csysStack), every load is also gathered into the
// composite matrix, the frame's own transformation without the enclosing
// ones.
#ifndef PLUMET_DRAW_CSYS_H
#define PLUMET_DRAW_CSYS_H

#include "core/matrix.h"

#include <cstdint>

enum { csysFrameCount = 16 };

// Module set-up: the current transform and the composite are the identity,
// compositing is off, no frame is held; then one push is made and the
// identity loaded. Run again, it starts over.
void csysInit();

// Saves the current transform and its stamp in a new frame, which becomes
// the current transform (a copy of the old one) with a new stamp. With all
// frames in use it reports the panic "csys Stack overflow" and answers -1:
// the stack is not changed, further pushes are refused until it is popped,
// and the pops that match refused pushes pop no frame: the last of them
// brings back the current transform and stamp of the first refusal, so the
// frames below stay as they were. Else answers 0.
int csysPush();
// Brings back the transform, stamp, composite and compositing state saved
// by the matching push. With no frame held it reports the panic "csys Stack
// underflow" and answers -1, changing nothing. Else answers 0.
int csysPop();
// 1: a push that starts compositing with an identity composite; -1: the pop
// that ends it (the compositing state of before the matching push comes
// back, so an enclosing compositing frame goes on gathering). Answers as the
// push or pop; -1 for any other direction.
int csysStack(int direction);
// The number of frames held.
int csysDepth();

// current = enclosing * matrix, where enclosing is the transform that the
// frame's push saved (the identity without a frame); with compositing on the
// composite becomes composite * matrix too. New stamp.
void csysLoad(const double* matrix);
// The same for callers that think of setting rather than loading.
void csysSetMatrix(const xform4 matrix);
void csysLoadMatrix(const double* matrix);
// csysLoad of the rotation about z by the angle in turns, rows
// (cos, sin, 0, 0), (-sin, cos, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1).
void csysLoadRotation(double turns);
// Moves the origin of the current transform to the point, given in the
// current coordinates: the translation becomes the rows applied to
// (x, y, z, 1). New stamp. The composite is not changed.
void csysSetOrigin(const double* point);
// The current transform becomes the identity. New stamp.
void csysReset();
// Copies the matrix into the current transform with the given stamp, or a
// new one when the stamp is 0; answers the stamp it now has.
uint32_t csysLoadStamped(const double* matrix, uint32_t stamp);

// The inverse of the current transform into out, recomputed only when the
// transform's stamp changed since the last call. Answers 0, or -1 for a
// singular transform (out untouched, nothing cached).
int csysGetInverse(double* out);
// The composite matrix.
const double* csysCurrent();
// The current transform itself, for the drawing layer; it moves with every
// push and pop, so take it again after one.
const double* csysTransform();
// The stamp of the current transform.
uint32_t csysStamp();

#endif
