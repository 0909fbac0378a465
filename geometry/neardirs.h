// The directions of the curves near a point: the tracking layer offers
// them as alignment directions. For each curve near the point its unit
// tangent there and that tangent turned about the work plane's normal.
#ifndef PLUMET_GEOMETRY_NEARDIRS_H
#define PLUMET_GEOMETRY_NEARDIRS_H

#include <cstdint>

// A list of 3-D directions owned by its holder (the tracking context).
struct crvDirList {
  uint32_t count;
  uint32_t capacity;
  double (*vectors)[3];
};

// The most directions one call collects: two per curve while fewer than
// seven are stored, so at most four curves contribute.
enum { crvNearDirsMax = 8 };

// Fills the list with the directions of the curves of the current document
// within distance (world units) of the point, in the order the spatial
// index finds them: for each curve the unit tangent at its nearest point
// and the tangent crossed with the current work plane's normal. The list
// grows (to the count plus 2) when it is too small. Answers 0.
int crvNearDirs(const double* point, crvDirList* list, double distance);
// Frees the list's array and sets count and capacity to 0 (the array
// pointer null); a null list is ignored.
void crvNearDirsFree(crvDirList* list);

#endif
