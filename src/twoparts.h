// SPDX-License-Identifier: MIT
// Formulas shared by the number types whose parts combine as a + bi does.
// Complex and SplitComplex are both computed with these, so each rule lives here once;
// Dual borrows the magnitude, the argument and the printing rule.
#ifndef TESSARY_TWOPARTS_H
#define TESSARY_TWOPARTS_H

#include <iosfwd>

namespace twoparts {

struct Parts {
    double first;
    double second;
};

// sqrt(a^2 + b^2). Finite non-zero parts whose sum of squares overflows or
// underflows are rescaled by the larger part instead of losing the result.
double magnitude(double a, double b);

// atan2(b, a): in [-pi, pi], the sign of a zero b choosing pi or -pi on the negative real axis.
double argument(double a, double b);

// (a + bi)(c + di).
Parts product(double a, double b, double c, double d);

// (a + bi) / (c + di), rescaled where the plain formula would overflow or underflow;
// a zero divisor gives NaN in both parts.
Parts quotient(double a, double b, double c, double d);

// Principal logarithm (ln |a + bi|, arg): branch cut along the negative real axis, log 0 = (-inf, 0).
Parts logarithm(double a, double b);

// (a + bi)^exponent by de Moivre's rule: |z|^exponent at exponent times the argument.
Parts power(double a, double b, double exponent);

// Writes "a + b<suffix>", or "a - |b|<suffix>" for a negative or NaN b, in the
// stream's number format: the printing rule of the two-part number types.
void print(std::ostream& os, double a, double b, const char* suffix);

}  // namespace twoparts

#endif
