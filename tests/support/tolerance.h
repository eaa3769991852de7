// SPDX-License-Identifier: MIT
// The one tolerance for computed values: relative, so 1e200 and 1e-200 results are
// judged by their leading digits. 1e-12 is far above the rounding of a few dozen
// operations and far below a wrong formula's error. Against an expected zero it is
// absolute, 1e-14: the zeros checked come from numbers of order one to ten (sin π times
// 8 is about 1e-15), and a looser floor would pass a small wrong term.
#ifndef TESSARY_TOLERANCE_H
#define TESSARY_TOLERANCE_H

#include <cmath>
#include <iomanip>

#include <gtest/gtest.h>

// `relative` may be tighter for results that are one or two roundings from exact:
// TIGHT allows 2 to 4 units in the last place, never more.
constexpr double TIGHT = 2 * 2.220446049250313e-16;

inline ::testing::AssertionResult isClose(double actual, double expected, double relative = 1e-12) {
    double allowed = expected == 0 ? 1e-14 : relative * std::fabs(expected);
    if (std::fabs(actual - expected) <= allowed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::setprecision(17) << actual << " != " << expected;
}

#endif
