// The machine's own Chromium, headless, driven by playwright-core (web/package.json; `npm ci`
// in web/). playwright-core brings no browser and downloads none: PR_CHROMIUM names the
// executable, /usr/bin/chromium by default.
let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch (e) {
  throw new Error(`playwright-core is missing: run \`PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci\` in web/ (${e.code ?? e.message})`);
}

export const chromiumPath = process.env.PR_CHROMIUM ?? '/usr/bin/chromium';

// Everything that would reach out to the network or depend on the machine's state is off;
// colours are plain sRGB so that a pixel read back is the colour the page painted.
const kArgs = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--no-default-browser-check', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-extensions', '--disable-default-apps', '--mute-audio',
  '--disable-features=Translate,MediaRouter,OptimizationHints',
  '--hide-scrollbars', '--force-color-profile=srgb',
];

export function launch() {
  return chromium.launch({ executablePath: chromiumPath, args: kArgs });
}

// A fresh context (its own storage, cache and service workers) with one page at the given
// viewport, in CSS pixels, and device pixel ratio. The page records every URL it asks for
// and every error it reports.
export async function newPage(browser, { width = 811, height = 702, dpr = 1 } = {}) {
  const context = await browser.newContext({
    viewport: { width, height }, deviceScaleFactor: dpr,
  });
  const page = await newTab(context);
  context.on('request', (r) => page.requests.push(r.url()));
  return page;
}

// Another page in a context: a second tab of the same browser profile, sharing its storage.
// It records the errors it reports.
export async function newTab(context) {
  const page = await context.newPage();
  page.requests = [];
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('requestfailed', (r) => page.errors.push(`failed: ${r.url().slice(0, 80)} ${r.failure()?.errorText}`));
  return page;
}
