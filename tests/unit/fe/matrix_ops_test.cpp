#include "fe/matrix_ops.h"

#include "core/errors.h"
#include "core/matrix.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/init.h"
#include "fe/stack.h"
#include "fe/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The operators through the interpreter.
class MatrixOps : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // The interpreter is made once per process and other suites rebuild the
    // dictionary stack: it is brought back to systemdict and userdict, and
    // the operators are registered once.
    feInitFresh();
    feDictStackInit(feSystemDict(), feUserDict());
    static const bool registered = (matRegisterOps(), true);
    (void)registered;
  }
  void SetUp() override { feStackClear(*feOperandStack()); }
  void TearDown() override { feStackClear(*feOperandStack()); }

  static int32_t depth() { return feStackCount(*feOperandStack()); }
  // The value at depth (0 the top) as numbers: an array's elements, or the
  // number itself; a type name otherwise.
  static std::vector<double> numbers(int32_t at = 0) {
    const feObject* v = feStackIndex(*feOperandStack(), at);
    std::vector<double> out;
    if (!v) return out;
    if (feType(v) != feTArray) {
      out.push_back(feType(v) == feTReal || feType(v) == feTInt ? feGetNumber(v, nullptr) : NAN);
      return out;
    }
    for (int32_t i = 0; i < feArrayLength(v); ++i) out.push_back(feGetNumber(feArrayElem(v, i), nullptr));
    return out;
  }
};

constexpr char kDefs[] = "/v3 {3 array astore} def ";

TEST_F(MatrixOps, BuildAndApplyTransformations) {
  ASSERT_EQ(feExecString(kDefs), feOk);
  struct Case {
    const char* text;
    std::vector<double> top;
  } const cases[] = {
      {"aMatrix", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"1 1 1 v3 aMatrix 1 2 3 v3 aTranslate aPtTransform", {2, 3, 4}},
      {"aMatrix 2 aScale", {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}},
      {"2 3 4 v3 aMatrix 1 0 0 v3 aMirror aPtTransform", {-2, 3, 4}},
      {"1 0 0 v3 aMatrix 0 0 0 v3 0 0 1 v3 0 1 aRotate aPtTransform", {0, 1, 0}},
      {"aMatrix 1 2 3 v3 0 0 0 v3 0.5 0.5 aRotate", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"1 0 0 v3 aMatrix 0 0 0 v3 1 0 0 v3 0 1 0 v3 0 0 1 v3 aPtRotate aPtTransform", {0, 1, 0}},
      {"aMatrix 0 0 0 v3 1 0 0 v3 3 0 0 v3 aPtExpand", {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1}},
      {"0 0 0 v3 3 4 0 v3 aPtDist", {5}},
  };
  for (const Case& c : cases) {
    feStackClear(*feOperandStack());
    ASSERT_EQ(feExecString(c.text), feOk) << c.text;
    EXPECT_EQ(depth(), 1) << c.text;
    const std::vector<double> top = numbers();
    ASSERT_EQ(top.size(), c.top.size()) << c.text;
    for (size_t i = 0; i < top.size(); ++i) EXPECT_NEAR(top[i], c.top[i], 1e-15) << c.text << " [" << i << "]";
  }
  // The distance is a real.
  EXPECT_EQ(feType(feStackIndex(*feOperandStack(), 0)), feTReal);
}

TEST_F(MatrixOps, FailuresLeaveTheOperands) {
  ASSERT_EQ(feExecString(kDefs), feOk);
  struct Case {
    const char* text;
    int result;
    int32_t operands;
  } const cases[] = {
      {"aMatrix 0 0 0 v3 aMirror", matErrMirrorNormal, 2},
      {"aMatrix 0 0 0 v3 1 0 0 v3 1 0 0 v3 0 0 0 v3 aPtRotate", -1, 5},
      {"aMatrix 1 2 2 array astore aTranslate", feErrLengthCheck, 2},
      {"aMatrix 1 (x) 3 v3 aTranslate", feErrTypeCheck, 2},
      {"aMatrix (x) aScale", feErrTypeCheck, 2},
      {"1 2 3 v3 aTranslate", feErrStackUnderflow, 1},
  };
  for (const Case& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), c.result) << c.text;
    EXPECT_EQ(depth(), c.operands) << c.text;
  }
}

}  // namespace
