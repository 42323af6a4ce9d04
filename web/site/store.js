// The boards the browser keeps between visits, in localStorage, safe across tabs: each page
// keeps its board under a key of its own, so no tab ever writes over another's board, and
// 前回の板書 offers every board kept by another page (one closed, reloaded or ended, or
// another tab still open, as a copy), newest first.
//
// Keys:
//   parallel-ratio.board.<id>    the board file's text (docs/BOARD_FORMAT.md), as on the desktop
//   parallel-ratio.saved.<id>    when it was kept, in ms since 1970
//   parallel-ratio.board         a board an earlier version of the page kept in data of its
//                                own, converted to a board file once
//   parallel-ratio.damaged.<id>  the text of a kept board that could not be read, set aside
//
// A page holds the Web Lock "parallel-ratio.page.<id>" for as long as it is open, which tells
// another page which boards belong to open tabs; where the browser has no Web Locks every
// other board counts as left by a closed page. Of the boards left by closed pages only the
// newest kKeepClosed stay, so the storage does not fill up over the weeks.
(function (PR) {
  'use strict';

  const kPrefix = 'parallel-ratio.board.';
  const kSavedPrefix = 'parallel-ratio.saved.';
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
    // lesson: checks a board file's text (checkBoard: empty if the lesson could show it) and
    // converts an earlier version's data (convertOldBoard: empty if it cannot).
    // storage: a function giving the Storage (localStorage may throw on mere access).
    constructor(lesson, storage = () => window.localStorage) {
      this.lesson = lesson;
      this.storage = storage;
      this.id = newId();
      this.releaseLock = null;
    }

    // Takes this page's lock, converts an earlier version's board, sets aside what cannot be
    // read and lets old boards go. Resolves to the keys damaged boards were set aside under.
    async begin() {
      await this.hold();
      const aside = [this.convertOld()];
      for (const e of this.entries())
        if (this.lesson.checkBoard(e.text)) aside.push(this.setAside(e.key));
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

    // The board an earlier version kept becomes a board file of its own; one that is no
    // board is set aside (its new key is returned).
    convertOld() {
      try {
        const storage = this.storage();
        const raw = storage?.getItem(kOldKey);
        if (raw === null || raw === undefined) return null;
        let text = '';
        try {
          text = this.lesson.convertOldBoard(JSON.parse(raw));
        } catch (e) {
          text = '';
        }
        if (!text) return this.setAside(kOldKey);
        const id = 'old-' + newId();
        storage.setItem(kPrefix + id, text);
        storage.setItem(kSavedPrefix + id, '0');
        storage.removeItem(kOldKey);
      } catch (e) {
        // left as it is, to be converted another time
      }
      return null;
    }

    // Keeps this page's board (a board file's text): null when kept, else { problem, detail }.
    keep(text) {
      let storage;
      try {
        storage = this.storage();
        if (!storage) return { problem: 'storageOff', detail: '' };
      } catch (e) {
        return { problem: 'storageOff', detail: e?.name || '' };
      }
      try {
        storage.setItem(kPrefix + this.id, text);
        storage.setItem(kSavedPrefix + this.id, String(Date.now()));
        return null;
      } catch (e) {
        return problemOf(e);
      }
    }

    // Every kept board: { key, id, saved, text }, newest first.
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
        if (!key?.startsWith(kPrefix)) continue;
        const id = key.slice(kPrefix.length);
        out.push({ key, id, saved: Number(storage.getItem(kSavedPrefix + id)) || 0,
                   text: storage.getItem(key) ?? '' });
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
        if (e.id === this.id || seen.has(e.text)) continue;
        seen.add(e.text);
        out.push({ key: e.key, saved: e.saved, text: e.text, open: open.has(e.id) });
      }
      return out;
    }

    // Moves a kept board that cannot be read to a key of its own; that key, or null.
    setAside(key) {
      try {
        const storage = this.storage();
        const raw = storage.getItem(key);
        if (raw === null) return null;
        const id = key === kOldKey ? 'old-' + newId() : key.slice(kPrefix.length);
        const to = kDamagedPrefix + id;
        storage.setItem(to, raw);
        storage.removeItem(key);
        storage.removeItem(kSavedPrefix + id);
        return to;
      } catch (e) {
        return null; // left where it is: still not destroyed
      }
    }

    remove(key) {
      try {
        this.storage().removeItem(key);
        this.storage().removeItem(kSavedPrefix + key.slice(kPrefix.length));
      } catch (e) {
        // nothing to do
      }
    }
  }

  PR.BoardStore = BoardStore;
})(globalThis.ParallelRatio ??= {});
