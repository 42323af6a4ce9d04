// The board's history on the page: undo, redo and clearing the writing from the keys and the
// tool strip beside the form, and the board kept in the browser between visits.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine, needs } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { decodePng } from './support/png.mjs';
import { site } from './support/site.mjs';

let server, origin;

before(async () => {
  ({ server, url: origin } = await serve(site));
});

after(() => server?.close());

const GREEN = 0x008000, RED = 0xff0000;

// A fingerprint of every canvas pixel, to compare two pictures.
async function canvasHash(page) {
  const { data } = await page.canvasImage();
  let h = 0;
  for (let i = 0; i < data.length; ++i) h = (Math.imul(h, 31) + data[i]) >>> 0;
  return `${data.length}:${h}`;
}

// The strip's button with this caption: whether it is disabled, and a click on it.
const tool = (caption) => ({ selector: '.tools button', text: caption });
const disabled = async (page, which) => (await page.element(which)).disabled;

async function key(page, combo) {
  await page.key(combo);
  // 前回の板書 first asks the browser which tabs are open.
  await page.evaluate(() => ParallelRatio.page.restoring);
  await page.settle();
}

forEachEngine((engine) => {
  async function open(t, width = 811, height = 702) {
    const page = await LessonPage.open(engine, origin, { width, height });
    t.after(() => page.close());
    return page;
  }

  describe('history', () => {
    test('undo brings back the stroke and the figure a reset took; redo takes them again', async (t) => {
      const page = await open(t);
      const initial = await canvasHash(page);
      // The copy of ℓ slid 80 pixels right, then a stroke.
      await page.drag([[290, 330], [330, 330], [370, 330]]);
      await page.clickButton('メモ');
      await page.drag([[100, 600], [200, 600], [300, 600]]);
      assert.equal(await page.pixel(200, 600), RED);
      const written = await canvasHash(page);

      await page.drag([[600, 400]], 'right');
      await page.settle();
      const reset = await canvasHash(page);
      assert.notEqual(reset, written, 'the reset puts the copy back');

      await key(page, 'Control+z');
      assert.equal(await page.pixel(200, 600), RED);
      assert.equal(await canvasHash(page), written, 'the picture before the reset, pixel for pixel');

      await key(page, 'Control+Shift+z');
      assert.equal(await canvasHash(page), reset);
      await key(page, 'Control+z');
      await key(page, 'Control+y');
      assert.equal(await canvasHash(page), reset);
      // Back through the reset, the stroke and the slide.
      await key(page, 'Control+z');
      await key(page, 'Control+z');
      assert.equal(await page.pixel(200, 600), GREEN, 'the stroke undone');
      await key(page, 'Control+z');
      assert.equal(await canvasHash(page), initial, 'the slide undone: the initial screen');
      assert.deepEqual(page.errors, []);
    });

    test('書き込みを消す wipes the strokes, keeps the figure, and is undone', async (t) => {
      const page = await open(t, 1200, 702);
      const clear = tool('書き込みを消す');
      assert.ok(await disabled(page, clear), 'nothing written yet');
      assert.ok(await disabled(page, tool('元に戻す')));
      assert.ok(await disabled(page, tool('やり直し')));
      await page.drag([[290, 330], [370, 330]]); // the copy of ℓ slid, to be kept
      await page.clickButton('メモ');
      const memo = await canvasHash(page);
      await page.drag([[100, 600], [300, 600]]);
      const written = await canvasHash(page);
      assert.ok(!(await disabled(page, clear)));
      await page.clickElement(clear);
      await page.settle();
      assert.equal(await page.pixel(200, 600), GREEN);
      assert.equal(await canvasHash(page), memo, 'the figure as it was, without the stroke');
      assert.ok(await disabled(page, clear));
      await page.clickElement(tool('元に戻す'));
      await page.settle();
      assert.equal(await canvasHash(page), written);
      assert.ok(!(await disabled(page, tool('やり直し'))));
      await page.clickElement(tool('やり直し'));
      await page.settle();
      assert.equal(await canvasHash(page), memo);
      assert.deepEqual(page.errors, []);
    });
  });

  describe('writing after a resize', () => {
    test('as sharp after the window grows as written at that size, pixel for pixel', async (t) => {
      const grown = await open(t, 811, 702);
      await grown.clickButton('メモ');
      await grown.drag([[100, 100], [180, 140], [260, 100], [400, 300]]);
      await grown.clickOption(6); // thick blue
      await grown.drag([[500, 500], [520, 380], [700, 420]]);
      await grown.setViewport(1622, 1404);
      await grown.waitForFunction(() => ParallelRatio.page.surface.scale === 2);
      await grown.settle();
      const board = await grown.evaluate(() => ParallelRatio.page.lesson.board());
      const fresh = await open(t, 1622, 1404);
      await fresh.evaluate((text) => ParallelRatio.page.handle((l) => l.openBoard(text)), board);
      await fresh.settle();
      assert.equal(await canvasHash(grown), await canvasHash(fresh));
      // And an undo sends the page only the pixels around what it takes away.
      const area = await grown.evaluate(() => {
        const l = ParallelRatio.page.lesson;
        l.undo();
        return l.frame().changes.rasterArea;
      });
      assert.ok(area.w < 600 && area.h < 500, `repainted ${area.w} x ${area.h} of 1586 x 1282`);
    });
  });

  describe('tool strip', () => {
    const scaleAndStrip = (page) => page.evaluate(() => {
      const strip = document.querySelector('.tools');
      const canvas = ParallelRatio.page.surface.canvas.getBoundingClientRect();
      const buttons = [...strip.querySelectorAll('button')].map((b) => {
        const r = b.getBoundingClientRect();
        return { name: b.textContent, left: r.left, right: r.right, w: r.width, h: r.height };
      });
      return { scale: ParallelRatio.page.surface.scale, canvasRight: canvas.right,
               visible: strip.offsetParent !== null, buttons };
    });

    test('shown in the room right of the form, never at its cost', async (t) => {
      // The form's shape, and a window as high as an XGA screen with room at the right.
      const narrow = await open(t, 889, 768);
      const n = await scaleAndStrip(narrow);
      assert.equal(n.visible, false, 'no room at the form\'s own shape');
      const wide = await open(t, 1300, 768);
      const w = await scaleAndStrip(wide);
      assert.equal(w.visible, true);
      assert.equal(w.scale, n.scale, 'the form keeps its scale');
      const s = 768 / 702;
      assert.ok(Math.abs(w.canvasRight - ((1300 - (811 + 136) * s) / 2 + (8 + 793) * s)) <= 1,
                'form and strip centred together');
      const shown = w.buttons.filter((b) => b.w > 0);
      assert.deepEqual(shown.map((b) => b.name),
                       ['元に戻す', 'やり直し', '書き込みを消す', '開く', '保存', '前回の板書',
                        '画像で保存', 'コピー', '印刷', '使い方', '全画面', '大きい矢印', '見やすい色',
                        '比を表示', '相似な三角形']);
      for (const b of shown) {
        assert.ok(b.left >= w.canvasRight && b.right <= 1200, `${b.name} beside the form`);
        assert.ok(b.w > 44 && b.h >= 44, `${b.name} is a usable size`);
      }
      // Accessible names are the tools' names.
      assert.equal(await wide.evaluate(() => [...document.querySelectorAll('button')].filter(
        (b) => (b.getAttribute('aria-label') ?? b.textContent).trim() === '元に戻す').length), 1);
      // Too little room at the right for the large buttons: icons in a narrow strip.
      await wide.setViewport(889 + 130, 768);
      await wide.settle();
      const icons = await scaleAndStrip(wide);
      assert.equal(icons.visible, true);
      assert.ok(icons.buttons.filter((b) => b.w > 0).every((b) => b.w === 44 && b.h === 44));
    });
  });

  describe('kept board', () => {
    test('前回の板書 gives back the board of the last visit; the page opens on the initial screen', async (t) => {
      const page = await open(t, 1200, 702);
      const blank = await canvasHash(page);
      assert.ok(await disabled(page, tool('前回の板書')), 'no board kept yet');
      await page.clickButton('メモ');
      await page.drag([[100, 600], [200, 600], [300, 600]]);
      await page.clickButton('初期画面');
      await page.clickButton('メモ');
      await page.drag([[100, 450], [300, 450]]);
      await page.reload();
      assert.equal(await canvasHash(page), blank, 'opens on the initial screen');
      await key(page, 'Control+Shift+o');
      assert.equal(await page.pixel(200, 450), RED, 'the last stroke is back');
      assert.equal(await page.pixel(200, 600), GREEN, 'the stroke wiped by 初期画面 is not');
      // The restore is a step of its own.
      await page.clickElement(tool('元に戻す'));
      await page.settle();
      assert.equal(await canvasHash(page), blank);
      await page.clickElement(tool('前回の板書'));
      await page.evaluate(() => ParallelRatio.page.restoring);
      await page.settle();
      assert.equal(await page.pixel(200, 450), RED);
      assert.deepEqual(page.errors, []);
    });

    // The boards in the browser's storage: their keys and what each holds.
    const stored = (page) => page.evaluate(() => Object.fromEntries(
      Object.keys(localStorage).filter((k) => k.startsWith('parallel-ratio.'))
        .map((k) => [k, localStorage.getItem(k)])));
    const boardKeys = (all) => Object.keys(all).filter((k) => k.startsWith('parallel-ratio.board.'));
    const shown = async (page, which) => (await page.element(which)).visible;
    const noticeText = async (page, part = '') => (await page.element(`.notice ${part}`)).text;

    test('two tabs keep a board each; 前回の板書 offers them both, the open one marked', async (t) => {
      const a = await open(t, 1200, 702);
      await a.clickButton('メモ');
      await a.drag([[100, 450], [300, 450]]);
      const b = await a.openTab(origin);
      await b.clickButton('メモ');
      await b.drag([[100, 600], [300, 600]]);
      await a.drag([[100, 520], [300, 520]]); // a writes again after b started
      assert.equal(boardKeys(await stored(a)).length, 2, 'neither tab wrote over the other');

      // In b, the one other board is a's, opened at once.
      await key(b, 'Control+Shift+o');
      assert.equal(await b.pixel(200, 450), RED);
      assert.equal(await b.pixel(200, 520), RED, "a's board as a kept it last");
      await b.clickButton('メモ');
      await b.drag([[100, 560], [300, 560]]); // b's board is its own again
      await a.closeTab();

      // A third tab: a's board (closed) and b's (open) to choose from, newest first.
      const c = await b.openTab(origin);
      await c.clickElement(tool('前回の板書'));
      await c.waitForElement('.chooser-list button');
      const names = await c.texts('.chooser-list button');
      assert.equal(names.length, 2);
      assert.match(names[0], /^\d+月\d+日 \d\d:\d\d（ほかのタブで開いています）$/);
      assert.doesNotMatch(names[1], /ほかのタブ/);
      await c.clickElement({ selector: '.chooser-list button', nth: 1 });
      await c.settle();
      assert.equal(await c.pixel(200, 520), RED, "a's board");
      assert.equal(await c.pixel(200, 560), GREEN, "not b's");
      assert.deepEqual([...a.errors, ...b.errors, ...c.errors], []);
    });

    test('a storage that refuses the board is said at once, with 保存, until it keeps again', async (t) => {
      const page = await open(t, 1200, 702);
      await page.evaluate(() => {
        globalThis.realSetItem = Storage.prototype.setItem;
        Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
      });
      assert.ok(!(await shown(page, '.notice')));
      await page.clickButton('メモ');
      await page.drag([[100, 600], [300, 600]]);
      assert.equal(await page.pixel(200, 600), RED, 'the board on screen stays');
      const text = await noticeText(page, 'p');
      assert.match(text, /^板書を保存できません: ブラウザーの保存領域がいっぱいです。画面の板書は消えていません。/);
      assert.match(text, /（QuotaExceededError）$/);
      // Below the figure, inside the surface.
      const { box } = await page.element('.notice');
      const { box: canvas } = await page.element('canvas');
      assert.ok(box.y > canvas.y + 2 + 552 && box.y + box.height <= canvas.y + canvas.height);

      const download = await page.download(() => page.clickElement({ selector: '.notice button', name: '保存' }));
      assert.match(download.name, /\.prboard$/);
      const saved = download.data.toString();
      assert.match(saved, /"format": "parallel-ratio-board"/, 'a board file, as the desktop opens');
      assert.equal(saved, await page.evaluate(() => ParallelRatio.page.lesson.board()));

      await page.evaluate(() => { Storage.prototype.setItem = globalThis.realSetItem; });
      await page.drag([[100, 450], [300, 450]]);
      assert.ok(!(await shown(page, '.notice')), 'kept again: the notice goes');
      assert.equal(boardKeys(await stored(page)).length, 1);
      assert.deepEqual(page.errors, []);
    });

    test('a storage that is off is said at once, and the lesson goes on', needs(engine, 'initScript'), async (t) => {
      const page = new LessonPage(await engine.newPage());
      t.after(() => page.close());
      await page.driver.addInitScript(() => {
        Object.defineProperty(window, 'localStorage', {
          get() { throw new DOMException('off', 'SecurityError'); },
        });
      });
      await page.load(origin);
      await page.drag([[290, 330], [370, 330]]);
      assert.match(await noticeText(page, 'p'),
                   /^板書を保存できません: このブラウザーは保存を許可していません/);
      assert.deepEqual(page.errors, []);
    });

    test('a damaged kept board is set aside under a key of its own, never destroyed', async (t) => {
      const page = await open(t, 1200, 702);
      const cut = '{"format": "parallel-ratio-board", "version": 1, "co';
      const refused = '{"copyX1": "x", "strokes": [[1, 2]]}'; // an earlier version's data, spoilt
      await page.evaluate(([cut, refused]) => {
        localStorage.setItem('parallel-ratio.board.0123456789abcdef', cut);
        localStorage.setItem('parallel-ratio.board', refused);
      }, [cut, refused]);
      await page.reload();
      await page.evaluate(() => ParallelRatio.page.stored);
      const text = await noticeText(page);
      assert.match(text, /前回の板書が壊れていて開けません。.*parallel-ratio\.damaged\.0123456789abcdef/);
      const all = await stored(page);
      const aside = Object.entries(all).filter(([k]) => k.startsWith('parallel-ratio.damaged.'));
      assert.deepEqual(aside.map(([, v]) => v).sort(), [cut, refused].sort(), 'both still there');
      assert.equal(all['parallel-ratio.board'], undefined);
      assert.equal(boardKeys(all).length, 0);
      assert.ok(await disabled(page, tool('前回の板書')), 'nothing to open');
      await page.clickElement({ selector: '.notice button', name: '閉じる' });
      assert.ok(!(await shown(page, '.notice')));
      assert.deepEqual(page.errors, []);
    });

    test('a board an earlier version kept is converted to a board file once, not lost', async (t) => {
      const page = await open(t, 1200, 702);
      const old = {
        copyX1: 450, copyX2: 200, copyHighlighted: false,
        copyLabels: [[366, true, false], [305, true, false], [213, true, false]],
        prolongationL: 0, prolongationM: 0, pointG: false,
        lines: Array.from({ length: 5 }, () => [false, 0, 0]), nextLine: 0,
        strokes: [[0xffff0000, 3, false, [100, 450, 300, 450]]],
      };
      await page.evaluate((old) => localStorage.setItem('parallel-ratio.board', JSON.stringify(old)), old);
      await page.reload();
      await page.evaluate(() => ParallelRatio.page.stored);
      const all = await stored(page);
      assert.equal(all['parallel-ratio.board'], undefined);
      const [converted] = boardKeys(all);
      assert.match(all[converted], /"format": "parallel-ratio-board"/);
      await key(page, 'Control+Shift+o');
      assert.equal(await page.pixel(200, 450), RED, 'its stroke is back');
      assert.ok(!(await shown(page, '.notice')));
      assert.deepEqual(page.errors, []);
    });
  });

  describe('picture of the board', () => {
    test('画像で保存 downloads the surface as a PNG, pixel for pixel as the canvas shows it', async (t) => {
      const page = await open(t, 1200, 702);
      await page.clickButton('メモ');
      await page.drag([[100, 450], [300, 450]]);
      const download = await page.download(async () => {
        await page.clickElement(tool('画像で保存'));
        await page.clickElement({ selector: '.chooser button', text: 'PNG' });
      });
      assert.match(download.name, /\.png$/);
      const png = decodePng(download.data);
      const canvas = await page.canvasImage();
      assert.deepEqual([png.width, png.height], [canvas.width, canvas.height]);
      assert.ok(Buffer.compare(Buffer.from(png.data), Buffer.from(canvas.data)) === 0,
                'the same pixels as the canvas');
      // The stroke is in it, 2 pixels of border in.
      const i = ((450 + 2) * png.width + (200 + 2)) * 4;
      assert.deepEqual([...png.data.subarray(i, i + 3)], [255, 0, 0]);
      // On white paper: the same size, a white ground and the red a dark one.
      const paper = decodePng((await page.download(async () => {
        await page.clickElement(tool('画像で保存'));
        await page.clickElement({ selector: '.chooser button', text: '白い紙の PNG' });
      })).data);
      assert.deepEqual([paper.width, paper.height], [png.width, png.height]);
      const ground = ((600 + 2) * paper.width + (700 + 2)) * 4;
      assert.deepEqual([...paper.data.subarray(ground, ground + 3)], [255, 255, 255]);
      const [r, g, b] = paper.data.subarray(i, i + 3);
      assert.ok(r > 100 && r < 200 && g < 40 && b < 40, `the paper's red, not ${[r, g, b]}`);
      assert.deepEqual(page.errors, []);
    });
  });
});
