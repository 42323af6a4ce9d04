// A class on this machine as a teacher and pupils have it: a real nats-server with the class's
// credentials, the teacher's page and three pupils' pages in Chromium, each joining through
// its own address, every board carried by the broker over WebSocket.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join as joinPath } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { startClass } from '../tools/class-server.mjs';
import { launch, newTab } from './support/chromium.mjs';
import {
  barText, board, following, join, kView, said, sameBoards, skip, until,
} from './support/classroom.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';


describe('a class in Chromium', { skip }, () => {
  let cls, browser, teacher;
  const pupils = [];
  before(async () => {
    cls = await startClass({ host: '127.0.0.1', site });
    browser = await launch();
    teacher = await LessonPage.open(browser, cls.teacherUrl, kView);
  });
  after(async () => {
    await browser?.close();
    await cls?.end();
  });

  test('the teacher\'s page takes the class up, with the key out of sight', async () => {
    await until('connected', async () => (await barText(teacher)) === '接続中');
    assert.equal(await teacher.evaluate(() => location.hash), '#teacher');
    const code = await teacher.element({ selector: '.class-code' });
    assert.ok(code.text.includes(cls.classCode.slice(0, 4) + '-' + cls.classCode.slice(4)), code.text);
  });

  test('three pupils join, two of the same name told apart, and follow the teacher', async () => {
    for (const name of ['1', '2', '2']) pupils.push(await join(browser, cls, name));
    for (const p of pupils) await until('a pupil connected', async () => (await barText(p)) === '接続中');
    assert.equal(new Set(cls.pupils().map((p) => p.id)).size, 3);
    await teacher.drag([[300, 300], [340, 300], [377, 300]]);
    await teacher.clickButton('メモ');
    await teacher.drag([[100, 100], [150, 130], [200, 120]]);
    await sameBoards('pupils follow', teacher, pupils);
    assert.ok(JSON.parse(await board(teacher)).strokes.length === 1);
    // Following, nothing on the pupil's page changes the board.
    assert.ok((await pupils[0].buttonsDisabled()).every((d) => d));
    await pupils[0].drag([[400, 100], [450, 120]]);
    assert.equal(await board(pupils[0]), await board(teacher));
  });

  test('a pupil explores its own board, which the teacher sees in the grid and shows (発表)', async () => {
    const p = pupils[2];
    await p.clickElement({ selector: '.class-button', text: '自分で' });
    assert.equal(await following(p), false);
    await p.drag([[400, 100], [450, 160], [500, 150]]);
    await until('the teacher mirrors the pupil', async () => {
      const [mine, seen] = await Promise.all([board(p), teacher.evaluate(() => {
        const b = [...ParallelRatio.classroom.boards.values()].find((x) => x.lesson.board().includes('450'));
        return b?.lesson.board() ?? null;
      })]);
      return mine === seen;
    });
    await teacher.clickElement({ selector: '.class-button', text: '生徒の板書' });
    await until('a tile for each pupil', async () =>
      (await teacher.evaluate(() => document.querySelectorAll('.class-tile').length)) === 3);
    const hot = await teacher.evaluate(() =>
      [...ParallelRatio.classroom.boards.values()].findIndex((x) => x.lesson.board().includes('450')));
    await teacher.clickElement({ selector: '.class-board', nth: hot });
    await teacher.waitForElement('.class-present');
    // The board shown full size has the pupil's second stroke in red ink where it lies.
    const ink = await teacher.evaluate(() => {
      const c = document.querySelector('.class-present canvas');
      const g = c.getContext('2d');
      const d = g.getImageData(0, 0, c.width, c.height).data;
      let red = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] < 80 && d[i + 2] < 80) red++;
      return { red, w: c.width };
    });
    assert.ok(ink.w > 800, `shown ${ink.w} px wide`);
    assert.ok(ink.red > 100, `${ink.red} red pixels`);
    await teacher.clickElement({ selector: '.class-present button', text: '戻る' });
    await teacher.clickElement({ selector: '.class-grid-head button', text: '閉じる' });
  });

  test('配る gives every pupil the teacher\'s board as its own; all follow again at once', async () => {
    await teacher.clickElement({ selector: '.class-button', text: '配る' });
    await sameBoards('handed out', teacher, pupils);
    for (const p of pupils) assert.equal(await following(p), false);
    // Their own now: a pupil's stroke stays its own.
    await pupils[0].drag([[500, 300], [560, 330]]);
    assert.notEqual(await board(pupils[0]), await board(teacher));
    await teacher.clickElement({ selector: '.class-button', text: '全員に先生の板書' });
    await until('all follow', async () => (await Promise.all(pupils.map(following))).every((f) => f));
    await sameBoards('following again', teacher, pupils);
  });

  test('the teacher\'s page reloaded takes the class up again with its board', async () => {
    await teacher.drag([[377, 300], [400, 300]]);
    await sameBoards('before', teacher, pupils);
    const was = await board(teacher);
    await teacher.reload();
    await until('connected', async () => (await barText(teacher)) === '接続中');
    assert.equal(await board(teacher), was);
    await teacher.drag([[400, 300], [377, 300]]);
    await sameBoards('following the reloaded page', teacher, pupils);
  });

  test('the broker restarts: every page reconnects and is in step again', async () => {
    const p = pupils[2];
    await p.clickElement({ selector: '.class-button', text: '自分で' });
    await cls.restartBroker();
    // The teacher's board never waits for the network; the pupil writes while away.
    await teacher.drag([[377, 300], [340, 300], [320, 300]]);
    await p.drag([[420, 420], [470, 440]]);
    for (const q of [teacher, ...pupils]) await until('back', async () => (await barText(q)) === '接続中', 15000);
    await sameBoards('in step after the restart', teacher, pupils.slice(0, 2));
    await until('the pupil\'s writing reached the teacher', async () => {
      const mine = await board(p);
      return teacher.evaluate((b) => [...ParallelRatio.classroom.boards.values()].some((x) => x.lesson.board() === b), mine);
    }, 10000);
  });

  test('a frozen broker is given up in seconds; what was done meanwhile goes once it thaws', async () => {
    const away = [teacher, pupils[1], pupils[2]];
    process.kill(cls.brokerPid, 'SIGSTOP');
    try {
      // The browser itself would wait about a minute for the WebSocket to close.
      for (const p of away) await until('noticed', async () => (await barText(p)) === '再接続中…', 10000);
      await teacher.drag([[320, 300], [360, 300]]);
      await pupils[2].drag([[300, 60], [360, 80]]);
    } finally {
      process.kill(cls.brokerPid, 'SIGCONT');
    }
    for (const p of away) await until('back', async () => (await barText(p)) === '接続中', 15000);
    await sameBoards('in step after the thaw', teacher, pupils.slice(0, 2));
    await until('the pupil\'s writing reached the teacher', async () => {
      const mine = await board(pupils[2]);
      return teacher.evaluate((b) => [...ParallelRatio.classroom.boards.values()].some((x) => x.lesson.board() === b), mine);
    }, 10000);
  });

  test('the broker refuses a page what its credentials do not allow', async () => {
    const outcome = await pupils[1].evaluate(async ({ tag, other }) => {
      const c = ParallelRatio.classroom.creds;
      const errors = [];
      const nc = await PRNats.wsconnect({
        servers: c.wsUrl, inboxPrefix: c.inboxPrefix, reconnect: false,
        authenticator: PRNats.jwtAuthenticator(c.jwt, new TextEncoder().encode(c.seed)),
      });
      (async () => { for await (const s of nc.status()) if (s.type === 'error') errors.push(String(s.error)); })();
      const board = ParallelRatio.page.lesson.liveSnapshot() || ParallelRatio.page.lesson.board();
      nc.publish(`cls.${tag}.teacher`, new TextEncoder().encode(board)); // as the teacher
      nc.publish(`cls.${tag}.pupil.${other}`, new TextEncoder().encode(board)); // as another pupil
      nc.subscribe(`cls.${tag}.pupil.>`); // reading the other pupils
      await nc.flush();
      await new Promise((r) => setTimeout(r, 300));
      await nc.close();
      let outsider = 'connected';
      try {
        const o = await PRNats.wsconnect({ servers: c.wsUrl, reconnect: false, timeout: 3000 });
        await o.close();
      } catch (e) {
        outsider = String(e.message);
      }
      return { errors, outsider };
    }, { tag: cls.classTag, other: cls.pupils().find((p) => p.name === '1').id });
    assert.equal(outcome.errors.filter((e) => /permissions violation/i.test(e)).length, 3, outcome.errors.join('; '));
    assert.match(outcome.outsider, /authori[sz]ation/i);
    await sameBoards('nothing reached the followers', teacher, pupils.slice(0, 2));
  });

  test('a locked class takes no one; a removed pupil is out at once', async () => {
    await teacher.clickElement({ selector: '.class-button', text: '締め切る' });
    await until('locked', () => cls.locked);
    const late = await join(browser, cls, '9');
    await until('refused', async () =>
      (await late.evaluate(() => document.querySelector('.class-error')?.textContent)) === 'この授業には今は参加できません');
    await late.close();

    await teacher.clickElement({ selector: '.class-button', text: '生徒の板書' });
    const remove = { selector: '.class-remove', name: '外す 1' };
    await teacher.clickElement(remove);
    await teacher.clickElement(remove); // the second press confirms
    await until('removed', async () => (await said(pupils[0]))?.includes('参加できなくなりました'), 8000);
    assert.equal(cls.pupils().length, 2);
    await teacher.clickElement({ selector: '.class-grid-head button', text: '閉じる' });
  });

  test('the teacher ends the class: pupils are told, boards stay, the data goes', async () => {
    const stay = pupils.slice(1);
    const before = await Promise.all(stay.map(board));
    const end = { selector: '.class-button', text: '授業を終える' };
    await teacher.clickElement(end);
    await teacher.clickElement({ selector: '.class-button', text: 'もう一度押すと終わります' });
    for (const p of stay) await until('told', async () => (await said(p))?.includes('授業を終えました'));
    assert.deepEqual(await Promise.all(stay.map(board)), before);
    await until('the store is gone', () => !existsSync(cls.storeDir));
    for (const p of [teacher, ...pupils]) assert.deepEqual(p.errors.filter((e) => !/WebSocket|ERR_CONNECTION/.test(e)), []);
  });
});

describe('a class over HTTPS and WSS', { skip }, () => {
  test('with a certificate, pages are in a secure context and follow over WSS', async (t) => {
    const dir = mkdtempSync(joinPath(tmpdir(), 'pr-cert-'));
    t.after(() => rmSync(dir, { recursive: true, force: true }));
    const [cert, key] = [joinPath(dir, 'cert.pem'), joinPath(dir, 'key.pem')];
    execFileSync('openssl', ['req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-days', '1',
      '-subj', '/CN=localhost', '-addext', 'subjectAltName=DNS:localhost',
      '-keyout', key, '-out', cert], { stdio: 'ignore' });
    const cls = await startClass({ host: '127.0.0.1', publicHost: 'localhost', site, cert, key });
    t.after(() => cls.end());
    assert.match(cls.pupilUrl, /^https:\/\/localhost:/);
    assert.match(cls.wsUrl, /^wss:\/\/localhost:/);
    const browser = await launch();
    t.after(() => browser.close());
    // The certificate is the test's own: the browser is told to take it.
    const open = async (url) => {
      const context = await browser.newContext({ ignoreHTTPSErrors: true, viewport: kView });
      const p = new LessonPage(await newTab(context));
      await p.load(url);
      return p;
    };
    const teacher = await open(cls.teacherUrl);
    const pupil = await join(browser, cls, '1', await open(cls.pupilUrl));
    for (const p of [teacher, pupil]) await until('connected', async () => (await barText(p)) === '接続中');
    assert.equal(await pupil.evaluate(() => window.isSecureContext), true);
    await teacher.drag([[300, 300], [340, 300]]);
    await sameBoards('the pupil follows', teacher, [pupil]);
  });
});
