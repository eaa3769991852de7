// SPDX-License-Identifier: MIT
#include "complex.h"

#include <cmath>
#include <iomanip>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "support/printed.h"
#include "support/tolerance.h"

namespace {

const double PI = 3.141592653589793;

// Both parts exactly, or (with exact false) within the shared tolerance.
::testing::AssertionResult hasParts(Complex z, double re, double im, bool exact = true) {
    bool ok = exact ? z.getReal() == re && z.getImaginary() == im
                    : isClose(z.getReal(), re) && isClose(z.getImaginary(), im);
    if (ok) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::setprecision(17) << "got (" << z.getReal() << ", "
                                         << z.getImaginary() << ")";
}

}  // namespace

TEST(Complex, ZeroBaseToAComplexPowerIsZeroButToTheIntegerZeroIsOne) {
    for (Complex base : {Complex(0, 0), Complex(-0.0, -0.0)}) {
        for (Complex exponent : {Complex(0, 0), Complex(2, 1), Complex(-1, 0.5)}) {
            EXPECT_TRUE(hasParts(base.exp(exponent), 0, 0));
        }
    }
    EXPECT_TRUE(hasParts(Complex(0, 0).exp(0), 1, 0));
    EXPECT_TRUE(hasParts(Complex(2.718, 0).exp(Complex(0, 0)), 1, 0));
}

TEST(Complex, ArgumentTakesTheSignOfAZeroImaginaryPart) {
    EXPECT_EQ(Complex(-1, 0).getArgument(), PI);
    EXPECT_EQ(Complex(-1, -0.0).getArgument(), -PI);
}

TEST(Complex, MagnitudeAndQuotientRescaleWhereSquaresOverflowOrUnderflow) {
    EXPECT_EQ(Complex(3, 4).getMagnitude(), 5.0);
    EXPECT_TRUE(isClose(Complex(1e200, 1e200).getMagnitude(), 1.4142135623730951e200));
    EXPECT_TRUE(isClose(Complex(3e-200, 4e-200).getMagnitude(), 5e-200));

    EXPECT_TRUE(hasParts(Complex(3, 4) / Complex(3, 4), 1, 0));
    EXPECT_TRUE(hasParts(Complex(1, 1) / Complex(1e200, 1e200), 1e-200, 0, false));
    EXPECT_TRUE(hasParts(Complex(1, 0) / Complex(0, 1e-200), 0, -1e200, false));
    EXPECT_TRUE(hasParts(Complex(1e300, 0) / Complex(1e300, 1e300), 0.5, -0.5, false));
    EXPECT_TRUE(hasParts(Complex(0, 0) / Complex(1e-200, 1e-200), 0, 0));
    Complex byZero = Complex(1, 2) / Complex(0, 0);
    EXPECT_TRUE(std::isnan(byZero.getReal()) && std::isnan(byZero.getImaginary()));
}

// The conjugate negates the imaginary part alone, signed zeros included, and times the
// number gives the squared magnitude with no imaginary part.
TEST(Complex, ConjugateNegatesOnlyTheImaginaryPart) {
    const Complex z(3, 4);
    EXPECT_TRUE(hasParts(z.getConjugate(), 3, -4));
    EXPECT_TRUE(hasParts(z, 3, 4));  // a const value, left as it was
    EXPECT_TRUE(hasParts(Complex(-2.5, -0.5).getConjugate(), -2.5, 0.5));
    EXPECT_TRUE(hasParts(z.getConjugate().getConjugate(), 3, 4));
    EXPECT_TRUE(hasParts(Complex(3, 4) * z.getConjugate(), 25, 0));

    // -b, not 0 - b: a +0 imaginary part becomes -0 and -0 becomes +0; a -0 real part stays.
    Complex fromPlusZero = Complex(-0.0, 0.0).getConjugate();
    Complex fromMinusZero = Complex(1, -0.0).getConjugate();
    EXPECT_TRUE(std::signbit(fromPlusZero.getReal()));
    EXPECT_TRUE(std::signbit(fromPlusZero.getImaginary()));
    EXPECT_FALSE(std::signbit(fromMinusZero.getImaginary()));
    // Reflected across the real axis, a number just above the cut lands just below it.
    EXPECT_EQ(Complex(-1, 0).getConjugate().getArgument(), -PI);
}

TEST(Complex, MixedOperandsShiftTheRealPartOrScaleBoth) {
    Complex z(1.5, -2.5);
    EXPECT_TRUE(hasParts(z + 2, 3.5, -2.5));
    EXPECT_TRUE(hasParts(z + 2.0, 3.5, -2.5));
    EXPECT_TRUE(hasParts(z - 2, -0.5, -2.5));
    EXPECT_TRUE(hasParts(z - 2.0, -0.5, -2.5));
    EXPECT_TRUE(hasParts(z * 2, 3, -5));
    EXPECT_TRUE(hasParts(z * 2.0, 3, -5));
    EXPECT_TRUE(hasParts(z / 2, 0.75, -1.25));
    EXPECT_TRUE(hasParts(z / 2.0, 0.75, -1.25));
}

TEST(Complex, LogarithmAndPowersAgreeWithKnownValues) {
    EXPECT_TRUE(hasParts(Complex(0, 0).logarithm(), -std::numeric_limits<double>::infinity(), 0));
    EXPECT_TRUE(hasParts(Complex(-1, 0).logarithm(), 0, PI, false));
    EXPECT_TRUE(hasParts(Complex(0, 1).exp(Complex(0, 1)), std::exp(-PI / 2), 0, false));  // i^i
    EXPECT_TRUE(hasParts(Complex(-1, 0).exp(Complex(0.5, 0)), 0, 1, false));
    double ln2 = std::log(2.0);  // 2^(1+i) = 2 e^(i ln 2)
    double re = 2 * std::cos(ln2), im = 2 * std::sin(ln2);
    EXPECT_TRUE(hasParts(Complex(2, 0).exp(Complex(1, 1)), re, im, false));
    EXPECT_TRUE(hasParts(Complex(1, 1).exp(4), -4, 0, false));
    EXPECT_TRUE(hasParts(Complex(0, 2).exp(0.5), 1, 1, false));
}

TEST(Complex, PrintsTheSignOfTheImaginaryPartBetween) {
    EXPECT_EQ(printed(Complex(1, 2)), "1 + 2i");
    EXPECT_EQ(printed(Complex(1, -2)), "1 - 2i");
    EXPECT_EQ(printed(Complex(0, -0.0)), "0 + -0i");
    std::string nan = printed(Complex(1, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(nan.rfind("1 - ", 0), 0u) << nan;
}
