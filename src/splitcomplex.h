// SPDX-License-Identifier: MIT
// Split-complex numbers a + bj as a small value class.
//
// The type carries the split-complex name but deliberately computes every member with
// the complex formulas: the product is (a*c - b*d, a*d + b*c), with the minus sign of
// complex numbers rather than the a*c + b*d of j^2 = +1; the quotient divides by
// c^2 + d^2; the magnitude is sqrt(a^2 + b^2). This is intended, not a slip to fix.
#ifndef TESSARY_SPLITCOMPLEX_H
#define TESSARY_SPLITCOMPLEX_H

#include <ostream>

class SplitComplex {
public:
    SplitComplex();
    SplitComplex(double a, double b);

    double getReal() const;
    double getImaginary() const;
    // atan2(b, a): -pi for a negative real part with imaginary part -0, pi with +0.
    double getArgument() const;
    // sqrt(a^2 + b^2); stays finite and non-zero where the squares alone would not.
    double getMagnitude() const;
    SplitComplex getConjugate() const;
    // Writes "a + bi", or "a - |b|i" for a negative or NaN b, in the stream's number format.
    void print(std::ostream& os) const;

    SplitComplex operator+(SplitComplex rhs);
    SplitComplex operator+(int rhs);
    SplitComplex operator+(double rhs);
    SplitComplex operator-(SplitComplex rhs);
    SplitComplex operator-(int rhs);
    SplitComplex operator-(double rhs);
    SplitComplex operator*(SplitComplex rhs);
    SplitComplex operator*(int rhs);
    SplitComplex operator*(double rhs);
    // A zero divisor gives NaN in both parts.
    SplitComplex operator/(SplitComplex rhs);
    SplitComplex operator/(int rhs);
    SplitComplex operator/(double rhs);

    // Principal logarithm: branch cut along the negative real axis; log 0 is (-inf, 0).
    SplitComplex logarithm();
    // The exp family raises THIS number to a power: z.exp(n) is z^n, not e^z, by
    // de Moivre's rule, so 0.exp(0) is (1, 0). There is no split-complex exponent.
    SplitComplex exp(int exp);
    SplitComplex exp(double exp);

private:
    double realPart;
    double imaginaryPart;
};

#endif
