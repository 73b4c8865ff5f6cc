// Pack 2: the Notionists parts. The face is drawn in three-quarter view with
// the features right of the head's middle; the mapping puts the eyes a little
// right of and below the middle of their rectangle, so that the head with its
// hair stands in the middle of the canvas, whole, and every feature still
// inside its own rectangle.

import { RECTS, at, clipTo, preImage, recolour } from '../lib/canvas.mjs';
import { extendDown } from '../lib/extend.mjs';
import { loadComponents, placementsInSource } from '../lib/components.mjs';

const C = await loadComponents('@dicebear/notionists');
const { create } = await import('@dicebear/notionists');

export const name = 'notionists';
export const mapping = { scale: 0.48, x: 895, y: 759 };

const SKINS = ['#fff4ea', '#f9d7bd', '#eebd94', '#d39a6c', '#a86f4c', '#6f4630'];
const HAIR_COLOURS = ['#000', '#3b2219', '#6a3f26', '#8d5a2b', '#b7772f', '#2e2e3a'];
// No clothes in a skin tone: a collar would read as bare skin.
const CLOTHES = ['#ffffff', '#cfe8ff', '#ffd9d9', '#dff5d8', '#fff1b8', '#e7dcff', '#eab8c8', '#d9f2f2'];

// This style lays its parts out in its avatar function rather than in a base part.
const PLACE = placementsInSource(create.toString());

const HAIR = ['variant01', 'variant04', 'variant07', 'variant10', 'variant12', 'variant14', 'variant16', 'variant18',
  'variant21', 'variant22', 'variant25', 'variant27', 'variant29', 'variant31', 'variant33', 'variant35', 'variant38',
  'variant40', 'variant44', 'variant49', 'variant53', 'variant56'];
const EYES = ['variant01', 'variant02', 'variant03', 'variant04', 'variant05'];
const BROWS = ['variant01', 'variant02', 'variant03', 'variant04', 'variant05', 'variant06', 'variant07', 'variant08',
  'variant09', 'variant10', 'variant11', 'variant12'];
const MOUTHS = ['variant01', 'variant03', 'variant05', 'variant07', 'variant10', 'variant12', 'variant14', 'variant17',
  'variant20', 'variant23', 'variant26', 'variant29'];
// Noses that start below the top of the nose rectangle.
const NOSES = ['variant02', 'variant08', 'variant11', 'variant13', 'variant16', 'variant17'];
const GLASSES = ['variant01', 'variant03', 'variant05', 'variant07', 'variant08', 'variant10'];
const BODIES = ['variant01', 'variant05', 'variant09', 'variant12', 'variant16', 'variant20', 'variant23', 'variant25'];
const EMOJI = [
  ['variant03', 'variant06', 'variant10'],
  ['variant02', 'variant01', 'variant29'],
  ['variant04', 'variant13', 'variant03'],
  ['variant05', 'variant08', 'variant20'],
  ['variant01', 'variant11', 'variant26'],
  ['variant03', 'variant09', 'variant23'],
];

const part = (component, variant) => at(PLACE[component].x, PLACE[component].y, C[component][variant]({}, {}));

// The head and neck; the neck is cut just above the collars, which the face
// layer would otherwise cover.
const NECK_CUT = 1105;
const head = (skin) => clipTo({ x: 0, y: 0, w: 1744, h: NECK_CUT }, recolour(part('base', 'variant01'), '#fff', skin));

function body(variant, clothes) {
  const canvasBottom = preImage(mapping, RECTS.Hand);
  const { x, y } = PLACE.body;
  const markup = at(x, y, recolour(extendDown(C.body[variant]({}, {}), canvasBottom.y + canvasBottom.h - y + 40),
    '#fff', clothes));
  // The face layer lies above the body and brings its own neck down to NECK_CUT;
  // below that the body cannot know the skin, so the opening of the collar is
  // filled with an undershirt in the shade of the clothes, edged like the
  // style's lines. It lies under the clothes, whose collar frames it.
  const shape = `M668 ${NECK_CUT}H969L1110 1260V1380H550V1260z`;
  const undershirt = `<path d="${shape}" fill="${clothes}"/><path d="${shape}" fill="#000" fill-opacity=".16"/>` +
    `<path d="M672 ${NECK_CUT + 5}H965" stroke="#000" stroke-width="10"/>`;
  return undershirt + markup;
}

export function parts() {
  const p = { Face: [], Hair: [], Eye: [], Nose: [], Mouth: [], Brow: [], Glasses: [], Hand: [], Emoji: [] };
  SKINS.forEach((skin, i) => p.Face.push({ id: `skin${i + 1}`, markup: head(skin), mask: true }));
  HAIR.forEach((v, i) => {
    const colour = i < 8 ? HAIR_COLOURS[0] : HAIR_COLOURS[1 + (i % (HAIR_COLOURS.length - 1))];
    p.Hair.push({ id: v, markup: recolour(part('hair', v), '#000', colour), mask: true });
  });
  EYES.forEach((v) => p.Eye.push({ id: v, markup: part('eyes', v) }));
  // The same eyes in a deep blue.
  EYES.forEach((v) => p.Eye.push({ id: `${v}-blue`, markup: recolour(part('eyes', v), '#000', '#1f3f74') }));
  BROWS.forEach((v) => p.Brow.push({ id: v, markup: part('brows', v) }));
  MOUTHS.forEach((v) => p.Mouth.push({ id: v, markup: part('lips', v) }));
  NOSES.forEach((v) => p.Nose.push({ id: v, markup: part('nose', v) }));
  GLASSES.forEach((v) => p.Glasses.push({ id: v, markup: part('glasses', v) }));
  BODIES.forEach((v, i) => p.Hand.push({ id: v, markup: body(v, CLOTHES[i]) }));
  EMOJI.forEach(([e, b, m], i) => p.Emoji.push({ id: `emoji${i + 1}`,
    markup: part('brows', b) + part('eyes', e) + part('nose', NOSES[i % NOSES.length]) + part('lips', m) }));
  return p;
}

export const THUMB_BOXES = {
  Face: { x: 500, y: 470, w: 640, h: 660 },
  Hair: { x: 300, y: 200, w: 1000, h: 1000 },
  Eye: { x: 790, y: 720, w: 300, h: 120 },
  Nose: { x: 880, y: 740, w: 160, h: 180 },
  Mouth: { x: 780, y: 860, w: 280, h: 180 },
  Brow: { x: 770, y: 640, w: 340, h: 100 },
  Glasses: { x: 600, y: 670, w: 530, h: 190 },
  Hand: { x: 150, y: 1000, w: 1400, h: 780 },
  Emoji: { x: 740, y: 620, w: 400, h: 440 },
};
