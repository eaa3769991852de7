// SPDX-License-Identifier: MIT
// The graph of a function of one two-part number as a surface in 4-space.
//
// Each sample (a, b) becomes the 4-D point (a, b, first part of f, second part of f),
// is turned in the xy, yz and zw planes of 4-space (in that order, each acting on the
// result of the one before), and is emitted with glVertex3d without its fourth
// coordinate. Members are instantiated only when used: point() needs T(double, double),
// T::exp(T), T::getFirst() and T::getSecond().
#ifndef TESSARY_GRAPH_H
#define TESSARY_GRAPH_H

#include "graphfunction.h"

template <typename T>
class Graph {
public:
    // Emits the vertex of sample (a, b) into the primitive the caller opened with glBegin.
    void point(double a, double b);
    // The function object carries no state, so this has no observable effect.
    void setFunction(GraphFunction<T> newFunc);

    // Each advances one plane angle by ANGLE_INCREMENT (5 degrees). Angles only grow;
    // nothing wraps them.
    void xyRotate();
    void yzRotate();
    void zwRotate();

    // The plane angles, in radians.
    double getXyAngle() const;
    double getYzAngle() const;
    double getZwAngle() const;

private:
    GraphFunction<T> func;
    double xyAngle = 0;
    double yzAngle = 0;
    double zwAngle = 0;
    const double PI = 3.141592653589793;
    const double ANGLE_INCREMENT = PI / 36;
};

#include "graph.tpp"

#endif
