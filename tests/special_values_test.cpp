// SPDX-License-Identifier: MIT
// Every operation of the three number types over zeros, infinities, NaN and the ends
// of the double range: nothing traps (the sanitizer build runs this too), a NaN operand
// never comes out as a clean finite result, and a zero divisor never yields a finite one.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "complex.h"
#include "dual.h"
#include "splitcomplex.h"

namespace {

const double INF = std::numeric_limits<double>::infinity();
const double NAN_ = std::numeric_limits<double>::quiet_NaN();
const double EDGES[] = {0.0, -0.0, 1.0, -2.5, 1e300, 1e-300, 5e-324, INF, -INF, NAN_};

double second(Complex z) { return z.getImaginary(); }
double second(SplitComplex z) { return z.getImaginary(); }
double second(Dual x) { return x.getDual(); }

template <typename T>
bool hasNan(T value) {
    return std::isnan(value.getReal()) || std::isnan(second(value));
}

template <typename T>
bool isFinite(T value) {
    return std::isfinite(value.getReal()) && std::isfinite(second(value));
}

template <typename T>
void checkEdges() {
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

}  // namespace

TEST(SpecialValues, FlowThroughEveryNumberType) {
    checkEdges<Complex>();
    checkEdges<Dual>();
    checkEdges<SplitComplex>();
    Complex(0, 0).exp(Complex(NAN_, INF));
    Complex(INF, NAN_).exp(Complex(0, 0));
    Dual(-INF, NAN_).exp(Dual(INF, 1));
}
