// Units as data: the unit table and its names, steps and decimals, numbers,
// lengths and angles as text, and the "units" image block.
#include "core/alloc.h"
#include "core/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The table start-up makes without an image, plus feet when asked.
class Units : public ::testing::Test {
protected:
  void SetUp() override {
    unitResetForTests();
    unitDefine("inch inches \"", -1, 1.0, 25.4);
    unitDefine("millimeter millimeters mm", -1, 1 / 25.4, 1.0);
  }
  void TearDown() override { unitResetForTests(); }

  static int32_t defineFeet() { return unitDefine("foot feet '", -1, 12.0, 304.8); }

  static std::string value(double v, int32_t dimension = 1, int32_t precision = unitPrecCurrent,
                           const char* names = nullptr, int32_t flags = -1) {
    char out[256];
    const int32_t n = unitFormatValue(v, dimension, sizeof out, out, precision, names, flags);
    EXPECT_EQ(size_t(n), std::strlen(out));
    return out;
  }
  static std::string angle(double turns, int32_t mode) {
    char out[64];
    unitFormatAngle(turns, sizeof out, out, mode);
    return out;
  }
  static void setRecord(uint16_t flags, double step) {
    unitCurrent()->flags = flags;
    unitSetStep(unitCurrent(), step, false);
  }
};

const std::string deg(1, char(176));

TEST_F(Units, NamesAreFoundCaseBlindAndWhole) {
  EXPECT_EQ(unitFindName("INCHES", 6), 0);
  EXPECT_EQ(unitFindName("mm", 2), 1);
  EXPECT_EQ(unitFindName("\"", 1), 0);
  EXPECT_EQ(unitFindName("inc", 3), -1);
  EXPECT_EQ(unitFindName("mmx", 2), 1);  // by length
  EXPECT_EQ(unitFindName("", 0), -1);
  int32_t list[unitListMax + 1];
  EXPECT_EQ(unitParseList("  furlong mm  inch ", 19, list, unitListMax), 2);
  EXPECT_EQ(list[0], 1);
  EXPECT_EQ(list[1], 0);
  EXPECT_EQ(list[2], -1);
  EXPECT_EQ(unitParseList("mm mm mm mm mm", 14, list, unitListMax), 3);
  EXPECT_EQ(list[3], -1);
}

TEST_F(Units, DefiningAgainReplacesTheSizes) {
  const int32_t feet = defineFeet();
  EXPECT_EQ(feet, 2);
  EXPECT_STREQ(unitAt(feet)->abbrev, "'");
  EXPECT_EQ(unitDefine("FOOT FEET '", -1, 13.0, 330.2), feet);
  EXPECT_EQ(unitCount(), 3);
  EXPECT_EQ(unitAt(feet)->inchSize, 13.0);
  // The internal unit picks the size.
  EXPECT_EQ(unitSize(1), 1 / 25.4);
  unitSetMode(1);
  EXPECT_EQ(unitSize(1), 1.0);
  EXPECT_EQ(unitSize(0), 25.4);
  double v[2] = {25.4, 50.8};
  unitFromMetric(2, v);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], 2.0);
}

TEST_F(Units, StepGivesDecimalsAndTheFractionChoice) {
  struct Case {
    double step;
    int16_t decimals;
    bool fraction;
  } cases[] = {{0.001, 3, false}, {0.01, 2, false}, {0.5, 0, true}, {1, 0, false}, {0.2, 1, false},
               {0.125, 1, true},  {0.0625, 1, true}, {0, 9, false},   {1e-12, 9, false}};
  for (const Case& c : cases) {
    unitsRec rec;
    unitDefaultInit(&rec);
    rec.flags = c.fraction ? 0 : unitFlagFraction;
    unitSetStep(&rec, c.step, true);
    EXPECT_EQ(rec.decimals, c.decimals) << c.step;
    EXPECT_EQ((rec.flags & unitFlagFraction) != 0, c.fraction) << c.step;
    EXPECT_GE(rec.step, unitMinimumStep);
  }
}

TEST_F(Units, PlainNumbers) {
  struct Case {
    double v;
    int32_t decimals;
    bool lead0, trail0;
    const char* text;
  } cases[] = {
      {1.5, 3, false, false, "1.5"},   {0.25, 3, false, false, ".25"},  {1.5, 3, true, true, "1.500"},
      {0.25, 3, true, true, "0.250"},  {0, 3, false, false, "0"},       {0, 3, false, true, ".000"},
      {2.75, 0, false, true, "2"},     {-0.5, 2, false, false, "-.5"},  {3, 12, false, true, "3.000000000"},
      {2e9, 3, false, false, "2000000000."},  // the engine's "%.4g"
  };
  for (const Case& c : cases) {
    char out[64];
    unitFormatNumber(out, sizeof out, c.v, c.decimals, c.lead0, c.trail0);
    EXPECT_STREQ(out, c.text) << c.v;
  }
  // The buffer bounds the text.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(unitFormatNumber(small, sizeof small, 123.456, 3, false, false), 3);
  EXPECT_STREQ(small, "123");
}

TEST_F(Units, LengthsInTheCurrentRecord) {
  struct Case {
    uint16_t flags;
    double step;
    double v;
    const char* text;
  } cases[] = {
      {0, 0.001, 1.5, "1.5"},
      {0, 0.001, 0.25, ".25"},
      {0, 0.001, 2.0004, "2"},
      {0, 0.001, -1.5, "-1.5"},
      {0, 0.001, -0.0004, "0"},  // rounds to 0: no "-"
      {unitFlagLead0 | unitFlagTrail0, 0.001, 1.5, "1.500"},
      {unitFlagLead0 | unitFlagTrail0, 0.001, 0.25, "0.250"},
      {unitFlagAbbrev, 0.001, 1.5, "1.5\""},
      {unitFlagFraction, 0.0625, 1.5, "1 1/2"},
      {unitFlagFraction, 0.0625, 0.5, "1/2"},
      {unitFlagFraction, 0.0625, 2.0, "2"},
      {unitFlagFraction, 0.0625, 0.01, "0"},
      {unitFlagFraction, 0.0625, -0.25, "-1/4"},
      {unitFlagFraction | unitFlagAbbrev, 0.0625, 3.0625, "3 1/16\""},
  };
  for (const Case& c : cases) {
    setRecord(c.flags, c.step);
    EXPECT_EQ(value(c.v), c.text) << c.v << " flags " << c.flags;
  }
}

TEST_F(Units, PrecisionCodesFlagsAndNames) {
  EXPECT_EQ(value(1.5, 1, 2), "1.50");                    // the record's flags: trailing zeros
  EXPECT_EQ(value(1.5, 1, 2, nullptr, 0), "1.5");         // given flags
  EXPECT_EQ(value(1.3, 1, unitPrecBinary + 2), "1 1/4");  // quarters
  EXPECT_EQ(value(25.4, 1, unitPrecCurrent, "mm"), "645.16");
  EXPECT_EQ(value(1, 1, unitPrecCurrent, "mm", unitFlagAbbrev), "25.4mm");
  EXPECT_EQ(value(1.5, 0), "1.5");
  EXPECT_EQ(value(1, 2, unitPrecCurrent, "mm"), "645.16");  // square inches in square millimetres
  EXPECT_EQ(value(NAN), "NAN");
  EXPECT_EQ(value(-INFINITY), "-INF");
  EXPECT_EQ(value(INFINITY), "INF");
  // In millimetre mode the same value is 1/25.4 as many inches.
  unitSetMode(1);
  EXPECT_EQ(value(25.4), "1");
}

TEST_F(Units, FeetAndInches) {
  defineFeet();
  setRecord(unitFlagFraction, 0.0625);
  EXPECT_EQ(value(18, 1, unitPrecCurrent, "feet inches"), "1' 6\"");
  EXPECT_EQ(value(30.5, 1, unitPrecCurrent, "feet inches"), "2' 6 1/2\"");
  EXPECT_EQ(value(6, 1, unitPrecCurrent, "feet inches"), "6");
  // The step is one of inches: a whole foot is not pushed up by half a
  // step of feet.
  EXPECT_EQ(value(12, 1, unitPrecCurrent, "feet inches"), "1' 0\"");
  EXPECT_EQ(value(11.99, 1, unitPrecCurrent, "feet inches"), "1' 0\"");
  // A higher threshold keeps small whole parts in the next unit.
  unitSetThreshold(1.5f);
  EXPECT_EQ(value(18, 1, unitPrecCurrent, "feet inches"), "18");
  EXPECT_EQ(value(30, 1, unitPrecCurrent, "feet inches"), "2' 6\"");
}

TEST_F(Units, Angles) {
  struct Case {
    double degrees;
    int32_t mode;
    std::string text;
  } cases[] = {
      {90, 0, "90" + deg},
      {36, 2, "36" + deg + " 0' 0\""},
      {30.26, -1, "30" + deg + " 15' 36\""},
      {30.5, -1, "30" + deg + " 30'"},
      {90, -1, "90" + deg},
      {30.5, 1, "30" + deg + " 30'"},
      {90, 4, "90.00" + deg},
      {12.3456, 3, "12.3" + deg},
      {-45, 0, "-45" + deg},
      {-1e-9, 0, "0" + deg},
      {29 + 59.9999 / 60, 1, "30" + deg + " 0'"},  // minutes carry
  };
  for (const Case& c : cases) EXPECT_EQ(angle(c.degrees / 360, c.mode), c.text) << c.degrees << " " << c.mode;
  unitSetTwoByteMode(true);
  EXPECT_EQ(angle(0.25, 0), "90" + std::string(1, char(223)));
  // The angle travels as two halves.
  double a = 0.25;
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  char out[32];
  unitAngleString(uint32_t(bits), uint32_t(bits >> 32), sizeof out, out, 0);
  EXPECT_STREQ(out, ("90" + std::string(1, char(223))).c_str());
}

TEST_F(Units, FactorsFollowTheFirstDisplayUnit) {
  EXPECT_EQ(unitFactor(1), 1.0);
  unitCurrent()->units[0] = 1;  // millimetres
  EXPECT_DOUBLE_EQ(unitFactor(2), 1 / (25.4 * 25.4));
  EXPECT_DOUBLE_EQ(unitRescale(1, 254, 0), 10);
  EXPECT_DOUBLE_EQ(unitRescale(2, 1, 1), 1 / 25.4);
}

TEST_F(Units, CurrentFactorRoundsToItsDecimals) {
  char out[32];
  unitFormatCurrent(0.3, sizeof out, out, -1);
  EXPECT_STREQ(out, ".3");
  unitFormatCurrent(-0.0001, sizeof out, out, -1);
  EXPECT_STREQ(out, "0");
  unitCurrent()->flags = unitFlagLead0 | unitFlagTrail0;
  unitFormatCurrent(2.25, sizeof out, out, 1);
  EXPECT_STREQ(out, "2.3");
}

TEST_F(Units, ImageBlockLayoutAndRoundTrip) {
  defineFeet();
  uint32_t length = 0;
  uint8_t* block = unitBlockBuild(&length);
  const std::string names = std::string("inch inches \"") + '\0' + "millimeter millimeters mm" + '\0' + "foot feet '" + '\0';
  ASSERT_EQ(length, 2 + 3 * 18 + names.size());
  EXPECT_EQ(block[0], 3);
  EXPECT_EQ(block[1], 0);
  EXPECT_EQ(block[2], 56);  // the first names start after the entries
  EXPECT_EQ(block[3], 0);
  double mm;
  std::memcpy(&mm, block + 2 + 10, 8);  // little-endian on this machine
  EXPECT_EQ(mm, 25.4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block) + 56, names.size()), names);

  // A block cut short is refused and the table stays.
  EXPECT_EQ(unitBlockLoad(block, 2 + 3 * 18 + 4), -1);
  EXPECT_EQ(unitCount(), 3);

  unitClearTable();
  ASSERT_EQ(unitBlockLoad(block, length), 0);
  ASSERT_EQ(unitCount(), 3);
  EXPECT_STREQ(unitAt(2)->names, "foot feet '");
  EXPECT_STREQ(unitAt(2)->abbrev, "'");
  EXPECT_EQ(unitAt(2)->mmSize, 304.8);
  uFree(&block);
}

}  // namespace
