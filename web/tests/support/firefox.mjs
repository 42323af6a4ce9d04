// Debian's Firefox ESR, headless, through WebDriver BiDi with puppeteer-core (web/package.json;
// no geckodriver, and nothing downloaded: PUPPETEER_SKIP_DOWNLOAD=1 at `npm ci`). One browser
// with a fresh profile for the whole test file; each page a user context of its own (its own
// storage, cache and service workers), its tabs in the same context. PR_FIREFOX names another
// executable.
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { PageDriver, splitCombo } from './driver.mjs';

export const firefoxPath = process.env.PR_FIREFOX ?? '/usr/bin/firefox-esr';

let puppeteer;
async function loadPuppeteer() {
  try {
    puppeteer ??= (await import('puppeteer-core')).default;
  } catch (e) {
    throw new Error(`puppeteer-core is missing: run \`PUPPETEER_SKIP_DOWNLOAD=1 npm ci\` in web/ (${e.code ?? e.message})`);
  }
  return puppeteer;
}

// Everything that would reach out to the network is off; the rest as a fresh profile has it.
const kPrefs = {
  'app.update.enabled': false,
  'browser.shell.checkDefaultBrowser': false,
  'datareporting.policy.dataSubmissionEnabled': false,
  'toolkit.telemetry.enabled': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'browser.safebrowsing.malware.enabled': false,
  'browser.safebrowsing.phishing.enabled': false,
  'extensions.update.enabled': false,
  'dom.disable_open_during_load': false,
  'full-screen-api.allow-trusted-requests-only': false,
};

// User contexts closed already, with every page in them.
const closed = new WeakSet();

class FirefoxPage extends PageDriver {
  constructor(context, page, viewport) {
    super();
    this.context = context;
    this.raw = page;
    this.viewport = viewport;
    this.fingers = new Set();
    page.on('pageerror', (e) => this.errors.push(String(e)));
    page.on('console', (m) => { if (m.type() === 'error') this.errors.push(m.text()); });
    page.on('request', (r) => this.requests.push(r.url()));
    page.on('requestfailed', (r) => this.errors.push(`failed: ${r.url().slice(0, 80)} ${r.failure()?.errorText}`));
  }

  setViewport({ width, height }) {
    this.viewport = { ...this.viewport, width, height };
    return this.raw.setViewport({ width, height, deviceScaleFactor: this.viewport.dpr });
  }

  async goto(url) { await this.raw.goto(url); }
  async reload() { await this.raw.reload(); }
  title() { return this.raw.title(); }
  evaluate(fn, arg) { return this.raw.evaluate(fn, arg); }
  addInitScript(fn) { return this.raw.evaluateOnNewDocument(fn); }

  async mouse(type, x, y, button = 'left') {
    await this.raw.mouse.move(x, y);
    if (type === 'down') await this.raw.mouse.down({ button });
    if (type === 'up') await this.raw.mouse.up({ button });
  }

  // Each finger a pointer source of its own; one tick moves every finger listed.
  async touch(type, points) {
    const listed = new Set(points.map(([, , id]) => id));
    const sources = [];
    for (const [x, y, id] of points) {
      const actions = [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y) }];
      if (!this.fingers.has(id)) actions.push({ type: 'pointerDown', button: 0 });
      sources.push({ id, actions });
    }
    for (const id of this.fingers)
      if (!listed.has(id)) sources.push({ id, actions: [{ type: 'pointerUp', button: 0 }] });
    if (type !== 'touchMove' && type !== 'touchStart' && type !== 'touchEnd')
      throw new Error(`unknown touch event ${type}`);
    this.fingers = listed;
    await this.raw.mainFrame().browsingContext.performActions(sources.map(({ id, actions }) => ({
      type: 'pointer', id: `finger${id}`, parameters: { pointerType: 'touch' }, actions,
    })));
  }

  async key(combo) {
    const { modifiers, key } = splitCombo(combo);
    for (const m of modifiers) await this.raw.keyboard.down(m);
    await this.raw.keyboard.press(key);
    for (const m of modifiers.reverse()) await this.raw.keyboard.up(m);
  }

  async screenshot() {
    return Buffer.from(await this.raw.screenshot());
  }

  async newTab() {
    const tab = new FirefoxPage(this.context, await this.context.newPage(), this.viewport);
    await tab.setViewport(this.viewport);
    return tab;
  }

  // The whole profile: this page and the tabs opened from it.
  async close() {
    if (closed.has(this.context)) return;
    closed.add(this.context);
    await this.context.close();
  }

  async closeTab() {
    if (!closed.has(this.context) && !this.raw.isClosed()) await this.raw.close();
  }
}

export class FirefoxEngine {
  constructor() {
    this.name = 'firefox';
  }

  lacks(feature) {
    return {
      pen: 'Firefox\'s input.performActions has no pen ("Unimplemented pointerMove for pointerType pen")',
      cdp: 'the DevTools protocol is Chromium\'s',
    }[feature] ?? false;
  }

  async start() {
    if (!existsSync(firefoxPath)) throw new Error(`${firefoxPath} is missing: install firefox-esr (the firefox engine's tests need it)`);
    const p = await loadPuppeteer();
    this.profile = mkdtempSync(join(tmpdir(), 'pr-firefox-'));
    this.browser = await p.launch({
      executablePath: firefoxPath, browser: 'firefox', protocol: 'webDriverBiDi', headless: true,
      userDataDir: this.profile, extraPrefsFirefox: kPrefs,
    });
  }

  async newPage({ width = 811, height = 702, dpr = 1 } = {}) {
    const context = await this.browser.createBrowserContext();
    const page = new FirefoxPage(context, await context.newPage(), { width, height, dpr });
    await page.setViewport({ width, height });
    return page;
  }

  async stop() {
    await this.browser?.close();
    this.browser = null;
    if (this.profile) rmSync(this.profile, { recursive: true, force: true });
  }
}
