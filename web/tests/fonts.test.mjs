// The site's own faces: subsets that must hold every character the lesson shows, in the face
// it is shown in, and that the page really uses, for its controls and on the canvas.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { newLesson, site } from './support/site.mjs';

// Debian's Python, which has fontTools; PR_PYTHON names another.
const kPython = process.env.PR_PYTHON ??
  (existsSync('/usr/bin/python3') ? '/usr/bin/python3' : 'python3');

// The characters a font file maps to glyphs, read by fontTools.
function cmapOf(file) {
  const out = execFileSync(kPython, ['-c',
    'import json, sys\nfrom fontTools.ttLib import TTFont\n' +
    'print(json.dumps(sorted(TTFont(sys.argv[1]).getBestCmap())))', file]);
  return new Set(JSON.parse(out).map((c) => String.fromCodePoint(c)));
}

const cmaps = {};
function cmap(face) {
  cmaps[face] ??= cmapOf(join(site, `fonts/${face}.woff2`));
  return cmaps[face];
}

function missing(face, text) {
  return [...text].filter((c) => c.trim() !== '' && !cmap(face).has(c));
}

const messages = createRequire(import.meta.url)(join(site, 'messages.js')).messages;

describe('the subsets hold the lesson\'s texts', () => {
  test('every text the module names, in the face it names', async (t) => {
    const l = await newLesson(t);
    const texts = l.texts();
    assert.ok(texts.length >= 25, 'the window\'s captions and the surface\'s labels');
    for (const [text, face] of texts)
      assert.deepEqual(missing(face, text), [], `${face}: ${text}`);
    for (const text of Object.values(messages))
      assert.deepEqual(missing('gothic', text), [], text);
  });

  // The list the build reads must not miss what the form shows anywhere: the captions of the
  // layout, and the texts and letters the draw list carries in the states that show Ｄ, Ｅ,
  // Ｆ and Ｇ.
  test('every text the layout and the draw list carry, in any state', async (t) => {
    const l = await newLesson(t);
    const d = l.design();
    const windowTexts = [d.heading, ...d.rowCaptions, ...d.commands, ...d.options];
    for (const c of windowTexts)
      assert.deepEqual(missing(c.font.face, c.caption), [], c.caption);
    assert.deepEqual(missing('gothic', l.state().caption), []);

    const seen = new Set();
    const look = () => {
      for (const item of l.drawList().items) {
        if (item.kind !== 'text' && item.kind !== 'image') continue;
        seen.add(item.caption);
        assert.deepEqual(missing(item.style.face, item.caption), [], item.caption);
      }
    };
    look();
    // The copy of ℓ slid right shows Ｄ, Ｅ, Ｆ; both prolongations bring Ｇ.
    l.press(1, 0, 275, 350);
    l.move(1, 0, 330, 350);
    l.release(1, 0, 330, 350);
    look();
    l.press(1, 0, 420, 100);
    l.release(1, 0, 420, 100);
    l.press(1, 0, 465, 100);
    l.release(1, 0, 465, 100);
    look();
    for (const label of ['Ａ', 'Ｄ', 'Ｇ', "Ｃ'", 'ℓ', 'm']) assert.ok(seen.has(label), label);
  });

  test('the subsets hold little beyond those texts', async (t) => {
    const l = await newLesson(t);
    const wanted = { gothic: new Set(), mincho: new Set(), italic: new Set() };
    for (const [text, face] of l.texts()) for (const c of text) wanted[face].add(c);
    for (const text of Object.values(messages)) for (const c of text) wanted.gothic.add(c);
    for (const face of ['gothic', 'mincho', 'italic']) {
      const extra = [...cmap(face)].filter((c) => !wanted[face].has(c));
      // A face's substitutions may bring a few related forms along, never a whole script.
      assert.ok(extra.length <= 16, `${face} holds ${extra.length} characters more: ${extra.join('')}`);
    }
  });
});

forEachEngine((engine) => describe('the page uses the subsets', () => {
  let server, origin;

  before(async () => {
    ({ server, url: origin } = await serve(site));
  });

  after(() => server?.close());

  // Each line letter drawn from the italic face covers about what its bitmap covers, where
  // the bitmap has it: the ink's centre within half a logical pixel, its amount within a
  // third. The red channel measures the ink: 0 on the surface's green, 255 in a white stroke.
  test('the line letters are outlines of the italic face in the bitmaps\' places', async (t) => {
    const page = await LessonPage.open(engine, origin, { width: 1280, height: 800, dpr: 2 });
    t.after(() => page.close());
    const letters = await page.evaluate(() => {
      const s = ParallelRatio.page.surface, k = s.scale * s.dpr;
      const ink = (item, italic) => {
        const c = document.createElement('canvas');
        c.width = Math.ceil(item.box.w * k);
        c.height = Math.ceil(item.box.h * k);
        const g = c.getContext('2d');
        g.setTransform(k, 0, 0, k, -item.box.x * k, -item.box.y * k);
        const saved = [s.g, s.fonts];
        s.g = g;
        s.fonts = { ...s.fonts, italic: italic ? s.fonts.italic : null };
        s.paintItem(item);
        [s.g, s.fonts] = saved;
        const d = g.getImageData(0, 0, c.width, c.height).data;
        let sum = 0, sx = 0, sy = 0;
        for (let y = 0; y < c.height; ++y)
          for (let x = 0; x < c.width; ++x) {
            const r = d[(y * c.width + x) * 4];
            sum += r;
            sx += r * x;
            sy += r * y;
          }
        return { area: sum / 255 / (k * k), x: sx / sum / k, y: sy / sum / k };
      };
      return s.list.items.filter((i) => i.kind === 'image')
        .map((i) => ({ caption: i.caption, glyph: ink(i, true), bitmap: ink(i, false) }));
    });
    assert.deepEqual(letters.map((l) => l.caption).sort(), ['m', 'p', 'q', 'r', 'ℓ']);
    for (const { caption, glyph, bitmap } of letters) {
      assert.ok(Math.abs(glyph.x - bitmap.x) < 0.5 && Math.abs(glyph.y - bitmap.y) < 0.5,
                `${caption}: ink centred at ${glyph.x}, ${glyph.y}, the bitmap's at ${bitmap.x}, ${bitmap.y}`);
      assert.ok(glyph.area > bitmap.area * 0.67 && glyph.area < bitmap.area * 1.5,
                `${caption}: ${glyph.area} pixels of ink, the bitmap ${bitmap.area}`);
    }
  });

  for (const dpr of [1, 2]) {
    test(`for the controls and the canvas, at pixel ratio ${dpr}`, async (t) => {
      const page = await LessonPage.open(engine, origin, { width: 1280, height: 800, dpr });
      t.after(() => page.close());
      const loaded = await page.evaluate(() => [...document.fonts]
        .filter((f) => f.status === 'loaded').map((f) => f.family.replaceAll('"', '')));
      assert.deepEqual(loaded.sort(),
                       ['ParallelRatio Gothic', 'ParallelRatio Italic', 'ParallelRatio Mincho']);
      for (const file of ['fonts/gothic.woff2', 'fonts/mincho.woff2', 'fonts/italic.woff2'])
        assert.ok(page.requests.includes(origin + file), `${file} was not loaded`);

      // The help's texts are put in after the first frame; the help shown has them.
      await page.key('F1');
      await page.waitForElement('.help');
      // Each piece of text on the page, with the first family its element asks for: that
      // family must be one of the subsets, and hold every character of the text.
      const shown = await page.evaluate(() => {
        const out = [];
        const walker = document.createTreeWalker(document.getElementById('form'), NodeFilter.SHOW_TEXT);
        for (let n = walker.nextNode(); n; n = walker.nextNode()) {
          // Text for screen readers only is never drawn.
          if (!n.data.trim() || n.parentElement.closest('.unseen')) continue;
          const family = getComputedStyle(n.parentElement).fontFamily.split(',')[0].trim();
          out.push([n.data, family.replaceAll('"', '')]);
        }
        const s = ParallelRatio.page.surface;
        return { text: out, canvas: [s.fonts.gothic, s.fonts.mincho] };
      });
      const faceOf = { 'ParallelRatio Gothic': 'gothic', 'ParallelRatio Mincho': 'mincho' };
      assert.ok(shown.text.length >= 15, 'captions of the buttons, options and labels');
      assert.ok(shown.text.some(([text]) => text === messages.ended), 'the notice after 終了');
      for (const [text, family] of shown.text) {
        assert.ok(family in faceOf, `${text} is set in ${family}`);
        assert.deepEqual(missing(faceOf[family], text), [], text);
      }
      assert.match(shown.canvas[0], /^"?ParallelRatio Gothic"?,/);
      assert.equal(await page.evaluate(() => ParallelRatio.page.surface.fonts.italic),
                   '"ParallelRatio Italic"');
      assert.match(shown.canvas[1], /^"?ParallelRatio Mincho"?,/);
      assert.deepEqual(page.errors, []);
    });
  }
}));
