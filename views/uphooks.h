// What the documents and views ask of the folders above them: the point
// markers of the drawing classes and the last-point register (geometry/),
// which the fold line of aUnfoldTrack shows and sets while it is tracked.
// (Its points come through the object model's point input,
// objects/uphooks.h.) Start-up sets the table (app/hooks.cpp); until then
// no mark is drawn and the register is left alone.
//
// Other calls up are declared with the module that makes them: the input
// tools' cursor mark, tracked points and feedback for view tracking
// (vwSetTrackHooks, views/vwtrack.h), the end of a command and whether the
// tool loop is entering points (vwSetCmdEndHook, vwSetPointInputHook,
// views/vwevent.h), and the tracking feedback around
// redrawing (vwSetFeedbackHook, views/redraw.h).
#ifndef PLUMET_VIEWS_UPHOOKS_H
#define PLUMET_VIEWS_UPHOOKS_H

struct vwFoldHooks {
  // A point marker of a style in a draw mode (0 draw, 1 erase, 2 XOR).
  int (*markDraw)(const double* point, int style, int mode);
  // A point marker in the current draw mode.
  int (*markDrawCur)(const double* point, int style);
  // The last-point register takes the segment a to b.
  void (*lastSegment)(const double a[3], const double b[3]);
};
// Installs the hooks (copied); an entry left null does nothing.
void vwSetFoldHooks(const vwFoldHooks& hooks);

void vwMarkDraw(const double* point, int style, int mode);
void vwMarkDrawCur(const double* point, int style);
void vwLastSegment(const double a[3], const double b[3]);

#endif
