// Where the built site is, and the lesson's module loaded from it under node.
import { existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../../..');

// PR_WEB_SITE names the site folder; by default the one setup.sh builds.
export const site = resolve(process.env.PR_WEB_SITE ?? join(repo, 'build-web/site'));

export function requireSiteFile(name) {
  const file = join(site, name);
  if (!existsSync(file))
    throw new Error(`${file} is missing: build the site first (./setup.sh web or ./setup.sh test)`);
  return createRequire(import.meta.url)(file);
}

let module;

// The WebAssembly module, created once per test file.
export async function lessonModule() {
  module ??= await requireSiteFile('parallel-ratio.js')();
  return module;
}

// A fresh lesson, deleted again when the test ends.
export async function newLesson(t) {
  const m = await lessonModule();
  const lesson = new m.Lesson();
  t.after(() => lesson.delete());
  return lesson;
}
