// The drawing surface `gamen` on the page: one canvas that shows the lesson's draw list, back
// to front (the stroke layer, the sunken border, then every element in stacking order), at
// the screen's own resolution.
//
// Units: the draw list and the strokes are in logical surface pixels, origin inside the
// 2-pixel border. The canvas element is placed in CSS pixels ("widget pixels" here); surface
// point x lies at widget point (x + border) * scale, the same for painting and input. Its
// backing store has dpr device pixels per CSS pixel, so it maps 1:1 onto the screen.
(function (PR) {
  'use strict';

  const rect = PR.rect;
  const css = PR.cssColour;

  // Side of the square tiles the canvas is repainted in, device pixels.
  const kTile = 128;

  // Whether box a holds all of box b (null holds nothing), give or take the rounding of
  // the core's own union of the same boxes.
  function covers(a, b) {
    const e = 1e-6;
    return !rect.isEmpty(a) && a.x <= b.x + e && a.y <= b.y + e &&
      a.x + a.w + e >= b.x + b.w && a.y + a.h + e >= b.y + b.h;
  }

  function makeCanvas(width, height) {
    const c = document.createElement('canvas');
    c.width = Math.max(1, width);
    c.height = Math.max(1, height);
    return c;
  }

  // The surface's own layer of freehand strokes, beneath every element: a raster at the
  // canvas's device resolution. What to paint on it, and where again, is the core's to say
  // (StrokeRaster: after a resize, every stroke at the new resolution; after an undo, only
  // where the strokes changed); the layer carries out its steps, given in the raster's own
  // pixels and already cut to the surface. While the layer has no stroke there is no raster.
  class StrokeLayer {
    // kinds: the numbers of the steps (Lesson.rasterKinds()).
    constructor(surface, kinds) {
      this.border = surface.border;
      this.innerW = surface.outerWidth - 2 * surface.border;
      this.innerH = surface.outerHeight - 2 * surface.border;
      this.background = surface.back;
      this.kinds = kinds;
      this.shown = null; // the raster shown
      this.kept = null;  // the one set aside by the last clear
      this.k = 1;        // raster pixels per logical surface pixel
    }

    isBlank() {
      return this.shown === null;
    }

    image() {
      return this.shown;
    }

    setResolution(k) {
      this.k = k;
    }

    // Another lesson from its start: nothing shown, nothing kept.
    restart(background) {
      this.background = background;
      this.shown = null;
      this.kept = null;
    }

    // Carries out the steps, packed 9 numbers a step: kind, x1, y1, x2, y2, width, colour,
    // w, h (Lesson.takeChanges).
    run(ops) {
      const K = this.kinds;
      let g = null;      // the context of a run of segments, clipped for them
      let region = [];   // the boxes filled since the last other step
      const end = () => {
        if (g) g.restore();
        g = null;
      };
      for (let i = 0; i < ops.length; i += 9) {
        const kind = ops[i];
        if (kind !== K.segment) end();
        switch (kind) {
          case K.make: {
            this.shown = makeCanvas(ops[i + 7], ops[i + 8]);
            const c = this.shown.getContext('2d');
            c.fillStyle = css(ops[i + 6]);
            c.fillRect(0, 0, this.shown.width, this.shown.height);
            break;
          }
          case K.drop: this.shown = null; break;
          case K.keep: this.kept = this.shown; this.shown = null; break;
          case K.swap: [this.shown, this.kept] = [this.kept, this.shown]; break;
          case K.forget: this.kept = null; break;
          case K.fill: {
            if (!this.shown) break;
            const c = this.shown.getContext('2d');
            c.fillStyle = css(ops[i + 6]);
            c.fillRect(ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4]);
            region.push([ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4]]);
            break;
          }
          case K.endFill: region = []; break;
          case K.segment:
            if (!this.shown) break;
            if (!g) g = this.begin(region);
            this.segment(g, ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4], ops[i + 5], ops[i + 6]);
            break;
          default:
        }
      }
      end();
    }

    // A context for segments: cut to the inner area, and to the filled boxes if any.
    begin(region) {
      const g = this.shown.getContext('2d');
      const k = this.k, b = this.border;
      g.save();
      g.beginPath();
      g.rect(b * k, b * k, this.innerW * k, this.innerH * k);
      g.clip();
      if (region.length) {
        g.beginPath();
        for (const r of region) g.rect(...r);
        g.clip();
      }
      g.lineCap = 'round';
      g.lineJoin = 'round';
      return g;
    }

    segment(g, x1, y1, x2, y2, width, colour) {
      g.strokeStyle = css(colour);
      g.fillStyle = css(colour);
      g.lineWidth = width;
      g.beginPath();
      if (x1 === x2 && y1 === y2) {
        // A segment of no length is a dot, whatever the canvas makes of a bare cap.
        g.arc(x1, y1, width / 2, 0, 2 * Math.PI);
        g.fill();
      } else {
        g.moveTo(x1, y1);
        g.lineTo(x2, y2);
        g.stroke();
      }
    }
  }

  // Paints the draw list on the canvas and keeps the stroke layer. `design` is the layout's
  // surface entry (sizes in logical pixels), windowBack the window's colour (for the margin a
  // rounded canvas may have beyond the surface), fonts {gothic, mincho, italic} CSS font
  // families (italic null where the letters' face is missing), letters the bitmaps by image
  // id (an image not loaded is left out).
  class Surface {
    // kinds: the numbers of the stroke raster's steps (Lesson.rasterKinds()).
    constructor(canvas, design, windowBack, fonts, letters, kinds) {
      this.canvas = canvas;
      this.g = canvas.getContext('2d', { alpha: false });
      this.design = design;
      this.border = design.border;
      this.windowBack = windowBack;
      this.fonts = fonts;
      this.letters = letters;
      this.layer = new StrokeLayer(design, kinds);
      this.list = null;
      this.scale = 1;
      this.dpr = 1;
      this.cssW = 1;
      this.cssH = 1;
      this.origin = null;           // the canvas's client position, for input; read when needed
      this.tiles = new Set();       // indices of the tiles still to paint, row by row
      this.frame = 0;
      this.ascents = new Map();     // font -> ascent in its own pixels
    }

    setList(list) {
      this.list = list;
      this.invalidateAll();
    }

    // Shows another lesson from its start: its draw list, and no strokes.
    restart(list) {
      this.layer.restart(this.design.back);
      this.setList(list);
    }

    // box: the canvas's place on the page in CSS px (whole device pixels); scale: the form's.
    setGeometry(box, scale, dpr) {
      const c = this.canvas;
      c.style.left = box.x + 'px';
      c.style.top = box.y + 'px';
      c.style.width = box.w + 'px';
      c.style.height = box.h + 'px';
      this.cssW = box.w;
      this.cssH = box.h;
      this.scale = scale;
      this.dpr = dpr;
      const devW = Math.max(1, Math.round(box.w * dpr)), devH = Math.max(1, Math.round(box.h * dpr));
      if (c.width !== devW || c.height !== devH) {
        c.width = devW;
        c.height = devH;
      }
      this.layer.setResolution(scale * dpr);
      this.tiles.clear(); // numbered for the old size; all are marked again
      this.invalidateAll();
      this.origin = null;
    }

    // The canvas's position in the viewport. Reading it makes the browser lay the page out,
    // so not while the page is built: at the first pointer event after a relayout.
    clientOrigin() {
      if (!this.origin) {
        const r = this.canvas.getBoundingClientRect();
        this.origin = { x: r.left, y: r.top };
      }
      return this.origin;
    }

    toSurface(clientX, clientY) {
      const o = this.clientOrigin();
      return {
        x: (clientX - o.x) / this.scale - this.border,
        y: (clientY - o.y) / this.scale - this.border,
      };
    }

    // Widget box of a box in logical surface pixels.
    toWidget(r) {
      const s = this.scale, b = this.border;
      return { x: (r.x + b) * s, y: (r.y + b) * s, w: r.w * s, h: r.h * s };
    }

    // Takes in what one action changed: the stroke raster's steps and the pixels they changed,
    // the changed slots and the area they need repainted.
    apply(changes) {
      this.layer.background = changes.rasterBack;
      this.layer.run(changes.raster);
      const r = changes.rasterArea, k = this.dpr;
      if (r) this.invalidate({ x: r.x / k, y: r.y / k, w: r.w / k, h: r.h / k });
      // Only the tiles the changed items cover, before and after: the copy of ℓ slides
      // across the whole figure, and the box around it would be most of the canvas. Where
      // the core's area says more than its changed items explain (the background or the
      // frame changed, or the list's length), the area is repainted as it says.
      let explained = null;
      for (const [index, item] of changes.slots) {
        const before = this.list.items[index];
        explained = rect.united(rect.united(explained, before?.bounds), item.bounds);
        this.invalidateItem(before);
        this.invalidateItem(item);
        this.list.items[index] = item;
      }
      const area = changes.area;
      if (!rect.isEmpty(area) && !covers(explained, area)) this.invalidate(this.toWidget(area));
    }

    invalidateAll() {
      this.invalidate({ x: 0, y: 0, w: this.cssW, h: this.cssH });
    }

    invalidate(widgetBox) {
      if (rect.isEmpty(widgetBox)) return;
      const k = this.dpr;
      this.markDevice(widgetBox.x * k, widgetBox.y * k,
                      (widgetBox.x + widgetBox.w) * k, (widgetBox.y + widgetBox.h) * k);
    }

    // What one item paints, in tiles: a segment only those its stroke passes through.
    invalidateItem(item) {
      if (!item || item.kind === 'none') return;
      if (item.kind !== 'segment') {
        this.invalidate(this.toWidget(item.bounds));
        return;
      }
      // Every pixel the segment paints, its round ends and antialiased edge included, lies
      // within R of the line between its ends: the core's bounds grow it by as much.
      const f = this.scale * this.dpr, b = this.border;
      const R = (item.width / 2 + 1) * f;
      const x1 = (item.x1 + b) * f, y1 = (item.y1 + b) * f;
      const x2 = (item.x2 + b) * f, y2 = (item.y2 + b) * f;
      // Row by row of tiles, each with a pixel's margin: a point of the row within R of the
      // segment is within R of the part of it whose y lies in the row grown by R, so within
      // R of that part's x range, which its ends give.
      const T = kTile, m = R + 1;
      const at = (y) => x1 + (x2 - x1) * Math.min(1, Math.max(0, (y - y1) / (y2 - y1)));
      const last = Math.floor((Math.max(y1, y2) + m) / T);
      for (let ty = Math.max(0, Math.floor((Math.min(y1, y2) - m) / T)); ty <= last; ++ty) {
        const level = y1 === y2;
        const xa = level ? x1 : at(ty * T - m), xb = level ? x2 : at((ty + 1) * T + m);
        this.markTiles(Math.floor((Math.min(xa, xb) - m) / T), ty,
                       Math.floor((Math.max(xa, xb) + m) / T), ty);
      }
    }

    // Marks the tiles under a box of device pixels, rounded outwards and a pixel more all
    // round: an antialiased edge reaches into the device pixel beyond an element's bounds.
    markDevice(x0, y0, x1, y1) {
      const T = kTile;
      this.markTiles(Math.floor((Math.floor(x0) - 1) / T), Math.floor((Math.floor(y0) - 1) / T),
                     Math.floor(Math.ceil(x1) / T), Math.floor(Math.ceil(y1) / T));
    }

    // Marks the tiles from column tx0, row ty0 to column tx1, row ty1, those on the canvas.
    markTiles(tx0, ty0, tx1, ty1) {
      const T = kTile, cols = Math.ceil(this.canvas.width / T), rows = Math.ceil(this.canvas.height / T);
      const c1 = Math.min(cols - 1, tx1), r1 = Math.min(rows - 1, ty1);
      for (let ty = Math.max(0, ty0); ty <= r1; ++ty)
        for (let tx = Math.max(0, tx0); tx <= c1; ++tx) this.tiles.add(ty * cols + tx);
      if (this.tiles.size && !this.frame)
        this.frame = requestAnimationFrame(() => this.paintDirty());
    }

    // Paints at once what is pending, without waiting for the next frame.
    flush() {
      if (this.frame) cancelAnimationFrame(this.frame);
      this.paintDirty();
    }

    // Each tile marked is painted on its own: the canvas antialiases an edge a little
    // differently under clips of other sizes, so a pixel is always painted under the same
    // clip, its tile's, and a part repainted matches the whole painted at once.
    paintDirty() {
      this.frame = 0;
      const tiles = this.tiles;
      if (!tiles.size || !this.list) return;
      this.tiles = new Set();
      const T = kTile, W = this.canvas.width, H = this.canvas.height;
      const cols = Math.ceil(W / T);
      for (const t of tiles) {
        const x = (t % cols) * T, y = Math.floor(t / cols) * T;
        if (y < H) this.paint({ x: x, y: y, w: Math.min(T, W - x), h: Math.min(T, H - y) });
      }
    }

    // Paints the device-pixel box `area` of the canvas.
    paint(area) {
      const g = this.g, s = this.scale, k = this.dpr, b = this.border;
      const list = this.list;
      g.save();
      g.setTransform(1, 0, 0, 1, 0, 0);
      g.beginPath();
      g.rect(area.x, area.y, area.w, area.h);
      g.clip();

      // The layer covers the canvas at device resolution: a 1:1 copy of the exposed part.
      const img = this.layer.image();
      if (img) {
        g.fillStyle = css(this.layer.background); // where a rounded raster falls short
        g.fillRect(area.x, area.y, area.w, area.h);
        g.drawImage(img, area.x, area.y, area.w, area.h, area.x, area.y, area.w, area.h);
      } else {
        g.fillStyle = css(this.layer.background);
        g.fillRect(area.x, area.y, area.w, area.h);
      }
      // The canvas may reach a little past the surface's outer box, where its edges were put
      // on whole device pixels: that margin belongs to the window's background.
      const outerR = list.outer.w * s * k, outerB = list.outer.h * s * k;
      g.fillStyle = css(this.windowBack);
      g.fillRect(outerR, 0, this.canvas.width - outerR, this.canvas.height);
      g.fillRect(0, outerB, this.canvas.width, this.canvas.height - outerB);

      // The frame first, unclipped and on whole device pixels; then what lies inside it, cut
      // to the inner area.
      const exposed = {
        x: area.x / (s * k) - b - 1, y: area.y / (s * k) - b - 1,
        w: area.w / (s * k) + 2, h: area.h / (s * k) + 2,
      };
      const exposedInner = rect.intersected(exposed, list.clip);
      let clipping = false;
      for (const item of list.items) {
        if (item.kind === 'none' || item.kind === 'strokeLayer') continue;
        if (item.kind === 'fill') {
          if (rect.intersected(item.bounds, exposed)) this.fillCrisp(item);
          continue;
        }
        if (item.clipped && !clipping) {
          g.setTransform(s * k, 0, 0, s * k, b * s * k, b * s * k);
          g.beginPath();
          g.rect(list.clip.x, list.clip.y, list.clip.w, list.clip.h);
          g.clip();
          clipping = true;
        }
        if (rect.intersected(item.bounds, item.clipped ? exposedInner : exposed))
          this.paintItem(item);
      }
      g.restore();
    }

    fillCrisp(item) {
      const g = this.g, f = this.scale * this.dpr, b = this.border;
      const x0 = Math.round((item.box.x + b) * f), y0 = Math.round((item.box.y + b) * f);
      const x1 = Math.round((item.box.x + item.box.w + b) * f);
      const y1 = Math.round((item.box.y + item.box.h + b) * f);
      g.save();
      g.setTransform(1, 0, 0, 1, 0, 0);
      g.fillStyle = css(item.colour);
      g.fillRect(x0, y0, Math.max(1, x1 - x0), Math.max(1, y1 - y0));
      g.restore();
    }

    font(style) {
      const family = style.face === 'mincho' ? this.fonts.mincho : this.fonts.gothic;
      return (style.bold ? 'bold ' : '') + style.pixelSize + 'px ' + family;
    }

    // Distance from a text box's top to the baseline: text hangs from the box's top edge.
    ascent(font, caption) {
      let a = this.ascents.get(font);
      if (a === undefined) {
        const m = this.g.measureText(caption);
        a = m.fontBoundingBoxAscent;
        if (!(a > 0)) a = m.actualBoundingBoxAscent;
        this.ascents.set(font, a);
      }
      return a;
    }

    paintItem(d) {
      const g = this.g;
      switch (d.kind) {
        case 'segment': {
          // Round ends as discs on a flat-ended line: a line of no length is just the disc.
          const colour = css(d.colour);
          if (d.x1 !== d.x2 || d.y1 !== d.y2) {
            g.strokeStyle = colour;
            g.lineWidth = d.width;
            g.lineCap = 'butt';
            g.beginPath();
            g.moveTo(d.x1, d.y1);
            g.lineTo(d.x2, d.y2);
            g.stroke();
          }
          if (d.roundEnds) {
            g.fillStyle = colour;
            g.beginPath();
            g.arc(d.x1, d.y1, d.width / 2, 0, 2 * Math.PI);
            g.fill();
            g.beginPath();
            g.arc(d.x2, d.y2, d.width / 2, 0, 2 * Math.PI);
            g.fill();
          }
          return;
        }
        case 'text': {
          const r = d.box;
          g.fillStyle = css(d.back);
          g.fillRect(r.x, r.y, r.w, r.h);
          g.save();
          g.beginPath();
          g.rect(r.x, r.y, r.w, r.h);
          g.clip();
          const font = this.font(d.style);
          g.font = font;
          g.textBaseline = 'alphabetic';
          g.textAlign = 'left';
          g.fillStyle = css(d.colour);
          g.fillText(d.caption, r.x, r.y + this.ascent(font, d.caption));
          g.restore();
          return;
        }
        case 'image': {
          // The letter as an outline of its italic face, at the device's resolution, where
          // the face is in; else the bitmap. Both fill the same box.
          if (this.fonts.italic && d.caption) {
            const r = d.box;
            g.save();
            g.fillStyle = css(d.back);
            g.fillRect(r.x, r.y, r.w, r.h);
            g.beginPath();
            g.rect(r.x, r.y, r.w, r.h);
            g.clip();
            g.font = 'italic ' + d.style.pixelSize + 'px ' + this.fonts.italic;
            g.textBaseline = 'alphabetic';
            g.textAlign = 'left';
            g.fillStyle = css(d.colour);
            g.fillText(d.caption, d.x1, d.y1);
            g.restore();
            return;
          }
          const img = this.letters[d.image];
          if (img && img.complete && img.naturalWidth > 0) {
            g.imageSmoothingEnabled = true;
            g.drawImage(img, d.box.x, d.box.y, d.box.w, d.box.h);
          }
          return;
        }
        case 'triangle': {
          g.save();
          g.globalAlpha = d.alpha / 255;
          g.fillStyle = css(d.colour);
          g.beginPath();
          g.moveTo(d.x1, d.y1);
          g.lineTo(d.x2, d.y2);
          g.lineTo(d.x3, d.y3);
          g.closePath();
          g.fill();
          g.restore();
          return;
        }
        case 'arc': {
          // Counter-clockwise on screen from x2 through y2 degrees: the canvas's angles run
          // clockwise, so both are negated.
          const from = -d.x2 * Math.PI / 180, to = -(d.x2 + d.y2) * Math.PI / 180;
          g.strokeStyle = css(d.colour);
          g.lineWidth = d.width;
          g.lineCap = 'butt';
          g.beginPath();
          g.arc(d.x1, d.y1, d.box.w, from, to, d.y2 > 0);
          g.stroke();
          return;
        }
        case 'outline': {
          const w = d.width, r = d.box;
          g.strokeStyle = css(d.colour);
          g.lineWidth = w;
          g.lineJoin = 'miter';
          g.strokeRect(r.x + w / 2, r.y + w / 2, r.w - w, r.h - w);
          return;
        }
        default:
          return;
      }
    }
  }

  PR.Surface = Surface;
  PR.StrokeLayer = StrokeLayer;
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
