// SPDX-License-Identifier: MIT
// Dual numbers a + bε with ε² = 0 as a small value class. The dual part carries a
// first-order change: f(a + bε) = f(a) + f'(a)·b·ε for the functions below.
#ifndef TESSARY_DUAL_H
#define TESSARY_DUAL_H

#include <ostream>

class Dual {
public:
    Dual();
    Dual(double a, double b);

    double getReal() const;
    double getDual() const;
    // atan2(b, a).
    double getArgument() const;
    // sqrt(a^2 + b^2); stays finite and non-zero where the squares alone would not.
    double getMagnitude() const;
    Dual getConjugate() const;
    // Writes "a + bd", or "a - |b|d" for a negative or NaN b, in the stream's number format.
    void print(std::ostream& os) const;

    Dual operator+(Dual rhs);
    Dual operator+(int rhs);
    Dual operator+(double rhs);
    Dual operator-(Dual rhs);
    Dual operator-(int rhs);
    Dual operator-(double rhs);
    Dual operator*(Dual rhs);
    // Through the general product with Dual(rhs, 0): an infinite or NaN real part
    // makes the dual part NaN.
    Dual operator*(int rhs);
    Dual operator*(double rhs);
    // No square of the divisor is formed, so the result survives wherever it is
    // representable. A divisor with real part 0 gives infinities or NaN.
    Dual operator/(Dual rhs);
    Dual operator/(int rhs);
    Dual operator/(double rhs);

    // (ln a, b / a): needs a positive real part; NaN for a negative one, infinities at 0.
    Dual logarithm();
    // The exp family raises THIS number to a power: x.exp(y) is x^y, not e^x.
    // A fixed exponent follows the power rule for every base, so (-2 + ε)^3 is -8 + 12ε.
    Dual exp(int exponent);
    Dual exp(double exponent);
    // With a non-zero dual part in the exponent the result needs ln a: NaN for a <= 0.
    Dual exp(Dual exponent);

private:
    double realPart;
    double dualPart;
};

#endif
