// SPDX-License-Identifier: MIT
// The immediate-mode calls that WebGL lacks, built into the browser build only.
//
// Emscripten's GL emulation has no glVertex3d, and its glPolygonMode does nothing, so a
// triangle strip would come out filled. Defined here, these four calls take the place of
// the emulation's: glBegin/glEnd collect a primitive's vertices in fixed storage, and
// glEnd draws a triangle strip in line mode as the edges of its triangles, the lines a
// desktop OpenGL draws for it, through a client-side vertex array (which the emulation
// supports). Every other primitive, and every strip in fill mode, is drawn as it came.
// Nothing is allocated: a primitive of more than MAX_VERTICES vertices loses the rest.

#include <GL/gl.h>

#include <cstddef>

namespace {

constexpr std::size_t MAX_VERTICES = 4096;  // per glBegin/glEnd pair
// A strip of n vertices has n - 2 triangles and 2n - 3 distinct edges: v0-v1 once, then
// for each triangle k the two edges that vertex k + 2 adds, k+1 - k+2 and k+2 - k.
constexpr std::size_t MAX_LINE_VERTICES = 2 * (2 * MAX_VERTICES - 3);

struct Vertex {
    GLfloat x, y, z;
};

Vertex vertices[MAX_VERTICES];            // the current primitive, as given
Vertex lineVertices[MAX_LINE_VERTICES];   // a line-mode strip's edges, two ends each
std::size_t vertexCount = 0;
GLenum primitive = GL_POINTS;
GLenum frontMode = GL_FILL;
GLenum backMode = GL_FILL;

// Draws `count` vertices from `data` as `mode` through a client-side array.
void drawArray(GLenum mode, const Vertex* data, std::size_t count) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), data);
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The edges of every triangle of the strip in `vertices`, each shared edge once.
std::size_t stripEdges() {
    std::size_t n = 0;
    lineVertices[n++] = vertices[0];
    lineVertices[n++] = vertices[1];
    for (std::size_t k = 0; k + 2 < vertexCount; ++k) {
        lineVertices[n++] = vertices[k + 1];
        lineVertices[n++] = vertices[k + 2];
        lineVertices[n++] = vertices[k + 2];
        lineVertices[n++] = vertices[k];
    }
    return n;
}

}  // namespace

extern "C" {

// Line mode applies when both faces are set to it; the program has no culling and no
// depth test, so a triangle is drawn whichever way it faces.
void glPolygonMode(GLenum face, GLenum mode) {
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) frontMode = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) backMode = mode;
}

void glBegin(GLenum mode) {
    primitive = mode;
    vertexCount = 0;
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    if (vertexCount < MAX_VERTICES) {
        vertices[vertexCount++] = {static_cast<GLfloat>(x), static_cast<GLfloat>(y),
                                   static_cast<GLfloat>(z)};
    }
}

void glEnd() {
    if (vertexCount == 0) return;
    bool lines = frontMode == GL_LINE && backMode == GL_LINE;
    if (primitive == GL_TRIANGLE_STRIP && lines) {
        if (vertexCount >= 3) drawArray(GL_LINES, lineVertices, stripEdges());
    } else {
        drawArray(primitive, vertices, vertexCount);
    }
    vertexCount = 0;
}

}  // extern "C"
