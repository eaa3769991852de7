// SPDX-License-Identifier: MIT
#include "splitcomplex.h"

#include "twoparts.h"

namespace {

SplitComplex fromParts(twoparts::Parts parts) {
    return SplitComplex(parts.first, parts.second);
}

}  // namespace

SplitComplex::SplitComplex() : realPart(0), imaginaryPart(0) {}

SplitComplex::SplitComplex(double a, double b) : realPart(a), imaginaryPart(b) {}

double SplitComplex::getReal() const {
    return realPart;
}

double SplitComplex::getImaginary() const {
    return imaginaryPart;
}

double SplitComplex::getArgument() const {
    return twoparts::argument(realPart, imaginaryPart);
}

double SplitComplex::getMagnitude() const {
    return twoparts::magnitude(realPart, imaginaryPart);
}

SplitComplex SplitComplex::getConjugate() const {
    SplitComplex retVal(realPart, -imaginaryPart);
    return retVal;
}

void SplitComplex::print(std::ostream& os) const {
    twoparts::print(os, realPart, imaginaryPart, "i");
}

SplitComplex SplitComplex::operator+(SplitComplex rhs) {
    SplitComplex retVal(realPart + rhs.realPart, imaginaryPart + rhs.imaginaryPart);
    return retVal;
}

SplitComplex SplitComplex::operator+(int rhs) {
    return *this + static_cast<double>(rhs);
}

SplitComplex SplitComplex::operator+(double rhs) {
    SplitComplex retVal(realPart + rhs, imaginaryPart);
    return retVal;
}

SplitComplex SplitComplex::operator-(SplitComplex rhs) {
    SplitComplex retVal(realPart - rhs.realPart, imaginaryPart - rhs.imaginaryPart);
    return retVal;
}

SplitComplex SplitComplex::operator-(int rhs) {
    return *this - static_cast<double>(rhs);
}

SplitComplex SplitComplex::operator-(double rhs) {
    SplitComplex retVal(realPart - rhs, imaginaryPart);
    return retVal;
}

SplitComplex SplitComplex::operator*(SplitComplex rhs) {
    SplitComplex retVal =
        fromParts(twoparts::product(realPart, imaginaryPart, rhs.realPart, rhs.imaginaryPart));
    return retVal;
}

SplitComplex SplitComplex::operator*(int rhs) {
    return *this * static_cast<double>(rhs);
}

SplitComplex SplitComplex::operator*(double rhs) {
    SplitComplex retVal(realPart * rhs, imaginaryPart * rhs);
    return retVal;
}

SplitComplex SplitComplex::operator/(SplitComplex rhs) {
    SplitComplex retVal =
        fromParts(twoparts::quotient(realPart, imaginaryPart, rhs.realPart, rhs.imaginaryPart));
    return retVal;
}

SplitComplex SplitComplex::operator/(int rhs) {
    return *this / static_cast<double>(rhs);
}

SplitComplex SplitComplex::operator/(double rhs) {
    SplitComplex retVal(realPart / rhs, imaginaryPart / rhs);
    return retVal;
}

SplitComplex SplitComplex::logarithm() {
    SplitComplex retVal = fromParts(twoparts::logarithm(realPart, imaginaryPart));
    return retVal;
}

SplitComplex SplitComplex::exp(int exp) {
    return this->exp(static_cast<double>(exp));
}

SplitComplex SplitComplex::exp(double exp) {
    SplitComplex retVal = fromParts(twoparts::power(realPart, imaginaryPart, exp));
    return retVal;
}
