// Transformation matrix objects for plug-ins: xfMatrix, a 4x4 transformation
// (row-major, points as columns, translation in m[3], m[7], m[11], as in
// core/matrix.h) that knows when it is exactly the identity and keeps an LU
// decomposition of itself, so that points can be carried back through the
// inverse without inverting the matrix each time; and xfMatrixStack, a stack
// of such matrices whose top is the current one.
//
// Every operation that changes m drops the LU cache and recomputes the
// identity flag (diagonal exactly 1.0, every other element exactly 0).
//
// The axis rotations follow one rule for all three axes: rotating by a about
// an axis turns the two columns of its pair (col_p, col_q), taken in cyclic
// order (y, z for x; z, x for y; x, y for z), into (c col_p - s col_q,
// c col_q + s col_p), which is m times
//   Rx(a): m[5] = m[10] = cos a, m[6] = sin a, m[9] = -sin a
//   Ry(a): m[10] = m[0] = cos a, m[8] = sin a, m[2] = -sin a
//   Rz(a): m[0] = m[5] = cos a, m[1] = sin a, m[4] = -sin a
// (the other elements those of the identity). setRotationX(a) writes the
// four elements of Rx(a), so it equals rotateX(a) applied to the identity;
// Y and Z alike. Angles are in radians.
#ifndef PLUMET_CORE_XFMATRIX_H
#define PLUMET_CORE_XFMATRIX_H

#include <cstdint>

class xfMatrix {
 public:
  // The identity.
  xfMatrix();
  xfMatrix(const xfMatrix& other);
  xfMatrix& operator=(const xfMatrix& other);
  virtual ~xfMatrix();

  // m = identity; the scale cache back to 1, the spare triple to 0, the LU
  // cache dropped.
  void setIdentity();
  // m[0], m[5], m[10] = the factors (the rest of m kept); the scale cache
  // takes their reciprocals, -1e100 for a zero factor.
  void setScale(double sx, double sy, double sz);
  void setScale(const double v[3]);
  // m[3], m[7], m[11].
  void setTranslation(double tx, double ty, double tz);
  void setTranslation(const double v[3]);
  // The upper 3x3 part = Rz(az) Ry(ay) Rx(ax) (x first); the translation
  // and the fourth row are kept.
  void setRotationXYZ(double ax, double ay, double az);
  // Only the four elements of that axis rotation are written.
  void setRotationX(double a);
  void setRotationY(double a);
  void setRotationZ(double a);
  // The axes as columns 0-2 of the upper 3x3 part and the origin as the
  // translation; the fourth row is kept.
  void setFromAxes(const double origin[3], const double x[3], const double y[3], const double z[3]);
  // Divides column j (j = 0, 1, 2) by factor j and multiplies scale cache j
  // by it. Factors of 1 and of 0 (which would fill the column with
  // infinities) are passed over.
  void divideScale(double sx, double sy, double sz);
  void divideScale(const double v[3]);
  // A translation by -t applied first: m[i][3] -= t . (m[i][0], m[i][1],
  // m[i][2]) in every row. A zero vector changes nothing.
  void subtractTranslation(double tx, double ty, double tz);
  void subtractTranslation(const double v[3]);
  // m = m R(a) with the axis rotations above; a zero angle changes nothing.
  void rotateX(double a);
  void rotateY(double a);
  void rotateZ(double a);
  // rotateX(ax), rotateY(ay), rotateZ(az) in this order.
  void rotateXYZ(double ax, double ay, double az);
  // m = m other: other's transformation is applied first, then this one's.
  void multiply(const xfMatrix& other);
  // m becomes its inverse (each column solved through the LU cache).
  // False for a singular matrix, m unchanged.
  bool invert();
  // A new matrix holding the inverse (the caller deletes it); null for a
  // singular matrix.
  xfMatrix* inverted();
  // Transposes the upper 3x3 part in place.
  void transpose3();
  // A new matrix with the upper 3x3 part transposed (the caller deletes it).
  xfMatrix* transposed() const;
  // Transforms a homogeneous 4-vector in place by the inverse. True at once
  // for the identity; the LU cache is made when it is not valid; false
  // (h unchanged) for a singular matrix.
  bool solve(double h[4]);
  // The first three elements of solve((p, 1)); false for a singular matrix
  // (the output unchanged). out may be p.
  bool inversePoint(double p[3]);
  bool inversePoint(const double p[3], double out[3]);
  // The inverse image of v minus the inverse image of the origin.
  bool inverseVector(double v[3]);
  bool inverseVector(const double v[3], double out[3]);
  // p[i] times scale cache i; always true.
  bool scalePoint(double p[3]) const;
  bool scalePoint(const double p[3], double out[3]) const;
  // p plus (m[3], m[7], m[11]); always true.
  bool translatePoint(double p[3]) const;
  bool translatePoint(const double p[3], double out[3]) const;

  const double* elements() const { return m_; }
  const double* scaleCache() const { return scale_; }
  const double* spare() const { return spare_; }
  bool isIdentity() const { return identity_ != 0; }
  bool inverseValid() const { return inverseValid_ != 0; }

 private:
  void changed();
  bool makeLU();
  void rotatePair(int p, int q, double a);
  void writeAxisRotation(int p, int q, double a);

  double m_[16];
  double scale_[3];
  double spare_[3];     // copied and reset with the object, written by nothing else
  uint8_t identity_;
  uint8_t inverseValid_;
  double lu_[16];
  int32_t pivots_[4];
  int8_t parity_;
};

// A stack of matrices; the top one is current. Every matrix operation is
// forwarded to the current matrix and, with the stack empty, does nothing
// and answers false (or null).
class xfMatrixStack {
 public:
  struct Node {
    xfMatrix* matrix;
    Node* next;
  };

  xfMatrixStack();
  xfMatrixStack(const xfMatrixStack&) = delete;
  xfMatrixStack& operator=(const xfMatrixStack&) = delete;
  // Destroys every matrix and frees every node.
  virtual ~xfMatrixStack();

  // Pushes a copy of the current matrix or, when copyFlag is 1 or the stack
  // is empty, a new identity. Answers the previous top node.
  Node* pushMatrix(int copyFlag);
  // Pushes the given matrix, taking ownership; a new identity for null.
  // Answers the previous top node.
  Node* pushMatrix(xfMatrix* matrix);
  // Destroys the top matrix and its node; nothing on an empty stack.
  void popMatrix();
  // With out given, hands the top matrix to the caller instead (null when
  // the stack is empty); with out null, popMatrix().
  void popMatrix(xfMatrix** out);
  // A new matrix equal to the current one (the identity when empty); the
  // caller deletes it.
  xfMatrix* copyCurrent() const;
  // setIdentity on the current matrix.
  void resetCurrent();

  xfMatrix* current() const { return current_; }
  Node* top() const { return top_; }
  bool empty() const { return top_ == nullptr; }

  // ---- forwarded to the current matrix ----
  void setIdentity();
  void setScale(double sx, double sy, double sz);
  void setScale(const double v[3]);
  void setTranslation(double tx, double ty, double tz);
  void setTranslation(const double v[3]);
  void setRotationXYZ(double ax, double ay, double az);
  void setRotationX(double a);
  void setRotationY(double a);
  void setRotationZ(double a);
  void setFromAxes(const double origin[3], const double x[3], const double y[3], const double z[3]);
  void divideScale(double sx, double sy, double sz);
  void divideScale(const double v[3]);
  void subtractTranslation(double tx, double ty, double tz);
  void subtractTranslation(const double v[3]);
  void rotateX(double a);
  void rotateY(double a);
  void rotateZ(double a);
  void rotateXYZ(double ax, double ay, double az);
  void multiply(const xfMatrix& other);
  bool invert();
  xfMatrix* inverted();
  void transpose3();
  xfMatrix* transposed() const;
  bool solve(double h[4]);
  bool inversePoint(double p[3]);
  bool inversePoint(const double p[3], double out[3]);
  bool inverseVector(double v[3]);
  bool inverseVector(const double v[3], double out[3]);
  bool scalePoint(double p[3]) const;
  bool scalePoint(const double p[3], double out[3]) const;
  bool translatePoint(double p[3]) const;
  bool translatePoint(const double p[3], double out[3]) const;

 private:
  Node* top_;
  xfMatrix* current_;
};

// The text the matrix code forms for a failed assertion, kept in one
// program-wide buffer: "<file>: Assert failed, <expression>:<line>".
// Answers the buffer.
const char* xfAssertText(const char* file, const char* expression, int line);

#endif
