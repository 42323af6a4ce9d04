// The boards the browser keeps between visits, in localStorage, safe across tabs: each page
// keeps its board under a key of its own, so no tab ever writes over another's board, and
// 前回の板書 offers every board kept by another page (one closed, reloaded or ended, or
// another tab still open, as a copy), newest first.
//
// Keys:
//   parallel-ratio.board.<id>    {"saved": ms since 1970, "board": the lesson's board data}
//   parallel-ratio.board         a board kept by an earlier version of the page (bare data)
//   parallel-ratio.damaged.<id>  the text of a kept board that could not be read, set aside
//
// A page holds the Web Lock "parallel-ratio.page.<id>" for as long as it is open, which tells
// another page which boards belong to open tabs; where the browser has no Web Locks every
// other board counts as left by a closed page. Of the boards left by closed pages only the
// newest kKeepClosed stay, so the storage does not fill up over the weeks.
(function (PR) {
  'use strict';

  const kPrefix = 'parallel-ratio.board.';
  const kOldKey = 'parallel-ratio.board';
  const kDamagedPrefix = 'parallel-ratio.damaged.';
  const kLockPrefix = 'parallel-ratio.page.';
  const kKeepClosed = 5;

  function newId() {
    const bytes = new Uint8Array(8);
    crypto.getRandomValues(bytes);
    return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
  }

  // The problem a failed write shows, in the names the core words (keepNotice).
  function problemOf(e) {
    const name = (e && e.name) || 'Error';
    if (name === 'QuotaExceededError' || name === 'NS_ERROR_DOM_QUOTA_REACHED' || e?.code === 22)
      return { problem: 'storageFull', detail: name };
    if (name === 'SecurityError') return { problem: 'storageOff', detail: name };
    return { problem: 'other', detail: name };
  }

  class BoardStore {
    // storage: a function giving the Storage (localStorage may throw on mere access).
    constructor(storage = () => window.localStorage) {
      this.storage = storage;
      this.id = newId();
      this.releaseLock = null;
    }

    // Takes this page's lock, sets aside what cannot be read and lets old boards go.
    // Resolves to the keys that damaged boards were set aside under.
    async begin() {
      await this.hold();
      const aside = [];
      for (const e of this.entries()) if (e.damaged) aside.push(this.setAside(e.key));
      const open = await this.openIds();
      const closed = this.entries().filter((e) => !open.has(e.id) && e.id !== this.id);
      for (const e of closed.slice(kKeepClosed)) this.remove(e.key);
      return aside.filter((k) => k);
    }

    // A new lesson in this page (after 終了): the ended lesson's board stays as it was kept.
    async renew() {
      if (this.releaseLock) this.releaseLock();
      this.id = newId();
      await this.hold();
    }

    async hold() {
      const locks = typeof navigator !== 'undefined' ? navigator.locks : undefined;
      if (!locks) return;
      await new Promise((held) => {
        locks.request(kLockPrefix + this.id, () => {
          held();
          return new Promise((release) => { this.releaseLock = release; });
        }).catch(() => held());
      });
    }

    // Ids of the pages open now, as far as the browser tells.
    async openIds() {
      const locks = typeof navigator !== 'undefined' ? navigator.locks : undefined;
      const ids = new Set();
      if (!locks) return ids;
      try {
        const { held } = await locks.query();
        for (const l of held)
          if (l.name.startsWith(kLockPrefix)) ids.add(l.name.slice(kLockPrefix.length));
      } catch (e) {
        // no lock is known: every other board counts as left
      }
      return ids;
    }

    // Keeps this page's board: null when kept, else { problem, detail }.
    keep(board) {
      let storage;
      try {
        storage = this.storage();
        if (!storage) return { problem: 'storageOff', detail: '' };
      } catch (e) {
        return { problem: 'storageOff', detail: e?.name || '' };
      }
      try {
        storage.setItem(kPrefix + this.id, JSON.stringify({ saved: Date.now(), board }));
        return null;
      } catch (e) {
        return problemOf(e);
      }
    }

    // Every kept board: { key, id, saved, text, board, damaged }, newest first. The text is
    // the board's JSON, so that two copies of one board can be told.
    entries() {
      let storage;
      try {
        storage = this.storage();
      } catch (e) {
        return [];
      }
      if (!storage) return [];
      const out = [];
      for (let i = 0; i < storage.length; ++i) {
        const key = storage.key(i);
        if (key !== kOldKey && !key?.startsWith(kPrefix)) continue;
        const raw = storage.getItem(key);
        const e = { key, id: key === kOldKey ? '' : key.slice(kPrefix.length), saved: 0,
                    board: null, damaged: false };
        try {
          const data = JSON.parse(raw);
          const board = key === kOldKey ? data : data?.board;
          if (!board || typeof board !== 'object') throw new Error('no board');
          e.board = board;
          e.text = JSON.stringify(board);
          if (key !== kOldKey) e.saved = Number(data.saved) || 0;
        } catch (err) {
          e.damaged = true;
        }
        out.push(e);
      }
      return out.sort((a, b) => b.saved - a.saved);
    }

    // The boards 前回の板書 offers: every readable board but this page's own, newest first,
    // each once; `open` marks those of a tab still open.
    async others() {
      const open = await this.openIds();
      const seen = new Set();
      const out = [];
      for (const e of this.entries()) {
        if (e.damaged || e.id === this.id || seen.has(e.text)) continue;
        seen.add(e.text);
        out.push({ key: e.key, saved: e.saved, board: e.board, open: open.has(e.id) });
      }
      return out;
    }

    // Moves a kept board that cannot be read to a key of its own; that key, or null.
    setAside(key) {
      try {
        const storage = this.storage();
        const raw = storage.getItem(key);
        if (raw === null) return null;
        const to = kDamagedPrefix + (key === kOldKey ? 'old-' + newId() : key.slice(kPrefix.length));
        storage.setItem(to, raw);
        storage.removeItem(key);
        return to;
      } catch (e) {
        return null; // left where it is: still not destroyed
      }
    }

    remove(key) {
      try {
        this.storage().removeItem(key);
      } catch (e) {
        // nothing to do
      }
    }
  }

  PR.BoardStore = BoardStore;
})(globalThis.ParallelRatio ??= {});
