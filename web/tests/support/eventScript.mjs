// Event scripts (tests/support/EventScript.h describes the text form) played on the page as
// a user's input: pointer events as mouse input at the page point of the surface position,
// buttons, pen options and point labels as clicks. A click on a disabled control is made all
// the same and ignored by the page, as the desktop window ignores it.

const kKinds = new Set(['press', 'move', 'release', 'command', 'option', 'label']);
const kMouseButtons = { 1: 'left', 2: 'right', 4: 'middle' };
// Label2(0..5) by caption, as the surface's draw list names them.
const kPointLabels = ['Ａ', 'Ｂ', 'Ｃ', 'Ａ\'', 'Ｂ\'', 'Ｃ\''];

// A number as the desktop reads it: decimal, or inf, -inf and nan.
function number(word, piece) {
  const special = { inf: Infinity, '-inf': -Infinity, nan: NaN, '-nan': NaN }[word.toLowerCase()];
  if (special !== undefined) return special;
  const v = Number(word);
  if (word === '' || Number.isNaN(v)) throw new Error(`bad number "${word}" in "${piece}"`);
  return v;
}

// [{kind, button, x, y, shift} | {kind, index}], one an event.
export function parseScript(text) {
  const events = [];
  for (const rawLine of text.split('\n')) {
    const line = rawLine.replace(/#.*/, '');
    for (const piece of line.split(';')) {
      const w = piece.trim().split(/\s+/).filter(Boolean);
      if (w.length === 0) continue;
      if (!kKinds.has(w[0])) throw new Error(`unknown event "${piece.trim()}"`);
      if (w[0] === 'command' || w[0] === 'option' || w[0] === 'label') {
        if (w.length !== 2) throw new Error(`expected one index: "${piece.trim()}"`);
        events.push({ kind: w[0], index: number(w[1], piece.trim()) });
      } else {
        if (w.length < 4 || w.length > 5) throw new Error(`expected button, x, y [shift]: "${piece.trim()}"`);
        const n = (word) => number(word, piece.trim());
        events.push({ kind: w[0], button: n(w[1]), x: n(w[2]), y: n(w[3]), shift: n(w[4] ?? '0') });
      }
    }
  }
  return events;
}

// Plays the events on a LessonPage. Shift states are not played (the scripts here use none).
export async function playScript(page, events) {
  for (const e of events) {
    if (e.shift) throw new Error('shift states are not played on the page');
    switch (e.kind) {
      case 'press':
        await page.mouseDown(e.x, e.y, kMouseButtons[e.button]);
        break;
      case 'move':
        await page.mouseMove(e.x, e.y);
        break;
      case 'release':
        await page.mouseUp(e.x, e.y, kMouseButtons[e.button]);
        break;
      case 'command':
        await page.clickElement({ selector: `#form > button[data-number="${e.index}"]` }, { force: true });
        break;
      case 'option':
        await page.clickElement({ selector: `input[type=radio][data-index="${e.index}"]` }, { force: true });
        break;
      case 'label': {
        const centre = await page.labelCentre(kPointLabels[e.index]);
        await page.mouseDown(...centre);
        await page.mouseUp(...centre);
        break;
      }
    }
  }
  await page.settle();
}
