// The point labels Ａ … Ｃ' are bold on the page as on the desktop program, whichever engine
// draws them: their ink, read from the canvas, against the desktop's. PR_REPLAY_TOOL names
// the desktop side, the replay_surface program of the native build (tests/replay); without
// it these tests are skipped.
//
// Ink is white coverage on the surface's green, read in the blue channel: 0 on the green and
// on the red and yellow lines, 255 in white. Every engine rasterises glyphs a little heavier
// or lighter than the desktop's FreeType (WebKitGTK about a tenth heavier, all its text
// alike); the line letters, outlines of a regular face on both sides, measure that, so the
// labels must carry the desktop's ink relative to the letters. An engine that emboldens
// the labels its own way, or not at all, is a fifth off.
//
// The desktop is drawn at scale 1, the weight it means: through a scaled painter its Qt
// emboldens by the amount of the unscaled size, so that at device pixel ratio 2 its labels
// grow by half as much and come out about halfway between regular and bold.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { promisify } from 'node:util';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { decodePng } from './support/png.mjs';
import { site } from './support/site.mjs';

const tool = process.env.PR_REPLAY_TOOL;
const skip = !tool ? 'PR_REPLAY_TOOL is not set: build the target replay_surface and name it there'
           : !existsSync(tool) ? `PR_REPLAY_TOOL names ${tool}, which does not exist` : false;

const kLabels = ['Ａ', 'Ｂ', 'Ｃ', "Ａ'", "Ｂ'", "Ｃ'"];
const kLetters = ['ℓ', 'm', 'p', 'q', 'r'];
// The labels' ink against the letters', as a share of the desktop's; and the labels' own,
// whatever the engine's rasteriser.
const kWeightTolerance = 0.08;
const kInkTolerance = 0.15;

// Ink of each caption's box: the canvas's at its device resolution, in canvas pixels, and
// the boxes in logical surface pixels.
function pageInk(page, captions) {
  return page.evaluate((captions) => {
    const s = ParallelRatio.page.surface;
    s.flush();
    const k = s.scale * s.dpr, out = { k, italic: Boolean(s.fonts.italic), ink: {}, boxes: {} };
    for (const item of s.list.items) {
      if ((item.kind !== 'text' && item.kind !== 'image') || !captions.includes(item.caption)) continue;
      const b = item.box;
      const d = s.g.getImageData(Math.round((b.x + 2) * k), Math.round((b.y + 2) * k),
                                 Math.round(b.w * k), Math.round(b.h * k)).data;
      let ink = 0;
      for (let i = 2; i < d.length; i += 4) ink += d[i] / 255;
      out.ink[item.caption] = ink;
      out.boxes[item.caption] = b;
    }
    return out;
  }, captions);
}

function pictureInk(img, b) {
  let ink = 0;
  for (let y = b.y + 2; y < b.y + 2 + b.h; ++y)
    for (let x = b.x + 2; x < b.x + 2 + b.w; ++x) ink += img.data[(y * img.width + x) * 4 + 2] / 255;
  return ink;
}

const sum = (ink, captions) => captions.reduce((s, c) => s + ink[c], 0);

let server, origin, desktop;

before(async () => {
  if (skip) return;
  ({ server, url: origin } = await serve(site));
  // The initial screen: every label and letter shown.
  const dir = mkdtempSync(join(tmpdir(), 'pr-labels-'));
  try {
    writeFileSync(join(dir, 'start.script'), '');
    const env = { ...process.env, QT_QPA_PLATFORM: process.env.QT_QPA_PLATFORM ?? 'offscreen',
                  QT_SCALE_FACTOR: '1' };
    await promisify(execFile)(tool, [join(dir, 'start.script'), join(dir, 'start.png'), '811x702'], { env });
    desktop = decodePng(readFileSync(join(dir, 'start.png')));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
});

after(() => server?.close());

forEachEngine((engine) => describe('the point labels are as bold as on the desktop', { skip }, () => {
  for (const dpr of [1, 2]) {
    test(`at device pixel ratio ${dpr}`, async (t) => {
      const page = await LessonPage.open(engine, origin, { width: 811, height: 702, dpr });
      t.after(() => page.close());
      const web = await pageInk(page, [...kLabels, ...kLetters]);
      assert.equal(web.k, dpr, 'the form at scale 1');
      assert.ok(web.italic, 'the letters drawn from their face');
      assert.deepEqual(Object.keys(web.ink).sort(), [...kLabels, ...kLetters].sort());

      // Shares of the desktop's ink, per logical pixel.
      const share = (c) => web.ink[c] / (dpr * dpr) / pictureInk(desktop, web.boxes[c]);
      const total = (captions) => sum(web.ink, captions) / (dpr * dpr) /
        captions.reduce((s, c) => s + pictureInk(desktop, web.boxes[c]), 0);
      const labels = total(kLabels), letters = total(kLetters);
      const shares = [...kLabels, ...kLetters].map((c) => `${c} ${(share(c) * 100).toFixed(0)} %`).join(', ');
      t.diagnostic(`ink as a share of the desktop's: ${shares}`);
      assert.ok(Math.abs(labels - 1) <= kInkTolerance,
                `the labels carry ${(labels * 100).toFixed(1)} % of the desktop's ink (${shares})`);
      assert.ok(Math.abs(labels / letters - 1) <= kWeightTolerance,
                `the labels carry ${(labels * 100).toFixed(1)} % of the desktop's ink, the letters ` +
                `${(letters * 100).toFixed(1)} %: the labels are ${labels < letters ? 'lighter' : 'bolder'} ` +
                `than on the desktop (${shares})`);
    });
  }
}));
