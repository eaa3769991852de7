// SPDX-License-Identifier: MIT
// The immediate-mode calls that WebGL lacks, built into the browser build only.
//
// Emscripten's GL emulation has no glVertex3d, and its glPolygonMode does nothing, so a
// triangle strip would come out filled. Defined here, these calls take the place of the
// emulation's: glBegin/glEnd collect a primitive's vertices in fixed storage, and a
// triangle strip in line mode becomes the edges of its triangles, the lines a desktop
// OpenGL draws for it, drawn as GL_LINES through a client-side vertex array (which the
// emulation supports). Every other primitive, and every strip in fill mode, is drawn as
// it came.
//
// Each draw through the emulation is costly, so the line-mode strips of a frame are
// gathered into one batch, drawn in one call when the frame is swapped, or before that
// when a strip comes under another modelview matrix, when another primitive is drawn,
// or when the batch is full. The batch keeps the matrix its strips were given under and
// is drawn with it. Only the matrix is kept: a program that changes other state between
// strips (colour, projection) must not rely on the batch.
//
// Nothing is allocated: a primitive of more than MAX_VERTICES vertices loses the rest.

#include <GL/gl.h>
#include <GL/glut.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr std::size_t MAX_VERTICES = 4096;  // per glBegin/glEnd pair
// A strip of n vertices has n - 2 triangles and 2n - 3 distinct edges: v0-v1 once, then
// for each triangle k the two edges that vertex k + 2 adds, k+1 - k+2 and k+2 - k.
constexpr std::size_t MAX_STRIP_LINE_VERTICES = 2 * (2 * MAX_VERTICES - 3);
// Room for several such strips, well inside the emulation's 2 MB staging buffer.
constexpr std::size_t MAX_BATCH_VERTICES = 4 * MAX_STRIP_LINE_VERTICES;

struct Vertex {
    GLfloat x, y, z;
};

Vertex vertices[MAX_VERTICES];  // the current primitive, as given
std::size_t vertexCount = 0;
GLenum primitive = GL_POINTS;
GLenum frontMode = GL_FILL;
GLenum backMode = GL_FILL;

Vertex batch[MAX_BATCH_VERTICES];  // line-mode strips' edges, two ends each
std::size_t batchCount = 0;
GLfloat batchMatrix[16];  // the modelview matrix they came under

// Draws `count` vertices from `data` as `mode` through a client-side array.
void drawArray(GLenum mode, const Vertex* data, std::size_t count) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), data);
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Draws the batch under its own modelview matrix, leaving the matrices as they were.
void drawBatch() {
    if (batchCount == 0) return;
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(batchMatrix);
    drawArray(GL_LINES, batch, batchCount);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(matrixMode));
    batchCount = 0;
}

// Adds the edges of every triangle of the strip in `vertices` to the batch, each shared
// edge once.
void batchStripEdges() {
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    std::size_t needed = 2 * (2 * vertexCount - 3);
    if (batchCount > 0
        && (std::memcmp(matrix, batchMatrix, sizeof matrix) != 0
            || batchCount + needed > MAX_BATCH_VERTICES)) {
        drawBatch();
    }
    if (batchCount == 0) std::memcpy(batchMatrix, matrix, sizeof matrix);
    Vertex* out = batch + batchCount;
    *out++ = vertices[0];
    *out++ = vertices[1];
    for (std::size_t k = 0; k + 2 < vertexCount; ++k) {
        *out++ = vertices[k + 1];
        *out++ = vertices[k + 2];
        *out++ = vertices[k + 2];
        *out++ = vertices[k];
    }
    batchCount += needed;
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
        vertices[vertexCount++] = {static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z)};
    }
}

void glEnd() {
    if (primitive == GL_TRIANGLE_STRIP && frontMode == GL_LINE && backMode == GL_LINE) {
        if (vertexCount >= 3) batchStripEdges();
    } else if (vertexCount > 0) {
        drawBatch();
        drawArray(primitive, vertices, vertexCount);
    }
    vertexCount = 0;
}

// Emscripten's GLUT presents the canvas when the frame's callback returns, so swapping
// does nothing there; here it draws what is still batched.
void glutSwapBuffers() {
    drawBatch();
}

}  // extern "C"
