// SPDX-License-Identifier: MIT
// Recording stand-ins for the GL and GLUT calls the viewer makes, so that its frame,
// start-up and keys can be checked without a display. Recording writes only into fixed
// arrays, so a frame run through it allocates nothing.
#ifndef TESSARY_FAKE_GL_H
#define TESSARY_FAKE_GL_H

#include <GL/gl.h>
#include <GL/glut.h>

namespace fakegl {

constexpr int MAX_VERTICES = 16384;
constexpr int MAX_CALLS = 1024;

struct Vertex {
    double x, y, z;
};

// Any call but glVertex3d, with the number of vertices sent before it; unused args are 0.
struct Call {
    const char* name;
    double args[6];
    int vertexIndex;
};

struct Record {
    Vertex vertices[MAX_VERTICES];
    Call calls[MAX_CALLS];
    int vertexCount, callCount;  // every call made, also any past the end of the arrays
    char windowTitle[64];
    void (*displayFunc)();
    void (*keyboardFunc)(unsigned char, int, int);
};

extern Record record;

void reset();
int count(const char* name);
const Call* find(const char* name);  // the first call of that name, or nullptr

}  // namespace fakegl

#endif
