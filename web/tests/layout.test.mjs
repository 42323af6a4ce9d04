// The page puts the form's controls and the tools where the core's layout says, at the
// window sizes of tests/support/window-sizes.json (the desktop's widget test reads the same
// table): the layout computed here by the module under node, apart from the page.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { newLesson, repo, site } from './support/site.mjs';

const sizes = JSON.parse(readFileSync(join(repo, 'tests/support/window-sizes.json'), 'utf8'));

let server, origin;
before(async () => {
  ({ server, url: origin } = await serve(site));
});
after(() => server?.close());

forEachEngine((engine) => describe('layout', () => {
  const open = (w, h, dpr) => LessonPage.open(engine, origin, { width: w, height: h, dpr });

  test('form and tools where the core puts them, at every size', async (t) => {
    const lesson = await newLesson(t);
    const table = lesson.tools();
    const fractional = engine.lacks('fractionalDpr');
    if (fractional)
      t.diagnostic(`left out: ${sizes.filter((s) => !Number.isInteger(s.dpr)).map((s) => s.what).join(', ')} (${fractional})`);
    for (const size of sizes.filter((s) => !fractional || Number.isInteger(s.dpr))) {
      const want = lesson.layoutAt(size.w, size.h, size.dpr, false);
      const page = await open(size.w, size.h, size.dpr);
      const got = await page.evaluate(() => {
        const box = (e) => {
          const r = e.getBoundingClientRect();
          return { x: r.left, y: r.top, w: r.width, h: r.height };
        };
        const p = ParallelRatio.page;
        const tools = [...p.tools.buttons].filter(([, b]) => !b.hidden)
          .map(([i, b]) => ({ tool: i, ...box(b) }));
        return {
          surface: box(p.surface.canvas), commands: p.commands.map(box),
          options: p.options.map((o) => box(o.parentElement)), heading: box(p.heading), tools,
          rooms: p.optionRooms.map(box),
        };
      });
      const near = (a, b, what) => {
        for (const k of ['x', 'y', 'w', 'h'])
          assert.ok(Math.abs(a[k] - b[k]) <= 1, `${size.what}: ${what} ${k} ${a[k]} != ${b[k]}`);
      };
      near(got.surface, want.surface, 'surface');
      near(got.heading, want.heading, 'heading');
      want.commands.forEach((r, i) => near(got.commands[i], r, `command ${i + 1}`));
      want.options.forEach((r, i) => near(got.options[i], r, `pen ${i}`));
      want.options.forEach((r, i) => near(got.rooms[i], r.hit, `pen ${i}'s room`));
      assert.deepEqual(got.tools.map((b) => table[b.tool].id), want.buttons.map((b) => table[b.tool].id),
                       `${size.what}: the tools shown`);
      want.buttons.forEach((r, i) => near(got.tools[i], r, `${table[r.tool].id}`));
      for (const b of got.tools)
        assert.ok(b.w >= 44 && b.h >= 44, `${size.what}: ${table[b.tool].id} a fingertip's size`);
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  });

  test('the table\'s keys work the page\'s controls and tools', async (t) => {
    const page = await open(1180, 820, 1);
    const help = { selector: '[role=dialog]', name: '使い方' };
    const state = () => page.evaluate(() => {
      const p = ParallelRatio.page;
      return { memo: p.commands[2].getAttribute('aria-pressed'),
               pen: p.options.findIndex((o) => o.checked),
               pointer: p.surface.canvas.classList.contains('large-pointer') };
    });
    // Each row: the key pressed, then what the page shows.
    const rows = [
      ['Control+m', { memo: 'true', pen: 0, pointer: false }],
      ['4', { memo: 'true', pen: 7, pointer: false }],     // the upper row's eraser
      ['Control+Shift+L', { memo: 'true', pen: 7, pointer: true }],
      ['Alt+Shift+R', { memo: 'false', pen: 7, pointer: true }], // 初期画面: memo ends
    ];
    for (const [key, want] of rows) {
      await page.key(key);
      assert.deepEqual(await state(), want, key);
    }
    await page.key('F1');
    assert.ok((await page.element(help)).visible, 'F1 opens the help');
    const listed = await page.texts('[role=dialog][aria-label="使い方"] th');
    const table = (await newLesson(t)).keyHelp().map(([keys]) => keys);
    assert.deepEqual(listed, table, 'the help lists the table\'s keys');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('on a touch screen the pens are on the strip too; every pen takes a press in its room', async () => {
    const page = await LessonPage.open(engine, origin + '?touch', { width: 1024, height: 768, dpr: 1 });
    const pen = () => page.evaluate(() => ParallelRatio.page.options.findIndex((o) => o.checked));
    const strip = await page.evaluate(() => {
      const p = ParallelRatio.page;
      return [...p.tools.buttons].filter(([, b]) => !b.hidden)
        .sort(([, a], [, b]) => a.offsetTop - b.offsetTop)
        .map(([i, b]) => ({ id: p.table[i].id, index: p.table[i].index, w: b.offsetWidth }));
    });
    assert.deepEqual(strip.filter((b) => b.id === 'pen').map((b) => [b.index, b.w]),
                     [4, 5, 6, 7, 0, 1, 2, 3].map((i) => [i, 44]));
    await page.clickButton('メモ');
    await page.clickElement({ selector: 'button.tool', name: '太字 青色' });
    assert.equal(await pen(), 6);
    // Near the window's top edge above the thick red pen, and on the pixel row where the
    // upper pen's box reaches into the lower pen's room.
    const rooms = await page.evaluate(() => ParallelRatio.page.placed.options.map((o) => o.hit));
    const tap = async (x, y) => {
      await page.driver.mouse('down', x, y, 'left');
      await page.driver.mouse('up', x, y, 'left');
    };
    await tap(rooms[4].x + 2, rooms[4].y + 1);
    assert.equal(await pen(), 4);
    await tap(rooms[1].x + rooms[1].w / 2, rooms[1].y + 0.5);
    assert.equal(await pen(), 1);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('その他 opens the tools a short strip has no room for, and they work', async () => {
    const page = await open(640, 480, 1);
    await page.clickElement({ selector: 'button', name: 'その他の道具' });
    const items = await page.texts('[role=menuitem]');
    assert.deepEqual(items, ['画像で保存', 'コピー', '印刷', '使い方', '全画面', '大きい矢印',
                             '見やすい色', '比を表示', '相似な三角形']);
    await page.clickElement({ selector: '[role=menuitem]', name: '使い方' });
    const help = { selector: '[role=dialog]', name: '使い方' };
    assert.ok((await page.element(help)).visible);
    await page.key('Escape');
    assert.ok(!(await page.element(help)).visible);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
}));
