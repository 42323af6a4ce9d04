// The live class on the page. A pupil joins with the class's code and a name, then follows
// the teacher's board (先生の板書) or works on a copy of it (自分で); the teacher's page sends
// its board to the class and shows every pupil's own board in a grid.
//
// What the messages say and whether one is applied is the core's (Lesson.live*): this file
// moves their bytes between the lesson and the class's broker (NATS over WebSocket, the
// bundled client in nats.js) and shows the class's controls. Only the subject a message came
// on tells who sent it; the broker lets each sender publish on its own subjects alone.
//
// Loaded by main.js only for an address with #join or #teacher=<key>.
(function (PR) {
  'use strict';

  const m = PR.messages;
  const enc = new TextEncoder(), dec = new TextDecoder();
  // Short pings: a server that stops answering (frozen, or the network gone) is given up in
  // seconds, not when the browser gives up on the WebSocket (about a minute in Chromium).
  const kPingMs = 2000, kPingsOut = 2;
  const kWatchMs = 3000;    // the watchdog's round: a flush not answered by then is stale
  const kKeyframeMs = 2000; // a snapshot for followers that lost their place, at most this often
  // The kept snapshot written again this often even when nothing changed: one written while
  // a cluster chose the stream's new leader may not have been kept.
  const kKeptAgainMs = 10000;
  const kThumbMs = 250;     // a pupil's picture in the grid, repainted at most this often
  const kResyncMs = 1000;   // the kept snapshot asked for again at most this often
  // A follower that lost its place asks again for so long, until something is applied: the
  // answer may not come (a cluster's frozen node may hold the request), and the sender may
  // have nothing more to send.
  const kResyncForMs = 10000;
  const kRosterMs = 5000;   // the teacher's list of pupils read again
  const kConfirmMs = 3000;  // a second press within this confirms (外す, 授業を終える)
  const kPupilKey = 'parallel-ratio class';
  const kTeacherKey = 'parallel-ratio class teacher';
  const kReloadedKey = 'parallel-ratio class reloaded';

  // Whether the broker turned the credentials down (the pupil removed, the class over)
  // rather than the connection failing.
  const refusal = (e) => /authori[sz]ation|authentication|revoked|expired/i.test(String(e?.message ?? ''));

  // A board numbers its actions from the time it joined, in microseconds: a page reloaded
  // in the middle of a class counts on beyond every number it sent before.
  const firstSeq = () => Date.now() * 1000;

  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function button(caption, action, className = '') {
    const b = element('button', 'class-button gothic ' + className, caption);
    b.type = 'button';
    b.addEventListener('click', action);
    return b;
  }

  // The class's controls as the core has them, by id.
  const controls = (page) => Object.fromEntries(page.lesson.classControls().map((c) => [c.id, c]));

  function controlButton(c, action) {
    const b = button(c.caption, action);
    b.setAttribute('aria-description', c.description);
    return b;
  }

  // A press that needs a second one within kConfirmMs, the caption saying so meanwhile.
  function confirming(b, again, action) {
    const caption = b.textContent;
    let timer = 0;
    b.addEventListener('click', () => {
      if (timer) {
        clearTimeout(timer);
        timer = 0;
        b.textContent = caption;
        action();
        return;
      }
      b.textContent = again;
      timer = setTimeout(() => {
        timer = 0;
        b.textContent = caption;
      }, kConfirmMs);
    });
    return b;
  }

  async function post(path, body) {
    try {
      const r = await fetch(path, {
        method: 'POST', cache: 'no-store', headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify(body),
      });
      let data = null;
      try {
        data = await r.json();
      } catch (e) {
        data = null;
      }
      return { status: r.status, data };
    } catch (e) {
      return { status: 0, data: null };
    }
  }

  function loadScript(src) {
    return new Promise((done, fail) => {
      const s = document.createElement('script');
      s.src = src;
      s.onload = done;
      s.onerror = () => fail(new Error(src));
      document.head.appendChild(s);
    });
  }

  function loadStyle(href) {
    const l = document.createElement('link');
    l.rel = 'stylesheet';
    l.href = href;
    document.head.appendChild(l);
  }

  function remembered(store, key) {
    try {
      return JSON.parse(store.getItem(key) ?? 'null');
    } catch (e) {
      return null;
    }
  }

  function remember(store, key, value) {
    try {
      if (value === null) store.removeItem(key);
      else store.setItem(key, JSON.stringify(value));
    } catch (e) {
      // Storage refused (private mode, full): the class goes on, a reload asks again.
    }
  }

  // One connection to the class's broker, kept up: the client reconnects by itself after a
  // drop, and the watchdog makes it start afresh when the connection stops answering.
  class Link {
    // on: { message(subject, text, withHeaders), online(on), back(), refused() }
    constructor(creds, subjects, on) {
      this.creds = creds;
      this.subjects = subjects;
      this.on = on;
      this.nc = null;
      this.online = false;
      this.closing = false;
    }

    // Connects, to the nodes in random order or, after a stale one, to the others first.
    async open(avoid = null) {
      const c = this.creds;
      const all = [].concat(c.wsUrls ?? c.wsUrl);
      const others = all.filter((u) => u !== avoid).sort(() => Math.random() - 0.5);
      const nc = await PRNats.wsconnect({
        // Every node of the class's broker: pupils spread over them, and the client moves
        // to another when one is lost.
        servers: avoid ? [...others, avoid] : others, noRandomize: true,
        authenticator: PRNats.jwtAuthenticator(c.jwt, enc.encode(c.seed)),
        // A pupil may read replies on its own inbox alone.
        ...(c.inboxPrefix ? { inboxPrefix: c.inboxPrefix } : {}),
        reconnect: true, maxReconnectAttempts: -1, reconnectTimeWait: 500, reconnectJitter: 250,
        pingInterval: kPingMs, maxPingOut: kPingsOut, timeout: 4000,
      });
      if (this.closing) {
        nc.close().catch(() => undefined);
        return;
      }
      this.nc = nc;
      for (const subject of this.subjects) {
        nc.subscribe(subject, {
          callback: (err, msg) => {
            if (!err && this.nc === nc) this.on.message(msg.subject, dec.decode(msg.data), !!msg.headers);
          },
        });
      }
      this.offlineSince = 0;
      this.setOnline(true);
      this.watchStatus(nc);
      nc.closed().then((err) => {
        if (this.nc !== nc) return; // replaced
        this.setOnline(false);
        if (this.closing) return;
        // Closed for good by the client: its credentials refused (the pupil removed, the
        // class over), else a fresh start.
        if (err && refusal(err)) this.on.refused();
        else this.reopen();
      });
      clearInterval(this.watchdog);
      this.watchdog = setInterval(() => this.watch(), kWatchMs);
    }

    async watchStatus(nc) {
      for await (const s of nc.status()) {
        if (this.nc !== nc) return;
        if (s.type === 'disconnect' || s.type === 'staleConnection') this.setOnline(false);
        else if (s.type === 'reconnect') {
          this.setOnline(true);
          this.on.back();
        }
      }
    }

    // A fresh connection in place of this one, away from `avoid`.
    async reopen(avoid = null) {
      clearInterval(this.watchdog);
      const old = this.nc;
      this.nc = null;
      this.setOnline(false);
      // A frozen node may never answer the close either: the old connection is left to go.
      old?.close().catch(() => undefined);
      while (!this.closing) {
        try {
          await this.open(avoid);
          this.on.back();
          return;
        } catch (e) {
          if (refusal(e)) {
            this.on.refused();
            return;
          }
          await new Promise((r) => setTimeout(r, 1000));
        }
      }
    }

    // The watchdog: a flush the server does not answer in time means a stale connection,
    // though the browser has not noticed; so does a client that has not got a node back
    // within a round (a frozen node can hold its every attempt). Either way a fresh
    // connection starts, on another node first.
    watch() {
      const nc = this.nc;
      if (!nc || this.closing) return;
      const server = String(nc.getServer?.() ?? '');
      const avoid = [].concat(this.creds.wsUrls ?? this.creds.wsUrl).find((u) => server && u.endsWith(server.replace(/^.*\/\//, '')));
      if (!this.online) {
        this.offlineSince ||= Date.now();
        if (Date.now() - this.offlineSince >= kWatchMs) this.reopen(avoid);
        return;
      }
      let answered = false;
      nc.flush().then(() => { answered = true; }, () => undefined);
      setTimeout(() => {
        if (!answered && this.nc === nc) this.reopen(avoid);
      }, kWatchMs - 250);
    }

    setOnline(on) {
      if (!on && this.online) this.offlineSince = Date.now();
      if (this.online === on) return;
      this.online = on;
      this.on.online(on);
    }

    // A new buffer for every message: the client holds on to it until it has gone.
    publish(subject, text) {
      if (!this.online) return false;
      try {
        this.nc.publish(subject, enc.encode(text));
        return true;
      } catch (e) {
        return false;
      }
    }

    // The snapshot the broker keeps on `subject` (snap.<class>.…), or null.
    async kept(stream, subject) {
      if (!this.online) return null;
      try {
        const r = await this.nc.request(`$JS.API.DIRECT.GET.${stream}.${subject}`, new Uint8Array(0),
                                        { timeout: 1500 });
        // The kept message says which subject it was kept on, once; an answer without it
        // (no message kept: a status alone) holds no board.
        const kept = r.headers?.values('Nats-Subject') ?? [];
        if (kept.length !== 1 || kept[0] !== subject || !r.data.length) return null;
        return dec.decode(r.data);
      } catch (e) {
        return null;
      }
    }

    close() {
      this.closing = true;
      clearInterval(this.watchdog);
      this.setOnline(false);
      return this.nc?.close().catch(() => undefined);
    }
  }

  // What a board sends: the actions the core kept since the last frame, a snapshot when
  // the core wants one, and now and then one for followers that lost their place.
  class Sender {
    // stream: the stream of kept boards, where this sender may read its own kept snapshot
    // back (the teacher), else null.
    constructor(link, live, kept, stream = null) {
      this.link = link;
      this.live = live;
      this.kept = kept;
      this.stream = stream;
      this.lesson = null;
      this.moved = false;
      this.keptAt = 0;
      this.backUntil = 0;
    }

    start(lesson) {
      this.lesson = lesson;
      lesson.liveRecordFrom(firstSeq()); // the class gets a snapshot first
    }

    stop() {
      this.lesson?.liveRecord(false);
      this.lesson = null;
    }

    // While offline the core keeps the actions (a snapshot instead once they are many):
    // they go when the connection is back.
    flush() {
      const l = this.lesson;
      if (!l || !this.link.online) return;
      const actions = l.liveTake();
      if (actions && this.link.publish(this.live, actions)) this.moved = true;
      if (l.liveSnapshotWanted()) this.snapshot();
    }

    snapshot(liveToo = true) {
      const s = this.lesson.liveSnapshot();
      if (!s) return; // mid-gesture: the next frame
      if (liveToo) this.link.publish(this.live, s);
      this.link.publish(this.kept, s);
      this.moved = false;
      this.keptAt = Date.now();
      this.lastKept = s;
      this.keptChecked = false;
    }

    // Back after losing the connection: followers that come back later than this sender
    // may have missed its last messages, and the broker may have lost the kept snapshot
    // (a cluster choosing the stream's new leader keeps nothing meanwhile). For a while,
    // each round sends a snapshot on the live subject too.
    reconnected() {
      this.backUntil = Date.now() + kResyncForMs;
      this.flush();
      if (this.lesson) this.snapshot();
    }

    keyframe() {
      if (!this.lesson || !this.link.online) return;
      this.flush();
      const t = Date.now();
      if (this.moved || t < this.backUntil) this.snapshot();
      else if (t - this.keptAt >= kKeptAgainMs) this.snapshot(false);
      else if (this.stream && this.lastKept && !this.keptChecked) this.checkKept();
    }

    // The kept snapshot read back: one the broker did not keep is written again.
    async checkKept() {
      const sent = this.lastKept;
      const kept = await this.link.kept(this.stream, this.kept);
      if (sent !== this.lastKept || !this.lesson) return;
      if (kept === sent) this.keptChecked = true;
      else this.snapshot(false);
    }
  }

  // The class's controls, in a bar in a corner of the window.
  function makeBar(root, className) {
    const bar = element('div', 'class-bar gothic ' + className);
    bar.setAttribute('role', 'toolbar');
    bar.setAttribute('aria-label', m.classBar);
    const state = element('span', 'class-state', m.classConnecting);
    state.setAttribute('role', 'status');
    bar.appendChild(state);
    root.appendChild(bar);
    return {
      bar, add: (...e) => bar.append(...e),
      online: (on) => { state.textContent = on ? m.classOnline : m.classOffline; bar.classList.toggle('offline', !on); },
      say: (text) => { state.textContent = text; },
    };
  }

  // ---- A pupil ----------------------------------------------------------------------------

  class PupilClass {
    constructor(page, creds) {
      this.page = page;
      this.creds = creds;
      const tag = creds.classTag;
      this.stream = `CLS_${tag}`;
      this.teacher = `cls.${tag}.teacher`;
      this.teacherKept = `snap.${tag}.teacher`;
      this.link = new Link(creds, [this.teacher], {
        message: (s, text, h) => this.receive(s, text, h),
        online: (on) => this.bar.online(on),
        back: () => this.back(),
        refused: () => this.stop(m.classRemoved),
      });
      this.sender = new Sender(this.link, creds.subject, `snap.${tag}.pupil.${creds.pupil}`);
      this.bar = makeBar(page.root, 'pupil');
      this.bar.add(element('span', 'class-name', creds.name));
      const c = controls(page);
      this.followButton = controlButton(c.follow, () => this.setFollowing(true));
      this.exploreButton = controlButton(c.explore, () => this.setFollowing(false));
      this.bar.add(this.followButton, this.exploreButton);
      this.lesson = page.lesson;
      this.asked = 0;
      page.onFrame = () => this.frame();
    }

    async start() {
      await this.link.open();
      this.setFollowing(this.creds.following !== false);
      this.keyframes = setInterval(() => this.sender.keyframe(), kKeyframeMs);
      this.retries = setInterval(() => {
        if (!this.following || !this.syncUntil) return;
        if (Date.now() > this.syncUntil) this.syncUntil = 0;
        else this.resync(false);
      }, kResyncMs);
    }

    setFollowing(on) {
      const page = this.page, l = page.lesson;
      this.following = on;
      this.creds.following = on;
      remember(sessionStorage, kPupilKey, this.creds);
      this.followButton.setAttribute('aria-pressed', String(on));
      this.exploreButton.setAttribute('aria-pressed', String(!on));
      if (on) {
        this.sender.stop();
        l.liveFollow(true, this.creds.classTag, '');
        this.resync(true);
      } else {
        // The board as it shows becomes the pupil's own: the teacher's grid gets it first.
        l.liveExplore();
        this.sender.start(l);
      }
      page.following = on;
      page.contextChanged();
    }

    receive(subject, text, withHeaders) {
      const l = this.page.lesson;
      const r = l.liveReceive(subject, text, withHeaders);
      if (r.verdict === 'applied') {
        this.syncUntil = 0;
        this.page.sync();
      } else if (r.verdict === 'resync') this.resync(false);
      else if (r.verdict === 'reload') this.reload();
      else if (r.verdict === 'control') this.control(r);
    }

    control(r) {
      if (r.kind === 'follow') {
        if (r.follow) this.setFollowing(true);
      } else if (r.kind === 'hand-out') {
        // 配る: the teacher's board as the pupil's own.
        if (this.following) this.setFollowing(false);
        if (this.page.lesson.liveTakeHandOut()) this.page.sync();
      } else if (r.kind === 'end') {
        this.stop(m.classEnded);
      }
    }

    // The teacher's kept snapshot; a follower that lost its place may also wait for the
    // teacher's next one.
    async resync(now) {
      const t = Date.now();
      this.syncUntil ||= t + kResyncForMs;
      if (!now && t - this.asked < kResyncMs) return;
      this.asked = t;
      const kept = await this.link.kept(this.stream, this.teacherKept);
      if (kept && this.following) this.receive(this.teacherKept, kept, true);
    }

    back() {
      if (this.following) this.resync(true);
      else this.sender.reconnected();
    }

    // Each frame of the page: what the pupil did goes out; a new lesson (after 終了) is
    // taken up as the old one was.
    frame() {
      if (this.page.lesson !== this.lesson) {
        this.lesson = this.page.lesson;
        if (this.link) this.setFollowing(this.following);
      }
      if (!this.following) this.sender.flush();
    }

    reload() {
      // Once: a page that is still older after reloading leaves it to the pupil.
      if (remembered(sessionStorage, kReloadedKey)) {
        this.stop(m.classReload);
        return;
      }
      remember(sessionStorage, kReloadedKey, true);
      location.reload();
    }

    // The class is over for this page: the board stays, to work on or save.
    stop(text) {
      if (!this.link) return;
      clearInterval(this.keyframes);
      clearInterval(this.retries);
      this.link.close();
      this.link = null;
      this.sender.stop();
      this.page.lesson.liveUnfollow();
      this.page.following = false;
      this.page.onFrame = null;
      this.page.contextChanged();
      remember(sessionStorage, kPupilKey, null);
      this.bar.bar.remove();
      this.page.say(text);
    }
  }

  // Asks for the class's code and the pupil's name; resolves to the join service's answer.
  function askToJoin(page) {
    return new Promise((done) => {
      const box = element('form', 'help class-join gothic');
      box.setAttribute('role', 'dialog');
      box.setAttribute('aria-modal', 'true');
      box.setAttribute('aria-label', m.classJoin);
      const title = element('h2', '', m.classJoin);
      const field = (caption, input) => {
        const l = element('label', 'class-field');
        l.append(element('span', '', caption), input);
        return l;
      };
      const code = element('input');
      code.autocomplete = 'off';
      code.autocapitalize = 'characters';
      code.spellcheck = false;
      code.maxLength = 16;
      const name = element('input');
      name.autocomplete = 'off';
      name.maxLength = 32;
      const error = element('p', 'class-error');
      error.setAttribute('role', 'alert');
      const go = element('button', 'command gothic', m.classJoinButton);
      go.type = 'submit';
      box.append(title, field(m.classCode, code), field(m.className, name), error, go);
      box.addEventListener('submit', async (e) => {
        e.preventDefault();
        if (!code.value.trim() || !name.value.trim()) {
          error.textContent = m.classFillIn;
          return;
        }
        go.disabled = true;
        const r = await post('join', { code: code.value, name: name.value.trim() });
        go.disabled = false;
        if (r.status === 200 && r.data) {
          page.hideDialog(box);
          box.remove();
          done({ ...r.data, name: name.value.trim() });
          return;
        }
        error.textContent = r.status === 403 ? m.classWrongCode : r.status === 423 ? m.classLocked
          : r.status === 429 ? m.classBusy : m.classUnreachable;
      });
      page.root.appendChild(box);
      page.showDialog(box, code);
    });
  }

  // ---- The teacher ------------------------------------------------------------------------

  // A pupil's own board as the teacher sees it: a lesson that follows it, and its picture.
  class PupilBoard {
    constructor(teacher, id) {
      this.id = id;
      this.name = id;
      this.lesson = teacher.page.newLesson();
      this.lesson.liveFollow(false, teacher.tag, id);
      this.dirty = true;
      this.asked = 0;
      this.tile = element('div', 'class-tile');
      this.canvas = element('canvas', 'class-board');
      this.canvas.setAttribute('role', 'button');
      this.canvas.tabIndex = 0;
      this.label = element('span', 'class-tile-name');
      this.frame = element('div', 'class-tile-board');
      this.frame.appendChild(this.canvas);
      this.tile.append(this.frame, this.label);
      const page = teacher.page;
      const s = page.design.surface;
      this.surface = new PR.Surface(this.canvas, s, page.design.back, page.surface.fonts,
                                    page.surface.letters, this.lesson.rasterKinds());
      this.size = 0;
    }

    setName(name) {
      this.name = name;
      this.label.textContent = name;
      this.canvas.setAttribute('aria-label', `${m.classPresent} ${name}`);
      this.removeButton?.setAttribute('aria-label', `${m.classRemove} ${name}`);
    }

    // Shown `width` CSS px wide: the whole board, strokes repainted at that size.
    place(width) {
      const s = this.surface.design;
      const scale = width / s.outerWidth, dpr = window.devicePixelRatio || 1;
      const box = { x: 0, y: 0, w: Math.round(s.outerWidth * scale), h: Math.round(s.outerHeight * scale) };
      this.frame.style.width = box.w + 'px';
      this.frame.style.height = box.h + 'px';
      this.surface.setGeometry(box, scale, dpr);
      const c = this.surface.canvas;
      // The strokes again at this size, and the list as it stands: both come with the
      // changes after the list last taken.
      this.lesson.setRaster(c.width, c.height, scale * dpr);
      this.surface.setList(this.lesson.drawList());
      this.size = width;
      this.dirty = true;
      this.paint();
    }

    // Only what changed since the last paint, and only while it shows.
    paint() {
      if (!this.dirty || !this.size) return;
      this.dirty = false;
      this.surface.apply(this.lesson.takeChanges());
      this.surface.flush();
    }

    drop() {
      this.tile.remove();
      this.lesson.delete();
    }
  }

  class TeacherClass {
    constructor(page, creds, key) {
      this.page = page;
      this.creds = creds;
      this.key = key;
      this.tag = creds.classTag;
      this.stream = `CLS_${this.tag}`;
      this.pupilPrefix = `cls.${this.tag}.pupil.`;
      this.boards = new Map(); // pupil id -> PupilBoard
      this.gone = new Set();   // removed: whatever still comes from them is not shown
      this.link = new Link(creds, [`${this.pupilPrefix}*`], {
        message: (s, text, h) => this.receive(s, text, h),
        online: (on) => this.bar.online(on),
        back: () => this.back(),
        refused: () => this.over(m.classOver),
      });
      this.sender = new Sender(this.link, `cls.${this.tag}.teacher`, `snap.${this.tag}.teacher`, this.stream);
      this.makeBar();
      this.makeGrid();
      this.lesson = page.lesson;
      page.onFrame = () => this.frame();
    }

    makeBar() {
      const code = this.creds.classCode;
      this.bar = makeBar(this.page.root, 'teacher');
      const shown = code.slice(0, 4) + '-' + code.slice(4);
      this.codeButton = button(m.classCodeShown + ' ' + shown, () => this.showJoin(shown), 'class-code');
      this.gridButton = button(m.classBoards, () => this.showGrid(true));
      const c = controls(this.page);
      this.done = { 'hand-out': c.handOut.done, follow: c.allFollow.done };
      const handOut = controlButton(c.handOut, () => this.control('hand-out', false));
      const follow = controlButton(c.allFollow, () => this.control('follow', true));
      this.lockButton = button(m.classLock, () => this.setLocked(!this.locked));
      this.lockButton.setAttribute('aria-pressed', 'false');
      const end = confirming(controlButton(c.endClass, () => undefined), c.endClass.confirm, () => this.endClass());
      this.bar.add(this.codeButton, this.gridButton, handOut, follow, this.lockButton, end);
    }

    makeGrid() {
      const grid = element('div', 'class-grid gothic');
      grid.hidden = true;
      grid.setAttribute('role', 'dialog');
      grid.setAttribute('aria-modal', 'true');
      grid.setAttribute('aria-label', m.classBoards);
      const head = element('div', 'class-grid-head');
      this.countText = element('h2', '', m.classBoards);
      this.namesButton = button(m.classHideNames, () => {
        const hidden = !grid.classList.contains('no-names');
        grid.classList.toggle('no-names', hidden);
        this.namesButton.setAttribute('aria-pressed', String(hidden));
      });
      this.namesButton.setAttribute('aria-pressed', 'false');
      head.append(this.countText, this.namesButton, button(m.close, () => this.showGrid(false)));
      this.tiles = element('div', 'class-tiles');
      this.empty = element('p', 'class-empty', m.classNone);
      grid.append(head, this.empty, this.tiles);
      // 発表: one pupil's board as large as the window allows.
      const shown = element('div', 'class-present gothic');
      shown.hidden = true;
      shown.setAttribute('role', 'dialog');
      shown.setAttribute('aria-modal', 'true');
      this.presentName = element('h2');
      this.presentRoom = element('div', 'class-present-board');
      shown.append(this.presentName, this.presentRoom, button(m.classBack, () => this.present(null)));
      this.page.root.append(grid, shown);
      window.addEventListener('resize', () => {
        if (this.presenting) this.present(this.presenting);
        else if (!grid.hidden) this.layoutGrid();
      });
      this.grid = grid;
      this.shown = shown;
      this.presenting = null;
    }

    async start() {
      await this.link.open();
      // The page reloaded or opened anew in the middle of a class: the class's board is the
      // one the broker kept, not the initial screen the page opened on.
      const keptSubject = this.sender.kept;
      const kept = await this.link.kept(this.stream, keptSubject);
      if (kept) {
        const l = this.page.lesson;
        l.liveFollow(true, this.tag, '');
        if (l.liveReceive(keptSubject, kept, true).verdict === 'applied') this.page.sync();
        l.liveUnfollow();
      }
      this.sender.start(this.page.lesson);
      this.frame();
      // Closing or leaving the page: the kept board is brought up to date first.
      this.onHide = () => {
        if (document.visibilityState === 'hidden') this.sender.keyframe();
      };
      document.addEventListener('visibilitychange', this.onHide);
      await this.readRoster();
      this.keyframes = setInterval(() => this.sender.keyframe(), kKeyframeMs);
      this.thumbs = setInterval(() => this.paint(), kThumbMs);
      this.rosterTimer = setInterval(() => this.readRoster(), kRosterMs);
    }

    frame() {
      if (this.page.lesson !== this.lesson) { // 終了: the new lesson is the class's board now
        this.lesson = this.page.lesson;
        this.sender.start(this.lesson);
      }
      this.sender.flush();
    }

    // A teacher's control for every pupil: the core writes it.
    control(kind, follow) {
      this.sender.flush();
      const text = this.page.lesson.liveControl(kind, follow);
      if (text && this.link.publish(this.sender.live, text))
        this.page.flash(this.done[kind]);
    }

    board(id) {
      let b = this.boards.get(id);
      if (!b && !this.gone.has(id)) {
        b = new PupilBoard(this, id);
        b.canvas.addEventListener('click', () => this.present(b));
        b.canvas.addEventListener('keydown', (e) => {
          if (e.key === 'Enter' || e.key === ' ') this.present(b);
        });
        b.removeButton = confirming(button(m.classRemove, () => undefined, 'class-remove'),
                                    m.classConfirmRemove, () => this.remove(b));
        b.tile.appendChild(b.removeButton);
        b.setName(this.names?.get(id) ?? id);
        this.boards.set(id, b);
        this.tiles.appendChild(b.tile);
        if (!this.grid.hidden) this.layoutGrid();
        this.counted();
        this.fetchKept(b, true);
      }
      return b;
    }

    receive(subject, text, withHeaders) {
      if (!subject.startsWith(this.pupilPrefix)) return;
      const b = this.board(subject.slice(this.pupilPrefix.length));
      if (!b) return;
      const r = b.lesson.liveReceive(subject, text, withHeaders);
      if (r.verdict === 'applied') {
        b.dirty = true;
        b.syncUntil = 0;
      } else if (r.verdict === 'resync') this.fetchKept(b, false);
    }

    async fetchKept(b, now) {
      const t = Date.now();
      b.syncUntil ||= t + kResyncForMs;
      if (!now && t - b.asked < kResyncMs) return;
      b.asked = t;
      const subject = `snap.${this.tag}.pupil.${b.id}`;
      const kept = await this.link.kept(this.stream, subject);
      if (kept && this.boards.get(b.id) === b && b.lesson.liveReceive(subject, kept, true).verdict === 'applied') {
        b.dirty = true;
        b.syncUntil = 0;
      }
    }

    // Who is in the class, from the join service: names, and pupils not heard from yet.
    async readRoster() {
      const r = await post('teacher/pupils', { key: this.key });
      if (r.status !== 200 || !r.data) return;
      this.names = new Map(r.data.pupils.map((p) => [p.id, p.name]));
      this.locked = !!r.data.locked;
      this.lockButton.setAttribute('aria-pressed', String(this.locked));
      for (const [id, name] of this.names) this.board(id)?.setName(name);
    }

    counted() {
      this.empty.hidden = this.boards.size > 0;
      this.gridButton.textContent = `${m.classBoards} (${this.boards.size})`;
    }

    // As wide as lets every board show at once (a few across, large, for a small class; forty
    // on a projector), but never smaller than 160 px, where the grid scrolls instead.
    tileWidth() {
      const view = document.documentElement, s = this.page.design.surface;
      const W = view.clientWidth - 32, H = view.clientHeight - 80;
      const gap = 16, below = 64; // between tiles; the name and 外す under each
      const n = Math.max(1, this.boards.size);
      for (let w = 480; w > 160; w -= 8) {
        const across = Math.floor((W + gap) / (w + gap));
        const rows = Math.ceil(n / Math.max(1, across));
        if (across >= 1 && rows * (w * s.outerHeight / s.outerWidth + below + gap) <= H) return w;
      }
      return 160;
    }

    showGrid(on) {
      if (on) {
        this.readRoster(); // pupils who joined since, at once
        this.layoutGrid();
        this.page.showDialog(this.grid, this.namesButton);
        this.paint();
      } else {
        this.page.hideDialog(this.grid);
      }
    }

    layoutGrid() {
      const w = this.tileWidth();
      for (const b of this.boards.values()) if (b.size !== w) b.place(w);
    }

    // The grid's pictures that changed, a few times a second at most: forty boards cost the
    // page no more than the one that changed. Boards that lost their place ask again here.
    paint() {
      const t = Date.now();
      for (const b of this.boards.values()) {
        if (b.syncUntil && t > b.syncUntil) b.syncUntil = 0;
        else if (b.syncUntil) this.fetchKept(b, false);
      }
      if (this.presenting) this.presenting.paint();
      else if (!this.grid.hidden) for (const b of this.boards.values()) b.paint();
    }

    present(b) {
      const page = this.page;
      if (b) {
        const view = document.documentElement, s = page.design.surface;
        const width = Math.floor(Math.min(view.clientWidth - 32,
          (view.clientHeight - 120) * s.outerWidth / s.outerHeight));
        this.presentName.textContent = this.grid.classList.contains('no-names') ? m.classPresent
          : `${m.classPresent}: ${b.name}`;
        this.presentRoom.appendChild(b.frame);
        b.place(width);
        this.presenting = b;
        page.showDialog(this.shown, this.shown.querySelector('button'));
        b.paint();
      } else if (this.presenting) {
        const p = this.presenting;
        this.presenting = null;
        p.tile.insertBefore(p.frame, p.label);
        p.place(this.tileWidth());
        page.hideDialog(this.shown);
        this.showGrid(true);
      }
    }

    async setLocked(on) {
      const r = await post('teacher/lock', { key: this.key, locked: on });
      if (r.status === 200 && r.data) {
        this.locked = !!r.data.locked;
        this.lockButton.setAttribute('aria-pressed', String(this.locked));
      }
    }

    // The pupil's credential stops working at once: the broker closes its connection.
    async remove(b) {
      const r = await post('teacher/remove', { key: this.key, id: b.id });
      if (r.status !== 200) return;
      this.gone.add(b.id);
      this.boards.delete(b.id);
      if (this.presenting === b) this.present(null);
      b.drop();
      this.counted();
    }

    back() {
      this.sender.reconnected(); // pupils that missed something start again from here
    }

    // Pupils are told, the class's data on the server goes; every board stays where it is.
    async endClass() {
      this.control('end', false);
      await this.link.nc?.flush().catch(() => undefined);
      await post('teacher/end', { key: this.key });
      this.over(m.classOver);
    }

    over(text) {
      for (const t of [this.keyframes, this.thumbs, this.rosterTimer]) clearInterval(t);
      document.removeEventListener('visibilitychange', this.onHide);
      this.sender.stop();
      this.link.close();
      this.page.onFrame = null;
      remember(sessionStorage, kTeacherKey, null);
      if (!this.grid.hidden) this.showGrid(false);
      if (this.presenting) this.present(null);
      this.bar.bar.remove();
      this.page.say(text);
    }

    // The pupils' address, its QR code (made by the class server with qrencode) and the code.
    showJoin(code) {
      if (!this.joinBox) {
        const box = element('div', 'help class-qr gothic');
        box.setAttribute('role', 'dialog');
        box.setAttribute('aria-modal', 'true');
        box.setAttribute('aria-label', m.classJoinAt);
        const img = element('img');
        img.src = 'class-qr.svg';
        img.alt = m.classJoinAt;
        const address = new URL('#join', location.href).href;
        box.append(element('h2', '', m.classJoinAt), img, element('p', 'class-address', address),
                   element('p', 'class-big-code', code),
                   button(m.close, () => this.page.hideDialog(box), 'command'));
        this.page.root.appendChild(box);
        this.joinBox = box;
      }
      this.page.showDialog(this.joinBox, this.joinBox.querySelector('button'));
    }
  }

  // ---- Starting -----------------------------------------------------------------------------

  async function start(page) {
    const hash = location.hash;
    loadStyle('classroom.css');
    await loadScript('nats.js');
    if (hash.startsWith('#teacher') || hash.startsWith('#new=')) {
      // The key leaves the address bar at once: the teacher's screen is on the projector.
      let key = hash.startsWith('#teacher=') ? decodeURIComponent(hash.slice(9))
        : remembered(sessionStorage, kTeacherKey);
      history.replaceState(null, '', '#teacher');
      if (hash.startsWith('#new=')) {
        // A school's service: the school's address for teachers starts a class of its own.
        const made = await post('classes', { key: decodeURIComponent(hash.slice(5)) });
        if (made.status !== 200 || !made.data) {
          page.say(made.status === 403 ? m.classNotTeacher : m.classUnreachable);
          return;
        }
        key = made.data.teacherKey;
      }
      if (!key) return;
      const r = await post('teacher', { key });
      if (r.status !== 200 || !r.data) {
        page.say(r.status === 403 ? m.classNotTeacher : m.classUnreachable);
        return;
      }
      remember(sessionStorage, kTeacherKey, key);
      const t = new TeacherClass(page, r.data, key);
      PR.classroom = t;
      await t.start();
    } else {
      // A page reloaded in the class takes it up again with the same name and credentials.
      const creds = remembered(sessionStorage, kPupilKey) ?? await askToJoin(page);
      remember(sessionStorage, kPupilKey, creds);
      const p = new PupilClass(page, creds);
      PR.classroom = p;
      try {
        await p.start();
        remember(sessionStorage, kReloadedKey, null);
      } catch (e) {
        p.stop(refusal(e) ? m.classRemoved : m.classUnreachable);
      }
    }
  }

  PR.startClass = start;
})(globalThis.ParallelRatio ??= {});
