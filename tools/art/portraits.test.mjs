// The portrait checks on small pictures that show each flaw: pictures drawn at
// a tenth of their layer rectangle, so one pixel is ten canvas units.

import assert from 'node:assert/strict';
import test from 'node:test';

import { Resvg } from '@resvg/resvg-js';

import { RECTS } from './lib/canvas.mjs';
import { foreignSkinPixels, hairFlaws, skinOf } from './portraits.mjs';

const picture = (rect, markup) => {
  const w = rect.w / 10;
  const h = rect.h / 10;
  const r = new Resvg(`<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}">${markup}</svg>`).render();
  return { w, h, px: r.pixels, bytes: r.asPng() };
};

test('a hairstyle is whole when it ends below the top margin and inside its picture', () => {
  // The hair rectangle starts 130 canvas units above the canvas: row 13 is canvas y 0.
  const cases = [
    { name: 'well inside', markup: '<rect x="20" y="20" width="20" height="20" fill="#000"/>', flaws: [] },
    { name: 'top at canvas y 20', markup: '<rect x="20" y="15" width="20" height="20" fill="#000"/>', flaws: [] },
    { name: 'top at canvas y 0', markup: '<rect x="20" y="13" width="20" height="20" fill="#000"/>',
      flaws: ['its top lies at canvas y 0.0, above 12'] },
    { name: 'cut at the side', markup: '<rect x="0" y="20" width="20" height="20" fill="#000"/>',
      flaws: ['it is cut at an edge of its picture'] },
    { name: 'faint pixels count', markup: '<rect x="20" y="5" width="20" height="20" fill="#000" fill-opacity=".05"/>' +
      '<rect x="20" y="20" width="20" height="20" fill="#000"/>', flaws: ['its top lies at canvas y -80.0, above 12'] },
  ];
  for (const c of cases) assert.deepEqual(hairFlaws(picture(RECTS.Hair, c.markup)), c.flaws, c.name);
  assert.deepEqual(hairFlaws(picture(RECTS.Hair, '')), ['shows nothing']);
});

test('the neck under a body shows no skin tone but the face\'s own', () => {
  const light = [249, 215, 189];
  const dark = [168, 111, 76];
  const hex = (c) => `rgb(${c.join(',')})`;
  // The face's neck is cut at canvas y 430; the face rectangle starts at y 30.
  const face = (skin) => {
    const p = picture(RECTS.Face, `<circle cx="20" cy="20" r="15" fill="${hex(skin)}"/>` +
      `<rect x="14" y="30" width="12" height="10" fill="${hex(skin)}"/>`);
    return { picture: p, bytes: p.bytes, skin: skinOf(p) };
  };
  // The body's collar opening below the cut, at canvas x 260 to 380.
  const body = (opening) => picture(RECTS.Hand, '<rect x="0" y="43" width="64" height="71" fill="#cfe8ff"/>' +
    `<rect x="26" y="43" width="12" height="5" fill="${opening}"/>`).bytes;
  const skins = [light, dark];
  assert.deepEqual(face(dark).skin, dark);
  const cases = [
    { face: face(dark), opening: hex(light), foreign: true },
    { face: face(light), opening: hex(dark), foreign: true },
    { face: face(light), opening: hex(light), foreign: false },
    { face: face(dark), opening: '#9fb6cc', foreign: false },
  ];
  for (const c of cases) {
    const n = foreignSkinPixels(body(c.opening), c.face, c.face.skin, skins);
    assert.equal(n > 0, c.foreign, `face ${c.face.skin} over an opening in ${c.opening}: ${n} pixels`);
  }
});
