// What the replay comparison rests on: reading event scripts as the desktop's EventScript
// does, PNG pictures in and out, and a comparison that forgives antialiasing but not a line
// missing or misplaced.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { parseScript } from './support/eventScript.mjs';
import { compareImages } from './support/imageDiff.mjs';
import { decodePng, encodePng } from './support/png.mjs';

// A green picture with a white line across it from (x0, y0) to (x1, y1), antialiased by
// coverage of each pixel's centre within `width` / 2 of the line, plus `shade` on its edge;
// without a line, just green.
function picture(w, h, line, { width = 3, shade = 0 } = {}) {
  const data = Buffer.alloc(w * h * 4);
  if (!line) {
    for (let i = 0; i < data.length; i += 4) data.set([0, 128, 0, 255], i);
    return { width: w, height: h, data };
  }
  const [x0, y0, x1, y1] = line;
  const len = Math.hypot(x1 - x0, y1 - y0);
  for (let y = 0; y < h; ++y) {
    for (let x = 0; x < w; ++x) {
      const t = Math.max(0, Math.min(1, ((x + 0.5 - x0) * (x1 - x0) + (y + 0.5 - y0) * (y1 - y0)) / (len * len)));
      const d = Math.hypot(x + 0.5 - (x0 + t * (x1 - x0)), y + 0.5 - (y0 + t * (y1 - y0)));
      const cover = Math.max(0, Math.min(1, width / 2 + 0.5 - d + (d > width / 2 - 0.5 ? shade : 0)));
      const i = (y * w + x) * 4;
      data[i] = Math.round(255 * cover);
      data[i + 1] = Math.round(128 + 127 * cover);
      data[i + 2] = Math.round(255 * cover);
      data[i + 3] = 255;
    }
  }
  return { width: w, height: h, data };
}

describe('comparing two renderers\' pictures', () => {
  const line = [10, 10, 110, 70];

  test('the same line, shaded differently at its edges, matches', () => {
    const r = compareImages(picture(120, 80, line), picture(120, 80, line, { shade: 0.15 }));
    assert.equal(r.strict, 0);
  });

  test('a line half a pixel off differs at its ends at most; three pixels off it differs all along', () => {
    // Shifted across itself, by half a pixel, then by three.
    const shifted = (d) => [line[0] + 0.6 * d, line[1] - d, line[2] + 0.6 * d, line[3] - d];
    assert.ok(compareImages(picture(120, 80, line), picture(120, 80, shifted(-0.5))).strict <= 12);
    assert.ok(compareImages(picture(120, 80, line), picture(120, 80, shifted(3))).strict > 100);
  });

  test('a line only one picture has is found, whichever it is', () => {
    const blank = picture(120, 80, null);
    const a = compareImages(picture(120, 80, line), blank), b = compareImages(blank, picture(120, 80, line));
    assert.ok(a.strict > 200);
    assert.equal(b.strict, a.strict);
  });

  test('inside a loose box the mismatches are counted for the box, not the whole', () => {
    const blank = picture(120, 80, null);
    const r = compareImages(picture(120, 80, [20, 20, 40, 20]), blank,
                            { loose: [{ x: 10, y: 10, w: 40, h: 20 }] });
    assert.equal(r.strict, 0);
    assert.ok(r.loose[0] > 40);
    assert.equal(r.diff.width, 120);
  });

  test('pictures of different sizes are refused', () => {
    assert.throws(() => compareImages(picture(10, 10, line), picture(10, 11, line)), /sizes differ/);
  });
});

describe('PNG pictures', () => {
  test('what is written reads back the same', () => {
    const img = picture(37, 23, [0, 0, 37, 23]);
    img.data[3] = 7; // alpha survives too
    const back = decodePng(encodePng(img));
    assert.deepEqual([back.width, back.height], [37, 23]);
    assert.ok(back.data.equals(img.data));
  });

  test('anything but a PNG is refused', () => {
    assert.throws(() => decodePng(Buffer.from('GIF89a....')), /not a PNG/);
  });
});

describe('event scripts', () => {
  test('events one a line or separated by \';\', comments to the end of the line', () => {
    const events = parseScript('# a slide; and more\npress 1 290 330 ; move 1 310.5 330\n\nrelease 1 -1e3 330 2 # end; here\ncommand 3\nlabel 5');
    assert.deepEqual(events, [
      { kind: 'press', button: 1, x: 290, y: 330, shift: 0 },
      { kind: 'move', button: 1, x: 310.5, y: 330, shift: 0 },
      { kind: 'release', button: 1, x: -1000, y: 330, shift: 2 },
      { kind: 'command', index: 3 },
      { kind: 'label', index: 5 },
    ]);
  });

  test('a malformed event is refused with the event named', () => {
    assert.throws(() => parseScript('press 1 2'), /press 1 2/);
    assert.throws(() => parseScript('option'), /one index/);
    assert.throws(() => parseScript('jump 1 2 3'), /unknown event "jump 1 2 3"/);
    assert.throws(() => parseScript('move 1 x1 2'), /bad number "x1" in "move 1 x1 2"/);
    assert.deepEqual(parseScript('move 1 inf -inf')[0], { kind: 'move', button: 1, x: Infinity, y: -Infinity, shift: 0 });
  });
});
