// The live class as the page carries it: the teacher's page hands over the core's messages for
// real input, a pupil's page fed those bytes shows the same board, and a message on the wrong
// subject changes nothing.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { serve } from '../tools/serve.mjs';
import { forEachEngine } from './support/engines.mjs';
import { LessonPage } from './support/LessonPage.mjs';
import { site } from './support/site.mjs';

let server, origin;
before(async () => ({ server, url: origin } = await serve(site)));
after(() => server?.close());

forEachEngine((engine) => describe('the live class', () => {
  test('a pupil\'s page follows the teacher\'s from the bytes alone', async (t) => {
    const teacher = await LessonPage.open(engine, origin, { width: 811, height: 702 });
    t.after(() => teacher.close());
    const pupil = await teacher.openTab(origin);
    t.after(() => pupil.closeTab());
    const sent = [];
    const take = async () => sent.push(...await teacher.evaluate(() => {
      const l = ParallelRatio.page.lesson, out = [];
      const actions = l.liveTake();
      if (actions) out.push(actions);
      if (l.liveSnapshotWanted()) out.push(l.liveSnapshot());
      return out.filter((m) => m);
    }));
    await teacher.evaluate(() => ParallelRatio.page.lesson.liveRecord(true));
    await take(); // the board as the class starts
    await teacher.drag([[300, 300], [340, 300], [377, 300]]);
    await teacher.clickButton('メモ');
    await teacher.drag([[100, 100], [150, 130], [200, 120]]);
    await take();
    assert.ok(await teacher.evaluate(() => ParallelRatio.page.lesson.hasWriting()), 'a stroke');
    await teacher.key('Control+z'); // an undo goes as a snapshot
    await take();
    assert.ok(sent.length >= 3, `${sent.length} messages`);

    const verdicts = await pupil.evaluate(({ messages }) => {
      const l = ParallelRatio.page.lesson;
      l.liveFollow(true, 'c1', '');
      const subject = l.constructor.liveSubject(true, 'c1', '', false);
      const other = l.constructor.liveSubject(false, 'c1', 'p1', false);
      const hostile = l.liveReceive(other, messages[0], false).verdict; // a pupil posing as teacher
      return [hostile, ...messages.map((m) => l.liveReceive(subject, m, false).verdict)];
    }, { messages: sent });
    assert.equal(verdicts[0], 'dropped');
    assert.ok(verdicts.slice(1).every((v) => v === 'applied'), verdicts.join(' '));
    const boards = await Promise.all([teacher, pupil].map((p) => p.evaluate(() => ParallelRatio.page.lesson.board())));
    assert.equal(boards[1], boards[0]);
    const shown = JSON.parse(boards[0]);
    assert.ok(shown.copy.x1 !== 440, 'the slide reached the board');
    assert.equal(shown.strokes?.length ?? 0, 0, 'the undo took the stroke back');
  });
}));
