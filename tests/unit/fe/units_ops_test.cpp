// Typed values read and shown in units: the length and angle readers inside
// the expression evaluator, the conversions by kind name, the units
// operators and the typed-array converters.
#include "core/units.h"
#include "fe/expeval.h"
#include "fe/units_ops.h"
#include "exec_fixture.h"

#include "core/alloc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

uint32_t storedMode = 99;
void storeMode(uint32_t word) { storedMode = word; }

class UnitOps : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("aSetMM")) unitOpsRegister();
    unitResetForTests();
    unitDefine("inch inches \"", -1, 1.0, 25.4);
    unitDefine("millimeter millimeters mm", -1, 1 / 25.4, 1.0);
    unitSetModeStore(storeMode);
  }
  void TearDown() override {
    unitSetModeStore(nullptr);
    unitResetForTests();
    execfx::stop();
  }

  // Runs text and answers the operand stack as "==" prints it, or the
  // error code.
  static std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? "error " + std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
  static double length(const char* text, int* rc = nullptr) {
    double v = NAN;
    const int answer = unitParseLength(text, int32_t(std::strlen(text)), &v);
    if (rc) *rc = answer;
    return v;
  }
  static double degrees(const char* text) {
    double v = NAN;
    EXPECT_EQ(unitParseAngle(text, int32_t(std::strlen(text)), &v), 0) << text;
    return v * 360;
  }
  static void defineFeet() { unitDefine("foot feet '", -1, 12.0, 304.8); }
};

TEST_F(UnitOps, LengthTerms) {
  defineFeet();
  struct Case {
    const char* text;
    double inches;
  } cases[] = {
      {"2 feet", 24},        {"25.4 mm", 1},         {"1/2", 0.5},        {"1 1/2", 1.5},
      {"1\xAD" "1/2 inch", 1.5}, {"1' 6\"", 18},       {"1'6\"", 18},       {"1'-6 1/2\"", 18.5},
      {"2 feet 3 inch", 27},     {"2 feet + 3", 27},     {"(1 + 2) * 3", 9},  {"2 feet - 6 inch", 18},
      {"1 inch * 3", 3},       {"10 mm / 2", 5 / 25.4}, {"3 inches", 3},    {"3 INCH", 3},
  };
  for (const Case& c : cases) {
    int rc = 0;
    const double v = length(c.text, &rc);
    EXPECT_EQ(rc, 0) << c.text;
    EXPECT_NEAR(v, c.inches, 1e-12) << c.text;
  }
}

TEST_F(UnitOps, LengthErrors) {
  defineFeet();
  struct Case {
    const char* text;
    int rc;
  } cases[] = {
      {"2 furlongs", unitErrBadTerm},
      {"2 inch * 3 inch", unitErrDimension},
      {"1 2", expErrSyntax},
      {"1/0", unitErrBadTerm},
  };
  for (const Case& c : cases) {
    int rc = 0;
    const double v = length(c.text, &rc);
    EXPECT_EQ(rc, c.rc) << c.text;
    EXPECT_TRUE(std::isnan(v)) << c.text;  // untouched on an error
  }
}

TEST_F(UnitOps, NumbersWithoutUnitsTakeTheFirstDisplayUnit) {
  unitCurrent()->units[0] = 1;  // millimetres
  EXPECT_NEAR(length("25.4"), 1, 1e-12);
  EXPECT_NEAR(length("1 inch + 25.4"), 2, 1e-12);
  double v = 0;
  // Areas: the unit size applied once per dimension.
  ASSERT_EQ(unitParseValue("645.16", 6, 2, &v), 0);
  EXPECT_NEAR(v, 1, 1e-12);
  ASSERT_EQ(unitParseValue("2 inch * 3 inch", 15, 2, &v), 0);
  EXPECT_NEAR(v, 6, 1e-12);
  EXPECT_EQ(unitParseValue("2 inch", 6, 2, &v), unitErrDimension);
  ASSERT_EQ(unitParseValue("7", 1, 0, &v), 0);
  EXPECT_EQ(v, 7);
  // In millimetre mode lengths are held in millimetres.
  unitSetMode(1);
  EXPECT_NEAR(length("1 inch"), 25.4, 1e-12);
}

TEST_F(UnitOps, AngleTerms) {
  const std::string d(1, char(176));
  EXPECT_NEAR(degrees(("30" + d + " 15' 36\"").c_str()), 30.26, 1e-9);
  EXPECT_NEAR(degrees(("30" + d + "15'").c_str()), 30.25, 1e-9);
  EXPECT_NEAR(degrees(("30" + d + " -15'").c_str()), 29.75, 1e-9);
  EXPECT_NEAR(degrees("90"), 90, 1e-12);
  EXPECT_NEAR(degrees("2*90-45"), 135, 1e-12);
  EXPECT_NEAR(degrees("-(45 + 1/2)"), -45.5, 1e-12);
  EXPECT_NEAR(degrees(("10" + std::string(1, char(223))).c_str()), 10, 1e-12);
  EXPECT_NEAR(degrees("90'"), 1.5, 1e-12);
  double v = 0;
  EXPECT_EQ(unitParseAngle("90", 2, &v), 0);
  EXPECT_EQ(v, 0.25);
}

TEST_F(UnitOps, ByKind) {
  feObject out{};
  ASSERT_EQ(unitParseByKind("int", "2.5", 3, &out), 0);
  EXPECT_EQ(feType(&out), feTInt);
  EXPECT_EQ(feGetInt(&out), 3);
  ASSERT_EQ(unitParseByKind("int", "-2.5", 4, &out), 0);
  EXPECT_EQ(feGetInt(&out), -2);
  ASSERT_EQ(unitParseByKind("int", "1e12", 4, &out), 0);
  EXPECT_EQ(feGetInt(&out), 2147483647);
  ASSERT_EQ(unitParseByKind("len", "25.4 mm", 7, &out), 0);
  EXPECT_EQ(feType(&out), feTReal);
  EXPECT_NEAR(feGetNumber(&out, nullptr), 1, 1e-12);
  ASSERT_EQ(unitParseByKind("ang", "180", 3, &out), 0);
  EXPECT_EQ(feGetNumber(&out, nullptr), 0.5);
  EXPECT_EQ(unitParseByKind("sca", "1 inch", 6, &out), unitErrDimension);
  EXPECT_EQ(unitParseByKind("xyz", "1", 1, &out), -1);

  struct Case {
    const char* kind;
    feObject value;
    int rc;
    std::string text;
  } cases[] = {
      {"len", execfx::real(1.5), 0, "1.5"},
      {"sca", execfx::integer(2), 0, "2"},
      {"ang", execfx::real(0.25), 0, "90" + std::string(1, char(176))},
      {"int", execfx::integer(-7), 0, "-7"},
      {"int", execfx::real(7), feErrTypeCheck, ""},
      {"len", execfx::execString("x"), feErrTypeCheck, ""},
      {"abc", execfx::real(1), -1, ""},
  };
  for (Case& c : cases) {
    char* text = nullptr;
    int32_t n = -1;
    EXPECT_EQ(unitFormatByKind(c.kind, &c.value, &text, &n), c.rc) << c.kind;
    EXPECT_EQ(text ? std::string(text, size_t(n)) : std::string(), c.text) << c.kind;
    if (text) uFree(&text);
    feFree(&c.value);
  }
}

TEST_F(UnitOps, ScriptDemo) {
  EXPECT_EQ(run("1.5 aLengthToString 0.25 aLengthToString"), "(1.5) (.25)");
  EXPECT_EQ(run("(foot feet ') 12 aDefUnit (2 feet) aStringToLength"), "24.");
  EXPECT_EQ(run("(25.4 mm) aStringToLength"), "1.");
  EXPECT_EQ(run("0.25 aAngleToString"), "(90\\260)");
  EXPECT_EQ(run("[/precision 0.0625] aLengthSetParams 1.5 aLengthToString"), "(1 1/2)");
}

TEST_F(UnitOps, Operators) {
  EXPECT_EQ(run("true aSetMM aGetMM (1 inch) aStringToLength 25.4 aCnvtInternal"), "true 25.4 1.");
  EXPECT_EQ(storedMode, 1u);
  EXPECT_EQ(run("false aSetMM aGetMM"), "false");
  EXPECT_EQ(storedMode, 0u);
  EXPECT_EQ(run("0.5 aScaleToString 2 aScaleToString 0.3 aScaleToString"), "(1:2) (2:1) (1:3.33333)");
  EXPECT_EQ(run("0.1 0 aCV2S -0.0000001 0 aCV2S 1.5 1 aCV2S 2.5 aScalar2S"), "(.1) (0) (1.5) (2.5)");
  EXPECT_EQ(run("(10) 1 aCS2V (2 inch * 3 inch) 2 aCS2V (1/2) 10 aCS2V"), "10. 6. 0.5");
  EXPECT_EQ(run("(2 inch * 2 inch) 1 aCS2V"), "error -4136");
  EXPECT_EQ(run("(1 2) aStringToLength"), "error -4135");
  EXPECT_EQ(run("(nonsense!) aStringToAngle"), "0");  // "!" operators push their zeroed result
  EXPECT_EQ(run("1 2 0.5 aAngleSetParams aAngleGetParams 0 0 0 aAngleSetParams aAngleGetParams"),
            "1. 2. 0.5 0 0 1.e-9");
  EXPECT_EQ(run("2.5 aUnitThreshold"), "");
  EXPECT_EQ(unitThreshold(), 2.0f);
  EXPECT_EQ(run("[1 2] aLengthSetParams"), "error 281");
  EXPECT_EQ(run("[/precision] aLengthSetParams"), "error 280");
  EXPECT_EQ(run("5 aLengthSetParams"), "error 269");
  EXPECT_EQ(run("[/lead0 1] aLengthSetParams"), "error 269");
}

TEST_F(UnitOps, ValueToStringSwitchesFlagsForOneCall) {
  EXPECT_EQ(run("[/value 1.5 /lead0 true /trail0 true] aValueToString 0.25 aLengthToString"), "(1.500) (.25)");
  EXPECT_EQ(unitGetFlags(), 0);
  EXPECT_EQ(run("[/value 1 /dimension 1 /format (mm) /abrv true] aValueToString"), "(25.4mm)");
  EXPECT_EQ(run("[/value 1.3 /precflag 130] aValueToString"), "(1 1/4)");
  EXPECT_EQ(run("[/value 1 /dimension 2 /format (mm)] aValueToString"), "(645.16)");
  EXPECT_EQ(run("[/value] aValueToString"), "error 280");
  EXPECT_EQ(run("[/colour 1] aValueToString"), "error 281");
  EXPECT_EQ(run("(x) aValueToString"), "error 269");
}

TEST_F(UnitOps, StringToValueReadsInTheGivenUnits) {
  EXPECT_EQ(run("[/string (254) /dimension 1 /format (mm)] aStringToValue"), "10.");
  EXPECT_EQ(run("[/string (2)] aStringToValue"), "2.");
  EXPECT_EQ(run("[/string (2 inch * 3 inch) /dimension 2] aStringToValue"), "6.");
  EXPECT_EQ(unitCurrent()->units[0], 0);  // the record's units are back
  EXPECT_EQ(run("[/string] aStringToValue"), "error 280");
  EXPECT_EQ(run("[/value 1] aStringToValue"), "error 281");
}

TEST_F(UnitOps, TypedArrayConverters) {
  const scriptConverters c = unitScriptConverters();
  double values[feTypedArrayMax];
  const char* text = "1 inch; 25.4 mm;1/2 ; ";
  ASSERT_EQ(feTypedArrayRead(text, std::strlen(text), c.length, values), 3);
  EXPECT_NEAR(values[0], 1, 1e-12);
  EXPECT_NEAR(values[1], 1, 1e-12);
  EXPECT_NEAR(values[2], 0.5, 1e-12);
  ASSERT_EQ(feTypedArrayRead("90;180;bad", 10, c.angle, values), 3);
  EXPECT_EQ(values[0], 0.25);
  EXPECT_EQ(values[1], 0.5);
  EXPECT_EQ(values[2], 0.0);

  feObject list = execfx::execString("x");
  feFree(&list);
  ASSERT_EQ(feExecString("[1.5 0.25]"), feOk);
  feObject array = *feStackIndex(*feOperandStack(), 0);
  struct Case {
    feValueFormatter formatter;
    const char* text;
  } cases[] = {{c.lengthText, "1.5; .25"}, {c.angleText, "540\xB0; 90\xB0"}, {c.factorText, "1.5; .25"}};
  for (const Case& k : cases) {
    char* out = nullptr;
    int32_t n = 0;
    ASSERT_EQ(feTypedArrayWrite(&array, k.formatter, &out, &n), 0);
    EXPECT_EQ(std::string(out, size_t(n)), k.text);
    uFree(&out);
  }
  feStackClear(*feOperandStack());
}

}  // namespace
