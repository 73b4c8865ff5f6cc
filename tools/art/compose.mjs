// Pictures composed from the rendered members of a pack: portraits as the
// editor stacks its layers, the pack cards of the selection window, and a
// contact sheet of every part. Each is an SVG document that places the member
// pictures; our own renderer draws it.

import path from 'node:path';

import { CANVAS, RECTS, Z_ORDER, svgDocument } from './lib/canvas.mjs';

// A small deterministic generator, so that a sheet looks the same on every run.
export function random(seed) {
  let a = seed >>> 0;
  return (n) => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return Math.floor((((t ^ (t >>> 14)) >>> 0) / 4294967296) * n);
  };
}

// A random portrait as the editor's random command makes it (hand, face, hair,
// eyes, nose, mouth, brows), with a background and now and then glasses.
export function randomChoice(pack, next) {
  const pick = (c) => (pack.categories[c]?.length ? next(pack.categories[c].length) : -1);
  const choice = {};
  for (const c of ['BG', 'Hand', 'Face', 'Hair', 'Eye', 'Nose', 'Mouth', 'Brow']) choice[c] = pick(c);
  if (next(3) === 0) choice.Glasses = pick('Glasses');
  return choice;
}

// The layers of a portrait in canvas units; `choice` maps a category to an item
// index. `membersDir` is relative to the document: the renderer reads pictures
// only beside or below it.
export function portraitMarkup(pack, membersDir, choice) {
  return Z_ORDER.map((c) => {
    const item = choice[c] === undefined || choice[c] < 0 ? null : pack.categories[c]?.[choice[c]];
    if (!item || !item.fileName) return '';
    const r = RECTS[c];
    return `<image x="${r.x}" y="${r.y}" width="${r.w}" height="${r.h}" preserveAspectRatio="none" ` +
      `xlink:href="${path.join(membersDir, item.fileName)}"/>`;
  }).join('');
}

// The pack card of the selection window: a portrait of the pack, cut to 344 x 734.
export function cardDocument(pack, membersDir, choice) {
  const w = (CANVAS.h * 344) / 734;
  const box = { x: (CANVAS.w - w) / 2, y: 0, w, h: CANVAS.h };
  return svgDocument(box, 344, 734, portraitMarkup(pack, membersDir, choice));
}

const esc = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;');

// Every part of the pack as its thumbnail, category by category, then ten
// random portraits.
export function contactDocument(pack, membersDir, seed) {
  const width = 1800;
  const cell = 90;
  const perRow = Math.floor((width - 40) / cell);
  let y = 70;
  let body = `<text x="20" y="45" font-family="Noto Sans" font-size="30" font-weight="bold" fill="#333">` +
    `Pack ${pack.pack}: ${esc(pack.style)}</text>`;
  for (const [category, items] of Object.entries(pack.categories)) {
    body += `<text x="20" y="${y + 22}" font-family="Noto Sans" font-size="20" fill="#333">` +
      `${category} (${items.length})</text>`;
    y += 32;
    items.forEach((item, i) => {
      const x = 20 + (i % perRow) * cell;
      const yy = y + Math.floor(i / perRow) * cell;
      body += `<rect x="${x}" y="${yy}" width="${cell - 6}" height="${cell - 6}" rx="8" fill="#eef1f4"/>` +
        `<image x="${x + 2}" y="${yy + 2}" width="${cell - 10}" height="${cell - 10}" ` +
        `xlink:href="${path.join(membersDir, item.thumbFile)}"/>`;
    });
    y += Math.ceil(items.length / perRow) * cell + 10;
  }
  const next = random(seed);
  const pw = (width - 40) / 10;
  const ph = (pw * CANVAS.h) / CANVAS.w;
  y += 10;
  for (let i = 0; i < 10; ++i) {
    const scale = pw / CANVAS.w;
    body += `<g transform="translate(${20 + i * pw} ${y}) scale(${scale})">` +
      `<svg width="${CANVAS.w}" height="${CANVAS.h}" overflow="hidden">` +
      `${portraitMarkup(pack, membersDir, randomChoice(pack, next))}</svg></g>`;
  }
  y += ph + 20;
  return svgDocument({ x: 0, y: 0, w: width, h: y }, width, y, `<rect width="${width}" height="${y}" fill="#fff"/>${body}`);
}
