// The small linear-system solver (rows a x + c = 0) and boxes of doubles
// widened by points.
#include "core/boxpoints.h"
#include "core/matsolve.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Rows held by the test, with the pointer array matSolveN reorders.
struct System {
  explicit System(std::vector<std::vector<double>> r) : rows(std::move(r)) {
    for (auto& row : rows) pointers.push_back(row.data());
  }
  int solve(std::vector<double>* x) {
    x->assign(rows.size(), 0.0);
    return matSolveN(int32_t(rows.size()), pointers.data(), x->data());
  }
  std::vector<std::vector<double>> rows;
  std::vector<double*> pointers;
};

TEST(MatSolveN, SolvesWithTheConstantOnTheLeft) {
  // 2x + 4 = 0.
  System one({{2, 4}});
  std::vector<double> x;
  ASSERT_EQ(one.solve(&x), 0);
  EXPECT_DOUBLE_EQ(x[0], -2);

  // A zero leading coefficient needs the row exchange: y - 1 = 0, x - 2 = 0.
  System swap({{0, 1, -1}, {1, 0, -2}});
  ASSERT_EQ(swap.solve(&x), 0);
  EXPECT_DOUBLE_EQ(x[0], 2);
  EXPECT_DOUBLE_EQ(x[1], 1);

  // The scaled pivot choice goes by the ratio to the row's own largest
  // coefficient, so a row of large numbers does not win for its size: the
  // rows keep their order. Ties keep the earlier row.
  System scaled({{1e-3, 1, -1}, {1, 1e6, -1e6 - 1}});
  ASSERT_EQ(scaled.solve(&x), 0);
  EXPECT_EQ(scaled.pointers[0], scaled.rows[0].data());
  EXPECT_NEAR(x[0], 1.0 / (1 - 1e3), 1e-12);
  EXPECT_NEAR(x[1], 1 - 1e-3 * x[0], 1e-12);
  System tie({{1, 1, -3}, {-1, 1, -1}});
  ASSERT_EQ(tie.solve(&x), 0);
  EXPECT_EQ(tie.pointers[0], tie.rows[0].data());
  EXPECT_DOUBLE_EQ(x[0], 1);
  EXPECT_DOUBLE_EQ(x[1], 2);
}

TEST(MatSolveN, RefusesSizesZeroRowsAndDependentRows) {
  std::vector<double> x;
  // Nine equations: refused before anything is touched.
  std::vector<std::vector<double>> nine(9, std::vector<double>(10, 1.0));
  for (int i = 0; i < 9; ++i) nine[i][i] = 2.0 + i;
  System big(nine);
  const std::vector<double*> pointersBefore = big.pointers;
  EXPECT_EQ(big.solve(&x), matSolveErrSize);
  EXPECT_EQ(big.rows, nine);
  EXPECT_EQ(big.pointers, pointersBefore);
  System negative({{1, 1}});
  EXPECT_EQ(matSolveN(-1, negative.pointers.data(), x.data()), matSolveErrSize);

  // A row whose coefficients are all zero (its constant does not count).
  System zero({{1, 2, 3}, {0, 0, 5}});
  EXPECT_EQ(zero.solve(&x), matSolveErrZeroRow);
  System tiny({{1, 2, 3}, {1e-11, -1e-11, 5}});
  EXPECT_EQ(tiny.solve(&x), matSolveErrZeroRow);

  // Proportional rows leave no pivot for the second column.
  System dependent({{1, 2, 3}, {2, 4, 1}});
  EXPECT_EQ(dependent.solve(&x), matSolveErrPivot);
}

TEST(MatSolveN, RandomSystemsOfEverySizeLeaveNoResidual) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> value(-5, 5);
  for (int n = 1; n <= matSolveMaxN; ++n) {
    for (int round = 0; round < 20; ++round) {
      std::vector<std::vector<double>> rows(n, std::vector<double>(n + 1));
      for (auto& row : rows)
        for (double& e : row) e = value(rng);
      for (int i = 0; i < n; ++i) rows[i][i] += 4 * n;  // well conditioned
      const auto original = rows;
      System s(rows);
      std::vector<double> x;
      ASSERT_EQ(s.solve(&x), 0) << "n " << n;
      for (int i = 0; i < n; ++i) {
        double sum = original[i][n];
        for (int j = 0; j < n; ++j) sum += original[i][j] * x[j];
        EXPECT_NEAR(sum, 0, 1e-10) << "n " << n << " row " << i;
      }
    }
  }
}

TEST(BoxExtendPoints, EachCoordinateMovesTheMinimumOrElseTheMaximum) {
  double box[6] = {0, 0, 0, 1, 1, 1};
  const double points[] = {
      -2, 3, 0.5,  // below in x, above in y
      0.5, 0.5, 0.5,  // inside: nothing
      0.5, -1, 4,  // below in y, above in z
  };
  boxExtendPoints(box, points, 3);
  const double expected[6] = {-2, -1, 0, 1, 3, 4};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(box[i], expected[i]) << i;

  boxExtendPoints(box, points, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(box[i], expected[i]) << i;
}

}  // namespace
