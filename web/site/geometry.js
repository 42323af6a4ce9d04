// Where the window's controls go on the page, and small helpers the page's scripts share.
//
// The form is designed in twips (the design unit of the window's controls, 15 per logical
// pixel): 811 x 702 logical pixels. The page shows it scaled uniformly to fit the viewport and
// centred, as the desktop window does at any size. Page positions are CSS pixels; every edge
// is put on a whole device pixel so that borders and the surface stay crisp.
(function (PR) {
  'use strict';

  // Scales below this would make the form unreadable and its input meaningless.
  const kMinScale = 0.05;

  class FormGeometry {
    // viewport: CSS pixels; client: the form's size in twips; dpr: device pixels per CSS px.
    // sideWidth: logical pixels (at scale 1) wanted right of the form for the tool strip, in
    // the room the form's shape leaves there. The form keeps its scale and place either way:
    // the strip only ever takes room the form does not use.
    constructor(viewWidth, viewHeight, clientWidthTwips, clientHeightTwips, twipsPerPixel, dpr,
                sideWidth = 0) {
      this.twipsPerPixel = twipsPerPixel;
      this.dpr = dpr > 0 ? dpr : 1;
      const w = clientWidthTwips / twipsPerPixel, h = clientHeightTwips / twipsPerPixel;
      this.scale = Math.max(kMinScale, Math.min(viewWidth / w, viewHeight / h));
      this.originX = (viewWidth - w * this.scale) / 2;
      this.originY = (viewHeight - h * this.scale) / 2;
      this.sideBox = null;
      const side = sideWidth * this.scale;
      if (sideWidth > 0 && this.originX >= side) {
        const left = this.snap(this.originX + w * this.scale);
        const top = this.snap(this.originY);
        this.sideBox = { x: left, y: top, w: this.snap(left + side) - left,
                         h: this.snap(this.originY + h * this.scale) - top };
      }
    }

    // CSS pixel on the nearest device pixel.
    snap(v) {
      return Math.round(v * this.dpr) / this.dpr;
    }

    // A control's box on the page for its design place in twips: {x, y, w, h} in CSS px.
    place(left, top, width, height) {
      const k = this.scale / this.twipsPerPixel;
      const x = this.snap(this.originX + left * k), y = this.snap(this.originY + top * k);
      const r = this.snap(this.originX + (left + width) * k);
      const b = this.snap(this.originY + (top + height) * k);
      return { x: x, y: y, w: r - x, h: b - y };
    }

    // The tool strip's box right of the form: {x, y, w, h} in CSS px, or null when the
    // viewport is not wide enough for it beside the form at this scale.
    side() {
      return this.sideBox;
    }

    // A font's pixel size at this scale, as the desktop program rounds it.
    fontPixels(designPixels) {
      return Math.max(1, Math.round(designPixels * this.scale));
    }
  }

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

  PR.FormGeometry = FormGeometry;
  PR.cssColour = cssColour;
  PR.rect = { isEmpty: isEmpty, united: united, intersected: intersected };
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
