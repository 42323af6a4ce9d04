#!/usr/bin/env node
// The web edition measured in headless Chromium (the machine's own, driven by playwright-core
// from web/node_modules: `npm ci` in web/ first), or in Firefox ESR (--browser firefox, driven
// by puppeteer-core over WebDriver BiDi). Prints tables; compares nothing with a goal.
//
//   node bench/web/web_bench.mjs [--browser chromium|firefox] [--runs 15] [--moves 600]
//                                [--segments 100000] [--only start,size,moves,memory]
//
// PR_WEB_SITE names the built site (default build-web/site), PR_CHROMIUM the browser
// (default /usr/bin/chromium), PR_FIREFOX Firefox (default /usr/bin/firefox-esr). The pages
// are served from the loopback interface by the site's own server (web/tools/serve.mjs),
// which sends files compressed as a web server would. Firefox runs with its timer at full
// precision (privacy.reduceTimerPrecision off), and has no memory table (it needs the DevTools
// protocol).
//
// What is measured, and how:
// - start: from navigation to the first complete frame, median of --runs cold loads (a fresh
//   browser context each: empty cache, no service worker), the lesson alternating with the
//   yardstick page (yardstick.html: one canvas and one Japanese label). A script injected
//   before the page's own looks after every frame, in a task posted from a frame callback
//   (which runs once that frame's rendering is done), whether the page is complete: for the
//   lesson, its page object is up, the surface has nothing left to paint and no font is
//   loading; for the yardstick, its canvas is painted and no font is loading. The time is
//   performance.now() then, which counts from the start of the navigation.
// - size: every file of the site (not its .gz and .br copies) as it is and compressed on its
//   own with gzip at level 9, and what the site's server (web/tools/serve.mjs) sends a browser
//   that takes brotli and gzip for the page, the worker and every file the worker keeps,
//   summed by kind. The module for a page opened from disk is never sent.
// - moves: time per pointer move during a slide of the copy of ℓ and during a memo stroke
//   (thin red pen), at viewports of 1920 x 1080 and 3840 x 2160 CSS px, pixel ratio 1. The
//   moves are real input (DevTools Input.dispatchMouseEvent), one at a time. In the page a
//   listener that runs before the page's own takes the time as the browser hands the move
//   to the page; a frame callback registered then posts a task, which runs when the frame
//   the move brought about has been rendered (the page's handler, its frame callback that
//   paints the canvas, style, layout, paint and commit). "handler" is the part up to the end
//   of the move's dispatch, "canvas paint" the page's own painting in its frame callback.
//   "yardstick stroke" is the yardstick page with its canvas as large as the lesson's,
//   drawing each segment straight from its move handler: the browser's own share.
//   Without cross-origin isolation the page's clock ticks in steps of 0.1 ms.
// - memory: the page's JavaScript heap (after a full garbage collection), the WebAssembly
//   memory and the renderer's resident set, at checkpoints while a memo stroke of --segments
//   segments is drawn in strokes of 1000 segments, each pointer event dispatched on the
//   canvas and a frame painted every 1000 segments.
import { gzipSync } from 'node:zlib';
import { mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { loadavg, tmpdir } from 'node:os';
import { dirname, join, relative, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const repo = resolve(here, '../..');
const requireWeb = createRequire(join(repo, 'web/package.json'));
const { serve } = await import(join(repo, 'web/tools/serve.mjs'));

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));
const runs = Number(args.runs ?? 15);
const moves = Number(args.moves ?? 600);
const segments = Number(args.segments ?? 100000);
const only = new Set((args.only ?? 'start,size,moves,memory').split(','));
const site = resolve(process.env.PR_WEB_SITE ?? join(repo, 'build-web/site'));
const engine = args.browser ?? 'chromium';
if (engine !== 'chromium' && engine !== 'firefox') throw new Error(`--browser ${engine}: chromium or firefox`);
if (engine === 'firefox') only.delete('memory');

const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor((s.length - 1) / 2)]; };
const pct = (v, p) => { const s = [...v].sort((a, b) => a - b); return s[Math.min(s.length - 1, Math.floor(p * s.length))]; };
const mean = (v) => v.reduce((a, b) => a + b, 0) / v.length;
const pad = (s, n) => String(s).padStart(n);
const mib = (bytes) => (bytes / 1048576).toFixed(1);

// The engine: newTab({width, height}) gives a page with playwright's calls that the bench
// uses (addInitScript, goto, waitForFunction, evaluate, mouse) and done(), which closes it
// with its context (its own cache, storage and service workers).
async function launchEngine() {
  if (engine === 'chromium') {
    const { chromium } = requireWeb('playwright-core');
    const browser = await chromium.launch({
      executablePath: process.env.PR_CHROMIUM ?? '/usr/bin/chromium',
      args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
             '--disable-component-update', '--disable-extensions', '--disable-sync',
             '--force-color-profile=srgb', '--hide-scrollbars', '--enable-precise-memory-info'],
    });
    return {
      browser, version: `Chromium ${browser.version()}`, close: () => browser.close(),
      async newTab(viewport) {
        const context = await browser.newContext({ viewport });
        const page = await context.newPage();
        page.done = () => context.close();
        return page;
      },
    };
  }
  let puppeteer;
  try {
    puppeteer = requireWeb('puppeteer-core');
  } catch (e) {
    throw new Error(`puppeteer-core is missing: run \`PUPPETEER_SKIP_DOWNLOAD=1 npm ci\` in web/ (${e.code ?? e.message})`);
  }
  const profile = mkdtempSync(join(tmpdir(), 'pr-bench-firefox-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.PR_FIREFOX ?? '/usr/bin/firefox-esr', browser: 'firefox',
    protocol: 'webDriverBiDi', headless: true, userDataDir: profile,
    extraPrefsFirefox: {
      'privacy.reduceTimerPrecision': false, 'app.update.enabled': false,
      'browser.shell.checkDefaultBrowser': false, 'datareporting.policy.dataSubmissionEnabled': false,
      'toolkit.telemetry.enabled': false, 'network.captive-portal-service.enabled': false,
      'network.connectivity-service.enabled': false, 'browser.safebrowsing.malware.enabled': false,
      'browser.safebrowsing.phishing.enabled': false, 'extensions.update.enabled': false,
    },
  });
  return {
    browser, version: `Firefox ${(await browser.version()).replace(/^firefox\//i, '')}`,
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
    async newTab({ width, height }) {
      const context = await browser.createBrowserContext();
      const raw = await context.newPage();
      await raw.setViewport({ width, height });
      return {
        raw, mouse: raw.mouse,
        addInitScript: (fn, arg) => raw.evaluateOnNewDocument(fn, arg),
        goto: (url) => raw.goto(url, { waitUntil: 'domcontentloaded' }),
        evaluate: (fn, arg) => raw.evaluate(fn, arg),
        waitForFunction: (fn, arg, { timeout = 30000, polling = 'raf' } = {}) =>
          raw.waitForFunction(fn, { timeout, polling }, arg),
        done: () => context.close(),
      };
    },
  };
}

const browser = await launchEngine();
const { server: siteServer, url: siteUrl } = await serve(site);
const { server: benchServer, url: benchUrl } = await serve(here);

console.log(`${browser.version}, site ${site}`);
console.log(`load average at start: ${loadavg().map((l) => l.toFixed(2)).join(' ')}\n`);

// ---- Start: navigation to the first complete frame ---------------------------------------

function watchFirstFrame(kind) {
  const complete = kind === 'lesson'
    ? () => { const p = globalThis.ParallelRatio?.page; return !!p && p.surface.frame === 0 && document.fonts.status === 'loaded'; }
    : () => window.yardstickPainted === true && document.fonts.status === 'loaded';
  const afterFrame = () => {
    if (window.pageUp === undefined && globalThis.ParallelRatio?.page) window.pageUp = performance.now();
    if (complete()) window.firstCompleteFrame = performance.now();
    else requestAnimationFrame(frame);
  };
  const frame = () => {
    const ch = new MessageChannel();
    ch.port1.onmessage = afterFrame;
    ch.port2.postMessage(0);
  };
  requestAnimationFrame(frame);
}

async function firstFrame(kind, url) {
  const page = await browser.newTab({ width: 811, height: 702 });
  try {
    await page.addInitScript(watchFirstFrame, kind);
    await page.goto(url, { waitUntil: 'commit' });
    await page.waitForFunction(() => window.firstCompleteFrame !== undefined, null, { timeout: 30000 });
    return await page.evaluate(() => ({
      frame: window.firstCompleteFrame,
      dom: performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,
      files: Math.max(0, ...performance.getEntriesByType('resource').map((e) => e.responseEnd)),
      up: window.pageUp,
    }));
  } finally {
    await page.done();
  }
}

if (only.has('start')) {
  const lesson = [], yardstick = [];
  await firstFrame('lesson', siteUrl); // the first start warms the disk cache for both
  await firstFrame('yardstick', `${benchUrl}yardstick.html`);
  for (let i = 0; i < runs; ++i) {
    lesson.push(await firstFrame('lesson', siteUrl));
    yardstick.push(await firstFrame('yardstick', `${benchUrl}yardstick.html`));
  }
  const frames = (v) => v.map((r) => r.frame);
  console.log(`Start: navigation to first complete frame, ms (${runs} cold loads each)`);
  console.log('  page          median     p10     p90   last file in   DOMContentLoaded   lesson up (after a frame)');
  for (const [name, v] of [['lesson', lesson], ['yardstick', yardstick]]) {
    const f = frames(v), up = v[0].up === undefined ? '' : pad(median(v.map((r) => r.up)).toFixed(1), 10);
    console.log(`  ${name.padEnd(10)} ${pad(median(f).toFixed(1), 9)} ${pad(pct(f, 0.1).toFixed(1), 7)} ${pad(pct(f, 0.9).toFixed(1), 7)} ${pad(median(v.map((r) => r.files)).toFixed(1), 15)} ${pad(median(v.map((r) => r.dom)).toFixed(1), 18)}       ${up}`);
  }
  console.log(`  lesson / yardstick: ${(median(frames(lesson)) / median(frames(yardstick))).toFixed(2)} x (goal <= 1.5)\n`);
}

// ---- Size ---------------------------------------------------------------------------------

function files(dir) {
  return readdirSync(dir).flatMap((name) => {
    const path = join(dir, name);
    return statSync(path).isDirectory() ? files(path) : [path];
  });
}

function kindOf(name) {
  name = name.replace(/\.(gz|br)$/, '');
  if (name === 'parallel-ratio.js') return 'module for disk (WebAssembly inside)';
  if (name.startsWith('parallel-ratio-stream.')) return 'module (script and WebAssembly)';
  if (name.startsWith('fonts/')) return 'fonts and their licence';
  if (name.startsWith('icons/') || name === 'icon.png') return 'icons';
  if (name.startsWith('letters/')) return 'letter bitmaps';
  return 'page (HTML, scripts, style, manifest, worker)';
}

// What a browser is sent over http: the page, the worker and every file the worker keeps, as
// the site's server sends them to a browser that takes brotli and gzip (Content-Length of a
// GET; the bodies are read and dropped).
async function sentSizes() {
  const list = JSON.parse(readFileSync(join(site, 'sw.js'), 'utf8').match(/const kFiles = (\[[^\]]*\]);/)[1]);
  const sent = new Map();
  for (const name of ['index.html', 'sw.js', ...list]) {
    const r = await fetch(siteUrl + name, { headers: { 'accept-encoding': 'br, gzip' } });
    const body = await r.arrayBuffer();
    sent.set(name, { bytes: Number(r.headers.get('content-length') ?? body.byteLength), encoding: r.headers.get('content-encoding') ?? '' });
  }
  return sent;
}

if (only.has('size')) {
  const byKind = new Map();
  const sent = await sentSizes();
  let raw = 0, packed = 0, sentTotal = 0, n = 0;
  for (const path of files(site)) {
    const name = relative(site, path).split('\\').join('/');
    if (/\.(gz|br)$/.test(name)) continue; // the compressed copies are counted as what is sent
    const data = readFileSync(path);
    const gz = gzipSync(data, { level: 9 }).length;
    const s = sent.get(name);
    const kind = kindOf(name);
    const k = byKind.get(kind) ?? { n: 0, raw: 0, gz: 0, sent: 0, encodings: new Set() };
    k.n += 1; k.raw += data.length; k.gz += gz; k.sent += s?.bytes ?? 0;
    if (s) k.encodings.add(s.encoding || 'as is');
    byKind.set(kind, k);
    raw += data.length;
    packed += gz;
    sentTotal += s?.bytes ?? 0;
    n += 1;
  }
  console.log('Size: each file as it is, gzip -9, and as the site\'s server sends it over http, in KB (1000 bytes)');
  console.log('  files       raw    gzip    sent   what (how sent)');
  for (const [kind, k] of [...byKind].sort((a, b) => b[1].sent - a[1].sent || b[1].gz - a[1].gz))
    console.log(`  ${pad(k.n, 5)} ${pad((k.raw / 1000).toFixed(1), 9)} ${pad((k.gz / 1000).toFixed(1), 7)} ${pad(k.sent ? (k.sent / 1000).toFixed(1) : '-', 7)}   ${kind}${k.encodings.size ? ` (${[...k.encodings].sort().join(', ')})` : ' (never sent: opened from disk only)'}`);
  console.log(`  ${pad(n, 5)} ${pad((raw / 1000).toFixed(1), 9)} ${pad((packed / 1000).toFixed(1), 7)} ${pad((sentTotal / 1000).toFixed(1), 7)}   the whole site; sent over http (goal <= 300)\n`);
}

// ---- Pointer moves ------------------------------------------------------------------------

function recordMoves() {
  window.moveTimes = [];
  window.handlerTimes = [];
  window.paintTimes = [];
  const surface = globalThis.ParallelRatio?.page?.surface;
  if (surface) {
    const paintDirty = surface.paintDirty.bind(surface);
    surface.paintDirty = () => {
      const t = performance.now();
      paintDirty();
      window.paintTimes.push(performance.now() - t);
    };
  }
  window.addEventListener('pointermove', () => {
    const t0 = performance.now();
    requestAnimationFrame(() => {
      const ch = new MessageChannel();
      ch.port1.onmessage = () => window.moveTimes.push(performance.now() - t0);
      ch.port2.postMessage(0);
    });
    // The page's own listener sits on the canvas: this one on the window, bubbling, ends
    // the move's dispatch.
    window.addEventListener('pointermove', () => window.handlerTimes.push(performance.now() - t0), { once: true });
  }, { capture: true });
}

async function openLesson(width, height, initScript = undefined) {
  const page = await browser.newTab({ width, height });
  if (initScript) await page.addInitScript(initScript);
  await page.goto(siteUrl);
  await page.waitForFunction(() => globalThis.ParallelRatio?.page !== undefined);
  return page;
}

// Page point of a surface point (on the yardstick, of the point its canvas has there).
function pagePoint(page, x, y) {
  return page.evaluate(([x, y]) => {
    const c = document.querySelector('canvas'), r = c.getBoundingClientRect();
    const k = globalThis.ParallelRatio?.page?.surface.scale ?? r.width / 793;
    return [r.left + (x + 2) * k, r.top + (y + 2) * k];
  }, [x, y]);
}

// The yardstick page with its canvas where the lesson's is (box in CSS px), drawing the
// thin pen's segment to each move with a button held, straight from its move handler: the
// least a page can do for a stroke, and what the browser then takes to render the frame.
async function openYardstick(width, height, box) {
  const page = await browser.newTab({ width, height });
  await page.goto(`${benchUrl}yardstick.html`);
  await page.waitForFunction(() => window.yardstickPainted === true);
  await page.evaluate((b) => {
    const c = document.querySelector('canvas'), k = window.devicePixelRatio || 1;
    Object.assign(c.style, { left: `${b.x}px`, top: `${b.y}px`, width: `${b.w}px`, height: `${b.h}px` });
    c.width = Math.round(b.w * k);
    c.height = Math.round(b.h * k);
    const g = c.getContext('2d', { alpha: false });
    g.fillStyle = '#008000';
    g.fillRect(0, 0, c.width, c.height);
    g.strokeStyle = '#ff0000';
    g.lineWidth = 3 * c.width / 793;
    g.lineCap = 'round';
    let last = null;
    c.addEventListener('pointermove', (e) => {
      const r = c.getBoundingClientRect(), p = [(e.clientX - r.left) * k, (e.clientY - r.top) * k];
      if (last && e.buttons) {
        g.beginPath();
        g.moveTo(...last);
        g.lineTo(...p);
        g.stroke();
      }
      last = p;
    });
  }, box);
  return page;
}

// A click on the form's button with that caption, where it shows.
async function clickButton(page, caption) {
  const [x, y] = await page.evaluate((text) => {
    const b = [...document.querySelectorAll('#form > button')].find((e) => e.textContent.includes(text));
    const r = b.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  }, caption);
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.up();
}

async function timeMoves(page, path) {
  await page.evaluate(recordMoves);
  for (let i = 0; i < path.length; ++i) {
    await page.mouse.move(...await pagePoint(page, ...path[i]));
    await page.waitForFunction((n) => window.moveTimes.length >= n, i + 1, { polling: 'raf' });
  }
  return page.evaluate(() => ({ frame: window.moveTimes, handler: window.handlerTimes, paint: window.paintTimes }));
}

// Slide: the copy of ℓ held at (300, 300), then 3 px steps back and forth between 300 and 600.
function slidePath(n) {
  const path = [];
  for (let i = 0, x = 300, dx = 3; i < n; ++i) {
    x += dx;
    if (x >= 600 || x <= 300) dx = -dx;
    path.push([x, 300]);
  }
  return path;
}

// Stroke: a random walk of up to 6 px a move, kept on the surface.
function strokePath(n, seed = 1) {
  let s = seed;
  const rnd = () => ((s = (s * 1103515245 + 12345) % 2147483648) / 2147483648);
  const path = [];
  for (let i = 0, x = 400, y = 320; i < n; ++i) {
    x = Math.min(780, Math.max(10, x + (rnd() - 0.5) * 12));
    y = Math.min(630, Math.max(10, y + (rnd() - 0.5) * 12));
    path.push([x, y]);
  }
  return path;
}

if (only.has('moves')) {
  console.log(`Pointer moves: from the page receiving a move to its frame rendered, ms (${moves} moves)`);
  console.log('  viewport    device px    scene             median     p90     p99    mean   medians: handler  canvas paint');
  for (const [w, h, goal] of [[1920, 1080, 2], [3840, 2160, 4]]) {
    let box;
    for (const scene of ['slide', 'stroke', 'yardstick']) {
      const page = scene === 'yardstick' ? await openYardstick(w, h, box) : await openLesson(w, h);
      if (scene === 'stroke') await clickButton(page, 'メモ');
      const start = scene === 'slide' ? [300, 300] : [400, 320];
      await page.mouse.move(...await pagePoint(page, ...start));
      await page.mouse.down();
      const t = await timeMoves(page, scene === 'slide' ? slidePath(moves) : strokePath(moves));
      await page.mouse.up();
      const dev = await page.evaluate(() => { const c = document.querySelector('canvas'); return `${c.width}x${c.height}`; });
      box = await page.evaluate(() => { const r = document.querySelector('canvas').getBoundingClientRect(); return { x: r.left, y: r.top, w: r.width, h: r.height }; });
      const paint = t.paint.length ? median(t.paint).toFixed(1) : '-';
      const name = scene === 'yardstick' ? 'yardstick stroke' : scene;
      console.log(`  ${`${w}x${h}`.padEnd(10)} ${dev.padStart(10)}  ${name.padEnd(16)} ${pad(median(t.frame).toFixed(2), 7)} ${pad(pct(t.frame, 0.9).toFixed(2), 7)} ${pad(pct(t.frame, 0.99).toFixed(2), 7)} ${pad(mean(t.frame).toFixed(2), 7)} ${pad(median(t.handler).toFixed(1), 17)} ${pad(paint, 13)}${scene === 'yardstick' ? '' : `   (goal < ${goal})`}`);
      await page.done();
    }
  }
  console.log();
}

// ---- Memory over a long stroke ------------------------------------------------------------

// Draws `count` segments from where the last call left off, in strokes of 1000 segments, as
// pointer events on the canvas; a frame is painted after every stroke.
function drawSegments([count, from]) {
  const s = ParallelRatio.page.surface, c = s.canvas, r = c.getBoundingClientRect();
  const at = (x, y) => ({ clientX: r.left + (x + 2) * s.scale, clientY: r.top + (y + 2) * s.scale });
  const fire = (type, x, y, button, buttons) => c.dispatchEvent(new PointerEvent(type, {
    pointerId: 1, pointerType: 'mouse', isPrimary: true, button, buttons, bubbles: true, ...at(x, y),
  }));
  const frame = () => new Promise((done) => requestAnimationFrame(() => done()));
  return (async () => {
    for (let i = from; i < from + count; i += 1000) {
      const y0 = 20 + (i / 1000 % 60) * 10;
      fire('pointerdown', 20, y0, 0, 1);
      for (let k = 1; k <= 1000; ++k) fire('pointermove', 20 + (k % 250) * 3, y0 + (k % 2) * 4, -1, 1);
      fire('pointerup', 770, y0, 0, 0);
      await frame();
    }
  })();
}

async function memoryNow(page, cdp, browserCdp) {
  await cdp.send('HeapProfiler.collectGarbage');
  const { metrics } = await cdp.send('Performance.getMetrics');
  const metric = (name) => metrics.find((m) => m.name === name)?.value ?? NaN;
  const wasm = await page.evaluate(() => window.wasmMemories.reduce((n, m) => n + m.buffer.byteLength, 0));
  // The renderer with the largest resident set is the lesson's: the only page open.
  let rss = 0;
  const { processInfo } = await browserCdp.send('SystemInfo.getProcessInfo');
  for (const p of processInfo.filter((p) => p.type === 'renderer')) {
    try {
      const kb = /VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${p.id}/status`, 'utf8'))?.[1];
      rss = Math.max(rss, Number(kb ?? 0) * 1024);
    } catch {
      // gone meanwhile
    }
  }
  return { heap: metric('JSHeapUsedSize'), wasm, rss, nodes: metric('Nodes') };
}

// Keeps hold of every WebAssembly memory the page's modules export, to read their size.
function catchWasmMemories() {
  window.wasmMemories = [];
  const keep = (result) => {
    const instance = result.instance ?? result;
    for (const v of Object.values(instance.exports ?? {}))
      if (v instanceof WebAssembly.Memory) window.wasmMemories.push(v);
    return result;
  };
  const instantiate = WebAssembly.instantiate;
  WebAssembly.instantiate = (...a) => instantiate.apply(WebAssembly, a).then(keep);
  const streaming = WebAssembly.instantiateStreaming;
  if (streaming) WebAssembly.instantiateStreaming = (...a) => streaming.apply(WebAssembly, a).then(keep);
}

if (only.has('memory')) {
  const page = await openLesson(1920, 1080, catchWasmMemories);
  const cdp = await page.context().newCDPSession(page);
  const browserCdp = await browser.browser.newBrowserCDPSession();
  await cdp.send('Performance.enable');
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await clickButton(page, 'メモ');
  console.log(`Memory over ${segments} stroke segments at 1920 x 1080 (MiB)`);
  console.log('  segments   JS heap   WebAssembly   renderer RSS   ms per 1000');
  const row = (n, m, ms) => console.log(`  ${pad(n, 8)} ${pad(mib(m.heap), 9)} ${pad(mib(m.wasm), 13)} ${pad(mib(m.rss), 14)}   ${ms}`);
  const first = await memoryNow(page, cdp, browserCdp);
  row(0, first, '');
  const step = Math.max(1000, Math.round(segments / 4000) * 1000);
  let last = first;
  for (let done = 0; done < segments; done += step) {
    const t0 = performance.now();
    await page.evaluate(drawSegments, [Math.min(step, segments - done), done]);
    const ms = ((performance.now() - t0) / (Math.min(step, segments - done) / 1000)).toFixed(1);
    last = await memoryNow(page, cdp, browserCdp);
    row(done + Math.min(step, segments - done), last, ms);
  }
  console.log(`  growth: JS heap ${(last.heap - first.heap) / 1024 | 0} KiB, WebAssembly ${(last.wasm - first.wasm) / 1024 | 0} KiB, renderer ${(last.rss - first.rss) / 1024 | 0} KiB${errors.length ? `; page errors: ${errors.join('; ')}` : ''}\n`);
  await page.done();
}

await browser.close();
siteServer.close();
benchServer.close();
console.log(`load average at end: ${loadavg().map((l) => l.toFixed(2)).join(' ')}`);
