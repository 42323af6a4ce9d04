// The machine's own Chromium, headless, driven by playwright-core (web/package.json; `npm ci`
// in web/). playwright-core brings no browser and downloads none: PR_CHROMIUM names the
// executable, /usr/bin/chromium by default.
import { existsSync } from 'node:fs';

import { PageDriver, withoutSavePicker } from './driver.mjs';

let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch (e) {
  throw new Error(`playwright-core is missing: run \`PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci\` in web/ (${e.code ?? e.message})`);
}

export const chromiumPath = process.env.PR_CHROMIUM ?? '/usr/bin/chromium';

// Everything that would reach out to the network or depend on the machine's state is off;
// colours are plain sRGB so that a pixel read back is the colour the page painted.
const kArgs = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--no-default-browser-check', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-extensions', '--disable-default-apps', '--mute-audio',
  '--disable-features=Translate,MediaRouter,OptimizationHints',
  '--hide-scrollbars', '--force-color-profile=srgb',
];

export function launch() {
  return chromium.launch({ executablePath: chromiumPath, args: kArgs });
}

// A fresh context (its own storage, cache and service workers) with one page at the given
// viewport, in CSS pixels, and device pixel ratio. The page records every URL it asks for
// and every error it reports.
export async function newPage(browser, { width = 811, height = 702, dpr = 1 } = {}) {
  const context = await browser.newContext({
    viewport: { width, height }, deviceScaleFactor: dpr,
  });
  const page = await newTab(context);
  context.on('request', (r) => page.requests.push(r.url()));
  return page;
}

// Another page in a context: a second tab of the same browser profile, sharing its storage.
// It records the errors it reports.
export async function newTab(context) {
  const page = await context.newPage();
  page.requests = [];
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('requestfailed', (r) => page.errors.push(`failed: ${r.url().slice(0, 80)} ${r.failure()?.errorText}`));
  return page;
}

const kButtonBits = { left: 1, right: 2, middle: 4 };

// The driver on a playwright page (see driver.mjs); `raw` is the page itself, for what only
// Chromium has.
export class ChromiumPage extends PageDriver {
  constructor(page, viewport = {}) {
    super();
    this.raw = page;
    this.viewport = viewport;
    // The page's own lists, which newPage and newTab fill.
    this.requests = page.requests;
    this.errors = page.errors;
    this.cdp = null;
  }

  setViewport({ width, height }) {
    this.viewport = { ...this.viewport, width, height };
    return this.raw.setViewportSize({ width, height });
  }

  async goto(url) { await this.raw.goto(url); }
  async reload() { await this.raw.reload(); }
  title() { return this.raw.title(); }
  evaluate(fn, arg) { return this.raw.evaluate(fn, arg); }
  addInitScript(fn) { return this.raw.addInitScript(fn); }

  async mouse(type, x, y, button = 'left') {
    await this.raw.mouse.move(x, y);
    if (type === 'down') await this.raw.mouse.down({ button });
    if (type === 'up') await this.raw.mouse.up({ button });
  }

  async session() {
    this.cdp ??= await this.raw.context().newCDPSession(this.raw);
    return this.cdp;
  }

  // The DevTools protocol's touchEnd names the fingers that lift, not those still down.
  async touch(type, points) {
    const point = ([x, y, id]) => ({ x, y, id, radiusX: 1, radiusY: 1, force: 1 });
    const down = new Map(points.map((p) => [p[2], p]));
    const lifted = [...(this.fingers ?? new Map()).values()].filter(([, , id]) => !down.has(id));
    const sent = type === 'touchEnd' ? lifted : points;
    this.fingers = down;
    await (await this.session()).send('Input.dispatchTouchEvent', { type, touchPoints: sent.map(point) });
  }

  async pen(type, x, y, button = 'none') {
    const held = type === 'mouseReleased' ? 0 : kButtonBits[button] ?? 0;
    await (await this.session()).send('Input.dispatchMouseEvent', {
      type, x, y, button, buttons: held, clickCount: type === 'mouseMoved' ? 0 : 1,
      pointerType: 'pen', force: type === 'mouseReleased' ? 0 : 0.5,
    });
  }

  key(combo) { return this.raw.keyboard.press(combo); }
  screenshot() { return this.raw.screenshot(); }

  // The browser's own download, as a user would get it.
  async download(action) {
    await withoutSavePicker(this);
    const [d] = await Promise.all([
      this.raw.waitForEvent('download', { timeout: 20000 }), // a loaded machine is slow to start one
      action(),
    ]);
    const chunks = [];
    for await (const c of await d.createReadStream()) chunks.push(c);
    return { name: d.suggestedFilename(), data: Buffer.concat(chunks) };
  }

  async newTab() {
    return new ChromiumPage(await newTab(this.raw.context()), this.viewport);
  }

  // The whole profile: this page and the tabs opened from it.
  async close() {
    await this.raw.context().close();
  }

  async closeTab() {
    if (!this.raw.isClosed()) await this.raw.close();
  }
}

export class ChromiumEngine {
  constructor() {
    this.name = 'chromium';
  }

  lacks() {
    return false;
  }

  async start() {
    if (!existsSync(chromiumPath)) throw new Error(`${chromiumPath} is missing: install chromium (the chromium engine's tests need it)`);
    this.browser = await launch();
  }

  async newPage(viewport = {}) {
    return new ChromiumPage(await newPage(this.browser, viewport), viewport);
  }

  async stop() {
    await this.browser?.close();
    this.browser = null;
  }
}
