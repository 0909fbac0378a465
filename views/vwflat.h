// Flattening a view onto its sheet: two-dimensional copies of what a view
// shows, placed in the world of the sheet's draft view as they appear on the
// screen, and clipping a group of objects to a rectangle.
//
// The services of the curve, trim and volume classes that flattening and
// clipping need come through hooks their modules install; without them the
// parts that need them do nothing (no line sides, no pieces, no outlines).
#ifndef PLUMET_VIEWS_VWFLAT_H
#define PLUMET_VIEWS_VWFLAT_H

#include <cstdint>

struct feArgs;
struct glist;
struct gobjRec;
struct sheetRec;
struct viewRec;

// The flattening mode word: vwFlattening while a flattening copies objects,
// else 0. Object classes consult it while they copy and transform.
enum : int { vwFlattening = 3 };
int vwFlattenMode();

struct vwFlattenHooks {
  // A new line object between two points with the default style (no
  // reference held), or null.
  gobjRec* (*lineMake)(const double a[3], const double b[3]);
  // Splits a curve or wall at its intersections with the objects of count
  // groups: the pieces as a new group in *out (0), or an error.
  int (*trimSplit)(gobjRec* object, glist* const* groups, int count, glist** out);
  // The members of a volume belonging to the class named (its outline
  // curves for "curve"), as a new group in *out (0), or an error.
  int (*volumeCopyMembers)(gobjRec* volume, const char* className, glist** out);
};
// Installs the hooks (copied); null removes them all.
void vwSetFlattenHooks(const vwFlattenHooks* hooks);

// The services of the hooks: null and -1 while the hook is missing.
gobjRec* vwFlattenLine(const double a[3], const double b[3]);
int vwFlattenSplit(gobjRec* object, glist* sides, glist** out);

// The point of a curve at parameter t (message 307: a is t as a word, b the
// out point). The answer of the message.
int crvPointAt(gobjRec* curve, double t, double out[3]);

// Flattens view (null: the current view) onto the draft view of sheet
// (null: the current sheet). The draft view becomes current and every
// object of the view's model bound to no view or to this one is copied
// through the view's world-to-screen matrix followed by the draft view's
// screen-to-world matrix into a new group (scratch objects left out). Render
// modes 1 and 2 copy nothing for a perspective view and leave out surfaces
// and lights, mode 2 volumes too; mode 1 puts the outline curves of each
// volume in its place (the script procedure "aChackMakeHLRLayer" runs before
// the first one since the program started, "aSetToHLRLayer" for each with
// it the current object) and then moves every copy into the draft view's
// model. The view is then deleted from its sheet. Answers 0 with the group
// in *out (reference count 0); -1 when the view is the draft view, -2 when
// it shows the draft view's model (the view stays in both cases), -207
// without a view, -206 without a sheet or draft view.
int vwFlattenView(viewRec* view, sheetRec* sheet, glist** out);

// Clips a group to the rectangle (left, top, right, bottom; y upward): the
// sides are made as temporary lines, members that are not curves or walls
// pass unchanged, curves and walls are split at the sides and each piece
// whose points at the parameters 0.323, 0.532 and 0.677 lie within the
// rectangle grown by 0.001 is kept. Answers 0 with the new group in *out.
int vwClipCorners(glist* group, const double rect[4], glist** out);

// Forgets that the hidden-line layer was set up, and the hooks (tests).
void vwFlattenReset();

// The operators: aViewToSheet "#Q", aViewFlattenEx "Q[view]Q[sheet]#Q",
// aClipCorners "Q[group]A{4R}#Q".
int vwOpViewToSheet(feArgs* args);
int vwOpViewFlattenEx(feArgs* args);
int vwOpClipCorners(feArgs* args);

#endif
