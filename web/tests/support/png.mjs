// PNG images to and from {width, height, data: RGBA bytes}, with node's own zlib: enough for
// what Chromium's screenshots and Qt's QImage::save write (8 bits per channel, grey, grey with
// alpha, RGB or RGBA, not interlaced).
import { deflateSync, inflateSync } from 'node:zlib';

const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const kChannels = { 0: 1, 2: 3, 4: 2, 6: 4 };

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(buf) {
  if (!buf.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG file');
  let pos = 8, width = 0, height = 0, type = 0;
  const idat = [];
  while (pos < buf.length) {
    const len = buf.readUInt32BE(pos), kind = buf.toString('latin1', pos + 4, pos + 8);
    const body = buf.subarray(pos + 8, pos + 8 + len);
    pos += 12 + len;
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      type = body[9];
      if (body[8] !== 8 || !(type in kChannels) || body[12] !== 0)
        throw new Error(`unsupported PNG: depth ${body[8]}, colour type ${type}, interlace ${body[12]}`);
    } else if (kind === 'IDAT') {
      idat.push(body);
    } else if (kind === 'IEND') {
      break;
    }
  }
  const ch = kChannels[type], stride = width * ch;
  const raw = inflateSync(Buffer.concat(idat));
  const px = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = px.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? px.subarray((y - 1) * stride, y * stride) : null;
    for (let i = 0; i < stride; ++i) {
      const a = i >= ch ? out[i - ch] : 0, b = up ? up[i] : 0, c = up && i >= ch ? up[i - ch] : 0;
      const v = line[i];
      switch (filter) {
        case 0: out[i] = v; break;
        case 1: out[i] = v + a; break;
        case 2: out[i] = v + b; break;
        case 3: out[i] = v + ((a + b) >> 1); break;
        case 4: out[i] = v + paeth(a, b, c); break;
        default: throw new Error(`bad PNG filter ${filter}`);
      }
    }
  }
  const data = Buffer.alloc(width * height * 4);
  for (let i = 0, j = 0; i < data.length; i += 4, j += ch) {
    const grey = ch <= 2;
    data[i] = px[j];
    data[i + 1] = grey ? px[j] : px[j + 1];
    data[i + 2] = grey ? px[j] : px[j + 2];
    data[i + 3] = ch === 2 ? px[j + 1] : ch === 4 ? px[j + 3] : 255;
  }
  return { width, height, data };
}

const kCrcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(buf) {
  let c = 0xffffffff;
  for (const b of buf) c = kCrcTable[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(kind, body) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(body.length, 0);
  head.write(kind, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
  return Buffer.concat([head, body, crc]);
}

// RGBA, no filtering: for pictures a failing test leaves behind to look at.
export function encodePng({ width, height, data }) {
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr[8] = 8;
  ihdr[9] = 6;
  const raw = Buffer.alloc((width * 4 + 1) * height);
  for (let y = 0; y < height; ++y)
    data.copy(raw, y * (width * 4 + 1) + 1, y * width * 4, (y + 1) * width * 4);
  return Buffer.concat([kSignature, chunk('IHDR', ihdr), chunk('IDAT', deflateSync(raw)),
                       chunk('IEND', Buffer.alloc(0))]);
}
