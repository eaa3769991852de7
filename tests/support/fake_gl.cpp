// SPDX-License-Identifier: MIT
#include "fake_gl.h"

#include <algorithm>
#include <cstring>

namespace fakegl {

Record record;

void reset() {
    record.vertexCount = record.callCount = 0;
    record.windowTitle[0] = '\0';
    record.displayFunc = nullptr;
    record.keyboardFunc = nullptr;
}

int count(const char* name) {
    int kept = std::min(record.callCount, MAX_CALLS);
    auto named = [name](const Call& c) { return std::strcmp(c.name, name) == 0; };
    return static_cast<int>(std::count_if(record.calls, record.calls + kept, named));
}

const Call* find(const char* name) {
    int kept = std::min(record.callCount, MAX_CALLS);
    auto named = [name](const Call& c) { return std::strcmp(c.name, name) == 0; };
    const Call* call = std::find_if(record.calls, record.calls + kept, named);
    return call == record.calls + kept ? nullptr : call;
}

}  // namespace fakegl

namespace {

using fakegl::record;

void note(const char* name, double a = 0, double b = 0, double c = 0, double d = 0, double e = 0,
          double f = 0) {
    if (record.callCount < fakegl::MAX_CALLS) {
        record.calls[record.callCount] = {name, {a, b, c, d, e, f}, record.vertexCount};
    }
    ++record.callCount;
}

}  // namespace

// Linkage and signatures come from the declarations in the GL and GLUT headers.
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    if (record.vertexCount < fakegl::MAX_VERTICES) {
        record.vertices[record.vertexCount] = {x, y, z};
    }
    ++record.vertexCount;
}
void glBegin(GLenum mode) {
    note("glBegin", mode);
}
void glEnd() {
    note("glEnd");
}
void glPolygonMode(GLenum face, GLenum mode) {
    note("glPolygonMode", face, mode);
}
void glClear(GLbitfield mask) {
    note("glClear", mask);
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    note("glClearColor", r, g, b, a);
}
void glMatrixMode(GLenum mode) {
    note("glMatrixMode", mode);
}
void glLoadIdentity() {
    note("glLoadIdentity");
}
void glPushMatrix() {
    note("glPushMatrix");
}
void glPopMatrix() {
    note("glPopMatrix");
}
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    note("glRotated", angle, x, y, z);
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    note("glOrtho", l, r, b, t, n, f);
}

void glutInit(int* argc, char**) {
    note("glutInit", *argc);
}
void glutInitDisplayMode(unsigned int mode) {
    note("glutInitDisplayMode", mode);
}
void glutInitWindowSize(int w, int h) {
    note("glutInitWindowSize", w, h);
}
void glutInitWindowPosition(int x, int y) {
    note("glutInitWindowPosition", x, y);
}
int glutCreateWindow(const char* title) {
    note("glutCreateWindow");
    std::strncpy(record.windowTitle, title, sizeof record.windowTitle - 1);
    return 1;
}
void glutDisplayFunc(void (*f)()) {
    note("glutDisplayFunc");
    record.displayFunc = f;
}
void glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
    note("glutKeyboardFunc");
    record.keyboardFunc = f;
}
void glutMainLoop() {
    note("glutMainLoop");
}  // returns at once, so the entry point can finish
void glutSwapBuffers() {
    note("glutSwapBuffers");
}
void glutPostRedisplay() {
    note("glutPostRedisplay");
}
