// SPDX-License-Identifier: MIT
// The one tolerance for computed values: relative, so 1e200 and 1e-200 results are
// judged by their leading digits, and absolute only against an expected zero. 1e-12 is
// far above the rounding of a few dozen operations and far below a wrong formula's error.
#ifndef TESSARY_TOLERANCE_H
#define TESSARY_TOLERANCE_H

#include <cmath>
#include <iomanip>

#include <gtest/gtest.h>

inline ::testing::AssertionResult isClose(double actual, double expected) {
    double allowed = 1e-12 * (expected == 0 ? 1 : std::fabs(expected));
    if (std::fabs(actual - expected) <= allowed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::setprecision(17) << actual << " != " << expected;
}

#endif
