// resvg (through @resvg/resvg-js) over a batch list, the way vuplora-svg batch runs it:
//   node resvg_batch.mjs LIST OUTDIR WIDTH FONTDIR
// LIST lines are "in.svg<TAB>out.png". With RESVG_PROGRESS set, the name of each
// document goes to that file before it is drawn, so that a caller can tell which one
// took the process down (resvg panics on a few, and a panic aborts node). System fonts stay off; the suite's fonts are
// loaded for documents with text (resvg-js reads the font files again for every
// document, which would otherwise dominate its time). Prints "render_seconds S"
// (parsing and drawing, not PNG encoding) and "render_cpu_seconds S", the processor time
// the process spent meanwhile (resvg-js draws on the calling thread; the process's time
// also counts node's own helper threads, if they run then) last.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const require = createRequire(path.join(process.env.RESVG_PREFIX || process.cwd(), 'node_modules'));
const { Resvg } = require('@resvg/resvg-js');

const [list, outDir, width, fontDir] = process.argv.slice(2);
const fontFiles = fs.readdirSync(fontDir).filter((f) => f.endsWith('.ttf')).map((f) => path.join(fontDir, f));
const textFont = {
  loadSystemFonts: false,
  fontFiles,
  defaultFontFamily: 'Noto Sans',
  serifFamily: 'Noto Serif',
  sansSerifFamily: 'Noto Sans',
  monospaceFamily: 'Noto Mono',
};
const noFont = { loadSystemFonts: false };
const options = {
  fitTo: { mode: 'width', value: Number(width) },
  font: {
    loadSystemFonts: false,
    fontFiles,
    defaultFontFamily: 'Noto Sans',
    serifFamily: 'Noto Serif',
    sansSerifFamily: 'Noto Sans',
    monospaceFamily: 'Noto Mono',
  },
  languages: ['en'],
};
let nanos = 0n;
let cpuMicros = 0;
for (const line of fs.readFileSync(list, 'utf8').split('\n')) {
  if (!line.trim()) continue;
  const [input, output] = line.split('\t');
  if (process.env.RESVG_PROGRESS) fs.appendFileSync(process.env.RESVG_PROGRESS, `${line}\n`);
  try {
    const svg = fs.readFileSync(input);
    const font = svg.includes('<text') || svg.includes('<tref') ? textFont : noFont;
    const t0 = process.hrtime.bigint();
    const cpu0 = process.cpuUsage();
    // resourcesDir costs resvg-js some 15 ms per document, so only documents with
    // images get it.
    const resources = svg.includes('<image') ? { resourcesDir: path.dirname(input) } : {};
    const rendered = new Resvg(svg, { ...options, font, ...resources }).render();
    nanos += process.hrtime.bigint() - t0;
    const cpu = process.cpuUsage(cpu0);
    cpuMicros += cpu.user + cpu.system;
    fs.writeFileSync(path.join(outDir, output), rendered.asPng());
  } catch (e) {
    console.error(`${input}: ${e.message}`);
  }
}
console.log(`render_seconds ${(Number(nanos) / 1e9).toFixed(4)}`);
console.log(`render_cpu_seconds ${(cpuMicros / 1e6).toFixed(4)}`);
