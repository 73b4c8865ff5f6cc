// Checks every picture of the art build against the same document drawn by
// resvg: both over white, a pixel differs when a colour channel is off by more
// than 48, and a picture may have at most 1% of such pixels. Lists the
// members that differ and fails when there is any.
//
//   node parity.mjs WORK_DIR VUPLORA_SVG
//
// A bubble's text is laid out in the box of the bubble format (its text
// element's width and height), which only our renderer knows; a bubble is
// therefore compared without its text, both renderers drawing the same
// text-free copy.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { Resvg } from '@resvg/resvg-js';

const [workDir, renderer] = process.argv.slice(2);
if (!renderer) {
  console.error('usage: node parity.mjs WORK_DIR VUPLORA_SVG');
  process.exit(2);
}
const plan = JSON.parse(fs.readFileSync(path.join(workDir, 'plan.json'), 'utf8'));

// Loading the system's fonts costs more than drawing; only documents with text need them.
const fontsFor = (svg) => (svg.includes('<text')
  ? { loadSystemFonts: true, defaultFontFamily: 'Noto Sans' } : { loadSystemFonts: false });

// resvg decodes our PNG too: drawn 1:1 over white it gives the pixels to compare.
function ours(file) {
  const png = fs.readFileSync(file);
  const w = png.readUInt32BE(16);
  const h = png.readUInt32BE(20);
  const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}">` +
    `<image width="${w}" height="${h}" href="data:image/png;base64,${png.toString('base64')}"/></svg>`;
  return new Resvg(svg, { background: 'white', font: fontsFor('') }).render();
}

// The text-free copies of the bubbles, drawn by our renderer beside them.
const dir = path.join(workDir, 'parity');
fs.rmSync(dir, { recursive: true, force: true });
fs.mkdirSync(dir, { recursive: true });
const widths = new Map();
for (const r of plan.renders.filter((x) => x.bubble)) {
  const copy = path.join(dir, r.member.replace(/\.png$/, '.svg'));
  fs.writeFileSync(copy, fs.readFileSync(r.svg, 'utf8').replace(/<text\b[\s\S]*?<\/text>/g, ''));
  widths.set(r.width, [...(widths.get(r.width) ?? []), `${copy}\t${r.member}\n`]);
  r.svg = copy;
  r.picture = path.join(dir, r.member);
}
for (const [width, lines] of widths) {
  const list = path.join(dir, `batch-${width}.txt`);
  fs.writeFileSync(list, lines.join(''));
  const run = spawnSync(renderer, ['batch', list, dir, String(width)], { stdio: ['ignore', 'ignore', 'inherit'] });
  if (run.status !== 0) {
    console.error(`${path.basename(renderer)} failed on the text-free bubbles`);
    process.exit(1);
  }
}

const differing = [];
for (const r of plan.renders) {
  const a = ours(r.picture ?? path.join(plan.members, r.member));
  const svg = fs.readFileSync(r.svg, 'utf8');
  const b = new Resvg(svg, { background: 'white', font: fontsFor(svg), fitTo: { mode: 'width', value: r.width } }).render();
  const label = `${r.member} (${path.basename(path.dirname(r.svg))}/${path.basename(r.svg)})`;
  if (a.width !== b.width || a.height !== b.height) {
    differing.push(`${label}: size ${a.width}x${a.height}, resvg ${b.width}x${b.height}`);
    continue;
  }
  const pa = a.pixels;
  const pb = b.pixels;
  let bad = 0;
  for (let i = 0; i < pa.length; i += 4) {
    if (Math.abs(pa[i] - pb[i]) > 48 || Math.abs(pa[i + 1] - pb[i + 1]) > 48 || Math.abs(pa[i + 2] - pb[i + 2]) > 48) ++bad;
  }
  const share = bad / (a.width * a.height);
  if (share > 0.01) differing.push(`${label}: ${(share * 100).toFixed(2)}% of pixels differ`);
}
console.log(`${plan.renders.length} pictures compared with resvg (bubbles without their text), ` +
  `${differing.length} differ`);
for (const d of differing) console.log(`  ${d}`);
process.exit(differing.length ? 1 : 0);
