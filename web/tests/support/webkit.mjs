// WebKitGTK through Debian's webkit2gtk-driver: WebKitWebDriver speaks W3C WebDriver over HTTP
// and starts MiniBrowser in automation mode, one browser and one fresh profile a session.
// Browsers need a display: the tests start their own Xvfb on a free display number. The
// device pixel ratio is GDK_SCALE in the browser's environment, fixed for a process, so each
// ratio has a driver of its own.
//
// PR_WEBKIT_DRIVER and PR_MINIBROWSER name other executables.
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import { createServer } from 'node:net';

import { PageDriver, callText, kButtonNumbers, splitCombo } from './driver.mjs';

export const webkitDriverPath = process.env.PR_WEBKIT_DRIVER ?? '/usr/bin/WebKitWebDriver';
export const miniBrowserPath = process.env.PR_MINIBROWSER ??
  '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// Room for the largest window the tests ask for at ratio 2 (1722 x 1404 CSS pixels).
const kScreen = '3840x3200x24';

// WebDriver's codes of the keys the tests press that are not characters.
const kKeyCodes = {
  Control: '\uE009', Shift: '\uE008', Alt: '\uE00A', Meta: '\uE03D', Escape: '\uE00C',
  Enter: '\uE007', Tab: '\uE004', Backspace: '\uE003', Delete: '\uE017', Space: ' ',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
  Home: '\uE011', End: '\uE010',
  ...Object.fromEntries(Array.from({ length: 12 }, (_, i) => [`F${i + 1}`, String.fromCharCode(0xE031 + i)])),
};

function keyCode(name) {
  const code = kKeyCodes[name] ?? (name.length === 1 ? name : undefined);
  if (code === undefined) throw new Error(`no WebDriver code for the key ${name}`);
  return code;
}

function freePort() {
  return new Promise((resolve, reject) => {
    const s = createServer();
    s.on('error', reject);
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// An X server of the tests' own; -displayfd lets it take the first free display number.
async function startXvfb() {
  const proc = spawn('Xvfb', ['-displayfd', '1', '-screen', '0', kScreen, '-nolisten', 'tcp'],
                     { stdio: ['ignore', 'pipe', 'pipe'] });
  let err = '';
  proc.stderr.on('data', (d) => { err += d; });
  const display = await new Promise((resolve, reject) => {
    let out = '';
    proc.stdout.on('data', (d) => {
      out += d;
      if (out.includes('\n')) resolve(`:${out.trim()}`);
    });
    proc.on('error', (e) => reject(new Error(`Xvfb did not start (${e.code}): install xvfb`)));
    proc.on('exit', (code) => reject(new Error(`Xvfb exited with ${code}: ${err.slice(-300)}`)));
  });
  return { proc, display };
}

// One WebKitWebDriver at one pixel ratio.
class Driver {
  constructor(display, dpr) {
    this.display = display;
    this.dpr = dpr;
  }

  async start() {
    this.port = await freePort();
    this.base = `http://127.0.0.1:${this.port}`;
    this.proc = spawn(webkitDriverPath, [`--port=${this.port}`], {
      stdio: ['ignore', 'ignore', 'pipe'],
      env: { ...process.env, DISPLAY: this.display, GDK_SCALE: String(this.dpr), GDK_DPI_SCALE: '1' },
    });
    this.log = '';
    this.proc.stderr.on('data', (d) => { this.log = (this.log + d).slice(-2000); });
    const exited = new Promise((_, reject) => this.proc.on('exit', (code) =>
      reject(new Error(`WebKitWebDriver exited with ${code}: ${this.log}`))));
    exited.catch(() => {});
    for (let i = 0; ; ++i) {
      try {
        await Promise.race([fetch(`${this.base}/status`), exited]);
        return;
      } catch (e) {
        if (i > 100 || this.proc.exitCode !== null) throw e;
        await sleep(50);
      }
    }
  }

  async call(method, path, body) {
    const r = await fetch(this.base + path, {
      method, headers: { 'content-type': 'application/json; charset=utf-8' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const json = await r.json();
    if (json.value?.error)
      throw new Error(`WebKitWebDriver ${method} ${path.replace(/^\/session\/[^/]+/, '')}: ${json.value.error}: ${json.value.message}`);
    return json.value;
  }

  stop() {
    this.proc?.kill();
  }
}

// What the page reports that WebDriver has no event for: its errors and the resources it
// loaded, gathered in the page and handed over with each script's result.
function watch() {
  const errors = [];
  addEventListener('error', (e) => errors.push(String(e.error ?? e.message)));
  addEventListener('unhandledrejection', (e) => errors.push(`unhandled: ${e.reason}`));
  const consoleError = console.error;
  console.error = (...a) => { errors.push(a.join(' ')); consoleError.apply(console, a); };
  let seen = 0;
  return {
    drain() {
      const entries = [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')];
      const requests = entries.slice(seen).map((e) => e.name);
      seen = entries.length;
      return { errors: errors.splice(0), requests };
    },
  };
}

// The windows of one session: a page and the tabs opened from it share its profile, and
// WebDriver acts on one window at a time.
class Session {
  constructor(driver, id) {
    this.driver = driver;
    this.id = id;
    this.current = null;
    this.windows = 0;
  }

  call(method, path, body) {
    return this.driver.call(method, `/session/${this.id}${path}`, body);
  }
}

class WebKitPage extends PageDriver {
  constructor(session, handle, viewport) {
    super();
    this.session = session;
    this.handle = handle;
    this.viewport = viewport;
    this.closed = false;
    ++session.windows;
  }

  async call(method, path, body) {
    if (this.closed) throw new Error('the page is closed');
    if (this.session.current !== this.handle) {
      await this.session.call('POST', '/window', { handle: this.handle });
      this.session.current = this.handle;
    }
    return this.session.call(method, path, body);
  }

  // The window's outer size for the viewport asked for: MiniBrowser's own bar takes some of it.
  // The page learns of a new window size a little after the driver answers, so the inner size
  // is read until it holds still before the difference is made up.
  async setViewport({ width, height }) {
    this.viewport = { ...this.viewport, width, height };
    let w = width, h = height;
    const inner = () => this.evaluate(() => [innerWidth, innerHeight]);
    for (let i = 0; i < 6; ++i) {
      await this.call('POST', '/window/rect', { x: 0, y: 0, width: w, height: h });
      let [iw, ih] = await inner();
      for (let wait = 0; wait < 20 && (iw !== width || ih !== height); ++wait) {
        await new Promise((r) => setTimeout(r, 50));
        const [nw, nh] = await inner();
        if (nw === iw && nh === ih && wait >= 3) break;
        [iw, ih] = [nw, nh];
      }
      if (iw === width && ih === height) return;
      w += width - iw;
      h += height - ih;
    }
    throw new Error(`WebKit: no window gives a viewport of ${width} x ${height}`);
  }

  async goto(url) {
    await this.call('POST', '/url', { url });
    await this.evaluate(() => 0);
  }

  async reload() {
    await this.call('POST', '/refresh', {});
    await this.evaluate(() => 0);
  }

  title() {
    return this.call('GET', '/title');
  }

  async evaluate(fn, arg) {
    const script = `const f = ${callText(fn)}; const w = globalThis.__prWatch ??= (${String(watch)})();
      return new Promise((r) => r(f(arguments[0]))).then((value) => ({ value, ...w.drain() }),
        (e) => ({ thrown: String(e) + (e && e.stack ? ' ' + e.stack : ''), ...w.drain() }));`;
    const r = await this.call('POST', '/execute/sync', { script, args: [arg ?? null] });
    this.errors.push(...r.errors);
    this.requests.push(...r.requests);
    if (r.thrown !== undefined) throw new Error(`in the page: ${r.thrown}`);
    return r.value ?? undefined;
  }

  async actions(source) {
    await this.call('POST', '/actions', { actions: [source] });
  }

  async mouse(type, x, y, button = 'left') {
    const actions = [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0 }];
    if (type !== 'move') actions.push({ type: type === 'down' ? 'pointerDown' : 'pointerUp', button: kButtonNumbers[button] });
    await this.actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions });
  }

  async pen(type, x, y, button = 'none') {
    const actions = [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0,
                       pressure: type === 'mouseReleased' ? 0 : 0.5 }];
    const b = kButtonNumbers[button] ?? 0;
    if (type === 'mousePressed') actions.push({ type: 'pointerDown', button: b, pressure: 0.5 });
    if (type === 'mouseReleased') actions.push({ type: 'pointerUp', button: b });
    await this.actions({ type: 'pointer', id: 'pen', parameters: { pointerType: 'pen' }, actions });
  }

  async key(combo) {
    const { modifiers, key } = splitCombo(combo);
    const codes = modifiers.map(keyCode);
    const k = keyCode(key);
    await this.actions({ type: 'key', id: 'keyboard', actions: [
      ...codes.map((value) => ({ type: 'keyDown', value })),
      { type: 'keyDown', value: k }, { type: 'keyUp', value: k },
      ...codes.reverse().map((value) => ({ type: 'keyUp', value })),
    ] });
  }

  async screenshot() {
    return Buffer.from(await this.call('GET', '/screenshot'), 'base64');
  }

  async newTab() {
    const { handle } = await this.call('POST', '/window/new', { type: 'window' });
    const tab = new WebKitPage(this.session, handle, this.viewport);
    await tab.setViewport(this.viewport);
    return tab;
  }

  // The whole profile: this window and the tabs opened from it.
  async close() {
    if (this.closed || this.session.windows === 0) return;
    try {
      await this.session.call('DELETE', '');
    } finally {
      this.closed = true;
      this.session.windows = 0;
      this.session.ended();
    }
  }

  // This window only; the last one ends the session.
  async closeTab() {
    if (this.closed || this.session.windows === 0) return;
    if (this.session.windows === 1) return this.close();
    await this.call('DELETE', '/window');
    this.closed = true;
    --this.session.windows;
    this.session.current = null;
  }
}

export class WebKitEngine {
  constructor() {
    this.name = 'webkit';
    this.spares = new Map();
    this.drivers = new Set();
  }

  // Input WebKitGTK's driver cannot send as the device it stands for.
  lacks(feature) {
    return {
      touch: 'WebKitWebDriver sends touch actions as a mouse (pointerType "mouse")',
      otherButtons: 'WebKitWebDriver\'s actions bring no pointerup for the right or middle button',
      fractionalDpr: 'GDK_SCALE, the pixel ratio of WebKitGTK on X11, is a whole number',
      initScript: 'WebDriver classic runs no script before the page\'s own',
      cdp: 'the DevTools protocol is Chromium\'s',
    }[feature] ?? false;
  }

  async start() {
    for (const f of [webkitDriverPath, miniBrowserPath])
      if (!existsSync(f)) throw new Error(`${f} is missing: install webkit2gtk-driver (the webkit engine's tests need it)`);
    this.xvfb = await startXvfb();
    // A test file that dies leaves no X server or browser behind.
    this.onExit = () => this.kill();
    process.on('exit', this.onExit);
  }

  kill() {
    for (const d of this.drivers) d.stop();
    this.drivers.clear();
    this.xvfb?.proc.kill();
    this.xvfb = null;
  }

  // A driver with its session, its browser up: a driver holds one session only, and a
  // browser takes seconds to start, so the next one at the same ratio starts at once.
  async session(dpr) {
    const d = new Driver(this.xvfb.display, dpr);
    this.drivers.add(d);
    await d.start();
    const s = await d.call('POST', '/session', { capabilities: { alwaysMatch: {
      'webkitgtk:browserOptions': { binary: miniBrowserPath, args: ['--automation'] },
    } } });
    const session = new Session(d, s.sessionId);
    session.current = await session.call('GET', '/window');
    session.ended = () => { d.stop(); this.drivers.delete(d); };
    return session;
  }

  async newPage({ width = 811, height = 702, dpr = 1 } = {}) {
    if (!Number.isInteger(dpr)) throw new Error(`WebKit: no pixel ratio ${dpr}: ${this.lacks('fractionalDpr')}`);
    const ready = this.spares.get(dpr) ?? this.session(dpr);
    const spare = this.session(dpr);
    spare.catch(() => {});
    this.spares.set(dpr, spare);
    const session = await ready;
    const page = new WebKitPage(session, session.current, { width, height, dpr });
    await page.setViewport({ width, height });
    return page;
  }

  async stop() {
    const spares = await Promise.allSettled(this.spares.values());
    this.spares.clear();
    // A browser ends with its session; the driver alone would leave it running.
    await Promise.allSettled(spares.filter((r) => r.status === 'fulfilled')
      .map(({ value }) => value.call('DELETE', '')));
    this.kill();
    if (this.onExit) process.off('exit', this.onExit);
  }
}
