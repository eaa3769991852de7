#include "complex.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/tolerance.h"

namespace {

const double PI = 3.141592653589793;
const double NaN = std::numeric_limits<double>::quiet_NaN();

std::string printed(Complex z) {
    std::ostringstream os;
    z.print(os);
    return os.str();
}

}  // namespace

TEST(Complex, ZeroBaseDependsOnTheKindOfExponent) {
    for (Complex exponent : {Complex(0, 0), Complex(2, 1), Complex(-1, 0.5)}) {
        for (Complex base : {Complex(0, 0), Complex(-0.0, -0.0)}) {
            Complex power = base.exp(exponent);
            EXPECT_EQ(power.getReal(), 0.0);
            EXPECT_EQ(power.getImaginary(), 0.0);
        }
    }
    EXPECT_EQ(Complex(0, 0).exp(0).getReal(), 1.0);
    EXPECT_EQ(Complex(0, 0).exp(0).getImaginary(), 0.0);
    EXPECT_EQ(Complex(2.718, 0).exp(Complex(0, 0)).getReal(), 1.0);
    EXPECT_EQ(Complex(2.718, 0).exp(Complex(0, 0)).getImaginary(), 0.0);
}

TEST(Complex, ArgumentTakesTheSignOfAZeroImaginaryPart) {
    EXPECT_EQ(Complex(-1, 0).getArgument(), PI);
    EXPECT_EQ(Complex(-1, -0.0).getArgument(), -PI);
}

TEST(Complex, MagnitudeSurvivesOverflowAndUnderflowOfTheSquares) {
    EXPECT_EQ(Complex(3, 4).getMagnitude(), 5.0);
    EXPECT_TRUE(isClose(Complex(1e200, 1e200).getMagnitude(), 1.4142135623730951e200));
    EXPECT_TRUE(isClose(Complex(3e-200, 4e-200).getMagnitude(), 5e-200));
    EXPECT_TRUE(isClose(Complex(-3e-200, 4e-200).logarithm().getReal(), std::log(5e-200)));
}

TEST(Complex, DivisionSurvivesOverflowAndUnderflow) {
    struct Case { double a, b, c, d, re, im; };
    const Case cases[] = {
        {1, 1, 1e200, 1e200, 1e-200, 0},     // divisor's squares overflow
        {1, 0, 0, 1e-200, 0, -1e200},        // and underflow
        {1e300, 0, 1e300, 1e300, 0.5, -0.5},
    };
    for (const Case& c : cases) {
        Complex q = Complex(c.a, c.b) / Complex(c.c, c.d);
        EXPECT_TRUE(isClose(q.getReal(), c.re)) << c.a << "/" << c.c;
        EXPECT_TRUE(isClose(q.getImaginary(), c.im)) << c.a << "/" << c.c;
    }
    Complex one = Complex(3, 4) / Complex(3, 4);
    EXPECT_EQ(one.getReal(), 1.0);
    EXPECT_EQ(one.getImaginary(), 0.0);
    Complex byZero = Complex(1, 2) / Complex(0, 0);
    EXPECT_TRUE(std::isnan(byZero.getReal()));
    EXPECT_TRUE(std::isnan(byZero.getImaginary()));
}

TEST(Complex, MixedOperandsActOnTheRealPartOrScaleBoth) {
    Complex z(1.5, -2.5);
    struct Case { Complex result; double re, im; };
    const Case cases[] = {
        {z + 2, 3.5, -2.5}, {z + 2.0, 3.5, -2.5}, {z - 2, -0.5, -2.5}, {z - 2.0, -0.5, -2.5},
        {z * 2, 3, -5},     {z * 2.0, 3, -5},     {z / 2, 0.75, -1.25}, {z / 2.0, 0.75, -1.25},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.getReal(), c.re);
        EXPECT_EQ(c.result.getImaginary(), c.im);
    }
}

TEST(Complex, LogarithmAndPowersAgreeWithKnownValues) {
    Complex logZero = Complex(0, 0).logarithm();
    EXPECT_EQ(logZero.getReal(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(logZero.getImaginary(), 0.0);
    EXPECT_EQ(Complex(-1, 0).logarithm().getImaginary(), PI);

    struct Case { Complex value; double re, im; };
    const double ln2 = std::log(2.0);
    const Case cases[] = {
        {Complex(0, 1).exp(Complex(0, 1)), std::exp(-PI / 2), 0},        // i^i
        {Complex(-1, 0).exp(Complex(0.5, 0)), 0, 1},                      // sqrt(-1)
        {Complex(2, 0).exp(Complex(1, 1)), 2 * std::cos(ln2), 2 * std::sin(ln2)},
        {Complex(1, 1).exp(4), -4, 0},                                    // de Moivre
        {Complex(0, 2).exp(0.5), 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(isClose(c.value.getReal(), c.re)) << c.re << " + " << c.im << "i";
        EXPECT_TRUE(isClose(c.value.getImaginary(), c.im)) << c.re << " + " << c.im << "i";
    }
}

TEST(Complex, PrintsSignedImaginaryPart) {
    EXPECT_EQ(printed(Complex(1, 2)), "1 + 2i");
    EXPECT_EQ(printed(Complex(1, -2)), "1 - 2i");
    EXPECT_EQ(printed(Complex(0, -0.0)), "0 + -0i");
    EXPECT_EQ(printed(Complex(1, NaN)).rfind("1 - ", 0), 0u) << printed(Complex(1, NaN));
}
