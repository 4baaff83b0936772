// node icon.mjs OUTPUT.png SIZE
//
// The page's icon for a phone's home screen, drawn at build time: a play
// slip of twelve numbers, three of them picked, on the page's blue. The
// blue fills the square and the slip stays inside its middle four fifths,
// so that a launcher may cut the icon to any shape.
import {writeFileSync} from 'node:fs';
import {deflateSync} from 'node:zlib';

const kBlue = [0x0b, 0x5c, 0xad];
const kPaper = [0xff, 0xff, 0xff];
const kNumber = [0xc9, 0xd3, 0xde];
const kPicked = [0xf0, 0xa5, 0x00];
const kPickedNumbers = new Set([1, 6, 8]);
// Each pixel is the mean of kSamples x kSamples points, for smooth edges.
const kSamples = 4;

// The colour at (x, y), both from 0 to 1 across the icon.
function colourAt(x, y) {
  // The slip: a rounded rectangle, 0.56 wide and 0.62 high, in the middle.
  const [halfWidth, halfHeight, corner] = [0.28, 0.31, 0.05];
  const dx = Math.max(Math.abs(x - 0.5) - (halfWidth - corner), 0);
  const dy = Math.max(Math.abs(y - 0.5) - (halfHeight - corner), 0);
  if (dx * dx + dy * dy > corner * corner) return kBlue;
  // Its numbers: three columns of four dots.
  const column = Math.floor((x - 0.26) / 0.16);
  const row = Math.floor((y - 0.23) / 0.14);
  if (column >= 0 && column < 3 && row >= 0 && row < 4) {
    const cx = 0.26 + 0.16 * column + 0.08;
    const cy = 0.23 + 0.14 * row + 0.07;
    if ((x - cx) ** 2 + (y - cy) ** 2 <= 0.05 ** 2) return kPickedNumbers.has(row * 3 + column) ? kPicked : kNumber;
  }
  return kPaper;
}

const kCrcTable = Array.from({length: 256}, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = kCrcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const typed = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(typed));
  return Buffer.concat([length, typed, crc]);
}

// The icon as a PNG of size x size pixels, RGB, each scanline unfiltered.
function png(size) {
  const line = 1 + size * 3;
  const pixels = Buffer.alloc(size * line);
  for (let py = 0; py < size; ++py) {
    for (let px = 0; px < size; ++px) {
      const sum = [0, 0, 0];
      for (let sy = 0; sy < kSamples; ++sy) {
        for (let sx = 0; sx < kSamples; ++sx) {
          const colour = colourAt((px + (sx + 0.5) / kSamples) / size, (py + (sy + 0.5) / kSamples) / size);
          for (let i = 0; i < 3; ++i) sum[i] += colour[i];
        }
      }
      for (let i = 0; i < 3; ++i) pixels[py * line + 1 + px * 3 + i] = Math.round(sum[i] / kSamples ** 2);
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8);  // 8 bits a channel, RGB, deflate, no filter choice, no interlace
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
                        chunk('IDAT', deflateSync(pixels, {level: 9})), chunk('IEND', Buffer.alloc(0))]);
}

const [output, size] = process.argv.slice(2);
writeFileSync(output, png(Number(size)));
