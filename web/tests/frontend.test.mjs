// The page's own logic that needs no browser: colours, rectangles, and how pointer input
// becomes the lesson's surface events.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { requireSiteFile } from './support/site.mjs';

const { cssColour, rect } = requireSiteFile('geometry.js');
const { SurfaceInput, buttonCode } = requireSiteFile('input.js');

test('colours and rectangles', () => {
  assert.equal(cssColour(0xff008000), '#008000');
  assert.equal(cssColour(0xffc0ffc0), '#c0ffc0');
  assert.equal(rect.united(null, { x: 1, y: 2, w: 3, h: 4 }).w, 3);
  assert.deepEqual(rect.united({ x: 0, y: 0, w: 2, h: 2 }, { x: 5, y: 5, w: 1, h: 1 }),
                   { x: 0, y: 0, w: 6, h: 6 });
  assert.equal(rect.intersected({ x: 0, y: 0, w: 2, h: 2 }, { x: 3, y: 3, w: 1, h: 1 }), null);
  assert.ok(rect.isEmpty({ x: 0, y: 0, w: 0, h: 5 }));
});

// A stand-in for the surface element: it records what the input adds and lets the tests
// fire pointer events at it.
class FakeTarget {
  constructor() {
    this.handlers = new Map();
    this.captured = new Set();
  }
  addEventListener(type, h) { this.handlers.set(type, h); }
  removeEventListener(type) { this.handlers.delete(type); }
  setPointerCapture(id) { this.captured.add(id); }
  fire(type, fields) {
    const e = {
      pointerId: 1, pointerType: 'mouse', button: -1, buttons: 0, clientX: 0, clientY: 0,
      shiftKey: false, ctrlKey: false, altKey: false, defaultPrevented: false,
      preventDefault() { this.defaultPrevented = true; }, ...fields,
    };
    this.handlers.get(type)?.(e);
    return e;
  }
}

function setUp() {
  const target = new FakeTarget();
  const calls = [];
  const sink = {
    press: (...a) => calls.push(['press', ...a]),
    pressEraserEnd: (...a) => calls.push(['pressEraserEnd', ...a]),
    move: (...a) => calls.push(['move', ...a]),
    release: (...a) => calls.push(['release', ...a]),
  };
  // Client point (x, y) is surface point (x - 10, y - 20).
  const input = new SurfaceInput(target, (x, y) => ({ x: x - 10, y: y - 20 }), sink);
  return { target, calls, input };
}

test('button numbers map to the lesson\'s codes', () => {
  assert.deepEqual([0, 1, 2, 3, 4, 5].map(buttonCode), [1, 4, 2, 0, 0, 0]);
});

test('a mouse presses, moves with the buttons held, hovers and releases', () => {
  const { target, calls } = setUp();
  target.fire('pointermove', { clientX: 15, clientY: 25 });
  const down = target.fire('pointerdown', { button: 0, buttons: 1, clientX: 20, clientY: 30, shiftKey: true });
  assert.ok(down.defaultPrevented);
  assert.ok(target.captured.has(1), 'the surface keeps the pointer while a button is held');
  target.fire('pointermove', { buttons: 1, clientX: 40, clientY: 50, ctrlKey: true });
  target.fire('pointerup', { button: 0, buttons: 0, clientX: 40, clientY: 50, altKey: true });
  assert.deepEqual(calls, [
    ['move', 0, 0, 5, 5],
    ['press', 1, 1, 10, 10],
    ['move', 1, 2, 30, 30],
    ['release', 1, 4, 30, 30],
  ]);
});

test('a second button while one is held is its own press and release', () => {
  const { target, calls } = setUp();
  target.fire('pointerdown', { button: 0, buttons: 1, clientX: 10, clientY: 20 });
  target.fire('pointermove', { button: 2, buttons: 3, clientX: 10, clientY: 20 });
  target.fire('pointermove', { button: 2, buttons: 1, clientX: 10, clientY: 20 });
  target.fire('pointermove', { button: 1, buttons: 5, clientX: 10, clientY: 20 });
  target.fire('pointermove', { buttons: 5, clientX: 11, clientY: 20 });
  target.fire('pointerup', { button: 0, buttons: 4, clientX: 11, clientY: 20 });
  assert.deepEqual(calls.map((c) => c.slice(0, 2)), [
    ['press', 1], ['press', 2], ['release', 2], ['press', 4], ['move', 5], ['release', 1],
  ]);
});

test('a right press and the context menu', () => {
  const { target, calls } = setUp();
  target.fire('pointerdown', { button: 2, buttons: 2 });
  const menu = target.fire('contextmenu', {});
  target.fire('pointerup', { button: 2, buttons: 0 });
  assert.ok(menu.defaultPrevented);
  assert.deepEqual(calls.map((c) => c.slice(0, 2)), [['press', 2], ['release', 2]]);
});

test('one finger is the left button; other fingers are ignored until it lifts', () => {
  const { target, calls } = setUp();
  const touch = (type, id, x, y) => target.fire(type, { pointerType: 'touch', pointerId: id,
    button: type === 'pointermove' ? -1 : 0, buttons: type === 'pointerup' ? 0 : 1, clientX: x, clientY: y });
  touch('pointerdown', 7, 10, 20);
  touch('pointerdown', 8, 100, 100);
  touch('pointermove', 8, 110, 110);
  touch('pointermove', 7, 30, 40);
  touch('pointerup', 7, 30, 40);
  touch('pointermove', 8, 120, 120);
  touch('pointerup', 8, 120, 120);
  touch('pointerdown', 9, 50, 60);
  assert.deepEqual(calls, [
    ['press', 1, 0, 0, 0], ['move', 1, 0, 20, 20], ['release', 1, 0, 20, 20],
    ['press', 1, 0, 40, 40],
  ]);
});

test('a cancelled touch ends as a left release at the last position', () => {
  const { target, calls } = setUp();
  target.fire('pointerdown', { pointerType: 'touch', pointerId: 3, button: 0, buttons: 1, clientX: 10, clientY: 20 });
  target.fire('pointermove', { pointerType: 'touch', pointerId: 3, buttons: 1, clientX: 60, clientY: 70 });
  target.fire('pointercancel', { pointerType: 'touch', pointerId: 3, clientX: 0, clientY: 0 });
  target.fire('pointercancel', { pointerType: 'touch', pointerId: 3 });
  assert.deepEqual(calls.at(-1), ['release', 1, 0, 50, 50]);
  assert.equal(calls.filter((c) => c[0] === 'release').length, 1);
});

test('a pen: the tip is the left button, the barrel the right, hovering moves', () => {
  const { target, calls } = setUp();
  const pen = (type, button, buttons, x = 10, y = 20) =>
    target.fire(type, { pointerType: 'pen', pointerId: 4, button, buttons, clientX: x, clientY: y });
  pen('pointermove', -1, 0, 15, 25);
  pen('pointerdown', 0, 1);
  pen('pointermove', -1, 1, 20, 20);
  pen('pointerup', 0, 0, 20, 20);
  pen('pointerdown', 2, 2);
  pen('pointerup', 2, 0);
  pen('pointerdown', 5, 32); // the eraser end: the left button, pressed as that end
  pen('pointermove', -1, 32, 20, 20);
  pen('pointerup', 5, 0, 20, 20);
  assert.deepEqual(calls.map((c) => c.slice(0, 2)), [
    ['move', 0], ['press', 1], ['move', 1], ['release', 1], ['press', 2], ['release', 2],
    ['pressEraserEnd', 1], ['move', 1], ['release', 1],
  ]);
});

// WebKit sends a pen nothing after a cancelled pointerdown, and takes its capture away when
// it leaves the surface, with its up going elsewhere.
test('a pen\'s press is not cancelled, and a pen that loses the surface ends its stroke', () => {
  const { target, calls } = setUp();
  const fire = (type, pointerType, fields = {}) =>
    target.fire(type, { pointerType, pointerId: 5, button: 0, buttons: 1, clientX: 30, clientY: 40, ...fields });
  const cancelled = ['mouse', 'touch', 'pen'].map((type) => {
    const e = fire('pointerdown', type);
    fire('pointerup', type, { buttons: 0 });
    fire('lostpointercapture', type, { buttons: 0 });
    return e.defaultPrevented;
  });
  assert.deepEqual(cancelled, [true, true, false]);
  assert.equal(calls.filter((c) => c[0] === 'release').length, 3, 'a capture lost after the up ends nothing more');

  calls.length = 0;
  fire('pointerdown', 'pen');
  fire('pointermove', 'pen', { button: -1, clientX: 60 });
  fire('lostpointercapture', 'pen', { button: -1, buttons: 1, clientX: 90 });
  fire('lostpointercapture', 'pen', { button: -1, buttons: 1, clientX: 90 });
  assert.deepEqual(calls, [['press', 1, 0, 20, 20], ['move', 1, 0, 50, 20], ['release', 1, 0, 50, 20]]);
});

test('folded moves are passed on one by one', () => {
  const { target, calls } = setUp();
  target.fire('pointerdown', { button: 0, buttons: 1, clientX: 10, clientY: 20 });
  target.fire('pointermove', {
    buttons: 1, clientX: 40, clientY: 20,
    getCoalescedEvents: () => [20, 30, 40].map((x) => ({ clientX: x, clientY: 20 })),
  });
  assert.deepEqual(calls.slice(1).map((c) => c[3]), [10, 20, 30]);
});

test('once detached, nothing is passed on', () => {
  const { target, calls, input } = setUp();
  input.detach();
  target.fire('pointerdown', { button: 0, buttons: 1 });
  assert.deepEqual(calls, []);
});
