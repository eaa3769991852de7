// SPDX-License-Identifier: MIT
// What Dual alone does, by its rule ε² = 0. What it shares with the other number types is
// in number_types_test.cpp.
#include "dual.h"

#include <cmath>

#include <gtest/gtest.h>

#include "support/parts.h"

TEST(Dual, ProductAndQuotientKeepTheirRangeAndEdges) {
    EXPECT_PARTS(Dual(2, 3) * Dual(4, 5), 8, 22);
    EXPECT_PARTS(Dual(8, 22) / Dual(4, 5), 2, 3);
    // A scalar multiplies as Dual(rhs, 0) does, so an infinite real part spoils the dual part.
    EXPECT_TRUE(std::isnan((Dual(INF, 1) * 2).getDual()));
    // The quotient is formed without c², which would overflow or underflow.
    Dual large = Dual(1, 0) / Dual(1e-170, 0);
    EXPECT_TRUE(isClose(large.getReal(), 1e170));
    EXPECT_EQ(large.getDual(), 0);
    EXPECT_PARTS_NEAR(Dual(1e300, 0) / Dual(1e100, 1e200), 1e200, -1e300);
    EXPECT_PARTS_NEAR(Dual(1e-300, 0) / Dual(1e-10, 1e300), 1e-290, -1e20);
    EXPECT_PARTS(Dual(1, 1) / 0, INF, NAN_);
}

// f(a + ε) = f(a) + f'(a)ε.
TEST(Dual, DualPartOfPowerAndLogarithmIsTheDerivative) {
    for (double a : {2.0, -2.0, 0.7}) {
        EXPECT_PARTS_NEAR(Dual(a, 1).exp(3), a * a * a, 3 * a * a);
    }
    EXPECT_PARTS_NEAR(Dual(3, 1).exp(-1.5), std::pow(3.0, -1.5), -1.5 * std::pow(3.0, -2.5));
    EXPECT_PARTS_NEAR(Dual(0.5, 1).logarithm(), std::log(0.5), 1 / 0.5);
    // Exact where the power rule has nothing to round, negative and zero bases included.
    EXPECT_PARTS(Dual(2, 1).exp(3), 8, 12);
    EXPECT_PARTS(Dual(-2, 1).exp(3.0), -8, 12);
    EXPECT_PARTS(Dual(0, 1).exp(2), 0, 0);
    EXPECT_PARTS(Dual(0, 1).exp(1), 0, 1);
    EXPECT_PARTS(Dual(0, 1).exp(0), 1, 0);
    EXPECT_PARTS_NEAR(Dual(2, 0).exp(Dual(3, 1)), 8, 8 * std::log(2.0));
    EXPECT_PARTS_NEAR(Dual(2, 1).exp(Dual(3, 1)), 8, 8 * (std::log(2.0) + 3 / 2.0));  // both moving
    // A moving exponent needs ln of the base: NaN for a negative one.
    EXPECT_TRUE(std::isnan(Dual(-2, 1).exp(Dual(3, 1)).getDual()));
    EXPECT_TRUE(std::isnan(Dual(-1, 0).logarithm().getReal()));
    // e to the logarithm gives back the number.
    EXPECT_PARTS_NEAR(Dual(std::exp(1.0), 0).exp(Dual(2.5, -4).logarithm()), 2.5, -4);
}
