// Once opened, the lesson keeps itself for use without a network: its service worker holds
// every file of the site, so a reload with the network gone, and the server stopped, still
// brings up the whole lesson, with its faces and letters, and it answers input.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { launch } from './support/chromium.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

let browser, server, origin;

before(async () => {
  ({ server, url: origin } = await serve(site));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

const GREEN = 0x008000, WHITE = 0xffffff;

test('after the service worker is installed the lesson reloads with no network', async (t) => {
  const page = await LessonPage.open(browser, origin);
  t.after(() => page.close());
  // Installed, active and in control of the page (the worker claims the page it was
  // registered from).
  await page.page.waitForFunction(() => navigator.serviceWorker?.controller?.state === 'activated',
                                  null, { timeout: 15000 });
  const online = await page.evaluate(() => ({
    fonts: [...document.fonts].filter((f) => f.status === 'loaded').map((f) => f.family).sort(),
  }));

  await page.page.context().setOffline(true);
  server.closeAllConnections();
  await new Promise((done) => server.close(done));
  server = null;
  page.errors.length = 0;
  page.requests.length = 0;

  await page.page.reload();
  await page.ready();
  assert.equal(await page.page.title(), '平行線と線分の比 (by Vorlane)');
  // The WebAssembly as its own file, from the worker's cache.
  assert.equal(await page.evaluate(() => ParallelRatio.moduleFile), 'parallel-ratio-stream.js');
  assert.ok(page.requests.includes(origin + 'parallel-ratio-stream.wasm'));
  assert.equal(await page.pixel(100, 250), WHITE, 'p');
  assert.equal(await page.pixel(400, 100), GREEN);
  // The letter p's bitmap came too: some of its box is light.
  const letter = await page.letterInk();
  assert.ok(letter > 20, `letter p has ${letter} light pixels`);
  const offline = await page.evaluate(() => ({
    fonts: [...document.fonts].filter((f) => f.status === 'loaded').map((f) => f.family).sort(),
  }));
  assert.deepEqual(offline.fonts, online.fonts, 'the same faces as online');
  assert.ok(offline.fonts.length > 0, 'the site\'s own faces are in use');

  // It runs: a press above p on ℓ's side shows ℓ's prolongation.
  await page.drag([[300, 100], [300, 110]]);
  assert.equal(await page.pixel(431.25, 100), WHITE);
  assert.ok(page.requests.length > 0);
  assert.deepEqual(page.errors, []);
});
