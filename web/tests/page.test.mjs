// The page in each browser engine, served from the loopback interface: its controls, what
// the surface shows and how it answers the mouse, a finger and a pen, and how the form fits
// the window. Pixels are read back from the canvas, or from screenshots where the page around
// it matters.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine, needs } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { decodePng } from './support/png.mjs';
import { newLesson, site } from './support/site.mjs';

let server, origin;

before(async () => {
  ({ server, url: origin } = await serve(site));
});

after(() => server?.close());

// Every load came from the site itself (the module's WebAssembly from a data: URL in it).
function assertOwnRequests(page, base) {
  assert.ok(page.requests.length > 0);
  for (const url of page.requests)
    assert.ok(url.startsWith(base) || url.startsWith('data:'), `request outside the site: ${url.slice(0, 80)}`);
}

// The point of ℓ at height y: ℓ runs through Ｂ's point (275, 350) and Ｃ's (181.25, 500), and
// on above p to its top end (400, 150); its prolongation goes on to (487.5, 10).
const onL = (y) => [275 + (350 - y) * (275 - 181.25) / 150, y];
// m's prolongation runs from m's top end (470, 150) to (442, 10).
const onMProlongation = (y) => [470 - (150 - y) * 28 / 140, y];

const GREEN = 0x008000, WHITE = 0xffffff, RED = 0xff0000, BLUE = 0x0000ff, BLACK = 0x000000;
const MAGENTA = 0xff00ff, LIGHT_GREEN = 0xc0ffc0;

// Boxes of labels on the surface (logical surface pixels): Ｄ's at the start, less the
// columns the copy of ℓ crosses, and Ｇ's once shown.
const BOX_D = { x: 316, y: 219, w: 20, h: 29 };
const BOX_G = { x: 460, y: 52, w: 24, h: 29 };

// A fingerprint of every canvas pixel, to compare two pictures.
async function canvasHash(page) {
  const { data } = await page.canvasImage();
  let h = 0;
  for (let i = 0; i < data.length; ++i) h = (Math.imul(h, 31) + data[i]) >>> 0;
  return `${data.length}:${h}`;
}

// The page as shown, at device pixels, with a reader of colours at CSS points.
async function shot(page) {
  const img = decodePng(await page.screenshot());
  const dpr = await page.evaluate(() => window.devicePixelRatio);
  img.at = (x, y) => {
    const i = (Math.floor(y * dpr) * img.width + Math.floor(x * dpr)) * 4;
    return (img.data[i] << 16) | (img.data[i + 1] << 8) | img.data[i + 2];
  };
  return img;
}

forEachEngine((engine) => {
  // A fresh page with the lesson loaded at the given viewport (CSS px) and pixel ratio.
  async function open(t, width = 811, height = 702, dpr = 1) {
    const page = await LessonPage.open(engine, origin, { width, height, dpr });
    t.after(() => page.close());
    return page;
  }

  describe('loading', () => {
    test('the page loads from its own origin alone and shows the form\'s captions', async (t) => {
      const page = await open(t);
      assert.equal(await page.title(), '平行線と線分の比 (by Vorlane)');
      assert.deepEqual((await page.commands()).map((b) => b.caption), ['初期画面', '終了', 'メモ', '対角線']);
      assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('.option')].map((o) => o.textContent)),
                       ['赤色', '黄色', '青色', '消しゴム', '赤色', '黄色', '青色', '消しゴム']);
      assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('.heading, .row-caption')].map((o) => o.textContent)),
                       ['相似と比', '太字', '細字']);
      assert.equal(await page.evaluate(() => document.documentElement.lang), 'ja');
      assertOwnRequests(page, origin);
      assert.deepEqual(page.errors, []);
    });
  });

  describe('the initial screen', () => {
    test('at 811 x 702 every control lies where the design puts it', async (t) => {
      const page = await open(t);
      const boxes = await page.evaluate(() => {
        const r = (e) => { const b = e.getBoundingClientRect(); return [b.left, b.top, b.width, b.height]; };
        // By number and index, as the design has them.
        const buttons = [...document.querySelectorAll('#form > button[data-number]')]
          .sort((a, b) => a.dataset.number - b.dataset.number);
        const options = [...document.querySelectorAll('.option input')]
          .sort((a, b) => a.dataset.index - b.dataset.index).map((i) => i.parentElement);
        return {
          heading: r(document.querySelector('.heading')),
          buttons: buttons.map(r),
          options: options.map(r),
          surface: r(document.querySelector('canvas')),
          fonts: buttons.map((b) => getComputedStyle(b).fontSize),
        };
      });
      assert.deepEqual(boxes.heading, [16, 8, 125, 33]);
      assert.deepEqual(boxes.buttons, [[152, 8, 73, 33], [736, 8, 65, 33], [352, 8, 73, 33], [264, 8, 73, 33]]);
      assert.deepEqual(boxes.options[4], [464, 8, 57, 17]);
      assert.deepEqual(boxes.options[0], [464, 24, 57, 17]);
      assert.deepEqual(boxes.surface, [8, 48, 793, 641]);
      assert.deepEqual(boxes.fonts, ['12px', '12px', '16px', '16px']);
    });

    test('green surface, white parallels and transversals, the red copy of ℓ, letters, frame', async (t) => {
      const page = await open(t);
      assert.equal(await page.pixel(400, 100), GREEN);
      assert.equal(await page.pixel(100, 250), WHITE); // p
      assert.equal(await page.pixel(600, 500), WHITE); // r
      assert.equal(await page.pixel(300, 400), GREEN);
      assert.equal(await page.pixel(-2, -2), 0x808080); // the frame's outer shadow
      // The copy of ℓ covers ℓ: red on ℓ just above q; m is white; nothing shows above them.
      assert.equal(await page.pixel(...onL(345)), RED);
      assert.equal(await page.pixel(...onL(100)), GREEN, 'no prolongation of ℓ');
      assert.equal(await page.pixel(...onMProlongation(100)), GREEN, 'no prolongation of m');
      assert.equal(await page.countColour(BOX_G, WHITE, 40), 0, 'Ｇ is parked');
      // Ａ stands in front of Ｄ, its twin on the copy.
      assert.ok(await page.countColour(BOX_D, WHITE) > 20);
      assert.equal(await page.countColour(BOX_D, RED), 0);
      // The letter p is drawn in its box: some of it is not green.
      const letter = await page.letterInk();
      assert.ok(letter > 20, `letter p has ${letter} light pixels`);
      // The pens are disabled, the thin red one selected.
      assert.deepEqual((await page.options()).map((o) => [o.disabled, o.checked]),
                       [[true, true], ...Array(7).fill([true, false])]);
    });
  });

  describe('the copy of ℓ and the prolongations', () => {
    // Slides the copy 80 pixels right by the given means and checks where everything went.
    async function slideBy80(t, slide) {
      const page = await open(t);
      const [x, y] = onL(345);
      assert.equal(await page.pixel(x, y), RED);
      await slide(page, [[290, 330], [330, 330], [370, 330]]);
      await page.settle();
      assert.equal(await page.pixel(x, y), WHITE, 'ℓ shows where the copy was');
      assert.equal(await page.pixel(x + 80, y), RED, 'the copy 80 pixels on');
      assert.equal(await page.pixel(x + 40, y), GREEN, 'not 40');
      assert.ok(await page.countColour({ ...BOX_D, x: BOX_D.x + 80 }, RED) > 20, 'Ｄ moved with it');
      assert.equal(await page.countColour(BOX_D, RED), 0, 'nothing red left behind');
      assert.deepEqual(page.errors, []);
      return page;
    }

    test('with the mouse', async (t) => {
      await slideBy80(t, (page, points) => page.drag(points));
    });

    test('with a finger', needs(engine, 'touch'), async (t) => {
      await slideBy80(t, (page, points) => page.touchDrag(points));
    });

    test('with a pen', needs(engine, 'pen'), async (t) => {
      const page = await slideBy80(t, async (page, points) => {
        await page.evaluate(() => document.querySelector('canvas').addEventListener('pointerdown',
          (e) => { window.lastPointerType = e.pointerType; }));
        await page.penDrag(points);
      });
      assert.equal(await page.evaluate(() => window.lastPointerType), 'pen');
    });

    // The pen lifted off the surface, above the form: the slide still ends, wherever the
    // engine last saw the pen.
    test('with a pen that leaves the surface', needs(engine, 'pen'), async (t) => {
      const page = await open(t);
      const band = { x: 150, y: 300, w: 400, h: 60 };
      await page.penDrag([[290, 330], [330, 330], [370, 200], [370, -30]]);
      await page.settle();
      assert.equal(await page.countColour(band, MAGENTA), 0, 'the copy is not held');
      assert.ok(await page.countColour(band, RED) > 50, 'the copy shows');
      assert.deepEqual(page.errors, []);
    });

    test('the copy turns light magenta while held and light red again on release', async (t) => {
      const page = await open(t);
      const [x, y] = onL(345);
      await page.mouseDown(290, 330);
      assert.equal(await page.pixel(x, y), MAGENTA);
      await page.mouseMove(330, 330);
      assert.equal(await page.pixel(x + 40, y), MAGENTA);
      assert.ok(await page.countColour({ ...BOX_D, x: BOX_D.x + 40 }, RED) > 20, 'Ｄ in red once moved');
      await page.mouseUp(330, 330);
      assert.equal(await page.pixel(x + 40, y), RED);
    });

    test('presses above p show the prolongations; on release they turn white and Ｇ appears', async (t) => {
      const page = await open(t);
      await page.mouseDown(300, 100); // above p, left of ℓ's top end + 40
      assert.equal(await page.pixel(...onL(80)), MAGENTA, 'ℓ prolonged while held');
      assert.equal(await page.pixel(...onMProlongation(80)), GREEN);
      assert.equal(await page.countColour(BOX_G, WHITE, 40), 0, 'no Ｇ yet');
      await page.mouseUp(300, 100);
      assert.equal(await page.pixel(...onL(80)), WHITE);
      assert.ok(await page.countColour(BOX_G, WHITE, 40) > 10, 'Ｇ beside the crossing');

      await page.mouseDown(600, 100); // right of m's top end - 20
      assert.equal(await page.pixel(...onMProlongation(80)), MAGENTA, 'm prolonged while held');
      await page.mouseUp(600, 100);
      assert.equal(await page.pixel(...onMProlongation(80)), WHITE);
      assert.equal(await page.pixel(...onL(80)), WHITE, 'ℓ\'s stays');
      assert.ok(await page.countColour(BOX_G, WHITE, 40) > 10);
      assert.deepEqual(page.errors, []);
    });
  });

  describe('memo', () => {
    test('a mouse stroke in red, the pens enabled, 対角線 disabled', async (t) => {
      const page = await open(t);
      await page.clickButton('メモ');
      assert.deepEqual(await page.optionsDisabled(), Array(8).fill(false));
      assert.deepEqual(await page.buttonsDisabled(), [false, false, false, true]);
      await page.drag([[100, 600], [200, 600], [300, 600]]);
      assert.equal(await page.pixel(150, 600), RED);
      assert.equal(await page.pixel(250, 600), RED);
      assert.equal(await page.pixel(150, 610), GREEN);
      // A thick blue pen.
      await page.clickOption(6);
      await page.drag([[100, 50], [300, 50]]);
      assert.equal(await page.pixel(200, 52), BLUE);
      // Strokes lie beneath the figure: a stroke across p leaves p white.
      await page.drag([[100, 240], [100, 260]]);
      assert.equal(await page.pixel(100, 250), WHITE);
      assert.deepEqual(page.errors, []);
    });

    test('the eraser: its outline follows the pointer and it wipes strokes', async (t) => {
      const page = await open(t);
      await page.clickButton('メモ');
      await page.drag([[100, 600], [300, 600]]);
      await page.clickOption(7); // thick eraser, 25 wide
      await page.mouseMove(500, 150);
      await page.settle();
      // The cursor box is 25 x 25 around the pointer, its 3-pixel outline inside the box.
      assert.equal(await page.pixel(500 - 12, 150), BLACK);
      assert.equal(await page.pixel(500, 150 - 11.5), BLACK);
      assert.equal(await page.pixel(500, 150), GREEN);
      await page.mouseMove(600, 150);
      await page.settle();
      assert.equal(await page.pixel(500 - 12, 150), GREEN, 'the old place is repainted');
      await page.drag([[150, 600], [250, 600]]);
      assert.equal(await page.pixel(200, 600), GREEN);
      assert.equal(await page.pixel(120, 600), RED);
    });

    test('a finger writes as the left button; a second finger is ignored', needs(engine, 'touch'), async (t) => {
      const page = await open(t);
      await page.clickButton('メモ');
      await page.touch('touchStart', [[100, 600, 1]]);
      await page.touch('touchMove', [[200, 600, 1]]);
      await page.touch('touchStart', [[200, 600, 1], [500, 100, 2]]);
      await page.touch('touchMove', [[300, 600, 1], [600, 100, 2]]);
      await page.touch('touchEnd', [[600, 100, 2]]);
      await page.touch('touchEnd', []);
      assert.equal(await page.pixel(150, 600), RED);
      assert.equal(await page.pixel(250, 600), RED);
      assert.equal(await page.pixel(550, 100), GREEN);
    });

    test('a pen\'s eraser end erases as the thick eraser; the tip writes thick again', async (t) => {
      const page = await open(t);
      await page.clickButton('メモ');
      await page.clickOption(4); // thick red
      await page.drag([[100, 600], [300, 600]]);
      await page.penEraserDrag([[200, 560], [200, 640]]);
      await page.settle();
      assert.equal(await page.pixel(211, 600), GREEN, '25 wide: the thick eraser\'s');
      assert.equal(await page.pixel(215, 600), RED);
      await page.drag([[100, 300], [300, 300]]);
      assert.equal(await page.pixel(150, 302), RED, 'the tip writes with the thick pen');
      assert.deepEqual(page.errors, []);
    });

    test('a pen writes with its tip', needs(engine, 'pen'), async (t) => {
      const page = await open(t);
      await page.clickButton('メモ');
      await page.penDrag([[100, 600], [300, 600]]);
      assert.equal(await page.pixel(200, 600), RED);
      assert.equal(await page.pixel(200, 560), GREEN, 'hovering draws nothing');
    });
  });

  describe('diagonal mode', () => {
    test('clicks on Ａ and Ｃ\' draw a red line between the two points', async (t) => {
      const page = await open(t);
      await page.clickButton('対角線');
      assert.deepEqual(await page.buttonsDisabled(), [false, false, true, false]);
      const mid = [(337.5 + 540) / 2, (250 + 500) / 2]; // off every line of the figure
      assert.equal(await page.pixel(...mid), GREEN);
      await page.click(...await page.labelCentre('Ａ'));  // Ａ at (337.5, 250)
      assert.equal(await page.pixel(...mid), GREEN, 'one click draws nothing yet');
      await page.click(...await page.labelCentre('Ｃ\'')); // Ｃ' at (540, 500)
      assert.equal(await page.pixel(...mid), RED);
    });
  });

  describe('reset', () => {
    // Makes a mess of every kind, then resets it by `reset` and compares with the start.
    async function resetRestoresStart(t, reset) {
      const page = await open(t);
      const initial = await canvasHash(page);
      await page.drag([[290, 330], [370, 330]]);
      await page.drag([[300, 100], [300, 110]]);
      await page.clickButton('メモ');
      await page.drag([[100, 600], [300, 600]]);
      assert.equal(await page.pixel(200, 600), RED);
      await page.clickButton('メモ');
      await page.clickButton('対角線');
      await page.click(...await page.labelCentre('Ａ'));
      await page.click(...await page.labelCentre('Ｃ\''));
      assert.notEqual(await canvasHash(page), initial);
      await reset(page);
      await page.settle();
      assert.equal(await canvasHash(page), initial, 'the initial screen, pixel for pixel');
      assert.deepEqual(await page.buttonsDisabled(), [false, false, false, false]);
      assert.deepEqual(await page.optionsDisabled(), Array(8).fill(true));
    }

    test('by the 初期画面 button', async (t) => {
      await resetRestoresStart(t, (page) => page.clickButton('初期画面'));
    });

    test('by a right press', async (t) => {
      await resetRestoresStart(t, (page) => page.drag([[400, 400]], 'right'));
    });
  });

  describe('fitting the window', () => {
    const canvasBox = (page) => page.evaluate(() => {
      const c = document.querySelector('canvas'), r = c.getBoundingClientRect();
      return { x: r.left, y: r.top, w: r.width, h: r.height, devW: c.width, devH: c.height };
    });

    // At width x height the form is scaled uniformly to fit and centred; what is left over is
    // the window's light green; the surface shows the figure where the scale puts it.
    async function checkFit(t, page, width, height) {
      const scale = Math.min(width / 811, height / 702);
      assert.equal(await page.evaluate(() => ParallelRatio.page.surface.scale), scale);
      const box = await canvasBox(page);
      // Where the core's layout puts the form, the tools beside or under it.
      const placed = (await newLesson(t)).layoutAt(width, height, 1, false);
      const ox = placed.surface.x - 8 * scale, oy = placed.surface.y - 48 * scale;
      assert.ok(Math.abs(box.x - (ox + 8 * scale)) <= 1 && Math.abs(box.y - (oy + 48 * scale)) <= 1,
                `surface at ${box.x}, ${box.y}`);
      assert.ok(Math.abs(box.w - 793 * scale) <= 1 && Math.abs(box.h - 641 * scale) <= 1,
                `surface ${box.w} x ${box.h}`);
      const img = await shot(page);
      // The spare room on both sides (or above and below), and the form's own margin.
      const spare = ox > 1 ? [[ox / 2, height / 2]] : oy > 1 ? [[width / 2, oy / 2]] : [];
      for (const [x, y] of [...spare, [ox + 4 * scale, oy + 300 * scale]])
        assert.equal(img.at(x, y), LIGHT_GREEN, `window colour at ${x}, ${y}`);
      // p at the scaled place, and the surface's green just off it.
      const sx = (x) => box.x + (x + 2) * scale, sy = (y) => box.y + (y + 2) * scale;
      assert.equal(img.at(sx(100), sy(250)), WHITE);
      assert.equal(img.at(sx(100), sy(260)), GREEN);
      assert.equal(img.at(sx(400), sy(100)), GREEN);
      return { box, img, scale };
    }

    test('a wide window: scaled to its height, centred side to side', async (t) => {
      const page = await open(t, 1622 + 300, 1404);
      assert.equal((await checkFit(t, page, 1622 + 300, 1404)).scale, 2);
      assert.equal(await page.evaluate(() => getComputedStyle(document.querySelector('.heading')).fontSize), '64px');
    });

    test('a tall window: scaled to its width, centred top to bottom', async (t) => {
      const page = await open(t, 1216, 1293);
      assert.ok((await checkFit(t, page, 1216, 1293)).scale < 1.5);
    });

    test('at device pixel ratio 2 the canvas has a backing store of its own resolution', async (t) => {
      const page = await open(t, 811, 702, 2);
      const { box, img } = await checkFit(t, page, 811, 702);
      assert.deepEqual([box.devW, box.devH], [1586, 1282]);
      // Across p, in device pixels: only surface green and p's white, with no blur between
      // (a canvas at half the resolution, scaled up, would leave rows of mixed colour), and
      // p exactly as many device pixels thick as it is wide in logical pixels, times two.
      const width = await page.evaluate(() => ParallelRatio.page.surface.list.items.find(
        (i) => i.kind === 'segment' && i.y1 === 250 && i.y2 === 250).width);
      const x = Math.round((box.x + 102) * 2);
      let white = 0;
      for (let y = Math.round((box.y + 242) * 2); y < Math.round((box.y + 262) * 2); ++y) {
        const i = (y * img.width + x) * 4, c = (img.data[i] << 16) | (img.data[i + 1] << 8) | img.data[i + 2];
        assert.ok(c === GREEN || c === WHITE, `mixed colour ${c.toString(16)} at device row ${y}`);
        if (c === WHITE) ++white;
      }
      assert.equal(white, width * 2);
    });

    test('a resize keeps the strokes and maps input onto the new size', async (t) => {
      const page = await open(t, 811, 702, 2);
      await page.clickButton('メモ');
      await page.drag([[100, 600], [300, 600]]);
      await page.setViewport(1622 + 100, 1404);
      await page.waitForFunction(() => ParallelRatio.page.surface.scale === 2);
      await page.settle();
      const box = await canvasBox(page);
      // Scale 2, the form and a narrow strip of 56 px centred together in 1722 px.
      assert.deepEqual([box.x, box.y, box.w, box.h, box.devW, box.devH], [22 + 16, 96, 1586, 1282, 3172, 2564]);
      assert.equal(await page.pixel(200, 600), RED);
      await page.drag([[100, 50], [300, 50]]);
      assert.equal(await page.pixel(200, 50), RED);
      assert.equal(await page.pixel(200, 60), GREEN);
    });
  });

  describe('the page as a whole', () => {
    // The tiles a slanted line crosses are found along it: at a large scale and at a
    // fractional ratio too, where tile edges fall between logical pixels.
    for (const [width, height, dpr] of [[811, 702, 1], [3840, 2160, 1], [1366, 768, 1.25]])
    test(`repainting only what changed gives the same picture as painting it all, ${width} x ${height} at ${dpr}`,
         Number.isInteger(dpr) ? {} : needs(engine, 'fractionalDpr'), async (t) => {
      const page = await open(t, width, height, dpr);
      await page.drag([[290, 330], [330, 330], [250, 330], [420, 330]]); // the copy, to and fro
      await page.drag([[300, 100], [300, 120]]);                // ℓ's prolongation
      await page.drag([[560, 100], [560, 120]]);                // m's, and Ｇ
      await page.clickButton('メモ');
      await page.drag([[50, 20], [700, 600], [100, 620]]);
      await page.clickOption(3);
      for (let x = 100; x < 700; x += 37) await page.mouseMove(x, 300 + (x % 90));
      await page.drag([[200, 200], [500, 450]]);
      await page.clickButton('メモ');
      await page.clickButton('対角線');
      await page.click(...await page.labelCentre('Ａ'));
      await page.click(...await page.labelCentre('Ｂ\''));
      await page.settle();
      const incremental = await canvasHash(page);
      await page.evaluate(() => ParallelRatio.page.surface.invalidateAll());
      assert.equal(await canvasHash(page), incremental);
    });

    test('F11 enters full screen and leaves it again', async (t) => {
      const page = await open(t);
      await page.key('F11');
      await page.waitForFunction(() => document.fullscreenElement === document.documentElement);
      await page.key('F11');
      await page.waitForFunction(() => document.fullscreenElement === null);
      assert.deepEqual(page.errors, []);
    });

    test('beneath the notice after 終了 no input reaches the new lesson', async (t) => {
      const page = await open(t);
      const initial = await canvasHash(page);
      await page.clickButton('終了');
      await page.waitForElement('[role=alertdialog]');
      // Not even a press dispatched to the canvas itself.
      await page.evaluate(() => {
        const c = document.querySelector('canvas'), r = c.getBoundingClientRect();
        for (const type of ['pointerdown', 'pointerup'])
          c.dispatchEvent(new PointerEvent(type, { pointerType: 'mouse', button: 0, buttons: type === 'pointerdown' ? 1 : 0,
                                                    clientX: r.left + 300, clientY: r.top + 110, bubbles: true }));
      });
      await page.settle();
      assert.equal(await canvasHash(page), initial, 'a press above p showed nothing');
      await page.clickElement('[role=alertdialog] button');
      await page.drag([[300, 100], [300, 110]]);
      assert.equal(await page.pixel(...onL(80)), WHITE, 'once dismissed, the lesson answers');
      assert.deepEqual(page.errors, []);
    });
  });
});
