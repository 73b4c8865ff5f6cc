// Draws the contact sheet of each pack from a finished art build: every part
// and ten random portraits.
//
//   node contact.mjs WORK_DIR VUPLORA_SVG OUT_DIR
//
// writes OUT_DIR/pack1-contact.png and OUT_DIR/pack2-contact.png.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { contactDocument } from './compose.mjs';

const [workDir, renderer, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node contact.mjs WORK_DIR VUPLORA_SVG OUT_DIR');
  process.exit(2);
}
const plan = JSON.parse(fs.readFileSync(path.join(workDir, 'plan.json'), 'utf8'));
const list = path.join(workDir, 'contact.txt');
fs.writeFileSync(list, plan.packs.map((pack) => {
  const doc = path.resolve(workDir, `pack${pack.pack}-contact.svg`);
  fs.writeFileSync(doc, contactDocument(pack, path.relative(workDir, plan.members), 1000 + pack.pack));
  return `${doc}\tpack${pack.pack}-contact.png\n`;
}).join(''));
// The batch reads each document from its file, which lets it find the member
// pictures beside it.
execFileSync(renderer, ['batch', list, outDir, '1800'], { stdio: 'inherit' });
