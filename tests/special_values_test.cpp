// SPDX-License-Identifier: MIT
// Every operation of the three number types over zeros, infinities, NaN and the ends
// of the double range: nothing traps (the sanitizer build runs this too), a NaN operand
// never comes out as a clean finite result, and a zero divisor never yields a finite one.
#include <cmath>

#include <gtest/gtest.h>

#include "support/parts.h"

namespace {

const double EDGES[] = {0.0, -0.0, 1.0, -2.5, 1e300, 1e-300, 5e-324, INF, -INF, NAN_};

template <typename T>
bool hasNan(T value) {
    return std::isnan(value.getReal()) || std::isnan(secondPart(value));
}

template <typename T>
bool isFinite(T value) {
    return std::isfinite(value.getReal()) && std::isfinite(secondPart(value));
}

template <typename T>
class SpecialValues : public ::testing::Test {};
TYPED_TEST_SUITE(SpecialValues, NumberTypes, ByIndex);

}  // namespace

TYPED_TEST(SpecialValues, FlowThroughEveryOperation) {
    using T = TypeParam;
    for (double a : EDGES) {
        for (double b : EDGES) {
            T x(a, b);
            bool nanIn = std::isnan(a) || std::isnan(b);
            SCOPED_TRACE(testing::Message() << "(" << a << ", " << b << ")");
            double magnitude = x.getMagnitude();
            EXPECT_EQ(std::isnan(magnitude), nanIn);
            EXPECT_TRUE(nanIn || magnitude >= 0);
            EXPECT_TRUE(nanIn || std::isinf(magnitude) == (std::isinf(a) || std::isinf(b)));
            T byZero = x / T(0, 0);
            if (a != 0 || b != 0) {
                EXPECT_FALSE(isFinite(byZero));
            }
            x.logarithm();
            x.exp(3);
            x.exp(-0.5);
            x.getConjugate();
            for (double c : EDGES) {
                T y(c, 1.5);
                bool nan = nanIn || std::isnan(c);
                if (nan) {
                    EXPECT_TRUE(hasNan(x + y) && hasNan(x - y) && hasNan(x * y) && hasNan(x / y));
                }
            }
        }
    }
}

TEST(SpecialValues, FlowThroughThePowersWithAMovingExponent) {
    EXPECT_PARTS(Complex(0, 0).exp(Complex(NAN_, INF)), 0, 0);  // a zero base, whatever the power
    EXPECT_TRUE(hasNan(Complex(INF, NAN_).exp(Complex(0, 0))));
    EXPECT_TRUE(hasNan(Dual(-INF, NAN_).exp(Dual(INF, 1))));
}
