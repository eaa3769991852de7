// SPDX-License-Identifier: MIT
// What every number type does alike, checked once for Complex, Dual and SplitComplex;
// then what SplitComplex shares with Complex, whose formulas it computes with.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "support/parts.h"
#include "support/printed.h"

namespace {

// What differs: the letter printed last, and the square of the unit in the product
// (a + bu)(c + du) = (ac + u²bd, ad + bc): i² = -1, also for SplitComplex; ε² = 0.
template <typename T>
struct Rule {
    static constexpr char letter = 'i';
    static constexpr double unitSquare = -1;
};
template <>
struct Rule<Dual> {
    static constexpr char letter = 'd';
    static constexpr double unitSquare = 0;
};

template <typename T>
class NumberType : public ::testing::Test {};
TYPED_TEST_SUITE(NumberType, NumberTypes, ByIndex);

template <typename T>
class ComplexRule : public ::testing::Test {};
using ComplexRuleTypes = ::testing::Types<Complex, SplitComplex>;
TYPED_TEST_SUITE(ComplexRule, ComplexRuleTypes, ByIndex);

}  // namespace

TYPED_TEST(NumberType, ArithmeticFollowsItsRuleAndQuotientUndoesProduct) {
    using T = TypeParam;
    EXPECT_PARTS(T(), 0, 0);
    EXPECT_PARTS(T(1.5, -2.5), 1.5, -2.5);
    const double cases[][4] = {{2, 3, 4, 5}, {0, 1, 0, 1}, {1.5, -2, -3, 0.5}};
    for (const auto& [a, b, c, d] : cases) {
        EXPECT_PARTS(T(a, b) * T(c, d), a * c + Rule<T>::unitSquare * b * d, a * d + b * c);
        EXPECT_PARTS(T(a, b) + T(c, d), a + c, b + d);
        EXPECT_PARTS(T(a, b) - T(c, d), a - c, b - d);
    }
    for (T y : {T(4, 5), T(-0.3, 7), T(250, -1e-2)}) {
        EXPECT_PARTS_NEAR((T(1.5, -2.25) * y) / y, 1.5, -2.25);
    }
    EXPECT_PARTS(T(3, 4) / T(3, 4), 1, 0);
    EXPECT_PARTS_NEAR(T(1, 1) / 1e200, 1e-200, 1e-200);  // as by (1e200, 0): its square overflows
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
        EXPECT_PARTS(z + 3 - 0.5, a + 2.5, b);
        EXPECT_PARTS(z * 6 / 4.0, a * 1.5, b * 1.5);
    }
}

TYPED_TEST(NumberType, ConjugateNegatesOnlyTheSecondPart) {
    using T = TypeParam;
    const T z(3, 4);
    EXPECT_PARTS(z.getConjugate(), 3, -4);
    EXPECT_PARTS(z, 3, 4);  // a const value, left as it was
    EXPECT_PARTS(T(-2.5, -0.5).getConjugate(), -2.5, 0.5);
    EXPECT_PARTS(T(2, 3).getConjugate(), 2, -3);
    EXPECT_PARTS(z.getConjugate().getConjugate(), 3, 4);
    EXPECT_PARTS(T(3, 4) * z.getConjugate(), 9 - Rule<T>::unitSquare * 16, 0);  // no second part
    // -b, not 0 - b: a +0 second part becomes -0 and -0 becomes +0; a -0 real part stays.
    T fromPlusZero = T(-0.0, 0.0).getConjugate();
    EXPECT_TRUE(std::signbit(fromPlusZero.getReal()));
    EXPECT_TRUE(std::signbit(secondPart(fromPlusZero)));
    EXPECT_FALSE(std::signbit(secondPart(T(1, -0.0).getConjugate())));
    // Reflected across the real axis, a number just above the cut lands just below it.
    EXPECT_EQ(T(-1, 0).getConjugate().getArgument(), -PI);
}

// Those of the point (a, b); the magnitude rescales where the squares would overflow
// (1e200) or underflow (1e-200).
TYPED_TEST(NumberType, ArgumentAndMagnitudeAreThoseOfThePoint) {
    using T = TypeParam;
    EXPECT_EQ(T(-1, 0).getArgument(), PI);
    EXPECT_EQ(T(-1, -0.0).getArgument(), -PI);
    EXPECT_TRUE(isClose(T(-1, 1).getArgument(), 3 * PI / 4, TIGHT));
    EXPECT_EQ(T(3, 4).getMagnitude(), 5);
    EXPECT_TRUE(isClose(T(3e200, 4e200).getMagnitude(), 5e200, TIGHT));
    EXPECT_TRUE(isClose(T(1e200, 1e200).getMagnitude(), 1.4142135623730951e200));
    EXPECT_TRUE(isClose(T(3e-200, 4e-200).getMagnitude(), 5e-200, TIGHT));
}

TYPED_TEST(NumberType, PrintsTheSignOfTheSecondPartBetweenAndItsLetterLast) {
    using T = TypeParam;
    const std::string letter(1, Rule<T>::letter);
    EXPECT_EQ(printed(T(1, 2)), "1 + 2" + letter);
    EXPECT_EQ(printed(T(1, -2)), "1 - 2" + letter);
    EXPECT_EQ(printed(T(1, -1)), "1 - 1" + letter);
    EXPECT_EQ(printed(T(0, -0.0)), "0 + -0" + letter);  // -0 >= 0 holds
    std::string nan = printed(T(1, NAN_));              // NaN >= 0 fails
    EXPECT_EQ(nan.rfind("1 - ", 0), 0u) << nan;
    EXPECT_EQ(nan.back(), Rule<T>::letter) << nan;
}

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
