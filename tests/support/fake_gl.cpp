#include "fake_gl.h"

#include <cstring>

namespace fakegl {

Record record;

void reset() {
    record.vertexCount = 0;
    record.callCount = 0;
    record.windowTitle[0] = '\0';
    record.displayFunc = nullptr;
    record.keyboardFunc = nullptr;
}

int count(const char* name) {
    int n = 0;
    for (int k = 0; k < record.callCount && k < MAX_CALLS; ++k) {
        n += std::strcmp(record.calls[k].name, name) == 0;
    }
    return n;
}

const Call* find(const char* name) {
    for (int k = 0; k < record.callCount && k < MAX_CALLS; ++k) {
        if (std::strcmp(record.calls[k].name, name) == 0) {
            return &record.calls[k];
        }
    }
    return nullptr;
}

namespace {

void note(const char* name, double a = 0, double b = 0, double c = 0, double d = 0,
          double e = 0, double f = 0) {
    if (record.callCount < MAX_CALLS) {
        record.calls[record.callCount] = Call{name, {a, b, c, d, e, f}, record.vertexCount};
    }
    ++record.callCount;
}

}  // namespace
}  // namespace fakegl

using fakegl::note;
using fakegl::record;

// C linkage and exact signatures come from the declarations in the GL headers.
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    if (record.vertexCount < fakegl::MAX_VERTICES) {
        record.vertices[record.vertexCount] = fakegl::Vertex{x, y, z};
    }
    ++record.vertexCount;
}
void GLAPIENTRY glBegin(GLenum mode) { note("glBegin", mode); }
void GLAPIENTRY glEnd() { note("glEnd"); }
void GLAPIENTRY glPolygonMode(GLenum face, GLenum mode) { note("glPolygonMode", face, mode); }
void GLAPIENTRY glClear(GLbitfield mask) { note("glClear", mask); }
void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    note("glClearColor", r, g, b, a);
}
void GLAPIENTRY glMatrixMode(GLenum mode) { note("glMatrixMode", mode); }
void GLAPIENTRY glLoadIdentity() { note("glLoadIdentity"); }
void GLAPIENTRY glPushMatrix() { note("glPushMatrix"); }
void GLAPIENTRY glPopMatrix() { note("glPopMatrix"); }
void GLAPIENTRY glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    note("glRotated", angle, x, y, z);
}
void GLAPIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    note("glOrtho", l, r, b, t, n, f);
}

void FGAPIENTRY glutInit(int* pargc, char** /*argv*/) { note("glutInit", *pargc); }
void FGAPIENTRY glutInitDisplayMode(unsigned int mode) { note("glutInitDisplayMode", mode); }
void FGAPIENTRY glutInitWindowSize(int w, int h) { note("glutInitWindowSize", w, h); }
void FGAPIENTRY glutInitWindowPosition(int x, int y) { note("glutInitWindowPosition", x, y); }
int FGAPIENTRY glutCreateWindow(const char* title) {
    note("glutCreateWindow");
    std::strncpy(record.windowTitle, title, sizeof record.windowTitle - 1);
    record.windowTitle[sizeof record.windowTitle - 1] = '\0';
    return 1;
}
void FGAPIENTRY glutDisplayFunc(void (*callback)()) {
    note("glutDisplayFunc");
    record.displayFunc = callback;
}
void FGAPIENTRY glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    note("glutKeyboardFunc");
    record.keyboardFunc = callback;
}
// Returns at once, so the program's entry point can be run to its end.
void FGAPIENTRY glutMainLoop() { note("glutMainLoop"); }
void FGAPIENTRY glutSwapBuffers() { note("glutSwapBuffers"); }
void FGAPIENTRY glutPostRedisplay() { note("glutPostRedisplay"); }
