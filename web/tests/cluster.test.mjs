// A class whose broker is a cluster of three nodes on this machine: a teacher and three pupils
// in Chromium spread over the nodes; one node killed and one frozen in the middle of the
// class, and every page back and in step within seconds, nothing lost.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { startClass } from '../tools/class-server.mjs';
import { launch } from './support/chromium.mjs';
import { barText, board, join, kView, sameBoards, skip, until } from './support/classroom.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

// The node a page is connected to, by its WebSocket port.
const nodeOf = async (cls, p) => {
  const server = await p.evaluate(() => ParallelRatio.classroom?.link?.nc?.getServer() ?? '');
  return cls.nodes.findIndex((n) => server.endsWith(`:${n.wsPort}`));
};

describe('a class on a cluster of three nodes', { skip }, () => {
  let cls, browser, teacher;
  const pupils = [];
  before(async () => {
    cls = await startClass({ host: '127.0.0.1', site, nodes: 3 });
    browser = await launch();
    teacher = await LessonPage.open(browser, cls.teacherUrl, kView);
    for (const name of ['1', '2', '3']) pupils.push(await join(browser, cls, name));
    for (const p of [teacher, ...pupils]) await until('connected', async () => (await barText(p)) === '接続中');
  });
  after(async () => {
    await browser?.close();
    await cls?.end();
  });

  test('the join service names every node, and the pages spread over them', async () => {
    assert.equal(cls.wsUrls.length, 3);
    const creds = await pupils[0].evaluate(() => ParallelRatio.classroom.creds.wsUrls);
    assert.deepEqual(creds, cls.wsUrls);
    const on = await Promise.all([teacher, ...pupils].map((p) => nodeOf(cls, p)));
    assert.ok(on.every((i) => i >= 0), on.join(' '));
    await teacher.drag([[300, 300], [340, 300], [377, 300]]);
    await sameBoards('following across the nodes', teacher, pupils);
  });

  // A pupil writes on its own board meanwhile, for the teacher's copy of it to catch up.
  async function through(what, hurt, mend, within) {
    const explorer = pupils[2];
    if (await explorer.evaluate(() => ParallelRatio.page.following))
      await explorer.clickElement({ selector: '.class-button', text: '自分で' });
    const victim = await nodeOf(cls, teacher);
    const started = Date.now();
    hurt(victim);
    try {
      await teacher.drag([[377, 300], [350, 300], [330 + Math.random() * 40, 300]]);
      await explorer.drag([[300 + Math.random() * 100, 60], [420, 90]]);
      await sameBoards(`${what}: followers in step`, teacher, pupils.slice(0, 2), within);
      await until(`${what}: the explorer's board at the teacher's`, async () => {
        const mine = await board(explorer);
        return teacher.evaluate((b) => [...ParallelRatio.classroom.boards.values()].some((x) => x.lesson.board() === b), mine);
      }, within);
    } finally {
      mend?.(victim);
    }
    return Date.now() - started;
  }

  test('the teacher\'s node killed: every page is back and in step within 5 s', async () => {
    const ms = await through('killed', (i) => process.kill(cls.nodes[i].pid, 'SIGKILL'), null, 5000);
    assert.ok(ms < 5000, `${ms} ms`);
    // The node the class server started again has rejoined: the stream is on three again.
    await until('three nodes again', async () => (await cls.nodeCount()) === 3, 15000);
  });

  test('the teacher\'s node frozen: every page is back and in step within 10 s', async () => {
    const ms = await through('frozen', (i) => process.kill(cls.nodes[i].pid, 'SIGSTOP'),
                             (i) => process.kill(cls.nodes[i].pid, 'SIGCONT'), 10000);
    assert.ok(ms < 10000, `${ms} ms`);
  });

  test('a pupil joining later gets the board as it is now', async () => {
    const late = await join(browser, cls, '4');
    await until('connected', async () => (await barText(late)) === '接続中');
    await sameBoards('the late pupil follows', teacher, [late]);
  });
});
