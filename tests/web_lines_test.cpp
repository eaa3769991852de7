// SPDX-License-Identifier: MIT
// The web page's line-mode layer (web/immediate_lines.cpp), built for this machine
// against stand-ins for the GL calls it makes in its turn: which lines it draws for a
// triangle strip, under which matrix, and when.
#include <GL/gl.h>
#include <GL/glut.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Matrix = std::array<GLfloat, 16>;

struct Draw {
    GLenum mode;
    std::vector<std::array<GLfloat, 3>> vertices;
    Matrix matrix;  // the modelview matrix in force, as the layer loaded it
};

std::vector<Draw> draws;
Matrix modelview{};  // what glGetFloatv(GL_MODELVIEW_MATRIX) answers
Matrix loaded{};     // the last glLoadMatrixf
GLint matrixMode = GL_MODELVIEW;
GLenum lastMatrixMode = GL_MODELVIEW;
const GLfloat* pointer = nullptr;
GLsizei stride = 0;

Matrix turned(GLfloat by) {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    m[12] = by;
    return m;
}

}  // namespace

// The calls the layer makes through the GL emulation, recorded.
extern "C" {
void glEnableClientState(GLenum) {}
void glDisableClientState(GLenum) {}
void glVertexPointer(GLint, GLenum, GLsizei s, const GLvoid* p) {
    pointer = static_cast<const GLfloat*>(p);
    stride = s;
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Draw d{mode, {}, loaded};
    for (GLsizei i = first; i < first + count; ++i) {
        const GLfloat* v = pointer + i * stride / static_cast<GLsizei>(sizeof(GLfloat));
        d.vertices.push_back({v[0], v[1], v[2]});
    }
    draws.push_back(d);
}
void glGetIntegerv(GLenum, GLint* value) {
    *value = matrixMode;
}
void glGetFloatv(GLenum, GLfloat* value) {
    std::copy(modelview.begin(), modelview.end(), value);
}
void glMatrixMode(GLenum mode) {
    lastMatrixMode = mode;
}
void glPushMatrix() {}
void glPopMatrix() {}
void glLoadMatrixf(const GLfloat* m) {
    std::copy(m, m + 16, loaded.begin());
}
}

namespace {

// A strip of n vertices, vertex k at (k, row, 0), drawn in the mode given.
void strip(int n, GLfloat row = 0, GLenum mode = GL_TRIANGLE_STRIP) {
    glBegin(mode);
    for (int k = 0; k < n; ++k) glVertex3d(k, row, 0);
    glEnd();
}

using Edge = std::pair<int, int>;

// The lines of a GL_LINES draw of strips made by strip(): per row, the vertex index pairs,
// smaller first. Fails on a line whose ends lie in two rows.
std::map<int, std::multiset<Edge>> edgesByRow(const Draw& d) {
    std::map<int, std::multiset<Edge>> rows;
    for (std::size_t i = 0; i + 1 < d.vertices.size(); i += 2) {
        const auto& a = d.vertices[i];
        const auto& b = d.vertices[i + 1];
        EXPECT_EQ(a[1], b[1]) << "a line between two strips";
        const int p = static_cast<int>(a[0]);
        const int q = static_cast<int>(b[0]);
        rows[static_cast<int>(a[1])].insert({std::min(p, q), std::max(p, q)});
    }
    return rows;
}

// The edges a desktop OpenGL draws for a strip of n vertices in line mode: the three
// sides of each triangle (k, k+1, k+2), a side shared by two triangles once.
std::multiset<Edge> triangleEdges(int n) {
    std::set<Edge> edges;
    for (int k = 0; k + 2 < n; ++k) {
        edges.insert({k, k + 1});
        edges.insert({k + 1, k + 2});
        edges.insert({k, k + 2});
    }
    return {edges.begin(), edges.end()};
}

class WebLines : public ::testing::Test {
protected:
    void SetUp() override {
        glutSwapBuffers();  // whatever an earlier test left batched
        draws.clear();
        modelview = loaded = turned(0);
        matrixMode = GL_MODELVIEW;
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
};

TEST_F(WebLines, AFrameOfStripsIsOneDrawOfEachTrianglesEdgesOnceAtTheSwap) {
    // The program's frame: 40 strips of 160 vertices.
    for (int row = 0; row < 40; ++row) strip(160, static_cast<GLfloat>(row));
    EXPECT_TRUE(draws.empty()) << "drawn before the swap";
    glutSwapBuffers();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].mode, static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(draws[0].vertices.size(), 40u * 2 * (2 * 160 - 3));
    const auto rows = edgesByRow(draws[0]);
    ASSERT_EQ(rows.size(), 40u) << "a strip is missing";
    for (const auto& [row, edges] : rows) EXPECT_EQ(edges, triangleEdges(160)) << "strip " << row;
    glutSwapBuffers();
    EXPECT_EQ(draws.size(), 1u) << "a swap with nothing new drew again";
}

TEST_F(WebLines, StripsUnderAnotherMatrixAreDrawnApartEachUnderItsOwn) {
    strip(4, 0);
    modelview = turned(5);
    strip(4, 1);
    strip(4, 2);
    glutSwapBuffers();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].matrix, turned(0));
    EXPECT_EQ(edgesByRow(draws[0]).size(), 1u);
    EXPECT_EQ(draws[1].matrix, turned(5));
    EXPECT_EQ(edgesByRow(draws[1]).size(), 2u);
}

TEST_F(WebLines, TheCallersMatrixModeIsLeftAsItWas) {
    matrixMode = GL_PROJECTION;
    strip(3);
    glutSwapBuffers();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(lastMatrixMode, static_cast<GLenum>(GL_PROJECTION));
}

TEST_F(WebLines, OtherPrimitivesAndFillModeAreDrawnAsGivenAfterWhatIsBatched) {
    strip(3, 0);
    strip(2, 1, GL_LINES);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].mode, static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(draws[0].vertices.size(), 6u);  // the batched triangle's three sides
    EXPECT_EQ(draws[1].mode, static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(draws[1].vertices.size(), 2u);

    // Line mode on one face only is not line mode: the strip is filled, as given.
    glPolygonMode(GL_FRONT, GL_FILL);
    strip(5, 2);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].mode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
    EXPECT_EQ(draws[2].vertices.size(), 5u);
    EXPECT_EQ(draws[2].vertices[4][0], 4);
}

TEST_F(WebLines, StripsTooShortForATriangleDrawNothingAndLongOnesAreCutNotOverrun) {
    strip(0);
    strip(2);
    glutSwapBuffers();
    EXPECT_TRUE(draws.empty());

    // Beyond the layer's 4096 vertices a primitive loses the rest.
    strip(5000);
    glutSwapBuffers();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(edgesByRow(draws[0])[0], triangleEdges(4096));
}

}  // namespace
