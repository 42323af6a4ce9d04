// The class's broker: one nats-server, or a cluster of them (routes between every pair, each
// with its own client and WebSocket listeners and its own JetStream store), started, watched
// and started again here. Every node has the same operator and system account from its
// configuration; the classes' accounts are pushed to the nodes while they run, and each node
// keeps them, updates and revocations included, in a store of its own (resolver "full"), so
// a node that comes back still refuses every pupil removed so far.
import { spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { existsSync } from 'node:fs';
import { mkdir, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { createServer as createNetServer } from 'node:net';
import { join } from 'node:path';

// Debian installs it under sbin.
export const kNatsServer = ['/usr/bin/nats-server', '/usr/sbin/nats-server']
  .find((p) => existsSync(p)) ?? null;
export const kMaxPayload = 8 * 1024 * 1024; // the largest message of the live class
// One class's kept boards at most (one per pupil and the teacher's, each a board file of
// some kilobytes, a few megabytes with much writing), reserved on each node that keeps them.
export const kStoreBytes = 64 * 1024 * 1024;
// What a node may reserve for every class it keeps boards of: a school's or a city's many.
const kNodeStoreBytes = 64 * 1024 * 1024 * 1024;

const quote = (s) => JSON.stringify(String(s));
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A port free on `host` now (the nodes need each other's before any of them starts).
function freePort(host) {
  return new Promise((done, fail) => {
    const s = createNetServer();
    s.once('error', fail);
    s.listen(0, host, () => {
      const { port } = s.address();
      s.close(() => done(port));
    });
  });
}

// One node's whole configuration. o: the class's settings; n: this node's ports, store and
// (on a machine of its own) host; all: every node's, for the routes.
export function nodeConfig(o, n, all, preload) {
  const entries = Object.entries(preload).map(([k, v]) => `  ${k}: ${quote(v)}`).join('\n');
  const origins = o.allowedOrigins?.length
    ? `  allowed_origins: [${o.allowedOrigins.map(quote).join(', ')}]\n` : '';
  // Routes carry every message of the class: only the class's own nodes may open one.
  const cluster = all.length > 1 ? `cluster {
  name: ${quote(`class_${o.tag}`)}
  host: ${quote(o.host)}
  port: ${n.clusterPort}
  authorization { user: ${quote(o.routeUser)}, password: ${quote(o.routePassword)} }
  routes: [${all.filter((m) => m !== n).map((m) =>
    quote(`nats-route://${o.routeUser}:${o.routePassword}@${m.host ?? o.routeHost}:${m.clusterPort}`)).join(', ')}]
}
` : '';
  return `server_name: ${quote(`class_${o.tag}_${n.index}`)}
host: ${quote(o.host)}
port: ${n.port}
ports_file_dir: ${quote(n.dir)}
max_payload: ${kMaxPayload}
max_pending: ${8 * kMaxPayload}
max_connections: ${o.maxConnections}
ping_interval: "10s"
ping_max: 3
write_deadline: "10s"
operator: ${quote(o.operator)}
system_account: ${quote(o.systemAccount)}
resolver: {
  type: full
  dir: ${quote(join(n.dir, 'accounts'))}
  allow_delete: false
  interval: "2m"
}
resolver_preload: {
${entries}
}
jetstream {
  store_dir: ${quote(n.storeDir)}
  max_memory_store: 64MB
  max_file_store: ${kNodeStoreBytes}
}
${cluster}websocket {
  host: ${quote(o.host)}
  port: ${n.wsPort}
${o.cert ? `  tls {\n    cert_file: ${quote(o.cert)}\n    key_file: ${quote(o.key)}\n  }` : '  no_tls: true'}
${origins}}
`;
}

// Waits until the node writes its listeners' addresses (it does once they listen).
async function waitForPorts(dir, child, deadline) {
  for (;;) {
    if (child.exitCode !== null) throw new Error(`nats-server ended (${child.exitCode})`);
    const name = (await readdir(dir)).find((f) => f.endsWith('.ports'));
    if (name) {
      try {
        const p = JSON.parse(await readFile(join(dir, name), 'utf8'));
        if (p.nats?.length && p.websocket?.length) return p;
      } catch {
        // half written
      }
    }
    if (Date.now() > deadline) throw new Error('nats-server did not start in time');
    await sleep(25);
  }
}

// Starts `count` nodes and keeps them running: a node that ends while the class runs is
// started again at once, on the same ports and with its store.
//   o: { count, tag, host, routeHost, dir, storeDir, allowedOrigins, maxConnections, port,
//        wsPort, cert, key, operator, systemAccount, natsServer }
//   preload(): the account JWTs as they are now, { publicKey: jwt }
// Resolves to { nodes: [{ index, pid, port, wsPort }], restart(i), stop() }.
export async function startNodes(o, preload, deadline) {
  const settings = {
    ...o, routeUser: 'route', routePassword: randomBytes(18).toString('base64url'),
    routeHost: o.routeHost ?? (o.host === '0.0.0.0' || o.host === '::' ? '127.0.0.1' : o.host),
  };
  const bind = settings.routeHost;
  const nodes = [];
  for (let i = 0; i < o.count; i++) {
    const dir = join(o.dir, `node${i}`);
    await mkdir(dir, { recursive: true });
    nodes.push({
      index: i, dir, storeDir: join(o.storeDir, `node${i}`), child: null, log: [],
      port: (i === 0 && o.port) || await freePort(bind),
      wsPort: (i === 0 && o.wsPort) || await freePort(bind),
      clusterPort: o.count > 1 ? await freePort(bind) : 0,
    });
  }
  let stopped = false;
  const launch = async (n, until) => {
    for (const f of await readdir(n.dir)) if (f.endsWith('.ports')) await rm(join(n.dir, f), { force: true });
    const conf = join(n.dir, 'nats.conf');
    await writeFile(conf, nodeConfig(settings, n, nodes, await preload()), { mode: 0o600 });
    const child = spawn(o.natsServer ?? kNatsServer, ['-c', conf], { stdio: ['ignore', 'ignore', 'pipe'] });
    n.child = child;
    child.stderr.on('data', (d) => {
      n.log.push(d);
      if (n.log.length > 100) n.log.shift();
    });
    await new Promise((r, fail) => child.on('error', fail).once('spawn', r));
    try {
      await waitForPorts(n.dir, child, until);
    } catch (e) {
      e.message += `\n${Buffer.concat(n.log).toString().slice(-2000)}`;
      throw e;
    }
    child.once('exit', () => {
      if (!stopped && n.child === child && !n.restarting) restart(n.index).catch(() => {});
    });
  };
  const restart = (i) => {
    const n = nodes[i];
    return (n.restarting ??= (async () => {
      const child = n.child;
      if (child.exitCode === null && child.signalCode === null) {
        const gone = new Promise((r) => child.once('exit', r));
        child.kill('SIGKILL');
        await gone;
      }
      if (!stopped) await launch(n, Date.now() + 15000);
    })().finally(() => { n.restarting = null; }));
  };
  const stop = async () => {
    stopped = true;
    await Promise.all(nodes.map(async (n) => {
      const child = n.child;
      if (!child?.pid || child.exitCode !== null || child.signalCode !== null) return;
      const gone = new Promise((r) => child.once('exit', r));
      child.kill('SIGCONT'); // a frozen node would not hear the TERM
      child.kill('SIGTERM');
      const killer = setTimeout(() => child.kill('SIGKILL'), 5000);
      await gone;
      clearTimeout(killer);
    }));
  };
  // Should this process die unawares, the nodes go with it.
  const onExit = () => {
    for (const n of nodes) if (n.child?.pid && n.child.exitCode === null) n.child.kill('SIGKILL');
  };
  process.on('exit', onExit);
  try {
    await Promise.all(nodes.map((n) => launch(n, deadline)));
  } catch (e) {
    await stop();
    throw e;
  }
  return {
    nodes: nodes.map((n) => ({
      index: n.index, port: n.port, wsPort: n.wsPort,
      get pid() { return n.child.pid; },
    })),
    restart,
    async stop() {
      process.off('exit', onExit);
      await stop();
    },
  };
}
