// Writes the site's service worker from its template: the list of files to keep (paths
// relative to the site's folder) and a version made from their names and contents, so that
// any change to the site gives a new worker.
//
//   node make-sw.mjs TEMPLATE SITE_DIR OUT FILE...
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [template, siteDir, out, ...files] = process.argv.slice(2);
if (!files.length) {
  console.error('usage: node make-sw.mjs TEMPLATE SITE_DIR OUT FILE...');
  process.exit(2);
}

const sorted = [...new Set(files)].sort();
const hash = createHash('sha256');
for (const f of sorted) {
  hash.update(f + '\0');
  hash.update(readFileSync(join(siteDir, f)));
  hash.update('\0');
}
const version = hash.digest('hex').slice(0, 16);

const text = readFileSync(template, 'utf8')
  .replace('@VERSION@', version)
  .replace('@FILES@', JSON.stringify(sorted, null, 2));
writeFileSync(out, text);
