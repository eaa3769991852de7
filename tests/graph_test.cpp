// SPDX-License-Identifier: MIT
#include "graph.h"

#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "complex.h"
#include "support/fake_gl.h"
#include "support/tolerance.h"

namespace {

const double FIVE_DEGREES = 3.141592653589793 / 36;
const double SAMPLES[][2] = {{0.3, 0.2}, {-0.5, 0.5}, {0.5, -0.45}, {-0.125, -0.375}};

using Point = std::array<double, 4>;  // x, y, z, w

// (a, b, Re, Im) of 2.718^(a + bi), written out by hand rather than through Complex.
Point unturned(double a, double b) {
    double scale = std::pow(2.718, a);
    return {a, b, scale * std::cos(b * std::log(2.718)), scale * std::sin(b * std::log(2.718))};
}

Point turned(Point p, int from, int to, int steps) {
    double angle = steps * FIVE_DEGREES;
    double p0 = p[from];
    p[from] = std::cos(angle) * p0 - std::sin(angle) * p[to];
    p[to] = std::sin(angle) * p0 + std::cos(angle) * p[to];
    return p;
}

fakegl::Vertex emitted(int xySteps, int yzSteps, int zwSteps, double a, double b) {
    Graph<Complex> graph;
    for (int k = 0; k < xySteps; ++k) graph.xyRotate();
    for (int k = 0; k < yzSteps; ++k) graph.yzRotate();
    for (int k = 0; k < zwSteps; ++k) graph.zwRotate();
    fakegl::reset();
    graph.point(a, b);
    EXPECT_EQ(fakegl::record.vertexCount, 1);
    return fakegl::record.vertices[0];
}

void expectVertex(const fakegl::Vertex& v, const Point& p) {
    EXPECT_TRUE(isClose(v.x, p[0])) << "x";
    EXPECT_TRUE(isClose(v.y, p[1])) << "y";
    EXPECT_TRUE(isClose(v.z, p[2])) << "z";
}

}  // namespace

TEST(Graph, UnturnedPointIsTheSampleAndTheRealPartOfTwoPointSevenOneEightToIt) {
    fakegl::Vertex origin = emitted(0, 0, 0, 0, 0);
    EXPECT_TRUE(origin.x == 0 && origin.y == 0 && origin.z == 1);
    for (const auto& s : SAMPLES) {
        expectVertex(emitted(0, 0, 0, s[0], s[1]), unturned(s[0], s[1]));
    }
    // The base is 2.718, not e: at a = 0.5 the two differ by about 1e-4.
    EXPECT_FALSE(isClose(emitted(0, 0, 0, 0.5, 0.25).z, std::exp(0.5) * std::cos(0.25)));
}

TEST(Graph, PlaneRotationsTurnTheirPlanesInTheOrderXyYzZw) {
    for (const auto& s : SAMPLES) {
        Point p = unturned(s[0], s[1]);
        expectVertex(emitted(1, 0, 0, s[0], s[1]), turned(p, 0, 1, 1));
        expectVertex(emitted(0, 1, 0, s[0], s[1]), turned(p, 1, 2, 1));
        fakegl::Vertex zw = emitted(0, 0, 1, s[0], s[1]);
        EXPECT_TRUE(zw.x == s[0] && zw.y == s[1]);
        expectVertex(zw, turned(p, 2, 3, 1));
        // Distinct step counts, so that no angle can stand in for another.
        Point all = turned(turned(turned(p, 0, 1, 1), 1, 2, 2), 2, 3, 3);
        expectVertex(emitted(1, 2, 3, s[0], s[1]), all);
        // 72 steps of any one plane come full circle.
        expectVertex(emitted(72, 0, 0, s[0], s[1]), p);
        expectVertex(emitted(0, 72, 0, s[0], s[1]), p);
        expectVertex(emitted(0, 0, 72, s[0], s[1]), p);
    }
}
