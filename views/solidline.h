// One line between two world points in the current view, as tools draw
// their feedback: line font 1 and pen 0. Offered to plug-ins, hence the C
// linkage.
#ifndef PLUMET_VIEWS_SOLIDLINE_H
#define PLUMET_VIEWS_SOLIDLINE_H

#ifdef __cplusplus
extern "C" {
#endif

// Selects line font 1 and pen 0, then moves to p and draws to q through
// vwMoveToW and vwLineToW. The font and the pen stay selected.
void drawSolidLineW(const double p[3], const double q[3]);

#ifdef __cplusplus
}
#endif

#endif
