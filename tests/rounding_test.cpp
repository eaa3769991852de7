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

// Times its conjugate (a, -b), the second part a·(-b) + b·a is two products, rounded
// alike, that cancel to exactly zero. Over itself, the complex numerator's real part
// a·a + b·b is the denominator's pow(a, 2) + pow(b, 2) rounded the same way and b·a - a·b
// is zero; the dual quotient is a/a with b/a - 1·(b/a). Either way exactly (1, 0).
TYPED_TEST(Rounding, TimesItsConjugateIsRealAndOverItselfIsExactlyOne) {
    int wrong = 0;
    for (double a : inexactParts())
        for (double b : inexactParts()) {
            TypeParam z(a, b);
            TypeParam product = z * z.getConjugate();
            TypeParam quotient = z / z;
            bool exact = secondPart(product) == 0 && quotient.getReal() == 1 && secondPart(quotient) == 0;
            if (!exact && ++wrong <= 3)
                ADD_FAILURE() << "(" << a << ", " << b << ") times its conjugate has second part "
                              << secondPart(product) << ", over itself gives (" << quotient.getReal() << ", "
                              << secondPart(quotient) << ")";
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
