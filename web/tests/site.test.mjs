// The site as files on a static host: only relative URLs, everything of its own, an app
// manifest with real icons, a service worker that keeps exactly the site's files, the right
// types from the server, and the page at work under a sub-path, from disk and after 終了.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, utimesSync, writeFileSync } from 'node:fs';
import { request as httpRequest } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, join, relative } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { brotliDecompressSync, gunzipSync } from 'node:zlib';

import { serve } from '../tools/serve.mjs';
import { launch, newPage } from './support/chromium.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { decodePng } from './support/png.mjs';
import { newLesson, site } from './support/site.mjs';

const tools = join(dirname(fileURLToPath(import.meta.url)), '../tools');

function siteFiles(dir = site) {
  const out = [];
  for (const e of readdirSync(dir, { withFileTypes: true })) {
    const p = join(dir, e.name);
    if (e.isDirectory()) out.push(...siteFiles(p));
    else out.push(relative(site, p));
  }
  return out.sort();
}

const read = (name) => readFileSync(join(site, name), 'utf8');

// The list and the version the service worker was built with.
function workerList(text) {
  const files = JSON.parse(text.match(/const kFiles = (\[[^\]]*\]);/)[1]);
  const version = text.match(/const kVersion = '([0-9a-f]+)';/)[1];
  return { files, version };
}

describe('the files', () => {
  test('the service worker keeps every file of the site but itself, the compressed copies and the module for disk', () => {
    const { files, version } = workerList(read('sw.js'));
    // The live class's files load only in a class, which needs the network anyway.
    const classFiles = ['classroom.css', 'classroom.js', 'nats.js'];
    assert.deepEqual(files, siteFiles().filter((f) => f !== 'sw.js' && f !== 'parallel-ratio.js' &&
                                                      !/\.(gz|br)$/.test(f) && !classFiles.includes(f)));
    for (const f of classFiles) assert.ok(siteFiles().includes(f), f);
    assert.ok(files.includes('parallel-ratio-stream.wasm') && files.includes('parallel-ratio-stream.js'));
    assert.equal(version.length, 16);
    for (const f of files) assert.ok(!f.startsWith('/') && !f.includes('..') && !f.includes(':'), f);
  });

  test('the worker\'s version follows the contents of the files, and only them', () => {
    const dir = mkdtempSync(join(tmpdir(), 'pr-site-'));
    try {
      const make = () => {
        const out = join(dir, 'sw.js');
        execFileSync(process.execPath, [join(tools, 'make-sw.mjs'), join(tools, '../site/sw.js.in'),
          dir, out, 'index.html', 'main.js']);
        return workerList(readFileSync(out, 'utf8')).version;
      };
      writeFileSync(join(dir, 'index.html'), '<!DOCTYPE html>');
      writeFileSync(join(dir, 'main.js'), 'one');
      const first = make();
      assert.equal(make(), first);
      writeFileSync(join(dir, 'main.js'), 'two');
      const second = make();
      assert.notEqual(second, first);
      // The same bytes under another name are another site.
      writeFileSync(join(dir, 'index.html'), 'two');
      writeFileSync(join(dir, 'main.js'), '<!DOCTYPE html>');
      assert.notEqual(make(), second);
    } finally {
      rmSync(dir, { recursive: true, force: true });
    }
  });

  test('every URL the page, its style sheet and its manifest name is relative and present', () => {
    const html = read('index.html');
    const urls = [
      ...[...html.matchAll(/\b(?:src|href)="([^"]*)"/g)].map((m) => m[1]),
      ...[...read('style.css').matchAll(/url\("?([^")]*)"?\)/g)].map((m) => m[1]),
    ];
    const manifest = JSON.parse(read('manifest.webmanifest'));
    urls.push(...manifest.icons.map((i) => i.src));
    assert.ok(urls.length >= 12, urls.join(' '));
    const files = new Set(siteFiles());
    for (const u of urls) {
      assert.ok(!/^[a-z]+:|^\/|^\.\./i.test(u), `not relative to the site: ${u}`);
      assert.ok(files.has(u), `${u} is not in the site`);
    }
    // The scripts ask for nothing by absolute path or from elsewhere either.
    // (The bundled NATS client names its own protocols' default addresses; the page gives it
    // the class's.)
    for (const f of files) {
      if (!f.endsWith('.js') || f === 'parallel-ratio.js' || f === 'nats.js') continue;
      assert.doesNotMatch(read(f), /https?:\/\/|['"`]\/[a-z]/i, f);
    }
  });

  test('the security policy allows the page\'s own origin only', () => {
    const csp = read('index.html').match(/Content-Security-Policy"\s+content="([^"]*)"/)[1];
    const rules = Object.fromEntries(csp.split(';').map((r) => r.trim().split(/\s+/))
      .map(([name, ...values]) => [name, values]));
    assert.deepEqual(rules['default-src'], ["'none'"]);
    for (const [name, values] of Object.entries(rules)) {
      for (const v of values)
        assert.ok(["'self'", "'none'", "'wasm-unsafe-eval'", 'data:', 'blob:'].includes(v) ||
                  (name === 'connect-src' && ['ws:', 'wss:'].includes(v)), `${name} ${v}`);
    }
    // The WebAssembly: over http(s) its file, from disk the data: URL in the module's script;
    // in a live class, the WebSocket of the class's broker, on a port (or a machine) of its own.
    assert.deepEqual(rules['connect-src'], ["'self'", 'data:', 'ws:', 'wss:']);
    // Pictures: the site's own, and those the page makes of the board (printing, white paper).
    assert.deepEqual(rules['img-src'], ["'self'", 'blob:']);
    for (const name of ['script-src', 'style-src', 'font-src', 'worker-src', 'manifest-src'])
      assert.deepEqual(rules[name].filter((v) => v !== "'wasm-unsafe-eval'"), ["'self'"], name);
  });

  test('the manifest makes an installable app in the window\'s colours', async (t) => {
    const m = JSON.parse(read('manifest.webmanifest'));
    const design = (await newLesson(t)).design();
    assert.ok(m.name && m.short_name && m.short_name.length <= 12);
    assert.ok(design.caption.startsWith(m.name), 'named after the window');
    assert.equal(m.start_url, './');
    assert.equal(m.scope, './');
    assert.ok(['standalone', 'fullscreen'].includes(m.display));
    const back = '#' + (design.back & 0xffffff).toString(16).padStart(6, '0');
    assert.equal(m.background_color, back);
    assert.equal(m.theme_color, back);
    assert.match(read('index.html'), new RegExp(`name="theme-color" content="${back}"`));

    // Each icon is a PNG of the size it claims; there are 192 and 512 of both purposes.
    const sizeOf = (file) => {
      const b = readFileSync(join(site, file));
      assert.equal(b.toString('latin1', 1, 4), 'PNG', file);
      return `${b.readUInt32BE(16)}x${b.readUInt32BE(20)}`;
    };
    for (const icon of m.icons) assert.equal(sizeOf(icon.src), icon.sizes, icon.src);
    for (const purpose of ['any', 'maskable'])
      for (const size of ['192x192', '512x512'])
        assert.ok(m.icons.some((i) => i.purpose === purpose && i.sizes === size), `${purpose} ${size}`);
    const apple = read('index.html').match(/rel="apple-touch-icon" href="([^"]*)"/)[1];
    assert.equal(sizeOf(apple), '180x180');
  });

  test('the server gives each kind of file its type', async () => {
    const { server, url } = await serve(site);
    try {
      const typeOf = async (path) => {
        const r = await fetch(url + path, { method: 'HEAD' });
        assert.equal(r.status, 200, path);
        return r.headers.get('content-type');
      };
      assert.equal(await typeOf(''), 'text/html; charset=utf-8');
      assert.equal(await typeOf('fonts/gothic.woff2'), 'font/woff2');
      assert.equal(await typeOf('manifest.webmanifest'), 'application/manifest+json');
      assert.match(await typeOf('sw.js'), /^text\/javascript/);
      assert.equal(await typeOf('icons/icon-192.png'), 'image/png');
      assert.equal((await fetch(url + '../../etc/passwd')).status, 404);
    } finally {
      server.close();
    }
  });

  test('each copy the build compressed is its file, and smaller', () => {
    const files = new Set(siteFiles());
    const copies = [...files].filter((f) => /\.(gz|br)$/.test(f));
    for (const f of ['parallel-ratio-stream.wasm', 'parallel-ratio-stream.js', 'main.js', 'index.html', 'sw.js'])
      for (const suffix of ['.gz', '.br']) assert.ok(files.has(f + suffix), f + suffix);
    for (const c of copies) {
      const original = readFileSync(join(site, c.slice(0, -3)));
      const packed = readFileSync(join(site, c));
      assert.ok(packed.length < original.length, c);
      assert.ok((c.endsWith('.gz') ? gunzipSync(packed) : brotliDecompressSync(packed)).equals(original), c);
    }
    assert.ok(!copies.some((c) => /\.(woff2|png|jpg)\./.test(c)), 'nothing compressed twice');
  });

  test('the server sends the encoding the browser takes, and bytes that decode to the file', async () => {
    // A copy of the site in which main.js is newer than its compressed copies, as after an
    // edit without a build: the server compresses the file itself rather than send the old.
    const dir = mkdtempSync(join(tmpdir(), 'pr-served-'));
    cpSync(site, dir, { recursive: true });
    const later = new Date(Date.now() + 5000);
    writeFileSync(join(dir, 'main.js'), read('main.js') + '\n// edited\n');
    utimesSync(join(dir, 'main.js'), later, later);
    const { server, url } = await serve(dir);
    const get = async (path, headers = {}, method = 'GET') => {
      const r = await new Promise((done, fail) => httpRequest(url + path, { method, headers }, done).on('error', fail).end());
      const chunks = [];
      for await (const c of r) chunks.push(c);
      return { status: r.statusCode, headers: r.headers, body: Buffer.concat(chunks) };
    };
    const decode = { br: brotliDecompressSync, gzip: gunzipSync, undefined: (b) => b };
    try {
      // Accept-Encoding → what is sent, for a file that compresses.
      for (const [accept, encoding] of [
        ['gzip, deflate, br, zstd', 'br'], ['gzip', 'gzip'], ['br;q=0, gzip', 'gzip'],
        ['gzip;q=0.5, br;q=0.9', 'br'], ['identity', undefined], [undefined, undefined],
        ['*', 'br'], ['*;q=0, gzip', 'gzip'], ['deflate', undefined],
      ]) {
        for (const path of ['parallel-ratio-stream.wasm', 'main.js', '']) {
          const r = await get(path, accept ? { 'accept-encoding': accept } : {});
          const file = readFileSync(join(dir, path || 'index.html'));
          assert.equal(r.status, 200);
          assert.equal(r.headers['content-encoding'], encoding, `${path} for ${accept}`);
          assert.equal(r.headers.vary, 'Accept-Encoding');
          assert.equal(Number(r.headers['content-length']), r.body.length);
          assert.ok(decode[encoding](r.body).equals(file), `${path} for ${accept}`);
          // HEAD: the same headers, no body.
          const h = await get(path, accept ? { 'accept-encoding': accept } : {}, 'HEAD');
          assert.equal(h.body.length, 0);
          for (const name of ['content-encoding', 'content-length', 'content-type', 'vary'])
            assert.equal(h.headers[name], r.headers[name], `HEAD ${path} ${name}`);
        }
      }
      // A font is compressed already: it goes as it is, whatever the browser takes.
      const font = await get('fonts/gothic.woff2', { 'accept-encoding': 'br, gzip' });
      assert.equal(font.headers['content-encoding'], undefined);
      assert.ok(font.body.equals(readFileSync(join(dir, 'fonts/gothic.woff2'))));
      // A range is of the file's own bytes.
      const wasm = readFileSync(join(dir, 'parallel-ratio-stream.wasm'));
      for (const [range, start, end] of [['bytes=0-3', 0, 3], ['bytes=100-', 100, wasm.length - 1],
                                         ['bytes=-10', wasm.length - 10, wasm.length - 1]]) {
        const r = await get('parallel-ratio-stream.wasm', { range, 'accept-encoding': 'br, gzip' });
        assert.equal(r.status, 206, range);
        assert.equal(r.headers['content-encoding'], undefined);
        assert.equal(r.headers['content-range'], `bytes ${start}-${end}/${wasm.length}`);
        assert.ok(r.body.equals(wasm.subarray(start, end + 1)), range);
      }
      assert.equal((await get('main.js', { range: `bytes=${10 ** 9}-` })).status, 416);
    } finally {
      server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  });
});

describe('the page', () => {
  let browser, server, origin, root;

  before(async () => {
    // The site twice on one host: at the top and two folders down.
    root = mkdtempSync(join(tmpdir(), 'pr-host-'));
    cpSync(site, join(root, 'top'), { recursive: true });
    symlinkSync(site, join(root, 'top', 'lessons'), 'dir');
    ({ server, url: origin } = await serve(join(root, 'top')));
    browser = await launch();
  });

  after(async () => {
    await browser?.close();
    server?.close();
    rmSync(root, { recursive: true, force: true });
  });

  // Waits until the page's service worker has taken over (its old caches gone).
  function activated(page) {
    return page.evaluate(async () => {
      const w = (await navigator.serviceWorker.ready).active;
      if (w.state !== 'activated')
        await new Promise((done) => w.addEventListener('statechange', () => {
          if (w.state === 'activated') done();
        }));
    });
  }

  // The scope, state and cached files of the page's service worker.
  async function worker(page) {
    await activated(page);
    return page.evaluate(async () => {
      const r = await navigator.serviceWorker.getRegistration();
      const names = await caches.keys();
      const mine = names.filter((n) => n.includes(r.scope));
      const keys = mine.length ? await (await caches.open(mine[0])).keys() : [];
      return { scope: r.scope, state: r.active?.state, caches: mine, files: keys.map((k) => k.url) };
    });
  }

  test('under a sub-path: own requests only, and the worker keeps that copy', async (t) => {
    const base = origin + 'lessons/';
    const page = await LessonPage.open(browser, base, { width: 1280, height: 800 });
    t.after(() => page.close());
    const w = await worker(page);
    assert.equal(w.scope, base);
    assert.equal(w.state, 'activated');
    assert.equal(w.caches.length, 1);
    const expected = workerList(read('sw.js')).files.map((f) => base + f).sort();
    assert.deepEqual(w.files.sort(), expected);
    for (const u of page.requests) assert.ok(u.startsWith(base) || u.startsWith('data:'), u);
    // Over http the WebAssembly comes as a file of its own, not inside the module's script.
    assert.ok(page.requests.includes(base + 'parallel-ratio-stream.wasm'));
    assert.ok(!page.requests.includes(base + 'parallel-ratio.js'));
    assert.equal(await page.evaluate(() => ParallelRatio.moduleFile), 'parallel-ratio-stream.js');
    assert.deepEqual(page.errors, []);
  });

  test('the lesson comes up with module.js in after main.js, and with the WebAssembly sent under another type', async (t) => {
    const late = async (r) => {
      if (r.request().url().endsWith('/module.js')) await new Promise((done) => setTimeout(done, 1500));
      await r.continue();
    };
    const untyped = async (r) => {
      if (!r.request().url().endsWith('.wasm')) return r.continue();
      const response = await r.fetch();
      return r.fulfill({ response, headers: { ...response.headers(), 'content-type': 'application/octet-stream' } });
    };
    for (const [name, route, waited] of [['module.js late', late, true], ['.wasm untyped', untyped, false]]) {
      const raw = await newPage(browser);
      await raw.route('**/*', route);
      const page = new LessonPage(raw);
      t.after(() => page.close());
      await page.load(origin);
      assert.equal(await page.evaluate(() => typeof ParallelRatio.moduleWaited === 'function'), waited, name);
      assert.equal(await page.pixel(100, 250), 0xffffff, `${name}: p shows`);
      assert.deepEqual(page.errors, [], name);
    }
  });

  test('the security policy still refuses other origins and inline scripts', async (t) => {
    const page = await LessonPage.open(browser, origin);
    t.after(() => page.close());
    page.errors.length = 0;
    const refused = await page.evaluate(async (elsewhere) => {
      const violations = [];
      document.addEventListener('securitypolicyviolation', (e) => violations.push(e.effectiveDirective));
      const fails = (p) => p.then(() => false, () => true);
      const fetched = await fails(fetch(elsewhere));
      const wasm = await fails(fetch(elsewhere + 'parallel-ratio-stream.wasm'));
      window.inlineRan = false;
      const s = document.createElement('script');
      s.textContent = 'window.inlineRan = true';
      document.head.appendChild(s);
      const img = new Image();
      img.src = elsewhere + 'icon.png';
      await fails(img.decode());
      await new Promise((done) => setTimeout(done, 100));
      return { fetched, wasm, inline: window.inlineRan, violations: violations.sort() };
    }, origin.replace('127.0.0.1', 'localhost'));
    assert.deepEqual(refused, { fetched: true, wasm: true, inline: false,
                                violations: ['connect-src', 'connect-src', 'img-src', 'script-src-elem'] });
  });

  test('Chromium finds the app installable and its manifest sound', async (t) => {
    const page = await LessonPage.open(browser, origin);
    t.after(() => page.close());
    await activated(page);
    const cdp = await page.page.context().newCDPSession(page.page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    // A test's browser context is a private window, where nothing installs.
    assert.deepEqual(installabilityErrors.map((e) => e.errorId).filter((id) => id !== 'in-incognito'), []);
    const manifest = await cdp.send('Page.getAppManifest');
    assert.equal(manifest.url, origin + 'manifest.webmanifest');
    assert.deepEqual(manifest.errors, []);
  });

  test('two copies on one host keep a cache each', async (t) => {
    const top = await LessonPage.open(browser, origin);
    t.after(() => top.close());
    const w = await worker(top);
    assert.equal(w.scope, origin);
    // Within one context: each copy's worker sees the other's cache left alone.
    const page = top.page;
    await page.goto(origin + 'lessons/');
    await page.waitForFunction(() => globalThis.ParallelRatio?.page !== undefined);
    await activated(page);
    const names = await page.evaluate(() => caches.keys());
    assert.equal(names.length, 2, names.join(', '));
  });

  test('a new build brings a new worker, which replaces the old copy', async (t) => {
    // A copy of the site of its own, to build anew in place.
    const dir = join(root, 'top', 'rebuilt');
    cpSync(site, dir, { recursive: true });
    const base = origin + 'rebuilt/';
    const page = await LessonPage.open(browser, base);
    t.after(() => page.close());
    const before = await worker(page);

    // The new build: a changed page script and its worker.
    writeFileSync(join(dir, 'messages.js'), readFileSync(join(dir, 'messages.js'), 'utf8')
      .replace('授業を終わりました', '授業を終わりました。'));
    const { files } = workerList(read('sw.js'));
    execFileSync(process.execPath, [join(tools, 'make-sw.mjs'), join(tools, '../site/sw.js.in'),
      dir, join(dir, 'sw.js'), ...files]);
    const version = workerList(readFileSync(join(dir, 'sw.js'), 'utf8')).version;
    assert.ok(!before.caches[0].endsWith(version));

    await page.page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
    // Until the new worker has taken over and dropped the old cache.
    for (let i = 0; i < 100; ++i) {
      const names = await page.evaluate(() => caches.keys());
      if (names.some((n) => n.endsWith(version)) && !names.includes(before.caches[0])) break;
      await new Promise((done) => setTimeout(done, 100));
    }
    const after = await worker(page);
    assert.deepEqual(after.caches.filter((n) => n.includes(base)), [`parallel-ratio ${base} ${version}`]);
    await page.page.reload();
    await page.ready();
    assert.equal(await page.evaluate(() => ParallelRatio.messages.ended), '授業を終わりました。');
  });

  test('opened from disk, with its fonts and without errors', async (t) => {
    const page = await LessonPage.open(browser, pathToFileURL(join(site, 'index.html')).href);
    t.after(() => page.close());
    const fonts = await page.evaluate(() => [...document.fonts].map((f) => f.status));
    assert.deepEqual(fonts, ['loaded', 'loaded', 'loaded']);
    // The letters from disk keep the canvas from being read back: the screen is. At scale 1
    // surface point (x, y) lies at page point (x + 10, y + 50); q runs along y = 350.
    const shot = decodePng(await page.page.screenshot());
    let white = 0;
    for (let x = 100; x < 600; ++x) {
      const i = ((350 + 50) * shot.width + x) * 4;
      if (shot.data[i] === 255 && shot.data[i + 1] === 255 && shot.data[i + 2] === 255) ++white;
    }
    assert.ok(white > 400, `q shows: ${white} white pixels`);
    // From disk the module is the one script with its WebAssembly inside.
    const scripts = await page.evaluate(() => [ParallelRatio.moduleFile,
      ...performance.getEntriesByType('resource').map((e) => e.name.split('/').pop())]);
    assert.equal(scripts[0], 'parallel-ratio.js');
    assert.ok(scripts.includes('parallel-ratio.js'));
    assert.ok(!scripts.some((n) => n.startsWith('parallel-ratio-stream')), scripts.join(' '));
    assert.deepEqual(page.errors, []);
  });

  test('終了 brings back the initial screen under a notice, and its button the lesson', async (t) => {
    const page = await LessonPage.open(browser, origin);
    t.after(() => page.close());
    const blank = await page.canvasImage();
    // A stroke in memo mode, then 終了.
    await page.clickButton('メモ');
    await page.clickOption(4);
    await page.drag([[100, 100], [300, 300]]);
    assert.ok(!(await page.canvasImage()).data.equals(blank.data), 'the stroke shows');
    await page.clickButton('終了');
    const notice = await page.evaluate(() => {
      const n = document.querySelector('.ended');
      return { shown: !n.hidden, text: n.innerText, ended: ParallelRatio.page.ended };
    });
    assert.equal(notice.shown, true);
    assert.match(notice.text, /授業を終わりました/);
    assert.equal(notice.ended, true);
    await page.settle();
    assert.ok((await page.canvasImage()).data.equals(blank.data), 'the initial screen, strokes gone');
    // The new lesson is the program as it starts: the thin red pen again, pens disabled.
    assert.deepEqual(await page.evaluate(() => ParallelRatio.page.lesson.state().optionsSelected),
                     [true, false, false, false, false, false, false, false]);

    await page.page.getByRole('button', { name: 'もう一度始める' }).click();
    assert.equal(await page.evaluate(() => document.querySelector('.ended').hidden), true);
    await page.clickButton('メモ');
    assert.deepEqual(await page.optionsDisabled(), Array(8).fill(false));
    assert.deepEqual(page.errors, []);
  });
});
