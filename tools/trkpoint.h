// Point input: the chain of objects just drawn (the recent objects of the
// current sheet record) and the points entered with them, line tracking
// from the last point, single snaps on request, the track-point marker at
// the last point, and the end of a command.
#ifndef PLUMET_TOOLS_TRKPOINT_H
#define PLUMET_TOOLS_TRKPOINT_H

#include <windows.h>

#include <cstdint>

struct gobjRec;
struct trackContext;

// The one tracking context shared by the tool loop, the input engine and
// line tracking.
trackContext* trkSharedContext();
// Fills a context for snapping: hit radius, the default codes, the entered
// points of the current sheet record (else the tool's point buffer's).
void trkInitSnapCtx(trackContext* context);
// The operation of aAuto: one snap of pixel (x, y) with codes (null: the
// default codes) on a private context; out gets the result point.
void trkAutoSnap(int x, int y, const char* codes, int length, double out[3]);

// The chain lives in the current sheet record (objects/docvar_sheet.h): at
// most 16 recent objects, each holding one use count and flag 0x0008, and
// at most 16 entered points; a 17th drops the oldest. Without a current
// sheet record these do nothing (trkRemoveObject answers -4146).

// Appends the object: its end (parameter 1) becomes the last point and an
// entered point, its direction there the end direction. The oldest object
// dropped for it gives back its count and flag and, on ".temp", leaves the
// document. An object listed already becomes the newest.
void trkAddObject(gobjRec* object);
// The point becomes the last point, an entered point and the shared last
// point (lastPointSet).
void trkAddPoint(const double p[3]);
// Takes the object out of the chain (flag 0x0008 cleared unless the
// current-object group lists it; the count lowered but never freed here)
// and hides the marker. 0, or -1 when not listed.
int trkRemoveObject(gobjRec* object);
// Takes the newest object out of the chain; the end of the one now newest
// becomes the last point, and a ".temp" object leaves the document. The
// answer holds one use count for the caller (objRelease); null when the
// chain is empty.
gobjRec* trkPopObject();
// Moves point on object toward a tangent ('t', message 351) or
// perpendicular ('p', message 349) from reference: 0 when the object
// offered a point (taken) or answered above 1 (point kept); -1 otherwise,
// after an answer of 0 with point moved to the object's end nearer on
// screen (the far end on a tie).
int trkNearestOnObject(int code, gobjRec* object, double point[3], const double reference[3]);

// Feedback callback of trkDragPoint: the new point with draw 1 and the
// context, then the previous point with draw 0 and no context (to erase).
typedef void (*trkDragFn)(const double point[3], int draw, int steady, void* user, trackContext* context);
// Tracks one snapped point on the shared context while a button is held:
// cursor follows the mouse, out gets the last snapped point. -1 without a
// current sheet record, else 0.
int trkDragPoint(POINT* cursor, trkDragFn callback, double out[3], void* user);

// The track-point marker (marker style 9, XOR): set enables it at a point
// (hiding it where it was drawn first); draw brings it to state 0 hidden,
// 1 shown or 2 drawn again after a repaint wiped it.
void trkMarkSet(int enable, const double p[3]);
void trkMarkDraw(int state);
// What the marker holds (tests); any pointer may be null.
void trkMarkState(int* enabled, int* drawn, double point[3]);
// Forgets the marker without drawing (tests, a closed window).
void trkMarkReset();

// The hooks through which lower layers reach point input: the object
// model's deletion (trkRemoveObject), the drawing classes' tracking steps,
// the feedback's track-point marker and the sheet windows' command end.
void trkInstallHooks();
// The calculator, the 13 point-input operators, the object sources "last"
// and "current", the hooks above, then the input engine (ieInit).
int trkInit();

#endif
