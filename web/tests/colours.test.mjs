// 見やすい色 in every engine: the surface and the writing repainted in the colour-safe
// palette, the board itself unchanged, the setting kept on the device; printing on white.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

// [palette, ground, red chalk], as the core's palettes paint them.
const kLooks = [['lesson', 0x008000, 0xff0000], ['colour-safe', 0x173d2b, 0xff775b],
                ['lesson', 0x008000, 0xff0000]];

let server, origin;
before(async () => ({ server, url: origin } = await serve(site)));
after(() => server?.close());

forEachEngine((engine) => describe('見やすい色', () => {
  test('repaints the surface and the writing and leaves the board as it was', async (t) => {
    const page = await LessonPage.open(engine, origin, { width: 1920, height: 1080 });
    t.after(() => page.close());
    await page.evaluate(() => localStorage.removeItem('parallel-ratio.colourSafe'));
    await page.clickButton('メモ');
    await page.drag([[100, 600], [200, 600], [300, 600]]);
    const board = await page.evaluate(() => ParallelRatio.page.lesson.board());
    const button = { selector: '.tools button', text: '見やすい色' };
    for (const [i, [name, ground, red]] of kLooks.entries()) {
      if (i > 0) await page.clickElement(button);
      await page.settle();
      assert.equal(await page.pixel(650, 100), ground, `${name}: the ground`);
      assert.equal(await page.pixel(200, 600), red, `${name}: the red pen's stroke`);
      assert.equal((await page.element(button)).pressed, name === 'colour-safe' ? 'true' : 'false');
      assert.equal(await page.evaluate(() => ParallelRatio.page.lesson.board()), board);
    }
    // Kept on the device: on again after a reload.
    await page.clickElement(button);
    await page.reload();
    assert.equal(await page.pixel(650, 100), 0x173d2b);
    // The print sheet is the board on white, dark chalk.
    const sheet = await page.evaluate(() => ParallelRatio.page.lesson.boardSvgIn(2));
    assert.match(sheet, /fill="#ffffff"/);
    assert.doesNotMatch(sheet, /#008000|#173d2b/);
  });
}));
