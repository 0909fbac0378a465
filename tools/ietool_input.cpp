// The tool input loop as the point input of the layers below (objects/
// uphooks.h): their callbacks see the positions of the buffer's points.
#include "tools/ietool.h"

#include "objects/uphooks.h"

#include <cstring>

static_assert(ieBufferSize <= objPointsMax, "the point input copies the whole buffer");

namespace {

struct Relay {
  objPointStep step;
  void* context;
};

void relayStep(ieToolPoint* buffer, int count, const ieToolPoint* previous, int, void* user) {
  const auto* relay = static_cast<const Relay*>(user);
  double points[ieBufferSize][3];
  for (int i = 0; i < count && i < ieBufferSize; ++i) std::memcpy(points[i], buffer[i].point, sizeof points[i]);
  relay->step(points, count, previous ? previous->point : nullptr, relay->context);
}

void track(int x, int y, objPointStep step, void* context, int startMode, void (*feedback)(int drawMode)) {
  Relay relay{step, context};
  ieTrackTool(x, y, step ? relayStep : nullptr, &relay, startMode, feedback, 0);
}

int points(double (*out)[3]) {
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  for (int i = 0; i < count; ++i) std::memcpy(out[i], buffer[i].point, sizeof out[i]);
  return count;
}

void clearPoints() { ieSetPoints(0, nullptr); }

void dropPoints(int n) { iePtBufCnt(-n); }

}  // namespace

void ieFillPointInput(objPointInput* input) {
  input->track = track;
  input->points = points;
  input->redrawFeedback = ieRedrawFeedback;
  input->clearPoints = clearPoints;
  input->dropPoints = dropPoints;
}
