// Each engine's driver does what the page's tests take it to do: the viewport and pixel ratio
// asked for, mouse buttons, keys with their modifiers, fingers and a pen as the devices they
// stand for, the page's errors, and a download. A small page of its own logs what arrives.
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { splitCombo } from './support/driver.mjs';
import { forEachEngine, needs } from './support/engines.mjs';
import { decodePng } from './support/png.mjs';

const kPage = `<!doctype html><meta charset="utf-8">
<body style="margin:0"><div id="pad" style="width:600px;height:400px;touch-action:none;background:#080"></div>
<script src="log.js"></script>`;
const kScript = `window.log = [];
const pad = document.getElementById('pad');
for (const type of ['pointerdown', 'pointerup'])
  pad.addEventListener(type, (e) => log.push([type, e.pointerType, e.button, e.pointerId, Math.round(e.clientX), Math.round(e.clientY)]));
pad.addEventListener('contextmenu', (e) => e.preventDefault());
pad.addEventListener('mousedown', (e) => e.preventDefault());
addEventListener('keydown', (e) => { e.preventDefault(); log.push(['key', e.key, e.ctrlKey, e.shiftKey, e.altKey]); });
window.fail = () => setTimeout(() => { throw new Error('thrown by the page'); });
window.save = () => {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob(['\\u00e9t\\u00e9 \\u0000\\u00ff'], { type: 'text/plain' }));
  a.download = 'summer.txt';
  a.click();
};`;

let dir, server, origin;

before(async () => {
  dir = mkdtempSync(join(tmpdir(), 'pr-engines-'));
  writeFileSync(join(dir, 'index.html'), kPage);
  writeFileSync(join(dir, 'log.js'), kScript);
  ({ server, url: origin } = await serve(dir));
});

after(() => {
  server?.close();
  rmSync(dir, { recursive: true, force: true });
});

test('key combinations split into modifiers and key', () => {
  assert.deepEqual(['Control+Shift+z', 'F1', '+', 'Alt++'].map(splitCombo), [
    { modifiers: ['Control', 'Shift'], key: 'z' }, { modifiers: [], key: 'F1' },
    { modifiers: [], key: '+' }, { modifiers: ['Alt'], key: '+' },
  ]);
});

forEachEngine((engine) => {
  async function open(t, viewport) {
    const page = await engine.newPage(viewport);
    t.after(() => page.close());
    await page.goto(origin);
    return page;
  }
  const take = (page) => page.evaluate(() => log.splice(0));

  test('the viewport and pixel ratio asked for, in the screenshot too', async (t) => {
    for (const [width, height, dpr] of [[640, 480, 1], [811, 702, 2]]) {
      const page = await open(t, { width, height, dpr });
      assert.deepEqual(await page.evaluate(() => [innerWidth, innerHeight, devicePixelRatio]), [width, height, dpr]);
      const shot = decodePng(await page.screenshot());
      assert.deepEqual([shot.width, shot.height], [width * dpr, height * dpr]);
      await page.setViewport({ width: width + 100, height });
      assert.deepEqual(await page.evaluate(() => [innerWidth, devicePixelRatio]), [width + 100, dpr]);
    }
  });

  const presses = async (page) => (await take(page)).map(([type, kind, button, , x, y]) => [type, kind, button, x, y]);

  test('the left button, and keys with their modifiers', async (t) => {
    const page = await open(t);
    await page.mouse('move', 90, 40);
    await page.mouse('down', 100, 50);
    await page.mouse('up', 120, 60);
    assert.deepEqual(await presses(page), [['pointerdown', 'mouse', 0, 100, 50], ['pointerup', 'mouse', 0, 120, 60]]);
    for (const combo of ['Control+Shift+z', 'Alt+Shift+R', 'F1', 'Escape', '4', 'Control+m'])
      await page.key(combo);
    const keys = (await take(page)).filter(([, key]) => !['Control', 'Shift', 'Alt'].includes(key));
    assert.deepEqual(keys.map(([, key, ...mods]) => [key.toLowerCase(), ...mods]), [
      ['z', true, true, false], ['r', false, true, true], ['f1', false, false, false],
      ['escape', false, false, false], ['4', false, false, false], ['m', true, false, false],
    ]);
  });

  test('the right and middle buttons, pressed and released', needs(engine, 'otherButtons'), async (t) => {
    const page = await open(t);
    for (const button of ['right', 'middle']) {
      await page.mouse('down', 100, 50, button);
      await page.mouse('up', 120, 60, button);
    }
    assert.deepEqual(await presses(page), [2, 1].flatMap((b) => [
      ['pointerdown', 'mouse', b, 100, 50], ['pointerup', 'mouse', b, 120, 60]]));
  });

  test('two fingers as touch, each its own pointer', needs(engine, 'touch'), async (t) => {
    const page = await open(t);
    await page.touch('touchStart', [[100, 100, 1]]);
    await page.touch('touchStart', [[100, 100, 1], [300, 200, 2]]);
    await page.touch('touchEnd', [[300, 200, 2]]);
    await page.touch('touchEnd', []);
    const log = await take(page);
    assert.deepEqual(log.map(([type, kind, , , x, y]) => [type, kind, x, y]), [
      ['pointerdown', 'touch', 100, 100], ['pointerdown', 'touch', 300, 200],
      ['pointerup', 'touch', 100, 100], ['pointerup', 'touch', 300, 200]]);
    assert.notEqual(log[0][3], log[1][3], 'two pointers');
  });

  test('a pen\'s tip, hovering in', needs(engine, 'pen'), async (t) => {
    const page = await open(t);
    await page.pen('mouseMoved', 200, 100);
    await page.pen('mousePressed', 200, 150, 'left');
    await page.pen('mouseReleased', 210, 150, 'left');
    assert.deepEqual((await presses(page)).map(([type, kind, button, x]) => [type, kind, button, x]),
                     [['pointerdown', 'pen', 0, 200], ['pointerup', 'pen', 0, 210]]);
  });

  test('a pen\'s barrel button', needs(engine, 'pen', 'otherButtons'), async (t) => {
    const page = await open(t);
    await page.pen('mousePressed', 220, 150, 'right');
    await page.pen('mouseReleased', 220, 150, 'right');
    assert.deepEqual((await presses(page)).map(([type, kind, button, x]) => [type, kind, button, x]),
                     [['pointerdown', 'pen', 2, 220], ['pointerup', 'pen', 2, 220]]);
  });

  test('the page\'s errors are reported, and its download taken whole', async (t) => {
    const page = await open(t);
    assert.deepEqual(page.errors, []);
    assert.ok(page.requests.some((u) => u.endsWith('/log.js')), page.requests.join(' '));
    await page.evaluate(() => fail());
    await page.waitForFunction(() => new Promise((r) => setTimeout(() => r(true), 100)));
    await page.evaluate(() => 0);
    assert.ok(page.errors.some((e) => e.includes('thrown by the page')), page.errors.join('; '));
    const file = await page.download(() => page.evaluate(() => save()));
    assert.equal(file.name, 'summer.txt');
    assert.deepEqual([...file.data], [...Buffer.from('\u00e9t\u00e9 \u0000\u00ff', 'utf8')]);
  });
});
