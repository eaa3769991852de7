// SPDX-License-Identifier: MIT
// What the number-type tests share: the types as one list for typed tests, the special
// values, the second part of any type, and one check of both parts against expected
// values: EXPECT_PARTS where the result is promised exactly, EXPECT_PARTS_NEAR (isClose
// on each part) where it is computed with rounding. An expected NaN asks for a NaN.
#ifndef TESSARY_PARTS_H
#define TESSARY_PARTS_H

#include <cmath>
#include <iomanip>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "complex.h"
#include "dual.h"
#include "splitcomplex.h"
#include "tolerance.h"

using NumberTypes = ::testing::Types<Complex, Dual, SplitComplex>;

// TYPED_TEST_SUITE's third argument, which Clang's pedantic warnings want given: names
// by index, as the default does, so that ctest lists Suite.Case<Type>.
struct ByIndex {
    template <typename T>
    static std::string GetName(int index) {
        return std::to_string(index);
    }
};

inline constexpr double PI = 3.141592653589793;
inline constexpr double INF = std::numeric_limits<double>::infinity();
inline constexpr double NAN_ = std::numeric_limits<double>::quiet_NaN();

inline double secondPart(const Complex& z) {
    return z.getImaginary();
}
inline double secondPart(const SplitComplex& z) {
    return z.getImaginary();
}
inline double secondPart(const Dual& x) {
    return x.getDual();
}

template <typename T>
::testing::AssertionResult hasParts(const T& value, double first, double second, bool exact) {
    auto matches = [exact](double actual, double expected) {
        if (std::isnan(expected)) return std::isnan(actual);
        return exact ? actual == expected : static_cast<bool>(isClose(actual, expected));
    };
    if (matches(value.getReal(), first) && matches(secondPart(value), second)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << std::setprecision(17) << "got (" << value.getReal() << ", " << secondPart(value)
           << "), expected (" << first << ", " << second << ")" << (exact ? " exactly" : "");
}

#define EXPECT_PARTS(value, first, second) EXPECT_TRUE(hasParts((value), (first), (second), true))
#define EXPECT_PARTS_NEAR(value, first, second) EXPECT_TRUE(hasParts((value), (first), (second), false))

#endif
