// SPDX-License-Identifier: MIT
// Member definitions of Graph<T>; included at the end of graph.h, never compiled alone.
#include <cmath>

#include <GL/gl.h>

// Sines and cosines are taken afresh for every term and every vertex: the angles may
// change between any two frames and nothing is cached.
template <typename T>
void Graph<T>::point(double a, double b) {
    T output = func(a, b);
    double x = a;
    double y = b;
    double z = output.getFirst();
    double w = output.getSecond();
    double x0 = x;
    double y0 = y;
    double z0 = z;
    double w0 = w;

    x = std::cos(xyAngle) * x0 - std::sin(xyAngle) * y0;
    y = std::sin(xyAngle) * x0 + std::cos(xyAngle) * y0;
    x0 = x;
    y0 = y;

    y = std::cos(yzAngle) * y0 - std::sin(yzAngle) * z0;
    z = std::sin(yzAngle) * y0 + std::cos(yzAngle) * z0;
    y0 = y;
    z0 = z;

    // w is turned with z and then dropped: the projection to 3-D is orthogonal.
    z = std::cos(zwAngle) * z0 - std::sin(zwAngle) * w0;
    w = std::sin(zwAngle) * z0 + std::cos(zwAngle) * w0;

    glVertex3d(x, y, z);
}

template <typename T>
void Graph<T>::setFunction(GraphFunction<T> newFunc) {
    func = newFunc;
}

template <typename T>
void Graph<T>::xyRotate() {
    xyAngle += ANGLE_INCREMENT;
}

template <typename T>
void Graph<T>::yzRotate() {
    yzAngle += ANGLE_INCREMENT;
}

template <typename T>
void Graph<T>::zwRotate() {
    zwAngle += ANGLE_INCREMENT;
}

template <typename T>
double Graph<T>::getXyAngle() const {
    return xyAngle;
}

template <typename T>
double Graph<T>::getYzAngle() const {
    return yzAngle;
}

template <typename T>
double Graph<T>::getZwAngle() const {
    return zwAngle;
}
