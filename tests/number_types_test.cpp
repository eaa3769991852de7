// SPDX-License-Identifier: MIT
// What every number type does alike, checked once for Complex, Dual and SplitComplex;
// then what Complex and SplitComplex share, since SplitComplex computes with the complex
// formulas. What only one type does is in that type's own test.
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "support/parts.h"
#include "support/printed.h"

namespace {

const double PI = 3.141592653589793;
const double INF = std::numeric_limits<double>::infinity();
const double NAN_ = std::numeric_limits<double>::quiet_NaN();

// What differs between the types: the letter printed last, and the product rule, written
// out by hand: i² = -1 for Complex and (as it computes) SplitComplex, ε² = 0 for Dual.
template <typename T>
struct Rule {
    static constexpr const char* suffix = "i";
    static std::pair<double, double> product(double a, double b, double c, double d) {
        return {a * c - b * d, a * d + b * c};
    }
};

template <>
struct Rule<Dual> {
    static constexpr const char* suffix = "d";
    static std::pair<double, double> product(double a, double b, double c, double d) {
        return {a * c, a * d + b * c};
    }
};

template <typename T>
class NumberType : public ::testing::Test {};
TYPED_TEST_SUITE(NumberType, NumberTypes);

template <typename T>
class ComplexRule : public ::testing::Test {};
using ComplexRuleTypes = ::testing::Types<Complex, SplitComplex>;
TYPED_TEST_SUITE(ComplexRule, ComplexRuleTypes);

}  // namespace

TYPED_TEST(NumberType, StartsAtZeroAndGivesBackItsParts) {
    EXPECT_PARTS(TypeParam(), 0, 0);
    EXPECT_PARTS(TypeParam(1.5, -2.5), 1.5, -2.5);
}

TYPED_TEST(NumberType, ProductFollowsItsRuleAndQuotientUndoesIt) {
    const double cases[][4] = {{2, 3, 4, 5}, {0, 1, 0, 1}, {1.5, -2, -3, 0.5}};
    for (const auto& c : cases) {
        auto [first, second] = Rule<TypeParam>::product(c[0], c[1], c[2], c[3]);
        EXPECT_PARTS(TypeParam(c[0], c[1]) * TypeParam(c[2], c[3]), first, second);
        EXPECT_PARTS(TypeParam(c[0], c[1]) + TypeParam(c[2], c[3]), c[0] + c[2], c[1] + c[3]);
        EXPECT_PARTS(TypeParam(c[0], c[1]) - TypeParam(c[2], c[3]), c[0] - c[2], c[1] - c[3]);
    }
    for (TypeParam y : {TypeParam(4, 5), TypeParam(-0.3, 7), TypeParam(250, -1e-2)}) {
        EXPECT_PARTS_NEAR((TypeParam(1.5, -2.25) * y) / y, 1.5, -2.25);
    }
    EXPECT_PARTS(TypeParam(3, 4) / TypeParam(3, 4), 1, 0);
    // Divided as a number (rhs, 0), whose square would underflow to 0.
    EXPECT_PARTS_NEAR(TypeParam(1, 1) / 1e200, 1e-200, 1e-200);
}

TYPED_TEST(NumberType, PlainOperandsShiftTheRealPartOrScaleBoth) {
    const double cases[][2] = {{1.5, -2.5}, {2, 3}, {1, 2}, {8, 12}};
    for (const auto& [a, b] : cases) {
        TypeParam z(a, b);
        SCOPED_TRACE(testing::Message() << "(" << a << ", " << b << ")");
        EXPECT_PARTS(z + 2, a + 2, b);
        EXPECT_PARTS(z + 2.0, a + 2, b);
        EXPECT_PARTS(z - 2, a - 2, b);
        EXPECT_PARTS(z - 2.0, a - 2, b);
        EXPECT_PARTS(z * 2, a * 2, b * 2);
        EXPECT_PARTS(z * 2.0, a * 2, b * 2);
        EXPECT_PARTS(z / 2, a / 2, b / 2);
        EXPECT_PARTS(z / 2.0, a / 2, b / 2);
        EXPECT_PARTS(z / 4, a / 4, b / 4);
        EXPECT_PARTS(z + 3 - 0.5, a + 2.5, b);
        EXPECT_PARTS(z * 6 / 4.0, a * 1.5, b * 1.5);
    }
}

// The number times its conjugate has no second part: (a² + b², 0), or (a², 0) for Dual.
TYPED_TEST(NumberType, ConjugateNegatesOnlyTheSecondPart) {
    const TypeParam z(3, 4);
    EXPECT_PARTS(z.getConjugate(), 3, -4);
    EXPECT_PARTS(z, 3, 4);  // a const value, left as it was
    EXPECT_PARTS(TypeParam(-2.5, -0.5).getConjugate(), -2.5, 0.5);
    EXPECT_PARTS(TypeParam(2, 3).getConjugate(), 2, -3);
    EXPECT_PARTS(z.getConjugate().getConjugate(), 3, 4);
    auto [first, second] = Rule<TypeParam>::product(3, 4, 3, -4);
    EXPECT_PARTS(TypeParam(3, 4) * z.getConjugate(), first, second);

    // -b, not 0 - b: a +0 second part becomes -0 and -0 becomes +0; a -0 real part stays.
    TypeParam fromPlusZero = TypeParam(-0.0, 0.0).getConjugate();
    EXPECT_TRUE(std::signbit(fromPlusZero.getReal()));
    EXPECT_TRUE(std::signbit(secondPart(fromPlusZero)));
    EXPECT_FALSE(std::signbit(secondPart(TypeParam(1, -0.0).getConjugate())));
    // Reflected across the real axis, a number just above the cut lands just below it.
    EXPECT_EQ(TypeParam(-1, 0).getConjugate().getArgument(), -PI);
}

// Magnitude and argument are those of the point (a, b); the magnitude rescales where the
// squares would overflow (1e200) or underflow (1e-200).
TYPED_TEST(NumberType, ArgumentAndMagnitudeAreThoseOfThePoint) {
    EXPECT_EQ(TypeParam(-1, 0).getArgument(), PI);
    EXPECT_EQ(TypeParam(-1, -0.0).getArgument(), -PI);
    EXPECT_TRUE(isClose(TypeParam(-1, 1).getArgument(), 3 * PI / 4));
    EXPECT_EQ(TypeParam(3, 4).getMagnitude(), 5);
    EXPECT_TRUE(isClose(TypeParam(3e200, 4e200).getMagnitude(), 5e200));
    EXPECT_TRUE(isClose(TypeParam(1e200, 1e200).getMagnitude(), 1.4142135623730951e200));
    EXPECT_TRUE(isClose(TypeParam(3e-200, 4e-200).getMagnitude(), 5e-200));
}

TYPED_TEST(NumberType, PrintsTheSignOfTheSecondPartBetweenAndItsLetterLast) {
    const std::string letter = Rule<TypeParam>::suffix;
    EXPECT_EQ(printed(TypeParam(1, 2)), "1 + 2" + letter);
    EXPECT_EQ(printed(TypeParam(1, -2)), "1 - 2" + letter);
    EXPECT_EQ(printed(TypeParam(1, -1)), "1 - 1" + letter);
    EXPECT_EQ(printed(TypeParam(0, -0.0)), "0 + -0" + letter);  // -0 >= 0 holds
    std::string nan = printed(TypeParam(1, NAN_));  // NaN >= 0 fails
    EXPECT_EQ(nan.rfind("1 - ", 0), 0u) << nan;
    EXPECT_EQ(nan.back(), letter.back()) << nan;
}

// c² + d² is neither formed as it stands nor allowed to overflow or underflow.
TYPED_TEST(ComplexRule, QuotientRescalesWhereSquaresOverflowOrUnderflow) {
    using T = TypeParam;
    EXPECT_PARTS_NEAR(T(1, 1) / T(1e200, 1e200), 1e-200, 0);
    EXPECT_PARTS_NEAR(T(1, 0) / T(0, 1e-200), 0, -1e200);
    EXPECT_PARTS_NEAR(T(1e300, 0) / T(1e300, 1e300), 0.5, -0.5);
    EXPECT_PARTS(T(0, 0) / T(1e-200, 1e-200), 0, 0);
    EXPECT_PARTS(T(1, 2) / T(0, 0), NAN_, NAN_);
}

TYPED_TEST(ComplexRule, LogarithmAndPowersAgreeWithKnownValues) {
    using T = TypeParam;
    EXPECT_PARTS(T(0, 0).logarithm(), -INF, 0);
    EXPECT_PARTS_NEAR(T(-1, 0).logarithm(), 0, PI);
    EXPECT_PARTS_NEAR(T(1, 1).exp(4), -4, 0);
    EXPECT_PARTS_NEAR(T(0, 2).exp(0.5), 1, 1);
    EXPECT_PARTS_NEAR(T(0, 2).exp(3), 0, -8);  // (2i)^3 = -8i
}
