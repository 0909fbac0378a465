// Shared by the point-input files (trk*.cpp): the current sheet record,
// the error codes of the point-input operators, the start point, the
// track-point marker shown at the last point, and the operator handlers
// that trkInit registers.
#ifndef PLUMET_TOOLS_TRK_INTERNAL_H
#define PLUMET_TOOLS_TRK_INTERNAL_H

#include "objects/group.h"

#include <cstdint>

struct dbSheetRec;
struct feArgs;
struct gobjRec;

namespace trk {

enum : int {
  errNoSheet = -4117,      // no current sheet record
  errNoPoint = -4118,      // no entered point
  errCannotDelta = -4125,  // a relative point without a point to start from
  errNoDoc = -4146,        // no current sheet record (tracking)
};

// The current sheet record (the current model's), or null when no model is
// current.
dbSheetRec* sheet();

// The operation of aAddStartPoint: a point object at p on ".temp", entered
// into the current document and added to the chain; sets the chain's
// changed flag. Answers 0, errNoSheet, or -1 when the document refused it.
int addStartPoint(const double p[3]);

// The track-point marker: hidden (its point kept), or shown at the current
// record's last point when the record holds an entered point.
void markHide();
void markShowLast();

// The first derivative of a curve at parameter t (zero when the class gives
// none).
void derivativeAt(gobjRec* object, double t, double out[3]);

// Tool mode 5's letters switched off: while one of these lives, every "a",
// "A", "b" and "B" of the default snap codes has its high bit set (the snap
// engine skips such letters); the bits are cleared when it goes, on every
// path out.
class AlignLettersOff {
public:
  AlignLettersOff();
  ~AlignLettersOff();
  AlignLettersOff(const AlignLettersOff&) = delete;
  AlignLettersOff& operator=(const AlignLettersOff&) = delete;
};

// Registers the 13 operators and the two object sources (the part of
// trkInit that tests repeat in each fresh interpreter).
int registerOps();

// Operators (signatures in trkinit.cpp).
int opLineTrack(feArgs* args);
int opEnteredPoint(feArgs* args);
int opPointCount(feArgs* args);
int opNewCurrent(feArgs* args);
int opMakeCurrent(feArgs* args);
int opAddStartPoint(feArgs* args);
int opAddLine(feArgs* args);
int opLineBackup(feArgs* args);
int opCmdEnd(feArgs* args);
int opTrackPoint(feArgs* args);

// The object sources "last" (the newest recent object) and "current"
// (every recent object, newest first).
int enumLast(objMemberFn callback, void* context, intptr_t data);
int enumCurrent(objMemberFn callback, void* context, intptr_t data);

// aCmdEnd's work after the event: the chain's points taken again when it
// changed, the marker, the redraw.
void commandEnd();

}  // namespace trk

#endif
