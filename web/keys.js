// SPDX-License-Identifier: MIT
// The page's key buttons, joined to the program after Emscripten's runtime (--post-js).

// The key buttons act as keys do. A press, by pointer (mouse, pen or touch), Enter, Space
// or assistive technology, delivers one key press to the window, as the keyboard would
// (web/gl.js passes it to the program); held down by a pointer, a button repeats as a
// held key does on a desktop (X11's default delay and rate): REPEAT_DELAY ms, then a
// press every REPEAT_INTERVAL ms, until the pointer is lifted, leaves the button or is
// cancelled, or the page loses the focus. As with keys held together on a desktop, of
// buttons held together (two thumbs) the last one pressed repeats, and letting go of
// another does not stop it.
(function () {
  var REPEAT_DELAY = 500;
  var REPEAT_INTERVAL = 40;
  var repeat = null;
  var repeating = null;  // the button whose key repeats, or is about to

  function press(key) {
    window.dispatchEvent(new KeyboardEvent('keydown', { key: key }));
    window.dispatchEvent(new KeyboardEvent('keyup', { key: key }));
  }
  function stop() {
    clearTimeout(repeat);
    clearInterval(repeat);
    repeat = null;
    repeating = null;
  }

  document.querySelectorAll('button[data-key]').forEach(function (button) {
    var key = button.getAttribute('data-key');
    var pressedByPointer = false;
    button.addEventListener('pointerdown', function (event) {
      if (event.button !== 0) return;
      stop();
      pressedByPointer = true;
      // A touch captures its pointer to the button; let go, the button hears the
      // pointerleave of a finger that slides off it.
      if (button.hasPointerCapture(event.pointerId)) button.releasePointerCapture(event.pointerId);
      press(key);
      repeating = button;
      repeat = setTimeout(function () {
        repeat = setInterval(function () { press(key); }, REPEAT_INTERVAL);
      }, REPEAT_DELAY);
    });
    ['pointerup', 'pointerleave', 'pointercancel'].forEach(function (type) {
      button.addEventListener(type, function () {
        if (repeating === button) stop();
      });
    });
    // The click that ends a pointer press has acted already, at pointerdown. Enter,
    // Space and assistive technology click with no pointer press before (detail 0).
    button.addEventListener('click', function (event) {
      var done = pressedByPointer && event.detail !== 0;
      pressedByPointer = false;
      if (!done) press(key);
    });
  });
  window.addEventListener('blur', stop);
  document.addEventListener('visibilitychange', stop);
})();
