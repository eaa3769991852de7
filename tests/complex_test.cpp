// SPDX-License-Identifier: MIT
// What Complex alone does: a power with a complex exponent. What it shares with the other
// number types is in number_types_test.cpp.
#include "complex.h"

#include <cmath>

#include <gtest/gtest.h>

#include "support/parts.h"

TEST(Complex, ZeroBaseToAComplexPowerIsZeroButToTheIntegerZeroIsOne) {
    for (Complex base : {Complex(0, 0), Complex(-0.0, -0.0)}) {
        for (Complex exponent : {Complex(0, 0), Complex(2, 1), Complex(-1, 0.5)}) {
            EXPECT_PARTS(base.exp(exponent), 0, 0);
        }
    }
    EXPECT_PARTS(Complex(0, 0).exp(0), 1, 0);
    EXPECT_PARTS(Complex(2.718, 0).exp(Complex(0, 0)), 1, 0);
}

TEST(Complex, ComplexPowersAgreeWithKnownValues) {
    EXPECT_PARTS_NEAR(Complex(0, 1).exp(Complex(0, 1)), std::exp(-PI / 2), 0);  // i^i
    EXPECT_PARTS_NEAR(Complex(-1, 0).exp(Complex(0.5, 0)), 0, 1);
    EXPECT_PARTS_NEAR(Complex(3, 4).exp(Complex(2, 0)), -7, 24);  // a base off the axes
    double ln2 = std::log(2.0);                                   // 2^(1+i) = 2 e^(i ln 2)
    EXPECT_PARTS_NEAR(Complex(2, 0).exp(Complex(1, 1)), 2 * std::cos(ln2), 2 * std::sin(ln2));
}
