// Compares two pictures of the same scene drawn by two renderers (the desktop's Qt raster
// engine, Chromium's canvas), which antialias edges and rasterise glyphs each their own way.
//
// A pixel matches when the other picture has a pixel of nearly the same colour (every channel
// within `tolerance`) at the same place or up to `radius` pixels away: an edge drawn a fraction
// of a pixel off, or shaded a little differently, still matches; a line, stroke or label
// that is missing, or drawn anywhere else, does not. Both directions are checked, so what
// only one picture shows counts as well. Pictures are {width, height, data: RGBA bytes}.

function near(a, i, b, j, tolerance) {
  return Math.abs(a[i] - b[j]) <= tolerance && Math.abs(a[i + 1] - b[j + 1]) <= tolerance &&
         Math.abs(a[i + 2] - b[j + 2]) <= tolerance;
}

// Whether pixel (x, y) of `from` has a match in `to` within the radius.
function matched(from, to, x, y, radius, tolerance) {
  const i = (y * from.width + x) * 4;
  for (let dy = -radius; dy <= radius; ++dy) {
    const yy = y + dy;
    if (yy < 0 || yy >= to.height) continue;
    for (let dx = -radius; dx <= radius; ++dx) {
      const xx = x + dx;
      if (xx < 0 || xx >= to.width) continue;
      if (near(from.data, i, to.data, (yy * to.width + xx) * 4, tolerance)) return true;
    }
  }
  return false;
}

const inside = (r, x, y) => x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;

// Counts the pixels without a match, in either picture, outside the boxes `loose` (pixel
// boxes {x, y, w, h}) with `radius`, and inside each of them with `looseRadius`. Returns
// {strict, loose: [count per box], diff}: diff is a picture of `a` dimmed, with the strict
// mismatches in magenta and the loose ones in cyan, to look at when a comparison fails.
export function compareImages(a, b, { tolerance = 48, radius = 1, loose = [], looseRadius = 2 } = {}) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  const diff = { width: a.width, height: a.height, data: Buffer.alloc(a.data.length) };
  let strict = 0;
  const looseCounts = loose.map(() => 0);
  for (let y = 0; y < a.height; ++y) {
    for (let x = 0; x < a.width; ++x) {
      const box = loose.findIndex((r) => inside(r, x, y));
      const r = box >= 0 ? looseRadius : radius;
      const ok = matched(a, b, x, y, r, tolerance) && matched(b, a, x, y, r, tolerance);
      const i = (y * a.width + x) * 4;
      if (ok) {
        for (let c = 0; c < 3; ++c) diff.data[i + c] = 128 + (a.data[i + c] >> 2);
      } else if (box >= 0) {
        ++looseCounts[box];
        diff.data.set([0, 255, 255], i);
      } else {
        ++strict;
        diff.data.set([255, 0, 255], i);
      }
      diff.data[i + 3] = 255;
    }
  }
  return { strict, loose: looseCounts, diff };
}
