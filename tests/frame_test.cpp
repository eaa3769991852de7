// SPDX-License-Identifier: MIT
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "complex.h"
#include "graph.h"
#include "support/fake_gl.h"
#include "support/tolerance.h"

int tessaryMain(int, char**);
extern Graph<Complex> complexGraph;
extern double xAngle, yAngle, zAngle;
void drawMesh();
void displayCallback();
void keyboardCallback(unsigned char, int, int);

namespace {

struct Expected {
    std::string name;
    std::vector<double> args;
};

void expectCalls(int first, const std::vector<Expected>& expected) {
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const fakegl::Call& call = fakegl::record.calls[first + k];
        EXPECT_EQ(call.name, expected[k].name) << "call " << first + k;
        for (std::size_t a = 0; a < expected[k].args.size(); ++a) {
            EXPECT_EQ(call.args[a], expected[k].args[a]) << expected[k].name << " argument " << a;
        }
    }
}

}  // namespace

TEST(Frame, MeshIsFortyStripsOfFortyCellsOnAccumulatedSteps) {
    ASSERT_EQ(complexGraph.getXyAngle() + complexGraph.getYzAngle() + complexGraph.getZwAngle(), 0);
    std::vector<double> v{-0.5};  // the sample values, by repeated addition of 0.025
    while (v.size() < 41) {
        v.push_back(v.back() + 0.025);
    }
    ASSERT_GT(v[40], 0.5);  // why there is no 41st row or column
    fakegl::reset();
    drawMesh();
    const fakegl::Record& r = fakegl::record;
    ASSERT_EQ(r.vertexCount, 6400);
    ASSERT_EQ(r.callCount, 80);
    for (int row = 0; row < 40; ++row) {
        expectCalls(2 * row, {{"glBegin", {GL_TRIANGLE_STRIP}}, {"glEnd", {}}});
        ASSERT_EQ(r.calls[2 * row].vertexIndex, 160 * row);
        ASSERT_EQ(r.calls[2 * row + 1].vertexIndex, 160 * row + 160);
        for (int col = 0; col < 40; ++col) {
            const double cell[4][2] = {{v[row], v[col]},
                                       {v[row], v[col] + 0.025},
                                       {v[row] + 0.025, v[col]},
                                       {v[row] + 0.025, v[col] + 0.025}};
            for (int k = 0; k < 4; ++k) {
                const fakegl::Vertex& p = r.vertices[160 * row + 4 * col + k];
                ASSERT_TRUE(p.x == cell[k][0] && p.y == cell[k][1]) << row << "," << col;
                ASSERT_TRUE(isClose(p.z, std::pow(2.718, p.x) * std::cos(p.y * std::log(2.718))));
            }
        }
    }
    EXPECT_TRUE(r.vertices[0].x == -0.5 && r.vertices[0].y == -0.5);
    EXPECT_LT(r.vertices[160 * 39].x, 0.5);
    EXPECT_LT(r.vertices[4 * 39].y, 0.5);
    for (double middle : {r.vertices[160 * 20].x, r.vertices[4 * 20].y}) {
        EXPECT_TRUE(middle > 1e-16 && middle < 2e-16) << middle;  // rounding's trace, not 0
    }
}

TEST(Frame, MainOpensTheWindowAndSetsTheDepthRangeOnce) {
    fakegl::reset();
    char name[] = "tessary";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(tessaryMain(1, argv), 0);
    const fakegl::Record& r = fakegl::record;
    expectCalls(0, {{"glutInit", {1}},
                    {"glutInitDisplayMode", {2}},
                    {"glutInitWindowSize", {600, 600}},
                    {"glutInitWindowPosition", {50, 50}},
                    {"glutCreateWindow", {}}});
    EXPECT_STREQ(r.windowTitle, "Tessary");
    EXPECT_EQ(r.displayFunc, &displayCallback);
    EXPECT_EQ(r.keyboardFunc, &keyboardCallback);
    EXPECT_STREQ(r.calls[r.callCount - 1].name, "glutMainLoop");
    // Nothing with |z| <= 2 is clipped. Set once, and only once a window gives it a context.
    ASSERT_EQ(fakegl::count("glOrtho"), 1);
    int ortho = static_cast<int>(fakegl::find("glOrtho") - r.calls);
    EXPECT_GT(ortho, 4);
    expectCalls(ortho - 2, {{"glMatrixMode", {GL_PROJECTION}},
                            {"glLoadIdentity", {}},
                            {"glOrtho", {-1, 1, -1, 1, -2, 2}},
                            {"glMatrixMode", {GL_MODELVIEW}}});
    EXPECT_EQ(fakegl::count("glMatrixMode"), 2);
}

TEST(Frame, DisplayCallbackDrawsOneFrameAndAsksForTheNext) {
    xAngle = 10;
    yAngle = -20;
    zAngle = 35;
    fakegl::reset();
    displayCallback();
    xAngle = yAngle = zAngle = 0;
    std::vector<Expected> expected = {{"glPolygonMode", {GL_FRONT_AND_BACK, GL_LINE}},
                                      {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
                                      {"glClearColor", {0, 0, 0, 1}},
                                      {"glMatrixMode", {GL_MODELVIEW}},
                                      {"glLoadIdentity", {}},
                                      {"glPushMatrix", {}},
                                      {"glRotated", {35, 0, 0, 1}},
                                      {"glRotated", {-20, 0, 1, 0}},
                                      {"glRotated", {10, 1, 0, 0}}};
    for (int row = 0; row < 40; ++row) {
        expected.insert(expected.end(), {{"glBegin", {GL_TRIANGLE_STRIP}}, {"glEnd", {}}});
    }
    expected.insert(expected.end(),
                    {{"glPopMatrix", {}}, {"glutSwapBuffers", {}}, {"glutPostRedisplay", {}}});
    ASSERT_EQ(fakegl::record.callCount, static_cast<int>(expected.size()));
    expectCalls(0, expected);
    EXPECT_EQ(fakegl::record.vertexCount, 6400);
    EXPECT_EQ(fakegl::find("glPopMatrix")->vertexIndex, 6400);
}
