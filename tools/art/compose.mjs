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

// Portraits at half size in a grid, `perRow` to a row, each under its caption.
export function gridDocument(title, pack, membersDir, cells, perRow) {
  const w = CANVAS.w / 2;
  const h = CANVAS.h / 2;
  const gap = 16;
  const caption = 28;
  const top = 70;
  const width = 20 + perRow * (w + gap);
  const height = top + Math.ceil(cells.length / perRow) * (h + caption + gap) + 10;
  let body = `<text x="20" y="45" font-family="Noto Sans" font-size="30" font-weight="bold" fill="#333">` +
    `${esc(title)}</text>`;
  cells.forEach(({ label, choice }, i) => {
    const x = 20 + (i % perRow) * (w + gap);
    const y = top + Math.floor(i / perRow) * (h + caption + gap);
    body += `<text x="${x}" y="${y + 20}" font-family="Noto Sans" font-size="18" fill="#333">${esc(label)}</text>` +
      `<g transform="translate(${x} ${y + caption}) scale(0.5)">` +
      `<svg width="${CANVAS.w}" height="${CANVAS.h}" overflow="hidden">${portraitMarkup(pack, membersDir, choice)}</svg></g>`;
  });
  return { width, document: svgDocument({ x: 0, y: 0, w: width, h: height }, width, height,
    `<rect width="${width}" height="${height}" fill="#fff"/>${body}`) };
}

// Every face on every body with one hairstyle, and every hairstyle on one face.
export function partSheets(pack, membersDir) {
  const { Face, Hand, Hair } = pack.categories;
  const base = { BG: 0, Hand: 0, Face: 1, Hair: 0, Eye: 0, Nose: 0, Mouth: 0, Brow: 0 };
  const bodies = Face.flatMap((face, f) => Hand.map((body, b) =>
    ({ label: `${face.id} / ${body.id}`, choice: { ...base, Face: f, Hand: b } })));
  const hair = Hair.map((item, i) => ({ label: item.id, choice: { ...base, Hair: i } }));
  return {
    bodies: gridDocument(`Pack ${pack.pack}: every face on every body`, pack, membersDir, bodies, Hand.length),
    hair: gridDocument(`Pack ${pack.pack}: every hairstyle`, pack, membersDir, hair, 9),
  };
}
