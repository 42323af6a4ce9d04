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

  // The CSS font families of the two faces, as the style sheet's .gothic and .mincho name
  // them, so that the canvas falls back as the controls do. Written out rather than read
  // from a probe's computed style, which would make the browser work out the page's style
  // while the page is still being built.
  const kGothic = '"ParallelRatio Gothic", "IPAPGothic", "IPA Pゴシック", "ＭＳ Ｐゴシック", ' +
    '"MS PGothic", "Noto Sans CJK JP", "Hiragino Kaku Gothic ProN", sans-serif';
  const kMincho = '"ParallelRatio Mincho", "IPAPMincho", "IPA P明朝", "ＭＳ Ｐ明朝", "MS PMincho", ' +
    '"Noto Serif CJK JP", "Hiragino Mincho ProN", serif';

  function fontFamilies(letters) {
    return { gothic: kGothic, mincho: kMincho, italic: letters };
  }

  // Runs `work` once the frame after this task is on the screen: what the first frame need
  // not wait for.
  function afterFrame(work) {
    return new Promise((done) => requestAnimationFrame(() => setTimeout(done))).then(work);
  }

  // Places an element at a box of the core's layout, in CSS pixels.
  function put(e, r) {
    e.style.left = r.x + 'px';
    e.style.top = r.y + 'px';
    e.style.width = r.w + 'px';
    e.style.height = r.h + 'px';
    if (r.fontPixels) e.style.fontSize = r.fontPixels + 'px';
  }

  // A tool's keys as aria-keyshortcuts names them; the command key of an Apple keyboard
  // works as Ctrl.
  function ariaKeys(tool) {
    const names = [];
    for (const k of tool.keys) {
      const rest = (k.alt ? 'Alt+' : '') + (k.shift ? 'Shift+' : '') + k.key;
      names.push((k.ctrl ? 'Control+' : '') + rest);
      if (k.ctrl) names.push('Meta+' + rest);
    }
    return names.join(' ');
  }

  // Names a control by its entry in the table of tools: accessible name and description,
  // tooltip (with its key) and keys.
  function describe(e, tool) {
    e.setAttribute('aria-label', tool.name);
    e.setAttribute('aria-description', tool.description);
    e.title = tool.tip;
    const keys = ariaKeys(tool);
    if (keys) e.setAttribute('aria-keyshortcuts', keys);
  }

  // The browser can hand a picture to the device's share sheet (an iPad, a Chromebook).
  function canShareFiles() {
    try {
      return typeof navigator.canShare === 'function' &&
        navigator.canShare({ files: [new File([''], 'board.png', { type: 'image/png' })] });
    } catch (_) {
      return false;
    }
  }

  // The browser can put a picture on the clipboard: the async Clipboard API, which it offers
  // in a secure context only (https, the loopback).
  function canCopyImages() {
    return window.isSecureContext && typeof ClipboardItem === 'function' &&
      !!navigator.clipboard && typeof navigator.clipboard.write === 'function';
  }

  // The key a keyboard event names, as the table of tools does: a capital letter, a digit,
  // F1 .. F12. A layout or input method that gives another character falls back to the key's
  // place on the keyboard.
  function keyName(e) {
    if (/^F\d{1,2}$/.test(e.key)) return e.key;
    if (/^[a-zA-Z0-9]$/.test(e.key) && !e.shiftKey) return e.key.toUpperCase();
    const code = /^(?:Key([A-Z])|Digit(\d))$/.exec(e.code || '');
    if (code) return code[1] || code[2];
    return e.key.length === 1 ? e.key.toUpperCase() : e.key;
  }

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

  // A setting of this device; storage may be refused (private windows), then it is not kept.
  const kColourSafeKey = 'parallel-ratio.colourSafe';
  function remembered(key) {
    try {
      return window.localStorage.getItem(key);
    } catch {
      return null;
    }
  }
  function remember(key, value) {
    try {
      window.localStorage.setItem(key, value);
    } catch {
      // not kept
    }
  }

  function faceClass(style) {
    return style.face === 'mincho' ? 'mincho' : 'gothic';
  }

  class Page {
    // lesson: the lesson as loaded; newLesson() makes another as the program starts, for the
    // lesson after 終了.
    constructor(root, lesson, letters, newLesson, letterFace = null) {
      // The viewport's size makes the browser lay the page out: cheap while the form is
      // still empty, and the page's first layout then waits for the frame.
      const view = document.documentElement;
      const viewport = { w: view.clientWidth, h: view.clientHeight };
      this.root = root;
      this.newLesson = newLesson;
      this.lesson = lesson;
      this.design = lesson.design();
      this.table = lesson.tools();
      this.share = canShareFiles();
      this.canCopy = canCopyImages();
      // A touch screen, or ?touch in the address: the strip offers the pens too.
      this.touch = new URLSearchParams(location.search).has('touch') ||
        window.matchMedia('(any-pointer: coarse)').matches;
      this.access = lesson.access();
      this.largePointer = false;
      // 見やすい色: remembered on this device; ?colour-safe in the address turns it on.
      this.colourSafe = new URLSearchParams(location.search).has('colour-safe') ||
        remembered(kColourSafeKey) === '1';
      if (this.colourSafe) lesson.setPalette(1);
      this.svgFaces = [];
      this.carryFaces();
      this.ended = false;
      // In a class, following the teacher's board: only the teacher's messages change it.
      this.following = false;
      this.onFrame = null; // the class's, after every frame
      const d = this.design;
      const entry = (id, index) => this.table.findIndex((t) => t.id === id && t.index === index);
      this.commandTools = [1, 2, 3, 4].map((n) => this.commandTool(n));
      this.penTools = d.options.map((o) => entry('pen', o.index));

      document.body.style.backgroundColor = PR.cssColour(d.back);
      root.style.backgroundColor = PR.cssColour(d.back);
      // The whole window is the page's one main part; its heading names it.
      root.setAttribute('role', 'main');

      this.heading = this.windowLabel(d.heading, 'heading');
      this.heading.setAttribute('role', 'heading');
      this.heading.setAttribute('aria-level', '1');
      this.rowCaptions = d.rowCaptions.map((l) => this.windowLabel(l, 'row-caption'));

      this.commands = d.commands.map((c) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'control command ' + faceClass(c.font);
        b.textContent = c.caption;
        b.dataset.number = String(c.number);
        describe(b, this.table[this.commandTools[c.number - 1]]);
        b.addEventListener('click', () => this.handle((l) => l.clickCommand(c.number)));
        root.appendChild(b);
        return b;
      });

      // Each pen is a label as large as its room, where a press chooses it; inside it, the
      // option as the form draws it.
      this.optionRooms = [];
      this.options = d.options.map((o) => {
        const room = document.createElement('label');
        room.className = 'control option-room';
        room.style.backgroundColor = PR.cssColour(o.back);
        const label = element('span', 'control option ' + faceClass(o.font));
        label.style.color = PR.cssColour(o.fore);
        room.appendChild(label);
        this.optionRooms.push(room);
        const input = document.createElement('input');
        input.type = 'radio';
        input.name = 'pen';
        input.dataset.index = String(o.index);
        describe(input, this.table[entry('pen', o.index)]);
        input.addEventListener('click', () => this.handle((l) => l.clickOption(o.index)));
        const text = document.createElement('span');
        text.textContent = o.caption;
        label.append(input, text);
        root.appendChild(room);
        return input;
      });

      // Tab visits the form's controls in the core's order: the page's order is theirs.
      for (const i of this.access.tabChain) {
        const command = this.commandTools.indexOf(i);
        root.appendChild(command >= 0 ? this.commands[command]
                                      : this.optionRooms[this.penTools.indexOf(i)]);
      }

      const canvas = document.createElement('canvas');
      canvas.className = 'control surface';
      // What the figure shows and how to work it, for screen readers.
      canvas.setAttribute('role', 'img');
      canvas.setAttribute('aria-label', this.access.surfaceName);
      const about = element('p', 'unseen', this.access.surfaceDescription);
      about.id = 'surface-description';
      canvas.setAttribute('aria-describedby', about.id);
      root.append(canvas, about);
      this.surface = new PR.Surface(canvas, d.surface, d.back, fontFamilies(letterFace), letters,
                                    lesson.rasterKinds());
      this.surface.setList(lesson.drawList());
      // One call into the module per pointer event: the event, and the frame after it.
      const pointer = (kind) => (b, s, x, y) => {
        if (!this.ended) this.apply(this.lesson.pointer(kind, b, s, x, y));
      };
      this.input = new PR.SurfaceInput(canvas, (x, y) => this.surface.toSurface(x, y), {
        press: pointer(0), move: pointer(1), release: pointer(2), pressEraserEnd: pointer(3),
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
      this.help = this.makeHelp();
      this.toast = element('div', 'toast gothic');
      this.toast.setAttribute('role', 'status');
      this.root.appendChild(this.toast);
      this.fileInput = this.makeFileInput();
      document.addEventListener('fullscreenchange', () => this.contextChanged());
      // Checking every kept board can take a while (each is read whole), and the first frame
      // need not wait for it. The store takes this page's lock and checks them before it keeps
      // the board or starts a new lesson's, should one come before that frame.
      let begun = null;
      const begin = () => (begun ??= this.store.begin().then((aside) => {
        if (aside.length) this.showDamaged(aside.join(', '));
        return this.refreshOthers();
      }));
      for (const step of ['keep', 'renew']) {
        const run = this.store[step].bind(this.store);
        this.store[step] = (...args) => {
          begin();
          return run(...args);
        };
      }
      this.stored = afterFrame(begin);
      afterFrame(() => this.help.fill());
      // Another tab kept a board: 前回の板書 may have one more to offer.
      window.addEventListener('storage', () => this.refreshOthers());

      this.relayout(viewport);
      this.sync();
    }

    makeEndedNotice() {
      const m = PR.messages;
      const veil = document.createElement('div');
      veil.className = 'ended gothic';
      veil.hidden = true;
      veil.setAttribute('role', 'alertdialog');
      veil.setAttribute('aria-modal', 'true');
      veil.setAttribute('aria-label', m.endedTitle);
      const box = document.createElement('div');
      box.className = 'ended-box';
      const text = document.createElement('p');
      text.className = 'ended-message';
      text.textContent = m.ended;
      text.id = 'ended-message';
      veil.setAttribute('aria-describedby', text.id);
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

    // A tool the browser cannot do here: it is not offered at all rather than one that fails.
    unavailable(t) {
      return (t.id === 'share' && !this.share) || (t.id === 'copy' && !this.canCopy);
    }

    commandTool(number) {
      return this.table.findIndex((t) => t.index === number &&
        ['reset', 'end', 'memo', 'diagonal'].includes(t.id));
    }

    // The tools' buttons, one for each tool of the strip and one for その他, each with its
    // caption and its icon: the layout shows one or the other, and places them.
    makeTools() {
      const m = PR.messages;
      const strip = element('div', 'tools gothic');
      strip.hidden = true;
      strip.setAttribute('role', 'toolbar');
      strip.setAttribute('aria-label', m.tools);
      const buttons = new Map(); // table index -> button
      this.table.forEach((t, i) => {
        const inStrip = (t.group >= 0 || (t.id === 'pen' && this.touch)) && t.offered &&
          !this.unavailable(t);
        if (!inStrip && t.id !== 'more') return;
        const b = element('button', 'command tool gothic');
        b.type = 'button';
        b.hidden = true;
        describe(b, t);
        const icon = element('span', 'icon');
        icon.innerHTML = t.icon; // the core's own SVG, no text from outside
        icon.setAttribute('aria-hidden', 'true');
        b.append(icon, element('span', 'caption', t.caption));
        if (t.toggles) b.setAttribute('aria-pressed', 'false');
        b.addEventListener('click', () => {
          if (t.id === 'more') this.toggleMenu(b);
          else this.run(i);
        });
        strip.appendChild(b);
        buttons.set(i, b);
      });
      const more = buttons.get(this.table.findIndex((t) => t.id === 'more'));
      more.setAttribute('aria-haspopup', 'menu');
      more.setAttribute('aria-expanded', 'false');
      const menu = panel('tool-menu gothic', 'menu', this.table.find((t) => t.id === 'more').name);
      menu.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') this.closeMenu(true);
      });
      this.root.append(strip, menu);
      document.addEventListener('pointerdown', (e) => {
        if (!menu.hidden && !menu.contains(e.target) && e.target !== more &&
            !more.contains(e.target))
          this.closeMenu(false);
      });
      return { strip, buttons, more, menu, placed: [] };
    }

    toggleMenu(more) {
      const { menu } = this.tools;
      if (!menu.hidden) {
        this.closeMenu(true);
        return;
      }
      const items = this.placed.menu.map((i) => {
        const t = this.table[i];
        const item = element('button', 'command menu-item gothic');
        item.type = 'button';
        item.setAttribute('role', 'menuitem');
        describe(item, t);
        item.disabled = !this.enabled[i];
        const icon = element('span', 'icon');
        icon.innerHTML = t.icon;
        icon.setAttribute('aria-hidden', 'true');
        item.append(icon, element('span', 'caption', t.caption));
        item.addEventListener('click', () => {
          this.closeMenu(true);
          this.run(i);
        });
        return item;
      });
      menu.replaceChildren(...items);
      // Beside the button, inside the window.
      const r = more.getBoundingClientRect();
      const view = document.documentElement;
      menu.hidden = false;
      const w = menu.offsetWidth, h = menu.offsetHeight;
      menu.style.left = Math.max(0, Math.min(r.left, view.clientWidth - w)) + 'px';
      menu.style.top = Math.max(0, Math.min(r.bottom, view.clientHeight - h)) + 'px';
      more.setAttribute('aria-expanded', 'true');
      const first = items.find((e) => !e.disabled);
      if (first) first.focus();
    }

    closeMenu(focusButton) {
      const { menu, more } = this.tools;
      if (menu.hidden) return;
      menu.hidden = true;
      more.setAttribute('aria-expanded', 'false');
      if (focusButton) more.focus();
    }

    // Works a tool of the table (by its index) as its button, menu item or key does; a
    // disabled one does nothing.
    run(i) {
      const t = this.table[i];
      if (this.ended || (this.enabled && !this.enabled[i]) || this.unavailable(t)) return;
      switch (t.id) {
        case 'reset': case 'end': case 'memo': case 'diagonal':
          this.handle((l) => l.clickCommand(t.index));
          return;
        case 'pen':
          this.handle((l) => l.clickOption(t.index));
          return;
        case 'undo': this.handle((l) => l.undo()); return;
        case 'redo': this.handle((l) => l.redo()); return;
        case 'clearWriting': this.handle((l) => l.clearWriting()); return;
        case 'ratios': this.handle((l) => l.toggleRatios()); return;
        case 'triangles': this.handle((l) => l.toggleTriangles()); return;
        case 'open': this.openFile(); return;
        case 'save': this.saveBoard(); return;
        case 'restore': this.restoreBoard(); return;
        case 'saveImage': this.savePicture(); return;
        case 'copy': this.copyPicture(t); return;
        case 'print': this.print(); return;
        case 'share': this.sharePicture(); return;
        case 'help': this.showHelp(); return;
        case 'fullScreen': this.toggleFullScreen(); return;
        case 'largePointer':
          this.largePointer = !this.largePointer;
          this.surface.canvas.classList.toggle('large-pointer', this.largePointer);
          this.contextChanged();
          return;
        case 'colourSafe':
          this.colourSafe = !this.colourSafe;
          remember(kColourSafeKey, this.colourSafe ? '1' : '0');
          this.lesson.setPalette(this.colourSafe ? 1 : 0);
          this.contextChanged();
          return;
        default:
      }
    }

    // The window's own state that tools show changed: the lesson hears of it, and the page
    // is brought in line.
    contextChanged() {
      this.lesson.setToolContext(this.others.length > 0, this.largePointer,
                                 !!document.fullscreenElement, this.colourSafe,
                                 this.following);
      this.sync();
    }

    makeFileInput() {
      const input = document.createElement('input');
      input.type = 'file';
      input.accept = '.' + this.lesson.boardFileExtension() + ',.json,' + this.lesson.boardFileType();
      input.hidden = true;
      input.addEventListener('change', async () => {
        const file = input.files[0];
        input.value = '';
        if (!file) return;
        this.openBoardFile(file);
      });
      this.root.appendChild(input);
      return input;
    }

    async openBoardFile(file) {
      let text = '';
      try {
        text = await file.text();
      } catch (e) {
        this.say(this.lesson.cannotRead(String(e)));
        return;
      }
      let error = '';
      this.handle((l) => { error = l.openBoard(text); });
      if (error) this.say(this.lesson.cannotOpen());
    }

    // The kinds of file the pickers offer: a board, or the board's picture.
    boardFileKind() {
      const ext = '.' + this.lesson.boardFileExtension();
      return { description: PR.messages.boardFileName, accept: { [this.lesson.boardFileType()]: [ext] } };
    }

    // 開く: the system's file picker where the browser lets the page use it (the File
    // System Access API), else the file input's.
    async openFile() {
      if (typeof window.showOpenFilePicker !== 'function') {
        this.fileInput.click();
        return;
      }
      let handle;
      try {
        [handle] = await window.showOpenFilePicker({
          types: [this.boardFileKind(), { description: 'JSON', accept: { 'application/json': ['.json'] } }],
        });
      } catch (e) {
        if (e.name !== 'AbortError') this.fileInput.click();
        return;
      }
      this.openBoardFile(await handle.getFile());
    }

    // Writes a file the teacher names in the system's picker, or downloads it where the
    // browser has none. types: the picker's kinds, the first one proposed; contents(name)
    // gives the blob for the name chosen.
    async saveFile(name, types, contents) {
      if (typeof window.showSaveFilePicker !== 'function') {
        const blob = await contents(name);
        if (blob) download(blob, name);
        return;
      }
      let handle;
      try {
        handle = await window.showSaveFilePicker({ suggestedName: name, types });
      } catch (e) {
        if (e.name === 'AbortError') return;
        const blob = await contents(name);
        if (blob) download(blob, name);
        return;
      }
      try {
        const blob = await contents(handle.name);
        const out = await handle.createWritable();
        await out.write(blob);
        await out.close();
      } catch (e) {
        this.say(this.lesson.cannotSave(String(e), e.name === 'QuotaExceededError'));
      }
    }

    // The help: how the lesson is worked and every key, from the core's own lists. The box
    // takes its place among the page's parts at once; what it says is written when it first
    // shows, or after the first frame (fill).
    makeHelp() {
      const m = PR.messages;
      const box = panel('help gothic', 'dialog', m.help);
      box.setAttribute('aria-modal', 'true');
      box.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') this.closeHelp();
      });
      this.root.appendChild(box);
      const help = { box, close: null };
      help.fill = () => {
        if (help.close) return;
        const list = element('ul');
        for (const [what, how] of this.lesson.usage()) {
          const li = element('li');
          li.append(element('b', '', what), '：' + how);
          list.appendChild(li);
        }
        const keys = element('table');
        for (const [k, what] of this.lesson.keyHelp()) {
          const tr = element('tr');
          tr.append(element('th', '', k), element('td', '', what));
          keys.appendChild(tr);
        }
        help.close = commandButton(m.close, () => this.closeHelp());
        box.append(element('h2', '', m.help), list, element('h2', '', m.keys), keys, help.close);
      };
      return help;
    }

    showHelp() {
      this.help.fill();
      this.showDialog(this.help.box, this.help.close);
    }

    closeHelp() {
      this.hideDialog(this.help.box);
    }

    // A message that needs reading, with a button to take it away: the help's box, reused.
    say(text) {
      this.message = this.message || this.makeMessage();
      this.message.text.textContent = text;
      this.showDialog(this.message.box, this.message.button);
    }

    makeMessage() {
      const box = panel('help message gothic', 'alertdialog', PR.messages.notice);
      box.setAttribute('aria-modal', 'true');
      const text = element('p');
      const button = commandButton(PR.messages.close, () => this.hideDialog(box));
      box.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') this.hideDialog(box);
      });
      box.append(text, button);
      this.root.appendChild(box);
      return { box, text, button };
    }

    // Said briefly, for a tool whose work does not show.
    flash(text) {
      this.toast.textContent = text;
      this.toast.classList.add('shown');
      clearTimeout(this.toastTimer);
      this.toastTimer = setTimeout(() => this.toast.classList.remove('shown'), 1500);
    }

    pictureBlob() {
      this.surface.flush();
      return new Promise((resolve) => this.surface.canvas.toBlob(resolve, 'image/png'));
    }

    // The board on white paper as a PNG of the canvas's size: the core's picture of it in
    // the paper palette, drawn on a canvas of its own.
    async paperBlob() {
      const c = this.surface.canvas;
      const url = URL.createObjectURL(new Blob([this.lesson.boardSvgIn(2)], { type: 'image/svg+xml' }));
      try {
        const img = new Image();
        img.src = url;
        await img.decode();
        const sheet = document.createElement('canvas');
        sheet.width = c.width;
        sheet.height = c.height;
        sheet.getContext('2d').drawImage(img, 0, 0, sheet.width, sheet.height);
        return await new Promise((resolve) => sheet.toBlob(resolve, 'image/png'));
      } finally {
        URL.revokeObjectURL(url);
      }
    }

    // The pictures carry the site's faces of the labels and letters, so that they look the
    // same on a machine without them (not from disk, where the page cannot read its files).
    async carryFaces() {
      if (location.protocol !== 'http:' && location.protocol !== 'https:') return;
      const faces = [['mincho', 'ParallelRatio Mincho', 'fonts/mincho.woff2', true, false],
                     ['italic', 'ParallelRatio Italic', 'fonts/italic.woff2', false, true]];
      for (const [face, family, file, bold, italic] of faces) {
        try {
          const response = await fetch(file);
          if (!response.ok) continue;
          const bytes = new Uint8Array(await response.arrayBuffer());
          let text = '';
          for (let i = 0; i < bytes.length; i += 0x8000)
            text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
          const f = [face, family, btoa(text), bold, italic];
          this.svgFaces.push(f);
          this.lesson.embedFace(...f);
        } catch {
          // the picture names the faces without carrying them
        }
      }
    }

    async copyPicture(tool) {
      try {
        const blob = await this.pictureBlob();
        await navigator.clipboard.write([new ClipboardItem({ 'image/png': blob })]);
        this.flash(tool.done);
      } catch (e) {
        this.say(String(e));
      }
    }

    async sharePicture() {
      const blob = await this.pictureBlob();
      if (!blob) return;
      const file = new File([blob], 'board.png', { type: 'image/png' });
      navigator.share({ files: [file], title: document.title }).catch(() => undefined);
    }

    // The page's print style shows the board alone, fitted to the sheet, on white paper:
    // the core's picture of it in the paper palette.
    async print() {
      this.surface.flush();
      this.printSheet ??= this.root.appendChild(element('img', 'print-sheet'));
      this.printSheet.alt = this.access.surfaceName;
      const url = URL.createObjectURL(new Blob([this.lesson.boardSvgIn(2)], { type: 'image/svg+xml' }));
      this.printSheet.src = url;
      try {
        await this.printSheet.decode();
      } catch {
        // printed as far as it loaded
      }
      window.print();
      URL.revokeObjectURL(url);
    }

    toggleFullScreen() {
      const root = document.documentElement;
      if (document.fullscreenElement) document.exitFullscreen().catch(() => undefined);
      else if (root.requestFullscreen) root.requestFullscreen().catch(() => undefined);
    }

    async refreshOthers() {
      this.others = await this.store.others();
      if (this.tools) this.contextChanged();
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
      const box = panel('chooser gothic', 'dialog', this.table.find((t) => t.id === 'restore').caption);
      const list = element('div', 'chooser-list');
      box.setAttribute('aria-modal', 'true');
      box.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') this.hideDialog(box);
      });
      box.append(element('p', '', m.chooseBoard), list,
                 commandButton(m.close, () => this.hideDialog(box)));
      this.root.appendChild(box);
      return { box, list };
    }

    choose(entries) {
      const { box, list } = this.chooser;
      list.replaceChildren(...entries.map((entry) => commandButton(
        savedAt(entry.saved) + (entry.open ? PR.messages.openElsewhere : ''), () => {
          this.hideDialog(box);
          this.openKept(entry);
        })));
      this.showDialog(box, list.firstChild);
    }

    // The notice below the figure: the board cannot be kept (with 保存, until keeping works
    // again), or a damaged kept board was set aside (with 閉じる, once).
    makeNotice() {
      const m = PR.messages;
      const box = panel('control notice gothic', 'alert', m.notice);
      const text = element('p');
      const button = commandButton('', () => {
        if (this.keepText) {
          this.saveBoard();
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

    // 保存, and 保存 of the notice: the board as a file, the same bytes as the desktop's.
    saveBoard() {
      const blob = new Blob([this.lesson.board()], { type: this.lesson.boardFileType() });
      return this.saveFile(PR.messages.boardFileName + '.' + this.lesson.boardFileExtension(),
                           [this.boardFileKind()], () => blob);
    }

    // 画像で保存: the surface as it shows now, as a PNG at the canvas's own resolution or
    // as the core's SVG, named by the picture's title and the time. The picker's kind
    // decides; without a picker the teacher chooses in a small dialog.
    savePicture() {
      if (this.ended) return Promise.resolve();
      const d = new Date();
      const two = (n) => String(n).padStart(2, '0');
      const base = `${this.lesson.boardPictureTitle()} ${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())} ` +
        `${two(d.getHours())}${two(d.getMinutes())}`;
      const kinds = [{ description: PR.messages.pngPicture, accept: { 'image/png': ['.png'] } },
                     { description: PR.messages.svgPicture, accept: { 'image/svg+xml': ['.svg'] } }];
      // As the surface shows, or on white paper; then the save picker where the browser has
      // one (whose kind of file decides), else a download.
      this.pictureChooser ??= this.makePictureChooser();
      this.pictureChooser.choose = (ext, paper) => this.saveFile(base + ext, kinds, (name) => {
        if (/\.svg$/i.test(name))
          return new Blob([paper ? this.lesson.boardSvgIn(2) : this.lesson.boardSvg()],
                          { type: 'image/svg+xml' });
        return paper ? this.paperBlob() : this.pictureBlob();
      });
      this.showDialog(this.pictureChooser.box, this.pictureChooser.first);
      return Promise.resolve();
    }

    makePictureChooser() {
      const m = PR.messages;
      const box = panel('chooser gothic', 'dialog', this.table.find((t) => t.id === 'saveImage').caption);
      box.setAttribute('aria-modal', 'true');
      const chooser = { box, choose: null };
      const pick = (ext, paper) => () => {
        this.hideDialog(box);
        chooser.choose(ext, paper);
      };
      const list = element('div', 'chooser-list');
      chooser.first = commandButton(m.pngPicture, pick('.png', false));
      list.append(chooser.first, commandButton(m.svgPicture, pick('.svg', false)),
                  commandButton(m.paperPngPicture, pick('.png', true)),
                  commandButton(m.paperSvgPicture, pick('.svg', true)));
      box.addEventListener('keydown', (e) => {
        if (e.key === 'Escape') this.hideDialog(box);
      });
      box.append(element('p', '', m.choosePicture), list,
                 commandButton(m.close, () => this.hideDialog(box)));
      this.root.appendChild(box);
      return chooser;
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
      this.apply(this.lesson.frame());
    }

    // Brings the page in line with one frame of the lesson (Lesson.frame): each control's
    // enabled and on state from its tool's byte (1 enabled, 2 on).
    apply(f) {
      if (document.title !== f.caption) document.title = f.caption;
      // Under the notice after 終了 nothing works, so nothing looks as if it did.
      const t = this.ended ? f.tools.map(() => 0) : f.tools;
      this.enabled = t.map((b) => b & 1);
      this.commands.forEach((b, n) => {
        const i = this.commandTools[n];
        b.disabled = !(t[i] & 1);
        if (!this.table[i].toggles) return;
        const on = (t[i] & 2) !== 0;
        b.setAttribute('aria-pressed', String(on));
        b.classList.toggle('on', on);
      });
      this.options.forEach((o, n) => {
        const i = this.penTools[n];
        o.disabled = !(t[i] & 1);
        o.checked = (t[i] & 2) !== 0;
      });
      this.surface.apply(f.changes);
      if (this.tools) {
        for (const [i, b] of this.tools.buttons) {
          if (this.table[i].id === 'more') continue;
          b.disabled = !(t[i] & 1);
          if (this.table[i].toggles) b.setAttribute('aria-pressed', String((t[i] & 2) !== 0));
        }
      }
      // The board is kept whenever it moved on; never mid-gesture, where the count stands,
      // but at 終了 as it shows, a stroke in progress and all.
      if (f.revision !== this.keptRevision || (f.endRequested && f.gesture)) {
        this.keptRevision = f.revision;
        this.keepBoard();
      }
      if (f.endRequested) this.end();
      if (this.onFrame) this.onFrame();
    }

    // The lesson's stroke raster at the canvas's resolution: the strokes are painted again
    // from the lesson's own, as sharp as if drawn at this size.
    placeRaster() {
      const c = this.surface.canvas;
      this.lesson.setRaster(c.width, c.height, this.surface.scale * this.surface.dpr);
      this.sync();
    }

    // viewport: its size in CSS px where already known, else read now.
    relayout(viewport = null) {
      const d = this.design;
      const dpr = window.devicePixelRatio || 1;
      const view = document.documentElement;
      const { w, h } = viewport ?? { w: view.clientWidth, h: view.clientHeight };
      const g = this.lesson.layoutAt(w, h, dpr, this.share, this.canCopy, this.touch);
      this.placed = g;
      this.root.style.setProperty('--scale', String(g.scale));
      const ring = g.focusRing;
      this.root.style.setProperty('--focus-width', ring.width + 'px');
      this.root.style.setProperty('--focus-gap', ring.gap + 'px');
      this.root.style.setProperty('--focus-colour', PR.cssColour(ring.colour));
      this.root.style.setProperty('--tool-focus-width', g.toolFocusRing.width + 'px');
      this.root.style.setProperty('--tool-focus-gap', g.toolFocusRing.gap + 'px');
      put(this.heading, g.heading);
      g.rowCaptions.forEach((r, i) => put(this.rowCaptions[i], r));
      g.commands.forEach((r, i) => {
        put(this.commands[i], r);
        this.commands[i].style.fontWeight = d.commands[i].font.bold ? 'bold' : 'normal';
      });
      g.options.forEach((r, i) => {
        put(this.optionRooms[i], r.hit);
        put(this.options[i].parentElement, { ...r, x: r.x - r.hit.x, y: r.y - r.hit.y });
      });
      // The surface reads where the canvas landed when input first needs it: reading it here
      // would make the browser lay the page out before the page is complete.
      this.surface.setGeometry(g.surface, g.scale, dpr);
      this.placeRaster();
      put(this.notice.box, g.notice);

      const { strip, buttons } = this.tools;
      this.closeMenu(false);
      strip.hidden = g.toolsAt === 'keys';
      strip.classList.toggle('icons', g.toolsAt !== 'beside');
      strip.setAttribute('aria-orientation', g.toolsAt === 'row' ? 'horizontal' : 'vertical');
      for (const b of buttons.values()) b.hidden = true;
      if (strip.hidden) return;
      const area = g.toolArea;
      put(strip, area);
      strip.style.fontSize = g.captionPixels + 'px';
      for (const p of g.buttons) {
        const b = buttons.get(p.tool);
        b.hidden = false;
        put(b, { x: p.x - area.x, y: p.y - area.y, w: p.w, h: p.h });
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

    // A key of the table of tools works its tool; keys the page does not answer stay the
    // browser's. Keys typed into a dialog or the menu stay theirs.
    key(e) {
      if (e.defaultPrevented || e.isComposing) return;
      if (e.target && e.target.closest && e.target.closest('.help, .tool-menu, .chooser')) return;
      const mods = (e.ctrlKey || e.metaKey ? 1 : 0) | (e.shiftKey ? 2 : 0) | (e.altKey ? 4 : 0);
      const i = this.lesson.toolForKey(mods, keyName(e));
      if (i < 0) return;
      e.preventDefault();
      this.run(i);
    }

    // 終了: the lesson ends. A page cannot close the tab it is in, and a class would rather
    // not lose it: the window returns to the initial screen of a new lesson (as the program
    // shows when it starts) under a notice that the lesson has ended, with a button that
    // takes the notice away. Until then no input reaches the lesson.
    end() {
      // Input stops here (handle); a finger still down lifts into nothing. Focus is taken
      // note of first: a control that is disabled under the notice loses it.
      this.focusBeforeEnd = document.activeElement;
      this.ended = true;
      this.lesson.delete();
      this.lesson = this.newLesson();
      this.surface.restart(this.lesson.drawList());
      this.lesson.takeChanges(); // the new lesson's own start is already on the surface
      if (this.colourSafe) this.lesson.setPalette(1); // its changes come with the next frame
      for (const f of this.svgFaces) this.lesson.embedFace(...f);
      const c = this.surface.canvas;
      this.lesson.setRaster(c.width, c.height, this.surface.scale * this.surface.dpr);
      this.lesson.setToolContext(this.others.length > 0, this.largePointer,
                                 !!document.fullscreenElement, this.colourSafe,
                                 this.following);
      // The ended lesson's board stays kept under its own key, one more for 前回の板書.
      this.keptRevision = this.lesson.revision();
      this.stored = this.store.renew().then(() => this.refreshOthers());
      this.sync();
      if (document.fullscreenElement) document.exitFullscreen().catch(() => undefined);
      this.closeMenu(false);
      for (const box of [this.help.box, this.chooser.box, this.message?.box, this.pictureChooser?.box])
        if (box) box.hidden = true;
      this.dialog = this.dialogOpener = null;
      this.modal(this.endedNotice);
      this.endedNotice.hidden = false;
      this.endedNotice.querySelector('button').focus();
    }

    // While a dialog shows, everything else on the page is out of reach of the pointer, the
    // keyboard and assistive technology, as its aria-modal says; null: nothing is.
    modal(box) {
      for (const e of this.root.children) e.inert = box !== null && e !== box;
    }

    // Shows a dialog over the page and focuses `first` in it; hideDialog() takes it away
    // and gives focus back where it was.
    showDialog(box, first) {
      if (this.dialog !== box) this.dialogOpener = document.activeElement;
      this.dialog = box;
      box.hidden = false;
      this.modal(box);
      if (first) first.focus();
    }

    hideDialog(box) {
      box.hidden = true;
      if (this.dialog !== box) return;
      this.dialog = null;
      this.modal(this.ended ? this.endedNotice : null);
      const back = this.dialogOpener;
      this.dialogOpener = null;
      if (!this.ended && back && back.isConnected && !back.disabled && !back.inert) back.focus();
    }

    restart() {
      this.endedNotice.hidden = true;
      this.ended = false;
      this.modal(null);
      this.sync();
      // Focus goes back where it was when the lesson ended, if that control still takes it.
      const back = this.focusBeforeEnd;
      this.focusBeforeEnd = null;
      // Firefox judges whether a control takes focus from its style, which it has not yet
      // worked out again since inert was lifted: reading its size brings the style up to date.
      if (back && back.isConnected && !back.disabled && back !== document.body && back.offsetWidth >= 0)
        back.focus();
      else this.commands[this.commandTools.indexOf(this.access.tabChain[0])].focus();
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
    // module.js starts the module from the page's head; being async, it may run after this.
    const loaded = PR.module ?? new Promise((done) => { PR.moduleWaited = done; });
    const [module, letterFace] = await Promise.all([loaded, loadFonts()]);
    const lesson = new module.Lesson();
    // With the italic face the letters are outlines and the bitmaps only a fallback, which
    // the first frame need not wait for.
    const bitmaps = loadLetters(lesson.design().imageCount);
    const letters = letterFace ? bitmaps.pending : await bitmaps.loaded;
    PR.page = new Page(document.getElementById('form'), lesson, letters,
                       () => new module.Lesson(), letterFace);
    // The worker's install fetches every file of the site: not before the first frame is
    // on the screen.
    requestAnimationFrame(() => setTimeout(keepOffline));
    // A live class, from the pupils' or the teacher's address: its script only then.
    if (/^#(join|teacher|new=)/.test(location.hash) && /^https?:$/.test(location.protocol)) {
      const s = document.createElement('script');
      s.src = 'classroom.js';
      s.onload = () => PR.startClass(PR.page);
      document.head.appendChild(s);
    }
  }

  PR.ready = start();
})(globalThis.ParallelRatio ??= {});
