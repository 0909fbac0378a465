// The acquired markers: points a tracking run has picked up (arc centres,
// snapped points) that later snaps can align to. At most eight are kept;
// arc centres are shown, XOR-drawn, while they are held.
#include "tools/track.h"

#include "draw/gx.h"
#include "geometry/marker.h"

#include <array>

namespace {

constexpr int kCenterMarker = 2;

bool allocated = false;
std::array<trackMarker, trackMarkerMax> markers;
int markerCount = 0;

}  // namespace

void trackMarkersAllocate() { allocated = true; }

void trackMarkerDraw(const trackMarker* marker) {
  if (marker && marker->kind == trackMarkerCenter) markDraw(marker->point, kCenterMarker, gxModeXor);
}

void trackMarkersRedraw() {
  for (int i = 0; i < markerCount; ++i) trackMarkerDraw(&markers[size_t(i)]);
}

void trackMarkersClear() {
  trackMarkersRedraw();
  markerCount = 0;
}

void trackMarkerAdd(const double* point, int kind) {
  if (!allocated) return;
  for (int i = 0; i < markerCount; ++i) {
    trackMarker& m = markers[size_t(i)];
    if (m.kind == kind && m.point[0] == point[0] && m.point[1] == point[1] && m.point[2] == point[2]) {
      // Already held: it becomes the newest by trading places with the
      // last one; nothing is drawn.
      std::swap(m, markers[size_t(markerCount - 1)]);
      return;
    }
  }
  if (markerCount == trackMarkerMax) {
    trackMarkerDraw(&markers[0]);
    for (int i = 1; i < markerCount; ++i) markers[size_t(i - 1)] = markers[size_t(i)];
    --markerCount;
  }
  trackMarker& added = markers[size_t(markerCount++)];
  added.kind = kind;
  for (int k = 0; k < 3; ++k) added.point[k] = point[k];
  trackMarkerDraw(&added);
}

const trackMarker* trackMarkers(int* count) {
  if (count) *count = allocated ? markerCount : 0;
  return allocated ? markers.data() : nullptr;
}
