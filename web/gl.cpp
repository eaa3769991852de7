// SPDX-License-Identifier: MIT
// The OpenGL 1.x calls the program makes, as desktop OpenGL defines them, over WebGL.
//
// The matrix stacks are kept here in double. Each vertex is taken through the projection
// and modelview matrices in force when it is given, and lands, in clip coordinates, in
// one buffer of lines that reaches WebGL in one draw when the frame is swapped; so the
// matrices may change between primitives at no cost, and WebGL needs only a shader that
// passes positions through. Every matrix these calls make (rotations, orthographic
// projections) is affine, so a vertex's clip w is always 1, and only x, y and z are sent.
//
// Drawn: triangle strips with both faces in polygon mode GL_LINE, as the edges of their
// triangles, in the current colour, which the program leaves at GL's initial white.
// Anything else between glBegin and glEnd (another primitive, or fill mode) is not part
// of this layer: the program draws none, and its vertices are dropped.
//
// Nothing is allocated: the stacks and the buffer are fixed, and a frame that fills the
// buffer is drawn in more than one call.
//
// What a frame sends to WebGL, its clears and its lines, is summed up as it goes in a
// 64-bit FNV-1a hash, so that the GLUT layer can tell a frame that drew the same picture
// as the last from one that did not, with no copy of the last frame kept.

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "webgl.h"

namespace {

// Column-major, as GL lays its matrices out: element (row r, column c) at [4 * c + r].
using Matrix = double[16];

constexpr int MODELVIEW_DEPTH = 32;  // the least desktop GL allows
constexpr int PROJECTION_DEPTH = 2;  // likewise
constexpr double PI = 3.14159265358979323846;

// Only each stack's lowest level needs a start: pushing copies the level below.
Matrix modelview[MODELVIEW_DEPTH] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
Matrix projection[PROJECTION_DEPTH] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

struct Stack {
    Matrix* levels;
    int depth;
    int top;
};
Stack modelviewStack{modelview, MODELVIEW_DEPTH, 0};
Stack projectionStack{projection, PROJECTION_DEPTH, 0};
Stack* current = &modelviewStack;

Matrix toClip;            // projection x modelview, for the vertices
bool toClipStale = true;  // a matrix changed since toClip was worked out

GLenum frontMode = GL_FILL;
GLenum backMode = GL_FILL;
GLfloat clearColour[4] = {0, 0, 0, 0};

bool drawing = false;   // between glBegin and glEnd
bool keeping = false;   // this primitive is drawn
std::size_t given = 0;  // its vertices so far
float recent[2][3];     // its last two, in clip coordinates: [given % 2]

float lines[tessary_gl::LINE_CAPACITY * 3];  // pairs of ends, x y z each
std::size_t lineVertices = 0;

constexpr std::uint64_t FNV_OFFSET = 14695981039346656037u;
constexpr std::uint64_t FNV_PRIME = 1099511628211u;
std::uint64_t signature = FNV_OFFSET;  // of what was sent since the last frameSignature()

static_assert(sizeof(float) == 4, "the signature reads floats as 32-bit words");

// Adds the 32-bit words of `words` to the signature, by their bits: -0 and 0 differ, as
// they may in what WebGL is given, and a NaN is not unequal to itself.
void sign(const void* words, std::size_t count) {
    const unsigned char* bytes = static_cast<const unsigned char*>(words);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t word;
        std::memcpy(&word, bytes + 4 * i, 4);
        signature = (signature ^ word) * FNV_PRIME;
    }
}

double* topMatrix() {
    return current->levels[current->top];
}

// product = a x b; product is neither a nor b.
void multiply(const double* a, const double* b, double* product) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[4 * k + r] * b[4 * c + k];
            product[4 * c + r] = sum;
        }
    }
}

// top = top x by, as every GL matrix call does.
void multiplyTop(const Matrix by) {
    double* m = topMatrix();
    Matrix product;
    multiply(m, by, product);
    for (int i = 0; i < 16; ++i) m[i] = product[i];
    toClipStale = true;
}

void updateToClip() {
    multiply(projection[projectionStack.top], modelview[modelviewStack.top], toClip);
    toClipStale = false;
}

void addEnd(const float* end) {
    float* out = lines + 3 * lineVertices++;
    for (int i = 0; i < 3; ++i) out[i] = end[i];
}

void addLine(const float* from, const float* to) {
    if (lineVertices + 2 > tessary_gl::LINE_CAPACITY) tessary_gl::flush();
    addEnd(from);
    addEnd(to);
}

GLfloat clamped(GLfloat value) {
    return value < 0 ? 0 : value > 1 ? 1 : value;
}

}  // namespace

void tessary_gl::flush() {
    if (lineVertices == 0) return;
    sign(lines, 3 * lineVertices);
    tessary_webgl_lines(lines, static_cast<int>(lineVertices));
    lineVertices = 0;
}

std::uint64_t tessary_gl::frameSignature() {
    flush();
    std::uint64_t frame = signature;
    signature = FNV_OFFSET;
    return frame;
}

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW) current = &modelviewStack;
    if (mode == GL_PROJECTION) current = &projectionStack;
}

void glLoadIdentity() {
    double* m = topMatrix();
    for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1 : 0;
    toClipStale = true;
}

// A push onto a full stack, or a pop of its last level, is an error in GL, and does
// nothing.
void glPushMatrix() {
    if (current->top + 1 >= current->depth) return;
    double* below = topMatrix();
    ++current->top;
    double* m = topMatrix();
    for (int i = 0; i < 16; ++i) m[i] = below[i];
}

void glPopMatrix() {
    if (current->top == 0) return;
    --current->top;
    toClipStale = true;
}

// The rotation by `angle` degrees about the axis (x, y, z), counter-clockwise looking
// down the axis towards the origin, with the matrix OpenGL defines for glRotate.
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
    double radians = angle * (PI / 180);
    double c = std::cos(radians);
    double s = std::sin(radians);
    double t = 1 - c;
    // clang-format off
    const Matrix rotation = {
        x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0,  // first column
        x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0,
        x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0,
        0,                 0,                 0,                 1,
    };
    // clang-format on
    multiplyTop(rotation);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) return;
    // clang-format off
    const Matrix ortho = {
        2 / (right - left), 0, 0, 0,
        0, 2 / (top - bottom), 0, 0,
        0, 0, -2 / (zFar - zNear), 0,
        -(right + left) / (right - left), -(top + bottom) / (top - bottom),
        -(zFar + zNear) / (zFar - zNear), 1,
    };
    // clang-format on
    multiplyTop(ortho);
}

void glPolygonMode(GLenum face, GLenum mode) {
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) frontMode = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) backMode = mode;
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    clearColour[0] = clamped(red);
    clearColour[1] = clamped(green);
    clearColour[2] = clamped(blue);
    clearColour[3] = clamped(alpha);
}

// What was drawn before the clear is drawn first, so that the clear covers it as it
// would on a desktop.
void glClear(GLbitfield mask) {
    tessary_gl::flush();
    const std::uint32_t bits = mask;
    sign(&bits, 1);
    sign(clearColour, 4);
    tessary_webgl_clear(mask, clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
}

void glBegin(GLenum mode) {
    if (drawing) return;
    drawing = true;
    keeping = mode == GL_TRIANGLE_STRIP && frontMode == GL_LINE && backMode == GL_LINE;
    given = 0;
    if (toClipStale) updateToClip();
}

// Vertex k of a strip (k >= 2) completes triangle k - 2, whose edges are k-2 - k-1 (the
// third vertex adds the first pair's edge), k-1 - k and k - k-2: so every edge of the
// strip is drawn once.
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    if (!drawing || !keeping) return;
    float* vertex = recent[given % 2];
    float clip[3];
    for (int r = 0; r < 3; ++r) {
        clip[r] = static_cast<float>(toClip[r] * x + toClip[4 + r] * y + toClip[8 + r] * z + toClip[12 + r]);
    }
    // recent holds vertices k-2 (in this slot) and k-1 (in the other).
    const float* beforeLast = vertex;
    const float* last = recent[(given + 1) % 2];
    if (given == 2) addLine(beforeLast, last);
    if (given >= 2) {
        addLine(last, clip);
        addLine(clip, beforeLast);
    }
    for (int i = 0; i < 3; ++i) vertex[i] = clip[i];
    ++given;
}

void glEnd() {
    drawing = false;
}

}  // extern "C"
