#include "graph.h"

#include <cmath>

#include <gtest/gtest.h>

#include "complex.h"
#include "support/fake_gl.h"
#include "support/tolerance.h"

namespace {

const double FIVE_DEGREES = 3.141592653589793 / 36;
const double SAMPLES[][2] = {{0.3, 0.2}, {-0.5, 0.5}, {0.5, -0.45}, {-0.125, -0.375}};

struct Point4 {
    double x, y, z, w;
};

// (a, b, Re, Im) of 2.718^(a + bi), written out by hand rather than through Complex.
Point4 unturned(double a, double b) {
    double scale = std::pow(2.718, a);
    double turn = b * std::log(2.718);
    return {a, b, scale * std::cos(turn), scale * std::sin(turn)};
}

void turn(double& p, double& q, double angle) {
    double p0 = p;
    p = std::cos(angle) * p0 - std::sin(angle) * q;
    q = std::sin(angle) * p0 + std::cos(angle) * q;
}

fakegl::Vertex emitted(Graph<Complex>& graph, double a, double b) {
    fakegl::reset();
    graph.point(a, b);
    EXPECT_EQ(fakegl::record.vertexCount, 1);
    return fakegl::record.vertices[0];
}

Graph<Complex> turned(int xySteps, int yzSteps, int zwSteps) {
    Graph<Complex> graph;
    for (int k = 0; k < xySteps; ++k) graph.xyRotate();
    for (int k = 0; k < yzSteps; ++k) graph.yzRotate();
    for (int k = 0; k < zwSteps; ++k) graph.zwRotate();
    return graph;
}

void expectVertex(const fakegl::Vertex& v, const Point4& p) {
    EXPECT_TRUE(isClose(v.x, p.x)) << "x";
    EXPECT_TRUE(isClose(v.y, p.y)) << "y";
    EXPECT_TRUE(isClose(v.z, p.z)) << "z";
}

}  // namespace

TEST(Graph, UnturnedPointIsSampleAndRealPartOfTwoPointSevenOneEightToTheZ) {
    Graph<Complex> graph;
    fakegl::Vertex origin = emitted(graph, 0, 0);
    EXPECT_EQ(origin.x, 0.0);
    EXPECT_EQ(origin.y, 0.0);
    EXPECT_EQ(origin.z, 1.0);
    for (const auto& s : SAMPLES) {
        expectVertex(emitted(graph, s[0], s[1]), unturned(s[0], s[1]));
    }
    // 2.718, not e: at a = 0.5 the two differ by about 1e-4.
    fakegl::Vertex edge = emitted(graph, 0.5, 0.25);
    EXPECT_FALSE(isClose(edge.z, std::exp(0.5) * std::cos(0.25)));
}

TEST(Graph, EachPlaneRotationTurnsOnlyItsPlaneByFiveDegrees) {
    for (const auto& s : SAMPLES) {
        Point4 xy = unturned(s[0], s[1]);
        Point4 yz = xy;
        Point4 zw = xy;
        Point4 all = xy;
        turn(xy.x, xy.y, FIVE_DEGREES);
        turn(yz.y, yz.z, FIVE_DEGREES);
        turn(zw.z, zw.w, FIVE_DEGREES);
        turn(all.x, all.y, FIVE_DEGREES);
        turn(all.y, all.z, 2 * FIVE_DEGREES);
        turn(all.z, all.w, 3 * FIVE_DEGREES);

        Graph<Complex> xyGraph = turned(1, 0, 0);
        expectVertex(emitted(xyGraph, s[0], s[1]), xy);
        Graph<Complex> yzGraph = turned(0, 1, 0);
        expectVertex(emitted(yzGraph, s[0], s[1]), yz);
        Graph<Complex> zwGraph = turned(0, 0, 1);
        fakegl::Vertex v = emitted(zwGraph, s[0], s[1]);
        EXPECT_EQ(v.x, s[0]);
        EXPECT_EQ(v.y, s[1]);
        expectVertex(v, zw);
        // Distinct step counts, so that no angle can stand in for another.
        Graph<Complex> allGraph = turned(1, 2, 3);
        expectVertex(emitted(allGraph, s[0], s[1]), all);
    }
}

TEST(Graph, SeventyTwoStepsComeFullCircle) {
    for (int plane = 0; plane < 3; ++plane) {
        Graph<Complex> graph = turned(plane == 0 ? 72 : 0, plane == 1 ? 72 : 0, plane == 2 ? 72 : 0);
        EXPECT_TRUE(isClose(graph.getXyAngle() + graph.getYzAngle() + graph.getZwAngle(),
                            2 * 3.141592653589793));
        for (const auto& s : SAMPLES) {
            expectVertex(emitted(graph, s[0], s[1]), unturned(s[0], s[1]));
        }
    }
}
