// The portrait canvas and its layer rectangles, and the one mapping per style
// from the style's own coordinates into the canvas.
//
// The rectangles are the editor's default layer rectangles (canvas units, 640 x
// 1136); a layer picture is stretched into its rectangle, so the picture of a
// part is exactly the pre-image of its rectangle under the style's mapping.
// That is what makes any combination of parts line up.

export const CANVAS = { w: 640, h: 1136 };

export const RECTS = {
  Emoji: { x: 100, y: 185, w: 440, h: 270 },
  Face: { x: 120, y: 30, w: 400, h: 460 },
  Hair: { x: 20, y: -130, w: 600, h: 740 },
  Eye: { x: 170, y: 216, w: 300, h: 120 },
  Nose: { x: 260, y: 260, w: 120, h: 120 },
  Mouth: { x: 170, y: 316, w: 300, h: 160 },
  Brow: { x: 170, y: 172, w: 300, h: 100 },
  Glasses: { x: 150, y: 216, w: 340, h: 140 },
  Hand: { x: 0, y: 0, w: 640, h: 1136 },
  BG: { x: 0, y: 0, w: 640, h: 1136 },
  Paopao: { x: 0, y: 0, w: 300, h: 300 },
  FG: { x: 0, y: 0, w: 640, h: 1136 },
};

// Layer order on the canvas, bottom first (the bubble is not a bitmap layer).
export const Z_ORDER = ['BG', 'Hand', 'Face', 'Eye', 'Nose', 'Mouth', 'Brow', 'Emoji', 'Glasses', 'Hair', 'FG'];

// The canvas point the mapping's anchor lands on: the centre of the eyes' rectangle.
const ANCHOR = { x: 320, y: 276 };

// mapping: { scale, x, y }: style point (x, y) lands on ANCHOR, one style unit
// is `scale` canvas units.
export function preImage(mapping, rect) {
  return {
    x: mapping.x + (rect.x - ANCHOR.x) / mapping.scale,
    y: mapping.y + (rect.y - ANCHOR.y) / mapping.scale,
    w: rect.w / mapping.scale,
    h: rect.h / mapping.scale,
  };
}

export function toCanvas(mapping, x, y) {
  return { x: ANCHOR.x + (x - mapping.x) * mapping.scale, y: ANCHOR.y + (y - mapping.y) * mapping.scale };
}

const num = (v) => String(Math.round(v * 1000) / 1000);

export function viewBox(box) {
  return [box.x, box.y, box.w, box.h].map(num).join(' ');
}

export function svgDocument(box, width, height, markup) {
  return `<?xml version="1.0" encoding="UTF-8"?>\n<svg xmlns="http://www.w3.org/2000/svg" ` +
    `xmlns:xlink="http://www.w3.org/1999/xlink" width="${num(width)}" height="${num(height)}" ` +
    `viewBox="${viewBox(box)}" fill="none">${markup}</svg>\n`;
}

// A layer document: the part in style coordinates, seen through the pre-image
// of its layer rectangle at the rectangle's size.
export function layerDocument(mapping, category, markup) {
  const rect = RECTS[category];
  return svgDocument(preImage(mapping, rect), rect.w, rect.h, markup);
}

// The same part in a square around `box` (style coordinates), for the browser.
export function thumbDocument(box, size, markup) {
  const side = Math.max(box.w, box.h);
  const square = { x: box.x + (box.w - side) / 2, y: box.y + (box.h - side) / 2, w: side, h: side };
  return svgDocument(square, size, size, markup);
}

// The silhouette of a part: every painted colour black and fully opaque, so
// that the mask is opaque exactly where the part covers the canvas.
export function silhouette(markup) {
  return markup
    .replace(/\b(fill|stroke)="(?!none)[^"]*"/g, '$1="#000"')
    .replace(/\s(fill-opacity|stroke-opacity|opacity)="[^"]*"/g, '');
}

export function recolour(markup, from, to) {
  const re = new RegExp(`(fill|stroke)="${from}"`, 'gi');
  return markup.replace(re, `$1="${to}"`);
}

// Translates the markup by (x, y).
export function at(x, y, markup) {
  return `<g transform="translate(${num(x)} ${num(y)})">${markup}</g>`;
}

// Clips the markup to a box (style coordinates) with a nested viewport.
export function clipTo(box, markup) {
  return `<svg x="${num(box.x)}" y="${num(box.y)}" width="${num(box.w)}" height="${num(box.h)}" ` +
    `viewBox="${viewBox(box)}" overflow="hidden">${markup}</svg>`;
}
