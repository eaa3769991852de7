// SPDX-License-Identifier: MIT
#include "dual.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "support/printed.h"

namespace {

const double INF = std::numeric_limits<double>::infinity();

// Relative closeness, 0 meaning exact: by default far finer than any wrong formula and
// far coarser than rounding.
void expectNear(Dual actual, double real, double dual, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.getReal(), real, tolerance * std::fabs(real));
    EXPECT_NEAR(actual.getDual(), dual, tolerance * std::fabs(dual));
}

// f(a + ε) = f(a) + f'(a)ε, with f'(a) from a central difference of the real function.
void expectDerivative(const std::function<Dual(Dual)>& f, double (*real)(double), double a) {
    double h = 1e-5;
    double slope = (real(a + h) - real(a - h)) / (2 * h);
    SCOPED_TRACE(a);
    expectNear(f(Dual(a, 1)), real(a), slope, 1e-8);
}

}  // namespace

TEST(DualTest, ArithmeticAndMagnitude) {
    Dual x(2, 3);
    expectNear(x * Dual(4, 5), 8, 22, 0);
    expectNear(Dual(8, 22) / Dual(4, 5), 2, 3, 0);
    expectNear(Dual(8, 12) / 4, 2, 3, 0);
    expectNear((x + 2) - 0.5, 3.5, 3, 0);
    expectNear(x * 2, 4, 6, 0);
    // A scalar multiplies as Dual(rhs, 0) does, so an infinite real part spoils the dual part.
    EXPECT_TRUE(std::isnan((Dual(INF, 1) * 2).getDual()));
    expectNear(x.getConjugate(), 2, -3, 0);
    EXPECT_DOUBLE_EQ(Dual(-1, 1).getArgument(), 3 * std::atan(1.0));
    EXPECT_EQ(Dual(3, 4).getMagnitude(), 5);
    EXPECT_DOUBLE_EQ(Dual(3e200, 4e200).getMagnitude(), 5e200);
    EXPECT_DOUBLE_EQ(Dual(3e-200, 4e-200).getMagnitude(), 5e-200);
}

TEST(DualTest, DivisionUndoesProductAndKeepsEdgeResults) {
    for (Dual y : {Dual(4, 5), Dual(-0.3, 7), Dual(250, -1e-2)}) {
        expectNear((Dual(1.5, -2.25) * y) / y, 1.5, -2.25);
    }
    expectNear(Dual(1, 1) / 1e200, 1e-200, 1e-200);
    expectNear(Dual(1, 0) / Dual(1e-170, 0), 1e170, 0);
    expectNear(Dual(1e300, 0) / Dual(1e100, 1e200), 1e200, -1e300);
    expectNear(Dual(1e-300, 0) / Dual(1e-10, 1e300), 1e-290, -1e20);
    Dual byZero = Dual(1, 1) / 0;
    EXPECT_EQ(byZero.getReal(), INF);
    EXPECT_TRUE(std::isnan(byZero.getDual()));
}

TEST(DualTest, DualPartOfPowerAndLogarithmIsTheDerivative) {
    for (double a : {2.0, -2.0, 0.7}) {
        expectDerivative([](Dual x) { return x.exp(3); }, [](double t) { return t * t * t; }, a);
    }
    expectDerivative([](Dual x) { return x.exp(-1.5); },
                     [](double t) { return std::pow(t, -1.5); }, 3);
    expectDerivative([](Dual x) { return x.logarithm(); },
                     [](double t) { return std::log(t); }, 0.5);
    // Exact where the power rule has nothing to round, negative and zero bases included.
    expectNear(Dual(2, 1).exp(3), 8, 12, 0);
    expectNear(Dual(-2, 1).exp(3.0), -8, 12, 0);
    expectNear(Dual(0, 1).exp(2), 0, 0, 0);
    expectNear(Dual(0, 1).exp(1), 0, 1, 0);
    expectNear(Dual(0, 1).exp(0), 1, 0, 0);
    expectNear(Dual(2, 0).exp(Dual(3, 1)), 8, 8 * std::log(2.0));
    // A moving exponent needs ln of the base: NaN for a negative one.
    EXPECT_TRUE(std::isnan(Dual(-2, 1).exp(Dual(3, 1)).getDual()));
    EXPECT_TRUE(std::isnan(Dual(-1, 0).logarithm().getReal()));
    // e to the logarithm gives back the number.
    expectNear(Dual(std::exp(1.0), 0).exp(Dual(2.5, -4).logarithm()), 2.5, -4);
}

TEST(DualTest, PrintsLikeComplexWithSuffixD) {
    EXPECT_EQ(printed(Dual(1, -1)), "1 - 1d");
    EXPECT_EQ(printed(Dual(1, 2)), "1 + 2d");
    EXPECT_EQ(printed(Dual(0, -0.0)), "0 + -0d");
    EXPECT_EQ(printed(Dual(1, std::nan(""))).substr(0, 4), "1 - ");
    EXPECT_EQ(printed(Dual(1, std::nan(""))).back(), 'd');
}
