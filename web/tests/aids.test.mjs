// 比を表示 and 相似な三角形 in every engine: drawn by the core over the figure, the triangles
// blended as the desktop blends them, and nothing of them while off.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

// Over the green ground, the light blue fill of Ａ'ＦＣ', then the yellow of Ａ'ＥＢ', each at
// 80 / 255.
const over = (under, colour) => under.map((c, i) => c + (colour[i] - c) * 80 / 255);
const rgb = (v) => [(v >> 16) & 255, (v >> 8) & 255, v & 255];
const kBig = over([0, 128, 0], [0, 0, 255]);
const kBoth = over(kBig, [255, 255, 0]);

let server, origin;
before(async () => ({ server, url: origin } = await serve(site)));
after(() => server?.close());

forEachEngine((engine) => describe('the aids', () => {
  test('the copy slid through Ａ\': the similar triangles shaded, EB\' : FC\' = 2 : 5', async (t) => {
    // At the design size, where a pixel of the pointer is a pixel of the figure; the keys.
    const page = await LessonPage.open(engine, origin, { width: 811, height: 702 });
    t.after(() => page.close());
    await page.drag([[300, 300], [400, 300], [452, 300]]); // the copy's top end to 552
    await page.settle();
    const plain = await page.canvasImage();
    const both = async () => {
      for (const key of ['Alt+Shift+H', 'Alt+Shift+S']) await page.key(key);
      await page.settle();
    };
    await both();
    const near = (got, want, what) => assert.ok(got.every((c, i) => Math.abs(c - want[i]) <= 3),
                                                `${what}: ${got} for ${want.map(Math.round)}`);
    near(rgb(await page.pixel(476, 317)), kBoth, 'inside Ａ\'ＥＢ\'');
    near(rgb(await page.pixel(440, 470)), kBig, 'inside Ａ\'ＦＣ\' alone');
    const texts = await page.evaluate(() => ParallelRatio.page.lesson.drawList().items
      .filter((i) => i.kind === 'text' && i.style.face === 'gothic').map((i) => i.caption));
    assert.ok(texts.includes("EB' : FC' = 2 : 5"), texts.join(' | '));
    // Off again: every pixel as before.
    await both();
    const again = await page.canvasImage();
    assert.ok(Buffer.compare(Buffer.from(again.data), Buffer.from(plain.data)) === 0,
              'the same pixels as before');
    assert.deepEqual(page.errors, []);
  });
}));
