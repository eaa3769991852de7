// SPDX-License-Identifier: MIT
// The GLUT calls the program makes, for one window that is the page's canvas.
//
// As in a desktop GLUT, glutMainLoop does not return: it hands the page back to the
// browser, which calls tessary_frame once a frame (requestAnimationFrame) while a
// redisplay is pending, and tessary_key for each character typed. glutPostRedisplay
// asks for one frame; the window is drawn first when the loop starts, as a window is
// when it is first shown.

#include <GL/glut.h>
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include "webgl.h"

namespace {

void (*display)() = nullptr;
void (*keyboard)(unsigned char, int, int) = nullptr;
unsigned displayMode = GLUT_RGBA | GLUT_SINGLE;  // GLUT's defaults
int windowWidth = 300;
int windowHeight = 300;
bool looping = false;    // glutMainLoop has started
bool pending = false;    // a redisplay is asked for
bool requested = false;  // and the browser's next frame is asked for

}  // namespace

extern "C" {

// The page has no command line, and the program has no options.
void glutInit(int* /*argc*/, char** /*argv*/) {}

void glutInitDisplayMode(unsigned int mode) {
    displayMode = mode;
}

void glutInitWindowSize(int width, int height) {
    if (width > 0 && height > 0) {
        windowWidth = width;
        windowHeight = height;
    }
}

// The page places its canvas itself; the title is the page's.
void glutInitWindowPosition(int /*x*/, int /*y*/) {}

// A desktop GLUT that cannot make its window ends the program; here the page has been
// told (Module.onNoWebGL), and the program stops where it is, with no frame asked for.
int glutCreateWindow(const char* /*title*/) {
    if (!tessary_webgl_open(windowWidth, windowHeight, displayMode)) emscripten_unwind_to_js_event_loop();
    return 1;
}

void glutDisplayFunc(void (*callback)()) {
    display = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    keyboard = callback;
}

void glutPostRedisplay() {
    pending = true;
    if (looping && !requested) {
        requested = true;
        tessary_webgl_request_frame();
    }
}

void glutSwapBuffers() {
    tessary_gl::flush();
}

void glutMainLoop() {
    looping = true;
    tessary_webgl_listen();
    glutPostRedisplay();
    emscripten_unwind_to_js_event_loop();
}

EMSCRIPTEN_KEEPALIVE void tessary_frame() {
    requested = false;
    if (!pending || display == nullptr) return;
    pending = false;
    display();
}

// The mouse's place is not followed: the program does not read it. Answers whether the
// key was taken, so that the page keeps the keys the program is not given.
EMSCRIPTEN_KEEPALIVE int tessary_key(int key) {
    if (keyboard == nullptr) return 0;
    keyboard(static_cast<unsigned char>(key), 0, 0);
    return 1;
}

}  // extern "C"
