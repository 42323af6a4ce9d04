// What the tests of a class in the browser share: pages joining, what they show, and waits.
import assert from 'node:assert/strict';

import { kNatsServer } from '../../tools/class-server.mjs';
import { engineNames } from './engines.mjs';
import { LessonPage } from './LessonPage.mjs';

export const kView = { width: 1180, height: 820 };

// Polls fn until it returns something true; fails with what it last returned.
export async function until(what, fn, timeout = 8000) {
  const end = Date.now() + timeout;
  let last;
  for (;;) {
    last = await fn();
    if (last === true || (last && last !== true && last.ok)) return last;
    if (Date.now() > end) assert.fail(`${what}: ${JSON.stringify(last)?.slice(0, 300)}`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

export const board = (p) => p.evaluate(() => ParallelRatio.page.lesson.board());
export const barText = (p) => p.evaluate(() => document.querySelector('.class-state')?.textContent ?? null);
export const said = (p) => p.evaluate(() => {
  const box = document.querySelector('.message');
  return box && !box.hidden ? box.textContent : null;
});
export const following = (p) => p.evaluate(() => ParallelRatio.page.following);

export async function sameBoards(what, teacher, pupils, timeout = 8000) {
  await until(what, async () => {
    const t = await board(teacher);
    const all = await Promise.all(pupils.map(board));
    return { ok: all.every((b) => b === t), differ: all.map((b) => b === t) };
  }, timeout);
}

export async function join(browser, cls, name, page = null) {
  const p = page ?? await LessonPage.open(browser, cls.pupilUrl, kView);
  await p.waitForElement('.class-join input');
  await p.evaluate(([code, name]) => {
    const [c, n] = document.querySelectorAll('.class-join input');
    c.value = code.toLowerCase().slice(0, 4) + '-' + code.slice(4); // as a pupil may type it
    n.value = name;
  }, [cls.classCode, name]);
  await p.clickElement({ selector: '.class-join button' });
  return p;
}

// Why the class's browser tests cannot run here, or false.
export const skip = !engineNames().includes('chromium') ? 'Chromium is not among PR_ENGINES'
  : !kNatsServer ? 'nats-server is not installed (apt install nats-server)' : false;
