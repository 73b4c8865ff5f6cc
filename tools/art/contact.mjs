// Draws the sheets of each pack from a finished art build: the contact sheet
// of every part with ten random portraits, every face on every body, and every
// hairstyle on one face, the last two at half size.
//
//   node contact.mjs WORK_DIR VUPLORA_SVG OUT_DIR
//
// writes OUT_DIR/packN-contact.png, OUT_DIR/packN-bodies.png and
// OUT_DIR/packN-hair.png for both packs.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { contactDocument, partSheets } from './compose.mjs';

const [workDir, renderer, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node contact.mjs WORK_DIR VUPLORA_SVG OUT_DIR');
  process.exit(2);
}
const plan = JSON.parse(fs.readFileSync(path.join(workDir, 'plan.json'), 'utf8'));
const members = path.relative(workDir, plan.members);
const byWidth = new Map();
const sheet = (name, width, document) => {
  const doc = path.resolve(workDir, `${name}.svg`);
  fs.writeFileSync(doc, document);
  byWidth.set(width, [...(byWidth.get(width) ?? []), `${doc}\t${name}.png\n`]);
};
for (const pack of plan.packs) {
  sheet(`pack${pack.pack}-contact`, 1800, contactDocument(pack, members, 1000 + pack.pack));
  for (const [kind, { width, document }] of Object.entries(partSheets(pack, members))) {
    sheet(`pack${pack.pack}-${kind}`, width, document);
  }
}
// The batch reads each document from its file, which lets it find the member
// pictures beside it; it takes one width per run.
for (const [width, lines] of byWidth) {
  const list = path.join(workDir, `sheets-${width}.txt`);
  fs.writeFileSync(list, lines.join(''));
  execFileSync(renderer, ['batch', list, outDir, String(width)], { stdio: 'inherit' });
}
