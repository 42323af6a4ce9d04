// The lesson window as a page: the window's controls laid out from the form's design around
// the drawing surface, the whole form scaled uniformly to the viewport. Every user action
// reaches the lesson here and only here: a button, an option or a surface event runs one
// entry point, and then the page is brought in line with the form once (the controls from
// the form's state, the surface from what the action changed).
(function (PR) {
  'use strict';

  // The letter bitmaps by image id (the order of the core's ImageId).
  const kLetterFiles = ['letter_l.jpg', 'letter_m.jpg', 'letter_p.jpg', 'letter_q.jpg',
                        'letter_r.jpg'];

  function loadLetters(count) {
    const images = [];
    const loads = [];
    for (let i = 0; i < count; ++i) {
      const img = new Image();
      img.src = 'letters/' + kLetterFiles[i];
      images.push(img);
      // A bitmap that fails to load is left out of the picture, as on the desktop.
      loads.push(img.decode().catch(() => undefined));
    }
    return { pending: images, loaded: Promise.all(loads).then(() => images) };
  }

  // The CSS font families of the two faces, as the style sheet names them.
  function fontFamilies(letters) {
    const probe = (cls) => {
      const e = document.createElement('span');
      e.className = cls;
      document.body.appendChild(e);
      const family = getComputedStyle(e).fontFamily;
      e.remove();
      return family;
    };
    return { gothic: probe('gothic'), mincho: probe('mincho'), italic: letters };
  }

  // Width of the tool strip right of the form, logical pixels at scale 1 (as on the desktop).
  const kStripWidth = 136;

  // When a kept board was kept, as the chooser of 前回の板書 names it.
  function savedAt(ms) {
    if (!ms) return PR.messages.earlierBoard;
    const d = new Date(ms);
    const two = (n) => String(n).padStart(2, '0');
    return `${d.getMonth() + 1}月${d.getDate()}日 ${two(d.getHours())}:${two(d.getMinutes())}`;
  }

  // An element of the page: tag, class names, and its text if any.
  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // A part of the page that shows only at times: hidden at first, with a role and a name
  // for screen readers.
  function panel(className, role, name) {
    const e = element('div', className);
    e.hidden = true;
    e.setAttribute('role', role);
    e.setAttribute('aria-label', name);
    return e;
  }

  // A push button in the gothic face that runs `action` when clicked.
  function commandButton(caption, action) {
    const b = element('button', 'command gothic', caption);
    b.type = 'button';
    b.addEventListener('click', action);
    return b;
  }

  // Hands a blob to the browser as a download named `name`.
  function download(blob, name) {
    const a = element('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }

  function faceClass(style) {
    return style.face === 'mincho' ? 'mincho' : 'gothic';
  }

  class Page {
    // lesson: the lesson as loaded; newLesson() makes another as the program starts, for the
    // lesson after 終了.
    constructor(root, lesson, letters, newLesson, letterFace = null) {
      this.root = root;
      this.newLesson = newLesson;
      this.lesson = lesson;
      this.design = lesson.layout();
      this.ended = false;
      const d = this.design;

      document.body.style.backgroundColor = PR.cssColour(d.back);
      root.style.backgroundColor = PR.cssColour(d.back);

      this.heading = this.windowLabel(d.heading, 'heading');
      this.rowCaptions = d.rowCaptions.map((l) => this.windowLabel(l, 'row-caption'));

      this.commands = d.commands.map((c) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'control command ' + faceClass(c.font);
        b.textContent = c.caption;
        b.addEventListener('click', () => this.handle((l) => l.clickCommand(c.number)));
        root.appendChild(b);
        return b;
      });

      this.options = d.options.map((o) => {
        const label = document.createElement('label');
        label.className = 'control option ' + faceClass(o.font);
        label.style.backgroundColor = PR.cssColour(o.back);
        label.style.color = PR.cssColour(o.fore);
        const input = document.createElement('input');
        input.type = 'radio';
        input.name = 'pen';
        input.addEventListener('click', () => this.handle((l) => l.clickOption(o.index)));
        const text = document.createElement('span');
        text.textContent = o.caption;
        label.append(input, text);
        root.appendChild(label);
        return input;
      });

      const canvas = document.createElement('canvas');
      canvas.className = 'control surface';
      root.appendChild(canvas);
      this.surface = new PR.Surface(canvas, d.surface, d.back, fontFamilies(letterFace), letters);
      this.surface.setList(lesson.drawList());
      this.input = new PR.SurfaceInput(canvas, (x, y) => this.surface.toSurface(x, y), {
        press: (b, s, x, y) => this.handle((l) => l.press(b, s, x, y)),
        move: (b, s, x, y) => this.handle((l) => l.move(b, s, x, y)),
        release: (b, s, x, y) => this.handle((l) => l.release(b, s, x, y)),
      });

      this.onResize = () => this.relayout();
      window.addEventListener('resize', this.onResize);
      this.watchPixelRatio();
      this.onKey = (e) => this.key(e);
      window.addEventListener('keydown', this.onKey);

      this.endedNotice = this.makeEndedNotice();

      // The boards other pages kept, for 前回の板書; the page opens on the initial screen.
      this.store = new PR.BoardStore({
        checkBoard: (text) => this.lesson.checkBoard(text),
        convertOldBoard: (data) => this.lesson.convertOldBoard(data),
      });
      this.others = [];
      this.keptRevision = lesson.revision();
      this.tools = this.makeTools();
      this.notice = this.makeNotice();
      this.chooser = this.makeChooser();
      this.stored = this.store.begin().then((aside) => {
        if (aside.length) this.showDamaged(aside.join(', '));
        return this.refreshOthers();
      });
      // Another tab kept a board: 前回の板書 may have one more to offer.
      window.addEventListener('storage', () => this.refreshOthers());

      this.relayout();
      this.sync();
    }

    makeEndedNotice() {
      const m = PR.messages;
      const veil = document.createElement('div');
      veil.className = 'ended gothic';
      veil.hidden = true;
      veil.setAttribute('role', 'alertdialog');
      veil.setAttribute('aria-label', m.endedTitle);
      const box = document.createElement('div');
      box.className = 'ended-box';
      const text = document.createElement('p');
      text.className = 'ended-message';
      text.textContent = m.ended;
      const again = document.createElement('button');
      again.type = 'button';
      again.className = 'control command gothic';
      again.textContent = m.restart;
      again.addEventListener('click', () => this.restart());
      box.append(text, again);
      veil.appendChild(box);
      this.root.appendChild(veil);
      return veil;
    }

    makeTools() {
      const m = PR.messages;
      const strip = document.createElement('div');
      strip.className = 'tools';
      strip.setAttribute('role', 'toolbar');
      strip.setAttribute('aria-label', m.tools);
      strip.setAttribute('aria-orientation', 'vertical');
      const tool = (caption, keys, action, group = false) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'command gothic' + (group ? ' group' : '');
        b.textContent = caption;
        if (keys) b.setAttribute('aria-keyshortcuts', keys);
        b.addEventListener('click', action);
        strip.appendChild(b);
        return b;
      };
      const t = {
        strip: strip,
        undo: tool(m.undo, 'Control+Z Meta+Z', () => this.handle((l) => l.undo())),
        redo: tool(m.redo, 'Control+Shift+Z Control+Y Meta+Shift+Z',
                   () => this.handle((l) => l.redo())),
        clearWriting: tool(m.clearWriting, null, () => this.handle((l) => l.clearWriting())),
        restore: tool(m.restore, 'Control+Shift+T', () => this.restoreBoard(), true),
        savePicture: tool(m.savePicture, null, () => this.savePicture()),
      };
      this.root.appendChild(strip);
      return t;
    }

    async refreshOthers() {
      this.others = await this.store.others();
      if (this.tools) this.tools.restore.disabled = this.ended || !this.others.length;
    }

    // 前回の板書: a board another page kept, as one undoable step; with several, the
    // teacher chooses.
    restoreBoard() {
      if (this.ended) return Promise.resolve();
      this.restoring = this.refreshOthers().then(() => {
        if (this.others.length === 1) this.openKept(this.others[0]);
        else if (this.others.length > 1) this.choose(this.others);
      });
      return this.restoring;
    }

    openKept(entry) {
      let error = '';
      this.handle((l) => {
        try {
          error = l.openBoard(entry.text);
        } catch (e) {
          error = String(e);
        }
      });
      if (!error) return;
      // A kept board the lesson cannot show is set aside, not destroyed.
      const aside = this.store.setAside(entry.key);
      this.showDamaged(aside || entry.key);
      this.refreshOthers();
    }

    makeChooser() {
      const m = PR.messages;
      const box = panel('chooser gothic', 'dialog', m.restore);
      const list = element('div', 'chooser-list');
      box.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') box.hidden = true;
      });
      box.append(element('p', '', m.chooseBoard), list,
                 commandButton(m.close, () => { box.hidden = true; }));
      this.root.appendChild(box);
      return { box, list };
    }

    choose(entries) {
      const { box, list } = this.chooser;
      list.replaceChildren(...entries.map((entry) => commandButton(
        savedAt(entry.saved) + (entry.open ? PR.messages.openElsewhere : ''), () => {
          box.hidden = true;
          this.openKept(entry);
        })));
      box.hidden = false;
      list.firstChild.focus();
    }

    // The notice below the figure: the board cannot be kept (with 保存, until keeping works
    // again), or a damaged kept board was set aside (with 閉じる, once).
    makeNotice() {
      const m = PR.messages;
      const box = panel('control notice gothic', 'alert', m.notice);
      const text = element('p');
      const button = commandButton('', () => {
        if (this.keepText) {
          this.downloadBoard();
        } else {
          this.damagedText = '';
          this.refreshNotice();
        }
      });
      box.append(text, button);
      this.root.appendChild(box);
      this.keepText = '';
      this.damagedText = '';
      return { box, text, button };
    }

    refreshNotice() {
      const m = PR.messages;
      const shown = this.keepText || this.damagedText;
      this.notice.box.hidden = !shown;
      this.notice.text.textContent = shown;
      this.notice.button.textContent = this.keepText ? m.save : m.close;
    }

    showDamaged(where) {
      this.damagedText = this.lesson.damagedNotice(where);
      this.refreshNotice();
    }

    // Keeps the board in the browser; says at once when it cannot, and stops saying so when
    // it can again.
    keepBoard() {
      const failed = this.store.keep(this.lesson.board());
      const text = failed ? this.lesson.keepNotice(failed.problem, failed.detail) : '';
      if (text !== this.keepText) {
        this.keepText = text;
        this.refreshNotice();
      }
    }

    // 保存 of the notice: the board as a file, where the browser puts downloads.
    downloadBoard() {
      download(new Blob([this.lesson.board()], { type: this.lesson.boardFileType() }),
               PR.messages.boardFileName + '.' + this.lesson.boardFileExtension());
    }

    // 画像で保存: the surface as it shows now, at the canvas's own resolution, as a PNG.
    savePicture() {
      if (this.ended) return;
      const canvas = this.surface.canvas;
      this.surface.flush();
      canvas.toBlob((blob) => {
        if (blob) download(blob, 'board.png');
      }, 'image/png');
    }

    windowLabel(l, cls) {
      const e = document.createElement('div');
      e.className = 'control ' + cls + ' ' + faceClass(l.font);
      e.textContent = l.caption;
      e.style.backgroundColor = PR.cssColour(l.back);
      e.style.color = PR.cssColour(l.fore);
      e.style.fontWeight = l.font.bold ? 'bold' : 'normal';
      this.root.appendChild(e);
      return e;
    }

    // Runs one user action on the lesson, then brings the page in line with the form.
    handle(action) {
      if (this.ended) return;
      action(this.lesson);
      this.sync();
    }

    sync() {
      const st = this.lesson.state();
      if (document.title !== st.caption) document.title = st.caption;
      st.commandsEnabled.forEach((on, i) => { this.commands[i].disabled = !on; });
      st.optionsEnabled.forEach((on, i) => { this.options[i].disabled = !on; });
      st.optionsSelected.forEach((on, i) => { this.options[i].checked = on; });
      this.surface.apply(this.lesson.takeChanges());
      const l = this.lesson;
      if (this.tools) {
        this.tools.undo.disabled = !l.canUndo();
        this.tools.redo.disabled = !l.canRedo();
        this.tools.clearWriting.disabled = !l.hasWriting();
        this.tools.restore.disabled = !this.others.length;
      }
      // The board is kept whenever it moved on; never mid-gesture, where the count stands,
      // but at 終了 as it shows, a stroke in progress and all.
      const revision = l.revision();
      if (revision !== this.keptRevision || (st.endRequested && l.gestureInProgress())) {
        this.keptRevision = revision;
        this.keepBoard();
      }
      if (st.endRequested) this.end();
    }

    relayout() {
      const d = this.design;
      const dpr = window.devicePixelRatio || 1;
      const view = document.documentElement;
      const g = new PR.FormGeometry(view.clientWidth, view.clientHeight,
                                    d.clientWidth, d.clientHeight, d.twipsPerPixel, dpr,
                                    kStripWidth);
      this.root.style.setProperty('--scale', String(g.scale));
      const put = (e, c) => {
        const r = g.place(c.left, c.top, c.width, c.height);
        e.style.left = r.x + 'px';
        e.style.top = r.y + 'px';
        e.style.width = r.w + 'px';
        e.style.height = r.h + 'px';
        e.style.fontSize = g.fontPixels(c.font.pixelSize) + 'px';
      };
      put(this.heading, d.heading);
      d.rowCaptions.forEach((c, i) => put(this.rowCaptions[i], c));
      d.commands.forEach((c, i) => {
        put(this.commands[i], c);
        this.commands[i].style.fontWeight = c.font.bold ? 'bold' : 'normal';
      });
      d.options.forEach((c, i) => put(this.options[i].parentElement, c));
      const s = d.surface;
      this.surface.setGeometry(g.place(s.left, s.top, s.width, s.height), g.scale, dpr);
      this.surface.placed(this.surface.canvas.getBoundingClientRect());

      put(this.notice.box, d.notice);

      const room = g.side();
      const strip = this.tools.strip;
      strip.hidden = !room;
      if (room) {
        strip.style.left = room.x + 'px';
        strip.style.top = room.y + 'px';
        strip.style.width = room.w + 'px';
        strip.style.height = room.h + 'px';
      }
    }

    // Another screen, or the browser's zoom, may change the pixel ratio without a resize.
    watchPixelRatio() {
      const ratio = window.devicePixelRatio || 1;
      const query = window.matchMedia('(resolution: ' + ratio + 'dppx)');
      const changed = () => {
        query.removeEventListener('change', changed);
        this.relayout();
        this.watchPixelRatio();
      };
      query.addEventListener('change', changed);
    }

    key(e) {
      const mod = e.ctrlKey || e.metaKey;
      if (mod && !e.altKey) {
        const k = e.key.toLowerCase();
        let action = null;
        if (k === 'z' && !e.shiftKey) action = () => this.handle((l) => l.undo());
        else if ((k === 'z' && e.shiftKey) || (k === 'y' && !e.shiftKey))
          action = () => this.handle((l) => l.redo());
        else if (k === 't' && e.shiftKey) action = () => this.restoreBoard();
        if (action) {
          e.preventDefault();
          action();
        }
        return;
      }
      // F11 toggles full screen, as in the desktop program; Esc leaves it by the browser's
      // own hand.
      if (e.key !== 'F11') return;
      e.preventDefault();
      const root = document.documentElement;
      if (document.fullscreenElement) document.exitFullscreen().catch(() => undefined);
      else if (root.requestFullscreen) root.requestFullscreen().catch(() => undefined);
    }

    // 終了: the lesson ends. A page cannot close the tab it is in, and a class would rather
    // not lose it: the window returns to the initial screen of a new lesson (as the program
    // shows when it starts) under a notice that the lesson has ended, with a button that
    // takes the notice away. Until then no input reaches the lesson.
    end() {
      // Input stops here (handle); a finger still down lifts into nothing.
      this.ended = true;
      this.lesson.delete();
      this.lesson = this.newLesson();
      this.surface.restart(this.lesson.drawList());
      this.lesson.takeChanges(); // the new lesson's own start is already on the surface
      // The ended lesson's board stays kept under its own key, one more for 前回の板書.
      this.keptRevision = this.lesson.revision();
      this.stored = this.store.renew().then(() => this.refreshOthers());
      this.sync();
      if (document.fullscreenElement) document.exitFullscreen().catch(() => undefined);
      this.endedNotice.hidden = false;
      this.endedNotice.querySelector('button').focus();
    }

    restart() {
      this.endedNotice.hidden = true;
      this.ended = false;
    }
  }

  // The site's faces are in before the surface paints its first text, so the canvas
  // measures and draws with them from the start. A face that cannot be read leaves the
  // fallbacks of the style sheet; without the italic, the letters are the bitmaps. Resolves
  // to the letters' CSS family, or null.
  async function loadFonts() {
    const [, , italic] = await PR.faces;
    return italic ? '"ParallelRatio Italic"' : null;
  }

  // Keeps the site for use without a network (sw.js). Only where the browser offers it: not
  // for a page opened from disk, nor outside a secure context.
  function keepOffline() {
    if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
    if (location.protocol !== 'http:' && location.protocol !== 'https:') return;
    navigator.serviceWorker.register('sw.js').catch(() => undefined);
  }

  async function start() {
    const [module, letterFace] = await Promise.all([createParallelRatio(), loadFonts()]);
    const lesson = new module.Lesson();
    // With the italic face the letters are outlines and the bitmaps only a fallback, which
    // the first frame need not wait for.
    const bitmaps = loadLetters(lesson.layout().imageCount);
    const letters = letterFace ? bitmaps.pending : await bitmaps.loaded;
    PR.page = new Page(document.getElementById('form'), lesson, letters,
                       () => new module.Lesson(), letterFace);
    keepOffline();
  }

  PR.ready = start();
})(globalThis.ParallelRatio ??= {});
