// SPDX-License-Identifier: MIT
// The GLUT calls the program makes, for one window that is the page's canvas.
//
// As in a desktop GLUT, glutMainLoop does not return: it hands the page back to the
// browser, which calls tessary_frame once a frame (requestAnimationFrame) while a
// redisplay is pending, and tessary_key for each character typed. glutPostRedisplay
// asks for one frame; the window is drawn first when the loop starts, as a window is
// when it is first shown.
//
// A display callback may post a redisplay after every frame, to be drawn continuously,
// as the program's does. On a phone each such frame costs battery, and where it draws
// what the last one drew it shows nothing new: so once two frames in a row have drawn
// the same picture, and nothing has happened since, the redisplay is held, and the last
// frame stays on the screen. Whatever can change the picture (a key, a new size of the
// drawing buffer, a restored context, the page shown again) calls tessary_wake, which
// honours it. A program whose frames differ is drawn every frame, as before.

#include <GL/glut.h>
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <cstdint>

#include "webgl.h"

namespace {

void (*display)() = nullptr;
void (*keyboard)(unsigned char, int, int) = nullptr;
unsigned displayMode = GLUT_RGBA | GLUT_SINGLE;  // GLUT's defaults
int windowWidth = 300;
int windowHeight = 300;
bool looping = false;         // glutMainLoop has started
bool pending = false;         // a redisplay is asked for
bool requested = false;       // and the browser's next frame is asked for
bool still = false;           // the last two frames drew the same picture, and nothing happened since
bool drawnSinceWake = false;  // a frame was drawn since the last tessary_wake
std::uint64_t lastFrame = 0;  // that frame's signature (tessary_gl::frameSignature)

// Asks for the browser's next frame, once, while a redisplay is pending and not held.
void requestFrame() {
    if (looping && pending && !requested && !still) {
        requested = true;
        tessary_webgl_request_frame();
    }
}

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
    requestFrame();
}

void glutSwapBuffers() {
    std::uint64_t frame = tessary_gl::frameSignature();
    still = drawnSinceWake && frame == lastFrame;
    lastFrame = frame;
    drawnSinceWake = true;
}

void glutMainLoop() {
    looping = true;
    tessary_webgl_listen();
    glutPostRedisplay();
    emscripten_unwind_to_js_event_loop();
}

// The browser's frame. Where there is nothing to draw on (no context), the redisplay
// stays pending, for tessary_wake to honour once there is.
EMSCRIPTEN_KEEPALIVE void tessary_frame(int drawable) {
    requested = false;
    if (!drawable || !pending || display == nullptr) return;
    pending = false;
    display();
}

// Something that may change the picture happened: a pending redisplay is honoured, and
// held again only after two more frames alike.
EMSCRIPTEN_KEEPALIVE void tessary_wake() {
    still = false;
    drawnSinceWake = false;
    requestFrame();
}

// The mouse's place is not followed: the program does not read it. Answers whether the
// key was taken, so that the page keeps the keys the program is not given. The program
// asks for no redisplay on a key, trusting the one its last frame asked for.
EMSCRIPTEN_KEEPALIVE int tessary_key(int key) {
    if (keyboard == nullptr) return 0;
    keyboard(static_cast<unsigned char>(key), 0, 0);
    tessary_wake();
    return 1;
}

}  // extern "C"
