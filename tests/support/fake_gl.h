// A recording stand-in for the OpenGL and GLUT calls the viewer makes, so its frame,
// start-up and keys can be checked without a display. Recording writes only into
// fixed arrays: the allocation test runs whole frames through it.
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

// Every call but glVertex3d, in order; vertexIndex says how many vertices came before it.
struct Call {
    const char* name;
    double args[6];  // unused ones are 0
    int vertexIndex;
};

struct Record {
    Vertex vertices[MAX_VERTICES];
    int vertexCount;  // every glVertex3d, also those past MAX_VERTICES that were not kept
    Call calls[MAX_CALLS];
    int callCount;    // likewise
    char windowTitle[64];
    void (*displayFunc)();
    void (*keyboardFunc)(unsigned char, int, int);
};

extern Record record;

void reset();
int count(const char* name);
// The first kept call of that name, or nullptr.
const Call* find(const char* name);

}  // namespace fakegl

#endif
