// The tool's point buffer: its saved copy for nested tools, the marked
// points, the entered points handed to the snap engine, the tool class's
// message 401 as the loop's callbacks, and the buffer's feedback.
#include "tools/ietool.h"

#include "core/classes.h"
#include "draw/gx.h"
#include "fe/generic.h"
#include "geometry/plane.h"
#include "objects/gobject.h"
#include "objects/objmsg.h"
#include "tools/ieengine.h"
#include "tools/ietool_internal.h"
#include "tools/track.h"
#include "tools/trkpoint.h"
#include "views/wplane.h"

#include <windows.h>

#include <algorithm>

using ietool::clearEntry;
using ietool::state;

namespace {

// Message 401 to the default class: a new point (a = 0) or an update of
// the last one (a = 1, with the entry before it).
void classStep(ieToolPoint* buffer, int count, const ieToolPoint* previous, int, void*) {
  trkStepRec rec{uint32_t(count), buffer, previous, trkSharedContext()};
  objMeth(state().defaultClass, msgTrackStep, nullptr, previous ? 1 : 0, reinterpret_cast<intptr_t>(&rec),
          intptr_t(state().defaultWord));
}

// Message 401 with a = 2: the class redraws its whole feedback.
void classRedraw(int) {
  auto& s = state();
  trkStepRec rec{s.count, s.buffer, nullptr, trkSharedContext()};
  objMeth(s.defaultClass, msgTrackStep, nullptr, 2, reinterpret_cast<intptr_t>(&rec), intptr_t(s.defaultWord));
}

}  // namespace

int ieTrackDefault(int x, int y, int startMode, uint16_t classId, uintptr_t word) {
  auto& s = state();
  s.defaultClass = classId;
  s.defaultWord = word;
  return ieTrackTool(x, y, classStep, nullptr, startMode, classRedraw,
                     reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr)));
}

void ieSetToolMode(uint16_t mode) {
  auto& s = state();
  if ((mode & ieModeNested) && !s.saved) {
    s.saved = 1;
    // The copy takes over the entries' use counts.
    std::copy(s.buffer, s.buffer + ieBufferSize, s.savedBuffer);
    s.savedCount = s.count;
    s.savedFeedback = s.feedback;
    s.savedContextWord = s.contextWord;
    std::fill(s.buffer, s.buffer + ieBufferSize, ieToolPoint{});
    s.count = 0;
    s.feedback = nullptr;
    s.contextWord = 0;
  }
  s.mode = mode;
}

uint16_t ieToolMode() { return state().mode; }

uint32_t ieLastSnapMods() { return state().lastMods; }

void ieGetPointBuffer(ieToolPoint** buffer, int* count) {
  if (buffer) *buffer = state().buffer;
  if (count) *count = int(state().count);
}

void ieSetPoints(int n, const double (*points)[3]) {
  auto& s = state();
  for (ieToolPoint& entry : s.buffer) clearEntry(&entry);
  const int kept = points ? std::clamp(n, 0, int(ieBufferSize)) : 0;
  for (int i = 0; i < kept; ++i) {
    std::copy(points[i], points[i] + 3, s.buffer[i].point);
    s.buffer[i].code = 'n';
  }
  s.count = uint32_t(kept);
}

void ieMarkPoint(int op, const double point[3]) {
  auto& marks = state().marks;
  if (op == 1) {
    if (marks.size() == marks.capacity()) marks.reserve(marks.size() + 8);
    marks.push_back({{point[0], point[1], point[2]}});
  } else if (op == -1) {
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
      if (it->v[0] == point[0] && it->v[1] == point[1] && it->v[2] == point[2]) {
        marks.erase(std::next(it).base());
        ieReset();
        return;
      }
    }
  }
}

void ieRedrawFeedback(int drawMode) {
  auto& s = state();
  if (s.count == 0 || !s.feedback) return;
  struct State {
    State() { gxStatePush(); }
    ~State() { gxStatePop(); }
  } scope;
  gxSetDrawMode(drawMode);
  s.feedback(drawMode);
}

void ieSnapPointList(trackContext* context) {
  auto& s = state();
  const bool close = s.count > 1 && (s.mode & ieModeClose);
  auto& list = s.snapList;
  list.clear();
  list.reserve(s.marks.size() + s.count + 2);
  list.insert(list.end(), s.marks.begin(), s.marks.end());
  for (uint32_t i = 0; i < s.count; ++i) list.push_back({{s.buffer[i].point[0], s.buffer[i].point[1], s.buffer[i].point[2]}});
  if (close) list.push_back({{s.buffer[0].point[0], s.buffer[0].point[1], s.buffer[0].point[2]}});
  context->enteredCount = int32_t(list.size());
  context->entered = list.empty() ? nullptr : reinterpret_cast<const double (*)[3]>(list.data());
  context->planeConstrained = 0;
  context->plane = planeRec{};
  if ((s.mode & ieModePlane) && s.count > 0) {
    double normal[3];
    wpGetAxis(2, normal);
    planeFromNormal(normal, s.buffer[0].point, &context->plane);
    context->planeConstrained = 1;
  }
}

void ieToolReset() {
  auto& s = state();
  for (ieToolPoint& entry : s.buffer) clearEntry(&entry);
  for (ieToolPoint& entry : s.savedBuffer) clearEntry(&entry);
  s.count = 0;
  s.savedCount = 0;
  s.saved = 0;
  s.feedback = s.savedFeedback = nullptr;
  s.contextWord = s.savedContextWord = 0;
  s.mode = 0;
  s.lastMods = 0;
  s.defaultClass = 0;
  s.defaultWord = 0;
  s.marks.clear();
  // A context may still point at the list: it keeps its storage.
  if (s.xtrackProc.flags) feFree(&s.xtrackProc);
  s.xtrackProc = feObject{};
}
