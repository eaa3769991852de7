// SPDX-License-Identifier: MIT
// Complex numbers a + bi as a small value class.
#ifndef TESSARY_COMPLEX_H
#define TESSARY_COMPLEX_H

#include <ostream>

// The constructors and part accessors are defined in the class so that the graph,
// which builds and reads a few values per vertex, gets them inlined.
class Complex {
public:
    Complex() : realPart(0), imaginaryPart(0) {}
    Complex(double a, double b) : realPart(a), imaginaryPart(b) {}

    double getReal() const { return realPart; }
    double getImaginary() const { return imaginaryPart; }
    // atan2(b, a): -pi for a negative real part with imaginary part -0, pi with +0.
    double getArgument() const;
    // sqrt(a^2 + b^2); stays finite and non-zero where the squares alone would not.
    double getMagnitude() const;
    Complex getConjugate() const;
    // Writes "a + bi", or "a - |b|i" for a negative or NaN b, in the stream's number format.
    void print(std::ostream& os) const;

    Complex operator+(Complex rhs);
    Complex operator+(int rhs);
    Complex operator+(double rhs);
    Complex operator-(Complex rhs);
    Complex operator-(int rhs);
    Complex operator-(double rhs);
    Complex operator*(Complex rhs);
    Complex operator*(int rhs);
    Complex operator*(double rhs);
    // A zero divisor gives NaN in both parts.
    Complex operator/(Complex rhs);
    Complex operator/(int rhs);
    Complex operator/(double rhs);

    // Principal logarithm: branch cut along the negative real axis; log 0 is (-inf, 0).
    Complex logarithm();
    // The exp family raises THIS number to a power: z.exp(w) is z^w, not e^z.
    // Integer and real powers follow de Moivre's rule, so 0.exp(0) is (1, 0).
    Complex exp(int exp);
    Complex exp(double exp);
    // Principal value exp(exp * log z). A zero base (either sign of zero) gives (0, 0)
    // for every exponent, 0^0 included.
    Complex exp(Complex exp);

    // The two parts under the names a graph reads: real, then imaginary.
    double getFirst() const { return realPart; }
    double getSecond() const { return imaginaryPart; }

private:
    double realPart;
    double imaginaryPart;
};

#endif
