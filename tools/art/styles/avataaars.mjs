// Pack 1: the Avataaars parts. The scale leaves room above the head for the
// tallest hairstyles and hats, and the eyes sit a little below the middle of
// their rectangle so that the brows stay inside theirs.

import { RECTS, at, clipTo, preImage, recolour } from '../lib/canvas.mjs';
import { extendDown } from '../lib/extend.mjs';
import { loadComponents, markers, placements, withoutMarkers } from '../lib/components.mjs';

const C = await loadComponents('@dicebear/avataaars');

export const name = 'avataaars';
export const mapping = { scale: 2.3, x: 132, y: 110 };

const SKINS = ['#ffdbb4', '#edb98a', '#d08b5b', '#ae5d29', '#8d5524', '#614335'];
const HAIR_COLOURS = ['#2c1b18', '#724133', '#a55728', '#b58143', '#d6b370', '#4a312c', '#c93305'];
const CLOTHES = ['#5199e4', '#ff5c5c', '#25557c', '#a7ffc4', '#ff488e', '#3c4f5c', '#ffffb1', '#929598'];

// Parts chosen so that each stays inside its layer rectangle (long hair that
// would be cut off at the bottom of the hair rectangle, hats wider than it and
// low-cut shirts are left out).
const HAIR = ['shortFlat', 'bob', 'shortWaved', 'bun', 'shortCurly', 'miaWallace', 'theCaesar', 'longButNotTooLong',
  'shortRound', 'sides', 'straightAndStrand', 'theCaesarAndSidePart', 'shaggy', 'dreads01', 'shaggyMullet',
  'dreads02', 'frizzle', 'curly', 'winterHat03', 'turban', 'winterHat04'];
const EYES = ['default', 'happy', 'side', 'squint', 'wink', 'closed', 'surprised', 'eyeRoll', 'winkWacky', 'hearts'];
const BROWS = ['defaultNatural', 'default', 'flatNatural', 'raisedExcitedNatural', 'angryNatural', 'sadConcernedNatural',
  'unibrowNatural', 'upDownNatural', 'raisedExcited', 'frownNatural'];
const MOUTHS = ['smile', 'default', 'twinkle', 'serious', 'tongue', 'eating', 'concerned', 'disbelief', 'sad', 'grimace'];
const GLASSES = ['prescription01', 'prescription02', 'round', 'wayfarers', 'kurt', 'sunglasses'];
const BODIES = ['shirtCrewNeck', 'hoodie', 'collarAndSweater', 'graphicShirt', 'blazerAndSweater', 'blazerAndShirt'];
// Expressive faces: eyes, brows and mouth that go together.
const EMOJI = [
  ['happy', 'defaultNatural', 'smile'],
  ['wink', 'default', 'twinkle'],
  ['hearts', 'defaultNatural', 'smile'],
  ['cry', 'sadConcernedNatural', 'sad'],
  ['surprised', 'flatNatural', 'screamOpen'],
  ['xDizzy', 'unibrowNatural', 'grimace'],
  ['squint', 'angryNatural', 'serious'],
  ['eyeRoll', 'sadConcerned', 'concerned'],
];

const colours = (o = {}) => ({ skin: SKINS[1], hair: HAIR_COLOURS[0], clothes: CLOTHES[0], accessories: '#262e33',
  hat: '#5199e4', facialHair: HAIR_COLOURS[0], background: 'transparent', ...o });
const base = C.base.default(markers, colours());
const PLACE = placements(base);
const part = (component, variant, o) =>
  at(PLACE[component].x, PLACE[component].y, C[component][variant]({ clothingGraphic: undefined }, colours(o)));

// The head and neck, cut where the clothes begin; the shoulders belong to the body.
const head = (skin) => clipTo({ x: 0, y: 0, w: 264, h: 188 }, withoutMarkers(C.base.default(markers, colours({ skin }))));

function body(variant, clothes) {
  const graphic = { name: 'bear', value: C.clothingGraphic.bear };
  const canvas = preImage(mapping, RECTS.Hand);
  const { x, y } = PLACE.clothing;
  const markup = at(x, y, extendDown(
    C.clothing[variant]({ clothingGraphic: variant === 'graphicShirt' ? graphic : undefined }, colours({ clothes })),
    canvas.y + canvas.h - y + 20));
  // A high collar fills the neck and the neckline, so that no skin of the body
  // shows: the face picks its own skin tone and the body cannot follow it. It
  // lies under the clothes, whose neckline then frames it.
  const tube = 'M108 180h48v14c0 3 4 5 12 7v25H96v-25c8-2 12-4 12-7z';
  const collar = `<path d="${tube}" fill="${clothes}"/><path d="${tube}" fill="#000" fill-opacity=".18"/>` +
    '<path d="M109 186h46M109 192h46" stroke="#000" stroke-opacity=".12" stroke-width="1.5"/>';
  return collar + markup;
}

export function parts() {
  const p = { Face: [], Hair: [], Eye: [], Nose: [], Mouth: [], Brow: [], Glasses: [], Hand: [], Emoji: [] };
  SKINS.forEach((skin, i) => p.Face.push({ id: `skin${i + 1}`, markup: head(skin), mask: true }));
  HAIR.forEach((v, i) => {
    const hair = HAIR_COLOURS[i % HAIR_COLOURS.length];
    p.Hair.push({ id: v, markup: part('top', v, { hair, hat: CLOTHES[i % CLOTHES.length] }), mask: true });
  });
  // A few favourites again in other colours.
  ['shortFlat', 'bob', 'miaWallace', 'shortWaved', 'bun', 'curly'].forEach((v, i) => {
    const hair = HAIR_COLOURS[(i + 3) % HAIR_COLOURS.length];
    p.Hair.push({ id: `${v}-${hair.slice(1)}`, markup: part('top', v, { hair }), mask: true });
  });
  EYES.forEach((v) => p.Eye.push({ id: v, markup: part('eyes', v) }));
  BROWS.forEach((v) => p.Brow.push({ id: v, markup: part('eyebrows', v) }));
  MOUTHS.forEach((v) => p.Mouth.push({ id: v, markup: part('mouth', v) }));
  // One nose shape in the style; its shade differs with the skin it suits.
  ['#000', '#5a3825', '#8a5a44'].forEach((shade, i) =>
    p.Nose.push({ id: `nose${i + 1}`, markup: recolour(part('nose', 'default'), '#000', shade) }));
  GLASSES.forEach((v, i) => p.Glasses.push({ id: v, markup: part('accessories', v, { accessories: ['#262e33', '#3c4f5c', '#25557c', '#724133', '#262e33', '#262e33'][i] }) }));
  BODIES.forEach((v, i) => {
    p.Hand.push({ id: v, markup: body(v, CLOTHES[i]) });
    p.Hand.push({ id: `${v}-2`, markup: body(v, CLOTHES[(i + 6) % CLOTHES.length]) });
  });
  EMOJI.forEach(([e, b, m]) => p.Emoji.push({ id: `${e}-${m}`,
    markup: part('eyebrows', b) + part('eyes', e) + part('nose', 'default') + part('mouth', m) }));
  return p;
}

// Where the browser thumbnails look, in style coordinates.
export const THUMB_BOXES = {
  Face: { x: 62, y: 30, w: 140, h: 160 },
  Hair: { x: 20, y: 0, w: 224, h: 230 },
  Eye: { x: 88, y: 94, w: 88, h: 44 },
  Nose: { x: 114, y: 116, w: 36, h: 36 },
  Mouth: { x: 84, y: 136, w: 96, h: 46 },
  Brow: { x: 84, y: 78, w: 96, h: 32 },
  Glasses: { x: 64, y: 84, w: 136, h: 60 },
  Hand: { x: 20, y: 170, w: 224, h: 130 },
  Emoji: { x: 80, y: 78, w: 104, h: 104 },
};
