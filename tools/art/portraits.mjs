// Checks the pictures of the built archive for flaws a whole portrait would
// show, reading them back out of the archive as the application does:
//
//  - every hairstyle is whole: nothing of it on the edges of its picture, and
//    its topmost visible pixel at least TOP_MARGIN canvas units below the top;
//  - below the cut of every face's neck, under every body, no pixel takes the
//    skin tone of another face of the pack: the neck shows the face's own skin
//    or the clothes, never a fixed tone of the body's.
//
//   node portraits.mjs WORK_DIR ARCHIVE VUPLORA_PACK
//
// Lists every flaw and fails when there is any.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { Resvg } from '@resvg/resvg-js';

import { RECTS } from './lib/canvas.mjs';

export const TOP_MARGIN = 12;
// A pixel has a skin tone when no channel is further than this from it.
export const SKIN_TOLERANCE = 6;
// How far below the face's cut the neck is looked at, and how far inside its
// outline (canvas units).
const NECK_DEPTH = 80;
const NECK_INSET = 4;
// Antialiased edges may mix into a skin tone by chance on a few pixels.
const STRAY_PIXELS = 8;

const png = (bytes) => `data:image/png;base64,${bytes.toString('base64')}`;

// The pixels of a member picture, straight alpha, at its own size.
function decode(bytes) {
  const w = bytes.readUInt32BE(16);
  const h = bytes.readUInt32BE(20);
  const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}">` +
    `<image width="${w}" height="${h}" href="${png(bytes)}"/></svg>`;
  const r = new Resvg(svg, { font: { loadSystemFonts: false } }).render();
  return { w, h, px: r.pixels };
}

// Where a picture has visible pixels: rows and columns of its bounding box.
export function visibleBox({ w, h, px }) {
  let top = h;
  let bottom = -1;
  let left = w;
  let right = -1;
  for (let y = 0; y < h; ++y) {
    for (let x = 0; x < w; ++x) {
      if (px[(y * w + x) * 4 + 3] === 0) continue;
      top = Math.min(top, y);
      bottom = Math.max(bottom, y);
      left = Math.min(left, x);
      right = Math.max(right, x);
    }
  }
  return bottom < 0 ? null : { top, bottom, left, right };
}

// The flaws of one hairstyle picture, drawn into the hair rectangle.
export function hairFlaws(picture) {
  const box = visibleBox(picture);
  if (!box) return ['shows nothing'];
  const flaws = [];
  const r = RECTS.Hair;
  const top = r.y + (box.top * r.h) / picture.h;
  if (top < TOP_MARGIN) flaws.push(`its top lies at canvas y ${top.toFixed(1)}, above ${TOP_MARGIN}`);
  if (box.top === 0 || box.left === 0 || box.right === picture.w - 1 || box.bottom === picture.h - 1) {
    flaws.push('it is cut at an edge of its picture');
  }
  return flaws;
}

const key = (px, i) => (px[i] << 16) | (px[i + 1] << 8) | px[i + 2];

// The skin of a face picture: its most frequent opaque colour.
export function skinOf({ px }) {
  const counts = new Map();
  for (let i = 0; i < px.length; i += 4) {
    if (px[i + 3] === 255) counts.set(key(px, i), (counts.get(key(px, i)) ?? 0) + 1);
  }
  const [colour] = [...counts].reduce((a, b) => (b[1] > a[1] ? b : a));
  return [(colour >> 16) & 255, (colour >> 8) & 255, colour & 255];
}

const near = (px, i, c) => Math.abs(px[i] - c[0]) <= SKIN_TOLERANCE &&
  Math.abs(px[i + 1] - c[1]) <= SKIN_TOLERANCE && Math.abs(px[i + 2] - c[2]) <= SKIN_TOLERANCE;

// The neck below the face's cut: the columns of the face's lowest visible row,
// inside their outline, in canvas units.
export function neckBelow(face) {
  const box = visibleBox(face);
  let left = face.w;
  let right = -1;
  for (let x = 0; x < face.w; ++x) {
    if (face.px[(box.bottom * face.w + x) * 4 + 3] === 0) continue;
    left = Math.min(left, x);
    right = Math.max(right, x);
  }
  const k = RECTS.Face.w / face.w;
  return {
    x: RECTS.Face.x + left * k + NECK_INSET,
    y: RECTS.Face.y + (box.bottom + 1) * k,
    w: (right - left + 1) * k - 2 * NECK_INSET,
    h: NECK_DEPTH,
  };
}

// How many pixels of the neck below the face's cut take another skin of the
// pack, with the body under the face as the editor stacks them.
export function foreignSkinPixels(body, face, faceSkin, skins) {
  const neck = neckBelow(face.picture);
  const { Hand, Face } = RECTS;
  const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="${neck.w}" height="${neck.h}" ` +
    `viewBox="${neck.x} ${neck.y} ${neck.w} ${neck.h}">` +
    `<image x="${Hand.x}" y="${Hand.y}" width="${Hand.w}" height="${Hand.h}" preserveAspectRatio="none" href="${png(body)}"/>` +
    `<image x="${Face.x}" y="${Face.y}" width="${Face.w}" height="${Face.h}" preserveAspectRatio="none" href="${png(face.bytes)}"/></svg>`;
  const px = new Resvg(svg, { font: { loadSystemFonts: false } }).render().pixels;
  const others = skins.filter((s) => !s.every((v, c) => Math.abs(v - faceSkin[c]) <= SKIN_TOLERANCE));
  let count = 0;
  for (let i = 0; i < px.length; i += 4) {
    if (px[i + 3] === 255 && !near(px, i, faceSkin) && others.some((s) => near(px, i, s))) ++count;
  }
  return count;
}

function main() {
  const [workDir, archive, packer] = process.argv.slice(2);
  if (!packer) {
    console.error('usage: node portraits.mjs WORK_DIR ARCHIVE VUPLORA_PACK');
    process.exit(2);
  }
  const plan = JSON.parse(fs.readFileSync(path.join(workDir, 'plan.json'), 'utf8'));
  const read = (member) => {
    const r = spawnSync(packer, ['extract', archive, member, '-'], { maxBuffer: 64 << 20 });
    if (r.status !== 0) throw new Error(`vuplora-pack could not extract ${member}: ${r.stderr}`);
    return r.stdout;
  };
  const flaws = [];
  let pairs = 0;
  for (const pack of plan.packs) {
    const { Hair, Face, Hand } = pack.categories;
    for (const item of Hair) {
      for (const f of hairFlaws(decode(read(item.fileName)))) flaws.push(`pack ${pack.pack} hair ${item.id}: ${f}`);
    }
    const faces = Face.map((item) => {
      const bytes = read(item.fileName);
      const picture = decode(bytes);
      return { item, bytes, picture, skin: skinOf(picture) };
    });
    const skins = faces.map((f) => f.skin);
    for (const body of Hand) {
      const bytes = read(body.fileName);
      for (const face of faces) {
        ++pairs;
        const n = foreignSkinPixels(bytes, face, face.skin, skins);
        if (n >= STRAY_PIXELS) {
          flaws.push(`pack ${pack.pack} face ${face.item.id} on body ${body.id}: ${n} pixels of the neck in another skin tone`);
        }
      }
    }
  }
  const hairs = plan.packs.reduce((n, p) => n + p.categories.Hair.length, 0);
  console.log(`${hairs} hairstyles and ${pairs} face and body pairs checked, ${flaws.length} flaws`);
  for (const f of flaws) console.log(`  ${f}`);
  process.exit(flaws.length ? 1 : 0);
}

if (import.meta.url === `file://${process.argv[1]}`) main();
