// Arrowheads: the ends that dimensions, leaders and lines draw. There are
// eight types, each an outline in an arrow slot; a type number is always
// taken modulo 8 and an empty slot means no arrowhead. At start seven slots
// receive built-in outlines (type 3 stays empty); scripts redefine any slot
// with aDefArrow.
//
// An outline has its tip at the origin and extends towards +x, back along
// the line it ends. It is placed at a tip point p pointing away from a
// shaft point q: outline point (x, y) goes to p + x u + y w, where u is the
// direction from p to q and w the side direction (u turned a quarter in the
// xy plane, or a side vector the caller gives), both given a length that
// the placement chooses. A filled outline is drawn as a polygon in the
// current colour, an open one as a polyline.
//
// The routines with plain parameters are offered to plug-ins, hence the C
// linkage.
#ifndef PLUMET_OBJECTS_ARROW_H
#define PLUMET_OBJECTS_ARROW_H

#include <stdint.h>

enum {
  arrowSlotCount = 8,
  arrowMaxPairs = 25,                  // pairs aDefArrow takes
  arrowMaxPoints = arrowMaxPairs + 1,  // outline points, the closing copy included
};

// One slot's outline, one allocator block with its points after the head.
typedef struct arrowSlot {
  int32_t count;       // points stored, a filled outline's closing copy included
  uint32_t filled;     // 1: a closed outline drawn filled; 0: an open polyline
  double nominalSize;  // point scale times the size factor of the definition
  double maxY;         // largest |y| of the given points
  double maxX;         // largest |x| of the given points
  double sizedMaxY;    // largest |y| again: the copy the sized routines read
} arrowSlot;

#ifdef __cplusplus
// The outline points of a slot: count x (x, y, z) doubles, z = 0.
inline double* arrowSlotPoints(arrowSlot* slot) { return reinterpret_cast<double*>(slot + 1); }
inline const double* arrowSlotPoints(const arrowSlot* slot) {
  return reinterpret_cast<const double*>(slot + 1);
}

// Start-up: the built-in outlines, then the operator aDefArrow ("iBRRO").
void arrowInit();
// The built-in outlines into the slots (type 3 emptied).
void arrowLoadDefaults();
// Empties every slot (the program's end; tests).
void arrowTerm();
// The slot of a type (type & 7), null when empty.
const arrowSlot* arrowGetSlot(int32_t type);
// Defines slot type & 7 from n integer pairs (x1 y1 x2 y2 ...): the points
// times the point scale, a closing copy of the first point when filled and
// n >= 1, the largest |x| and |y| of the given points, and the nominal size
// point scale x size factor. The earlier record is freed. n is taken to be
// within 0..arrowMaxPairs (the operator checks it).
void arrowDefine(int32_t type, bool filled, double pointScale, double sizeFactor, const int32_t* pairs,
                 int32_t n);
#endif

#ifdef __cplusplus
extern "C" {
#endif

// (s x nominal size, 2 x s x largest |y|) for a defined slot; (s, 0.4 s)
// for an empty one. Answers out.
double* arrowGetSize(int32_t type, double scale, double out[2]);
// (largest |x|, 2 x largest |y|) at unit scale; (0, 0) for an empty slot.
// Answers out.
double* arrowBaseSize(int32_t type, double out[2]);
// The default sizes for a text size: size x largest |x| as the length, size
// x 2 x largest |y| as the height and as the dot size. An empty slot gives
// zeros, as its base size is (0, 0). Null outputs are skipped. arrowSizeF
// is the single-precision form (converted on the way in and out).
void arrowSizeD(double size, int32_t type, double* length, double* height, double* dot);
void arrowSizeF(float size, int32_t type, float* length, float* height, float* dot);
// The slot's filled flag; 0 for an empty slot.
int32_t arrowIsFilled(int32_t type);

// The outline placed at tip p pointing away from q, scaled by s: u is q - p
// at length s, w the side vector v at length s when v is given, else u
// turned a quarter. out holds arrowMaxPoints points (3 doubles each).
// Answers the number of points; 0 for an empty slot.
int32_t arrowPoints(int32_t type, const double p[3], const double q[3], double s, const double* v, double* out);
// The outline sized by length L, width W and size S: types 0-3 reach L
// along the shaft and W across (u at L / largest |x|, w at W / (2 largest
// |y|)); types 4-7 reach S both ways (S / (2 largest |x|), S / (2 largest
// |y|)). An outline with no extent along an axis (largest |x| or |y| 0)
// gets the factor 0 there. Answers the number of points; 0 for an empty
// slot.
int32_t arrowPointsSized(int32_t type, const double p[3], const double q[3], double L, double W, double S,
                         const double* v, double* out);
// Computes the points and draws them in line font 0: a filled outline as a
// polygon in the current colour, an open one as a polyline. Answers the
// number of points.
int32_t arrowDraw(int32_t type, const double p[3], const double q[3], double s, const double* v);
// The same with the sized placement; the drawing state is saved before and
// restored after, and pen 0 is selected for the drawing.
int32_t arrowDrawSized(int32_t type, const double p[3], const double q[3], double L, double W, double S,
                       const double* v);

#ifdef __cplusplus
}
#endif

#endif
