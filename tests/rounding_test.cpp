// SPDX-License-Identifier: MIT
// Every product and sum of the number types is rounded on its own, as written. A compiler
// that fuses a*b + c into one multiply-add (GCC on aarch64, unless -ffp-contract=off)
// rounds once instead, and these identities, exact with separate roundings, fail by the
// rounding error of one product.
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "support/parts.h"

namespace {

// Parts whose products are inexact in binary (tenths, thousandths), positive and
// negative, small and large.
std::vector<double> inexactParts() {
    std::vector<double> parts;
    for (int i = 1; i <= 9; ++i) {
        parts.push_back(0.1 * i + 0.013);
        parts.push_back(-0.7 * i - 0.29);
        parts.push_back(1234.567 / i);
    }
    return parts;
}

std::uint64_t bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

template <typename T>
class Rounding : public ::testing::Test {};
TYPED_TEST_SUITE(Rounding, NumberTypes, ByIndex);

}  // namespace

// (a, b) times its conjugate (a, -b): the second part is a·(-b) + b·a, and the two
// products, rounded alike, cancel to exactly zero.
TYPED_TEST(Rounding, ANumberTimesItsConjugateHasASecondPartOfExactlyZero) {
    int wrong = 0;
    for (double a : inexactParts())
        for (double b : inexactParts()) {
            TypeParam z(a, b);
            const double s = secondPart(z * z.getConjugate());
            if (s != 0 && ++wrong <= 3)
                ADD_FAILURE() << "(" << a << ", " << b << ") times its conjugate has second part " << s;
        }
    EXPECT_EQ(wrong, 0);
}

// z / z: the numerator's real part a·a + b·b is the denominator's pow(a, 2) + pow(b, 2)
// rounded the same way, and its imaginary part b·a - a·b is zero, so the quotient is
// exactly (1, 0).
TEST(Rounding, AComplexNumberOverItselfIsExactlyOne) {
    int wrong = 0;
    for (double a : inexactParts())
        for (double b : inexactParts()) {
            Complex z(a, b);
            Complex q = z / z;
            if ((q.getReal() != 1 || q.getImaginary() != 0) && ++wrong <= 3)
                ADD_FAILURE() << "(" << a << ", " << b << ") over itself gives (" << q.getReal() << ", "
                              << q.getImaginary() << ")";
        }
    EXPECT_EQ(wrong, 0);
}

// Subnormal parts are numbers like any other: a machine or a flag that flushes them to
// zero (flush-to-zero, denormals-are-zero) turns these exact results into zeros. The
// comparison is of the bits: in that mode a floating-point == flushes the expected value
// too, and finds 0 equal to it.
TEST(Rounding, SubnormalPartsAreKeptNotFlushedToZero) {
    const double tiny = 5e-324;  // the least subnormal
    EXPECT_EQ(bits(secondPart(Complex(tiny, -tiny) * 2)), bits(-2 * tiny));
    EXPECT_EQ(bits(secondPart(SplitComplex(tiny, -tiny) * 2)), bits(-2 * tiny));
    EXPECT_EQ(bits(secondPart(Dual(tiny, -tiny) * 2)), bits(-2 * tiny));
    EXPECT_EQ(bits((Complex(tiny, 0) * 2).getReal()), bits(2 * tiny));
    // 6072 and 8096 units of the least subnormal, whose magnitude is exactly 10120 units.
    EXPECT_EQ(bits(Complex(3e-320, 4e-320).getMagnitude()), bits(5e-320));
}
