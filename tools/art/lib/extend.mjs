// Lengthens a drawing downwards by continuing its own shapes: wherever an
// outline runs into the bottom edge of the drawing, it goes on in a straight
// line along its last direction down to a new bottom, so that outlines carry on
// without a kink and shapes keep their width. Outlines that end above the edge
// are left as they are.

const NUMBER = /[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/y;
const ARGS = { M: 2, L: 2, H: 1, V: 1, C: 6, S: 4, Q: 4, T: 2, A: 7, Z: 0 };

// Path data as subpaths of absolute cubic segments: { start, segs: [[c1, c2, end]], closed }.
export function parsePath(d) {
  const subpaths = [];
  let i = 0;
  const skip = () => {
    while (i < d.length && /[\s,]/.test(d[i])) ++i;
  };
  const number = () => {
    skip();
    // Arc flags may be written without separators ("a5 5 0 011 1").
    NUMBER.lastIndex = i;
    const m = NUMBER.exec(d);
    if (!m) throw new Error(`path data: a number expected at ${i} in "${d.slice(0, 40)}..."`);
    i = NUMBER.lastIndex;
    return Number(m[0]);
  };
  const flag = () => {
    skip();
    const c = d[i++];
    if (c !== '0' && c !== '1') throw new Error(`path data: an arc flag expected at ${i - 1}`);
    return c === '1';
  };
  let cur = { x: 0, y: 0 };
  let startPt = cur;
  let sub = null;
  let lastCtrl = null; // the reflected control point of S and T
  let lastQuad = null;
  let cmd = null;
  const line = (p) => {
    sub.segs.push([cur, p, p]);
    cur = p;
  };
  while (true) {
    skip();
    if (i >= d.length) break;
    if (/[a-zA-Z]/.test(d[i])) cmd = d[i++];
    else if (!cmd) throw new Error('path data: a command expected');
    const rel = cmd === cmd.toLowerCase();
    const up = cmd.toUpperCase();
    if (!(up in ARGS)) throw new Error(`path data: unknown command ${cmd}`);
    const pt = (x, y) => (rel ? { x: cur.x + x, y: cur.y + y } : { x, y });
    let ctrl = null;
    let quad = null;
    if (up === 'Z') {
      if (sub) {
        if (cur.x !== startPt.x || cur.y !== startPt.y) line(startPt);
        sub.closed = true;
      }
      cur = startPt;
      sub = null;
      cmd = null;
      lastCtrl = lastQuad = null;
      continue;
    }
    if (up === 'M') {
      const p = pt(number(), number());
      sub = { start: p, segs: [], closed: false };
      subpaths.push(sub);
      cur = startPt = p;
      cmd = rel ? 'l' : 'L';
      lastCtrl = lastQuad = null;
      continue;
    }
    if (!sub) {
      sub = { start: cur, segs: [], closed: false };
      subpaths.push(sub);
      startPt = cur;
    }
    if (up === 'L') line(pt(number(), number()));
    else if (up === 'H') {
      const x = number();
      line({ x: rel ? cur.x + x : x, y: cur.y });
    } else if (up === 'V') {
      const y = number();
      line({ x: cur.x, y: rel ? cur.y + y : y });
    } else if (up === 'C' || up === 'S') {
      const c1 = up === 'C' ? pt(number(), number())
        : (lastCtrl ? { x: 2 * cur.x - lastCtrl.x, y: 2 * cur.y - lastCtrl.y } : cur);
      const c2 = pt(number(), number());
      const end = pt(number(), number());
      sub.segs.push([c1, c2, end]);
      cur = end;
      ctrl = c2;
    } else if (up === 'Q' || up === 'T') {
      const q = up === 'Q' ? pt(number(), number())
        : (lastQuad ? { x: 2 * cur.x - lastQuad.x, y: 2 * cur.y - lastQuad.y } : cur);
      const end = pt(number(), number());
      sub.segs.push([lerp(cur, q, 2 / 3), lerp(end, q, 2 / 3), end]);
      cur = end;
      quad = q;
    } else if (up === 'A') {
      const rx = number();
      const ry = number();
      const rot = number();
      const large = flag();
      const sweep = flag();
      const end = pt(number(), number());
      for (const s of arcToCubics(cur, rx, ry, rot, large, sweep, end)) sub.segs.push(s);
      cur = end;
    }
    lastCtrl = ctrl;
    lastQuad = quad;
  }
  return subpaths;
}

const lerp = (a, b, t) => ({ x: a.x + (b.x - a.x) * t, y: a.y + (b.y - a.y) * t });

// The endpoint arc as cubic segments, each at most a quarter turn.
function arcToCubics(p0, rx, ry, rotDeg, large, sweep, p1) {
  if (rx === 0 || ry === 0 || (p0.x === p1.x && p0.y === p1.y)) return [[p0, p1, p1]];
  rx = Math.abs(rx);
  ry = Math.abs(ry);
  const phi = (rotDeg * Math.PI) / 180;
  const cos = Math.cos(phi);
  const sin = Math.sin(phi);
  const dx = (p0.x - p1.x) / 2;
  const dy = (p0.y - p1.y) / 2;
  const x1 = cos * dx + sin * dy;
  const y1 = -sin * dx + cos * dy;
  const lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    rx *= Math.sqrt(lambda);
    ry *= Math.sqrt(lambda);
  }
  const num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  const k = (large === sweep ? -1 : 1) * Math.sqrt(Math.max(0, num / den));
  const cx1 = (k * rx * y1) / ry;
  const cy1 = (-k * ry * x1) / rx;
  const cx = cos * cx1 - sin * cy1 + (p0.x + p1.x) / 2;
  const cy = sin * cx1 + cos * cy1 + (p0.y + p1.y) / 2;
  const angle = (ux, uy, vx, vy) => Math.atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  const t1 = angle(1, 0, (x1 - cx1) / rx, (y1 - cy1) / ry);
  let dt = angle((x1 - cx1) / rx, (y1 - cy1) / ry, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
  if (!sweep && dt > 0) dt -= 2 * Math.PI;
  if (sweep && dt < 0) dt += 2 * Math.PI;
  const n = Math.max(1, Math.ceil(Math.abs(dt) / (Math.PI / 2) - 1e-9));
  const step = dt / n;
  const alpha = (4 / 3) * Math.tan(step / 4);
  const at = (t) => ({ x: cx + rx * Math.cos(t) * cos - ry * Math.sin(t) * sin, y: cy + rx * Math.cos(t) * sin + ry * Math.sin(t) * cos });
  const deriv = (t) => ({ x: -rx * Math.sin(t) * cos - ry * Math.cos(t) * sin, y: -rx * Math.sin(t) * sin + ry * Math.cos(t) * cos });
  const segs = [];
  let a = at(t1);
  for (let j = 0; j < n; ++j) {
    const ta = t1 + j * step;
    const tb = ta + step;
    const b = j === n - 1 ? p1 : at(tb);
    const da = deriv(ta);
    const db = deriv(tb);
    segs.push([{ x: a.x + alpha * da.x, y: a.y + alpha * da.y }, { x: b.x - alpha * db.x, y: b.y - alpha * db.y }, b]);
    a = b;
  }
  return segs;
}

const num = (v) => String(Math.round(v * 100) / 100);

export function pathData(subpaths) {
  return subpaths.map((s) => {
    let out = `M${num(s.start.x)} ${num(s.start.y)}`;
    let cur = s.start;
    for (const [c1, c2, end] of s.segs) {
      const straight = c1.x === cur.x && c1.y === cur.y && c2.x === end.x && c2.y === end.y;
      out += straight ? `L${num(end.x)} ${num(end.y)}`
        : `C${num(c1.x)} ${num(c1.y)} ${num(c2.x)} ${num(c2.y)} ${num(end.x)} ${num(end.y)}`;
      cur = end;
    }
    return s.closed ? `${out}Z` : out;
  }).join('');
}

const unit = (v) => {
  const l = Math.hypot(v.x, v.y);
  return l > 1e-9 ? { x: v.x / l, y: v.y / l } : null;
};
// The direction a segment leaves its end in, and the one it leaves its start in.
const endDir = (from, [c1, c2, end]) => unit({ x: end.x - c2.x, y: end.y - c2.y })
  ?? unit({ x: end.x - c1.x, y: end.y - c1.y }) ?? unit({ x: end.x - from.x, y: end.y - from.y });
const startDir = (from, [c1, c2, end]) => unit({ x: c1.x - from.x, y: c1.y - from.y })
  ?? unit({ x: c2.x - from.x, y: c2.y - from.y }) ?? unit({ x: end.x - from.x, y: end.y - from.y });

// The continuation leaves along the outline's own direction and turns
// gradually downwards, so that it joins without a kink, and lines that lean
// towards each other do not cross over the long way down. DRIFT is how far it
// goes sideways, as a share of what the straight continuation would.
const DRIFT = 0.12;
const STEEPEST = 0.3; // an outline meeting the edge flatter than this leaves as steep as this
function downwards(dir) {
  if (!dir) return { x: 0, y: 1 };
  if (dir.y >= STEEPEST) return dir;
  return { x: Math.sign(dir.x || 1) * Math.sqrt(1 - STEEPEST * STEEPEST), y: STEEPEST };
}

// The continuation from p leaving in dir, down to `bottom`, as one cubic.
function continuation(p, dir, bottom) {
  const h = bottom - p.y;
  const end = { x: p.x + (dir.x / dir.y) * h * DRIFT, y: bottom };
  const c1 = { x: p.x + (dir.x / dir.y) * h * 0.08, y: p.y + h * 0.08 };
  return [c1, { x: end.x, y: bottom - h * 0.75 }, end];
}
const reversed = (from, [c1, c2, end]) => [c2, c1, from];
const straight = (a, b) => [a, b, b];

// Both sides of a thin shape go on in their common direction, so that a line
// keeps its width however far it is continued.
const THIN = 40;

function extendClosed(sub, edge, bottom) {
  const segs = [...sub.segs];
  const lastEnd = segs.length ? segs[segs.length - 1][2] : sub.start;
  if (lastEnd.x !== sub.start.x || lastEnd.y !== sub.start.y) segs.push(straight(lastEnd, sub.start));
  const n = segs.length;
  const pts = [sub.start, ...segs.map((s) => s[2])]; // segs[k] runs from pts[k] to pts[k + 1]
  const below = (k) => pts[k % n].y > edge;
  const first = pts.slice(0, n).findIndex((p) => p.y <= edge);
  if (n < 2 || first < 0 || !pts.some((p) => p.y > edge)) return sub;
  const out = [];
  for (let k = first; k < first + n; ++k) {
    out.push(segs[k % n]);
    if (!below(k + 1)) continue;
    // segs[k] enters the run at P; the run ends at Q where segs[j] leaves it.
    const p = pts[(k + 1) % n];
    let j = k + 1;
    while (below(j + 1)) ++j;
    const q = pts[j % n];
    let dIn = downwards(endDir(pts[k % n], segs[k % n]));
    const s = startDir(q, segs[j % n]);
    let dOut = downwards(s && { x: -s.x, y: -s.y });
    if (Math.hypot(p.x - q.x, p.y - q.y) < THIN) {
      dIn = dOut = downwards(unit({ x: dIn.x + dOut.x, y: dIn.y + dOut.y }));
    }
    const down = continuation(p, dIn, bottom);
    const up = continuation(q, dOut, bottom);
    out.push(down, straight(down[2], up[2]), reversed(q, up));
    k = j - 1;
  }
  return { start: pts[first], segs: out, closed: true };
}

function extendOpen(sub, edge, bottom) {
  if (!sub.segs.length) return sub;
  const segs = [...sub.segs];
  let start = sub.start;
  const last = segs[segs.length - 1];
  const prev = segs.length > 1 ? segs[segs.length - 2][2] : sub.start;
  if (last[2].y > edge) segs.push(continuation(last[2], downwards(endDir(prev, last)), bottom));
  if (start.y > edge) {
    const s = startDir(start, sub.segs[0]);
    const down = continuation(start, downwards(s && { x: -s.x, y: -s.y }), bottom);
    segs.unshift(reversed(start, down));
    start = down[2];
  }
  return { start, segs, closed: false };
}

// How far above the drawing's lowest point an outline still counts as cut
// off by the bottom edge.
const EDGE_BAND = 8;

// Continues every outline of `markup` that is cut off by the drawing's bottom
// edge (its lowest point) down to `bottom`, in the markup's own coordinates. A
// stroked path without a fill is a line with two loose ends; any other path is
// a filled outline.
export function extendDown(markup, bottom) {
  const paths = [...markup.matchAll(/<path\b[^>]*>/g)].map((m) => {
    const d = / d="([^"]*)"/.exec(m[0]);
    return { element: m[0], d, subpaths: d ? parsePath(d[1]) : [] };
  });
  const lowest = Math.max(...paths.flatMap((p) => p.subpaths.flatMap((s) => [s.start.y, ...s.segs.map((g) => g[2].y)])));
  const edge = lowest - EDGE_BAND;
  let i = 0;
  return markup.replace(/<path\b[^>]*>/g, (element) => {
    const { d, subpaths } = paths[i++];
    if (!d) return element;
    const line = /\bstroke="(?!none)/.test(element) && !/\bfill="(?!none)/.test(element);
    const longer = subpaths.map((s) => (line ? extendOpen(s, edge, bottom) : extendClosed(s, edge, bottom)));
    return element.replace(d[0], ` d="${pathData(longer)}"`);
  });
}
