import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

// Access to a style's parts: each part is rendered alone in the style's own
// coordinates, placed with the translate its base component gives it.

export async function loadComponents(pkg) {
  // The packages export only their avatar entry point; the parts sit beside it.
  // (require.resolve rather than import.meta.resolve: Debian 12's Node 18 has
  // the latter only behind a flag.)
  const entry = pathToFileURL(createRequire(import.meta.url).resolve(pkg));
  return import(new URL('./components/index.js', entry).href);
}

// The placement of every part as the base component lays it out: the base is
// run with stand-ins that leave a marker, and the group around each marker
// names its translate.
export function placements(baseMarkup) {
  const out = {};
  const re = /<g transform="translate\(([-\d.]+)(?:[ ,]+([-\d.]+))?\)">@@(\w+)@@<\/g>/g;
  for (const m of baseMarkup.matchAll(re)) out[m[3]] = { x: Number(m[1]), y: Number(m[2] ?? 0) };
  return out;
}

export const markers = new Proxy({}, {
  get: (_, key) => (typeof key === 'string' ? { name: key, value: () => `@@${key}@@` } : undefined),
});

// Removes the markers, leaving what the base draws itself.
export function withoutMarkers(baseMarkup) {
  return baseMarkup.replace(/<g transform="[^"]*">@@\w+@@<\/g>/g, '');
}

// The same placements read from a layout function's source, for styles whose
// avatar function places the parts itself.
export function placementsInSource(source) {
  const out = {};
  const re = /translate\(([-\d.]+)(?:[ ,]+([-\d.]+))?\)">\$\{[^}]*?components\.(\w+)/g;
  for (const m of source.matchAll(re)) out[m[3]] ??= { x: Number(m[1]), y: Number(m[2] ?? 0) };
  return out;
}
