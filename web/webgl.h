// SPDX-License-Identifier: MIT
// What the page's GL and GLUT layer asks of the browser, supplied by web/gl.js, and what
// its two C++ halves share. Natively (the unit test) the test supplies these calls.
#ifndef TESSARY_WEB_WEBGL_H
#define TESSARY_WEB_WEBGL_H

#include <cstddef>
#include <cstdint>

extern "C" {
// Opens the canvas's WebGL context, with the buffers the GLUT display mode `mode` asks
// for, its drawing buffer the canvas's size on the screen (width x height device pixels
// where the canvas is not shown); false, the page told, where there is no WebGL.
int tessary_webgl_open(int width, int height, unsigned mode);
// Clears the buffers in `mask` (GL's bits) to the colour given.
void tessary_webgl_clear(unsigned mask, float red, float green, float blue, float alpha);
// Draws `count` vertices, three floats each (clip x, y and z; w is 1), as GL_LINES, in one
// call.
void tessary_webgl_lines(const float* vertices, int count);
// Runs tessary_frame at the browser's next frame, saying whether there is a context to
// draw on.
void tessary_webgl_request_frame();
// Starts passing typed characters to tessary_key.
void tessary_webgl_listen();
}

namespace tessary_gl {
// The most line vertices a frame's buffer holds; a fuller frame reaches WebGL in more
// than one draw. This program's frame takes 25 360.
constexpr std::size_t LINE_CAPACITY = 1 << 15;
// Draws what is gathered: at a buffer swap, and before a clear.
void flush();
// Draws what is gathered, and gives a hash of all that was sent to WebGL since the last
// call (clears and lines): equal for two frames that drew the same picture.
std::uint64_t frameSignature();
}  // namespace tessary_gl

#endif
