// Writes the documents of both packs into a work folder: one layer document,
// thumbnail document and (where a part has one) mask document per part, the
// pack indexes, the speech bubbles, and the batch lists that tell the renderer
// which document becomes which archive member at which width.
//
//   node generate.mjs WORK_DIR OWN_DIR
//
// WORK_DIR/members is the folder `vuplora-pack build` packs once the batch
// lists have been rendered into it; WORK_DIR/plan.json lists every rendering
// and every item for the checks and pictures that follow.

import { createHash } from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

import { RECTS, layerDocument, silhouette, svgDocument, thumbDocument } from './lib/canvas.mjs';
import * as avataaars from './styles/avataaars.mjs';
import * as notionists from './styles/notionists.mjs';

export const THUMB_SIZE = 190; // the browser's largest cell: (600 / 3) - 10
const PACKS = [avataaars, notionists];
// The order of the categories in an index; the editor finds them by type.
const INDEX_ORDER = ['BG', 'Hand', 'Face', 'Hair', 'Eye', 'Brow', 'Nose', 'Mouth', 'Emoji', 'Glasses', 'FG', 'Paopao'];

const stem = (description) => createHash('md5').update(`vuplora-art/${description}`).digest('hex');

export function generate(workDir, ownDir) {
  const docs = path.join(workDir, 'docs');
  const members = path.join(workDir, 'members');
  fs.mkdirSync(docs, { recursive: true });
  fs.mkdirSync(members, { recursive: true });
  const renders = []; // { svg, member, width, bubble }
  const writeDoc = (name, text) => {
    const file = path.join(docs, name);
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, text);
    return file;
  };
  const render = (svg, member, width, bubble = false) => renders.push({ svg, member, width, bubble });

  // The "none" picture of the first emoji and the first bubble.
  const noneStem = stem('none');
  render(writeDoc('none.svg', svgDocument({ x: 0, y: 0, w: 100, h: 100 }, THUMB_SIZE, THUMB_SIZE,
    '<circle cx="50" cy="50" r="30" stroke="#b0b0b0" stroke-width="7"/>' +
    '<path d="M29 71L71 29" stroke="#b0b0b0" stroke-width="7" stroke-linecap="round"/>')), `${noneStem}_thumb.png`, THUMB_SIZE);
  const noneItem = { id: 'none', fileName: '', thumbFile: `${noneStem}_thumb.png`, maskFile: '' };

  const own = (folder, category) => {
    const dir = path.join(ownDir, folder);
    const files = fs.existsSync(dir) ? fs.readdirSync(dir).filter((f) => /^\d+\.svg$/.test(f)).sort() : [];
    return files.map((f) => {
      const s = stem(`own/${folder}/${path.basename(f, '.svg')}`);
      const src = path.join(dir, f);
      render(src, `${s}.png`, RECTS[category].w);
      render(src, `${s}_thumb.png`, THUMB_SIZE);
      return { id: `${folder}-${path.basename(f, '.svg')}`, fileName: `${s}.png`, thumbFile: `${s}_thumb.png`, maskFile: '' };
    });
  };
  const shared = { BG: own('backgrounds', 'BG'), FG: own('foregrounds', 'FG'), Paopao: [noneItem] };
  const bubbleDir = path.join(ownDir, 'bubbles');
  const bubbles = fs.existsSync(bubbleDir) ? fs.readdirSync(bubbleDir).filter((f) => /^\d+\.svg$/.test(f)).sort() : [];
  for (const f of bubbles) {
    const n = path.basename(f, '.svg');
    const s = stem(`own/bubbles/${n}`);
    fs.copyFileSync(path.join(bubbleDir, f), path.join(members, `${s}.svg`));
    render(path.join(bubbleDir, f), `${s}_thumb.png`, THUMB_SIZE, true);
    const cn = path.join(bubbleDir, `${n}_cn.svg`);
    if (fs.existsSync(cn)) {
      fs.copyFileSync(cn, path.join(members, `${s}_cn.svg`));
      render(cn, `${s}_thumb_cn.png`, THUMB_SIZE, true);
    }
    shared.Paopao.push({ id: `bubble-${n}`, fileName: `${s}.svg`, thumbFile: `${s}_thumb.png`, maskFile: '' });
  }

  const packs = PACKS.map((style, p) => {
    const pack = p + 1;
    const categories = { ...shared };
    for (const [category, list] of Object.entries(style.parts())) {
      const items = category === 'Emoji' ? [noneItem] : [];
      list.forEach((item) => {
        const i = items.length;
        const s = stem(`${style.name}/${category}/${item.id}`);
        const base = `${style.name}/${category}/${String(i).padStart(2, '0')}`;
        render(writeDoc(`${base}.svg`, layerDocument(style.mapping, category, item.markup)), `${s}.png`, RECTS[category].w);
        render(writeDoc(`${base}_thumb.svg`, thumbDocument(style.THUMB_BOXES[category], THUMB_SIZE, item.markup)),
          `${s}_thumb.png`, THUMB_SIZE);
        let maskFile = '';
        if (item.mask) {
          maskFile = `${stem(`${style.name}/${category}/${item.id}/mask`)}.png`;
          render(writeDoc(`${base}_mask.svg`, layerDocument(style.mapping, category, silhouette(item.markup))),
            maskFile, RECTS[category].w);
        }
        items.push({ id: item.id, fileName: `${s}.png`, thumbFile: `${s}_thumb.png`, maskFile });
      });
      categories[category] = items;
    }
    const index = { c: INDEX_ORDER.length };
    INDEX_ORDER.forEach((type, c) => {
      const items = categories[type] ?? [];
      index[c] = { type, count: items.length, ...Object.fromEntries(items.map((it, i) => [i, it])) };
    });
    fs.writeFileSync(path.join(members, `res${pack}.json`), `${JSON.stringify(index, null, 1)}\n`);
    return { pack, style: style.name, categories };
  });

  // One batch list per width: the renderer takes one width per run.
  const byWidth = new Map();
  for (const r of renders) byWidth.set(r.width, [...(byWidth.get(r.width) ?? []), r]);
  const batches = [...byWidth].map(([width, list]) => {
    const file = path.join(workDir, `batch-${width}.txt`);
    fs.writeFileSync(file, list.map((r) => `${path.resolve(r.svg)}\t${r.member}\n`).join(''));
    return { width, list: file };
  });
  const plan = { members, renders, batches, packs };
  fs.writeFileSync(path.join(workDir, 'plan.json'), JSON.stringify(plan, null, 1));
  return plan;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  if (process.argv.length !== 4) {
    console.error('usage: node generate.mjs WORK_DIR OWN_DIR');
    process.exit(2);
  }
  generate(process.argv[2], process.argv[3]);
}
