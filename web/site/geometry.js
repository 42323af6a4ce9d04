// Small helpers the page's scripts share: colours and rectangles. Where the controls go is
// the core's to say (Lesson.layoutAt), for the page as for the desktop window.
(function (PR) {
  'use strict';

  // A form colour (0xAARRGGBB, alpha always opaque) as CSS.
  function cssColour(rgb) {
    return '#' + ((rgb >>> 0) & 0xffffff).toString(16).padStart(6, '0');
  }

  // Rectangles {x, y, w, h}; empty when a side is not positive. Null stands for empty.
  function isEmpty(r) {
    return !r || !(r.w > 0 && r.h > 0);
  }

  function united(a, b) {
    if (isEmpty(b)) return isEmpty(a) ? null : a;
    if (isEmpty(a)) return b;
    const x = Math.min(a.x, b.x), y = Math.min(a.y, b.y);
    return {
      x: x, y: y,
      w: Math.max(a.x + a.w, b.x + b.w) - x,
      h: Math.max(a.y + a.h, b.y + b.h) - y,
    };
  }

  function intersected(a, b) {
    if (isEmpty(a) || isEmpty(b)) return null;
    const x = Math.max(a.x, b.x), y = Math.max(a.y, b.y);
    const r = Math.min(a.x + a.w, b.x + b.w), bo = Math.min(a.y + a.h, b.y + b.h);
    return r > x && bo > y ? { x: x, y: y, w: r - x, h: bo - y } : null;
  }

  PR.cssColour = cssColour;
  PR.rect = { isEmpty: isEmpty, united: united, intersected: intersected };
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
