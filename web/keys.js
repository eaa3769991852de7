// SPDX-License-Identifier: MIT
// Keys for the page, joined to the program after Emscripten's runtime (--post-js).

// Emscripten's GLUT works out a key's character from the key code and Shift alone: it
// ignores Caps Lock (so Caps Lock and a give 'a', not 'A') and gives digits and symbols
// unshifted. KeyboardEvent.key is the character the key types, with Shift, Caps Lock and
// the keyboard layout applied, which is the byte a desktop GLUT passes on. Keys without a
// character (Enter, Escape, Tab...) keep GLUT's own mapping.
(function () {
  var fromKeyCode = GLUT.getASCIIKey;
  GLUT.getASCIIKey = function (event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return null;
    if (typeof event.key === 'string' && event.key.length === 1) {
      var code = event.key.charCodeAt(0);
      return code < 128 ? code : null;
    }
    return fromKeyCode(event);
  };
})();

// Each button press delivers one key press to GLUT, as the keyboard would.
document.querySelectorAll('button[data-key]').forEach(function (button) {
  button.addEventListener('click', function () {
    var key = button.getAttribute('data-key');
    window.dispatchEvent(new KeyboardEvent('keydown', { key: key }));
    window.dispatchEvent(new KeyboardEvent('keyup', { key: key }));
  });
});
