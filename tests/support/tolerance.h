// The one tolerance for computed values in the tests. Relative, so that 1e200 and
// 1e-200 results are judged by their leading digits, and absolute only against an
// expected zero. 1e-12 lies far above the rounding of a few dozen operations and far
// below any wrong formula, base or angle worth catching.
#ifndef TESSARY_TOLERANCE_H
#define TESSARY_TOLERANCE_H

#include <cmath>
#include <iomanip>

#include <gtest/gtest.h>

constexpr double TOLERANCE = 1e-12;

inline ::testing::AssertionResult isClose(double actual, double expected) {
    double allowed = expected == 0 ? TOLERANCE : TOLERANCE * std::fabs(expected);
    if (std::fabs(actual - expected) <= allowed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << std::setprecision(17) << actual << " is not within " << allowed << " of " << expected;
}

#endif
