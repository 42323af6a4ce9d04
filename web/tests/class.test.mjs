// The live class's broker and join service, with real clients over TCP: who gets in, who may
// send and read what, and that a removed pupil is out at once. Every permission is the
// broker's doing, from the JWTs the join service mints.
import assert from 'node:assert/strict';
import { randomBytes } from 'node:crypto';
import { spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { connect as netConnect, createServer as createNetServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join as joinPath } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { connect, jwtAuthenticator } from '@nats-io/transport-node';

import { kNatsServer, startClass, startService, writeClusterConfig } from '../tools/class-server.mjs';

const te = new TextEncoder();
const connections = [];

function within(promise, ms, what) {
  let timer;
  return Promise.race([promise, new Promise((_, fail) => {
    timer = setTimeout(() => fail(new Error(`timed out: ${what}`)), ms);
  })]).finally(() => clearTimeout(timer));
}

async function post(cls, path, body) {
  const started = Date.now();
  const r = await fetch(new URL(path, cls.joinUrl), {
    method: 'POST', body: typeof body === 'string' ? body : JSON.stringify(body),
  });
  const text = await r.text();
  return { status: r.status, body: text && JSON.parse(text), ms: Date.now() - started, headers: r.headers };
}

async function join(cls, name) {
  const r = await post(cls, '/join', { code: cls.classCode, name });
  assert.equal(r.status, 200, JSON.stringify(r.body));
  return r.body;
}

// A connection whose errors (permission violations among them) are kept in `errors`. On a
// cluster, each connection goes to the next node: sender and reader are on different ones.
async function client(cls, creds, opts = {}) {
  cls.next = ((cls.next ?? -1) + 1) % cls.natsUrls.length;
  const nc = await connect({
    servers: cls.natsUrls[cls.next], reconnect: false, inboxPrefix: creds.inboxPrefix,
    authenticator: jwtAuthenticator(creds.jwt, te.encode(creds.seed)), ...opts,
  });
  connections.push(nc);
  nc.errors = [];
  (async () => {
    for await (const s of nc.status()) if (s.type === 'error') nc.errors.push(s.error);
  })();
  return nc;
}

// Every message on `subject`, and a wait for the first that satisfies `pred`.
function listen(nc, subject) {
  const got = [];
  const waiters = [];
  nc.subscribe(subject, {
    callback: (err, m) => {
      if (err) return;
      got.push({ subject: m.subject, data: m.string() });
      for (const w of waiters.splice(0)) w();
    },
  });
  got.until = async (pred, what) => {
    while (!got.some(pred)) await within(new Promise((r) => waiters.push(r)), 3000, what);
  };
  return got;
}

async function violation(nc, op, subject) {
  const seen = () => nc.errors.some((e) => e.name === 'PermissionViolationError' &&
    e.operation === op && e.subject === subject);
  for (const until = Date.now() + 3000; !seen(); await new Promise((r) => setTimeout(r, 20))) {
    assert.ok(Date.now() < until, `no ${op} violation for ${subject}`);
  }
}

const kept = (cls, subject) => `$JS.API.DIRECT.GET.${cls.stream}.${subject}`;

// The last snapshot the stream keeps on `subject`, once there is one.
async function keptSnapshot(nc, cls, subject) {
  for (const until = Date.now() + 3000; ; await new Promise((r) => setTimeout(r, 50))) {
    const m = await nc.request(kept(cls, subject), '', { timeout: 2000 });
    if (m.data.length) return m;
    assert.ok(Date.now() < until, `nothing kept on ${subject}`);
  }
}

// The same, whatever node of a cluster each client is on.
for (const nodes of [1, 3]) describe(nodes === 1 ? 'the live class' : `the live class on a cluster of ${nodes}`, { skip: kNatsServer ? false : 'nats-server is not installed (apt install nats-server)' }, () => {
  let a, b; // two classes, each with its own broker
  before(async () => {
    // Both kept even when one fails to start, for after() to end.
    const started = await Promise.allSettled([
      startClass({ nodes }), startClass({ nodes, allowedOrigins: ['http://school.example'] })]);
    [a, b] = started.map((r) => r.value);
    for (const r of started) if (r.status === 'rejected') throw r.reason;
  });

  after(async () => {
    await Promise.all(connections.map((nc) => nc.close().catch(() => {})));
    await Promise.all([a?.end(), b?.end()]);
  });

  test('a pupil who joined sends on its own subject to the teacher and hears the teacher', async () => {
    const ana = await join(a, 'Ana');
    assert.match(ana.pupil, /^Ana-[A-Za-z0-9]+$/);
    assert.equal(ana.subject, `cls.${a.classTag}.pupil.${ana.pupil}`);
    assert.equal(ana.classTag, a.classTag);
    assert.equal(ana.wsUrl, a.wsUrl);
    const teacher = await client(a, a.teacher);
    const heard = listen(teacher, `cls.${a.classTag}.>`);
    const pupil = await client(a, ana);
    const told = listen(pupil, `cls.${a.classTag}.teacher`);
    await teacher.flush();
    await pupil.flush();
    pupil.publish(ana.subject, 'from Ana');
    teacher.publish(`cls.${a.classTag}.teacher`, 'from the teacher');
    await heard.until((m) => m.subject === ana.subject && m.data === 'from Ana', 'teacher hears Ana');
    await told.until((m) => m.data === 'from the teacher', 'Ana hears the teacher');
    assert.deepEqual(pupil.errors, []);
  });

  test('no credentials, a wrong code, a locked class, a bad request: no way in', async () => {
    await assert.rejects(connect({ servers: a.natsUrl, reconnect: false }));
    // No class code has an O.
    const first = await post(a, '/join', { code: 'WRONG234', name: 'Eve' });
    const second = await post(a, '/join', { code: 'WRONG234', name: 'Eve' });
    assert.equal(first.status, 403);
    assert.equal(second.status, 403);
    assert.equal(first.body.jwt, undefined);
    // Slower each time, which is what keeps guessing from paying.
    assert.ok(first.ms >= 200 && second.ms >= first.ms + 150, `${first.ms} ms, then ${second.ms} ms`);
    assert.equal(first.headers.get('cache-control'), 'no-store');

    a.lock();
    assert.equal((await post(a, '/join', { code: a.classCode, name: 'Late' })).status, 423);
    a.unlock();
    // The code as read off the board: lower case, in two groups.
    const typed = `${a.classCode.slice(0, 4)} - ${a.classCode.slice(4)}`.toLowerCase();
    assert.equal((await post(a, '/join', { code: typed, name: 'Late' })).status, 200);

    assert.equal((await post(a, '/join', '{"code":')).status, 400);
    assert.equal((await post(a, '/join', { code: a.classCode, name: 'x'.repeat(2000) })).status, 400);
    assert.equal((await post(a, '/join', { code: a.classCode })).status, 400);
    // The teacher's credentials go only to the holder of the teacher's key.
    assert.equal((await post(a, '/teacher', { key: 'guess' })).status, 403);
    assert.equal((await post(a, '/teacher', { key: a.teacherKey })).body.jwt, a.teacher.jwt);
  });

  test('a pupil cannot send as the teacher or as another pupil', async () => {
    const [ana, bob] = [await join(a, 'Ana'), await join(a, 'Bob')];
    const teacher = await client(a, a.teacher);
    const heard = listen(teacher, `cls.${a.classTag}.>`);
    await teacher.flush();
    const pupil = await client(a, ana);
    const forged = [`cls.${a.classTag}.teacher`, bob.subject, `snap.${a.classTag}.teacher`];
    for (const s of forged) pupil.publish(s, 'forged');
    pupil.publish(ana.subject, 'last');
    for (const s of forged) await violation(pupil, 'publish', s);
    // One connection's messages come in order: had a forged one passed, it would be here.
    await heard.until((m) => m.data === 'last', "Ana's last message");
    assert.deepEqual(heard.filter((m) => m.data === 'forged'), []);
  });

  test("a pupil cannot listen to another pupil, to another class or to others' inboxes", async () => {
    const [ana, bob] = [await join(a, 'Ana'), await join(a, 'Bob')];
    const pupil = await client(a, ana);
    for (const subject of [bob.subject, `cls.${a.classTag}.>`, `cls.${b.classTag}.teacher`,
      `cls.${a.classTag}.pupil.*`, '_INBOX.>', `snap.${a.classTag}.>`]) {
      const sub = pupil.subscribe(subject);
      const why = await within(sub.closed, 3000, `subscription to ${subject} refused`);
      assert.equal(why?.name, 'PermissionViolationError', subject);
    }
    // Nor do a class's credentials open another class's broker.
    await assert.rejects(client(b, ana));
    await assert.rejects(client(b, a.teacher));
  });

  test('two pupils of one name are two pupils, each with its own subject', async () => {
    const [one, two] = [await join(a, '小林 Ken'), await join(a, '小林 Ken')];
    assert.notEqual(one.pupil, two.pupil);
    assert.match(one.pupil, /^Ken-/);
    const nameless = await join(a, '小林');
    assert.match(nameless.pupil, /^[A-Za-z0-9_-]{1,64}$/);
    const teacher = await client(a, a.teacher);
    const heard = listen(teacher, `cls.${a.classTag}.pupil.*`);
    await teacher.flush();
    const second = await client(a, two);
    second.publish(one.subject, 'as the first');
    second.publish(two.subject, 'as itself');
    await violation(second, 'publish', one.subject);
    await heard.until((m) => m.subject === two.subject, 'the second Ken');
    assert.deepEqual(heard.map((m) => m.data), ['as itself']);
  });

  test('a removed pupil is cut off at once and cannot come back with the same credentials', async () => {
    const [ana, bob] = [await join(a, 'Ana'), await join(a, 'Bob')];
    const teacher = await client(a, a.teacher);
    const heard = listen(teacher, `cls.${a.classTag}.pupil.*`);
    await teacher.flush();
    const gone = await client(a, ana);
    const stays = await client(a, bob);
    await gone.flush();
    assert.ok(a.pupils().some((p) => p.id === ana.pupil && p.name === 'Ana'));

    assert.equal(await a.remove(ana.pupil), true);
    await within(gone.closed(), 3000, 'the removed pupil disconnected');
    await assert.rejects(client(a, ana));
    assert.ok(!a.pupils().some((p) => p.id === ana.pupil));
    stays.publish(bob.subject, 'still here');
    await heard.until((m) => m.data === 'still here', 'the other pupil carries on');
    assert.equal(await a.remove('nobody-0000'), false);
  });

  test("the teacher's kept snapshot is there for a pupil; another pupil's is not", async () => {
    const [ana, bob] = [await join(a, 'Ana'), await join(a, 'Bob')];
    const teacher = await client(a, a.teacher);
    // Larger than the broker's default largest message.
    const board = randomBytes(3 * 1024 * 1024);
    teacher.publish(`snap.${a.classTag}.teacher`, board);
    const other = await client(a, bob);
    other.publish(`snap.${a.classTag}.pupil.${bob.pupil}`, "Bob's board");
    await Promise.all([teacher.flush(), other.flush()]);

    const pupil = await client(a, ana);
    const got = await keptSnapshot(pupil, a, `snap.${a.classTag}.teacher`);
    assert.ok(Buffer.from(got.data).equals(board));
    // The teacher reads any pupil's.
    assert.equal((await keptSnapshot(teacher, a, `snap.${a.classTag}.pupil.${bob.pupil}`)).string(),
      "Bob's board");

    const bobs = `snap.${a.classTag}.pupil.${bob.pupil}`;
    await assert.rejects(pupil.request(kept(a, bobs), '', { timeout: 2000 }), /Permissions Violation/);
    await assert.rejects(pupil.request(`$JS.API.DIRECT.GET.${a.stream}`,
      JSON.stringify({ last_by_subj: bobs }), { timeout: 2000 }), /Permissions Violation/);
    // Asked on the one subject it may use, a body naming Bob's board is refused.
    const asked = await pupil.request(kept(a, `snap.${a.classTag}.teacher`),
      JSON.stringify({ last_by_subj: bobs }), { timeout: 2000 });
    assert.equal(asked.data.length, 0);
    assert.ok(asked.headers?.code >= 400, String(asked.headers?.code));

    // The stream sends no acknowledgement, so a reply subject cannot make it write an answer
    // over the teacher's kept snapshot.
    pupil.publish(`snap.${a.classTag}.pupil.${ana.pupil}`, "Ana's board",
      { reply: `snap.${a.classTag}.teacher` });
    await keptSnapshot(teacher, a, `snap.${a.classTag}.pupil.${ana.pupil}`);
    assert.ok(Buffer.from((await keptSnapshot(pupil, a, `snap.${a.classTag}.teacher`)).data).equals(board));
  });

  test('the WebSocket listener takes pages of the allowed origins only', async () => {
    const upgrade = (origin) => new Promise((done, fail) => {
      const { hostname, port } = new URL(b.wsUrl);
      const s = netConnect(Number(port), hostname, () => s.write([
        'GET / HTTP/1.1', `Host: ${hostname}:${port}`, 'Upgrade: websocket', 'Connection: Upgrade',
        `Sec-WebSocket-Key: ${randomBytes(16).toString('base64')}`, 'Sec-WebSocket-Version: 13',
        `Origin: ${origin}`, '', ''].join('\r\n')));
      s.once('data', (d) => { done(d.toString().split('\r\n')[0]); s.destroy(); });
      s.once('error', fail);
    });
    assert.match(await upgrade('http://school.example'), / 101 /);
    assert.match(await upgrade('http://elsewhere.example'), / 403 /);
  });

  test('at the end the broker is gone and so is its store', async () => {
    const c = await startClass();
    await c.end();
    assert.equal(existsSync(c.storeDir), false);
    await assert.rejects(connect({
      servers: c.natsUrl, reconnect: false, authenticator: jwtAuthenticator(c.teacher.jwt, te.encode(c.teacher.seed)),
    }));
    assert.equal(await fetch(new URL('/join', c.joinUrl), { method: 'POST' }).then(() => 'answered', () => 'refused'),
      'refused');
  });
});

describe('a school\'s service, many classes at once', { skip: kNatsServer ? false : 'nats-server is not installed (apt install nats-server)' }, () => {
  test('teachers start classes of their own; one ending leaves the others as they were', async (t) => {
    const svc = await startService({ school: true });
    t.after(() => svc.end());
    const key = new URL(svc.schoolUrl).hash.slice('#new='.length);
    assert.equal((await post(svc, '/classes', { key: 'not the key' })).status, 403);
    const made = [];
    for (let i = 0; i < 2; i++) {
      const r = await post(svc, '/classes', { key });
      assert.equal(r.status, 200);
      made.push(r.body);
    }
    assert.notEqual(made[0].classCode, made[1].classCode);
    const [one, two] = made.map((m) => svc.classes().find((c) => c.teacherKey === m.teacherKey));
    const pupil = await join({ ...svc, classCode: one.classCode }, 'Ana');
    assert.equal(pupil.classTag, one.classTag);
    const teacherOne = await client(svc, one.teacher);
    const teacherTwo = await client(svc, two.teacher);
    const heard = listen(await client(svc, pupil), `cls.${one.classTag}.teacher`);
    await Promise.all([teacherOne.flush(), teacherTwo.flush()]);

    await two.end();
    await within(teacherTwo.closed(), 3000, 'the ended class\'s teacher is cut off');
    assert.equal((await post(svc, '/join', { code: two.classCode, name: 'Bob' })).status, 403);
    teacherOne.publish(`cls.${one.classTag}.teacher`, 'still here');
    await heard.until((m) => m.data === 'still here', 'the other class carries on');
  });
});

describe('a cluster on machines of its own', { skip: kNatsServer ? false : 'nats-server is not installed (apt install nats-server)' }, () => {
  test('from the written configurations, nodes form a cluster the service makes classes on', async (t) => {
    const dir = mkdtempSync(joinPath(tmpdir(), 'pr-cluster-'));
    const servers = [];
    t.after(async () => {
      for (const s of servers) s.kill('SIGKILL');
      rmSync(dir, { recursive: true, force: true });
    });
    const free = () => new Promise((done) => {
      const s = createNetServer().listen(0, '127.0.0.1', () => {
        const { port } = s.address();
        s.close(() => done(port));
      });
    });
    const hosts = [];
    for (let i = 0; i < 3; i++) hosts.push(`127.0.0.1:${await free()}:${await free()}:${await free()}`);
    await writeClusterConfig(joinPath(dir, 'etc'), hosts, { data: joinPath(dir, 'data') });
    for (let i = 0; i < 3; i++)
      servers.push(spawn(kNatsServer, ['-c', joinPath(dir, 'etc', `node-${i}.conf`)], { stdio: 'ignore' }));
    const joinNodes = JSON.parse(readFileSync(joinPath(dir, 'etc', 'service.json'), 'utf8'));
    const svc = await startService({ joinNodes });
    t.after(() => svc.end());
    const cls = await svc.newClass();
    const pupil = await join({ ...svc, classCode: cls.classCode }, 'Ana');
    assert.deepEqual(pupil.natsUrls, joinNodes.natsUrls);
    // The teacher on the first node, the pupil on the second.
    const teacher = await client(svc, cls.teacher);
    const heard = listen(await client(svc, pupil), `cls.${cls.classTag}.teacher`);
    await teacher.flush();
    teacher.publish(`cls.${cls.classTag}.teacher`, 'across the routes');
    await heard.until((m) => m.data === 'across the routes', 'the pupil hears the teacher');
  });
});
