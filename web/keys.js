// SPDX-License-Identifier: MIT
// Keys for the page, joined to the program after Emscripten's runtime (--post-js).

// Emscripten's GLUT works out a key's character from the key code and Shift alone: it
// ignores Caps Lock (so Caps Lock and a give 'a', not 'A') and gives digits and symbols
// unshifted. KeyboardEvent.key is the character the key types, with Shift, Caps Lock and
// the keyboard layout applied, which is the byte a desktop GLUT passes on. Keys without a
// character (Escape, Backspace...) keep GLUT's own mapping.
(function () {
  var fromKeyCode = GLUT.getASCIIKey;
  GLUT.getASCIIKey = function (event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return null;
    // GLUT takes every key it passes on from the page (preventDefault): Tab could not
    // move the focus, nor Enter and Space press a focused button or open the licences.
    // The program does nothing with these keys, so the page keeps them.
    if (event.key === 'Tab') return null;
    if ((event.key === 'Enter' || event.key === ' ') && event.target instanceof Element &&
        event.target.closest('button, summary, a[href]')) return null;
    if (typeof event.key === 'string' && event.key.length === 1) {
      var code = event.key.charCodeAt(0);
      return code < 128 ? code : null;
    }
    return fromKeyCode(event);
  };
})();

// The key buttons act as keys do. A press, by pointer (mouse, pen or touch), Enter, Space
// or assistive technology, delivers one key press to GLUT, as the keyboard would; held
// down by a pointer, a button repeats as a held key does on a desktop (X11's default
// delay and rate): REPEAT_DELAY ms, then a press every REPEAT_INTERVAL ms, until the
// pointer is lifted, leaves the button or is cancelled, or the page loses the focus.
(function () {
  var REPEAT_DELAY = 500;
  var REPEAT_INTERVAL = 40;
  var repeat = null;

  function press(key) {
    window.dispatchEvent(new KeyboardEvent('keydown', { key: key }));
    window.dispatchEvent(new KeyboardEvent('keyup', { key: key }));
  }
  function stop() {
    clearTimeout(repeat);
    clearInterval(repeat);
    repeat = null;
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
      repeat = setTimeout(function () {
        repeat = setInterval(function () { press(key); }, REPEAT_INTERVAL);
      }, REPEAT_DELAY);
    });
    ['pointerup', 'pointerleave', 'pointercancel'].forEach(function (type) {
      button.addEventListener(type, stop);
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
