// Serves a folder of static files over HTTP on the loopback interface, for trying the site
// in a browser and for the page tests. Only GET and HEAD, only files inside the folder.
// A file of a kind that compresses goes compressed to a browser that takes it (brotli before
// gzip): the build's copy beside it (<file>.br, <file>.gz) where that is not older than the
// file, else compressed here once. A request for a range gets the file's own bytes.
//
//   node web/tools/serve.mjs DIR [PORT]      (PORT absent: 8080; 0: any free port)
//
// On start it prints the site's address on a line of its own.
import { createReadStream, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

import { kCompressible, kEncodings, kSuffix } from './compress.mjs';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain; charset=utf-8',
  '.jpg': 'image/jpeg',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/vnd.microsoft.icon',
  '.woff2': 'font/woff2',
  '.wasm': 'application/wasm',
};

// The encodings of kEncodings the request's Accept-Encoding takes, best first.
export function acceptedEncodings(header) {
  const q = new Map();
  for (const part of String(header ?? '').split(',')) {
    const [name, ...params] = part.trim().toLowerCase().split(';');
    if (!name) continue;
    const p = params.map((x) => x.trim()).find((x) => x.startsWith('q='));
    const v = p ? Number(p.slice(2)) : 1;
    q.set(name, Number.isFinite(v) ? v : 0);
  }
  const of = (e) => q.get(e) ?? q.get(e === 'gzip' ? 'x-gzip' : e) ?? q.get('*') ?? 0;
  return Object.keys(kEncodings).filter((e) => of(e) > 0)
    .sort((a, b) => of(b) - of(a));
}

// One range "bytes=a-b", "bytes=a-" or "bytes=-n" of a file of `size` bytes: [start, end]
// inclusive, null where it cannot be met, undefined where it is not one such range (then
// the whole file goes).
function parseRange(header, size) {
  const m = /^bytes=(\d*)-(\d*)$/.exec(header.trim());
  if (!m || (m[1] === '' && m[2] === '')) return undefined;
  let start, end;
  if (m[1] === '') {
    start = Math.max(0, size - Number(m[2]));
    end = size - 1;
  } else {
    start = Number(m[1]);
    end = m[2] === '' ? size - 1 : Math.min(size - 1, Number(m[2]));
  }
  return start <= end && start < size ? [start, end] : null;
}

// Starts serving `dir`; resolves to {server, url} once it listens.
export function serve(dir, port = 0) {
  const root = resolve(dir);
  // Copies compressed here, by file, encoding, time and size of the file.
  const packed = new Map();
  const compressed = (file, st, encoding) => {
    const copy = file + kSuffix[encoding];
    try {
      const cs = statSync(copy);
      if (cs.isFile() && cs.mtimeMs >= st.mtimeMs) return { path: copy, size: cs.size };
    } catch {
      // none beside it
    }
    const key = `${file}\0${encoding}`;
    let hit = packed.get(key);
    if (!hit || hit.mtimeMs !== st.mtimeMs || hit.size !== st.size) {
      const data = kEncodings[encoding](readFileSync(file), extname(file) !== '.wasm');
      hit = { mtimeMs: st.mtimeMs, size: st.size, data };
      packed.set(key, hit);
    }
    return hit.data.length < st.size ? { data: hit.data, size: hit.data.length } : null;
  };
  const server = createServer((req, res) => {
    if (req.method !== 'GET' && req.method !== 'HEAD') {
      res.writeHead(405).end();
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    } catch {
      res.writeHead(400).end();
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(root, path));
    if (file !== root && !file.startsWith(root + sep)) {
      res.writeHead(403).end();
      return;
    }
    let st;
    try {
      st = statSync(file);
      if (!st.isFile()) throw new Error('not a file');
    } catch {
      res.writeHead(404).end();
      return;
    }
    const headers = {
      'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
      'X-Content-Type-Options': 'nosniff',
      'Cache-Control': 'no-cache',
      'Last-Modified': st.mtime.toUTCString(),
    };
    const compressible = kCompressible.has(extname(file));
    if (compressible) headers.Vary = 'Accept-Encoding';
    const range = req.headers.range === undefined ? undefined : parseRange(req.headers.range, st.size);
    let body = { path: file, size: st.size };
    let status = 200;
    if (range === null) {
      res.writeHead(416, { ...headers, 'Content-Range': `bytes */${st.size}` }).end();
      return;
    } else if (range) {
      status = 206;
      headers['Content-Range'] = `bytes ${range[0]}-${range[1]}/${st.size}`;
      body = { path: file, size: range[1] - range[0] + 1, start: range[0], end: range[1] };
    } else if (compressible) {
      for (const encoding of acceptedEncodings(req.headers['accept-encoding'])) {
        const copy = compressed(file, st, encoding);
        if (!copy) continue;
        headers['Content-Encoding'] = encoding;
        body = copy;
        break;
      }
    }
    if (!headers['Content-Encoding']) headers['Accept-Ranges'] = 'bytes';
    headers['Content-Length'] = body.size;
    res.writeHead(status, headers);
    if (req.method === 'HEAD') res.end();
    else if (body.data) res.end(body.data);
    else createReadStream(body.path, { start: body.start, end: body.end }).pipe(res);
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => {
      const { port: p } = server.address();
      done({ server, url: `http://127.0.0.1:${p}/` });
    });
  });
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? '').href) {
  const [dir, port] = process.argv.slice(2);
  if (!dir) {
    console.error('usage: node serve.mjs DIR [PORT]');
    process.exit(2);
  }
  let url;
  try {
    ({ url } = await serve(dir, Number(port ?? 8080)));
  } catch (e) {
    console.error(e.code === 'EADDRINUSE'
      ? `Port ${port ?? 8080} is taken: give another, e.g. PORT=8081`
      : String(e));
    process.exit(1);
  }
  console.log(`Serving ${resolve(dir)}; open this address in a browser (Ctrl+C ends):`);
  console.log(url);
}
