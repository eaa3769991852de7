// SPDX-License-Identifier: MIT
#include "twoparts.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace twoparts {

namespace {

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Whether a sum of squares kept full precision: finite and not in or below the subnormal range.
bool sumOfSquaresHeld(double sum) {
    return std::isnormal(sum);
}

}  // namespace

// The squares are formed by pow(x, 2) so that ordinary values give the textbook
// results bit for bit (3, 4 gives 5). Only when that sum has overflowed to infinity
// or sunk below the normal range do we scale by the larger part, the one way to keep
// 1e200 + 1e200i from reading as infinite and 3e-200 + 4e-200i as zero.
double magnitude(double a, double b) {
    double sum = std::pow(a, 2) + std::pow(b, 2);
    if (sumOfSquaresHeld(sum) || !std::isfinite(a) || !std::isfinite(b) || (a == 0 && b == 0)) {
        return std::sqrt(sum);
    }
    double scale = std::max(std::fabs(a), std::fabs(b));
    return scale * std::sqrt(std::pow(a / scale, 2) + std::pow(b / scale, 2));
}

double argument(double a, double b) {
    return std::atan2(b, a);
}

Parts product(double a, double b, double c, double d) {
    return {a * c - b * d, a * d + b * c};
}

// As with the magnitude, the plain formula stands wherever it keeps the result.
// Where c^2 + d^2 overflows or underflows, or a numerator overflows, both operands
// are brought to parts of at most 1 and the ratio of their scales is applied last.
// Non-finite operands and a zero divisor keep the plain formula's IEEE result (a zero
// divisor gives 0/0, NaN in both parts). A zero dividend takes the divisor's scale, so
// that zero over a tiny divisor comes out zero, not the 0/0 of an underflowed c^2 + d^2.
Parts quotient(double a, double b, double c, double d) {
    double denominator = std::pow(c, 2) + std::pow(d, 2);
    Parts retVal{(a * c + b * d) / denominator, (b * c - a * d) / denominator};
    bool lost =
        !sumOfSquaresHeld(denominator) || !std::isfinite(retVal.first) || !std::isfinite(retVal.second);
    if (!lost || !allFinite(a, b, c, d) || (c == 0 && d == 0)) {
        return retVal;
    }
    double divisorScale = std::max(std::fabs(c), std::fabs(d));
    double dividendScale = std::max(std::fabs(a), std::fabs(b));
    if (dividendScale == 0) {
        dividendScale = divisorScale;
    }
    double as = a / dividendScale;
    double bs = b / dividendScale;
    double cs = c / divisorScale;
    double ds = d / divisorScale;
    double scaledDenominator = std::pow(cs, 2) + std::pow(ds, 2);
    double ratio = dividendScale / divisorScale;
    retVal.first = (as * cs + bs * ds) / scaledDenominator * ratio;
    retVal.second = (bs * cs - as * ds) / scaledDenominator * ratio;
    return retVal;
}

Parts logarithm(double a, double b) {
    return {std::log(magnitude(a, b)), argument(a, b)};
}

Parts power(double a, double b, double exponent) {
    double abs = magnitude(a, b);
    double arg = argument(a, b);
    double scale = std::pow(abs, exponent);
    return {scale * std::cos(exponent * arg), scale * std::sin(exponent * arg)};
}

void print(std::ostream& os, double a, double b, const char* suffix) {
    // NaN fails the comparison and so takes the minus branch; -0 passes it.
    if (b >= 0) {
        os << a << " + " << b << suffix;
    } else {
        os << a << " - " << -b << suffix;
    }
}

}  // namespace twoparts
