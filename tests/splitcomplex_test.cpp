// SPDX-License-Identifier: MIT
// SplitComplex keeps the complex rules, not j² = +1: each of its results is the Complex one
// to the bit. What it shares with the other number types is in number_types_test.cpp.
#include "splitcomplex.h"

#include <complex>

#include <gtest/gtest.h>

#include "complex.h"
#include "support/parts.h"

TEST(SplitComplex, SquareOfJIsMinusOneAsForComplex) {
    EXPECT_PARTS(SplitComplex(0, 1) * SplitComplex(0, 1), -1, 0);
}

// Quotient and logarithm match Complex and the standard library, also where the
// plain c^2 + d^2 would overflow (1e200) or underflow (1e-200).
TEST(SplitComplex, QuotientAndLogarithmMatchComplex) {
    const double cases[][4] = {{1, 2, 3, 4},
                               {-5, 0.5, 0.25, -2},
                               {1, 0, -1, 0},
                               {1, 2, 1e200, 1e200},
                               {1e-200, 3e-200, 2e-200, 1e-200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << ", " << c[1] << " / " << c[2] << ", " << c[3]);
        SplitComplex results[] = {SplitComplex(c[0], c[1]) / SplitComplex(c[2], c[3]),
                                  SplitComplex(c[2], c[3]).logarithm()};
        Complex complexResults[] = {Complex(c[0], c[1]) / Complex(c[2], c[3]),
                                    Complex(c[2], c[3]).logarithm()};
        std::complex<double> divisor(c[2], c[3]);
        std::complex<double> expected[] = {std::complex<double>(c[0], c[1]) / divisor, std::log(divisor)};
        for (int i = 0; i < 2; ++i) {
            EXPECT_PARTS(results[i], complexResults[i].getReal(), complexResults[i].getImaginary());
            EXPECT_PARTS_NEAR(results[i], expected[i].real(), expected[i].imag());
        }
    }
    // The table's zeros are exact ones: ln 1, and 0·(-1) - 1·0.
    EXPECT_EQ(SplitComplex(-1, 0).logarithm().getReal(), 0);
    EXPECT_EQ((SplitComplex(1, 0) / SplitComplex(-1, 0)).getImaginary(), 0);
}
