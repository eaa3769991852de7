// SPDX-License-Identifier: MIT
// The function a graph draws: w = 2.718^z on the number type T.
#ifndef TESSARY_GRAPHFUNCTION_H
#define TESSARY_GRAPHFUNCTION_H

template <typename T>
class GraphFunction {
public:
    // 2.718 raised to the power T(a, b). The base is exactly 2.718, not e.
    T operator()(double a, double b) {
        T input(a, b);
        T E(2.718, 0);
        return E.exp(input);
    }
};

#endif
