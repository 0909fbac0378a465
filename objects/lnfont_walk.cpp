// The dash walker: the current pattern, its scale and phase, and the
// broken moves and draws behind vwMoveToW and vwLineToW. Lengths are in
// world units (one world unit being 1); each piece of a dash becomes a plain
// move or draw through vwSegmentW.
#include "objects/lnfont_internal.h"

#include "core/debug.h"
#include "draw/gx.h"
#include "draw/xforms.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kShortPixels = 2.0;
// A segment longer than this many patterns is drawn whole by the current
// dash: its dashes would be far below a pixel, and walking them one by one
// could take for ever.
constexpr double kMaxPatternsPerSegment = 100000.0;

lnfontRec* current;
double dashScale = 1.0;
uint32_t remaining;   // counts down from ndash; even: the current dash is drawn
double used;          // distance used of the current dash
double point[3];      // the current world point

bool drawable(const lnfontRec* p) { return p && p->ndash >= 2 && p->length > 0; }

void walker(int draw, const double* to) {
  if (draw)
    lnfontLineTo(to);
  else
    lnfontMoveTo(to);
}

// The scaled lengths, remade when the scale changed since they were made.
void rescale() {
  if (current->scale == float(dashScale)) return;
  current->scale = float(dashScale);
  for (uint32_t i = 0; i < current->ndash; ++i) current->scaled[i] = float(current->dashes[i] * dashScale);
  current->scaledLength = float(current->length * dashScale);
}

uint32_t dashIndex() { return current->ndash - remaining; }
double currentDash() { return current->scaled[dashIndex()]; }
bool drawing() { return (remaining & 1) == 0; }
void nextDash() {
  remaining = remaining <= 1 ? current->ndash : remaining - 1;
  used = 0;
}

// After a whole segment was added to the used distance: the dashes passed
// are left (whole patterns at once), and the rest is used of the dash
// reached.
void settle() {
  double rest = used - currentDash();
  if (rest < 0) return;
  rest = std::fmod(rest, double(current->scaledLength));
  nextDash();
  for (uint32_t guard = 0; rest >= currentDash() && guard <= current->ndash; ++guard) {
    rest -= currentDash();
    nextDash();
  }
  used = rest;
}

void emitAt(const double* from, const double* to, double t, int draw) {
  const double p[3] = {from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1]),
                       from[2] + t * (to[2] - from[2])};
  vwSegmentW(draw, p);
}

bool shortOnScreen(const double* from, const double* to) {
  double a[3], b[3];
  vwMapW(from, a);
  vwMapW(to, b);
  return std::fabs(b[0] - a[0]) < kShortPixels && std::fabs(b[1] - a[1]) < kShortPixels;
}

void setPoint(const double* to) {
  point[0] = to[0];
  point[1] = to[1];
  point[2] = to[2];
}

}  // namespace

void lnfontSelect(int32_t n) {
  lnfontRec* pattern = nullptr;
  lnfontPattern(n, &pattern);
  lnfontSet(pattern);
  gxSetPenStyle(n);
}

void lnfontSet(lnfontRec* pattern) {
  if (pattern && pattern->ndash % 2 != 0) {
    dbgPanic("lnfontSet: ndash must be even");
    pattern = nullptr;
  }
  current = pattern;
  dashScale = 1.0;
  if (current) remaining = current->ndash;
  used = 0;
  // A pattern of no length has no dashes to walk: it draws solid.
  vwSetDashWalker(drawable(current) ? walker : nullptr);
}

lnfontRec* lnfontCurrent() { return current; }

int lnfontScale(double length, double* old) {
  if (old) *old = dashScale;
  dashScale = length;
  return 0;
}

void lnfontSetScale(double value) { dashScale = value; }

double lnfontGetScale() { return dashScale; }

void lnfontSetPhase(double distance) {
  if (!drawable(current)) return;
  rescale();
  const double total = current->scaledLength;
  if (!(total > 0)) return;
  double at = std::fmod(distance, total);
  if (at < 0) at += total;
  uint32_t index = 0;
  while (index + 1 < current->ndash && at >= current->scaled[index]) at -= current->scaled[index++];
  remaining = current->ndash - index;
  used = at;
}

void lnfontResetPhase(int32_t code) {
  if (!current || current->ndash == 0) return;
  rescale();
  const uint32_t index = uint32_t(code >> 4 & 0x0FFFFFFF) % current->ndash;
  remaining = current->ndash - index;
  used = (code & 15) / 16.0 * current->scaled[index];
}

void lnfontGetPhase(int32_t* dash, double* usedOut) {
  if (dash) *dash = current ? int32_t(dashIndex()) : 0;
  if (usedOut) *usedOut = used;
}

void lnfontMoveTo(const double to[3]) {
  setPoint(to);
  vwSegmentW(0, to);
}

void lnfontLineTo(const double to[3]) {
  if (drawable(current)) rescale();
  if (!drawable(current) || !(current->scaledLength > 0)) {
    // No pattern, or one scaled to nothing: a plain line.
    vwSegmentW(1, to);
    setPoint(to);
    return;
  }
  const double from[3] = {point[0], point[1], point[2]};
  const double length =
      std::sqrt((to[0] - from[0]) * (to[0] - from[0]) + (to[1] - from[1]) * (to[1] - from[1]) +
                (to[2] - from[2]) * (to[2] - from[2]));
  // The whole segment lies in the current dash.
  if (currentDash() - used > length) {
    vwSegmentW(drawing(), to);
    used += length;
    setPoint(to);
    return;
  }
  // Too short on the screen to show dashes, or too long to walk: the whole
  // segment goes by the current dash and the phase moves on.
  if (shortOnScreen(from, to) || length > kMaxPatternsPerSegment * current->scaledLength) {
    vwSegmentW(drawing(), to);
    used += length;
    settle();
    setPoint(to);
    return;
  }
  double walked = currentDash() - used;
  emitAt(from, to, walked / length, drawing());
  nextDash();
  while (length - walked > currentDash()) {
    walked += currentDash();
    emitAt(from, to, walked / length, drawing());
    nextDash();
  }
  vwSegmentW(drawing(), to);
  used = length - walked;
  setPoint(to);
}

int lnfontFitScale(int32_t n, double length, int32_t start, int32_t end, double* scale) {
  *scale = 1.0;
  lnfontRec* pattern = nullptr;
  lnfontPattern(n, &pattern);
  if (n < int32_t(lnfontFirstUser) || !pattern || pattern->ndash < 2 || !(pattern->length > 0) ||
      !(pattern->length / 2 < length))
    return 0;
  // The distance into the pattern at which a phase code starts.
  auto position = [pattern](int32_t code) {
    const uint32_t index = uint32_t(code >> 4 & 0x0FFFFFFF) % pattern->ndash;
    double before = 0;
    for (uint32_t i = 0; i < index; ++i) before += pattern->dashes[i];
    return before + (code & 15) / 16.0 * pattern->dashes[index];
  };
  const double offset = position(end) - position(start), total = pattern->length;
  const double k = std::clamp(std::round((length - offset) / total), 1.0, 99.0);
  const double denominator = k * total + offset;
  if (denominator > 0) *scale = length / denominator;
  return 0;
}
