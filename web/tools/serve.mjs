// Serves a folder of static files over HTTP on the loopback interface, for trying the site
// in a browser and for the page tests. Only GET and HEAD, only files inside the folder.
//
//   node web/tools/serve.mjs DIR [PORT]      (PORT absent: 8080; 0: any free port)
//
// On start it prints the site's address on a line of its own.
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

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

// Starts serving `dir`; resolves to {server, url} once it listens.
export function serve(dir, port = 0) {
  const root = resolve(dir);
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
    let size;
    try {
      const st = statSync(file);
      if (!st.isFile()) throw new Error('not a file');
      size = st.size;
    } catch {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, {
      'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
      'X-Content-Type-Options': 'nosniff',
      'Content-Length': size,
      'Cache-Control': 'no-cache',
    });
    if (req.method === 'HEAD') res.end();
    else createReadStream(file).pipe(res);
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
