#include "core/bbox.h"

#include "core/debug.h"
#include "core/sfloat.h"

#include <bit>

namespace {

constexpr double kEmptyMagnitude = 1e30;

// The four 16-bit words of a double, most significant first.
void doubleWords(double value, int32_t (&words)[4]) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  for (int i = 0; i < 4; ++i) words[i] = int32_t((bits >> (48 - 16 * i)) & 0xFFFF);
}

}  // namespace

int bboxOverlap(const int16_t* a, const int16_t* b) {
  for (int axis = 0; axis < 3; ++axis)
    if (a[axis] > b[axis + 3] || b[axis] > a[axis + 3]) return 0;
  return 1;
}

int bboxContains(const int16_t* outer, const int16_t* inner) {
  for (int axis = 0; axis < 3; ++axis)
    if (inner[axis] < outer[axis] || inner[axis + 3] > outer[axis + 3]) return 0;
  return 1;
}

int bboxUnion(const int16_t* box, int16_t* into) {
  int moved = 0;
  for (int axis = 0; axis < 3; ++axis) {
    if (box[axis] < into[axis]) {
      into[axis] = box[axis];
      ++moved;
    }
    if (box[axis + 3] > into[axis + 3]) {
      into[axis + 3] = box[axis + 3];
      ++moved;
    }
  }
  return moved;
}

void bboxEmpty(int16_t* box) {
  const int16_t high = int16_t(sfloatPackOne(0, kEmptyMagnitude));
  const int16_t low = int16_t(sfloatPackOne(0, -kEmptyMagnitude));
  for (int axis = 0; axis < 3; ++axis) {
    box[axis] = high;
    box[axis + 3] = low;
  }
}

int bboxValidate(int16_t* box) {
  int answer = 0;
  for (int axis = 0; axis < 3; ++axis) {
    if (box[axis] > box[axis + 3]) {
      dbgPrintf("%d: %ux %ux %ux, %ux %ux %ux\n", axis, int32_t(box[0]), int32_t(box[1]), int32_t(box[2]),
                int32_t(box[3]), int32_t(box[4]), int32_t(box[5]));
      answer = -1;
    }
  }
  if (answer) return answer;
  for (int i = 0; i < 6; ++i) {
    if (box[i] >= bboxLimit) {
      box[i] = bboxLimit;
      answer = -2;
    } else if (box[i] < -(bboxLimit - 1)) {
      box[i] = -bboxLimit;
      answer = -3;
    }
  }
  return answer;
}

int16_t* bboxFromCorners(const double* a, const double* b, int16_t* box) {
  double low[3], high[3];
  for (int axis = 0; axis < 3; ++axis) {
    low[axis] = a[axis] < b[axis] ? a[axis] : b[axis];
    high[axis] = a[axis] < b[axis] ? b[axis] : a[axis];
  }
  uint16_t codes[6];
  sfloatPack(-1, 3, low, codes);
  sfloatPack(1, 3, high, codes + 3);
  for (int i = 0; i < 6; ++i) box[i] = int16_t(codes[i]);
  if (bboxValidate(box) != 0) {
    dbgPrintf("bbox check:%3R, %3R\n", a, b);
    for (int axis = 0; axis < 3; ++axis) {
      int32_t lw[4], hw[4];
      doubleWords(low[axis], lw);
      doubleWords(high[axis], hw);
      dbgPrintf("  %d:", axis);
      dbgPrintf(" %g, %4X %4X %4X %4X,", low[axis], lw[0], lw[1], lw[2], lw[3]);
      dbgPrintf(" %g, %4X %4X %4X %4X\n", high[axis], hw[0], hw[1], hw[2], hw[3]);
    }
  }
  return box;
}
