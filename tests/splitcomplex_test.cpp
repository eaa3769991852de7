// SPDX-License-Identifier: MIT
#include "splitcomplex.h"

#include <cmath>
#include <complex>

#include <gtest/gtest.h>

#include "complex.h"
#include "support/printed.h"

namespace {

// Relative agreement; the small absolute term lets an exact zero match.
void expectClose(double actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-12 * std::fabs(expected) + 1e-300);
}

}  // namespace

// The type keeps the complex rules, not j^2 = +1: j * j is -1 and |3 + 4j| is 5.
TEST(SplitComplex, ArithmeticFollowsTheComplexRules) {
    SplitComplex square = SplitComplex(0, 1) * SplitComplex(0, 1);
    EXPECT_EQ(square.getReal(), -1);
    EXPECT_EQ(square.getImaginary(), 0);
    EXPECT_EQ(SplitComplex(3, 4).getMagnitude(), 5);
    EXPECT_EQ(printed(SplitComplex(1, -2)), "1 - 2i");

    // A plain number moves only the real part under + and -, and scales both under * and /.
    SplitComplex moved = SplitComplex(1, 2) + 3 - 0.5;
    SplitComplex scaled = SplitComplex(1, 2) * 6 / 4.0;
    EXPECT_EQ(moved.getReal(), 3.5);
    EXPECT_EQ(moved.getImaginary(), 2);
    EXPECT_EQ(scaled.getReal(), 1.5);
    EXPECT_EQ(scaled.getImaginary(), 3);

    SplitComplex cube = SplitComplex(0, 2).exp(3);  // (2i)^3 = -8i
    EXPECT_NEAR(cube.getReal(), 0, 1e-14);
    expectClose(cube.getImaginary(), -8);
}

// As for Complex: only the imaginary part changes sign, -0 and +0 swap, and the number
// times its conjugate is the squared magnitude.
TEST(SplitComplex, ConjugateNegatesOnlyTheImaginaryPart) {
    const SplitComplex z(3, 4);
    SplitComplex conjugate = z.getConjugate();
    EXPECT_EQ(conjugate.getReal(), 3);
    EXPECT_EQ(conjugate.getImaginary(), -4);
    EXPECT_EQ(z.getImaginary(), 4);
    SplitComplex negative = SplitComplex(-2.5, -0.5).getConjugate();
    EXPECT_EQ(negative.getReal(), -2.5);
    EXPECT_EQ(negative.getImaginary(), 0.5);
    SplitComplex product = SplitComplex(3, 4) * conjugate;
    EXPECT_EQ(product.getReal(), 25);
    EXPECT_EQ(product.getImaginary(), 0);

    SplitComplex fromPlusZero = SplitComplex(-0.0, 0.0).getConjugate();
    EXPECT_TRUE(std::signbit(fromPlusZero.getReal()));
    EXPECT_TRUE(std::signbit(fromPlusZero.getImaginary()));
    EXPECT_FALSE(std::signbit(SplitComplex(1, -0.0).getConjugate().getImaginary()));
}

// Quotient and logarithm match Complex and the standard library, also where the
// plain c^2 + d^2 would overflow (1e200) or underflow (1e-200).
TEST(SplitComplex, QuotientAndLogarithmMatchComplex) {
    const double cases[][4] = {{1, 2, 3, 4}, {-5, 0.5, 0.25, -2}, {1, 0, -1, 0},
                               {1, 2, 1e200, 1e200}, {1e-200, 3e-200, 2e-200, 1e-200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << ", " << c[1] << " / " << c[2] << ", " << c[3]);
        SplitComplex results[] = {SplitComplex(c[0], c[1]) / SplitComplex(c[2], c[3]),
                                  SplitComplex(c[2], c[3]).logarithm()};
        Complex complexResults[] = {Complex(c[0], c[1]) / Complex(c[2], c[3]),
                                    Complex(c[2], c[3]).logarithm()};
        std::complex<double> divisor(c[2], c[3]);
        std::complex<double> expected[] = {std::complex<double>(c[0], c[1]) / divisor,
                                           std::log(divisor)};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(results[i].getReal(), complexResults[i].getReal());
            EXPECT_EQ(results[i].getImaginary(), complexResults[i].getImaginary());
            expectClose(results[i].getReal(), expected[i].real());
            expectClose(results[i].getImaginary(), expected[i].imag());
        }
    }
}
