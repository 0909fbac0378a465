// aTrackStroke: a mouse stroke tracked while the button is held, and the
// code that classifies it by where it starts and which edges of its
// shrunken box it crosses.
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "objects/scriptsvc.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

enum { kShrinkFrom = 13 };

int32_t zoneOf(const int32_t p[2], const int32_t box[4]) {
  int32_t zone = 0;
  if (p[0] < box[0]) zone += 0x0001;
  if (p[0] > box[2]) zone += 0x0100;
  if (p[1] < box[1]) zone += 0x0010;
  if (p[1] > box[3]) zone += 0x1000;
  return zone;
}

// The inverted feedback: a 2 x 2 square at every recorded position and the
// stroke's bounding rectangle, drawn and taken down by drawing again.
struct Feedback {
  bool on = gxGetWindow() != nullptr;
  bool framed = false;
  RECT frame{};
  void mark(POINT p) const {
    if (!on) return;
    RECT r{p.x - 1, p.y - 1, p.x + 1, p.y + 1};
    gxRect(gxRectInvert, &r);
  }
  void toggleFrame() const {
    if (on && framed) gxRect(gxRectFrame, &frame);
  }
  void cover(POINT p) {
    if (!on) return;
    toggleFrame();
    if (!framed) frame = RECT{p.x, p.y, p.x + 1, p.y + 1};
    frame.left = std::min<LONG>(frame.left, p.x);
    frame.top = std::min<LONG>(frame.top, p.y);
    frame.right = std::max<LONG>(frame.right, p.x + 1);
    frame.bottom = std::max<LONG>(frame.bottom, p.y + 1);
    framed = true;
    toggleFrame();
  }
};

}  // namespace

int32_t strokeClassify(const int32_t (*points)[2], int count) {
  if (count <= 0) return 0;
  int32_t box[4] = {points[0][0], points[0][1], points[0][0], points[0][1]};
  for (int i = 1; i < count; ++i) {
    box[0] = std::min(box[0], points[i][0]);
    box[1] = std::min(box[1], points[i][1]);
    box[2] = std::max(box[2], points[i][0]);
    box[3] = std::max(box[3], points[i][1]);
  }
  const int32_t w = box[2] - box[0];
  const int32_t h = box[3] - box[1];
  if (h >= kShrinkFrom && w < 3 * h) {
    box[1] += h / 3;
    box[3] -= h / 3;
  }
  if (w >= kShrinkFrom && h < 3 * w) {
    box[0] += w / 3;
    box[2] -= w / 3;
  }
  const int32_t x = points[0][0];
  const int32_t y = points[0][1];
  int32_t cell = 1;
  if (y >= box[1]) cell += 3;
  if (y > box[3]) cell += 3;
  if (x >= box[0]) cell += 1;
  if (x > box[2]) cell += 1;
  int32_t code = cell << 16;
  for (int i = 1; i < count; ++i) code += zoneOf(points[i], box) ^ zoneOf(points[i - 1], box);
  return code;
}

// "!A{II}#A{II}A{II}I": the screen point -> first position, last position,
// code.
int aTrackStrokeOp(feArgs* args) {
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  std::vector<POINT> path{POINT{start[0], start[1]}};
  gxStatePush();
  gxSetDrawMode(2);
  Feedback feedback;
  feedback.mark(path[0]);
  feedback.cover(path[0]);
  POINT mouse{};
  while (gxPollMouse(&mouse)) {
    const POINT& last = path.back();
    if (mouse.x == last.x && mouse.y == last.y) continue;
    if (path.size() >= strokeMaxPoints) continue;
    path.push_back(mouse);
    feedback.mark(mouse);
    feedback.cover(mouse);
  }
  feedback.toggleFrame();
  for (const POINT& p : path) feedback.mark(p);
  gxStatePop();

  // Classified with y up: pixel rows grow downwards.
  std::vector<int32_t> up(path.size() * 2);
  for (size_t i = 0; i < path.size(); ++i) {
    up[2 * i] = path[i].x;
    up[2 * i + 1] = -path[i].y;
  }
  auto* first = static_cast<int32_t*>(args->out[0]);
  auto* final = static_cast<int32_t*>(args->out[1]);
  first[0] = path.front().x;
  first[1] = path.front().y;
  final[0] = path.back().x;
  final[1] = path.back().y;
  *static_cast<int32_t*>(args->out[2]) =
      strokeClassify(reinterpret_cast<const int32_t(*)[2]>(up.data()), int(path.size()));
  return 0;
}
