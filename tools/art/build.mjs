// The whole art build: documents of both packs, rasterised by our own renderer,
// the pack cards of the selection window, and the archive.
//
//   node build.mjs WORK_DIR OWN_DIR VUPLORA_SVG VUPLORA_PACK OUT_ZIP CARDS_DIR
//
// Any document the renderer cannot draw fails the build with its message.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { cardDocument } from './compose.mjs';
import { generate } from './generate.mjs';

const [workDir, ownDir, renderer, packer, outZip, cardsDir] = process.argv.slice(2);
if (!cardsDir) {
  console.error('usage: node build.mjs WORK_DIR OWN_DIR VUPLORA_SVG VUPLORA_PACK OUT_ZIP CARDS_DIR');
  process.exit(2);
}

function run(program, args) {
  const r = spawnSync(program, args, { stdio: ['ignore', 'pipe', 'inherit'], encoding: 'utf8' });
  if (r.error) throw r.error;
  if (r.status !== 0) throw new Error(`${path.basename(program)} ${args[0]} failed (exit code ${r.status})`);
  return r.stdout;
}

// The portraits on the cards: a friendly face from each pack.
const CARDS = [
  { BG: 0, Hand: 0, Face: 1, Hair: 1, Eye: 1, Nose: 0, Mouth: 0, Brow: 0 },
  { BG: 0, Hand: 1, Face: 1, Hair: 9, Eye: 0, Nose: 0, Mouth: 1, Brow: 1 },
];

try {
  // Members of an earlier run must not linger in the archive.
  fs.rmSync(workDir, { recursive: true, force: true });
  const plan = generate(workDir, ownDir);
  let seconds = 0;
  for (const b of plan.batches) {
    const out = run(renderer, ['batch', b.list, plan.members, String(b.width)]);
    seconds += Number(/render_seconds ([\d.]+)/.exec(out)?.[1] ?? 0);
  }
  fs.mkdirSync(cardsDir, { recursive: true });
  const cardList = path.join(workDir, 'cards.txt');
  fs.writeFileSync(cardList, plan.packs.map((pack) => {
    const doc = path.resolve(workDir, `card${pack.pack}.svg`);
    fs.writeFileSync(doc, cardDocument(pack, path.relative(workDir, plan.members), CARDS[pack.pack - 1]));
    return `${doc}\tpack${pack.pack}.png\n`;
  }).join(''));
  run(renderer, ['batch', cardList, cardsDir, '344']);
  run(packer, ['build', plan.members, outZip]);
  console.log(`art: ${plan.renders.length} pictures rendered in ${seconds.toFixed(1)} s`);
} catch (e) {
  console.error(`art build: ${e.message}`);
  process.exit(1);
}
