// xfMatrix: the matrix, its identity flag, its scale cache and the LU cache
// through which points are carried back.
#include "core/xfmatrix.h"

#include "core/matrix.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The scale cache's stand-in for the reciprocal of a zero factor.
constexpr double kHugeReciprocal = -1e100;

double reciprocal(double f) { return f == 0.0 ? kHugeReciprocal : 1.0 / f; }

}  // namespace

xfMatrix::xfMatrix() { setIdentity(); }

xfMatrix::xfMatrix(const xfMatrix& other) { *this = other; }

xfMatrix& xfMatrix::operator=(const xfMatrix& other) {
  if (this == &other) return *this;
  std::memcpy(m_, other.m_, sizeof m_);
  std::memcpy(scale_, other.scale_, sizeof scale_);
  std::memcpy(spare_, other.spare_, sizeof spare_);
  identity_ = other.identity_;
  inverseValid_ = other.inverseValid_;
  std::memcpy(lu_, other.lu_, sizeof lu_);
  std::memcpy(pivots_, other.pivots_, sizeof pivots_);
  parity_ = other.parity_;
  return *this;
}

xfMatrix::~xfMatrix() = default;

void xfMatrix::changed() {
  inverseValid_ = 0;
  // By value, so a -0.0 counts as 0.
  bool same = true;
  for (int i = 0; i < 16 && same; ++i) same = m_[i] == kIdentity[i];
  identity_ = same ? 1 : 0;
}

void xfMatrix::setIdentity() {
  std::memcpy(m_, kIdentity, sizeof m_);
  for (int i = 0; i < 3; ++i) {
    scale_[i] = 1.0;
    spare_[i] = 0.0;
  }
  std::memset(lu_, 0, sizeof lu_);
  std::memset(pivots_, 0, sizeof pivots_);
  parity_ = 1;
  inverseValid_ = 0;
  identity_ = 1;
}

void xfMatrix::setScale(double sx, double sy, double sz) {
  m_[0] = sx;
  m_[5] = sy;
  m_[10] = sz;
  scale_[0] = reciprocal(sx);
  scale_[1] = reciprocal(sy);
  scale_[2] = reciprocal(sz);
  changed();
}

void xfMatrix::setScale(const double v[3]) { setScale(v[0], v[1], v[2]); }

void xfMatrix::setTranslation(double tx, double ty, double tz) {
  m_[3] = tx;
  m_[7] = ty;
  m_[11] = tz;
  changed();
}

void xfMatrix::setTranslation(const double v[3]) { setTranslation(v[0], v[1], v[2]); }

// Writes the four elements of the rotation that turns columns p and q
// (rows p and q of those columns): R[p][p] = R[q][q] = c, R[q][p] = -s,
// R[p][q] = s.
void xfMatrix::writeAxisRotation(int p, int q, double a) {
  const double c = std::cos(a), s = std::sin(a);
  m_[4 * p + p] = c;
  m_[4 * q + q] = c;
  m_[4 * q + p] = -s;
  m_[4 * p + q] = s;
  changed();
}

void xfMatrix::setRotationX(double a) { writeAxisRotation(1, 2, a); }
void xfMatrix::setRotationY(double a) { writeAxisRotation(2, 0, a); }
void xfMatrix::setRotationZ(double a) { writeAxisRotation(0, 1, a); }

void xfMatrix::setRotationXYZ(double ax, double ay, double az) {
  // The three axis rotations as whole 3x3 matrices, multiplied Rz Ry Rx.
  auto axis = [](int p, int q, double a, double r[9]) {
    for (int i = 0; i < 9; ++i) r[i] = i % 4 == 0 ? 1.0 : 0.0;
    const double c = std::cos(a), s = std::sin(a);
    r[3 * p + p] = c;
    r[3 * q + q] = c;
    r[3 * q + p] = -s;
    r[3 * p + q] = s;
  };
  auto mul = [](const double a[9], const double b[9], double out[9]) {
    double t[9];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) t[3 * i + j] = a[3 * i] * b[j] + a[3 * i + 1] * b[3 + j] + a[3 * i + 2] * b[6 + j];
    std::memcpy(out, t, sizeof t);
  };
  double rx[9], ry[9], rz[9], r[9];
  axis(1, 2, ax, rx);
  axis(2, 0, ay, ry);
  axis(0, 1, az, rz);
  mul(ry, rx, r);
  mul(rz, r, r);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[4 * i + j] = r[3 * i + j];
  changed();
}

void xfMatrix::setFromAxes(const double origin[3], const double x[3], const double y[3], const double z[3]) {
  for (int i = 0; i < 3; ++i) {
    m_[4 * i + 0] = x[i];
    m_[4 * i + 1] = y[i];
    m_[4 * i + 2] = z[i];
    m_[4 * i + 3] = origin[i];
  }
  changed();
}

void xfMatrix::divideScale(double sx, double sy, double sz) {
  const double f[3] = {sx, sy, sz};
  bool any = false;
  for (int j = 0; j < 3; ++j) {
    if (f[j] == 1.0 || f[j] == 0.0) continue;
    for (int i = 0; i < 4; ++i) m_[4 * i + j] /= f[j];
    scale_[j] *= f[j];
    any = true;
  }
  if (any) changed();
}

void xfMatrix::divideScale(const double v[3]) { divideScale(v[0], v[1], v[2]); }

void xfMatrix::subtractTranslation(double tx, double ty, double tz) {
  if (tx == 0.0 && ty == 0.0 && tz == 0.0) return;
  for (int i = 0; i < 4; ++i) {
    double* row = m_ + 4 * i;
    row[3] -= tx * row[0] + ty * row[1] + tz * row[2];
  }
  changed();
}

void xfMatrix::subtractTranslation(const double v[3]) { subtractTranslation(v[0], v[1], v[2]); }

void xfMatrix::rotatePair(int p, int q, double a) {
  if (a == 0.0) return;
  const double c = std::cos(a), s = std::sin(a);
  for (int i = 0; i < 4; ++i) {
    double* row = m_ + 4 * i;
    const double cp = row[p], cq = row[q];
    row[p] = c * cp - s * cq;
    row[q] = c * cq + s * cp;
  }
  changed();
}

void xfMatrix::rotateX(double a) { rotatePair(1, 2, a); }
void xfMatrix::rotateY(double a) { rotatePair(2, 0, a); }
void xfMatrix::rotateZ(double a) { rotatePair(0, 1, a); }

void xfMatrix::rotateXYZ(double ax, double ay, double az) {
  rotateX(ax);
  rotateY(ay);
  rotateZ(az);
}

void xfMatrix::multiply(const xfMatrix& other) {
  // out = m other, which matMulN writes as "other followed by m".
  double out[16];
  matMulN(4, other.m_, m_, out);
  std::memcpy(m_, out, sizeof m_);
  changed();
}

bool xfMatrix::makeLU() {
  if (inverseValid_) return true;
  std::memcpy(lu_, m_, sizeof lu_);
  int32_t parity = 1;
  if (matLUDecompose(lu_, 4, pivots_, &parity) != 0) return false;
  parity_ = int8_t(parity);
  inverseValid_ = 1;
  return true;
}

bool xfMatrix::solve(double h[4]) {
  if (identity_) return true;
  if (!makeLU()) return false;
  double b[4] = {h[0], h[1], h[2], h[3]};
  if (matLUSolve(lu_, 4, pivots_, b) != 0) return false;
  std::memcpy(h, b, sizeof b);
  return true;
}

bool xfMatrix::invert() {
  if (identity_) return true;
  if (!makeLU()) return false;
  double inverse[16];
  for (int j = 0; j < 4; ++j) {
    double column[4] = {0, 0, 0, 0};
    column[j] = 1.0;
    if (matLUSolve(lu_, 4, pivots_, column) != 0) return false;
    for (int i = 0; i < 4; ++i) inverse[4 * i + j] = column[i];
  }
  std::memcpy(m_, inverse, sizeof m_);
  changed();
  return true;
}

xfMatrix* xfMatrix::inverted() {
  auto* copy = new xfMatrix(*this);
  if (copy->invert()) return copy;
  delete copy;
  return nullptr;
}

void xfMatrix::transpose3() {
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) {
      const double t = m_[4 * i + j];
      m_[4 * i + j] = m_[4 * j + i];
      m_[4 * j + i] = t;
    }
  changed();
}

xfMatrix* xfMatrix::transposed() const {
  auto* copy = new xfMatrix(*this);
  copy->transpose3();
  return copy;
}

bool xfMatrix::inversePoint(const double p[3], double out[3]) {
  double h[4] = {p[0], p[1], p[2], 1.0};
  if (!solve(h)) return false;
  out[0] = h[0];
  out[1] = h[1];
  out[2] = h[2];
  return true;
}

bool xfMatrix::inversePoint(double p[3]) { return inversePoint(p, p); }

bool xfMatrix::inverseVector(const double v[3], double out[3]) {
  double image[3], origin[3] = {0, 0, 0};
  if (!inversePoint(v, image) || !inversePoint(origin)) return false;
  for (int i = 0; i < 3; ++i) out[i] = image[i] - origin[i];
  return true;
}

bool xfMatrix::inverseVector(double v[3]) { return inverseVector(v, v); }

bool xfMatrix::scalePoint(const double p[3], double out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = p[i] * scale_[i];
  return true;
}

bool xfMatrix::scalePoint(double p[3]) const { return scalePoint(p, p); }

bool xfMatrix::translatePoint(const double p[3], double out[3]) const {
  out[0] = p[0] + m_[3];
  out[1] = p[1] + m_[7];
  out[2] = p[2] + m_[11];
  return true;
}

bool xfMatrix::translatePoint(double p[3]) const { return translatePoint(p, p); }

namespace {
char assertText[512];
}

const char* xfAssertText(const char* file, const char* expression, int line) {
  std::snprintf(assertText, sizeof assertText, "%s: Assert failed, %s:%d", file ? file : "",
                expression ? expression : "", line);
  return assertText;
}
