// The page in headless Chromium, served from the loopback interface: its controls, what the
// surface shows and how it answers the mouse, a finger and a pen.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { serve } from '../tools/serve.mjs';
import { Browser } from './support/browser.mjs';
import { site } from './support/site.mjs';

let browser, server, origin;

before(async () => {
  ({ server, url: origin } = await serve(site));
  browser = await Browser.launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// Every load came from the site itself (the module's WebAssembly from a data: URL in it).
function assertOwnRequests(page, base) {
  assert.ok(page.requests.length > 0);
  for (const url of page.requests)
    assert.ok(url.startsWith(base) || url.startsWith('data:'), `request outside the site: ${url.slice(0, 80)}`);
}

// A fresh tab with the lesson loaded at the given viewport.
async function open(t, width = 811, height = 702, dpr = 1) {
  const page = await browser.newPage(width, height, dpr);
  t.after(() => page.close());
  await page.open(origin);
  await page.settle();
  return page;
}

// Colour (0xRRGGBB) the surface shows at a point in logical surface pixels.
async function pixel(page, x, y) {
  return page.evaluate(`(() => {
    const s = ParallelRatio.page.surface;
    s.flush();
    const k = s.scale * s.dpr;
    const d = s.g.getImageData(Math.floor((${x} + 2) * k), Math.floor((${y} + 2) * k), 1, 1).data;
    return (d[0] << 16) | (d[1] << 8) | d[2];
  })()`);
}

// How many pixels of a box (logical surface pixels) are pure red.
async function redIn(page, box) {
  return page.evaluate(`(() => {
    const s = ParallelRatio.page.surface;
    s.flush();
    const k = s.scale * s.dpr, b = ${JSON.stringify(box)};
    const d = s.g.getImageData(Math.ceil((b.x + 2) * k), Math.ceil((b.y + 2) * k),
                               Math.floor(b.w * k), Math.floor(b.h * k)).data;
    let n = 0;
    for (let i = 0; i < d.length; i += 4) if (d[i] === 255 && d[i + 1] === 0 && d[i + 2] === 0) ++n;
    return n;
  })()`);
}

// Every pixel of the canvas, as a string to compare.
async function canvasPixels(page) {
  return page.evaluate(`(() => {
    const s = ParallelRatio.page.surface;
    s.flush();
    const d = s.g.getImageData(0, 0, s.canvas.width, s.canvas.height).data;
    let h = 0, out = [];
    for (let i = 0; i < d.length; i += 4) { h = (h * 31 + d[i] * 65536 + d[i + 1] * 256 + d[i + 2]) >>> 0; if (i % 40000 === 0) { out.push(h); h = 0; } }
    out.push(h);
    return out.join(',');
  })()`);
}

// Page point (CSS px) of a surface point.
async function at(page, x, y) {
  return page.evaluate(`(() => {
    const s = ParallelRatio.page.surface;
    const r = s.canvas.getBoundingClientRect();
    return [r.left + (${x} + 2) * s.scale, r.top + (${y} + 2) * s.scale];
  })()`);
}

async function clickButton(page, caption) {
  const [x, y] = await page.evaluate(`(() => {
    const b = [...document.querySelectorAll('button')].find((e) => e.textContent === ${JSON.stringify(caption)});
    const r = b.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  })()`);
  await page.click(x, y);
}

// Option buttons by index (0..3 thin red, yellow, blue, eraser; 4..7 the same thick).
async function clickOption(page, index) {
  const [x, y] = await page.evaluate(`(() => {
    const r = document.querySelectorAll('input[type=radio]')[${index}].getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  })()`);
  await page.click(x, y);
}

// A left drag through surface points.
async function drag(page, points, button = 'left') {
  const pagePoints = [];
  for (const [x, y] of points) pagePoints.push(await at(page, x, y));
  await page.drag(pagePoints, button);
}

// The point of ℓ at height y: ℓ runs through Ｂ's point (275, 350) and Ｃ's (181.25, 500).
const onL = (y) => [275 + (350 - y) * (275 - 181.25) / 150, y];

const GREEN = 0x008000, WHITE = 0xffffff, RED = 0xff0000, BLUE = 0x0000ff, BLACK = 0x000000;

test('the page loads from its own origin alone and shows the form\'s captions', async (t) => {
  const page = await open(t);
  assert.equal(await page.evaluate('document.title'), '平行線と線分の比 (by Vorlane)');
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('button')].map((b) => b.textContent)`),
                   ['初期画面', '終了', 'メモ', '対角線']);
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('.option')].map((o) => o.textContent)`),
                   ['赤色', '黄色', '青色', '消しゴム', '赤色', '黄色', '青色', '消しゴム']);
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('.heading, .row-caption')].map((o) => o.textContent)`),
                   ['相似と比', '太字', '細字']);
  assert.equal(await page.evaluate('document.documentElement.lang'), 'ja');
  assertOwnRequests(page, origin);
  assert.deepEqual(page.errors, []);
});

test('at 811 x 702 every control lies where the design puts it', async (t) => {
  const page = await open(t);
  const boxes = await page.evaluate(`(() => {
    const r = (e) => { const b = e.getBoundingClientRect(); return [b.left, b.top, b.width, b.height]; };
    return {
      heading: r(document.querySelector('.heading')),
      buttons: [...document.querySelectorAll('button')].map(r),
      options: [...document.querySelectorAll('.option')].map(r),
      surface: r(document.querySelector('canvas')),
      fonts: [...document.querySelectorAll('button')].map((b) => getComputedStyle(b).fontSize),
    };
  })()`);
  assert.deepEqual(boxes.heading, [16, 8, 125, 33]);
  assert.deepEqual(boxes.buttons, [[152, 8, 73, 33], [736, 8, 65, 33], [352, 8, 73, 33], [264, 8, 73, 33]]);
  assert.deepEqual(boxes.options[4], [464, 8, 57, 17]);
  assert.deepEqual(boxes.options[0], [464, 24, 57, 17]);
  assert.deepEqual(boxes.surface, [8, 48, 793, 641]);
  assert.deepEqual(boxes.fonts, ['12px', '12px', '16px', '16px']);
});

test('the initial screen: green surface, white parallels, the red copy of ℓ, letters, frame', async (t) => {
  const page = await open(t);
  assert.equal(await pixel(page, 400, 100), GREEN);
  assert.equal(await pixel(page, 100, 250), WHITE); // p
  assert.equal(await pixel(page, 600, 500), WHITE); // r
  assert.equal(await pixel(page, 300, 400), GREEN);
  assert.equal(await pixel(page, -2, -2), 0x808080); // the frame's outer shadow
  // The copy of ℓ covers ℓ: red on ℓ just above q.
  assert.equal(await pixel(page, ...onL(345)), RED);
  // The letter p is drawn in its box: some of it is not green.
  const letter = await page.evaluate(`(() => {
    const s = ParallelRatio.page.surface;
    const d = s.g.getImageData(52, 216, 24, 34).data;
    let light = 0;
    for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] > 200) ++light;
    return light;
  })()`);
  assert.ok(letter > 20, `letter p has ${letter} light pixels`);
  // The pens are disabled, the thin red one selected.
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('input')].map((i) => [i.disabled, i.checked])`),
                   [[true, true], ...Array(7).fill([true, false])]);
});

test('memo mode: a mouse stroke in red, the pens enabled, 対角線 disabled', async (t) => {
  const page = await open(t);
  await clickButton(page, 'メモ');
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('input')].map((i) => i.disabled)`),
                   Array(8).fill(false));
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('button')].map((b) => b.disabled)`),
                   [false, false, false, true]);
  await drag(page, [[100, 600], [200, 600], [300, 600]]);
  assert.equal(await pixel(page, 150, 600), RED);
  assert.equal(await pixel(page, 250, 600), RED);
  assert.equal(await pixel(page, 150, 610), GREEN);
  // A thick blue pen.
  await clickOption(page, 6);
  await drag(page, [[100, 50], [300, 50]]);
  assert.equal(await pixel(page, 200, 52), BLUE);
  // Strokes lie beneath the figure: a stroke across p leaves p white.
  await drag(page, [[100, 240], [100, 260]]);
  assert.equal(await pixel(page, 100, 250), WHITE);
  assert.deepEqual(page.errors, []);
});

test('the eraser: its outline follows the pointer and it wipes strokes', async (t) => {
  const page = await open(t);
  await clickButton(page, 'メモ');
  await drag(page, [[100, 600], [300, 600]]);
  await clickOption(page, 7); // thick eraser, 25 wide
  const [x, y] = await at(page, 500, 150);
  await page.mouse('mouseMoved', x, y);
  await page.settle();
  // The cursor box is 25 x 25 around the pointer, its 3-pixel outline inside the box.
  assert.equal(await pixel(page, 500 - 12, 150), BLACK);
  assert.equal(await pixel(page, 500, 150 - 11.5), BLACK);
  assert.equal(await pixel(page, 500, 150), GREEN);
  await page.mouse('mouseMoved', x + 100, y);
  await page.settle();
  assert.equal(await pixel(page, 500 - 12, 150), GREEN, 'the old place is repainted');
  await drag(page, [[150, 600], [250, 600]]);
  assert.equal(await pixel(page, 200, 600), GREEN);
  assert.equal(await pixel(page, 120, 600), RED);
});

test('a right press restores the initial screen', async (t) => {
  const page = await open(t);
  await clickButton(page, 'メモ');
  await drag(page, [[100, 600], [300, 600]]);
  assert.equal(await pixel(page, 200, 600), RED);
  await drag(page, [[400, 400], [400, 400]], 'right');
  assert.equal(await pixel(page, 200, 600), GREEN);
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('button')].map((b) => b.disabled)`),
                   [false, false, false, false]);
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('input')].map((i) => i.disabled)`),
                   Array(8).fill(true));
});

test('a finger writes as the left button; a second finger is ignored', async (t) => {
  const page = await open(t);
  await clickButton(page, 'メモ');
  const a = await at(page, 100, 600), b = await at(page, 200, 600), c = await at(page, 300, 600);
  const far = await at(page, 500, 100), far2 = await at(page, 600, 100);
  await page.touch('touchStart', [[...a, 1]]);
  await page.touch('touchMove', [[...b, 1]]);
  await page.touch('touchStart', [[...b, 1], [...far, 2]]);
  await page.touch('touchMove', [[...c, 1], [...far2, 2]]);
  await page.touch('touchEnd', [[...far2, 2]]);
  await page.touch('touchEnd', []);
  assert.equal(await pixel(page, 150, 600), RED);
  assert.equal(await pixel(page, 250, 600), RED);
  assert.equal(await pixel(page, 550, 100), GREEN);
});

test('a pen writes with its tip', async (t) => {
  const page = await open(t);
  await clickButton(page, 'メモ');
  const a = await at(page, 100, 600), b = await at(page, 300, 600);
  const pen = { pointerType: 'pen' };
  await page.evaluate(`document.querySelector('canvas').addEventListener('pointerdown',
    (e) => { window.lastPointerType = e.pointerType; })`);
  await page.mouse('mouseMoved', a[0], a[1] - 50, 'none', 0, pen);
  await page.mouse('mousePressed', a[0], a[1], 'left', 1, pen);
  await page.mouse('mouseMoved', b[0], b[1], 'left', 1, pen);
  await page.mouse('mouseReleased', b[0], b[1], 'left', 0, pen);
  assert.equal(await page.evaluate('window.lastPointerType'), 'pen');
  assert.equal(await pixel(page, 200, 600), RED);
});

test('diagonal mode: clicks on Ａ and Ｃ\' draw a red line between the two points', async (t) => {
  const page = await open(t);
  await clickButton(page, '対角線');
  assert.deepEqual(await page.evaluate(`[...document.querySelectorAll('button')].map((b) => b.disabled)`),
                   [false, false, true, false]);
  await page.click(...await at(page, 328, 233));  // Ａ at (337.5, 250)
  await page.click(...await at(page, 556, 483));  // Ｃ' at (540, 500)
  // Midway between the two points, off every line of the figure.
  assert.equal(await pixel(page, (337.5 + 540) / 2, (250 + 500) / 2), RED);
});

test('sliding the copy of ℓ uncovers ℓ and carries Ｄ, Ｅ, Ｆ along', async (t) => {
  const page = await open(t);
  const [x, y] = onL(345);
  assert.equal(await pixel(page, x, y), RED);
  await drag(page, [[290, 330], [330, 330], [370, 330]]);
  assert.equal(await pixel(page, x, y), WHITE, 'ℓ shows where the copy was');
  assert.equal(await pixel(page, x + 80, y), RED, 'the copy 80 pixels on');
  assert.ok(await redIn(page, { x: 316 + 80, y: 219, w: 25, h: 29 }) > 20, 'Ｄ moved with it');
  assert.equal(await redIn(page, { x: 316, y: 219, w: 25, h: 29 }), 0, 'nothing red left behind');
});

test('the form scales with the view, at the screen\'s own resolution', async (t) => {
  const page = await open(t, 811, 702, 2);
  assert.deepEqual(await page.evaluate(`(() => { const c = document.querySelector('canvas'); return [c.width, c.height]; })()`),
                   [1586, 1282]);
  await clickButton(page, 'メモ');
  await drag(page, [[100, 600], [300, 600]]);
  await page.setViewport(1622 + 100, 1404, 1);
  await page.waitFor(`ParallelRatio.page.surface.scale === 2`);
  await page.settle();
  const box = await page.evaluate(`(() => { const r = document.querySelector('canvas').getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()`);
  assert.deepEqual(box, [50 + 16, 96, 1586, 1282]);
  assert.equal(await page.evaluate(`getComputedStyle(document.querySelector('.heading')).fontSize`), '64px');
  // The stroke made before is still there, and input maps onto the new size.
  assert.equal(await pixel(page, 200, 600), RED);
  await drag(page, [[100, 50], [300, 50]]);
  assert.equal(await pixel(page, 200, 50), RED);
  assert.equal(await pixel(page, 200, 60), GREEN);
});

test('repainting only what changed gives the same picture as painting it all', async (t) => {
  const page = await open(t);
  await drag(page, [[290, 330], [330, 330], [250, 330]]);   // the copy, there and back
  await drag(page, [[300, 100], [300, 120]]);                // ℓ's prolongation
  await drag(page, [[560, 100], [560, 120]]);                // m's, and Ｇ
  await clickButton(page, 'メモ');
  await drag(page, [[50, 20], [700, 600], [100, 620]]);
  await clickOption(page, 3);
  for (let x = 100; x < 700; x += 37) await page.mouse('mouseMoved', ...await at(page, x, 300 + (x % 90)));
  await drag(page, [[200, 200], [500, 450]]);
  await clickButton(page, 'メモ');
  await clickButton(page, '対角線');
  await page.click(...await at(page, 328, 233));
  await page.click(...await at(page, 522, 333));
  await page.settle();
  const incremental = await canvasPixels(page);
  await page.evaluate('ParallelRatio.page.surface.invalidateAll()');
  assert.equal(await canvasPixels(page), incremental);
});

test('F11 enters full screen and leaves it again', async (t) => {
  const page = await open(t);
  const f11 = async () => {
    for (const type of ['keyDown', 'keyUp'])
      await page.send('Input.dispatchKeyEvent',
                      { type, key: 'F11', code: 'F11', windowsVirtualKeyCode: 122 });
  };
  await f11();
  await page.waitFor('document.fullscreenElement === document.documentElement');
  await f11();
  await page.waitFor('document.fullscreenElement === null');
  assert.deepEqual(page.errors, []);
});

test('終了 ends the lesson and leaves the page empty', async (t) => {
  const page = await open(t);
  await clickButton(page, '終了');
  await page.waitFor(`ParallelRatio.page.ended`);
  assert.equal(await page.evaluate(`document.getElementById('form').childElementCount`), 0);
  assert.deepEqual(page.errors, []);
});

test('the site also works opened straight from disk', async (t) => {
  const page = await browser.newPage(811, 702, 1);
  t.after(() => page.close());
  await page.open(pathToFileURL(`${site}/index.html`).href);
  assert.equal(await page.evaluate('document.title'), '平行線と線分の比 (by Vorlane)');
  await page.waitFor(`document.querySelector('canvas').width === 793`);
  assertOwnRequests(page, pathToFileURL(site).href);
  assert.deepEqual(page.errors, []);
});
