// The broker and the join service of a live class (docs/LIVE_CLASS.md), on the teacher's
// machine. A private nats-server runs with a configuration written once at the start: an
// operator, a system account and the class's account, all known to the server from the start
// (resolver MEMORY). Who may send and read on which subject comes only from the user JWTs
// minted here: the teacher's with the teacher's signing key, each pupil's with the pupil
// signing key, whose template in the account ties every permission to the class (the JWT's
// tag "class:<tag>") and to the pupil (the JWT's name). A pupil gets a JWT by typing the
// class code into the join service.
//
//   node web/tools/class-server.mjs [--host H] [--site DIR] [--cert PEM --key PEM]
//                                    [--public-host NAME] [--nodes N | --join-nodes FILE]
//                                    [--school] [--json]
//   node web/tools/class-server.mjs --write-config DIR --hosts A,B,C [--data DIR]
//                                    [--origins URL,...] [--cert PEM --key PEM]
//
// prints the teacher's address, the pupils' address and the class code, and runs until Ctrl+C,
// which ends the class. With --site the join service serves that folder's files as well, so
// that the pages and the join service share an origin. With a certificate and its key, the
// pages come over HTTPS and the broker's WebSocket is WSS (a secure context: the features a
// browser keeps to one appear); --public-host is the name in the addresses, the one the
// certificate is for. --nodes runs the broker as a cluster of N nodes on this machine (the
// kept boards on three of them), for trying a cluster out. --school runs a service for many
// classes at once: it prints the school's address for teachers, where each starts a class of
// its own, and runs until Ctrl+C. --json prints one class's addresses as one line of JSON.
// --write-config writes the configurations of a cluster on machines of its own, and
// --join-nodes makes the service use those nodes (docs/CLASS.md).
import { execFileSync } from 'node:child_process';
import { createPrivateKey, randomBytes, randomInt, sign as cryptoSign, timingSafeEqual } from 'node:crypto';
import { existsSync, readFileSync, rmSync } from 'node:fs';
import { mkdir, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { createServer, request as httpRequest } from 'node:http';
import { createServer as createHttpsServer } from 'node:https';
import { networkInterfaces, tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import * as jwt from '@nats-io/jwt';
import { connect, jwtAuthenticator } from '@nats-io/transport-node';

import { kMaxPayload, kNatsServer, kStoreBytes, nodeConfig, startNodes } from './class-nodes.mjs';
import { serve } from './serve.mjs';

export { kNatsServer };

const kSchoolDay = 10 * 3600;
const kMaxBody = 1024;
// No 0/O, 1/I/L: read off a projector and typed on a tablet.
const kCodeAlphabet = '23456789ABCDEFGHJKMNPQRSTUVWXYZ';
const kCodeLength = 8; // 31^8 ≈ 2^39.6
const kTagAlphabet = 'abcdefghijklmnopqrstuvwxyz0123456789';
// 2.9 refuses a scoped user's JWT that names connection types, and takes none from the
// template either; the server has no listener but these two, so only later servers heed it.
const kConnTypes = ['STANDARD', 'WEBSOCKET'];
const kNoLimits = { subs: -1, data: -1, imports: -1, exports: -1, wildcards: true, leaf: 0 };

const td = new TextDecoder();
const te = new TextEncoder();

const randomToken = (alphabet, n) =>
  Array.from({ length: n }, () => alphabet[randomInt(alphabet.length)]).join('');
const now = () => Math.floor(Date.now() / 1000);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The code as a pupil may type it: any case, with spaces or dashes between groups.
export const normaliseCode = (s) => String(s).toUpperCase().replace(/[\s-]/g, '');

// A pupil's id: the name's ASCII letters and digits (else "p"), and a random suffix, so that
// two pupils of one name are two pupils.
export function pupilIdFor(name, taken) {
  const base = String(name).normalize('NFKC').replace(/[^A-Za-z0-9]/g, '').slice(0, 24) || 'p';
  for (;;) {
    const id = `${base}-${randomToken('abcdefghjkmnpqrstuvwxyz23456789', 4)}`;
    if (!taken.has(id)) return id;
  }
}

// Answers to wrong codes come late, later the more an address has got wrong lately; and while
// an address (or everyone together) has too many such answers pending, no code is checked at
// all, so that asking in parallel buys no more guesses. A classroom behind one address is not
// held up by one pupil's typing error.
export class Throttle {
  constructor({ baseMs = 250, maxMs = 8000, perAddress = 4, overall = 64, forgetMs = 600000 } = {}) {
    Object.assign(this, { baseMs, maxMs, perAddress, overall, forgetMs });
    this.addresses = new Map(); // address -> {failures, last, pending}
    this.pending = 0;
  }

  entry(address) {
    let e = this.addresses.get(address);
    if (e && e.pending === 0 && Date.now() - e.last > this.forgetMs) e = undefined;
    if (!e) {
      if (this.addresses.size >= 10000) {
        for (const [k, v] of this.addresses) {
          if (v.pending === 0) {
            this.addresses.delete(k);
            break;
          }
        }
      }
      e = { failures: 0, last: Date.now(), pending: 0 };
      this.addresses.set(address, e);
    }
    return e;
  }

  busy(address) {
    return this.pending >= this.overall || this.entry(address).pending >= this.perAddress;
  }

  async fail(address) {
    const e = this.entry(address);
    e.failures += 1;
    e.last = Date.now();
    e.pending += 1;
    this.pending += 1;
    try {
      await sleep(Math.min(this.maxMs, this.baseMs * 2 ** Math.min(e.failures - 1, 20)));
    } finally {
      e.pending -= 1;
      this.pending -= 1;
    }
  }
}

function advertisedHost(host) {
  if (host !== '0.0.0.0' && host !== '::') return host.includes(':') ? `[${host}]` : host;
  for (const list of Object.values(networkInterfaces())) {
    for (const a of list ?? []) if (a.family === 'IPv4' && !a.internal) return a.address;
  }
  return '127.0.0.1';
}

// The templates of the two signing keys. The stream's name is written out: 2.9 fills a
// template only where it is a whole token.
//
// A reply subject is not covered by any permission: whatever a pupil names as the reply to
// its direct get, the stream sends the teacher's kept snapshot there, be it another pupil's
// subject. So a message on cls.* with headers, or a kept message with more than one
// Nats-Subject header, was sent by the stream, not by its subject's owner.
function scopes(tag, teacherKey, pupilKey) {
  const t = '{{tag(class)}}';
  const stream = `CLS_${tag}`;
  const get = `$JS.API.DIRECT.GET.${stream}`;
  const teacher = jwt.newScopedSigner(teacherKey, 'teacher', {
    pub: {
      allow: [
        `cls.${t}.teacher`, `snap.${t}.teacher`,
        // Every kept snapshot and the stream's state; nothing that changes the stream.
        `${get}.>`, get, `$JS.API.STREAM.INFO.${stream}`, `$JS.API.STREAM.MSG.GET.${stream}`,
        '$JS.API.INFO',
      ],
    },
    sub: { allow: [`cls.${t}.>`, '_INBOX.>'] },
    allowed_connection_types: kConnTypes,
  });
  // A pupil's inbox is its own, else it could read the answers to the teacher's requests,
  // pupils' kept snapshots among them. The last-by-subject form of direct get reads the
  // subject from the request's subject, which is all a permission can see.
  const pupil = jwt.newScopedSigner(pupilKey, 'pupil', {
    pub: { allow: [`cls.${t}.pupil.{{name()}}`, `snap.${t}.pupil.{{name()}}`, `${get}.snap.${t}.teacher`] },
    sub: { allow: [`cls.${t}.teacher`, `_INBOX.${t}.pupil.{{name()}}.>`] },
    allowed_connection_types: kConnTypes,
  });
  return { stream, signingKeys: [teacher, pupil] };
}

// A key pair as the JWT library takes it, its public key worked out once and its signatures
// made by Node's own Ed25519: the library's pure JavaScript derives the public key again at
// every use and signs slowly, a tenth of a second for each pupil's JWT, which forty pupils
// joining at once would wait for in turn.
const kEd25519Pkcs8 = Buffer.from('302e020100300506032b657004220420', 'hex');
function quickKeys(kp) {
  const publicKey = kp.getPublicKey();
  const privateKey = createPrivateKey({
    key: Buffer.concat([kEd25519Pkcs8, kp.getRawSeed()]), format: 'der', type: 'pkcs8',
  });
  return {
    getPublicKey: () => publicKey,
    getSeed: () => kp.getSeed(),
    getRawSeed: () => kp.getRawSeed(),
    getPrivateKey: () => kp.getPrivateKey(),
    sign: (data) => new Uint8Array(cryptoSign(null, data, privateKey)),
    verify: (data, sig) => kp.verify(data, sig),
  };
}

async function mintUser(name, account, { signer, exp = 0, tags } = {}) {
  const kp = quickKeys(jwt.createUser());
  const token = signer
    ? await jwt.encodeUser(name, kp, account, { tags }, { signer, scopedUser: true, exp })
    : await jwt.encodeUser(name, kp, account, {}, { exp });
  return { jwt: token, seed: td.decode(kp.getSeed()), publicKey: kp.getPublicKey() };
}

// A connection of the class server's own; `reconnect` keeps it through a node's loss.
async function connectWithin(servers, creds, deadline, reconnect = false) {
  for (;;) {
    try {
      return await connect({
        servers, reconnect, maxReconnectAttempts: -1, reconnectTimeWait: 250, timeout: 1000,
        pingInterval: 2000, maxPingOut: 2,
        authenticator: jwtAuthenticator(creds.jwt, te.encode(creds.seed)),
      });
    } catch (e) {
      if (Date.now() > deadline) throw e;
      await sleep(50);
    }
  }
}

// The body as JSON, or null: past `limit` bytes, or not JSON. The rest of a long body is read
// and dropped, so that the answer reaches a client still sending (a reset would lose it).
function readJson(req, limit) {
  return new Promise((done) => {
    const chunks = [];
    let size = 0;
    req.on('data', (c) => {
      size += c.length;
      if (size <= limit) chunks.push(c);
      else if (size - c.length <= limit) done(null);
    });
    req.on('end', () => {
      try {
        done(size <= limit ? JSON.parse(Buffer.concat(chunks).toString('utf8')) : null);
      } catch {
        done(null);
      }
    });
    req.on('error', () => done(null));
  });
}

function sameSecret(a, b) {
  const x = Buffer.from(String(a));
  const y = Buffer.from(String(b));
  return x.length === y.length && timingSafeEqual(x, y);
}

// The QR code of `text` from Debian's qrencode (`type` UTF8 for a terminal, SVG), or null
// where it is not installed.
export function qrCode(text, type) {
  const qr = ['/usr/bin/qrencode', '/usr/local/bin/qrencode'].find((p) => existsSync(p));
  if (!qr) return null;
  try {
    return execFileSync(qr, ['-t', type, '-m', '2', text]).toString();
  } catch {
    return null;
  }
}

// The configurations of a cluster on machines of its own: one nats-server configuration a
// node (node-<i>.conf, to go to /etc/nats-server.conf or wherever that machine's nats-server
// reads it) and service.json, which the join service takes (--join-nodes) to make classes
// on them. Both hold secrets: the operator's and the system account's keys, the routes'
// password. Each host is "name[:client port[:WebSocket port[:route port]]]" (4222, 8080,
// 6222); `data` is where each node keeps its accounts and boards.
export async function writeClusterConfig(outDir, hosts, { data = '/var/lib/parallel-ratio-class', origins = [], cert, key, maxConnections = 4096 } = {}) {
  const operator = jwt.createOperator();
  const system = jwt.createAccount();
  const nodes = hosts.map((h, index) => {
    const [name, port = 4222, wsPort = 8080, clusterPort = 6222] = h.split(':');
    return { index, host: name, port: Number(port), wsPort: Number(wsPort), clusterPort: Number(clusterPort),
             dir: join(data, `node${index}`), storeDir: join(data, `node${index}`, 'jetstream') };
  });
  const settings = {
    tag: 'school', host: '0.0.0.0', maxConnections, allowedOrigins: origins, cert, key,
    routeUser: 'route', routePassword: randomBytes(18).toString('base64url'),
    operator: await jwt.encodeOperator('class', operator, { system_account: system.getPublicKey() }),
    systemAccount: system.getPublicKey(),
  };
  const preload = {
    [system.getPublicKey()]: await jwt.encodeAccount('system', system, {
      limits: { ...kNoLimits, payload: -1, conn: 4 * nodes.length },
    }, { signer: operator }),
  };
  await mkdir(outDir, { recursive: true });
  for (const n of nodes)
    await writeFile(join(outDir, `node-${n.index}.conf`), nodeConfig(settings, n, nodes, preload), { mode: 0o600 });
  const scheme = cert ? 'wss' : 'ws';
  await writeFile(join(outDir, 'service.json'), JSON.stringify({
    operatorSeed: td.decode(operator.getSeed()), systemSeed: td.decode(system.getSeed()),
    natsUrls: nodes.map((n) => `nats://${n.host}:${n.port}`),
    wsUrls: nodes.map((n) => `${scheme}://${n.host}:${n.wsPort}`),
  }, null, 2), { mode: 0o600 });
  return nodes;
}

// The class service: the broker's nodes, the site and the join service, for one class or for
// many at once (a school's, each room its own class). Each class is an account of its own on
// the broker, made when the class starts and pushed to every node (the nodes keep accounts
// in their own store: resolver "full"), with its own signing keys, stream of kept boards and
// limits; nothing one class's credentials allow reaches another's.
export async function startService(options = {}) {
  const host = options.host ?? '127.0.0.1';
  const ttl = options.userTtlSeconds ?? kSchoolDay;
  const maxConnections = options.maxConnections ?? 256;
  const dir = await mkdtemp(join(tmpdir(), 'class-'));
  const storeDir = resolve(options.storeDir ?? join(dir, 'store'));
  const throttle = options.throttle ?? new Throttle();
  const ads = options.publicHost ?? advertisedHost(host);

  // Nodes of the school's own, on machines of their own (writeClusterConfig made their
  // configurations): the service joins them rather than start any.
  const external = options.joinNodes ?? null;
  const count = external ? external.natsUrls.length : Math.max(1, Math.floor(options.nodes ?? 1));
  const replicas = Math.min(3, count);
  const operator = quickKeys(external ? jwt.fromSeed(te.encode(external.operatorSeed)) : jwt.createOperator());
  const system = quickKeys(external ? jwt.fromSeed(te.encode(external.systemSeed)) : jwt.createAccount());
  const state = { stopped: false, ready: false };
  const byCode = new Map(); // class code -> class
  const byKey = new Map();  // teacher's key -> class
  let broker, sys, wsUrl, wsUrls, natsUrls, local, site, joinUrl;

  const reply = (res, status, body, headers = {}) => {
    if (res.headersSent) return;
    res.writeHead(status, {
      'Cache-Control': 'no-store', 'Content-Type': 'application/json',
      ...(status === 400 ? { Connection: 'close' } : {}), ...headers,
    });
    res.end(body === undefined ? '' : JSON.stringify(body));
  };

  // The class a secret opens, at the throttle's pace; null (answered) when none does.
  const admitted = async (res, address, map, secret) => {
    if (throttle.busy(address)) {
      reply(res, 429, { error: 'try again shortly' }, { 'Retry-After': '2' });
      return null;
    }
    const cls = map.get(secret);
    if (cls && !cls.ended) return cls;
    await throttle.fail(address);
    reply(res, 403, { error: 'wrong code' });
    return null;
  };

  const joinPupil = async (req, res, address) => {
    const ask = await readJson(req, kMaxBody);
    if (typeof ask?.code !== 'string' || typeof ask.name !== 'string' || ask.name.length > 64) {
      reply(res, 400, { error: 'bad request' });
      return;
    }
    const cls = await admitted(res, address, byCode, normaliseCode(ask.code));
    if (!cls) return;
    if (cls.locked || state.stopped) reply(res, 423, { error: 'the class takes no one more' });
    else reply(res, 200, await cls.join(ask.name));
  };

  // The teacher's page, opened from the address with the key, fetches the teacher's
  // credentials with it; its other requests come with the key too.
  const teacherAsks = {
    '': (cls) => cls.teacherCreds(),
    pupils: (cls) => cls.roster(),
    lock: (cls, ask) => {
      cls.locked = ask.locked !== false;
      return cls.roster();
    },
    remove: async (cls, ask) => (typeof ask.id === 'string' && await cls.remove(ask.id) ? cls.roster() : null),
    // The class's data on the server goes; the pages keep their boards.
    end: (cls) => {
      setTimeout(() => cls.end().then(() => options.onEnd?.(cls)), 0);
      return {};
    },
  };
  const askTeacher = (what) => async (req, res, address) => {
    const ask = await readJson(req, kMaxBody);
    if (typeof ask?.key !== 'string') {
      reply(res, 400, { error: 'bad request' });
      return;
    }
    const cls = await admitted(res, address, byKey, ask.key);
    if (!cls) return;
    const answer = await teacherAsks[what](cls, ask);
    if (answer) reply(res, 200, answer);
    else reply(res, 404, { error: 'no such pupil' });
  };
  // A school's service: a teacher opens the school's address for teachers (with the school's
  // key) and gets a class of its own.
  const schoolKey = options.schoolKey ?? randomBytes(18).toString('base64url');
  const newClassFor = async (req, res, address) => {
    const ask = await readJson(req, kMaxBody);
    if (typeof ask?.key !== 'string') {
      reply(res, 400, { error: 'bad request' });
    } else if (throttle.busy(address)) {
      reply(res, 429, { error: 'try again shortly' }, { 'Retry-After': '2' });
    } else if (!options.school || !sameSecret(ask.key, schoolKey)) {
      await throttle.fail(address);
      reply(res, 403, { error: 'wrong key' });
    } else {
      const cls = await newClass();
      reply(res, 200, { teacherKey: cls.teacherKey, classCode: cls.classCode });
    }
  };
  const handlers = { '/join': joinPupil, '/classes': newClassFor };
  for (const what of Object.keys(teacherAsks)) handlers[what ? `/teacher/${what}` : '/teacher'] = askTeacher(what);

  const tls = options.cert && options.key
    ? { cert: readFileSync(options.cert), key: readFileSync(options.key) } : null;
  const scheme = tls ? 'https' : 'http';
  const serverOptions = { requestTimeout: 10000, headersTimeout: 10000, ...tls };
  const http = (tls ? createHttpsServer : createServer)(serverOptions, (req, res) => {
    const handler = handlers[req.url.split('?')[0]];
    if (handler) {
      if (req.method !== 'POST') reply(res, 405, undefined, { Allow: 'POST' });
      else if (!state.ready) reply(res, 503, { error: 'starting' });
      else {
        handler(req, res, req.socket.remoteAddress ?? '')
          .catch(() => reply(res, 500, { error: 'failed' }));
      }
    } else if (req.url === '/class-qr.svg' && state.qr) {
      // The pupils' address as a code to scan, for the teacher's page to show.
      res.writeHead(200, { 'Content-Type': 'image/svg+xml', 'Cache-Control': 'no-store' });
      res.end(req.method === 'HEAD' ? '' : state.qr);
    } else if (site && (req.method === 'GET' || req.method === 'HEAD')) {
      const fwd = httpRequest({
        host: '127.0.0.1', port: site.server.address().port, method: req.method, path: req.url,
        headers: req.headers,
      }, (r) => {
        res.writeHead(r.statusCode, r.headers);
        r.pipe(res);
      });
      fwd.on('error', () => reply(res, 502));
      fwd.end();
    } else {
      reply(res, 404, { error: 'not here' });
    }
  });

  // One account update at a time, each with everything so far: a late one never undoes
  // another.
  let updates = Promise.resolve();
  const push = (accountJwt) => {
    const next = updates.then(async () => {
      const r = await sys.request('$SYS.REQ.CLAIMS.UPDATE', await accountJwt(), { timeout: 5000 });
      const answer = r.json();
      if (answer.error) throw new Error(`account update: ${answer.error.description}`);
    });
    updates = next.catch(() => {});
    return next;
  };

  // A new class: its account, signing keys, stream and teacher.
  const newClass = async () => {
    const tag = randomToken(kTagAlphabet, 12);
    const classCode = randomToken(kCodeAlphabet, kCodeLength);
    const teacherKey = randomBytes(24).toString('base64url');
    const account = quickKeys(jwt.createAccount());
    const teacherSigner = quickKeys(jwt.createAccount());
    const pupilSigner = quickKeys(jwt.createAccount());
    const { stream, signingKeys } = scopes(tag, teacherSigner.getPublicKey(), pupilSigner.getPublicKey());
    const revocations = {};
    const cls = { tag, classCode, teacherKey, stream, locked: false, ended: false };
    const accountJwt = () => jwt.encodeAccount(`class ${tag}`, account, {
      limits: {
        ...kNoLimits, payload: kMaxPayload, conn: cls.ended ? 0 : maxConnections,
        // Every replica of the kept boards counts against the account.
        mem_storage: 0, disk_storage: kStoreBytes * replicas, streams: 1, consumer: 8,
        mem_max_stream_bytes: -1, disk_max_stream_bytes: -1, max_ack_pending: -1,
      },
      signing_keys: signingKeys,
      revocations: { ...revocations },
    }, { signer: operator });
    const classTags = [`class:${tag}`];
    const pupils = new Map(); // id -> {name, publicKey, joined}
    const ids = new Set(); // every id given, none given twice, not even after a removal
    const service = await mintUser('service', account);
    const teacher = await mintUser('teacher', account, { signer: teacherSigner, exp: now() + ttl, tags: classTags });
    await push(accountJwt);

    // The stream of kept boards, on three nodes of a cluster. A cluster takes a moment to
    // choose its leader, and refuses a stream until then.
    const deadline = Date.now() + 15000;
    const nc = await connectWithin(local, service, deadline);
    try {
      const config = {
        name: stream, subjects: [`snap.${tag}.>`], storage: 'file', retention: 'limits',
        max_msgs_per_subject: 1, max_msg_size: kMaxPayload, max_bytes: kStoreBytes,
        discard: 'old', num_replicas: replicas, allow_direct: true,
        // No acknowledgements: one would go to the sender's reply subject, which may well be
        // snap.<class>.teacher, and be kept there in place of the teacher's board.
        no_ack: true,
      };
      for (;;) {
        const answer = await nc.request(`$JS.API.STREAM.CREATE.${stream}`, JSON.stringify(config), { timeout: 5000 })
          .then((r) => r.json(), (e) => ({ error: { description: e.message } }));
        if (!answer.error) break;
        if (Date.now() > deadline) throw new Error(`stream ${stream}: ${answer.error.description}`);
        await sleep(250);
      }
    } finally {
      await nc.close();
    }

    const roster = () => ({
      locked: cls.locked,
      pupils: [...pupils].map(([id, p]) => ({ id, name: p.name })),
    });
    Object.assign(cls, {
      classTag: tag,
      teacher: { jwt: teacher.jwt, seed: teacher.seed },
      teacherUrl: `${joinUrl}#teacher=${teacherKey}`,
      roster,
      teacherCreds: () => ({
        jwt: teacher.jwt, seed: teacher.seed, classTag: tag, classCode, wsUrl, wsUrls, natsUrls,
      }),
      async join(name) {
        const id = pupilIdFor(name, ids);
        ids.add(id);
        const creds = await mintUser(id, account, { signer: pupilSigner, exp: now() + ttl, tags: classTags });
        pupils.set(id, { name, publicKey: creds.publicKey, joined: Date.now() });
        return {
          jwt: creds.jwt, seed: creds.seed, classTag: tag, pupil: id, subject: `cls.${tag}.pupil.${id}`,
          inboxPrefix: `_INBOX.${tag}.pupil.${id}`, wsUrl, wsUrls, natsUrls,
        };
      },
      pupils: () => [...pupils].map(([id, p]) => ({ id, name: p.name, joined: p.joined })),
      lock() { cls.locked = true; },
      unlock() { cls.locked = false; },
      // The pupil's key goes on the account's revocation list, pushed to every node by the
      // system account: the broker closes the pupil's connections at once and takes no JWT
      // of that key again.
      async remove(id) {
        const p = pupils.get(id);
        if (!p) return false;
        revocations[p.publicKey] = now();
        await push(accountJwt);
        pupils.delete(id);
        return true;
      },
      // How many nodes hold the kept boards up to date now (the leader and the replicas
      // that are current), or 0 if the stream cannot say.
      async nodeCount() {
        const c = await connectWithin(local, service, Date.now() + 3000).catch(() => null);
        if (!c) return 0;
        try {
          const info = (await c.request(`$JS.API.STREAM.INFO.${stream}`, '', { timeout: 2000 })).json();
          if (info.error) return 0;
          const peers = info.cluster?.replicas ?? [];
          return (info.cluster?.leader ? 1 : 0) + peers.filter((r) => r.current && !r.offline).length;
        } catch {
          return 0;
        } finally {
          await c.close();
        }
      },
      // The class's kept boards go, and every credential of it stops working.
      async end() {
        if (cls.ended) return;
        cls.ended = true;
        byCode.delete(classCode);
        byKey.delete(teacherKey);
        if (state.stopped) return;
        const c = await connectWithin(local, service, Date.now() + 3000).catch(() => null);
        await c?.request(`$JS.API.STREAM.DELETE.${stream}`, '', { timeout: 5000 }).catch(() => {});
        await c?.close();
        revocations['*'] = now() + 1;
        await push(accountJwt).catch(() => {});
      },
    });
    byCode.set(classCode, cls);
    byKey.set(teacherKey, cls);
    return cls;
  };

  const ownStore = storeDir === join(dir, 'store');
  // Should this process die unawares, the private folder goes with it.
  const onExit = () => rmSync(dir, { recursive: true, force: true });
  process.on('exit', onExit);
  const stop = async () => {
    if (state.stopped) return;
    state.stopped = true;
    process.off('exit', onExit);
    await sys?.close().catch(() => {});
    const closed = new Promise((r) => http.close(() => r()));
    http.closeAllConnections();
    await closed;
    if (site) {
      site.server.close();
      site.server.closeAllConnections();
    }
    await broker?.stop();
    // The store stays, for a look afterwards; end() takes it too.
    for (const f of await readdir(dir).catch(() => [])) {
      if (!(ownStore && f === 'store')) await rm(join(dir, f), { recursive: true, force: true });
    }
    if (!ownStore) await rm(dir, { recursive: true, force: true });
  };
  const end = async () => {
    await stop();
    await rm(storeDir, { recursive: true, force: true });
    await rm(dir, { recursive: true, force: true });
  };

  try {
    if (options.site) site = await serve(options.site, 0);
    await new Promise((done, fail) => {
      http.once('error', fail);
      http.listen(options.joinPort ?? 0, host, done);
    });
    const joinPort = http.address().port;
    joinUrl = `${scheme}://${ads}:${joinPort}/`;
    const allowedOrigins = options.allowedOrigins ?? (site
      ? [...new Set([ads, '127.0.0.1', 'localhost'])].map((h) => `${scheme}://${h}:${joinPort}`) : []);

    const sysUser = await mintUser('system', system);
    await mkdir(storeDir, { recursive: true });
    const systemJwt = await jwt.encodeAccount('system', system, {
      limits: { ...kNoLimits, payload: -1, conn: 4 * count },
    }, { signer: operator });
    const deadline = Date.now() + 15000 + 5000 * (count - 1);
    broker = external ? {
      nodes: external.natsUrls.map((u, index) => ({ index, port: Number(new URL(u.replace(/^nats:/, 'http:')).port) })),
      restart: async () => {},
      stop: async () => {},
    } : await startNodes({
      count, tag: randomToken(kTagAlphabet, 12), host, dir, storeDir, allowedOrigins, maxConnections,
      port: options.port, wsPort: options.wsPort, natsServer: options.natsServer,
      ...(tls ? { cert: resolve(options.cert), key: resolve(options.key) } : {}),
      operator: await jwt.encodeOperator('class', operator, { system_account: system.getPublicKey() }),
      systemAccount: system.getPublicKey(),
    }, async () => ({ [system.getPublicKey()]: systemJwt }), deadline);
    const wsScheme = tls ? 'wss' : 'ws';
    wsUrls = external?.wsUrls ?? broker.nodes.map((n) => `${wsScheme}://${ads}:${n.wsPort}`);
    wsUrl = wsUrls[0];
    // The client ports, for programs that speak plain TCP (the desktop program).
    natsUrls = external?.natsUrls ?? broker.nodes.map((n) => `nats://${ads}:${n.port}`);
    const localHost = host === '0.0.0.0' || host === '::' ? '127.0.0.1' : ads;
    local = external?.natsUrls ?? broker.nodes.map((n) => `nats://${localHost}:${n.port}`);
    sys = await connectWithin(local, sysUser, deadline, true);
    state.qr = qrCode(`${joinUrl}#join`, 'SVG');
    state.ready = true;
    return {
      joinUrl, pupilUrl: `${joinUrl}#join`, natsUrl: natsUrls[0], natsUrls, wsUrl, wsUrls, storeDir,
      ...(options.school ? { schoolUrl: `${joinUrl}#new=${schoolKey}` } : {}),
      newClass,
      classes: () => [...byKey.values()],
      // Each node's process, and a node killed and started again as a crash would (for the
      // tests).
      nodes: broker.nodes,
      restartNode: (i) => broker.restart(i),
      stop,
      end,
    };
  } catch (e) {
    await stop().catch(() => {});
    await rm(dir, { recursive: true, force: true });
    throw e;
  }
}

// A service with one class: what `./setup.sh class` starts. Ending the class ends the
// service.
export async function startClass(options = {}) {
  const service = await startService({
    ...options, onEnd: () => service.end().then(() => options.onEnd?.()),
  });
  try {
    const cls = await service.newClass();
    return {
      ...service,
      classTag: cls.classTag, classCode: cls.classCode, stream: cls.stream, teacher: cls.teacher,
      teacherKey: cls.teacherKey, teacherUrl: cls.teacherUrl,
      pupils: cls.pupils,
      get locked() { return cls.locked; },
      lock: cls.lock,
      unlock: cls.unlock,
      remove: cls.remove,
      nodeCount: cls.nodeCount,
      restartBroker: () => service.restartNode(0),
      get brokerPid() { return service.nodes[0].pid; },
      end: async () => {
        await cls.end();
        await service.end();
      },
    };
  } catch (e) {
    await service.end();
    throw e;
  }
}

function printAddresses(cls) {
  console.log(`Teacher (keep to yourself): ${cls.teacherUrl}`);
  console.log(`Pupils join at:             ${cls.pupilUrl}`);
  console.log(`Class code:                 ${cls.classCode.slice(0, 4)}-${cls.classCode.slice(4)}`);
  // The pupils' address as a code to scan off the projector, where qrencode is installed.
  const qr = qrCode(cls.pupilUrl, 'UTF8');
  if (qr) process.stdout.write(qr);
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? '').href) {
  const args = process.argv.slice(2);
  const opt = (name) => {
    const i = args.indexOf(name);
    return i >= 0 ? args[i + 1] : undefined;
  };
  if (!kNatsServer) {
    console.error('nats-server is missing: install the package nats-server');
    process.exit(1);
  }
  if (opt('--write-config')) {
    const hosts = (opt('--hosts') ?? '').split(',').filter(Boolean);
    if (!hosts.length) {
      console.error('--write-config DIR needs --hosts NAME[,NAME...]');
      process.exit(2);
    }
    const origins = (opt('--origins') ?? '').split(',').filter(Boolean);
    await writeClusterConfig(opt('--write-config'), hosts, {
      data: opt('--data'), origins, cert: opt('--cert'), key: opt('--key'),
    });
    console.log(`Wrote node-0.conf .. node-${hosts.length - 1}.conf and service.json to ${opt('--write-config')}`);
    process.exit(0);
  }
  const settings = {
    host: opt('--host'), site: opt('--site'), cert: opt('--cert'), key: opt('--key'),
    publicHost: opt('--public-host'), nodes: Number(opt('--nodes') ?? 1),
    joinNodes: opt('--join-nodes') ? JSON.parse(await readFile(opt('--join-nodes'), 'utf8')) : undefined,
  };
  // A school's service runs until Ctrl+C, each teacher starting and ending classes of their
  // own; otherwise one class, whose end ends the service.
  const school = args.includes('--school');
  const cls = school ? await startService({ ...settings, school }) : await startClass({
    ...settings,
    onEnd: () => {
      console.log('The class has ended.');
      process.exit(0);
    },
  });
  if (school) {
    console.log(`Teachers start a class at (keep to the school's teachers): ${cls.schoolUrl}`);
    console.log(`Pupils join at:                                           ${cls.pupilUrl}`);
    const qr = qrCode(cls.pupilUrl, 'UTF8');
    if (qr) process.stdout.write(qr);
  } else if (args.includes('--json')) {
    // For programs and tests that start a class: its addresses on one line.
    console.log(JSON.stringify({
      teacherUrl: cls.teacherUrl, pupilUrl: cls.pupilUrl, joinUrl: cls.joinUrl, classCode: cls.classCode,
      classTag: cls.classTag, natsUrls: cls.natsUrls, wsUrls: cls.wsUrls,
    }));
  } else {
    printAddresses(cls);
  }
  let ending = false;
  process.on('SIGINT', async () => {
    if (ending) return;
    ending = true;
    await cls.end();
    process.exit(0);
  });
}
