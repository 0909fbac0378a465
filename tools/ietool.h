// The tool input loop and the point buffer. Every interactive drawing tool
// collects its points through ieTrackTool: a press gives one new point,
// snapped through the shared tracking context; while the button is held the
// point is snapped again and the tool is called back at every change. The
// points of the current tool live in one buffer of six entries.
#ifndef PLUMET_TOOLS_IETOOL_H
#define PLUMET_TOOLS_IETOOL_H

#include "geometry/trackstep.h"

#include <cstdint>

struct objPointInput;
struct trackContext;

enum { ieBufferSize = 6 };

// Bits of the tool mode word.
enum : uint16_t {
  ieModeOAsN = 0x1,        // low two bits reading 1: "o" points are stored as "n"
  ieModeClose = 0x4,       // the first point is offered again (closing the figure)
  ieModeNoAlign = 0x8,     // a, A and b are off while the loop runs
  ieModeNested = 0x100,    // ieSetToolMode first parks the running tool's buffer
  ieModePlane = 0x200,     // snaps keep to the plane through the first point
};

// Point callback: phase 0 a new point (the last entry, previous null), phase
// k >= 1 the k-th update of the last entry (previous: that entry before).
typedef void (*iePointFn)(ieToolPoint* buffer, int count, const ieToolPoint* previous, int phase, void* userData);
// Feedback callback: redraws the tool's whole feedback in a draw mode
// (0 draw, 1 erase, 2 XOR).
typedef void (*ieFeedbackFn)(int drawMode);

// The loop from a press at (x, y) in window pixels. 0, or -1 when the
// buffer is full.
int ieTrackTool(int x, int y, iePointFn pointCb, void* userData, int startMode, ieFeedbackFn feedbackCb,
                uintptr_t contextWord);
// ieTrackTool with the tool class's message 401 as the callbacks
// (sent to classId with word as argument c).
int ieTrackDefault(int x, int y, int startMode, uint16_t classId, uintptr_t word);
// 1 while a loop runs: its points are being entered.
int ieToolTracking();
void ieSetToolMode(uint16_t mode);
uint16_t ieToolMode();
uint32_t ieLastSnapMods();
// The buffer itself (not a copy) and its count.
void ieGetPointBuffer(ieToolPoint** buffer, int* count);
// Clears the buffer, then stores min(n, 6) points with code "n".
void ieSetPoints(int n, const double (*points)[3]);
// op 1 marks a point; op -1 unmarks the last equal one and restarts the
// input engine.
void ieMarkPoint(int op, const double point[3]);
void ieRedrawFeedback(int drawMode);
// Hands the marks and the buffer's points to a context as its entered points.
void ieSnapPointList(trackContext* context);
// The operation of aPtBufCnt: answers the count before the change; n < 0
// drops -n entries from the end (stopping at 0), n > 0 takes n more slots as
// they stand without their objects (stopping at 6); for n != 0 the new
// count is reported to "aOnState".
int iePtBufCnt(int n);
// The operation of aIEClear: answers what "aOnState" answered.
int ieClear();

// Fills the point input that the layers below reach the loop through
// (objects/uphooks.h); start-up installs it.
void ieFillPointInput(objPointInput* input);

// Registers aIEClear, aIENewTool, aIEPtSet, aIEPtGet, aPtBufCnt, aXTrack
// and aXTrackStr and the redraw hook of the feedback.
int ieToolInit();
// Empties the buffer, the saved copy and the marks and frees the kept
// procedure (tests and shut-down).
void ieToolReset();

#endif
