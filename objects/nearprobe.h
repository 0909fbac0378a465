// The objects nearest to a point on the screen, the basis of picking.
//
// A probe is built for one search: the class the objects must belong to, a
// flag mask and value their flags must match, the probe point in view
// (screen) coordinates, the hit radius, a score window, whether containers
// are looked into ("lookin") and whether copies transformed by the current
// coordinate frame are measured ("xform"), and the candidate list: at most
// 25 candidates in ascending score, each holding one reference.
//
// Scores are squared screen distances (the hit radius is squared to compare
// with them). A hatch scores R * R - 1 more while the document's hit radius
// R is below 6, else 35 more; an object on the layer "construction" 0.9
// more. A candidate whose point can be evaluated has its score lowered by
// f(z) * score / 8, z its depth on the screen, so that nearer objects win
// ties. Candidates of equal score are put in the order of their nearer end
// points' distances to the probe point, and a candidate with the same end
// points as the one before it (either way round) is dropped.
#ifndef PLUMET_OBJECTS_NEARPROBE_H
#define PLUMET_OBJECTS_NEARPROBE_H

#include "objects/gobject.h"

#include <cstdint>

struct glist;
struct feArgs;

enum { nearMaxCandidates = 25, nearClassNameMax = 8 };
enum : uint16_t { nearDefaultMask = 0x4210 };

struct nearCandidate {
  gobjRec* object;      // one reference held (with "xform": the transformed copy)
  gobjRec* found;       // the object the search found (not held)
  double score;
  double param;         // curve parameter of the nearest point
  double point[3];      // the world point at that parameter, when evaluated
  uint16_t status;      // nearPointKnown when point holds the point
};
enum : uint16_t { nearPointKnown = 0x1 };

struct nearProbeRec {
  char className[nearClassNameMax + 1];  // "gobject" by default
  bool curve;                            // the class is "curve"
  uint16_t mask, value;                  // flags & mask must equal value
  double point[2];                       // view coordinates
  int32_t hitRadius;                     // 0: the document's
  double minScore, maxScore;
  bool lookIn, xform;
  int32_t count;                         // candidates held
  nearCandidate candidates[nearMaxCandidates];
};

// The defaults: class "gobject", mask 0x4210 and value 0 (hidden, not
// selectable and flag 0x0010 objects are passed over), point (0, 0), radius
// 0, scores -1.0 .. 0.1, neither "lookin" nor "xform", no candidates.
void nearProbeInit(nearProbeRec* probe);
// Sets the class name (at most 8 characters kept) and the curve flag.
void nearProbeSetClass(nearProbeRec* probe, const char* name, int length);
// Releases the candidates' references and empties the list.
void nearProbeClear(nearProbeRec* probe);

// One probe pass with radius r (pixels): the current sieve is searched over
// the screen box of the probe point +- r, widened to whole pixels, with the
// coordinate-system frame pushed; each object that passes the tests is
// measured (message 318) and, when its score lies in the probe's window,
// entered into the candidate list. R is the final radius of the search (for
// the hatch penalty the document's radius is used). Answers the number of
// candidates.
int nearPass(nearProbeRec* probe, int r);

// The search: radii 4, 8, 16 ... up to the final radius R (the probe's when
// at least 1, else the document's, else 8; R alone when below 4), each pass
// with the score window -1 .. r * r, until count objects are collected. When
// count is above 1, objects on the layer "construction" are passed over; an
// object an earlier pass collected is not collected again. *out gets a new
// group (count 0) of the objects in the order collected. Answers 0.
int nearRun(nearProbeRec* probe, int count, glist** out);

// nearRun for a probe built from the arguments: point in view coordinates,
// the class name (length characters; null or length 0: "gobject"), the hit
// radius and the flag mask and value. Exported to plug-ins.
int nearProbe(const double* point, int count, const char* className, int length, int hitRadius, uint16_t mask,
              uint16_t value, glist** out);

// Called for each curve near a point: the object, the argument and the
// curve parameter of its nearest point; a non-zero answer ends the search.
typedef int (*sieveNearFn)(gobjRec* object, void* argument, double param);
// The curves of the current sieve within d (world units) of a world point:
// the sieve is searched over the box point +- d in x and y (z unbounded);
// each object that is neither hidden nor unselectable, lies in the current
// model and is a curve is measured on the screen (message 318), and the
// callback gets it when its distance, in world units, is below d. Answers
// the callback's non-zero answer, else 0.
int sieveNear(const double* point, double d, sieveNearFn callback, void* argument);

// aNearest "!O#Q": the group of the objects nearest to a probe described by
// an array of alternating keys and values ("probe" 2 numbers, "hitrad",
// "type", "lookin", "select", "locked", "xform", "count", "box" 4 numbers);
// 269 for a non-array.
int nearNearestOp(feArgs* args);

// The module set-up: registers aNearest.
void nearInit();

#endif
