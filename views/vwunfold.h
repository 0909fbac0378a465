// The unfold frame (the fold line's midpoint in world coordinates, its unit
// direction and the unit fold normal, left by the unfold tracking for the
// scripts) and binding objects to the current view.
#ifndef PLUMET_VIEWS_VWUNFOLD_H
#define PLUMET_VIEWS_VWUNFOLD_H

struct feArgs;

// The frame: origin and two axes, three doubles each (zeros at start).
void vwGetUnfoldFrame(double origin[3], double direction[3], double normal[3]);
void vwSetUnfoldFrame(const double origin[3], const double direction[3], const double normal[3]);

// aGetUnfoldInfo "!#A{RRR}A{RRR}A{RRR}": the frame.
int vwOpGetUnfoldInfo(feArgs* args);
// aSetCurViewIndex "!Q": the object's view index becomes the current view
// index (0 without a current view); records that are no drawing objects are
// left alone.
int vwOpSetCurViewIndex(feArgs* args);
// aUnfoldTrack "A{II}#B" (press pixel): a fold line of two points tracked
// in the current view (a press and drag, or two clicks); the view is copied
// beside itself across the line, turned a quarter turn about it, and the
// frame set to the line's midpoint, unit direction and unit normal (world
// coordinates). False without a current view or before the second point.
int vwOpUnfoldTrack(feArgs* args);

#endif
