// Headless Chromium driven over the DevTools protocol through a pipe: no port, no network,
// no packages beyond node itself. One browser per test file, one tab per page.
import { spawn } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const kChromium = process.env.PR_CHROMIUM ?? '/usr/bin/chromium';

// Everything that would reach out to the network or depend on the machine's state is off.
const kFlags = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--no-default-browser-check', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-extensions', '--disable-default-apps', '--mute-audio',
  '--disable-features=Translate,MediaRouter,OptimizationHints',
  '--hide-scrollbars', '--force-color-profile=srgb',
  '--remote-debugging-pipe',
];

export class Browser {
  static async launch() {
    const profile = mkdtempSync(join(tmpdir(), 'pr-web-chromium-'));
    const child = spawn(kChromium, [...kFlags, `--user-data-dir=${profile}`, 'about:blank'], {
      stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'],
    });
    const b = new Browser(child, profile);
    await b.send('Target.setDiscoverTargets', { discover: false });
    return b;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = new Set();
    this.stderr = '';
    child.stderr.on('data', (d) => { this.stderr = (this.stderr + d).slice(-4000); });
    let buffered = '';
    child.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString('utf8');
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const msg = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        this.dispatch(msg);
      }
    });
    this.exited = new Promise((done) => child.once('exit', done));
    child.once('exit', () => {
      for (const { fail, method } of this.pending.values())
        fail(new Error(`chromium exited during ${method}:\n${this.stderr}`));
      this.pending.clear();
    });
  }

  dispatch(msg) {
    if (msg.id !== undefined) {
      const p = this.pending.get(msg.id);
      if (!p) return;
      this.pending.delete(msg.id);
      if (msg.error) p.fail(new Error(`${p.method}: ${msg.error.message}`));
      else p.done(msg.result);
      return;
    }
    for (const l of this.listeners) l(msg);
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const msg = { id, method, params };
    if (sessionId) msg.sessionId = sessionId;
    return new Promise((done, fail) => {
      this.pending.set(id, { done, fail, method });
      this.child.stdio[3].write(JSON.stringify(msg) + '\0');
    });
  }

  async newPage(width = 811, height = 702, deviceScaleFactor = 1) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, targetId, sessionId);
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    await page.send('Network.enable');
    await page.send('Log.enable');
    await page.setViewport(width, height, deviceScaleFactor);
    return page;
  }

  async close() {
    try {
      await Promise.race([this.send('Browser.close'), this.exited]);
    } catch {
      // already gone
    }
    if (this.child.exitCode === null) this.child.kill('SIGKILL');
    await this.exited;
    // Chromium's helper processes may still be writing their last files for a moment.
    await rm(this.profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 });
  }
}

export class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.requests = [];  // every URL the page asked for
    this.errors = [];    // uncaught exceptions, console errors and the browser's error reports
    browser.listeners.add((msg) => {
      if (msg.sessionId !== sessionId) return;
      if (msg.method === 'Network.requestWillBeSent') this.requests.push(msg.params.request.url);
      if (msg.method === 'Runtime.exceptionThrown')
        this.errors.push(msg.params.exceptionDetails.exception?.description ??
                         msg.params.exceptionDetails.text);
      // The browser's own reports: a blocked load, a broken security policy, a failed request.
      if (msg.method === 'Log.entryAdded' && msg.params.entry.level === 'error')
        this.errors.push(`${msg.params.entry.source}: ${msg.params.entry.text} ${msg.params.entry.url ?? ''}`);
      if (msg.method === 'Runtime.consoleAPICalled' && msg.params.type === 'error')
        this.errors.push(msg.params.args.map((a) => a.value ?? a.description).join(' '));
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async setViewport(width, height, deviceScaleFactor = 1) {
    await this.send('Emulation.setDeviceMetricsOverride',
                    { width, height, deviceScaleFactor, mobile: false });
  }

  // Loads url and waits until the lesson's page is up.
  async open(url) {
    await this.send('Page.navigate', { url });
    await this.waitFor('globalThis.ParallelRatio?.page !== undefined');
  }

  async evaluate(expression) {
    const r = await this.send('Runtime.evaluate', {
      expression, returnByValue: true, awaitPromise: true,
    });
    if (r.exceptionDetails)
      throw new Error(`${expression}: ${r.exceptionDetails.exception?.description ?? r.exceptionDetails.text}`);
    return r.result.value;
  }

  async waitFor(expression, timeoutMs = 15000) {
    const until = Date.now() + timeoutMs;
    for (;;) {
      if (await this.evaluate(`!!(${expression})`).catch(() => false)) return;
      if (Date.now() > until) throw new Error(`timed out waiting for ${expression}; errors: ${this.errors.join('; ')}`);
      await new Promise((r) => setTimeout(r, 25));
    }
  }

  // Waits until the page has painted what is pending.
  async settle() {
    await this.evaluate('new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))');
  }

  // Mouse: buttons 'left' | 'right' | 'middle' | 'none'; coordinates are CSS pixels.
  async mouse(type, x, y, button = 'none', buttons = 0, extra = {}) {
    await this.send('Input.dispatchMouseEvent', {
      type, x, y, button, buttons, clickCount: type === 'mouseMoved' ? 0 : 1, ...extra,
    });
  }

  async click(x, y) {
    await this.mouse('mousePressed', x, y, 'left', 1);
    await this.mouse('mouseReleased', x, y, 'left', 0);
  }

  // A left drag along the points, pressing at the first and releasing at the last.
  async drag(points, button = 'left') {
    const bit = { left: 1, right: 2, middle: 4 }[button];
    const [first, ...rest] = points;
    await this.mouse('mousePressed', first[0], first[1], button, bit);
    for (const [x, y] of rest) await this.mouse('mouseMoved', x, y, button, bit);
    const [lx, ly] = points[points.length - 1];
    await this.mouse('mouseReleased', lx, ly, button, 0);
  }

  async touch(type, points) {
    await this.send('Input.dispatchTouchEvent', {
      type, touchPoints: points.map(([x, y, id]) => ({ x, y, id, radiusX: 1, radiusY: 1, force: 1 })),
    });
  }

  async screenshot() {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    return Buffer.from(data, 'base64');
  }

  async close() {
    await this.browser.send('Target.closeTarget', { targetId: this.targetId });
  }
}
