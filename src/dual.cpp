// SPDX-License-Identifier: MIT
#include "dual.h"

#include <cmath>

#include "twoparts.h"

Dual::Dual() : realPart(0), dualPart(0) {}

Dual::Dual(double a, double b) : realPart(a), dualPart(b) {}

double Dual::getReal() const {
    return realPart;
}

double Dual::getDual() const {
    return dualPart;
}

double Dual::getArgument() const {
    return twoparts::argument(realPart, dualPart);
}

double Dual::getMagnitude() const {
    return twoparts::magnitude(realPart, dualPart);
}

Dual Dual::getConjugate() const {
    Dual retVal(realPart, -dualPart);
    return retVal;
}

void Dual::print(std::ostream& os) const {
    twoparts::print(os, realPart, dualPart, "d");
}

Dual Dual::operator+(Dual rhs) {
    Dual retVal(realPart + rhs.realPart, dualPart + rhs.dualPart);
    return retVal;
}

Dual Dual::operator+(int rhs) {
    return *this + static_cast<double>(rhs);
}

Dual Dual::operator+(double rhs) {
    Dual retVal(realPart + rhs, dualPart);
    return retVal;
}

Dual Dual::operator-(Dual rhs) {
    Dual retVal(realPart - rhs.realPart, dualPart - rhs.dualPart);
    return retVal;
}

Dual Dual::operator-(int rhs) {
    return *this - static_cast<double>(rhs);
}

Dual Dual::operator-(double rhs) {
    Dual retVal(realPart - rhs, dualPart);
    return retVal;
}

Dual Dual::operator*(Dual rhs) {
    Dual retVal(realPart * rhs.realPart, realPart * rhs.dualPart + rhs.realPart * dualPart);
    return retVal;
}

Dual Dual::operator*(int rhs) {
    return *this * static_cast<double>(rhs);
}

Dual Dual::operator*(double rhs) {
    return *this * Dual(rhs, 0);
}

// (a + bε) / (c + dε) = a/c + (b - (a/c)·d)/c · ε. Written over c² it would be
// ((a·c) / c², (b·c - a·d) / c²), whose c² and a·c overflow or underflow long
// before the quotient does (1 + ε over 1e200 would come out 0). The order of the
// last steps keeps the product with a/c from overflowing needlessly: for |c| >= 1
// d/c is no larger than d, and for |c| < 1 dividing by c last only enlarges, so an
// overflow there means the dual part itself overflows.
Dual Dual::operator/(Dual rhs) {
    double c = rhs.realPart;
    double d = rhs.dualPart;
    double realQuotient = realPart / c;
    double dualQuotient = 0;
    if (std::fabs(c) >= 1) {
        dualQuotient = dualPart / c - realQuotient * (d / c);
    } else {
        dualQuotient = (dualPart - realQuotient * d) / c;
    }
    Dual retVal(realQuotient, dualQuotient);
    return retVal;
}

Dual Dual::operator/(int rhs) {
    return *this / static_cast<double>(rhs);
}

Dual Dual::operator/(double rhs) {
    return *this / Dual(rhs, 0);
}

Dual Dual::logarithm() {
    Dual retVal(std::log(realPart), dualPart / realPart);
    return retVal;
}

Dual Dual::exp(int exponent) {
    return this->exp(static_cast<double>(exponent));
}

Dual Dual::exp(double exponent) {
    return this->exp(Dual(exponent, 0));
}

// (a + bε)^(c + dε) is a^c with its first-order change
// (d·ln a + c·b/a)·a^c = d·ln a·a^c + c·b·a^(c-1). By cases:
// - d != 0: the exponent moves, so ln a is needed; a <= 0 gives NaN or infinities
//   by nature, and the first form stands.
// - d == 0, c == 0: x^0 is the constant 1 for every base, 0 included: (1, 0).
//   The power rule would form 0·b·a^(-1), NaN at a = 0.
// - d == 0, c != 0: a fixed exponent contributes nothing, so the d·ln a term is
//   dropped rather than formed: formed, it is 0·NaN or 0·(-inf), NaN for a <= 0,
//   where the power itself is well defined. The power rule c·b·a^(c-1) then gives
//   (-2 + ε)^3 = -8 + 12ε, (0 + ε)^2 = 0 + 0ε and (0 + ε)^1 = 0 + 1ε. A negative base
//   with a non-integer exponent stays NaN, as pow gives it.
Dual Dual::exp(Dual exponent) {
    double c = exponent.realPart;
    double d = exponent.dualPart;
    double power = std::pow(realPart, c);
    if (d != 0) {
        Dual retVal(power, (d * std::log(realPart) + c * dualPart / realPart) * power);
        return retVal;
    }
    if (c == 0) {
        Dual retVal(1, 0);
        return retVal;
    }
    Dual retVal(power, c * dualPart * std::pow(realPart, c - 1));
    return retVal;
}
