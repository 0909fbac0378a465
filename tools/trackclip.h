// Cutting unbounded lines to the screen: where a line through a point meets
// the box that tracking feedback and construction lines are drawn in.
#ifndef PLUMET_TOOLS_TRACKCLIP_H
#define PLUMET_TOOLS_TRACKCLIP_H

// The parameters t0 <= t1 at which the line point + t direction enters and
// leaves the screen box: point and direction are taken to screen space
// through the current view; the box is 0..2048 in x and y, widened, when
// usePlotBox is set and there is a current sheet, to hold the screen
// corners of the sheet's plot bounds. x and y bound t where the screen
// direction has a component above 1e-99 in size; a line seen end-on
// (neither) is bounded along z by +-(the point's largest distance from a
// box side) / z. A limit nothing bounds is -1e99 or 1e99. Answers 0.
int trackClipLine(const double* point, const double* direction, int usePlotBox, double* t0, double* t1);

// Start-up: makes trackClipLine the cutter of construction lines
// (geometry/line.h).
void trackClipInit();

#endif
