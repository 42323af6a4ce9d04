// The lesson as the page sees it: the module's Lesson class under node, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { newLesson } from './support/site.mjs';

const green = 0xff008000, red = 0xffff0000, white = 0xffffffff;

// Draw-list slots of the elements the tests look at (stacking order, back to front, after the
// stroke layer and the eight frame fills).
function slotOf(list, predicate) {
  const i = list.items.findIndex(predicate);
  assert.ok(i >= 0, 'no such slot');
  return i;
}

test('the window and its controls carry the form\'s captions', async (t) => {
  const l = await newLesson(t);
  const d = l.design();
  assert.equal(d.caption, '平行線と線分の比 (by Vorlane)');
  assert.equal(d.heading.caption, '相似と比');
  assert.deepEqual(d.commands.map((c) => [c.number, c.caption]),
                   [[1, '初期画面'], [2, '終了'], [3, 'メモ'], [4, '対角線']]);
  assert.deepEqual(d.rowCaptions.map((c) => c.caption), ['太字', '細字']);
  assert.deepEqual(d.options.map((o) => o.caption),
                   ['赤色', '黄色', '青色', '消しゴム', '赤色', '黄色', '青色', '消しゴム']);
  assert.deepEqual(d.options.map((o) => o.index), [0, 1, 2, 3, 4, 5, 6, 7]);
});

test('the design places and fonts reach the page in twips and logical pixels', async (t) => {
  const d = (await newLesson(t)).design();
  assert.equal(d.twipsPerPixel, 15);
  assert.deepEqual([d.clientWidth, d.clientHeight], [12165, 10530]);
  assert.equal(d.back, 0xffc0ffc0);
  assert.deepEqual([d.heading.left, d.heading.top, d.heading.width, d.heading.height],
                   [240, 120, 1875, 495]);
  assert.deepEqual(d.heading.font, { face: 'gothic', pixelSize: 32, bold: true });
  assert.deepEqual([d.heading.back, d.heading.fore], [green, 0xff00ff00]);
  const memo = d.commands.find((c) => c.number === 3);
  assert.deepEqual([memo.left, memo.top, memo.width, memo.height], [5280, 120, 1095, 495]);
  assert.deepEqual(memo.font, { face: 'gothic', pixelSize: 16, bold: false });
  assert.deepEqual(d.commands.find((c) => c.number === 1).font.pixelSize, 12);
  // The thick row lies above the thin one.
  assert.equal(d.options[4].top, 120);
  assert.equal(d.options[0].top, 360);
  assert.deepEqual(d.surface, {
    left: 120, top: 720, width: 11895, height: 9615,
    outerWidth: 793, outerHeight: 641, border: 2, back: green,
  });
  assert.equal(d.imageCount, 5);
});

test('after loading, the pens are disabled with the thin red one selected', async (t) => {
  const st = (await newLesson(t)).state();
  assert.equal(st.caption, '平行線と線分の比 (by Vorlane)');
  assert.deepEqual(st.commandsEnabled, [true, true, true, true]);
  assert.deepEqual(st.optionsEnabled, Array(8).fill(false));
  assert.deepEqual(st.optionsSelected, [true, false, false, false, false, false, false, false]);
  assert.equal(st.endRequested, false);
});

test('the draw list has the stroke layer, the frame and one slot per element', async (t) => {
  const list = (await newLesson(t)).drawList();
  // The aids' triangles above the labels and letters (the 14 backmost elements), their
  // texts and marks after the elements: all nothing while the aids are off.
  assert.equal(list.items.length, 9 + 35 + 3 + 20);
  assert.equal(list.firstElement, 9);
  assert.ok([...list.items.slice(9 + 14, 9 + 17), ...list.items.slice(9 + 38)].every((i) => i.kind === 'none'));
  assert.deepEqual(list.outer, { x: -2, y: -2, w: 793, h: 641 });
  assert.deepEqual(list.clip, { x: 0, y: 0, w: 789, h: 637 });
  assert.equal(list.items[0].kind, 'strokeLayer');
  assert.equal(list.items[0].colour, green);
  assert.ok(list.items.slice(1, 9).every((i) => i.kind === 'fill' && !i.clipped));
  const captions = list.items.filter((i) => i.kind === 'text').map((i) => i.caption);
  // Back to front: Ｄ, Ｅ, Ｆ rest beneath the point labels, Ｇ above them all.
  assert.deepEqual(captions, ['Ｆ', 'Ｅ', 'Ｄ', "Ｃ'", "Ｂ'", "Ａ'", 'Ｃ', 'Ｂ', 'Ａ', 'Ｇ']);
  const labelA = list.items.find((i) => i.caption === 'Ａ');
  assert.deepEqual(labelA.style, { face: 'mincho', pixelSize: 29, bold: true });
  assert.deepEqual(labelA.box, { x: 316, y: 219, w: 24, h: 29 });
  assert.equal(list.items.filter((i) => i.kind === 'image').length, 5);
  assert.equal(list.items.filter((i) => i.kind === 'segment').length, 5 + 3 + 6 + 5);
  // The eraser cursor, frontmost, shows nothing until an eraser is chosen in memo mode.
  assert.equal(list.items[list.firstElement + 37].kind, 'none');
});

// The stroke raster's steps of takeChanges(), unpacked: at the raster's first size (the
// surface at scale 1) a surface point x lies at raster pixel x + 2.
function steps(l, c) {
  const names = Object.fromEntries(Object.entries(l.rasterKinds()).map(([k, v]) => [v, k]));
  const out = [];
  for (let i = 0; i < c.raster.length; i += 9) {
    const [kind, x1, y1, x2, y2, width, colour, w, h] = c.raster.slice(i, i + 9);
    const name = names[kind];
    if (name === 'segment') out.push({ segment: [x1, y1, x2, y2], width, colour });
    else if (name === 'make') out.push({ make: [w, h], colour });
    else out.push({ [name]: true });
  }
  return out;
}

test('loading clears the stroke layer once and changes nothing else', async (t) => {
  const l = await newLesson(t);
  const first = l.takeChanges();
  assert.deepEqual(steps(l, first), []); // blank already: no raster to set aside
  assert.deepEqual(first.rasterArea, { x: 0, y: 0, w: 793, h: 641 });
  assert.deepEqual([first.slots, first.area], [[], null]);
  const next = l.takeChanges();
  assert.deepEqual([steps(l, next), next.rasterArea, next.slots, next.area], [[], null, [], null]);
});

test('a stroke in memo mode comes out as segments in the pen\'s colour and width', async (t) => {
  const l = await newLesson(t);
  l.takeChanges();
  l.clickCommand(3);
  assert.deepEqual(l.state().optionsEnabled, Array(8).fill(true));
  assert.deepEqual(l.state().commandsEnabled, [true, true, true, false]);
  l.press(1, 0, 100, 100);
  l.move(1, 0, 120, 110);
  l.move(1, 0, 130, 130);
  l.release(1, 0, 130, 130);
  l.move(0, 0, 200, 200); // no stroke once lifted
  const c = l.takeChanges();
  assert.deepEqual(steps(l, c), [
    { make: [793, 641], colour: green },
    { segment: [102, 102, 122, 112], width: 3, colour: red },
    { segment: [122, 112, 132, 132], width: 3, colour: red },
  ]);
  l.clickOption(6); // thick blue
  l.press(1, 0, 10, 10);
  l.move(1, 0, 20, 10);
  l.release(1, 0, 20, 10);
  assert.deepEqual(steps(l, l.takeChanges()),
                   [{ segment: [12, 12, 22, 12], width: 6, colour: 0xff0000ff }]);
});

test('the eraser\'s cursor follows the pointer in its slot, with the area to repaint', async (t) => {
  const l = await newLesson(t);
  l.takeChanges();
  l.clickCommand(3);
  l.clickOption(7); // thick eraser
  l.move(0, 0, 300, 200);
  const c = l.takeChanges();
  const list = l.drawList();
  const cursor = list.firstElement + 37;
  assert.deepEqual(c.slots.map(([i]) => i), [cursor]);
  const [, item] = c.slots[0];
  assert.equal(item.kind, 'outline');
  assert.deepEqual(item.box, { x: 300 - 25 / 2, y: 200 - 25 / 2, w: 25, h: 25 });
  assert.equal(item.width, 3);
  assert.equal(item.colour, 0xff000000);
  assert.ok(c.area.x <= item.box.x && c.area.x + c.area.w >= item.box.x + item.box.w);
  assert.deepEqual(list.items[cursor], item);
});

test('a right press restores the initial screen and clears the strokes', async (t) => {
  const l = await newLesson(t);
  const initial = l.drawList();
  l.takeChanges();
  l.clickCommand(3);
  l.press(1, 0, 100, 100);
  l.move(1, 0, 150, 150);
  l.release(1, 0, 150, 150);
  l.takeChanges();
  l.press(2, 0, 400, 400);
  l.release(2, 0, 400, 400);
  assert.deepEqual(steps(l, l.takeChanges()), [{ keep: true }]); // set aside for an undo
  assert.deepEqual(l.drawList(), initial);
  assert.deepEqual(l.state().optionsEnabled, Array(8).fill(false));
});

test('two point-label clicks in diagonal mode draw a red construction line', async (t) => {
  const l = await newLesson(t);
  l.takeChanges();
  l.clickCommand(4);
  assert.deepEqual(l.state().commandsEnabled, [true, true, false, true]);
  const click = (x, y) => {
    l.press(1, 0, x, y);
    l.release(1, 0, x, y);
  };
  assert.equal(l.pointLabelAt(328, 233), 0); // Ａ
  click(328, 233);
  assert.equal(l.pointLabelAt(528, 333), 4); // Ｂ'
  click(528, 333);
  const c = l.takeChanges();
  assert.ok(c.slots.length >= 1);
  const line = l.drawList().items.find((i) => i.kind === 'segment' && i.colour === red &&
                                              i.x1 === 337.5 && i.y1 === 250);
  assert.ok(line, 'a construction line from Ａ');
  assert.deepEqual([line.x2, line.y2], [510, 350]);
  assert.ok(c.area);
});

test('sliding the copy of ℓ moves it and its labels', async (t) => {
  const l = await newLesson(t);
  l.takeChanges();
  const before = l.drawList();
  // The copy lies on ℓ: press on it between p and r and slide 60 pixels right.
  l.press(1, 0, 290, 330);
  l.move(1, 0, 320, 330);
  l.move(1, 0, 350, 330);
  l.release(1, 0, 350, 330);
  const c = l.takeChanges();
  assert.ok(c.slots.length > 0);
  const after = l.drawList();
  const labelD = (list) => list.items.find((i) => i.caption === 'Ｄ');
  assert.equal(labelD(before).box.x, 316, 'Ｄ beneath Ａ at first');
  assert.equal(labelD(after).box.x, 316 + 60);
  assert.equal(labelD(after).colour, red);
  const moved = slotOf(after, (i) => i.caption === 'Ｄ');
  assert.ok(c.slots.some(([i]) => i === moved));
});

test('unusable positions are dropped and a release still ends the stroke', async (t) => {
  const l = await newLesson(t);
  l.takeChanges();
  l.clickCommand(3);
  l.press(1, 0, 50, 50);
  l.move(1, 0, NaN, 10);
  l.move(1, 0, Infinity, -Infinity);
  l.move(1, 0, 1e300, 0);
  l.release(1, 0, NaN, NaN);
  l.move(1, 0, 60, 60); // the pen is up: nothing more is drawn
  assert.deepEqual(steps(l, l.takeChanges()), []);
});

test('a disabled control ignores a click; 終了 asks the page to end', async (t) => {
  const l = await newLesson(t);
  l.clickOption(5); // disabled outside memo mode
  assert.deepEqual(l.state().optionsSelected, [true, false, false, false, false, false, false, false]);
  l.clickCommand(9);
  l.clickOption(-1);
  l.clickOption(8);
  assert.equal(l.state().endRequested, false);
  l.clickCommand(2);
  assert.equal(l.state().endRequested, true);
});

test('the changes handed over, applied to the first list, give the list shown', async (t) => {
  const l = await newLesson(t);
  const copy = l.drawList();
  l.takeChanges();
  // A walk through every kind of action, some far off the surface.
  const steps = [
    () => l.press(1, 0, 290, 330), () => l.move(1, 0, 330, 300), () => l.move(1, 0, 5000, 300),
    () => l.release(1, 0, 5000, 300), () => l.press(1, 0, 300, 100), () => l.release(1, 0, 300, 100),
    () => l.press(1, 0, 560, 100), () => l.release(1, 0, 560, 100),
    () => l.clickCommand(3), () => l.clickOption(3), () => l.move(0, 0, 10, 10),
    () => l.move(0, 0, -900, 2000), () => l.clickOption(7), () => l.move(0, 0, 400, 300),
    () => l.clickCommand(3), () => l.clickCommand(4), () => l.press(1, 0, 328, 233),
    () => l.release(1, 0, 328, 233), () => l.press(1, 0, 175, 483), () => l.release(1, 0, 175, 483),
    () => l.press(2, 0, 100, 100), () => l.release(2, 0, 100, 100), () => l.clickCommand(1),
  ];
  for (const step of steps) {
    step();
    const c = l.takeChanges();
    for (const [i, item] of c.slots) copy.items[i] = item;
    assert.deepEqual(copy, l.drawList());
  }
});
