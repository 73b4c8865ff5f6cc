#!/usr/bin/python3
"""Counts the pictures in OURS that match the ones in REFERENCE under the suite's rule:
composite over white, a pixel is wrong where a channel differs by more than 48 (of 255),
a picture matches with at most 1% wrong pixels and the same size.
usage: parity.py LIST OURS REFERENCE   (LIST lines "in.svg<TAB>out.png")"""
import os, sys
import numpy as np
from PIL import Image

PIXEL_DIFF, WRONG_SHARE = 48, 0.01

def over_white(path):
    a = np.asarray(Image.open(path).convert('RGBA')).astype(np.float32)
    alpha = a[..., 3:4] / 255.0
    return a[..., :3] * alpha + 255.0 * (1 - alpha)

def compare(ref, cand):
    if not os.path.exists(ref):
        return 'no reference', 1.0
    if not os.path.exists(cand):
        return 'no output', 1.0
    r, c = over_white(ref), over_white(cand)
    if r.shape != c.shape:
        return 'size %dx%d, reference %dx%d' % (c.shape[1], c.shape[0], r.shape[1], r.shape[0]), 1.0
    wrong = float((np.abs(r - c).max(axis=2) > PIXEL_DIFF).mean())
    return ('match' if wrong <= WRONG_SHARE else 'differs'), wrong

lst, ours, ref = sys.argv[1:4]
names = [l.rstrip('\n').split('\t')[1] for l in open(lst) if l.strip()]
misses = []
for n in names:
    verdict, wrong = compare(os.path.join(ref, n), os.path.join(ours, n))
    if verdict != 'match':
        misses.append((n, verdict, wrong))
print('parity: %d of %d match resvg' % (len(names) - len(misses), len(names)))
for n, verdict, wrong in sorted(misses):
    print('  %-50s %s, %.1f%% wrong' % (n[:-4], verdict, 100 * wrong))
