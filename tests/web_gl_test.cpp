// SPDX-License-Identifier: MIT
// The C++ half of the page's GL layer (web/gl.cpp), built for this machine against
// stand-ins for the browser's half: which lines a triangle strip becomes, in which order
// the matrices apply, and what happens when a frame outgrows the line buffer. What a
// picture comparison cannot see: a duplicated edge, or a buffer that drops its tail.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "webgl.h"

namespace {

using Vertex = std::array<float, 3>;
std::vector<std::vector<Vertex>> draws;  // each tessary_webgl_lines call's vertices
std::size_t drawsAtClear = 0;            // how many had come when the last clear came

}  // namespace

extern "C" {
int tessary_webgl_open(int, int, unsigned) {
    return 1;
}
void tessary_webgl_clear(unsigned, float, float, float, float) {
    drawsAtClear = draws.size();
}
void tessary_webgl_lines(const float* v, int count) {
    std::vector<Vertex> d;
    for (int i = 0; i < count; ++i) d.push_back({v[3 * i], v[3 * i + 1], v[3 * i + 2]});
    draws.push_back(d);
}
void tessary_webgl_request_frame() {}
void tessary_webgl_listen() {}
}

namespace {

// A strip of n vertices, vertex k at (k, 0, 0), under the identity matrices.
void strip(int n) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k < n; ++k) glVertex3d(k, 0, 0);
    glEnd();
}

// The lines drawn since the last call, as vertex index pairs, smaller first.
std::multiset<std::pair<int, int>> drawnEdges() {
    tessary_gl::flush();
    std::multiset<std::pair<int, int>> edges;
    for (const auto& d : draws) {
        EXPECT_EQ(d.size() % 2, 0u);
        EXPECT_LE(d.size(), tessary_gl::LINE_CAPACITY);
        for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
            int a = static_cast<int>(d[i][0]);
            int b = static_cast<int>(d[i + 1][0]);
            edges.insert({std::min(a, b), std::max(a, b)});
        }
    }
    draws.clear();
    return edges;
}

// A desktop OpenGL draws the three sides of each triangle (k, k+1, k+2); a side that two
// triangles share is one line.
std::multiset<std::pair<int, int>> triangleEdges(int n) {
    std::set<std::pair<int, int>> edges;
    for (int k = 0; k + 2 < n; ++k) edges.insert({{k, k + 1}, {k + 1, k + 2}, {k, k + 2}});
    return {edges.begin(), edges.end()};
}

TEST(WebGl, LineModeStripsAreTheirTrianglesEdgesEachOnceAndFillModeDrawsNothing) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    for (int n : {0, 1, 2, 3, 4, 7, 160}) {
        strip(n);
        EXPECT_EQ(drawnEdges(), triangleEdges(n)) << n << " vertices";
    }
    // A frame's strips reach WebGL in one draw, drawn before the next clear.
    for (int row = 0; row < 40; ++row) strip(160);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(drawsAtClear, 1u);
    EXPECT_EQ(draws.at(0).size(), 40u * 2 * (2 * 160 - 3));
    draws.clear();
    glPolygonMode(GL_BACK, GL_FILL);
    strip(5);
    EXPECT_TRUE(drawnEdges().empty());
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

TEST(WebGl, AFrameLargerThanTheBufferIsDrawnWholeInSeveralDraws) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    int n = static_cast<int>(tessary_gl::LINE_CAPACITY);  // about twice the buffer's lines
    strip(n);
    tessary_gl::flush();
    EXPECT_GE(draws.size(), 2u);
    EXPECT_EQ(drawnEdges(), triangleEdges(n));
}

TEST(WebGl, MatricesApplyInGlsOrderInDoubleAndPopRestoresThem) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    // The last call applies first: (0, 1, 0) turns about x to (0, 0, 1), which the turn
    // about z leaves; the other order would give (-1, 0, 0).
    glRotated(90, 0, 0, 1);
    glRotated(90, 2, 0, 0);  // the axis need not be of unit length
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k < 3; ++k) glVertex3d(0, 1, 0);
    glEnd();
    // 72 turns of 5 degrees in double come back to the start within double's rounding,
    // far closer than float matrices would.
    glPopMatrix();
    glPushMatrix();
    for (int i = 0; i < 72; ++i) glRotated(5, 1, 1, 0);
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k < 3; ++k) glVertex3d(0.25, 0.5, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    tessary_gl::flush();
    ASSERT_EQ(draws.size(), 1u);
    const Vertex turned = draws[0][0];
    const Vertex back = draws[0][6];
    draws.clear();
    // glOrtho's depth range [-2, 2] maps z = 1 to -0.5.
    const Vertex expectedTurned{0, 0, -0.5F};
    const Vertex expectedBack{0.25F, 0.5F, -0.5F};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(turned[i], expectedTurned[i], 1e-7) << i;
        EXPECT_EQ(back[i], expectedBack[i]) << i;
    }
}

}  // namespace
