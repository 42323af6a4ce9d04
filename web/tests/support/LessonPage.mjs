// The lesson's page in a browser, seen and handled as a user would: its canvas read back pixel
// by pixel, its controls found and clicked where they show, and mouse, finger and pen input
// at the page point of a surface point. It works on any engine's page driver (driver.mjs).
//
// Surface points are logical surface pixels (origin inside the surface's 2-pixel border), page
// points CSS pixels of the viewport, canvas pixels the canvas's backing store (device pixels).
import { ChromiumPage } from './chromium.mjs';
import { PageDriver } from './driver.mjs';

// Elements the tests look for, by CSS selector and optionally by the text they contain, their
// accessible name (aria-label, else their text) or their place among the matches. Runs in
// the page.
function findElement({ selector, text, name, nth }) {
  const nameOf = (e) => (e.getAttribute('aria-label') ?? e.textContent).trim();
  const all = [...document.querySelectorAll(selector)].filter((e) =>
    (text === undefined || e.textContent.includes(text)) && (name === undefined || nameOf(e) === name));
  return all[nth ?? 0] ?? null;
}

// fn with findElement in its scope, to run in the page (whose security policy allows no eval).
function withFinder(fn) {
  return new Function('arg', `const findElement = ${findElement};\nreturn (${fn})(arg);`);
}

export class LessonPage {
  // Opens url in a fresh profile of the engine and waits until the lesson is up and painted.
  // The engine may also be a playwright browser (chromium.mjs's launch()).
  static async open(engine, url, viewport = {}) {
    const driver = typeof engine.newPage === 'function' && engine.name
      ? await engine.newPage(viewport)
      : await (await import('./chromium.mjs')).newPage(engine, viewport);
    const p = new LessonPage(driver);
    await p.load(url);
    return p;
  }

  // The lesson at url in another tab of this page's browser profile (the same storage).
  async openTab(url) {
    const p = new LessonPage(await this.driver.newTab());
    await p.load(url);
    return p;
  }

  // driver: an engine's page driver, or a playwright page.
  constructor(driver) {
    this.driver = driver instanceof PageDriver ? driver : new ChromiumPage(driver);
    // The engine's own page object (playwright's or puppeteer's), for what only it has.
    this.page = this.driver.raw;
  }

  get requests() { return this.driver.requests; }
  get errors() { return this.driver.errors; }

  async load(url) {
    await this.driver.goto(url);
    await this.ready();
  }

  async reload() {
    await this.driver.reload();
    await this.ready();
  }

  async ready() {
    await this.driver.waitForFunction(() => globalThis.ParallelRatio?.page !== undefined, null, { timeout: 15000 })
      .catch((e) => { throw new Error(`the lesson did not come up: ${e.message}; errors: ${this.errors.join('; ')}`); });
    await this.settle();
  }

  // Closes the page with its browser profile and every tab opened from it.
  async close() {
    await this.driver.close();
  }

  // Closes this tab alone.
  async closeTab() {
    await this.driver.closeTab();
  }

  evaluate(fn, arg) {
    return this.driver.evaluate(fn, arg);
  }

  waitForFunction(fn, arg, options) {
    return this.driver.waitForFunction(fn, arg, options);
  }

  title() { return this.driver.title(); }
  screenshot() { return this.driver.screenshot(); }
  key(combo) { return this.driver.key(combo); }

  // A new size of the viewport, in CSS pixels.
  setViewport(width, height) {
    return this.driver.setViewport({ width, height });
  }

  // The file the page hands over as a download while `action` runs: {name, data}.
  download(action) {
    return this.driver.download(action);
  }

  // Waits until the page has painted what is pending.
  async settle() {
    await this.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  }

  // Colour (0xRRGGBB) the canvas shows at a surface point.
  pixel(x, y) {
    return this.evaluate(([x, y]) => {
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
    return this.evaluate(([b, c, tol]) => {
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

  // Light canvas pixels in the box of the letter p (at scale 1): its outline or its bitmap
  // was drawn there.
  letterInk() {
    return this.evaluate(() => {
      const d = ParallelRatio.page.surface.g.getImageData(52, 216, 24, 34).data;
      let light = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] > 200) ++light;
      return light;
    });
  }

  // The whole canvas as {width, height, data: RGBA bytes}.
  async canvasImage() {
    const r = await this.evaluate(() => {
      const s = ParallelRatio.page.surface;
      s.flush();
      const img = s.g.getImageData(0, 0, s.canvas.width, s.canvas.height);
      // Base64 of Latin-1 text carries the bytes through every engine's protocol unchanged
      // and far faster than an array.
      let bin = '';
      for (let i = 0; i < img.data.length; i += 0x8000)
        bin += String.fromCharCode.apply(null, img.data.subarray(i, i + 0x8000));
      return { width: img.width, height: img.height, b64: btoa(bin) };
    });
    return { width: r.width, height: r.height, data: Buffer.from(r.b64, 'base64') };
  }

  // Page point (CSS px) of a surface point.
  at(x, y) {
    return this.evaluate(([x, y]) => {
      const s = ParallelRatio.page.surface;
      const r = s.canvas.getBoundingClientRect();
      return [r.left + (x + 2) * s.scale, r.top + (y + 2) * s.scale];
    }, [x, y]);
  }

  // Centre of a surface text (a point label) by its caption, in surface pixels.
  labelCentre(caption) {
    return this.evaluate((caption) => {
      const item = ParallelRatio.page.surface.list.items.find((i) => i.kind === 'text' && i.caption === caption);
      return item ? [item.box.x + item.box.w / 2, item.box.y + item.box.h / 2] : null;
    }, caption);
  }

  // ---- Elements ---------------------------------------------------------------------------
  // An element's state: {found, visible, disabled, text, box}. `which` is {selector, text,
  // name, nth} (see findElement), or a selector.
  element(which) {
    const w = typeof which === 'string' ? { selector: which } : which;
    return this.evaluate(withFinder((w) => {
      const e = findElement(w);
      if (!e) return { found: false, visible: false };
      const r = e.getBoundingClientRect();
      const style = getComputedStyle(e);
      return {
        found: true, disabled: !!e.disabled, text: e.textContent, pressed: e.getAttribute('aria-pressed'),
        visible: r.width > 0 && r.height > 0 && style.visibility !== 'hidden' && e.closest('[hidden]') === null,
        box: { x: r.left, y: r.top, width: r.width, height: r.height },
      };
    }), w);
  }

  // The texts of every element a selector matches.
  texts(selector) {
    return this.evaluate((s) => [...document.querySelectorAll(s)].map((e) => e.textContent), selector);
  }

  // Waits until an element shows.
  async waitForElement(which, timeout = 5000) {
    const w = typeof which === 'string' ? { selector: which } : which;
    const end = Date.now() + timeout;
    for (;;) {
      const e = await this.element(w);
      if (e.visible) return e;
      if (Date.now() > end) throw new Error(`${JSON.stringify(w)} did not show within ${timeout} ms`);
      await new Promise((r) => setTimeout(r, 40));
    }
  }

  // A left click in the middle of an element, as a user makes it: it must show, be enabled
  // (unless `force`: a click on a disabled control is made all the same) and be what lies
  // under the pointer there.
  async clickElement(which, { force = false } = {}) {
    const w = typeof which === 'string' ? { selector: which } : which;
    const e = await this.waitForElement(w);
    if (e.disabled && !force) throw new Error(`${JSON.stringify(w)} is disabled`);
    const x = e.box.x + e.box.width / 2, y = e.box.y + e.box.height / 2;
    const hit = await this.evaluate(withFinder(([w, x, y]) => {
      const e = findElement(w), top = document.elementFromPoint(x, y);
      return e === top || e.contains(top) ? null : (top?.outerHTML ?? 'nothing').slice(0, 80);
    }), [w, x, y]);
    if (hit) throw new Error(`${JSON.stringify(w)} is covered by ${hit}`);
    await this.driver.mouse('down', x, y, 'left');
    await this.driver.mouse('up', x, y, 'left');
  }

  // One of the window's command buttons, by caption; fails at once if it is disabled.
  clickButton(caption) {
    return this.clickElement({ selector: '#form > button', text: caption });
  }

  // Option buttons by index (0..3 thin red, yellow, blue, eraser; 4..7 the same thick).
  clickOption(index) {
    return this.clickElement({ selector: `input[type=radio][data-index="${index}"]` });
  }

  // ---- Mouse ------------------------------------------------------------------------------
  async mouseMove(x, y) {
    await this.driver.mouse('move', ...await this.at(x, y));
  }

  async mouseDown(x, y, button = 'left') {
    await this.driver.mouse('down', ...await this.at(x, y), button);
  }

  async mouseUp(x, y, button = 'left') {
    await this.driver.mouse('up', ...await this.at(x, y), button);
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
  // type: touchStart | touchMove | touchEnd; points: [[x, y, id], ...] in surface pixels,
  // every finger still down.
  async touch(type, points) {
    const touchPoints = [];
    for (const [x, y, id] of points) touchPoints.push([...await this.at(x, y), id]);
    await this.driver.touch(type, touchPoints);
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
    await this.driver.pen(type, ...await this.at(x, y), button);
  }

  // A drag with the pen's tip through surface points, hovering in and out.
  async penDrag(points) {
    const [first, ...rest] = points;
    await this.pen('mouseMoved', first[0], first[1] - 40);
    await this.pen('mousePressed', ...first, 'left');
    for (const p of rest) await this.pen('mouseMoved', ...p, 'left');
    await this.pen('mouseReleased', ...points[points.length - 1], 'left');
  }

  // A drag with a pen's eraser end through surface points, as synthetic Pointer Events (no
  // engine's automation sends an eraser end): button 5 and bit 32 of the buttons held.
  async penEraserDrag(points) {
    const at = [];
    for (const p of points) at.push(await this.at(...p));
    await this.driver.evaluate((pts) => {
      const canvas = document.querySelector('canvas');
      const send = (type, [x, y], button, buttons) => canvas.dispatchEvent(new PointerEvent(type, {
        pointerType: 'pen', pointerId: 99, clientX: x, clientY: y, button, buttons, pressure: buttons ? 0.5 : 0,
        bubbles: true, cancelable: true }));
      send('pointerdown', pts[0], 5, 32);
      for (const p of pts.slice(1)) send('pointermove', p, -1, 32);
      send('pointerup', pts[pts.length - 1], 5, 0);
    }, at);
  }

  // ---- Controls ---------------------------------------------------------------------------
  // The form's command buttons (by number, 1..4) and pens (by index, 0..7) in that order,
  // whatever order the page holds them in.
  commands() {
    return this.evaluate(() => [...document.querySelectorAll('#form > button[data-number]')]
      .sort((a, b) => a.dataset.number - b.dataset.number)
      .map((b) => ({ caption: b.textContent, disabled: b.disabled })));
  }

  options() {
    return this.evaluate(() => [...document.querySelectorAll('input[type=radio][data-index]')]
      .sort((a, b) => a.dataset.index - b.dataset.index)
      .map((i) => ({ disabled: i.disabled, checked: i.checked })));
  }

  async buttonsDisabled() {
    return (await this.commands()).map((b) => b.disabled);
  }

  async optionsDisabled() {
    return (await this.options()).map((o) => o.disabled);
  }
}
