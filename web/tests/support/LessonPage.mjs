// The lesson's page in Chromium, seen and handled as a user would: its canvas read back pixel
// by pixel, and mouse, finger and pen input at the page point of a surface point.
//
// Surface points are logical surface pixels (origin inside the surface's 2-pixel border), page
// points CSS pixels of the viewport, canvas pixels the canvas's backing store (device pixels).
import { newPage, newTab } from './chromium.mjs';

const kButtonBits = { left: 1, right: 2, middle: 4 };

export class LessonPage {
  // Opens url in a fresh context and waits until the lesson is up and painted.
  static async open(browser, url, viewport = {}) {
    const page = await newPage(browser, viewport);
    const p = new LessonPage(page);
    await p.load(url);
    return p;
  }

  // The lesson at url in another tab of this page's browser profile (the same storage).
  async openTab(url) {
    const p = new LessonPage(await newTab(this.page.context()));
    await p.load(url);
    return p;
  }

  constructor(page) {
    this.page = page;
    this.cdp = null;
  }

  get requests() { return this.page.requests; }
  get errors() { return this.page.errors; }

  async load(url) {
    await this.page.goto(url);
    await this.ready();
  }

  async ready() {
    await this.page.waitForFunction(() => globalThis.ParallelRatio?.page !== undefined, null, { timeout: 15000 })
      .catch((e) => { throw new Error(`the lesson did not come up: ${e.message}; errors: ${this.errors.join('; ')}`); });
    await this.settle();
  }

  async close() {
    await this.page.context().close();
  }

  evaluate(fn, arg) {
    return this.page.evaluate(fn, arg);
  }

  // Waits until the page has painted what is pending.
  async settle() {
    await this.page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  }

  // Colour (0xRRGGBB) the canvas shows at a surface point.
  pixel(x, y) {
    return this.page.evaluate(([x, y]) => {
      const s = ParallelRatio.page.surface;
      s.flush();
      const k = s.scale * s.dpr;
      const d = s.g.getImageData(Math.floor((x + 2) * k), Math.floor((y + 2) * k), 1, 1).data;
      return (d[0] << 16) | (d[1] << 8) | d[2];
    }, [x, y]);
  }

  // How many canvas pixels of a box of the surface have exactly the colour (0xRRGGBB), or
  // are within `tolerance` of it in each channel.
  countColour(box, colour, tolerance = 0) {
    return this.page.evaluate(([b, c, tol]) => {
      const s = ParallelRatio.page.surface;
      s.flush();
      const k = s.scale * s.dpr;
      const d = s.g.getImageData(Math.ceil((b.x + 2) * k), Math.ceil((b.y + 2) * k),
                                 Math.floor(b.w * k), Math.floor(b.h * k)).data;
      const r = (c >> 16) & 255, g = (c >> 8) & 255, bl = c & 255;
      let n = 0;
      for (let i = 0; i < d.length; i += 4)
        if (Math.abs(d[i] - r) <= tol && Math.abs(d[i + 1] - g) <= tol && Math.abs(d[i + 2] - bl) <= tol) ++n;
      return n;
    }, [box, colour, tolerance]);
  }

  // The whole canvas as {width, height, data: RGBA bytes}.
  async canvasImage() {
    const r = await this.page.evaluate(() => {
      const s = ParallelRatio.page.surface;
      s.flush();
      const img = s.g.getImageData(0, 0, s.canvas.width, s.canvas.height);
      // Latin-1 text carries the bytes across unchanged and far faster than an array.
      let bin = '';
      for (let i = 0; i < img.data.length; i += 0x8000)
        bin += String.fromCharCode.apply(null, img.data.subarray(i, i + 0x8000));
      return { width: img.width, height: img.height, bin };
    });
    return { width: r.width, height: r.height, data: Buffer.from(r.bin, 'latin1') };
  }

  // Page point (CSS px) of a surface point.
  at(x, y) {
    return this.page.evaluate(([x, y]) => {
      const s = ParallelRatio.page.surface;
      const r = s.canvas.getBoundingClientRect();
      return [r.left + (x + 2) * s.scale, r.top + (y + 2) * s.scale];
    }, [x, y]);
  }

  // Centre of a surface text (a point label) by its caption, in surface pixels.
  labelCentre(caption) {
    return this.page.evaluate((caption) => {
      const item = ParallelRatio.page.surface.list.items.find((i) => i.kind === 'text' && i.caption === caption);
      return item ? [item.box.x + item.box.w / 2, item.box.y + item.box.h / 2] : null;
    }, caption);
  }

  // One of the window's command buttons, by caption; fails at once if it is disabled.
  async clickButton(caption) {
    await this.page.locator('#form > button', { hasText: caption }).click({ timeout: 5000 });
  }

  // Option buttons by index (0..3 thin red, yellow, blue, eraser; 4..7 the same thick).
  async clickOption(index) {
    await this.page.locator('input[type=radio]').nth(index).click({ timeout: 5000 });
  }

  // ---- Mouse ------------------------------------------------------------------------------
  async mouseMove(x, y) {
    await this.page.mouse.move(...await this.at(x, y));
  }

  async mouseDown(x, y, button = 'left') {
    await this.mouseMove(x, y);
    await this.page.mouse.down({ button });
  }

  async mouseUp(x, y, button = 'left') {
    await this.mouseMove(x, y);
    await this.page.mouse.up({ button });
  }

  // A drag through surface points, pressing at the first and releasing at the last.
  async drag(points, button = 'left') {
    const [first, ...rest] = points;
    await this.mouseDown(...first, button);
    for (const p of rest) await this.mouseMove(...p);
    await this.mouseUp(...points[points.length - 1], button);
  }

  // A left click at a surface point.
  async click(x, y) {
    await this.drag([[x, y]]);
  }

  // ---- Touch and pen, as the input devices' drivers report them ---------------------------
  async session() {
    this.cdp ??= await this.page.context().newCDPSession(this.page);
    return this.cdp;
  }

  // type: touchStart | touchMove | touchEnd; points: [[x, y, id], ...] in surface pixels,
  // every finger still down.
  async touch(type, points) {
    const touchPoints = [];
    for (const [x, y, id] of points) {
      const [px, py] = await this.at(x, y);
      touchPoints.push({ x: px, y: py, id, radiusX: 1, radiusY: 1, force: 1 });
    }
    await (await this.session()).send('Input.dispatchTouchEvent', { type, touchPoints });
  }

  // A one-finger drag through surface points.
  async touchDrag(points) {
    const [first, ...rest] = points;
    await this.touch('touchStart', [[...first, 1]]);
    for (const p of rest) await this.touch('touchMove', [[...p, 1]]);
    await this.touch('touchEnd', []);
  }

  // type: mouseMoved | mousePressed | mouseReleased, as a pen reports it; button the pen's
  // tip ('left'), its barrel button ('right') or 'none' while it hovers.
  async pen(type, x, y, button = 'none') {
    const [px, py] = await this.at(x, y);
    const held = type === 'mouseReleased' ? 0 : kButtonBits[button] ?? 0;
    await (await this.session()).send('Input.dispatchMouseEvent', {
      type, x: px, y: py, button, buttons: held, clickCount: type === 'mouseMoved' ? 0 : 1,
      pointerType: 'pen', force: type === 'mouseReleased' ? 0 : 0.5,
    });
  }

  // A drag with the pen's tip through surface points, hovering in and out.
  async penDrag(points) {
    const [first, ...rest] = points;
    await this.pen('mouseMoved', first[0], first[1] - 40);
    await this.pen('mousePressed', ...first, 'left');
    for (const p of rest) await this.pen('mouseMoved', ...p, 'left');
    await this.pen('mouseReleased', ...points[points.length - 1], 'left');
  }

  // ---- Controls ---------------------------------------------------------------------------
  buttonsDisabled() {
    return this.page.evaluate(() => [...document.querySelectorAll('#form > button')].map((b) => b.disabled));
  }

  optionsDisabled() {
    return this.page.evaluate(() => [...document.querySelectorAll('input[type=radio]')].map((i) => i.disabled));
  }
}
