// resvg (through @resvg/resvg-js) over a batch list with fonts off:
//   node resvg_batch.mjs LIST OUTDIR WIDTH
// LIST lines are "in.svg<TAB>out.png". Prints "render_seconds S" (parsing and drawing,
// not PNG encoding) last.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const require = createRequire(path.join(process.env.RESVG_PREFIX || process.cwd(), 'node_modules'));
const { Resvg } = require('@resvg/resvg-js');

const [list, outDir, width] = process.argv.slice(2);
const options = { fitTo: { mode: 'width', value: Number(width) }, font: { loadSystemFonts: false } };
let nanos = 0n;
for (const line of fs.readFileSync(list, 'utf8').split('\n')) {
  if (!line.trim()) continue;
  const [input, output] = line.split('\t');
  try {
    const svg = fs.readFileSync(input);
    const t0 = process.hrtime.bigint();
    const rendered = new Resvg(svg, options).render();
    nanos += process.hrtime.bigint() - t0;
    fs.writeFileSync(path.join(outDir, output), rendered.asPng());
  } catch (e) {
    console.error(`${input}: ${e.message}`);
  }
}
console.log(`render_seconds ${(Number(nanos) / 1e9).toFixed(4)}`);
