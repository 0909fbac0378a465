// The records of one snap: the candidates collected near the cursor and
// the working record of the best point found so far, with the test that
// decides whether a proposed point beats the best and the adding and
// releasing of candidates (each holds one use count of its object).
#ifndef PLUMET_TOOLS_SNAPCAND_H
#define PLUMET_TOOLS_SNAPCAND_H

#include "tools/track.h"  // snapCand, shared with the feedback

#include <cstdint>

struct gobjRec;
struct planeRec;

enum : int { snapCandMax = 50 };

// The candidates of one snap.
struct snapCandSet {
  int32_t pickBox[4];  // left, top, right, bottom pixels
  int32_t depth;       // container depth while collecting
  int32_t count;
  snapCand cands[snapCandMax];
};

// The working record of one snap.
struct snapBest {
  int32_t cursor[2];         // the cursor pixel
  double cursorScreen[3];    // (x, y, 0)
  double cursorWorld[3];
  void* context;             // the tracking context being served
  bool planeConstrained;     // the context's plane-constraint flag
  const planeRec* plane;     // the context's plane record
  double bestWorld[3];
  double bestScreen[3];
  double bestDistance;       // squared pixels
  int32_t bestCode;          // the letter, 0 when none yet
  int32_t bestIndex[2];      // the candidate indices of the best
  gobjRec* currentObject;    // for the vertex and parameter callbacks
  int32_t currentIndex;
  int32_t currentCode;
};

// Starts an empty set (count 0, depth 0) for the pick box.
void snapCandSetInit(snapCandSet* set, const int32_t pickBox[4]);

// Appends a candidate when fewer than 50 are held (answers -1 and changes
// nothing otherwise): raises the object's use count (not past 255). A
// construction candidate (kind other than 0) has its object put on the
// ".temp" layer; an object found near the cursor (kind 0) is a drawing
// object and keeps its layer. A null label is stored as "". Answers the
// candidate's index.
int snapCandAdd(snapCandSet* set, gobjRec* object, int kind, const double* point, const double* direction,
                const char* label);

// Releases every candidate's object (the slots are nulled) and empties the
// set.
void snapCandRelease(snapCandSet* set);

// Starts a best record for the cursor pixel with accept radius r: best
// distance 2 r², no code, no context, no plane constraint.
void snapBestInit(snapBest* best, const int32_t cursor[2], const double cursorWorld[3], double radius);

// True when the point lies within 0.001 of the plane (a plane with a zero
// normal holds every point).
bool snapOnPlane(const planeRec* plane, const double point[3]);

// The tie rule on a proposed screen point, with d its squared distance
// from the cursor in x and y: accepted when d - 0.1 is below the best
// distance and either d + 0.1 is below it, or there is no best code yet, or
// the screen point lies nearer (smaller z) than the best's. Writes d.
bool snapAcceptScreen(const snapBest* best, const double screen[3], double* distance);

// The test of a world point: with the plane constraint the point must lie
// on the context's plane; then its screen point (written to screen) passes
// the tie rule.
bool snapAccept(const snapBest* best, const double point[3], double screen[3], double* distance);

// Makes the point the best: distance, world and screen points, code.
void snapRecord(snapBest* best, const double point[3], const double screen[3], double distance, int code);

#endif
