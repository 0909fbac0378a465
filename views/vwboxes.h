// Scales and boxes shared by sheets and views: the scale queries, a sign
// with a tolerance, and the mapping of rectangles between a sheet's
// coordinates and screen boxes.
#ifndef PLUMET_VIEWS_VWBOXES_H
#define PLUMET_VIEWS_VWBOXES_H

#include <cstdint>

struct sheetRec;

// *out is 1.0 first; kind 1: the current sheet's plot scale, 3 its page
// scale, 4 its page scale over its plot scale (-206 without a current
// sheet); 2: the current view's scale (-207 without a current view); any
// other kind -1. Answers 0 when *out was set.
int vwScaleQuery(int kind, double* out);

// -1 below -1e-8, 1 above 1e-8, else 0.
int vwSignTol(double value);

// The screen box (left, top, right, bottom) of a rectangle of the sheet
// (x1, y1, x2, y2): both corners through the sheet's world-to-sheet
// matrix, ordered, each coordinate kept within -16383..32767 and rounded.
void vwViewScreenBox(const sheetRec* sheet, const double rect[4], int32_t out[4]);

// The rectangle (minimum corner first) that the corners of a screen box map
// to through matrix (a sheet's sheet-to-world matrix, 16 doubles).
void vwScreenBoxToSheet(const int32_t box[4], const double matrix[16], double out[4]);

#endif
