// SPDX-License-Identifier: MIT
#include "complex.h"

#include <cmath>
#include <complex>

#include "twoparts.h"

namespace {

Complex fromParts(twoparts::Parts parts) {
    return Complex(parts.first, parts.second);
}

// log z = (ln |z|, atan2(Im z, Re z)), with |z| scaled by the larger part and the
// squares formed as plain products, for the complex power below. Where one part is
// zero and the other finite the scaled formula gives exactly the other's size, so the
// two divisions and the square root are skipped: every vertex of a frame takes this
// path with the real base 2.718.
std::complex<double> scaledLog(std::complex<double> z) {
    double scale = std::fabs(z.real());
    if (std::fabs(z.imag()) > scale) {
        scale = std::fabs(z.imag());
    }
    double abs = 0;
    if ((z.real() == 0 || z.imag() == 0) && std::isfinite(scale)) {
        abs = scale;
    } else if (scale != 0) {
        double x = z.real() / scale;
        double y = z.imag() / scale;
        abs = scale * std::sqrt(x * x + y * y);
    }
    return {std::log(abs), std::atan2(z.imag(), z.real())};
}

}  // namespace

double Complex::getArgument() const {
    return twoparts::argument(realPart, imaginaryPart);
}

double Complex::getMagnitude() const {
    return twoparts::magnitude(realPart, imaginaryPart);
}

Complex Complex::getConjugate() const {
    Complex retVal(realPart, -imaginaryPart);
    return retVal;
}

void Complex::print(std::ostream& os) const {
    twoparts::print(os, realPart, imaginaryPart, "i");
}

Complex Complex::operator+(Complex rhs) {
    Complex retVal(realPart + rhs.realPart, imaginaryPart + rhs.imaginaryPart);
    return retVal;
}

Complex Complex::operator+(int rhs) {
    return *this + static_cast<double>(rhs);
}

Complex Complex::operator+(double rhs) {
    Complex retVal(realPart + rhs, imaginaryPart);
    return retVal;
}

Complex Complex::operator-(Complex rhs) {
    Complex retVal(realPart - rhs.realPart, imaginaryPart - rhs.imaginaryPart);
    return retVal;
}

Complex Complex::operator-(int rhs) {
    return *this - static_cast<double>(rhs);
}

Complex Complex::operator-(double rhs) {
    Complex retVal(realPart - rhs, imaginaryPart);
    return retVal;
}

Complex Complex::operator*(Complex rhs) {
    Complex retVal = fromParts(twoparts::product(realPart, imaginaryPart, rhs.realPart, rhs.imaginaryPart));
    return retVal;
}

Complex Complex::operator*(int rhs) {
    return *this * static_cast<double>(rhs);
}

Complex Complex::operator*(double rhs) {
    Complex retVal(realPart * rhs, imaginaryPart * rhs);
    return retVal;
}

Complex Complex::operator/(Complex rhs) {
    Complex retVal = fromParts(twoparts::quotient(realPart, imaginaryPart, rhs.realPart, rhs.imaginaryPart));
    return retVal;
}

Complex Complex::operator/(int rhs) {
    return *this / static_cast<double>(rhs);
}

Complex Complex::operator/(double rhs) {
    Complex retVal(realPart / rhs, imaginaryPart / rhs);
    return retVal;
}

Complex Complex::logarithm() {
    Complex retVal = fromParts(twoparts::logarithm(realPart, imaginaryPart));
    return retVal;
}

Complex Complex::exp(int exp) {
    return this->exp(static_cast<double>(exp));
}

Complex Complex::exp(double exp) {
    Complex retVal = fromParts(twoparts::power(realPart, imaginaryPart, exp));
    return retVal;
}

// The power is spelled out rather than left to std::pow, whose C99 path gives NaN
// for a zero base: here 0^w is 0 for every w. The product is std::complex's, which
// follows C99 Annex G and recovers infinities that the plain formula turns into NaN.
Complex Complex::exp(Complex exp) {
    std::complex<double> base(realPart, imaginaryPart);
    std::complex<double> exponent(exp.realPart, exp.imaginaryPart);
    if (base.real() == 0 && base.imag() == 0) {
        Complex retVal(0, 0);
        return retVal;
    }
    std::complex<double> power = exponent * scaledLog(base);
    double growth = std::exp(power.real());
    Complex retVal(growth * std::cos(power.imag()), growth * std::sin(power.imag()));
    return retVal;
}
