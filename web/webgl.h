// SPDX-License-Identifier: MIT
// What the page's GL and GLUT layer asks of the browser, supplied by web/gl.js, and what
// its two C++ halves share. Natively (the unit test) the test supplies these calls.
#ifndef TESSARY_WEB_WEBGL_H
#define TESSARY_WEB_WEBGL_H

#include <cstddef>
#include <cstdint>

extern "C" {
// Makes the canvas width x height device pixels and opens its WebGL context, with the
// buffers the GLUT display mode `mode` asks for, and room for `vertices` vertices and
// `indices` indices; false where there is no WebGL.
int tessary_webgl_open(int width, int height, unsigned mode, std::size_t vertices, std::size_t indices);
// Clears the buffers in `mask` (GL's bits) to the colour given.
void tessary_webgl_clear(unsigned mask, float red, float green, float blue, float alpha);
// Draws the lines whose ends `indices` gives, a pair each, into `vertices`, four floats
// each (clip coordinates), as GL_LINES, in one call.
void tessary_webgl_lines(const float* vertices, int vertexCount, const std::uint16_t* indices,
                         int indexCount);
// Runs tessary_frame at the browser's next frame.
void tessary_webgl_request_frame();
// Starts passing typed characters to tessary_key.
void tessary_webgl_listen();
}

namespace tessary_gl {
// The most vertices and line ends a frame's buffers hold; a fuller frame reaches WebGL in
// more than one draw. This program's frame takes 6 400 and 25 360. Indices are 16-bit,
// as WebGL 1 has them without an extension.
constexpr std::size_t VERTEX_CAPACITY = 1 << 14;
constexpr std::size_t INDEX_CAPACITY = 1 << 16;
// Draws what is gathered: at a buffer swap, and before a clear.
void flush();
}  // namespace tessary_gl

#endif
