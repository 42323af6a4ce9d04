// What every engine's page driver offers the tests, and what the drivers share. Points are CSS
// pixels of the viewport; buttons 'left', 'right', 'middle'; keys as 'Control+Shift+z', 'F11'.
//
//   goto(url), reload(), title(), close() (with its tabs), closeTab()
//   evaluate(fn, arg)                      fn runs in the page with one JSON-able argument
//   waitForFunction(fn, arg, {timeout})    until fn(arg) in the page is truthy
//   mouse(type, x, y, button)              type 'move' | 'down' | 'up'
//   touch(type, points)                    type touchStart | touchMove | touchEnd; [[x, y, id]]
//   pen(type, x, y, button)                type mouseMoved | mousePressed | mouseReleased
//   key(combo), setViewport({width, height}), screenshot() -> PNG of the viewport
//   addInitScript(fn), download(action) -> {name, data}, newTab()
//   requests, errors                       every URL the page asked for, every error it reported
export class PageDriver {
  constructor() {
    this.requests = [];
    this.errors = [];
  }

  // Polls rather than relying on an engine's own wait, so that a page being replaced (a
  // reload) is waited through the same way everywhere.
  async waitForFunction(fn, arg, { timeout = 15000 } = {}) {
    const end = Date.now() + timeout;
    let last;
    for (;;) {
      try {
        const v = await this.evaluate(fn, arg);
        if (v) return v;
      } catch (e) {
        last = e;
      }
      if (Date.now() > end)
        throw new Error(`waited ${timeout} ms for ${String(fn).slice(0, 80)}${last ? `: ${last.message}` : ''}`);
      await new Promise((r) => setTimeout(r, 40));
    }
  }

  // Catches the file the page hands over as a download where the engine's automation cannot:
  // the page's blob as it passes through an anchor's click, and the name the anchor gives.
  async download(action) {
    await withoutSavePicker(this);
    await this.evaluate(() => {
      const blobs = new Map();
      const created = URL.createObjectURL;
      URL.createObjectURL = (b) => { const u = created.call(URL, b); blobs.set(u, b); return u; };
      const click = HTMLAnchorElement.prototype.click;
      globalThis.__prDownload = new Promise((done) => {
        HTMLAnchorElement.prototype.click = function () {
          const blob = this.download && blobs.get(this.href);
          if (!blob) return click.call(this);
          HTMLAnchorElement.prototype.click = click;
          URL.createObjectURL = created;
          const name = this.download;
          blob.arrayBuffer().then((buf) => {
            let bin = '';
            const bytes = new Uint8Array(buf);
            for (let i = 0; i < bytes.length; i += 0x8000)
              bin += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
            done({ name, data: btoa(bin) });
          });
        };
      });
    });
    await action();
    const r = await this.evaluate(() => Promise.race([globalThis.__prDownload,
      new Promise((done) => setTimeout(() => done(null), 20000))]));
    if (!r) throw new Error('no download within 20 s');
    return { name: r.name, data: Buffer.from(r.data, 'base64') };
  }
}

// A page saves through the browser's save picker where it has one (Chromium's, which a
// headless browser cancels at once), and downloads otherwise: a test of the download takes
// the picker away.
export function withoutSavePicker(driver) {
  return driver.evaluate(() => {
    delete Window.prototype.showSaveFilePicker;
    delete globalThis.showSaveFilePicker;
  });
}

// 'Control+Shift+z' as its modifiers and its key.
export function splitCombo(combo) {
  const plus = combo.endsWith('+');
  const parts = (plus ? combo.slice(0, -1) : combo).split('+').filter(Boolean);
  const key = plus ? '+' : parts.pop();
  return { modifiers: parts, key };
}

// The source of a function to run in the page with one argument, as text.
export function callText(fn) {
  return `(${String(fn)})`;
}

export const kButtonNumbers = { left: 0, middle: 1, right: 2 };
