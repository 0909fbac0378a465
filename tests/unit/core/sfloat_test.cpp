#include "core/bbox.h"
#include "core/debug.h"
#include "core/sfloat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(Sfloat, PackTable) {
  struct Case {
    double value;
    int32_t direction;
    uint16_t code;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {1.0, -1, 0x3F80},   {1.0, 0, 0x3F80},    {1.0, 1, 0x3F80},
      {10.0, 0, 0x4120},   {-1.0, 0, 0xC07F},
      {1.1, -1, 0x3F8C},   {1.1, 0, 0x3F8C},    {1.1, 1, 0x3F8D},
      {-1.1, -1, 0xC072},  {-1.1, 1, 0xC073},   {-1.1, 0, 0xC073},
      {1e39, 0, 0x7FFF},   {-1e39, 1, 0x8000},  {inf, 0, 0x7FFF}, {-inf, 0, 0x8000},
      {0.0, 1, 0x0080},    {0.0, 0, 0x0000},    {0.0, -1, 0x0000},
      {-0.0, 0, 0xFF7F},   {-0.0, -1, 0xFF7F},  {-0.0, 1, 0x0000},
      {1e-40, 1, 0x0080},  {-1e-40, -1, 0xFF7F},
      // Below the smallest normal single everything is tiny, so that codes
      // keep the numbers' order there too.
      {6e-39, 0, 0x0000},  {6e-39, 1, 0x0080},  {-6e-39, 0, 0xFF7F}, {1.1754943508222875e-38, 0, 0x0080},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sfloatPackOne(c.direction, c.value), c.code) << c.value << " dir " << c.direction;
  }
  // A NaN lies beyond every number.
  EXPECT_EQ(sfloatPackOne(0, std::numeric_limits<double>::quiet_NaN()), 0x7FFF);
}

TEST(Sfloat, UnpackTableAndOverflowCodesAreInfinities) {
  EXPECT_EQ(sfloatUnpackOne(0x3F80), 1.0);
  EXPECT_EQ(sfloatUnpackOne(0xC07F), -1.0);
  EXPECT_EQ(sfloatUnpackOne(0x3F8C), 1.09375);
  EXPECT_EQ(sfloatUnpackOne(0xC072), -1.1015625);
  EXPECT_EQ(sfloatUnpackOne(0x0080), std::ldexp(1.0, -126));
  EXPECT_TRUE(std::signbit(sfloatUnpackOne(0xFFFF)));
  EXPECT_EQ(sfloatUnpackOne(0x7FFF), std::numeric_limits<double>::infinity());
  EXPECT_EQ(sfloatUnpackOne(0x8000), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(sfloatUnpackOne(0x7FC0), std::numeric_limits<double>::infinity());
  // Arrays: n <= 0 touches nothing.
  const uint16_t codes[2] = {0x3F80, 0x4120};
  double out[2] = {7, 7};
  sfloatUnpack(0, codes, out);
  EXPECT_EQ(out[0], 7);
  sfloatUnpack(2, codes, out);
  EXPECT_EQ(out[1], 10.0);
}

// Codes keep the numbers' order as signed integers, and a value packed down
// and up brackets the number it stands for.
TEST(Sfloat, CodesKeepOrderAndDirectionsBracketTheValue) {
  std::mt19937_64 random(1693);
  std::vector<double> values = {0.0, -0.0, 1e-45, -1e-45, 1e-38, -1e-38, 1.0, -1.0, 3e38, -3e38, 1e39, -1e39};
  std::uniform_real_distribution<double> exponent(-140, 140);
  for (int i = 0; i < 4000; ++i) {
    const double v = std::pow(2.0, exponent(random)) * (i % 2 ? -1 : 1);
    values.push_back(v);
  }
  for (double v : values) {
    const int16_t down = int16_t(sfloatPackOne(-1, v));
    const int16_t up = int16_t(sfloatPackOne(1, v));
    EXPECT_LE(down, up) << v;
    if (std::fabs(v) > std::numeric_limits<float>::max()) continue;  // overflow codes, either direction
    EXPECT_LE(sfloatUnpackOne(uint16_t(down)), v) << v;
    EXPECT_GE(sfloatUnpackOne(uint16_t(up)), v) << v;
  }
  std::sort(values.begin(), values.end());
  for (int direction = -1; direction <= 1; ++direction)
    for (size_t i = 1; i < values.size(); ++i)
      EXPECT_LE(int16_t(sfloatPackOne(direction, values[i - 1])), int16_t(sfloatPackOne(direction, values[i])))
          << values[i - 1] << " " << values[i] << " dir " << direction;
}

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

class Boxes : public ::testing::Test {
protected:
  void SetUp() override {
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
  }
  void TearDown() override { dbgSetLogHook(nullptr, nullptr); }
  static void box(const double (&a)[3], const double (&b)[3], int16_t* out) { bboxFromCorners(a, b, out); }
};

TEST_F(Boxes, OverlapContainAndUnion) {
  bbox a, b, c;
  box({0, 0, 0}, {1, 1, 1}, a);
  box({1, 0, 0}, {2, 1, 1}, b);  // touches a at one face
  box({3, 3, 3}, {4, 4, 4}, c);
  EXPECT_EQ(bboxOverlap(a, b), 1);
  EXPECT_EQ(bboxOverlap(b, a), 1);
  EXPECT_EQ(bboxOverlap(a, c), 0);
  EXPECT_EQ(bboxContains(a, a), 1);
  EXPECT_EQ(bboxContains(a, b), 0);

  bbox all;
  bboxEmpty(all);
  EXPECT_EQ(bboxOverlap(all, a), 0);  // the empty box meets nothing
  EXPECT_EQ(bboxUnion(a, all), 6);
  EXPECT_EQ(bboxUnion(b, all), 1);  // only the maximum x moves
  EXPECT_EQ(bboxUnion(a, all), 0);
  EXPECT_EQ(bboxContains(all, a), 1);
  EXPECT_EQ(bboxContains(all, b), 1);
  EXPECT_EQ(bboxContains(all, c), 0);
}

TEST_F(Boxes, CornersRoundOutwardInAnyOrder) {
  bbox out;
  box({1.1, -1.1, 5}, {-2.5, 3.3, 5}, out);
  double values[6];
  uint16_t codes[6];
  for (int i = 0; i < 6; ++i) codes[i] = uint16_t(out[i]);
  sfloatUnpack(6, codes, values);
  EXPECT_LE(values[0], -2.5);
  EXPECT_LE(values[1], -1.1);
  EXPECT_EQ(values[2], 5.0);
  EXPECT_GE(values[3], 1.1);
  EXPECT_GE(values[4], 3.3);
  EXPECT_EQ(values[5], 5.0);
  EXPECT_EQ(logText, "");
}

TEST_F(Boxes, ValidationClampsAndReportsInvertedBoxes) {
  bbox out;
  box({0, 0, 0}, {1e38, 1, 1}, out);  // codes from 32000 up stand for about 1e37 and more
  EXPECT_EQ(out[3], bboxLimit);
  EXPECT_NE(logText.find("bbox check:"), std::string::npos) << logText;
  EXPECT_NE(logText.find("  0:"), std::string::npos) << logText;

  struct Case {
    bbox in;
    int answer;
    bbox after;
  } cases[] = {
      {{0, 0, 0, 10, 10, 10}, 0, {0, 0, 0, 10, 10, 10}},
      {{0, 0, 0, 32000, 10, 10}, -2, {0, 0, 0, 32000, 10, 10}},
      {{-32768, 0, 0, 32767, 10, 10}, -2, {-32000, 0, 0, 32000, 10, 10}},
      {{0, -31999, -32001, 10, 10, 10}, -3, {0, -31999, -32000, 10, 10, 10}},
      {{0, 0, 0, 10, 10, 32100}, -2, {0, 0, 0, 10, 10, 32000}},
      {{5, 0, 0, 4, 10, 32100}, -1, {5, 0, 0, 4, 10, 32100}},  // inverted: left alone
  };
  for (Case& c : cases) {
    logText.clear();
    EXPECT_EQ(bboxValidate(c.in), c.answer);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(c.in[i], c.after[i]) << i;
    EXPECT_EQ(logText.empty(), c.answer != -1) << logText;
  }
}

}  // namespace
