// The page as the keyboard and assistive technology meet it, in each engine: Tab from left to
// right, the notice after 終了 modal to both, and the pictures and files the tools hand over.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

let server, origin;

before(async () => {
  ({ server, url: origin } = await serve(site));
});

after(() => server?.close());

// The accessible name of the focused element.
const focused = (page) => page.evaluate(() => {
  const e = document.activeElement;
  return e ? (e.getAttribute('aria-label') ?? e.textContent).trim() : '';
});

// Replaces the browser's save picker (or adds one where it has none) by one that keeps what
// is written, under the name a teacher would type: `name`.
function fakeSavePicker(page, name) {
  return page.evaluate((name) => {
    globalThis.__prSaved = new Promise((done) => {
      globalThis.showSaveFilePicker = async () => ({
        name,
        createWritable: async () => {
          const parts = [];
          return {
            write: async (b) => { parts.push(b); },
            close: async () => done({ name, text: await new Blob(parts).text() }),
          };
        },
      });
    });
  }, name);
}

forEachEngine((engine) => {
  async function open(t) {
    const page = await LessonPage.open(engine, origin, { width: 1180, height: 820 });
    t.after(() => page.close());
    return page;
  }

  describe('keyboard and assistive technology', () => {
    test('Tab runs left to right through the form, the chosen pen one stop, then the tools', async (t) => {
      const page = await open(t);
      const tabs = async (n) => {
        const names = [];
        for (let i = 0; i < n; ++i) {
          await page.key('Tab');
          names.push(await focused(page));
        }
        return names;
      };
      // The pens take focus only while they can be chosen, in memo mode.
      assert.deepEqual(await tabs(5), ['初期画面', '対角線', 'メモ', '終了', '板書を開く']);
      await page.clickButton('メモ');
      assert.deepEqual(await tabs(2), ['細字 赤色', '終了']);
    });

    test('after 終了 the notice alone takes input, and focus comes back where it was', async (t) => {
      const page = await open(t);
      // 終了 reached by the keyboard, as a teacher at the projector's keyboard would.
      await page.evaluate(() => document.activeElement.blur());
      for (let i = 0; i < 4; ++i) await page.key('Tab');
      assert.equal(await focused(page), '終了');
      await page.key('Enter');
      await page.waitForElement('.ended');
      const state = await page.evaluate(() => {
        const veil = document.querySelector('.ended');
        const beneath = [...document.querySelectorAll('#form > *')].filter((e) => e !== veil);
        return {
          modal: veil.getAttribute('aria-modal'),
          reachable: beneath.filter((e) => !e.inert).map((e) => e.className),
          enabled: [...document.querySelectorAll('#form button, #form input')]
            .filter((e) => !veil.contains(e) && !e.disabled && !e.closest('[hidden]'))
            .map((e) => e.textContent || e.name),
          focus: document.activeElement.textContent,
        };
      });
      assert.deepEqual(state, { modal: 'true', reachable: [], enabled: [], focus: 'もう一度始める' });
      // A key of a tool does nothing; Tab reaches nothing beneath (only the notice's button
      // and the browser's own controls).
      await page.key('F1');
      assert.equal((await page.element('.help')).visible, false);
      for (let i = 0; i < 3; ++i) {
        await page.key('Tab');
        assert.ok(await page.evaluate(() => !document.activeElement.closest('[inert]')));
      }
      await page.clickElement('.ended button');
      assert.equal(await focused(page), '終了');
      assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('#form > *')]
        .filter((e) => e.inert).length), 0);
    });

    test('the canvas is named and described, and the pens named in full', async (t) => {
      const page = await open(t);
      const about = await page.evaluate(() => {
        const c = document.querySelector('canvas');
        const d = document.getElementById(c.getAttribute('aria-describedby'));
        const pens = [...document.querySelectorAll('input[type=radio]')].map((i) => i.getAttribute('aria-label'));
        return { name: c.getAttribute('aria-label'), about: d?.textContent ?? '', pens, main: !!document.querySelector('[role=main]') };
      });
      assert.equal(about.name, '図形');
      assert.match(about.about, /平行線 p、q、r/);
      assert.equal(new Set(about.pens).size, 8, about.pens.join(', '));
      assert.ok(about.pens.includes('太字 赤色') && about.pens.includes('細字 赤色'));
      assert.ok(about.main);
    });
  });

  describe('files and pictures', () => {
    // With the browser's save picker (Chromium's), on white paper, and without it (a
    // download), as the surface shows.
    for (const picker of [true, false]) {
      test(`画像で保存 writes the core's SVG ${picker ? 'on white through the save picker' : 'from the chooser'}`, async (t) => {
        const page = await open(t);
        await page.drag([[300, 300], [330, 300]]); // the copy of ℓ moves: the picture shows it
        let saved;
        if (picker) {
          await fakeSavePicker(page, 'board.svg');
          await page.clickElement({ selector: '.tools button', name: '画像として保存' });
          await page.clickElement({ selector: '.chooser button', text: '白い紙の SVG' });
          saved = await page.evaluate(() => globalThis.__prSaved);
          assert.equal(saved.text, await page.evaluate(() => ParallelRatio.page.lesson.boardSvgIn(2)));
          // It carries the labels' face, so it looks the same where the face is missing.
          assert.match(saved.text, /@font-face\{font-family:ParallelRatio Mincho;font-weight:bold;[^}]*base64,d09GMg/);
          assert.match(saved.text, /<rect[^>]* fill="#ffffff"/);
          return;
        } else {
          const file = await page.download(async () => {
            await page.clickElement({ selector: '.tools button', name: '画像として保存' });
            await page.clickElement({ selector: '.chooser button', text: 'SVG' });
          });
          saved = { name: file.name, text: Buffer.from(file.data, 'base64').toString('utf8') };
          assert.match(saved.name, /^平行線と線分の比 \d{4}-\d\d-\d\d \d{4}\.svg$/);
        }
        assert.equal(saved.text, await page.evaluate(() => ParallelRatio.page.lesson.boardSvg()));
        assert.match(saved.text, /<svg[^>]* viewBox="0 0 793 641"/);
      });
    }

    test('保存 through the save picker writes the board file, byte for byte', async (t) => {
      const page = await open(t);
      await page.drag([[300, 300], [330, 300]]);
      await fakeSavePicker(page, 'x.prboard');
      await page.clickElement({ selector: '.tools button', name: '板書を保存' });
      const saved = await page.evaluate(() => globalThis.__prSaved);
      assert.equal(saved.text, await page.evaluate(() => ParallelRatio.page.lesson.board()));
      assert.equal(await page.evaluate((t) => ParallelRatio.page.lesson.checkBoard(t), saved.text), '');
    });
  });
});
