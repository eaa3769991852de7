// SPDX-License-Identifier: MIT
// The drawing buffer follows the picture's size on the screen, in device pixels, joined
// to the program after Emscripten's runtime (--post-js).
//
// Shown at 600 CSS px on a screen of one device pixel to the pixel, the buffer stays the
// desktop window's 600 x 600. Elsewhere a 600 x 600 buffer would be scaled by the
// browser: shrunk on a phone (344 px wide, say), one-pixel lines drop out in moire, and
// enlarged on a screen of 2 or 3 device pixels to the pixel, they blur. A buffer of the
// shown size keeps every line one device pixel wide and sharp, and the program's picture
// stretches to fill it, as the desktop window's does when it is resized (the program
// sets no reshape callback, so GLUT's default applies: the viewport is the window).
// The lines cost the same to compute at any size; only their pixels grow in number.
(function () {
  var canvas = Module.canvas;
  var shown = 0;  // the picture's side on the screen, in CSS px

  function apply() {
    if (!shown || typeof GLctx === 'undefined' || !GLctx) return;
    // Read each time: zooming the page changes the ratio, not always the CSS size.
    var side = Math.max(1, Math.round(shown * (window.devicePixelRatio || 1)));
    if (canvas.width === side && canvas.height === side) return;
    Browser.setCanvasSize(side, side, true);
    // WebGL may give a smaller buffer than asked for; the viewport is what it gave.
    GLctx.viewport(0, 0, GLctx.drawingBufferWidth, GLctx.drawingBufferHeight);
  }

  // Resizing clears the buffer, so it is done just before a frame is drawn, never
  // between a frame and its showing. (Newer Emscriptens keep the loop in MainLoop.)
  var loop = typeof MainLoop !== 'undefined' ? MainLoop : Browser.mainLoop;
  var beforeFrame = loop && loop.runIter;
  if (beforeFrame) {
    loop.runIter = function () {
      apply();
      return beforeFrame.apply(this, arguments);
    };
  }

  // The CSS size, not the device-pixel box: Chromium's device emulation leaves that
  // box in CSS pixels, and the tests size the buffer in emulation.
  if (typeof ResizeObserver !== 'function') return;
  new ResizeObserver(function (entries) {
    var box = entries[entries.length - 1].contentRect;
    shown = Math.min(box.width, box.height);
    if (!beforeFrame) apply();
  }).observe(canvas);
})();
