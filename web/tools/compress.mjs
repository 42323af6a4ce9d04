// Writes the compressed copies of the site's files: <file>.gz (gzip -9) and <file>.br (brotli
// at its best), beside each file of a kind that compresses, for a server that sends a copy to
// the browsers that take it. Node brings both compressors, so every build has both. A copy
// that would not be smaller than its file is not kept: a server then sends the file.
//
//   node compress.mjs SITE_DIR FILE...     (paths relative to SITE_DIR)
import { existsSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { extname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

// Fonts and pictures are compressed already.
export const kCompressible = new Set(['.html', '.js', '.mjs', '.css', '.json', '.webmanifest',
                                      '.txt', '.svg', '.wasm']);

export const kEncodings = {
  br: (data, text) => brotliCompressSync(data, {
    params: {
      [constants.BROTLI_PARAM_QUALITY]: constants.BROTLI_MAX_QUALITY,
      [constants.BROTLI_PARAM_MODE]: text ? constants.BROTLI_MODE_TEXT : constants.BROTLI_MODE_GENERIC,
      [constants.BROTLI_PARAM_SIZE_HINT]: data.length,
    },
  }),
  gzip: (data) => gzipSync(data, { level: 9 }),
};
export const kSuffix = { br: '.br', gzip: '.gz' };

export function compressFile(path) {
  const data = readFileSync(path);
  const text = extname(path) !== '.wasm';
  for (const [encoding, compress] of Object.entries(kEncodings)) {
    const out = path + kSuffix[encoding];
    const packed = compress(data, text);
    if (packed.length < data.length) writeFileSync(out, packed);
    else if (existsSync(out)) rmSync(out);
  }
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? '').href) {
  const [siteDir, ...files] = process.argv.slice(2);
  if (!siteDir || !files.length) {
    console.error('usage: node compress.mjs SITE_DIR FILE...');
    process.exit(2);
  }
  for (const f of new Set(files))
    if (kCompressible.has(extname(f))) compressFile(join(siteDir, f));
}
