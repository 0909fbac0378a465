// xfMatrixStack: nodes are plain allocator blocks, matrices are objects;
// every matrix operation goes to the current (top) matrix.
#include "core/xfmatrix.h"

#include "core/alloc.h"

xfMatrixStack::xfMatrixStack() : top_(nullptr), current_(nullptr) {}

xfMatrixStack::~xfMatrixStack() {
  while (top_) popMatrix();
}

xfMatrixStack::Node* xfMatrixStack::pushMatrix(xfMatrix* matrix) {
  if (!matrix) matrix = new xfMatrix();
  Node* node = nullptr;
  uAlloc(&node, nullptr, 1, sizeof(Node));
  node->matrix = matrix;
  node->next = top_;
  Node* previous = top_;
  top_ = node;
  current_ = matrix;
  return previous;
}

xfMatrixStack::Node* xfMatrixStack::pushMatrix(int copyFlag) {
  // Flag 1 asks for a fresh identity; any other flag copies the current one.
  if (copyFlag == 1 || !current_) return pushMatrix(static_cast<xfMatrix*>(nullptr));
  return pushMatrix(new xfMatrix(*current_));
}

void xfMatrixStack::popMatrix(xfMatrix** out) {
  if (out) *out = nullptr;
  if (!top_) return;
  Node* node = top_;
  top_ = node->next;
  current_ = top_ ? top_->matrix : nullptr;
  if (out)
    *out = node->matrix;
  else
    delete node->matrix;
  uFree(&node);
}

void xfMatrixStack::popMatrix() { popMatrix(nullptr); }

xfMatrix* xfMatrixStack::copyCurrent() const { return current_ ? new xfMatrix(*current_) : new xfMatrix(); }

void xfMatrixStack::resetCurrent() {
  if (current_) current_->setIdentity();
}

// ---- forwarding ----------------------------------------------------------

void xfMatrixStack::setIdentity() {
  if (current_) current_->setIdentity();
}
void xfMatrixStack::setScale(double sx, double sy, double sz) {
  if (current_) current_->setScale(sx, sy, sz);
}
void xfMatrixStack::setScale(const double v[3]) {
  if (current_) current_->setScale(v);
}
void xfMatrixStack::setTranslation(double tx, double ty, double tz) {
  if (current_) current_->setTranslation(tx, ty, tz);
}
void xfMatrixStack::setTranslation(const double v[3]) {
  if (current_) current_->setTranslation(v);
}
void xfMatrixStack::setRotationXYZ(double ax, double ay, double az) {
  if (current_) current_->setRotationXYZ(ax, ay, az);
}
void xfMatrixStack::setRotationX(double a) {
  if (current_) current_->setRotationX(a);
}
void xfMatrixStack::setRotationY(double a) {
  if (current_) current_->setRotationY(a);
}
void xfMatrixStack::setRotationZ(double a) {
  if (current_) current_->setRotationZ(a);
}
void xfMatrixStack::setFromAxes(const double origin[3], const double x[3], const double y[3], const double z[3]) {
  if (current_) current_->setFromAxes(origin, x, y, z);
}
void xfMatrixStack::divideScale(double sx, double sy, double sz) {
  if (current_) current_->divideScale(sx, sy, sz);
}
void xfMatrixStack::divideScale(const double v[3]) {
  if (current_) current_->divideScale(v);
}
void xfMatrixStack::subtractTranslation(double tx, double ty, double tz) {
  if (current_) current_->subtractTranslation(tx, ty, tz);
}
void xfMatrixStack::subtractTranslation(const double v[3]) {
  if (current_) current_->subtractTranslation(v);
}
void xfMatrixStack::rotateX(double a) {
  if (current_) current_->rotateX(a);
}
void xfMatrixStack::rotateY(double a) {
  if (current_) current_->rotateY(a);
}
void xfMatrixStack::rotateZ(double a) {
  if (current_) current_->rotateZ(a);
}
void xfMatrixStack::rotateXYZ(double ax, double ay, double az) {
  if (current_) current_->rotateXYZ(ax, ay, az);
}
void xfMatrixStack::multiply(const xfMatrix& other) {
  if (current_) current_->multiply(other);
}
bool xfMatrixStack::invert() { return current_ && current_->invert(); }
xfMatrix* xfMatrixStack::inverted() { return current_ ? current_->inverted() : nullptr; }
void xfMatrixStack::transpose3() {
  if (current_) current_->transpose3();
}
xfMatrix* xfMatrixStack::transposed() const { return current_ ? current_->transposed() : nullptr; }
bool xfMatrixStack::solve(double h[4]) { return current_ && current_->solve(h); }
bool xfMatrixStack::inversePoint(double p[3]) { return current_ && current_->inversePoint(p); }
bool xfMatrixStack::inversePoint(const double p[3], double out[3]) {
  return current_ && current_->inversePoint(p, out);
}
bool xfMatrixStack::inverseVector(double v[3]) { return current_ && current_->inverseVector(v); }
bool xfMatrixStack::inverseVector(const double v[3], double out[3]) {
  return current_ && current_->inverseVector(v, out);
}
bool xfMatrixStack::scalePoint(double p[3]) const { return current_ && current_->scalePoint(p); }
bool xfMatrixStack::scalePoint(const double p[3], double out[3]) const {
  return current_ && current_->scalePoint(p, out);
}
bool xfMatrixStack::translatePoint(double p[3]) const { return current_ && current_->translatePoint(p); }
bool xfMatrixStack::translatePoint(const double p[3], double out[3]) const {
  return current_ && current_->translatePoint(p, out);
}
