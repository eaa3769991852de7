// SPDX-License-Identifier: MIT
// The browser's half of the page's GL and GLUT layer (web/gl.cpp, web/glut.cpp), linked
// as an Emscripten JS library: the WebGL context with its one shader and one buffer, the
// frame loop on requestAnimationFrame, the keyboard, and the drawing buffer's size; and
// the events after which the picture may have to be drawn again (see web/glut.cpp), each
// passed on as tessary_wake.
// Nothing here allocates per frame: the loop passes the same function to every
// requestAnimationFrame, and the view of the lines in WebAssembly's memory is made again
// only when a frame's size differs from the last one's.
mergeInto(LibraryManager.library, {
  $tessary: {
    gl: null,
    canvas: null,
    lines: null,  // the lines last drawn, as a view of HEAPF32
    shown: 0,    // the picture's side on the screen, in CSS px
    // The keys that type no character but which a desktop GLUT passes on, as its bytes.
    named: { Backspace: 8, Tab: 9, Enter: 13, Escape: 27, Delete: 127 },

    // Once a frame. While the context is lost there is nothing to draw on: the page says
    // so (web/shell.html), and the frame waits for the context to come back.
    tick: function () {
      var gl = tessary.gl;
      var drawable = !!gl && !gl.isContextLost();
      if (drawable) tessary.fit();
      _tessary_frame(drawable);
    },

    wake: function () {
      _tessary_wake();
    },

    // The shader and the buffer, made again for a restored context.
    // Positions arrive in clip coordinates, x y z (an attribute's missing w is 1); every
    // line is the current colour, GL's white.
    prepare: function (gl) {
      var program = gl.createProgram();
      [[gl.VERTEX_SHADER, 'attribute vec4 p;void main(){gl_Position=p;}'],
       [gl.FRAGMENT_SHADER, 'precision mediump float;void main(){gl_FragColor=vec4(1.);}']
      ].forEach(function (stage) {
        var shader = gl.createShader(stage[0]);
        gl.shaderSource(shader, stage[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.bindAttribLocation(program, 0, 'p');
      gl.linkProgram(program);
      gl.useProgram(program);
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.enableVertexAttribArray(0);
      gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 0, 0);
      gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    },

    // Zooming, or moving the window to another screen, changes devicePixelRatio, and
    // with it the drawing buffer's size, not always the canvas's CSS size: a query of
    // the present ratio says when it stops holding, and is then made for the new one.
    watchRatio: function () {
      if (typeof matchMedia !== 'function') return;
      var query = matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
      if (!query.addEventListener) return;
      query.addEventListener('change', function () {
        tessary.watchRatio();
        tessary.wake();
      }, { once: true });
    },

    // The drawing buffer follows the picture's size on the screen, in device pixels.
    // Shown at 600 CSS px on a screen of one device pixel to the pixel, it stays the
    // desktop window's 600 x 600. Elsewhere a 600 x 600 buffer would be scaled by the
    // browser: shrunk on a phone, one-pixel lines drop out in moire; enlarged on a screen
    // of 2 or 3 device pixels to the pixel, they blur. The program sets no reshape
    // callback, so, as GLUT's default does, the viewport becomes the whole window and the
    // picture stretches to fill it. Done just before a frame, never between a frame and
    // its showing, as resizing clears the buffer; devicePixelRatio is read each time,
    // since zooming changes it and not always the CSS size.
    fit: function () {
      var canvas = tessary.canvas;
      var gl = tessary.gl;
      if (!tessary.shown) return;
      var side = Math.max(1, Math.round(tessary.shown * (window.devicePixelRatio || 1)));
      if (canvas.width === side && canvas.height === side) return;
      canvas.width = canvas.height = side;
      // WebGL may give a smaller buffer than asked for; the viewport is what it gave.
      if (gl) gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    },

    // `length` elements of `heap` from `start`: `last` when it is that view already.
    view: function (last, heap, start, length) {
      if (last && last.buffer === heap.buffer && last.byteOffset === start * heap.BYTES_PER_ELEMENT &&
          last.length === length) return last;
      return heap.subarray(start, start + length);
    },

    // The character typed, as a desktop GLUT passes it: KeyboardEvent.key has Shift, Caps
    // Lock and the keyboard's layout applied (so Caps Lock and a give 'A'). Keys with
    // Ctrl, Alt or Meta are the browser's and the system's. The page keeps Tab, to move
    // the focus, and Enter and Space typed on a button, a summary or a link, to press it;
    // the program does nothing with them.
    onKey: function (event) {
      if (event.ctrlKey || event.altKey || event.metaKey || typeof event.key !== 'string') return;
      var code = event.key.length === 1 ? event.key.charCodeAt(0) : tessary.named[event.key];
      if (!(code < 128) || code === 9) return;
      if ((code === 13 || code === 32) && event.target instanceof Element &&
          event.target.closest('button, summary, a[href]')) return;
      if (_tessary_key(code)) event.preventDefault();
    },
  },

  tessary_webgl_open__deps: ['$tessary'],
  tessary_webgl_open: function (width, height, mode) {
    var canvas = tessary.canvas = Module['canvas'];
    canvas.width = width;
    canvas.height = height;
    // The buffer takes the picture's size on the screen before the context is made:
    // resizing it after makes the page wait until the GPU has done all it was given, the
    // context's own start-up included, which held a phone's first frames up by 70 ms.
    var box = canvas.getBoundingClientRect();
    tessary.shown = Math.min(box.width, box.height);
    tessary.fit();
    // GLUT's display mode bits: GLUT_ALPHA, GLUT_DEPTH, GLUT_STENCIL, GLUT_MULTISAMPLE.
    var gl = null;
    try {
      gl = canvas.getContext('webgl', {
        alpha: !!(mode & 8), depth: !!(mode & 16), stencil: !!(mode & 32), antialias: !!(mode & 128) });
    } catch (e) {
      // Some browsers throw rather than answer null where WebGL is turned off.
    }
    if (!gl) {
      if (Module['onNoWebGL']) Module['onNoWebGL']();
      return 0;
    }
    tessary.prepare(gl);
    tessary.gl = gl;
    // A phone takes the GPU from a page in the background. Prevented, the loss lets the
    // browser give the context back, with every object in it gone; the program's state is
    // in WebAssembly, untouched, so a redraw gives the same picture.
    canvas.addEventListener('webglcontextlost', function (event) {
      event.preventDefault();
    });
    canvas.addEventListener('webglcontextrestored', function () {
      tessary.prepare(gl);
      tessary.wake();
    });
    // The CSS size, not the device-pixel box: Chromium's device emulation leaves that box
    // in CSS pixels, and the tests size the buffer in emulation.
    if (typeof ResizeObserver === 'function') {
      new ResizeObserver(function (entries) {
        var box = entries[entries.length - 1].contentRect;
        var shown = Math.min(box.width, box.height);
        if (shown === tessary.shown) return;
        tessary.shown = shown;
        tessary.wake();
      }).observe(canvas);
    }
    tessary.watchRatio();
    return 1;
  },

  tessary_webgl_clear__deps: ['$tessary'],
  // Before a window is made, GL calls have no context to act on, and do nothing.
  tessary_webgl_clear: function (mask, red, green, blue, alpha) {
    var gl = tessary.gl;
    if (!gl) return;
    gl.clearColor(red, green, blue, alpha);
    gl.clear(mask & (gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT | gl.STENCIL_BUFFER_BIT));
  },

  tessary_webgl_lines__deps: ['$tessary'],
  tessary_webgl_lines: function (vertices, count) {
    var gl = tessary.gl;
    if (!gl) return;
    tessary.lines = tessary.view(tessary.lines, HEAPF32, vertices >> 2, count * 3);
    // New storage each frame (bufferData, not bufferSubData): the browser need not wait
    // for the last frame's draw to finish with the old.
    gl.bufferData(gl.ARRAY_BUFFER, tessary.lines, gl.STREAM_DRAW);
    gl.drawArrays(gl.LINES, 0, count);
  },

  tessary_webgl_request_frame__deps: ['$tessary'],
  tessary_webgl_request_frame: function () {
    requestAnimationFrame(tessary.tick);
  },

  tessary_webgl_listen__deps: ['$tessary'],
  // A browser may drop what a hidden page showed; shown again, the page draws afresh.
  tessary_webgl_listen: function () {
    window.addEventListener('keydown', tessary.onKey, true);
    window.addEventListener('pageshow', tessary.wake);
    document.addEventListener('visibilitychange', function () {
      if (document.visibilityState === 'visible') tessary.wake();
    });
  },
});
