// The browser engines the page's tests run in, each through its own automation: Chromium
// (playwright-core over the DevTools protocol), WebKitGTK (WebKitWebDriver, W3C WebDriver) and
// Firefox ESR (puppeteer-core over WebDriver BiDi). Each engine's driver gives its pages the
// same interface (driver.mjs), and LessonPage works on any of them.
//
// PR_ENGINES picks engines by name, comma-separated (default: all three). An engine whose
// browser is missing fails its tests; it is never left out unseen.
import { after, describe } from 'node:test';

import { ChromiumEngine } from './chromium.mjs';
import { FirefoxEngine } from './firefox.mjs';
import { WebKitEngine } from './webkit.mjs';

const kEngines = { chromium: ChromiumEngine, webkit: WebKitEngine, firefox: FirefoxEngine };

export function engineNames() {
  const names = (process.env.PR_ENGINES ?? Object.keys(kEngines).join(','))
    .split(/[\s,]+/).filter(Boolean);
  for (const n of names)
    if (!(n in kEngines)) throw new Error(`PR_ENGINES names ${n}; the engines are ${Object.keys(kEngines).join(', ')}`);
  if (names.length === 0) throw new Error('PR_ENGINES names no engine');
  return names;
}

// An engine: newPage(viewport) opens a page in a fresh profile, starting the browser first
// if it is not running yet (so that a group of skipped tests starts none); stop() ends it;
// lacks(feature) says why its automation cannot do something ('pen', 'touch', 'initScript',
// 'cdp'), or false.
export function engine(name) {
  const e = new kEngines[name]();
  const start = e.start.bind(e), newPage = e.newPage.bind(e), stop = e.stop.bind(e);
  let started = null;
  e.start = () => (started ??= start());
  e.newPage = async (viewport) => {
    await e.start();
    return newPage(viewport);
  };
  e.stop = async () => {
    if (!started) return;
    const was = started;
    started = null;
    if (await was.then(() => true, () => false)) await stop();
  };
  return e;
}

// body(engine) once per engine, inside a describe named after it; the engine's browser runs
// from the group's first page to its end.
export function forEachEngine(body) {
  for (const name of engineNames()) {
    describe(name, () => {
      const e = engine(name);
      after(() => e.stop());
      body(e);
    });
  }
}

// Options of a test that needs the engine to send or run something: skipped, with the
// reason, where its automation cannot.
export function needs(e, ...features) {
  for (const f of features) {
    const reason = e.lacks(f);
    if (reason) return { skip: reason };
  }
  return {};
}
