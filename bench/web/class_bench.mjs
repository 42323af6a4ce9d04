#!/usr/bin/env node
// A live class on this machine: the class server (web/tools/class-server.mjs: nats-server and
// the join service), a teacher and --pupils pupils, all in this one Node process, each with
// its own WebSocket connection as the pages have, and one module of the lesson (one a class)
// with a Lesson per board. Prints figures and the goals beside them; judges no timing. Exits
// 1 only if a board differs from its sender's at the end.
//
//   node bench/web/class_bench.mjs [--seconds 60] [--pupils 40] [--classes 1] [--nodes 1]
//
// PR_WEB_SITE names the built site (default build-web/site, as ./setup.sh builds it).
//
// - The teacher slides the copy of ℓ to and fro, one pointer event every 33 ms, each taken
//   from the outbox and published at once, and republishes its kept snapshot every 3 s.
//   Three pupils in four follow the teacher; the rest draw memo strokes of their own (one
//   event every 50 ms), which the teacher follows with a board each.
// - --classes N: N such classes at once in one service, as a school runs them, over a cluster
//   of --nodes nodes; every connection is given every node's address and picks one at random,
//   as the pages do, so a class's messages mostly cross a route.
// - Latency: the time of each message is kept here, by its seq, before the input that made
//   it; a board has reached it when liveReceive says "applied". "Every follower" is the last
//   follower's time per message; "per delivery" is each follower's.
// - The yardstick: every publish of the lesson replayed at the same moment after the start,
//   of the same size, on the same subject, through the same broker and connections to the
//   same subscriptions, with no lesson code on either side. Lesson and yardstick take turns
//   in blocks of 5 s, so that whatever else the machine does falls on both alike.
// - Join: every pupil at once POSTs /join; then every pupil at once connects, subscribes and
//   reads the teacher's kept snapshot. With many classes the connections go a class at a
//   time: the signatures of them all, made in turn in this one thread, would outlast the
//   broker's 2 s for a client to authenticate.
// - Broker memory and CPU: VmRSS and utime + stime of the nodes' processes, from /proc.
// - Slow consumers: nats-server 2.9 closes the connection of a client it cannot write to in
//   time, so a connection lost (or a client's slowConsumer status) before the end is one.
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { cpus, loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { performance, PerformanceObserver } from 'node:perf_hooks';
import { fileURLToPath } from 'node:url';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const requireWeb = createRequire(join(repo, 'web/package.json'));
const { wsconnect, jwtAuthenticator } = requireWeb('@nats-io/nats-core');
const WebSocket = requireWeb('ws'); // Node has none of its own before 22
const { startService, kNatsServer } = await import(join(repo, 'web/tools/class-server.mjs'));

const args = process.argv.slice(2);
const opt = (name, dflt) => (args.includes(name) ? Number(args[args.indexOf(name) + 1]) : dflt);
const seconds = opt('--seconds', 60);
const pupilCount = opt('--pupils', 40);
const classCount = Math.max(1, opt('--classes', 1));
const nodeCount = Math.max(1, opt('--nodes', 1));
const many = classCount > 1 || nodeCount > 1;
const explorerCount = Math.floor(pupilCount / 4);
const followerCount = pupilCount - explorerCount;
const kTeacherTickMs = 33, kExplorerTickMs = 50, kKeptEveryMs = 3000, kBlockMs = 5000;

const site = [process.env.PR_WEB_SITE, join(repo, 'build-web/site')]
  .find((d) => d && existsSync(join(d, 'parallel-ratio.js')));
if (!site || !kNatsServer) {
  console.error(site ? 'nats-server is missing' : 'no built site: build the web edition first');
  process.exit(2);
}
// A module of the lesson per class: its heap is of a fixed size, which one class's boards fit
// and ten classes' do not.
const newModule = createRequire(import.meta.url)(join(site, 'parallel-ratio.js'));

const te = new TextEncoder();
const td = new TextDecoder();
const now = () => performance.now();
const sleep = (ms) => new Promise((r) => setTimeout(r, Math.max(0, ms)));
const seqOf = (text) => JSON.parse(text.slice(0, text.indexOf('\n'))).seq;
const pct = (xs, p) => {
  if (!xs.length) return NaN;
  const s = Float64Array.from(xs).sort();
  return s[Math.min(s.length - 1, Math.ceil((p / 100) * s.length) - 1)];
};
const ms = (x) => (Number.isFinite(x) ? x.toFixed(2) : '-');
const spread = (xs) => `p50 ${ms(pct(xs, 50))}  p99 ${ms(pct(xs, 99))}  max ${ms(pct(xs, 100))} ms  (n ${xs.length})`;
const sum = (xs) => xs.reduce((a, b) => a + b, 0);
const load = () => loadavg().map((l) => l.toFixed(2)).join(' ');
const loadAtStart = load();

// /proc/<pid>/stat's fields after the command's name (which may hold spaces): state, ppid, ...
const statOf = (pid) => readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ').pop().split(' ');
const rssKiB = (pid) => Number(/VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))[1]);
// CPU time in ms: a process's (utime + stime, 100 ticks a second) and the whole machine's.
const cpuOf = (pid) => { const f = statOf(pid); return (Number(f[11]) + Number(f[12])) * 10; };
const machineCpu = () => {
  const [user, nice, system, , , irq, softirq, steal] = readFileSync('/proc/stat', 'utf8').split('\n')[0].split(/\s+/).slice(1).map(Number);
  return (user + nice + system + irq + softirq + steal) * 10;
};
const ownCpu = () => { const c = process.cpuUsage(); return (c.user + c.system) / 1000; };

// Room for every connection on one node, should the random picks pile them there.
const service = await startService({
  host: '127.0.0.1', nodes: nodeCount, maxConnections: Math.max(256, 2 * classCount * (pupilCount + 1)),
});
const nodeCpu = () => service.nodes.map((n) => cpuOf(n.pid));
const brokerRss = () => sum(service.nodes.map((n) => rssKiB(n.pid)));
const rssEmpty = brokerRss();
// A page's Origin: the join service's, which is what the listener allows when it serves the site.
const origin = new URL(service.joinUrl).origin;
let ending = false;
const troubles = {}; // what befell connections before the end -> count
const troubled = new Set(); // the connections it befell
const trouble = (conn, what) => {
  if (ending) return;
  troubles[what] = (troubles[what] ?? 0) + 1;
  troubled.add(conn);
};
const connectAs = async (creds) => {
  const conn = await wsconnect({
    servers: service.wsUrls, reconnect: false, inboxPrefix: creds.inboxPrefix,
    authenticator: jwtAuthenticator(creds.jwt, te.encode(creds.seed)),
    wsFactory: (url) => ({ socket: new WebSocket(url, { origin }), encrypted: false }),
  });
  (async () => {
    for await (const s of conn.status()) {
      if (s.type === 'error' && /slow/i.test(String(s.error?.message ?? s.error))) trouble(conn, 'slowConsumer (server)');
      else if (!['ping', 'update', 'ldm'].includes(s.type)) trouble(conn, s.type);
    }
  })().catch(() => {});
  conn.closed().then((err) => trouble(conn, err ? `closed: ${err.message}` : 'closed'));
  return conn;
};

// Traffic and time of each kind. A yardstick payload begins with '#', which no lesson
// message does: a late delivery is told apart by its bytes, not by when it comes.
const kinds = Object.fromEntries(['lesson', 'yardstick'].map((k) => [k, {
  sent: 0, delivered: 0, bytes: 0, ms: 0, own: 0, code: 0, broker: 0, nodes: service.nodes.map(() => 0),
  machine: 0, gc: 0, gcMax: 0,
}]));
const isYardstick = (m) => m.data[0] === 0x23;
let schedule = null; // the lesson block's publishes, {t, conn, subject, size}, while one runs
let blockStart = 0;
function send(conn, subject, text) {
  const bytes = te.encode(text);
  conn.publish(subject, bytes);
  kinds.lesson.sent += 1;
  kinds.lesson.bytes += bytes.length;
  schedule?.push({ t: now() - blockStart, conn, subject, size: bytes.length });
}

// The lesson's own time per message received, summed: with every board in this one thread,
// the last follower waits for the others' share too. `code` adds the senders' share (input
// events, liveTake, snapshots), to tell the lesson's cost from the clients'.
const receiving = { ms: 0, n: 0 };
let codeMs = 0;
const verdicts = {}; // "who verdict/kind" -> count
const tally = (who, r) => {
  const k = `${who} ${r.verdict}/${r.kind ?? '-'}`;
  verdicts[k] = (verdicts[k] ?? 0) + 1;
};

// Latency samples: each delivery's, and with `every` the last follower's of each message.
// What is left in `count` at the end never reached every follower.
const samples = (every) => ({ each: [], every: every ? [] : null, count: new Map() });
function sample(s, key, t) {
  s.each.push(t);
  if (!s.every) return;
  const n = (s.count.get(key) ?? 0) + 1;
  if (n < followerCount) s.count.set(key, n);
  else { s.count.delete(key); s.every.push(t); }
}
const ySentAt = []; // by yardstick id, over every class

// A board that follows a sender, timed from the sender's table of times.
function follow(lesson, who, sender, into) {
  return (m) => {
    const t0 = now(), text = td.decode(m.data);
    const r = lesson.liveReceive(m.subject, text, !!m.headers);
    const took = now() - t0;
    receiving.ms += took;
    receiving.n += 1;
    codeMs += took;
    tally(who, r);
    if (r.verdict !== 'applied' || r.kind !== 'actions') return;
    const seq = seqOf(text), sent = sender.sentAt.get(seq);
    if (sent !== undefined) sample(into, seq, now() - sent); // untimed: sent outside the blocks
    lesson.reached = seq;
  };
}
// A subscription's callback: lesson messages to `handle`, yardstick ones timed into `into`.
const deliver = (handle, into) => (err, m) => {
  if (err) return;
  if (!isYardstick(m)) {
    kinds.lesson.delivered += 1;
    handle?.(m);
    return;
  }
  kinds.yardstick.delivered += 1;
  if (!into) return;
  const id = Number(td.decode(m.data.subarray(1, 12)).split('\n')[0]);
  sample(into, id, now() - ySentAt[id]);
};

// --- the classes and their teachers ----------------------------------------------------------
const classes = [];
for (let k = 0; k < classCount; k++) {
  const cls = await service.newClass();
  const tag = cls.classTag, Module = await newModule();
  const teacherConn = await connectAs(cls.teacher);
  const c = {
    cls, tag, Module,
    lat: { followers: samples(true), mirrors: samples(false) },
    yLat: { followers: samples(true), mirrors: samples(false) },
    mirrors: new Map(), // pupil subject -> the teacher's board of that pupil
    subject: Module.Lesson.liveSubject(true, tag, '', false),
    kept: Module.Lesson.liveSubject(true, tag, '', true),
  };
  // A sender: its board, where it publishes, and when each of its messages began.
  c.teacher = {
    lesson: new Module.Lesson(), conn: teacherConn, subject: c.subject, kept: c.kept,
    sentAt: new Map(), lastSeq: null, lastKept: 0,
  };
  teacherConn.subscribe(`cls.${tag}.pupil.*`, { callback: deliver((m) => c.mirrors.get(m.subject)?.(m), c.yLat.mirrors) });
  c.teacher.lesson.liveRecord(true);
  const snap0 = c.teacher.lesson.liveSnapshot();
  send(teacherConn, c.subject, snap0);
  send(teacherConn, c.kept, snap0);
  await teacherConn.flush();
  classes.push(c);
}
const rssClasses = brokerRss();

// --- every pupil joins at once ---------------------------------------------------------------
// In two steps, every POST and then every connection, because the join service and all the
// pupils' clients share this one thread: the CPU each step takes here is printed beside it.
const joinStart = now(), joinCpu = ownCpu();
const asks = classes.flatMap((c) => Array.from({ length: pupilCount }, (_, i) => ({ c, i })));
const allCreds = await Promise.all(asks.map(async ({ c, i }) => {
  const r = await fetch(new URL('join', service.joinUrl), {
    method: 'POST', body: JSON.stringify({ code: c.cls.classCode, name: `Pupil${i + 1}` }),
  });
  if (r.status !== 200) throw new Error(`join: ${r.status} ${await r.text()}`);
  return r.json();
}));
const answered = now() - joinStart, answerCpu = ownCpu() - joinCpu;
const conns = [], waves = []; // waves: each class's time to connect its pupils
for (let k = 0; k < classCount; k++) {
  const t = now();
  conns.push(...await Promise.all(allCreds.slice(k * pupilCount, (k + 1) * pupilCount).map(connectAs)));
  waves.push(now() - t);
}
const connected = now() - joinStart, connectCpu = ownCpu() - joinCpu - answerCpu;
const pupils = await Promise.all(allCreds.map(async (creds, n) => {
  const { c, i } = asks[n], conn = conns[n];
  const { Module } = c;
  const p = { c, i, creds, conn, lesson: new Module.Lesson(), explores: i >= followerCount };
  if (p.explores) {
    // Its own board to the class; the teacher follows it from the first snapshot on. It
    // hears the teacher too, as a page does (for 先生の板書), and lets it be.
    Object.assign(p, {
      subject: creds.subject, kept: Module.Lesson.liveSubject(false, c.tag, creds.pupil, true),
      sentAt: new Map(), lastSeq: null, mirror: new Module.Lesson(),
    });
    p.mirror.liveFollow(false, c.tag, creds.pupil);
    c.mirrors.set(p.subject, follow(p.mirror, 'mirror', p, c.lat.mirrors));
    conn.subscribe(c.subject, { callback: deliver(null, null) });
    p.lesson.liveRecord(true);
    const s = p.lesson.liveSnapshot();
    send(conn, p.subject, s);
    send(conn, p.kept, s);
  } else {
    // Subscribed before the kept snapshot is read, so that nothing after it is missed.
    p.lesson.liveFollow(true, c.tag, '');
    p.handle = () => {}; // the teacher sends nothing before every pupil is in
    conn.subscribe(c.subject, { callback: deliver((m) => p.handle(m), c.yLat.followers) });
    await conn.flush();
    for (;;) {
      const m = await conn.request(`$JS.API.DIRECT.GET.${c.cls.stream}.${c.kept}`, '', { timeout: 5000 });
      if (m.data.length) {
        tally('sync', p.lesson.liveReceive(m.headers.get('Nats-Subject'), td.decode(m.data), true));
        break;
      }
      await sleep(20); // not stored yet
    }
    p.handle = follow(p.lesson, 'follower', c.teacher, c.lat.followers);
  }
  return p;
}));
const synced = now() - joinStart;
for (const c of classes) {
  c.followers = pupils.filter((p) => p.c === c && !p.explores);
  c.explorers = pupils.filter((p) => p.c === c && p.explores);
}
const explorers = pupils.filter((p) => p.explores);
const allConns = [...classes.map((c) => c.teacher.conn), ...conns];
const settle = async () => {
  await Promise.all(allConns.map((conn) => conn.flush()));
  await sleep(200);
};
await settle();

// --- the lesson ------------------------------------------------------------------------------
// A gesture at a time: press where the target is, moves, release; each event its own message.
function gesturer(lesson, planGesture) {
  let events = [];
  const step = () => {
    if (!events.length) events = planGesture();
    const [kind, x, y] = events.shift();
    const t0 = now();
    if (kind === 'p') lesson.press(1, 0, x, y);
    else if (kind === 'm') lesson.move(1, 0, x, y);
    else lesson.release(1, 0, x, y);
    return { t0, between: !events.length };
  };
  step.busy = () => events.length > 0;
  return step;
}
for (const c of classes) {
  let copyAt = 300, rightwards = true; // where a press picks up the copy of ℓ
  c.step = gesturer(c.teacher.lesson, () => {
    const from = copyAt, to = rightwards ? from + 77 : from - 77, n = 28;
    copyAt = to;
    rightwards = !rightwards;
    return [['p', from, 300], ...Array.from({ length: n }, (_, k) => ['m', from + ((to - from) * (k + 1)) / n, 300]), ['r', to, 300]];
  });
}
for (const p of explorers) {
  p.step = gesturer(p.lesson, () => {
    let x = 60 + Math.random() * 660, y = 60 + Math.random() * 500;
    const e = [['p', x, y]];
    for (let k = 0; k < 20; k++) e.push(['m', (x += Math.random() * 10 - 5), (y += Math.random() * 10 - 5)]);
    return [...e, ['r', x, y]];
  });
}

// One input event, its message (or a snapshot, when the outbox wants one) published at once.
function act(s, step) {
  const t0 = now();
  const { t0: began, between } = step ? step() : { between: true };
  const text = s.lesson.liveTake();
  let snap = null;
  if (!text && s.lesson.liveSnapshotWanted() && between) snap = s.lesson.liveSnapshot();
  codeMs += now() - t0;
  if (text) {
    s.lastSeq = seqOf(text);
    if (step) s.sentAt.set(s.lastSeq, began);
    send(s.conn, s.subject, text);
  } else if (snap !== null) {
    send(s.conn, s.subject, snap);
    send(s.conn, s.kept, snap);
  }
  return between;
}
function teacherTick(c) {
  const t = c.teacher;
  // Taken after the actions, so that it holds none they have not had.
  if (act(t, c.step) && now() - t.lastKept >= kKeptEveryMs) {
    const t0 = now(), snap = t.lesson.liveSnapshot();
    codeMs += now() - t0;
    if (snap) send(t.conn, t.kept, snap);
    t.lastKept = now();
  }
}

async function lessonBlock(len) {
  schedule = [];
  blockStart = now();
  // Each sender starts at its own moment of the period, not all in one tick.
  const timers = [];
  const every = (offset, period, fn) => timers.push(setTimeout(() => timers.push(setInterval(fn, period)), offset));
  classes.forEach((c, k) => every((k * kTeacherTickMs) / classCount, kTeacherTickMs, () => teacherTick(c)));
  explorers.forEach((p, k) => every(((k + 1) * kExplorerTickMs) / explorers.length, kExplorerTickMs, () => act(p, p.step)));
  await sleep(len - (now() - blockStart));
  timers.forEach(clearInterval);
  const done = schedule;
  schedule = null;
  return done;
}
// The block's publishes again, at the same moments, of the same sizes, with no lesson.
async function yardstickBlock(plan, len) {
  const start = now();
  let next = 0;
  await new Promise((done) => {
    const tick = () => {
      for (; next < plan.length && plan[next].t <= now() - start; next++) {
        const { conn, subject, size } = plan[next];
        const id = ySentAt.length;
        const bytes = new Uint8Array(size).fill(0x78);
        bytes.set(te.encode(`#${id}\n`).subarray(0, size));
        ySentAt.push(now());
        conn.publish(subject, bytes);
        kinds.yardstick.sent += 1;
        kinds.yardstick.bytes += size;
      }
      if (next < plan.length) setTimeout(tick, plan[next].t - (now() - start));
      else done();
    };
    tick();
  });
  await sleep(len - (now() - start));
}
// This process's garbage collections, each a pause of every board and connection here.
let current = null;
new PerformanceObserver((list) => {
  for (const e of list.getEntries()) {
    if (!current) continue;
    current.gc += e.duration;
    current.gcMax = Math.max(current.gcMax, e.duration);
  }
}).observe({ entryTypes: ['gc'] });
// Time and CPU of this process, the lesson code in it, each node and the whole machine,
// added to the kind's.
async function measured(kind, run) {
  const k = current = kinds[kind], t = now(), own = ownCpu(), code = codeMs, nodes = nodeCpu(), machine = machineCpu();
  const result = await run();
  current = null;
  k.ms += now() - t;
  k.own += ownCpu() - own;
  k.code += codeMs - code;
  nodeCpu().forEach((cpu, i) => { k.nodes[i] += cpu - nodes[i]; });
  k.broker = sum(k.nodes);
  k.machine += machineCpu() - machine;
  return result;
}

for (const p of explorers) {
  p.lesson.clickCommand(3); // メモ: the pens come on
  act(p, null);
}
for (const k of Object.values(kinds)) Object.assign(k, { sent: 0, delivered: 0, bytes: 0 });
await settle();
const rssStart = brokerRss();
const rssBlocks = []; // after each pair of blocks: a trend, where start and end are two points
for (const c of classes) c.teacher.lastKept = now();
for (let left = seconds * 1000; left > 0; left -= kBlockMs) {
  const len = Math.min(kBlockMs, left);
  const plan = await measured('lesson', () => lessonBlock(len));
  await settle();
  await measured('yardstick', () => yardstickBlock(plan, len));
  await settle();
  rssBlocks.push(brokerRss());
}
const { lesson: L, yardstick: Y } = structuredClone(kinds); // the blocks' traffic alone
// Gestures finish, so that every board ends between gestures.
for (const c of classes) {
  while (c.step.busy()) c.step();
  act(c.teacher, null);
}
for (const p of explorers) {
  while (p.step.busy()) p.step();
  act(p, null);
}
await settle();
// Everything sent has arrived once each board has reached its sender's last message.
const arrived = () => classes.every((c) => c.followers.every((p) => p.lesson.reached === c.teacher.lastSeq)) &&
  explorers.every((p) => p.lastSeq === null || p.mirror.reached === p.lastSeq);
for (const until = now() + 10000; now() < until && !arrived(); await sleep(20));
const rssEnd = brokerRss();
const loadAtEnd = load();
const differing = classes.flatMap((c, k) => {
  const board = c.teacher.lesson.board(), where = many ? ` of class ${k + 1}` : '';
  return [
    ...c.followers.filter((p) => p.lesson.board() !== board).map((p) => `Pupil${p.i + 1}${where} (follows)`),
    ...c.explorers.filter((p) => p.mirror.board() !== p.lesson.board()).map((p) => `Pupil${p.i + 1}${where}'s mirror`),
  ];
});

// --- figures ---------------------------------------------------------------------------------
const all = (f) => classes.flatMap(f);
const lat = { every: all((c) => c.lat.followers.every), each: all((c) => c.lat.followers.each), mirrors: all((c) => c.lat.mirrors.each) };
const yLat = { every: all((c) => c.yLat.followers.every), each: all((c) => c.yLat.followers.each), mirrors: all((c) => c.yLat.mirrors.each) };
const perSec = (n, k) => (n / (k.ms / 1000)).toFixed(0);
const share = (cpu, k) => `${((cpu / k.ms) * 100).toFixed(0)}%`;
const others = (k) => share(k.machine - k.own - k.broker, k);
const yP99 = pct(yLat.every, 99), p99 = pct(lat.every, 99);
const [kTimes, kUnder] = many ? [2, 250] : [3, 20];
const mib = (kib) => `${(kib / 1024).toFixed(1)} MiB`;
// Each class's p99 of every follower, the lowest and the highest, with its class.
const range = (f) => {
  const xs = classes.map((c, k) => [pct(f(c), 99), k + 1]).sort((a, b) => a[0] - b[0]);
  return `min ${ms(xs[0][0])} (class ${xs[0][1]}), max ${ms(xs.at(-1)[0])} (class ${xs.at(-1)[1]}) ms`;
};
const unreached = (f) => sum(classes.map((c) => f(c).count.size));
const lost = Object.entries(troubles);
const who = `1 teacher, ${followerCount} pupils following, ${explorerCount} on their own`;
console.log([
  `${many ? `Live classes: ${classCount} on ${nodeCount} node${nodeCount > 1 ? 's' : ''}, each with ${who}` : `Live class: ${who}`}; ` +
    `${(L.ms / 1000).toFixed(1)} s of lesson, ${(Y.ms / 1000).toFixed(1)} s of yardstick; site ${site}`,
  `Load average at start ${loadAtStart}, at end ${loadAtEnd} (${cpus().length} cores)`,
  '',
  `Join, all ${pupilCount * classCount} at once: answered ${answered.toFixed(0)} ms, then connected ${connected.toFixed(0)} ms` +
    `${classCount > 1 ? ` (a class at a time, each class's ${pupilCount} at once in ${ms(Math.min(...waves))} to ${ms(Math.max(...waves))} ms)` : ''}, ` +
    `with the teacher's board ${synced.toFixed(0)} ms   (goal: under 1000 ms)`,
  `  CPU of this process per pupil: ${(answerCpu / asks.length).toFixed(0)} ms answering, ` +
    `${(connectCpu / asks.length).toFixed(0)} ms connecting`,
  '',
  "Teacher's move -> same board on the pupils:",
  `  every follower              ${spread(lat.every)}`,
  `  per delivery                ${spread(lat.each)}`,
  `  yardstick, every follower   ${spread(yLat.every)}`,
  `  yardstick, per delivery     ${spread(yLat.each)}`,
  ...(classCount > 1 ? [
    `  p99 of every follower, per class: lesson ${range((c) => c.lat.followers.every)}; yardstick ${range((c) => c.yLat.followers.every)}`,
  ] : []),
  `  goal: p99 <= ${kTimes} x yardstick (${ms(kTimes * yP99)} ms) and < ${kUnder} ms: p99 is ${ms(p99)} ms, ` +
    `${p99 <= kTimes * yP99 && p99 < kUnder ? 'within' : 'not within'}`,
  `  messages that never reached every follower: lesson ${unreached((c) => c.lat.followers)}, yardstick ${unreached((c) => c.yLat.followers)}`,
  "Pupil's move -> teacher's board of that pupil:",
  `  lesson      ${spread(lat.mirrors)}`,
  `  yardstick   ${spread(yLat.mirrors)}`,
  '',
  `Messages/s: lesson sent ${perSec(L.sent, L)}, delivered ${perSec(L.delivered, L)} (${perSec(L.bytes / 1024, L)} KiB/s sent); ` +
    `yardstick sent ${perSec(Y.sent, Y)}, delivered ${perSec(Y.delivered, Y)}`,
  `Lesson code per message received (decode + liveReceive): ${((receiving.ms / receiving.n) * 1000).toFixed(0)} µs on average`,
  `CPU, share of one core, lesson / yardstick: this process ${share(L.own, L)} / ${share(Y.own, Y)}, ` +
    `broker ${share(L.broker, L)} / ${share(Y.broker, Y)}, the rest of the machine (${cpus().length} cores) ${others(L)} / ${others(Y)}`,
  ...(many ? [
    `  this process in the lesson: lesson code (liveReceive, liveTake, input, snapshots) ${share(L.code, L)}, ` +
      `the rest (clients, timers, GC) ${share(L.own - L.code, L)}`,
    `  broker per node, lesson / yardstick: ${L.nodes.map((n, i) => `${share(n, L)} / ${share(Y.nodes[i], Y)}`).join(', ')}`,
  ] : []),
  `GC pauses of this process, lesson / yardstick: ${ms(L.gc)} / ${ms(Y.gc)} ms in all, ` +
    `the longest ${ms(L.gcMax)} / ${ms(Y.gcMax)} ms`,
  `Broker RSS${nodeCount > 1 ? `, all ${nodeCount} nodes` : ''}: empty ${mib(rssEmpty)}` +
    `${many ? `, with the classes ${mib(rssClasses)}` : ''}; all in ${mib(rssStart)}, end ${mib(rssEnd)}, ` +
    `end - start ${((rssEnd - rssStart) / 1024).toFixed(1)} MiB   (goal: flat)`,
  `  after each ${kBlockMs / 1000} s of lesson and of yardstick: ${rssBlocks.map((k) => (k / 1024).toFixed(1)).join(' ')} MiB`,
  `Slow consumers (connections lost or flagged before the end): ${troubled.size}   (goal: none)` +
    `${lost.length ? `; ${lost.map(([k, n]) => `${k} ${n}`).join(', ')}` : ''}`,
  '',
  `Verdicts: ${Object.entries(verdicts).map(([k, n]) => `${k} ${n}`).join(', ')}`,
  `Boards: ${differing.length ? `DIFFER: ${differing.join(', ')}`
    : `all ${followerCount * classCount} followers equal the teacher's, all ${explorerCount * classCount} mirrors their pupil's`}`,
].join('\n'));

ending = true;
await Promise.all(allConns.map((conn) => conn.close().catch(() => {})));
for (const c of classes) await c.cls.end();
await service.end();
process.exit(differing.length ? 1 : 0);
