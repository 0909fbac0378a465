// The view-control ball: a virtual sphere in a small rectangle on which the
// user turns the current view's direction, and the work-plane axis icon.
#include "views/vwtrack.h"

#include "core/matrix.h"
#include "core/sfloat.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRingRadius = 0.15;
constexpr int kRingPoints = 8;

double length3(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

bool normalise(double v[3]) {
  const double n = length3(v);
  if (!(n > 1e-12) || !std::isfinite(n)) return false;
  for (int k = 0; k < 3; ++k) v[k] /= n;
  return true;
}

void cross(const double a[3], const double b[3], double out[3]) {
  const double r[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  std::memcpy(out, r, sizeof r);
}

// 3x3 matrices (row-major, applied to column vectors) inside 4x4 ones.
void identity4(double m[16]) { aMatrix(4, m); }

// The view's screen axes as the rows of a rotation: right, down (the
// opposite of up) and the normal; world directions to screen directions.
void viewAxes(const viewRec* view, double m[16]) {
  identity4(m);
  double normal[3], up[3], right[3];
  std::memcpy(normal, view->states[0].normal, sizeof normal);
  std::memcpy(up, view->states[0].up, sizeof up);
  if (!normalise(normal)) normal[0] = 0, normal[1] = 0, normal[2] = 1;
  cross(up, normal, right);
  if (!normalise(right)) right[0] = 1, right[1] = 0, right[2] = 0;
  cross(normal, right, up);
  for (int k = 0; k < 3; ++k) {
    m[k] = right[k];
    m[4 + k] = -up[k];
    m[8 + k] = normal[k];
  }
}

void apply3(const double m[16], const double v[3], double out[3]) {
  double r[3];
  for (int k = 0; k < 3; ++k) r[k] = m[4 * k] * v[0] + m[4 * k + 1] * v[1] + m[4 * k + 2] * v[2];
  std::memcpy(out, r, sizeof r);
}

// The transpose of the rotation part applied (the inverse of a rotation).
void applyInverse3(const double m[16], const double v[3], double out[3]) {
  double r[3];
  for (int k = 0; k < 3; ++k) r[k] = m[k] * v[0] + m[4 + k] * v[1] + m[8 + k] * v[2];
  std::memcpy(out, r, sizeof r);
}

// The rectangle inset by 7, taken relative to its origin: the point's
// offset from the inset rectangle's corner and its size.
struct ballFrame {
  double left, top, w, h;
};
ballFrame frameOf(const int32_t rect[4]) {
  return ballFrame{double(rect[0] + 7), double(rect[1] + 7), double(rect[2] - rect[0] - 14),
                   double(rect[3] - rect[1] - 14)};
}

bool insideBall(const ballFrame& f, POINT p) {
  const double x = 2 * (p.x - f.left) - f.w, y = 2 * (p.y - f.top) - f.h;
  return x * x + y * y <= f.w * f.h;
}

// Modifier bits of the ball's axis locks: Shift 1, Control 2, Alt 8.
uint32_t lockBits() {
  uint32_t bits = 0;
  if (GetKeyState(VK_SHIFT) < 0) bits |= 1;
  if (GetKeyState(VK_CONTROL) < 0) bits |= 2;
  if (GetKeyState(VK_MENU) < 0) bits |= 8;
  return bits;
}

// The middle of the model's extents in depth: the view's centre moves
// there (along the line of sight, the picture stays).
void centreInDepth(viewRec* view) {
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  int16_t packed[6];
  if (!sieve || sieveExtent(sieve, packed, 0) != 0) return;
  double world[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(packed), world);
  vwRebuildMatrices(view);
  double lo = 1e300, hi = -1e300;
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {world[corner & 1 ? 3 : 0], world[corner & 2 ? 4 : 1], world[corner & 4 ? 5 : 2]};
    double s[3];
    aPtTransform(3, p, view->worldToScreen, s);
    lo = std::min(lo, s[2]);
    hi = std::max(hi, s[2]);
  }
  double centre[3];
  aPtTransform(3, view->states[0].centre, view->worldToScreen, centre);
  const double middle = (lo + hi) / 2;
  if (!std::isfinite(middle) || std::fabs(centre[2] - middle) < 1e-12) return;
  centre[2] = middle;
  double moved[3];
  aPtTransform(3, centre, view->screenToWorld, moved);
  if (!std::isfinite(moved[0]) || !std::isfinite(moved[1]) || !std::isfinite(moved[2])) return;
  std::memcpy(view->states[0].centre, moved, sizeof moved);
  view->flags |= viewChanged;
  vwRebuildMatrices(view);
}

// The preview: the view drawn through its world-to-screen matrix turned by
// the ball's rotation (relative to where it started) about its centre.
void preview(viewRec* view, const double start[16], const double rotation[16]) {
  if (!view->sheet || !sheetHwnd(view->sheet)) return;
  // World turn: the inverse of start's axes after the rotation.
  double turn[16];
  identity4(turn);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      double sum = 0;
      for (int k = 0; k < 3; ++k) sum += start[4 * k + r] * rotation[4 * k + c];
      turn[4 * r + c] = sum;
    }
  const double* c = view->states[0].centre;
  double toOrigin[16], back[16], m[16], t[16];
  identity4(toOrigin);
  identity4(back);
  for (int k = 0; k < 3; ++k) {
    toOrigin[4 * k + 3] = -c[k];
    back[4 * k + 3] = c[k];
  }
  matMulN(4, toOrigin, turn, t);
  matMulN(4, t, back, m);
  xform4 savedTo, savedFrom;
  std::memcpy(savedTo, view->worldToScreen, sizeof savedTo);
  std::memcpy(savedFrom, view->screenToWorld, sizeof savedFrom);
  matMulN(4, m, savedTo, view->worldToScreen);
  if (matInvert(4, view->worldToScreen, view->screenToWorld, 0) != 0)
    std::memcpy(view->screenToWorld, savedFrom, sizeof savedFrom);
  ++view->stamp;
  gxStatePush();
  gxClipPush();
  gxSetDrawMode(2);
  vwErase(view);
  vwDrawAxisIcon(view);
  vwDrawView(view, 30);
  gxClipPop();
  gxStatePop();
  std::memcpy(view->worldToScreen, savedTo, sizeof savedTo);
  std::memcpy(view->screenToWorld, savedFrom, sizeof savedFrom);
  ++view->stamp;
}

// One ring of the widget: 8 points at the odd sixteenths of a turn on a
// circle of radius 0.15 about the axis, on the unit sphere, closed.
void ringPoints(int axis, double out[kRingPoints + 1][3]) {
  const double height = std::cos(std::asin(kRingRadius));
  for (int i = 0; i <= kRingPoints; ++i) {
    const double angle = 2 * kPi * (2 * (i % kRingPoints) + 1) / 16.0;
    const double a = kRingRadius * std::cos(angle), b = kRingRadius * std::sin(angle);
    double p[3];
    p[axis] = height;
    p[(axis + 1) % 3] = a;
    p[(axis + 2) % 3] = b;
    std::memcpy(out[i], p, sizeof p);
  }
}

}  // namespace

void vwBallVector(double x, double y, double w, double h, double out[3]) {
  const double px = 2 * x - w, py = 2 * y - h;
  out[0] = px;
  out[1] = py;
  out[2] = std::sqrt(std::max(0.0, (h - 2) * (w - 2) - px * px - py * py));
  if (!normalise(out)) out[0] = 0, out[1] = 0, out[2] = 1;
}

void vwBallStep(const double from[3], const double to[3], uint32_t modifiers, double out[16]) {
  identity4(out);
  double a[3], b[3];
  std::memcpy(a, from, sizeof a);
  std::memcpy(b, to, sizeof b);
  const int locked = (modifiers & 1) ? 1 : (modifiers & 2) ? 0 : (modifiers & 8) ? 2 : -1;
  if (locked >= 0) a[locked] = b[locked] = 0;
  if (!normalise(a) || !normalise(b)) return;
  double axis[3];
  cross(a, b, axis);
  double sine = length3(axis);
  const double cosine = std::max(-1.0, std::min(1.0, a[0] * b[0] + a[1] * b[1] + a[2] * b[2]));
  if (sine < 0.01) {
    const double z[3] = {0, 0, 1};
    cross(b, z, axis);
  }
  // A zero axis (the vectors on the line of sight) turns nothing.
  if (!normalise(axis)) return;
  const double angle = std::atan2(sine, cosine);
  if (!(angle > 0)) return;
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  const double x = axis[0], y = axis[1], z = axis[2];
  const double r[9] = {t * x * x + c,     t * x * y - s * z, t * x * z + s * y,  //
                       t * x * y + s * z, t * y * y + c,     t * y * z - s * x,  //
                       t * x * z - s * y, t * y * z + s * x, t * z * z + c};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[4 * i + j] = r[3 * i + j];
}

void vwViewControlDraw(const int32_t rect[4]) {
  RECT whole{rect[0], rect[1], rect[2], rect[3]};
  gxStatePush();
  gxSetDrawMode(0);
  gxFillRect(&whole, 2);
  RECT disc = whole;
  gxInsetRect(&disc, 2, 2);
  gxCircle(6, &disc, 0);
  gxCircle(2, &disc, 0);
  RECT ball = disc;
  gxInsetRect(&ball, 5, 5);
  const double cx = (ball.left + ball.right) / 2.0, cy = (ball.top + ball.bottom) / 2.0;
  const double radius = (ball.right - ball.left) / 2.0;
  double axes[16];
  if (const viewRec* view = vwCurView())
    viewAxes(view, axes);
  else
    identity4(axes);
  // The rings are built once.
  static double rings[3][kRingPoints + 1][3];
  static bool built = false;
  if (!built) {
    for (int axis = 0; axis < 3; ++axis) ringPoints(axis, rings[axis]);
    built = true;
  }
  gxSetColor(1);
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i <= kRingPoints; ++i) {
      double s[3];
      apply3(axes, rings[axis][i], s);
      double x = cx + s[0] * radius, y = cy + s[1] * radius;
      // Points facing away are mirrored through the centre.
      if (s[2] < 0) x = 2 * ((whole.left + whole.right) / 2.0) - x, y = 2 * ((whole.top + whole.bottom) / 2.0) - y;
      const int32_t px = int32_t(std::lround(x)), py = int32_t(std::lround(y));
      if (i == 0)
        gxMoveTo(px, py);
      else
        gxLineTo(px, py);
    }
  }
  gxStatePop();
}

int vwViewControlTrack(POINT start, const int32_t rect[4]) {
  viewRec* view = vwCurView();
  if (!view) return vwErrNoCurView;
  centreInDepth(view);
  const ballFrame f = frameOf(rect);
  if (!insideBall(f, start)) return vwErrOutOfRange;
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  const HWND savedWindow = gxSetWindow(window ? window : gxGetWindow());
  double startAxes[16], rotation[16];
  viewAxes(view, startAxes);
  std::memcpy(rotation, startAxes, sizeof rotation);
  double previous[3];
  vwBallVector(start.x - f.left, start.y - f.top, f.w, f.h, previous);
  POINT last = start, p{};
  while (gxPollMouse(&p)) {
    if (p.x == last.x && p.y == last.y) continue;
    last = p;
    double next[3], step[16];
    vwBallVector(p.x - f.left, p.y - f.top, f.w, f.h, next);
    vwBallStep(previous, next, lockBits(), step);
    matMulN(4, rotation, step, rotation);
    std::memcpy(previous, next, sizeof previous);
    vwViewControlDraw(rect);
    preview(view, startAxes, rotation);
  }
  gxSetWindow(savedWindow);
  const double e3[3] = {0, 0, 1}, down[3] = {0, -1, 0};
  double normal[3], up[3];
  applyInverse3(rotation, e3, normal);
  applyInverse3(rotation, down, up);
  return vwSetDirection(view, nullptr, normal, up, 1);
}

namespace {

// The axis icon: pen 0 moves, 1 draws, a negative pen ends; work-plane
// units.
struct iconStep {
  int pen;
  double x, y, z;
};
constexpr iconStep kAxisIcon[] = {{0, 2, 3, 0}, {1, 0, 4, 0}, {1, 0, 0, 0}, {1, 0, 0, 2},
                                  {0, 0, 0, 0}, {1, 8, 0, 0}, {1, 4, 2, 0}, {-1, 0, 0, 0}};

}  // namespace

void vwDrawAxisIcon(viewRec* view) {
  if (!view) return;
  const double scale = vwCurScale();
  if (!(scale > 0)) return;
  const double unit = 6 / scale;
  double axes[3][3];
  for (int k = 0; k < 3; ++k) wpGetAxis(k, axes[k]);
  const double origin[3] = {0, 0, 0};
  double base[3];
  vwWorldToScreen(origin, base);
  int8_t offsets[8][2];
  int count = 0;
  int32_t minX = 127, minY = 127;
  for (const iconStep& step : kAxisIcon) {
    if (step.pen < 0) break;
    double world[3];
    for (int k = 0; k < 3; ++k)
      world[k] = unit * (step.x * axes[0][k] + step.y * axes[1][k] + step.z * axes[2][k]);
    double screen[3];
    vwWorldToScreen(world, screen);
    const long dx = std::lround(screen[0] - base[0]), dy = std::lround(screen[1] - base[1]);
    offsets[count][0] = int8_t(std::max(-128L, std::min(127L, dx)));
    offsets[count][1] = int8_t(std::max(-128L, std::min(127L, dy)));
    minX = std::min<int32_t>(minX, offsets[count][0]);
    minY = std::min<int32_t>(minY, offsets[count][1]);
    ++count;
  }
  const int32_t left = view->screenBox[0] + 6 - minX, top = view->screenBox[1] + 6 - minY;
  for (int i = 0; i < count; ++i) {
    const int32_t x = left + offsets[i][0], y = top + offsets[i][1];
    if (kAxisIcon[i].pen == 0)
      gxMoveTo(x, y);
    else
      gxLineTo(x, y);
  }
}

int vwOpViewControlDraw(feArgs* args) {
  vwViewControlDraw(static_cast<const int32_t*>(args->in[0].block));
  return 0;
}

int vwOpViewControlTrack(feArgs* args) {
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  return vwViewControlTrack(POINT{start[0], start[1]}, static_cast<const int32_t*>(args->in[1].block));
}
